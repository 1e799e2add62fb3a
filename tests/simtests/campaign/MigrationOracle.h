// The one invariant of a migration, checked after every run of the fault campaign: every file
// and folder the user chose is at the destination, identical, or named in a list the user sees,
// or the copy ended with a message saying it did not finish; and nothing outside the base
// folder changed on the destination.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "simtests/campaign/CampaignPlan.h"

namespace sim {
class SimFileSystem;
}

namespace campaign {

// A message box a user saw, with the button pressed.
struct SeenBox {
    std::string pc;
    os::WString text;
    int answer = 0;
};

// The destination's drives as a listing, less the base folder and what the program is meant
// to leave outside it (`allowed`: paths relative to a drive's root, "X:\" excluded).
using OutsideSnapshot = std::map<char16_t, std::string>;
OutsideSnapshot TakeOutsideSnapshot(sim::SimFileSystem& fs, const os::WString& base,
                                    const std::vector<os::WString>& allowed);

struct MigrationOutcome {
    const Plan* plan = nullptr;
    sim::SimFileSystem* source = nullptr;
    sim::SimFileSystem* destination = nullptr;
    os::WString base;            // X:\Ferrylo
    os::WString sourceComputer;  // names the whole-drive copy's per-drive folders
    std::vector<SeenBox> boxes;
    OutsideSnapshot outsideBefore;
    std::vector<os::WString> allowedOutside;
};

struct Verdict {
    std::vector<std::string> violations;
    int identical = 0;
    int listed = 0;   // not identical, but named in a list the user sees
    int excused = 0;  // neither, after a copy that said it did not finish
};

Verdict CheckMigration(const MigrationOutcome& outcome);

// Where an entry of the plan lands on the destination.
os::WString DestinationPathOf(const Plan& plan, const PlantedEntry& entry, const os::WString& base,
                              const os::WString& sourceComputer);
// Every path the user is shown as not moved, upper-cased: "FerryloLog.txt" in the base folder.
// A further list (one the source might show) belongs here too.
std::set<os::WString> PathsShownAsFailed(sim::SimFileSystem& destination, const os::WString& base);
// Whether a message told a user that the copy did not finish.
bool SaidItDidNotFinish(const std::vector<SeenBox>& boxes);

}  // namespace campaign
