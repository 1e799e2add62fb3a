// Drawing a run from its seed and planting its tree on the source: deep and wide folders, long,
// Japanese and look-alike names, empty files, attributes, and the files that will misbehave.
#include "simtests/campaign/CampaignPlan.h"

#include <algorithm>
#include <sstream>

#include "os/Text.h"
#include "sim/SimFileSystem.h"
#include "sim/SimPath.h"
#include "simtests/campaign/CampaignTree.h"

namespace campaign {

const std::vector<FaultClassInfo>& FaultClasses() {
    static const std::vector<FaultClassInfo> table = {
        {kSplit, "split"},
        {kCorrupt, "corrupt"},
        {kCut, "cut"},
        {kStall, "stall"},
        {kSlow, "slow"},
        {kFullDrive, "full-drive"},
        {kStopSource, "stop-source"},
        {kStopDestination, "stop-destination"},
        {kUnreadable, "unreadable"},
        {kLocked, "locked"},
        {kShrunk, "shrunk"},
        {kGrown, "grown"},
        {kFailMidRead, "fail-mid-read"},
        {kShrinkMidRead, "shrink-mid-read"},
        {kVanishMidRead, "vanish-mid-read"},
        {kChangeMidRead, "change-mid-read"},
        {kLockMidRead, "lock-mid-read"},
        {kShortNames, "short-names"},
        {kLongPaths, "long-paths"},
        {kEmptyDrive, "empty-drive"},
    };
    return table;
}

std::string FaultNames(uint32_t classes) {
    std::string out;
    for (const FaultClassInfo& info : FaultClasses()) {
        if (classes & info.bit) {
            out += (out.empty() ? "" : ",") + std::string(info.name);
        }
    }
    return out.empty() ? "none" : out;
}

bool ParseFaultNames(const std::string& text, uint32_t& classes) {
    classes = 0;
    std::stringstream in(text);
    std::string word;
    while (std::getline(in, word, ',')) {
        const bool remove = !word.empty() && word[0] == '-';
        const std::string name = remove ? word.substr(1) : word;
        uint32_t bits = 0;
        if (name == "all") {
            bits = kAllFaults;
        } else if (name == "known") {
            bits = kKnownFaultClasses;
        } else if (name != "none") {
            for (const FaultClassInfo& info : FaultClasses()) {
                bits |= name == info.name ? uint32_t{info.bit} : 0;
            }
            if (bits == 0) {
                return false;
            }
        }
        classes = remove ? classes & ~bits : classes | bits;
    }
    return true;
}

namespace {

constexpr int kStandardTimedFiles = 8;
constexpr uint64_t kPiece = 65536;

FaultClass DrawClass(std::mt19937_64& rng, uint32_t allowed) {
    std::vector<FaultClass> choices;
    for (const FaultClassInfo& info : FaultClasses()) {
        if (allowed & info.bit) {
            choices.push_back(info.bit);
        }
    }
    return choices[rng() % choices.size()];
}

// A file of the plan that a fault may strike: not empty, reachable by a short path.
PlantedEntry* DrawVictim(std::mt19937_64& rng, Plan& plan, uint64_t minSize) {
    std::vector<PlantedEntry*> candidates;
    std::vector<PlantedEntry*> large;
    for (PlantedEntry& entry : plan.entries) {
        // A file picked directly in the file-list dialog is checked there as it is picked.
        const bool pickedDirectly = plan.mode == 2 && entry.relative.empty();
        if (!entry.isDir && entry.content.size() >= minSize && entry.source.size() < 250 &&
            !entry.changesWhileRead && !pickedDirectly) {
            candidates.push_back(&entry);
            if (minSize > 0 && entry.content.size() > kPiece) {
                large.push_back(&entry);
            }
        }
    }
    if (!large.empty() && rng() % 3 != 0) {
        return large[rng() % large.size()];
    }
    return candidates.empty() ? nullptr : candidates[rng() % candidates.size()];
}

bool StrikeFile(std::mt19937_64& rng, sim::SimFileSystem& fs, Plan& plan, FaultClass kind) {
    PlantedEntry* victim =
        DrawVictim(rng, plan, kind == kShrunk || kind == kUnreadable || kind == kLocked ? 0 : 1);
    if (!victim) {
        return false;
    }
    const uint64_t size = victim->content.size();
    uint64_t offset = size == 0 ? 0 : rng() % size;
    // A fault while a file is read strikes most often past its first piece.
    if (size > kPiece && rng() % 3 != 0) {
        offset = kPiece + rng() % (size - kPiece);
    }
    switch (kind) {
        case kUnreadable:
            return fs.SetUnreadable(victim->source, true);
        case kLocked:
            return fs.SetLocked(victim->source, true);
        case kShrunk:
            return fs.SetListedSize(victim->source, size + 1 + rng() % 70000);
        case kGrown:
            return fs.SetListedSize(victim->source, rng() % size);
        case kFailMidRead:
            return fs.SetReadFault(victim->source, offset, sim::SimReadFault::Fail);
        case kLockMidRead:
            return fs.SetReadFault(victim->source, offset, sim::SimReadFault::Lock);
        case kVanishMidRead:
            return fs.SetReadFault(victim->source, offset, sim::SimReadFault::Vanish);
        case kShrinkMidRead:
            victim->changesWhileRead = true;
            return fs.SetReadFault(victim->source, offset, sim::SimReadFault::Shrink);
        case kChangeMidRead:
            victim->changesWhileRead = true;
            return fs.SetReadFault(victim->source, offset, sim::SimReadFault::Change);
        default:
            return false;
    }
}

}  // namespace

Plan DrawPlan(uint64_t seed, uint32_t allowed, sim::SimFileSystem& fs) {
    std::mt19937_64 rng(seed * 0x9E3779B97F4A7C15ull + 0x5EED);
    Plan plan;
    plan.seed = seed;
    const int modes[] = {1, 2, 5};
    plan.mode = modes[rng() % 3];
    plan.destRow = static_cast<int>(rng() % 2);
    plan.programFiles = rng() % 2 == 0;

    // The faults first, since two of them shape the tree.
    std::vector<FaultClass> faults;
    if (allowed != 0) {
        const int count = static_cast<int>(rng() % 4);
        for (int i = 0; i < count; ++i) {
            faults.push_back(DrawClass(rng, allowed));
        }
    }
    uint32_t shape = 0;
    for (FaultClass fault : faults) {
        shape |= fault & (kShortNames | kLongPaths | kEmptyDrive);
    }

    TreeMaker maker(rng, fs, plan);
    maker.PlantItems(shape);

    for (FaultClass fault : faults) {
        bool done = true;
        switch (fault) {
            case kSplit:
                plan.randomSplit = true;
                break;
            case kSlow:
                plan.slowMs = 100 + rng() % 4000;
                break;
            case kCorrupt:
            case kCut:
            case kStall:
                plan.streamFaults.emplace_back(fault, (rng() % 1000) / 1000.0);
                break;
            case kFullDrive:
            case kStopSource:
            case kStopDestination:
                plan.timed.push_back(
                    {fault, static_cast<int>(rng() % kStandardTimedFiles), rng() % 3 != 0});
                break;
            case kShortNames:
            case kLongPaths:
                break;
            case kEmptyDrive:
                done = plan.mode == 1;
                break;
            default:
                done = StrikeFile(rng, fs, plan, fault);
                break;
        }
        if (done) {
            plan.injected |= fault;
            ++plan.faultCount;
        }
    }
    std::sort(plan.timed.begin(), plan.timed.end(),
              [](const TimedFault& a, const TimedFault& b) { return a.atFile < b.atFile; });
    for (const PlantedEntry& entry : plan.entries) {
        plan.payloadBytes += entry.content.size() + 4 * (entry.relative.size() + 40) + 40;
    }
    return plan;
}

}  // namespace campaign
