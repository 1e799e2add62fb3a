// The world's scheduler: one PC at a time, virtual time that jumps, seeded interleavings, the
// budgets that stop a run instead of hanging it, boxes that wait for the test, and a world
// that ends while its programs are still inside their loops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/Text.h"
#include "sim/SimDialogWindow.h"
#include "sim/SimWorld.h"
#include "simtests/WorldKit.h"

namespace sim {
namespace {

using kit::LoopDialog;

struct Tick {
    std::string pc;
    uint64_t at;
    bool operator==(const Tick&) const = default;
};

TEST(WorldScheduler, SleepsOfTwoPcsEndInVirtualTimeOrder) {
    World world;
    SimPc& a = world.AddPc({.computerName = u"PC-A"});
    SimPc& b = world.AddPc({.computerName = u"PC-B"});
    std::vector<Tick> woke;
    world.Start(a, [&](os::Platform& os) {
        os.sys.Sleep(5000);
        woke.push_back({"A", world.NowMs()});
        os.sys.Sleep(300);
        woke.push_back({"A", world.NowMs()});
    });
    world.Start(b, [&](os::Platform& os) {
        os.sys.Sleep(3000);
        woke.push_back({"B", world.NowMs()});
        os.sys.Sleep(5000);
        woke.push_back({"B", world.NowMs()});
    });
    ASSERT_TRUE(world.RunUntilIdle()) << world.Failure();
    EXPECT_TRUE(world.Finished(a));
    EXPECT_TRUE(world.Finished(b));
    const std::vector<Tick> expected = {{"B", 3000}, {"A", 5000}, {"A", 5300}, {"B", 8000}};
    EXPECT_EQ(woke, expected);
    EXPECT_EQ(a.sys().SleptMs(), 5300u);
    EXPECT_EQ(world.NowMs(), 8000u);
}

// Two PCs whose dialogs tick at different periods: ticks come in virtual-time order, each PC's
// own clock reads the shared one.
TEST(WorldScheduler, TimersOfTwoPcsFireInVirtualTimeOrder) {
    World world(7);
    SimPc& a = world.AddPc({.computerName = u"PC-A"});
    SimPc& b = world.AddPc({.computerName = u"PC-B"});
    std::vector<Tick> ticks;
    const auto ticker = [&](const std::string& name, unsigned period, int count) {
        return [&, name, period, count](os::Platform& os) {
            LoopDialog dlg(os.ui);
            int left = count;
            dlg.onInit = [&](LoopDialog& d) { d.Window().SetTimer(1, period); };
            dlg.onTimer = [&](LoopDialog& d, int) {
                ticks.push_back({name, world.NowMs()});
                if (--left == 0) {
                    d.EndDialog(os::kIdOk);
                }
            };
            dlg.DoModal();
        };
    };
    world.Start(a, ticker("A", 300, 4));
    world.Start(b, ticker("B", 200, 5));
    ASSERT_TRUE(world.RunUntilIdle()) << world.Failure();
    ASSERT_EQ(ticks.size(), 9u);
    for (size_t i = 1; i < ticks.size(); ++i) {
        EXPECT_LE(ticks[i - 1].at, ticks[i].at) << i;
    }
    std::vector<uint64_t> aTimes;
    std::vector<uint64_t> bTimes;
    for (const Tick& t : ticks) {
        (t.pc == "A" ? aTimes : bTimes).push_back(t.at);
    }
    EXPECT_EQ(aTimes, (std::vector<uint64_t>{300, 600, 900, 1200}));
    EXPECT_EQ(bTimes, (std::vector<uint64_t>{200, 400, 600, 800, 1000}));
    EXPECT_EQ(a.ui().IdleCloses(), 0);
}

// Three PCs that each write their letter at every pump: the seed decides the interleaving.
std::string Interleaving(uint64_t seed) {
    World world(seed);
    std::string trace;
    for (const char16_t* name : {u"PC-A", u"PC-B", u"PC-C"}) {
        SimPc& pc = world.AddPc({.computerName = name});
        const char letter = static_cast<char>(name[3]);
        world.Start(pc, [&trace, letter](os::Platform& os) {
            for (int i = 0; i < 12; ++i) {
                trace += letter;
                os.ui.PumpMessages();
            }
        });
    }
    EXPECT_TRUE(world.RunUntilIdle()) << world.Failure();
    return trace;
}

TEST(WorldScheduler, SeedDecidesTheInterleaving) {
    const std::string first = Interleaving(42);
    EXPECT_EQ(first.size(), 36u);
    EXPECT_EQ(Interleaving(42), first) << "the same seed gives the same run";
    int different = 0;
    for (uint64_t seed = 1; seed <= 6; ++seed) {
        different += Interleaving(seed) != first ? 1 : 0;
    }
    EXPECT_GE(different, 5) << "other seeds interleave otherwise";
}

TEST(WorldScheduler, BudgetsStopRunsThatNeverFallIdle) {
    World world;
    SimPc& ticking = world.AddPc({.computerName = u"PC-A"});
    world.Start(ticking, [](os::Platform& os) {
        LoopDialog dlg(os.ui);
        dlg.onInit = [](LoopDialog& d) { d.Window().SetTimer(1, 1000); };
        dlg.DoModal();  // ticks for ever
    });
    world.SetBudget(1'000'000, 60'000);
    EXPECT_FALSE(world.RunUntilIdle());
    EXPECT_EQ(world.LastStop(), SimStop::TimeBudget);
    EXPECT_LE(world.NowMs(), 60'000u);
    EXPECT_FALSE(world.Finished(ticking));

    SimPc& busy = world.AddPc({.computerName = u"PC-B"});
    world.Start(busy, [](os::Platform& os) {
        for (;;) {
            os.ui.PumpMessages();  // busy for ever without waiting
        }
    });
    world.SetBudget(5000, 60'000);
    EXPECT_FALSE(world.RunUntilIdle());
    EXPECT_EQ(world.LastStop(), SimStop::StepBudget);
    EXPECT_FALSE(world.Failure().empty());
    // Both programs are still inside their loops: ending the world unwinds them.
}

TEST(WorldScheduler, RunForStopsTheClockAtItsEnd) {
    World world;
    SimPc& a = world.AddPc();
    int ticks = 0;
    world.Start(a, [&](os::Platform& os) {
        LoopDialog dlg(os.ui);
        dlg.onInit = [](LoopDialog& d) { d.Window().SetTimer(1, 100); };
        dlg.onTimer = [&](LoopDialog&, int) { ++ticks; };
        dlg.DoModal();
    });
    ASSERT_TRUE(world.RunFor(1050));
    EXPECT_EQ(world.NowMs(), 1050u);
    EXPECT_EQ(ticks, 10);
    ASSERT_TRUE(world.RunUntil([&] { return ticks == 15; }));
    EXPECT_EQ(world.NowMs(), 1500u);

    World quiet;
    ASSERT_TRUE(quiet.RunFor(250)) << "time passes in an empty world too";
    EXPECT_EQ(quiet.NowMs(), 250u);
    EXPECT_FALSE(quiet.RunUntil([] { return false; }));
    EXPECT_EQ(quiet.LastStop(), SimStop::Idle);
}

// With nothing left to do a PC's dialog stays open: the test decides what the user does.
TEST(WorldScheduler, IdleWorldLeavesTheNextStepToTheTest) {
    World world;
    SimPc& a = world.AddPc();
    int result = 0;
    world.Start(a, [&](os::Platform& os) {
        LoopDialog dlg(os.ui);
        result = dlg.DoModal();
    });
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_FALSE(world.Finished(a));
    EXPECT_EQ(a.ui().IdleCloses(), 0);
    ASSERT_NE(a.ui().ActiveWindow(), nullptr);
    EXPECT_EQ(a.ui().ActiveWindow()->TemplateId(), kit::kLoopTemplate);

    a.ui().Wait(2000);
    a.ui().PressEscape().In(kit::kLoopTemplate);
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_TRUE(world.Finished(a));
    EXPECT_EQ(result, os::kIdCancel);
    EXPECT_EQ(world.NowMs(), 2000u);
    EXPECT_TRUE(a.ui().ScriptErrors().empty());
}

TEST(WorldScheduler, UnscriptedBoxWaitsForTheTestWhileItsPcRuns) {
    World world;
    SimPc& a = world.AddPc();
    SimPc& b = world.AddPc({.computerName = u"PC-B"});
    int answer = 0;
    int ticksDuringBox = 0;
    bool inBox = false;
    world.Start(a, [&](os::Platform& os) {
        LoopDialog dlg(os.ui);
        dlg.onInit = [&](LoopDialog& d) {
            d.Window().SetTimer(1, 500);
            d.Window().Post(7, 70);
        };
        dlg.onApp = [&](LoopDialog& d, unsigned n, uintptr_t) {
            if (n == 7) {
                inBox = true;
                answer = os.ui.MessageBox(&d, u"続けますか?", u"確認", os::kMbYesNo);
                inBox = false;
                d.EndDialog(os::kIdOk);
            }
        };
        dlg.onTimer = [&](LoopDialog&, int) { ticksDuringBox += inBox ? 1 : 0; };
        dlg.DoModal();
    });
    world.Start(b, [](os::Platform& os) { os.sys.Sleep(1200); });
    world.SetBudget(1'000'000, 10'000);
    ASSERT_FALSE(world.RunUntilIdle()) << "the open box's owner keeps ticking";
    EXPECT_EQ(world.LastStop(), SimStop::TimeBudget);
    ASSERT_TRUE(world.RunUntil([&] { return a.ui().OpenBox() != nullptr && world.Finished(b); }));
    const SimBox* box = a.ui().OpenBox();
    EXPECT_EQ(box->text, u"続けますか?");
    EXPECT_EQ(box->answer, 0);
    EXPECT_GE(ticksDuringBox, 2) << "a message box keeps the timers of its thread going";
    EXPECT_FALSE(a.ui().AnswerBox(os::kIdOk)) << "a yes/no box has no OK";
    ASSERT_TRUE(a.ui().AnswerBox(os::kIdNo));
    ASSERT_TRUE(world.RunUntil([&] { return world.Finished(a); }));
    EXPECT_EQ(answer, os::kIdNo);
    EXPECT_EQ(a.ui().OpenBox(), nullptr);
    ASSERT_EQ(a.ui().Boxes().size(), 1u);
    EXPECT_EQ(a.ui().Boxes()[0].answer, os::kIdNo);
    EXPECT_FALSE(a.ui().Boxes()[0].scripted);
}

TEST(WorldScheduler, ScriptedBoxesAnswerAtOnce) {
    World world;
    SimPc& a = world.AddPc();
    a.ui().ExpectBox(os::kIdCancel, u"保存");
    int answer = 0;
    world.Start(a, [&](os::Platform& os) {
        answer = os.ui.MessageBox(nullptr, u"保存しますか", u"", os::kMbOkCancel);
    });
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_TRUE(world.Finished(a));
    EXPECT_EQ(answer, os::kIdCancel);
    EXPECT_TRUE(a.ui().Boxes().at(0).scripted);
    EXPECT_TRUE(a.ui().ScriptErrors().empty());
}

// A RAII guard in each program says whether its stack was unwound.
struct Unwound {
    bool& flag;
    ~Unwound() { flag = true; }
};

TEST(WorldScheduler, EndingTheWorldUnwindsProgramsWhereverTheyWait) {
    bool inLoop = false;
    bool inBox = false;
    bool inSleep = false;
    bool notStarted = false;
    bool ranAfterWait = false;
    {
        World world;
        SimPc& a = world.AddPc({.computerName = u"PC-A"});
        SimPc& b = world.AddPc({.computerName = u"PC-B"});
        SimPc& c = world.AddPc({.computerName = u"PC-C"});
        SimPc& d = world.AddPc({.computerName = u"PC-D"});
        world.Start(a, [&](os::Platform& os) {
            Unwound guard{inLoop};
            LoopDialog dlg(os.ui);
            dlg.onInit = [](LoopDialog& w) { w.Window().SetTimer(3, 50); };
            dlg.DoModal();
            ranAfterWait = true;
        });
        world.Start(b, [&](os::Platform& os) {
            Unwound guard{inBox};
            os.ui.MessageBox(nullptr, u"待機", u"", os::kMbOk);
            ranAfterWait = true;
        });
        world.Start(c, [&](os::Platform& os) {
            Unwound guard{inSleep};
            os.sys.Sleep(1'000'000);
            ranAfterWait = true;
        });
        ASSERT_TRUE(world.RunFor(500));
        EXPECT_NE(b.ui().OpenBox(), nullptr);
        world.Start(d, [&](os::Platform&) { notStarted = true; });
    }
    EXPECT_TRUE(inLoop);
    EXPECT_TRUE(inBox);
    EXPECT_TRUE(inSleep);
    EXPECT_FALSE(notStarted) << "a program that never ran is not run at the end";
    EXPECT_FALSE(ranAfterWait);
}

TEST(WorldScheduler, ProgramExceptionsAreReported) {
    World world;
    SimPc& a = world.AddPc();
    world.Start(a, [](os::Platform&) { throw std::runtime_error("disk on fire"); });
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_TRUE(world.Finished(a));
    EXPECT_EQ(world.Error(a), "disk on fire");
}

TEST(WorldScheduler, PcsKnowEachOtherByName) {
    World world;
    SimPc& a = world.AddPc({.computerName = u"PC-A"});
    SimPc& b = world.AddPc({.computerName = u"PC-B", .address = {10, 0, 0, 7}});
    EXPECT_EQ(a.address(), (os::IPv4{192, 168, 1, 10}));
    std::array<uint8_t, 4> found{};
    ASSERT_TRUE(a.sys().SocketsStartup());
    ASSERT_TRUE(b.sys().SocketsStartup());
    ASSERT_TRUE(a.sys().LookupHost("pc-b", found));
    EXPECT_EQ(found, (std::array<uint8_t, 4>{10, 0, 0, 7}));
    ASSERT_TRUE(b.sys().LookupHost("PC-A", found));
    EXPECT_EQ(found, (std::array<uint8_t, 4>{192, 168, 1, 10}));
    EXPECT_EQ(&a.clock(), &b.clock());
    EXPECT_TRUE(a.net().Attached());
}

}  // namespace
}  // namespace sim
