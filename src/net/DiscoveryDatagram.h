// The announcement a PC running this program broadcasts while it waits for its partner, and
// its strict reader. Layout (16 + 2n bytes, nothing before or after):
//   0  "TDXD"
//   4  version (1)
//   5  role: 0 not chosen, 1 source (引越元), 2 destination (引越先)
//   6  flags: bit 0 set when the PC stops announcing (it paired or quits); no other bit
//   7  n, the computer name's length in UTF-16 code units (1 to kMaxAnnouncedName)
//   8  instance id, 8 bytes little-endian: a random number per run, so a PC knows its own
//  16  the computer name, n code units UTF-16LE
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "os/Types.h"

namespace discovery {

constexpr size_t kMaxAnnouncedName = 63;  // a DNS label; NetBIOS names have at most 15
constexpr size_t kHeaderBytes = 16;
constexpr size_t kMaxDatagramBytes = kHeaderBytes + 2 * kMaxAnnouncedName;

enum class Role : uint8_t { None = 0, Source = 1, Destination = 2 };

struct Announcement {
    uint64_t instanceId = 0;
    Role role = Role::None;
    bool leaving = false;
    os::WString name;

    bool operator==(const Announcement&) const = default;
};

// The datagram of `announcement`; a name longer than kMaxAnnouncedName is shortened (never
// inside a surrogate pair).
std::string WriteAnnouncement(const Announcement& announcement);

// False for anything but a well-formed datagram of this version whose name is one a computer
// can have: no control characters, no unpaired surrogates, none of \ / : * ? " < > |, no blank
// at either end.
bool ParseAnnouncement(const uint8_t* data, size_t size, Announcement& out);

}  // namespace discovery
