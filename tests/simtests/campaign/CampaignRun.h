// One run of the fault campaign: two simulated PCs, a tree drawn from the seed, a whole copy
// clicked through the source's windows with the plan's faults injected, every message box
// answered as a user would, and the migration invariant checked at the end. A run that does not
// end within its budget of virtual time, or falls idle with a copy still running, is a hang.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "simtests/campaign/CampaignPlan.h"
#include "simtests/campaign/MigrationOracle.h"

namespace campaign {

struct RunReport {
    uint64_t seed = 0;
    int mode = 0;
    uint32_t injected = 0;
    int faults = 0;
    int entries = 0;
    os::WString base;  // the destination's base folder the copy went to
    uint64_t handOvers = 0;
    uint64_t virtualMs = 0;
    bool passed = false;
    std::string reason;  // the first violation, hang or crash
    Verdict verdict;
    std::vector<SeenBox> boxes;
};

// Lets a test change the destination after the copy and before the check.
using Tamper =
    std::function<void(sim::SimFileSystem& destination, const Plan& plan, const os::WString& base)>;

RunReport RunCampaignSeed(uint64_t seed, uint32_t allowed, const Tamper& tamper = nullptr);

// "seed 17 [folders; faults cut,shrunk]: reason".
std::string Describe(const RunReport& report);

}  // namespace campaign
