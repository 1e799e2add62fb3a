// Start-up and shutdown of the program on a simulated PC: the single-instance mutex, the
// socket library, the platform check and the exit path that removes the work folder.
#include <gtest/gtest.h>

#include "app/TandrixApp.h"
#include "app/TandrixDlg.h"
#include "common/RoleScript.h"
#include "resource.h"
#include "sim/SimDialogWindow.h"
#include "sim/SimPc.h"

namespace {

const os::WString kWork = u"C:\\Users\\taro\\Documents\\ソラノワBasic\\work";

TEST(StartupTest, ASecondCopyIsRefusedWhileTheFirstRuns) {
    sim::SimPc first;
    sim::SimPcConfig config;
    config.mutexes = first.sys().Mutexes();
    sim::SimPc second(config);  // another process of the same PC

    int secondResult = -1;
    first.ui().Do("start a second copy", [&](sim::SimDialogWindow&) {
        CTandrixApp app(second.platform());
        secondResult = app.Run();
    });
    first.ui().Do("the first copy still holds the name", [&](sim::SimDialogWindow&) {
        bool existed = false;
        auto probe = second.sys().CreateNamedMutex(u"MyInstance", existed);
        EXPECT_TRUE(existed);
    });
    first.ui().PressEscape().In(IDD_IPNUMBER);

    CTandrixApp app(first.platform());
    EXPECT_EQ(app.Run(), 0);

    EXPECT_EQ(secondResult, 0);
    ASSERT_EQ(second.ui().Boxes().size(), 1u);
    EXPECT_EQ(second.ui().Boxes()[0].text, u"本製品は複数同時に起動できません。");
    EXPECT_EQ(second.ui().Boxes()[0].title, u"ソラノワ Basic");
    EXPECT_TRUE(second.ui().Windows().empty()) << "the second copy opens no window";
    EXPECT_TRUE(first.ui().Boxes().empty());
    EXPECT_TRUE(first.ui().ScriptErrors().empty());

    // Once the first copy has ended, the name is free again.
    bool existed = true;
    auto again = second.sys().CreateNamedMutex(u"MyInstance", existed);
    EXPECT_FALSE(existed);
}

TEST(StartupTest, SocketLibraryFailureEndsTheProgram) {
    sim::SimPc pc;
    pc.sys().SetFails(sim::SimCall::SocketsStartup, true);
    CTandrixApp app(pc.platform());
    app.Run();
    ASSERT_EQ(pc.ui().Boxes().size(), 1u);
    EXPECT_EQ(pc.ui().Boxes()[0].text, u"ソケットの初期化に失敗しました。");
    EXPECT_TRUE(pc.ui().Windows().empty());
}

TEST(StartupTest, PlatformsOutsideTheNtFamilyAreRefused) {
    const struct {
        uint32_t platformId;
        const char16_t* message;
    } rows[] = {
        {0, u"当プログラムは、Windows3.1には、対応しておりません"},
        {1, u"当プログラムは、Windows95/98/Meには、対応しておりません"},
        {3, u"OSの種類が不明です"},
    };
    for (const auto& row : rows) {
        sim::SimPc pc;
        os::VersionInfo version{row.platformId, 4, 10, 2222, u" A", 0, 0};
        pc.sys().SetVersion(version);
        CTandrixApp app(pc.platform());
        app.Run();
        ASSERT_EQ(pc.ui().Boxes().size(), 1u) << row.platformId;
        EXPECT_EQ(pc.ui().Boxes()[0].text, row.message);
        EXPECT_TRUE(pc.sys().Exited());
        EXPECT_EQ(pc.sys().ExitCode(), 0);
    }
}

TEST(StartupTest, EveryNtVersionStarts) {
    for (uint32_t major : {4u, 5u, 6u, 10u, 11u}) {
        sim::SimPc pc;
        pc.sys().SetVersion(os::VersionInfo{2, major, 0, 100, u"", 0, 3});
        rolescript::ChooseRole(pc.ui(), rolescript::Role::Source);
        pc.ui().PressEscape().In(IDD_TANDRIX_DIALOG);
        CTandrixApp app(pc.platform());
        app.Run();
        EXPECT_FALSE(pc.sys().Exited()) << major;
        EXPECT_TRUE(pc.ui().Boxes().empty()) << major;
    }
}

TEST(StartupTest, ExitPathRemovesTheWorkFolder) {
    sim::SimPc pc;
    ASSERT_TRUE(pc.fs().WriteFile(kWork + u"\\FerryloPath.log", "x", os::kAttrReadOnly));
    ASSERT_TRUE(pc.fs().MakeFolders(kWork + u"\\sub\\deeper"));
    rolescript::ChooseRole(pc.ui(), rolescript::Role::Destination);
    pc.ui().PressEscape().In(IDD_TANDRIX_DIALOG);

    CTandrixApp app(pc.platform());
    app.Run();

    EXPECT_FALSE(pc.fs().Exists(kWork));
    EXPECT_TRUE(pc.fs().Exists(u"C:\\Users\\taro\\Documents\\ソラノワBasic"));
    EXPECT_GE(pc.sys().SleptMs(), 500u);
    EXPECT_TRUE(pc.sys().JapaneseLocaleSet());
    EXPECT_EQ(pc.sys().SocketsStartups(), pc.sys().SocketsCleanups());
}

TEST(StartupTest, MainWindowGetsItsCaptionIconAndAboutEntry) {
    sim::SimPc pc;
    rolescript::ChooseRole(pc.ui(), rolescript::Role::Source);
    pc.ui().Do("look", [&](sim::SimDialogWindow& window) {
        EXPECT_EQ(window.GetCaption(), u"ソラノワ Basic");
        EXPECT_EQ(window.IconId(), IDR_MAINFRAME);
        ASSERT_EQ(window.SystemMenu().size(), 1u);
        EXPECT_EQ(window.SystemMenu()[0].first, 16u);
        EXPECT_EQ(window.SystemMenu()[0].second, u"ソラノワ Basicのバージョン情報(&A)...");
    });
    pc.ui().SysCommand(16).In(IDD_TANDRIX_DIALOG);
    pc.ui().Do("about box", [&](sim::SimDialogWindow& window) {
        EXPECT_EQ(window.TemplateId(), IDD_ABOUTBOX);
        EXPECT_EQ(window.GetCaption(), u"ソラノワ Basicのバージョン情報");
        EXPECT_EQ(window.GetItemText(IDC_ABOUT_VERSION), u"ソラノワ Basic Version 6.0");
    });
    pc.ui().PressEnter().In(IDD_ABOUTBOX);
    pc.ui().PressEnter().In(IDD_TANDRIX_DIALOG);
    pc.ui().PressEscape().In(IDD_TANDRIX_DIALOG);
    CTandrixApp app(pc.platform());
    app.Run();
    EXPECT_TRUE(pc.ui().ScriptErrors().empty());
    EXPECT_EQ(pc.ui().IdleCloses(), 0) << "Enter does not close the main window; Escape does";
}

}  // namespace
