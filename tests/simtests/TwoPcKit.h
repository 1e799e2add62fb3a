// Two simulated PCs running the whole program against each other: the fixture the copy
// stories share. The source is PC-A (192.168.1.10), the destination PC-B (192.168.1.11).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/TandrixApp.h"
#include "app/TandrixDlg.h"
#include "common/RoleScript.h"
#include "platform/FilePath.h"
#include "resource.h"
#include "sim/SimDialogWindow.h"
#include "sim/SimWorld.h"

namespace twopc {

inline CTandrixDlg& MainDialog(sim::SimDialogWindow& window) {
    return dynamic_cast<CTandrixDlg&>(window.Dialog());
}

// The two PCs of every two-PC story: PC-A (the source) and PC-B, whose user is hanako.
inline void AddTwoPcs(sim::World& world, sim::SimPc*& src, sim::SimPc*& dst) {
    sim::SimPcConfig a;
    a.computerName = u"PC-A";
    a.address = {192, 168, 1, 10};
    sim::SimPcConfig b;
    b.computerName = u"PC-B";
    b.userName = u"hanako";
    b.address = {192, 168, 1, 11};
    src = &world.AddPc(a);
    dst = &world.AddPc(b);
}

// Both programs start; in the role dialog the source's user chooses 引越元 and names PC-B, the
// destination's user 引越先 and PC-A. They run in the world's next run.
inline void StartTwoPrograms(sim::World& world, sim::SimPc& src, sim::SimPc& dst) {
    rolescript::ChooseRole(src.ui(), rolescript::Role::Source, u"PC-B");
    rolescript::ChooseRole(dst.ui(), rolescript::Role::Destination, u"PC-A");
    for (sim::SimPc* pc : {&src, &dst}) {
        world.Start(*pc, [](os::Platform& os) {
            CTandrixApp app(os);
            app.Run();
        });
    }
}

class TwoPcTest : public ::testing::Test {
  protected:
    explicit TwoPcTest(uint64_t seed = 1) : world(seed) { AddTwoPcs(world, src, dst); }

    void StartBoth() {
        StartTwoPrograms(world, *src, *dst);
        Run();
        ASSERT_EQ(Main(*src).m_nPcRole, 1);
        ASSERT_EQ(Main(*dst).m_nPcRole, 2);
    }

    // Runs `action` on the PC's own thread, inside its main window's loop.
    void OnMain(sim::SimPc& pc, const std::string& label,
                std::function<void(CTandrixDlg&)> action) {
        pc.ui()
            .Do(label, [action](sim::SimDialogWindow& window) { action(MainDialog(window)); })
            .In(IDD_TANDRIX_DIALOG);
    }

    void Run() {
        ASSERT_TRUE(world.RunUntilIdle()) << world.Failure();
        for (sim::SimPc* pc : {src, dst}) {
            EXPECT_TRUE(pc->ui().ScriptErrors().empty())
                << (pc->ui().ScriptErrors().empty() ? "" : pc->ui().ScriptErrors().front());
            EXPECT_EQ(world.Error(*pc), "");
        }
    }

    CTandrixDlg& Main(sim::SimPc& pc) {
        sim::SimDialogWindow* window = pc.ui().FindWindow(IDD_TANDRIX_DIALOG);
        EXPECT_NE(window, nullptr);
        return MainDialog(*window);
    }

    // Pairs the two PCs through a copy command of the source (mode 2), as a click on the
    // file-list button would; its list dialog is closed again, and the test supplies the list
    // afterwards.
    void Pair() {
        OnMain(*src, "click the file-list copy", [](CTandrixDlg& dlg) {
            dlg.m_bCopyStarted = true;
            dlg.OnCopyCommand(2);
        });
        Run();
        ASSERT_TRUE(Main(*src).m_bDrivesExchanged);
        ASSERT_TRUE(Main(*dst).m_bDrivesExchanged);
        ASSERT_NE(src->ui().FindWindow(IDD_FILELIST), nullptr) << "the list dialog is open";
        src->ui().PressEscape().In(IDD_FILELIST);
        Run();
    }

    // Starts a list copy of `sources` to the destination's drive `letter`.
    void CopyList(const std::vector<os::WString>& sources, char16_t letter) {
        OnMain(*src, "start the list copy", [sources, letter](CTandrixDlg& dlg) {
            CFilePath list;
            for (const auto& source : sources) {
                list.AddPath(source, false);
            }
            dlg.m_sDestDrive.back() = letter;
            dlg.m_nCopyMode = 2;
            dlg.BuildListSendPath(list);
            dlg.BeginCopy();
            dlg.Window().Enable(true);
        });
        Run();
    }

    // The text of the box a PC shows now (empty when none), answered with `answer`.
    os::WString TakeBox(sim::SimPc& pc, int answer = os::kIdOk) {
        const sim::SimBox* box = pc.ui().OpenBox();
        if (box == nullptr) {
            return u"";
        }
        const os::WString text = box->text;
        pc.ui().AnswerBox(answer);
        Run();
        return text;
    }

    sim::World world;
    sim::SimPc* src = nullptr;
    sim::SimPc* dst = nullptr;
};

}  // namespace twopc
