// The fault campaign's plan of one run, drawn from its seed: the copy mode, the tree planted on
// the source and the faults injected into it, the network, the disks and the users.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "os/Types.h"
#include "sim/SimFsNode.h"

namespace sim {
class SimFileSystem;
}

namespace campaign {

// Fault classes, one bit each, so that a run can be limited to a set of them.
enum FaultClass : uint32_t {
    kSplit = 1u << 0,            // reads cut at random offsets
    kCorrupt = 1u << 1,          // a byte of the transfer stream flipped
    kCut = 1u << 2,              // the connection reset at an offset
    kStall = 1u << 3,            // the cable pulled: nothing more passes, nobody is told
    kSlow = 1u << 4,             // every piece of a stream held back for a while
    kFullDrive = 1u << 5,        // the destination's drive runs low during the copy
    kStopSource = 1u << 6,       // the source's user presses stop
    kStopDestination = 1u << 7,  // the destination's user presses stop
    kUnreadable = 1u << 8,       // a source file that cannot be opened
    kLocked = 1u << 9,           // a source file held without sharing
    kShrunk = 1u << 10,          // listed larger than it is by the time it is read
    kGrown = 1u << 11,           // listed smaller than it is by the time it is read
    kFailMidRead = 1u << 12,     // reads fail from an offset on
    kShrinkMidRead = 1u << 13,   // cut by its writer while being read
    kVanishMidRead = 1u << 14,   // deleted while being read
    kChangeMidRead = 1u << 15,   // rewritten while being read
    kLockMidRead = 1u << 16,     // taken without sharing while being read
    kShortNames = 1u << 17,      // `longfilename.txt` beside a real `LONGFI~1.TXT`
    kLongPaths = 1u << 18,       // source folders deeper than MAX_PATH
    kEmptyDrive = 1u << 19,      // a fixed drive of the source with nothing on it
    kAllFaults = (1u << 20) - 1,
};

struct FaultClassInfo {
    FaultClass bit;
    const char* name;
};
const std::vector<FaultClassInfo>& FaultClasses();
std::string FaultNames(uint32_t classes);
// "all", "none" or names joined by ",", a leading "-" removing one: "all,-stall".
bool ParseFaultNames(const std::string& text, uint32_t& classes);

// The classes today's program is known to get wrong; the short run leaves them out until the
// program handles them.
constexpr uint32_t kKnownFaultClasses =
    kShrunk | kFailMidRead | kShrinkMidRead | kChangeMidRead | kLockMidRead | kEmptyDrive;

// One file or folder the user chose to move (directly or inside a chosen folder).
struct PlantedEntry {
    os::WString source;    // full path on the source
    os::WString relative;  // below the chosen item ("" for the item itself)
    size_t item = 0;       // index into Plan::items
    bool isDir = false;
    std::string content;      // as planted
    uint32_t attributes = 0;  // as planted
    bool changesWhileRead = false;
};

// A fault timed by the sending pass: injected once the source has handled `atFile` files.
struct TimedFault {
    FaultClass kind;
    int atFile = 0;
    bool confirm = true;  // the answer to the stop question
};

struct Plan {
    uint64_t seed = 0;
    int mode = 2;               // 1 whole drives, 2 file list, 5 folders
    int destRow = 1;            // row of the drive choice: 0 C:, 1 D:
    bool programFiles = false;  // the whole-drive copy's Program Files answer
    std::vector<os::WString> items;
    std::vector<PlantedEntry> entries;
    uint32_t injected = 0;  // classes of the faults planned
    int faultCount = 0;
    std::vector<TimedFault> timed;
    // Network faults, as fractions of the expected forward stream.
    std::vector<std::pair<FaultClass, double>> streamFaults;
    uint64_t slowMs = 0;
    bool randomSplit = false;
    uint64_t payloadBytes = 0;
};

// Draws the run of `seed` with faults of the `allowed` classes only, and plants its tree on the
// source PC's file system (the faults of its files included).
Plan DrawPlan(uint64_t seed, uint32_t allowed, sim::SimFileSystem& fs);

}  // namespace campaign
