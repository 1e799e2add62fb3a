// The fault campaign: random trees, random faults, whole copies between two simulated PCs, and
// after each the migration invariant. A short run belongs to the suite; scripts/campaign.sh
// runs the long one through FaultCampaign.LongRun and replays a seed through
// FaultCampaign.Replay.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "os/Text.h"
#include "sim/SimFileSystem.h"
#include "simtests/campaign/CampaignRun.h"

namespace {

using namespace campaign;

constexpr uint64_t kShortRunSeeds = 8;
constexpr uint32_t kShortRunFaults = kAllFaults & ~kKnownFaultClasses;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string Replay(const RunReport& report, const std::string& faults) {
    return "TANDRIX_CAMPAIGN_SEED=" + std::to_string(report.seed) +
           " TANDRIX_CAMPAIGN_FAULTS=" + faults +
           " build/native/tandrix_tests --gtest_filter=FaultCampaign.Replay";
}

TEST(FaultCampaign, ShortRunKeepsTheInvariant) {
    for (uint64_t seed = 1; seed <= kShortRunSeeds; ++seed) {
        const RunReport report = RunCampaignSeed(seed, kShortRunFaults);
        EXPECT_TRUE(report.passed)
            << Describe(report) << "\n  replay: " << Replay(report, FaultNames(kShortRunFaults));
    }
}

// Seeds that once broke the invariant, each with what it found. All run with every fault class.
TEST(FaultCampaign, SeedsThatOnceFailedKeepTheInvariant) {
    const struct {
        uint64_t seed;
        const char* found;
    } rows[] = {
        {278,
         "a file vanished while read, then a damaged stream made the destination drop its "
         "\"not intact\" mark: the mark must come again, as the walk never meets the file again"},
        {6472,
         "the destination's user stops while reads are split: the stop request reaches the source "
         "cut right after \"StopCopy\" and must still be a stop request"},
        {6216,
         "the destination's error report is still arriving when the sending pass ends: the pass "
         "must wait for the whole path, not resume from a cut one"},
        {14354,
         "a slow network cuts the frame that asks for the folder list: the quiet after its first "
         "part is no empty folder list (read as a full drive, with a shortcut to the wrong drive)"},
    };
    for (const auto& row : rows) {
        const RunReport report = RunCampaignSeed(row.seed, kAllFaults);
        EXPECT_TRUE(report.passed) << row.found << "\n"
                                   << Describe(report) << "\n  replay: " << Replay(report, "all");
    }
}

// The checker itself: a clean copy passes, and each planted fault in its result is caught.
TEST(FaultCampaign, TheCheckerCatchesWhatItMustCatch) {
    constexpr uint64_t kSeed = 3;
    const RunReport clean = RunCampaignSeed(kSeed, 0);
    ASSERT_TRUE(clean.passed) << Describe(clean);
    ASSERT_GT(clean.verdict.identical, 1);

    // A file to spoil: the first non-empty one of the plan.
    const auto firstFile = [](const Plan& plan) {
        for (const PlantedEntry& entry : plan.entries) {
            if (!entry.isDir && !entry.content.empty()) {
                return &entry;
            }
        }
        return static_cast<const PlantedEntry*>(nullptr);
    };
    os::WString spoilt;
    const RunReport corrupted = RunCampaignSeed(
        kSeed, 0, [&](sim::SimFileSystem& fs, const Plan& plan, const os::WString& base) {
            const PlantedEntry* entry = firstFile(plan);
            ASSERT_NE(entry, nullptr);
            spoilt = DestinationPathOf(plan, *entry, base, u"PC-A");
            std::string bytes = fs.ReadFile(spoilt).value_or("");
            ASSERT_FALSE(bytes.empty());
            bytes[bytes.size() / 2] ^= 0x20;
            ASSERT_TRUE(fs.WriteFile(spoilt, bytes, fs.GetAttributes(spoilt)));
        });
    EXPECT_FALSE(corrupted.passed);
    EXPECT_NE(corrupted.reason.find(os::ToUtf8(spoilt) + ": differs"), std::string::npos)
        << corrupted.reason;

    // The same file missing but named in the error list is no violation.
    const RunReport listed = RunCampaignSeed(
        kSeed, 0, [&](sim::SimFileSystem& fs, const Plan& plan, const os::WString& base) {
            const os::WString path = DestinationPathOf(plan, *firstFile(plan), base, u"PC-A");
            fs.SetAttributes(path, 0);
            ASSERT_TRUE(fs.DeleteFile(path));
            ASSERT_TRUE(fs.WriteFile(base + u"\\FerryloLog.txt",
                                     "\xEF\xBB\xBFheader\r\n" + os::ToUtf8(path) + "\r\n"));
        });
    EXPECT_TRUE(listed.passed) << Describe(listed);
    EXPECT_EQ(listed.verdict.listed, 1);

    // A file that appears outside the base folder.
    const RunReport outside =
        RunCampaignSeed(kSeed, 0, [](sim::SimFileSystem& fs, const Plan&, const os::WString& base) {
            ASSERT_TRUE(fs.WriteFile(base.substr(0, 3) + u"FerryloEvil\\x", "x"));
        });
    EXPECT_FALSE(outside.passed);
    EXPECT_NE(outside.reason.find("changed outside the base folder"), std::string::npos)
        << outside.reason;
}

// The long run: TANDRIX_CAMPAIGN_RUNS seeds from TANDRIX_CAMPAIGN_FIRST (default 1), with the
// fault classes of TANDRIX_CAMPAIGN_FAULTS (default all).
TEST(FaultCampaign, LongRun) {
    const std::string runsText = Env("TANDRIX_CAMPAIGN_RUNS");
    if (runsText.empty()) {
        GTEST_SKIP() << "set TANDRIX_CAMPAIGN_RUNS (scripts/campaign.sh)";
    }
    const uint64_t runs = std::strtoull(runsText.c_str(), nullptr, 10);
    const std::string firstText = Env("TANDRIX_CAMPAIGN_FIRST");
    const uint64_t first = firstText.empty() ? 1 : std::strtoull(firstText.c_str(), nullptr, 10);
    const std::string faults = Env("TANDRIX_CAMPAIGN_FAULTS").empty()
                                   ? std::string("all")
                                   : Env("TANDRIX_CAMPAIGN_FAULTS");
    uint32_t allowed = 0;
    ASSERT_TRUE(ParseFaultNames(faults, allowed)) << "unknown fault class in " << faults;

    uint64_t entries = 0;
    uint64_t injected = 0;
    uint64_t failed = 0;
    std::map<std::string, std::pair<int, int>> perClass;  // runs with it, failures among them
    for (uint64_t seed = first; seed < first + runs; ++seed) {
        const RunReport report = RunCampaignSeed(seed, allowed);
        entries += static_cast<uint64_t>(report.entries);
        injected += static_cast<uint64_t>(report.faults);
        for (const FaultClassInfo& info : FaultClasses()) {
            if (report.injected & info.bit) {
                ++perClass[info.name].first;
                perClass[info.name].second += report.passed ? 0 : 1;
            }
        }
        if (!report.passed) {
            ++failed;
            std::printf("FAIL %s\n     replay: %s\n", Describe(report).c_str(),
                        Replay(report, faults).c_str());
            std::fflush(stdout);
        }
    }
    std::printf("campaign: %llu runs, %llu files and folders, %llu faults injected, %llu failed\n",
                static_cast<unsigned long long>(runs), static_cast<unsigned long long>(entries),
                static_cast<unsigned long long>(injected), static_cast<unsigned long long>(failed));
    for (const auto& [name, counts] : perClass) {
        std::printf("  %-18s in %4d runs, %4d of them failed\n", name.c_str(), counts.first,
                    counts.second);
    }
    EXPECT_EQ(failed, 0u);
}

// One seed again, with everything it showed: TANDRIX_CAMPAIGN_SEED, TANDRIX_CAMPAIGN_FAULTS.
TEST(FaultCampaign, Replay) {
    const std::string seedText = Env("TANDRIX_CAMPAIGN_SEED");
    if (seedText.empty()) {
        GTEST_SKIP() << "set TANDRIX_CAMPAIGN_SEED";
    }
    uint32_t allowed = kAllFaults;
    if (!Env("TANDRIX_CAMPAIGN_FAULTS").empty()) {
        ASSERT_TRUE(ParseFaultNames(Env("TANDRIX_CAMPAIGN_FAULTS"), allowed));
    }
    const RunReport report = RunCampaignSeed(std::strtoull(seedText.c_str(), nullptr, 10), allowed);
    std::printf("%s\n  base folder %s, %llu hand-overs, %llu ms of virtual time\n",
                Describe(report).c_str(), os::ToUtf8(report.base).c_str(),
                static_cast<unsigned long long>(report.handOvers),
                static_cast<unsigned long long>(report.virtualMs));
    for (const SeenBox& box : report.boxes) {
        std::printf("  box on the %s: %s -> %d\n", box.pc.c_str(), os::ToUtf8(box.text).c_str(),
                    box.answer);
    }
    std::printf("  identical %d, listed %d, excused %d\n", report.verdict.identical,
                report.verdict.listed, report.verdict.excused);
    for (const std::string& violation : report.verdict.violations) {
        std::printf("  %s\n", violation.c_str());
    }
    EXPECT_TRUE(report.passed);
}

}  // namespace
