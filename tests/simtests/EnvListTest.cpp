// The environment selection dialog: what both PCs allow, the boxes forced off, run and its
// refusal, the hidden commands, and the choice kept from one environment copy to the next.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/TandrixApp.h"
#include "app/TandrixDlg.h"
#include "common/RoleScript.h"
#include "modes/DlgEnvList.h"
#include "platform/FolderPathInfo.h"
#include "resource.h"
#include "sim/SimDialogWindow.h"
#include "sim/SimPc.h"

namespace {

// Centres of the painted buttons.
constexpr os::Point kRun{494, 263};
constexpr os::Point kCancel{494, 339};
constexpr os::Point kManual{60, 25};

const os::WString kNothing = u"ひとつも選択されていません";

// The five items a user can choose, in table order.
constexpr std::array<size_t, 5> kShown{env::kMyDoc, env::kMyPic, env::kMyVideo, env::kMyMusic,
                                       env::kDesktop};

// Per shown item: "+" checked, "-" unchecked, "x" disabled and unchecked, "!" disabled yet
// checked.
std::string BoxStates(sim::SimDialogWindow& panel) {
    std::string out;
    for (const size_t i : kShown) {
        const int id = env::kItems[i].controlId;
        out += !panel.ItemEnabled(id) ? (panel.GetCheck(id) ? '!' : 'x')
                                      : (panel.GetCheck(id) ? '+' : '-');
    }
    return out;
}

class EnvListTest : public ::testing::Test {
  protected:
    EnvListTest() : folders(pc.sys()), dialog(pc.platform(), nullptr) {}

    int Open(uint32_t ownOs = kOs10, uint32_t remoteOs = kOs10) {
        dialog.ReadFacts(folders, pc.fs(), ownOs, remoteOs);
        const int result = dialog.DoModal();
        EXPECT_TRUE(pc.ui().ScriptErrors().empty())
            << (pc.ui().ScriptErrors().empty() ? "" : pc.ui().ScriptErrors().front());
        return result;
    }
    sim::SimDialogWindow& Panel() {
        sim::SimDialogWindow* panel = pc.ui().FindWindow(IDD_ENVLISTCHKS);
        EXPECT_NE(panel, nullptr);
        return *panel;
    }
    std::string Boxes() { return BoxStates(Panel()); }
    static std::string Flags(const env::RunFlags& flags) {
        std::string out;
        for (const size_t i : kShown) {
            out += flags[i] ? '1' : '0';
        }
        return out;
    }
    void Look(const std::string& label, std::function<void()> check) {
        pc.ui().Do(label, [check](sim::SimDialogWindow&) { check(); }).In(IDD_ENVLIST);
    }
    void Toggle(int id) {
        pc.ui()
            .Do("toggle " + std::to_string(id),
                [this, id](sim::SimDialogWindow&) { Panel().DeliverCheckClick(id); })
            .In(IDD_ENVLIST);
    }

    sim::SimPc pc;
    CFolderPathInfo folders;
    CDlgEnvList dialog;
};

TEST_F(EnvListTest, OpensWithTheFiveFoldersOnAWhitePanelAndEverythingElseForcedOff) {
    pc.ui().RequestPaint().In(IDD_ENVLIST);
    Look("look", [&] {
        sim::SimDialogWindow& window = *pc.ui().FindWindow(IDD_ENVLIST);
        EXPECT_EQ(window.GetCaption(), u"ソラノワ Basic");
        EXPECT_EQ(Boxes(), "+++++");
        EXPECT_TRUE(Panel().Exists());
        EXPECT_TRUE(dialog.m_chks.HasWhiteBackground());
        for (size_t i = 0; i < env::kItemCount; ++i) {
            if (env::kItems[i].shown) {
                continue;
            }
            const int id = env::kItems[i].controlId;
            SCOPED_TRACE(id);
            EXPECT_FALSE(Panel().GetCheck(id));
            // iTunes is hidden; every other box is disabled.
            EXPECT_EQ(Panel().ItemVisible(id), id != IDC_ENV_ITUNES);
            EXPECT_EQ(Panel().ItemEnabled(id), id == IDC_ENV_ITUNES);
        }
        using rolescript::Bitmap;
        EXPECT_EQ(rolescript::Describe(window.LastPaint()),
                  (std::vector<std::string>{
                      Bitmap(287, 0, 0), Bitmap(172, 0, 60), Bitmap(173, 411, 227),
                      Bitmap(174, 411, 307), Bitmap(288, 10, 7),
                      rolescript::Text("引越する環境の項目を選択してください。「実行」をクリック"
                                       "すると、チェックした項目の引越が始まります。",
                                       20, 56)}));
    });
    pc.ui().ClickAt(kCancel).In(IDD_ENVLIST);
    EXPECT_EQ(Open(), os::kIdCancel);
    EXPECT_FALSE(dialog.m_chks.HasWindow()) << "the panel goes with its dialog";
    for (size_t i = 0; i < env::kItemCount; ++i) {
        EXPECT_EQ(dialog.m_bRunFlags[i], env::kItems[i].shown) << i;
    }
}

TEST_F(EnvListTest, WhatCannotMoveIsDisabledAndCleared) {
    const os::WString profile = pc.ProfileFolder();
    const struct {
        const char* label;
        std::function<void(sim::SimPc&)> setup;
        uint32_t ownOs, remoteOs;
        const char* boxes;
    } rows[] = {
        {"no Videos location", [](sim::SimPc& p) { p.sys().RemoveFolder(os::kCsidlMyVideo); },
         kOs10, kOs10, "++x++"},
        {"Music location without a folder",
         [&](sim::SimPc& p) { p.sys().SetFolder(os::kCsidlMyMusic, profile + u"\\Gone"); }, kOs10,
         kOs10, "+++x+"},
        {"Pictures location is a file",
         [&](sim::SimPc& p) {
             p.fs().WriteFile(profile + u"\\pic.txt", "x");
             p.sys().SetFolder(os::kCsidlMyPictures, profile + u"\\pic.txt");
         },
         kOs10, kOs10, "+x+++"},
        {"no Documents location", [](sim::SimPc& p) { p.sys().RemoveFolder(os::kCsidlPersonal); },
         kOs10, kOs10, "x++++"},
        {"this PC runs Windows 2000", nullptr, kOs2000Pro, kOs10, "++xx+"},
        {"the partner runs Windows 2000 Server", nullptr, kOsXPPro, kOs2000Server, "++xx+"},
        {"Windows XP on both", nullptr, kOsXPHome, kOsXPPro, "+++++"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        sim::SimPc fresh;
        CFolderPathInfo info(fresh.sys());
        CDlgEnvList list(fresh.platform(), nullptr);
        if (row.setup) {
            row.setup(fresh);
        }
        std::string seen;
        fresh.ui().Do("look", [&](sim::SimDialogWindow&) {
            seen = BoxStates(*fresh.ui().FindWindow(IDD_ENVLISTCHKS));
        });
        fresh.ui().ClickAt(kRun).In(IDD_ENVLIST);
        list.ReadFacts(info, fresh.fs(), row.ownOs, row.remoteOs);
        EXPECT_EQ(list.DoModal(), os::kIdOk);
        EXPECT_EQ(seen, row.boxes);
        std::string flags = row.boxes;
        for (char& c : flags) {
            c = c == '+' ? '1' : '0';
        }
        EXPECT_EQ(Flags(list.m_bRunFlags), flags);
    }
}

TEST_F(EnvListTest, RunWithNothingCheckedIsRefusedAndTheChoiceIsKeptForTheNextCopy) {
    for (const size_t i : kShown) {
        Toggle(env::kItems[i].controlId);
    }
    pc.ui().ClickAt(kRun).In(IDD_ENVLIST);
    Look("still open", [&] { EXPECT_EQ(Boxes(), "-----"); });
    Toggle(IDC_ENV_DESKTOP);
    pc.ui().ClickAt(kRun).In(IDD_ENVLIST);
    EXPECT_EQ(Open(), os::kIdOk);
    ASSERT_EQ(pc.ui().Boxes().size(), 1u);
    EXPECT_EQ(pc.ui().Boxes()[0].text, kNothing);
    EXPECT_EQ(pc.ui().Boxes()[0].title, u"ソラノワ Basic");
    EXPECT_EQ(Flags(dialog.m_bRunFlags), "00001");

    // The next copy opens with the same choice; Videos vanished meanwhile and comes back later
    // still unchecked until the user checks it again.
    pc.sys().RemoveFolder(os::kCsidlMyVideo);
    Look("second opening", [&] { EXPECT_EQ(Boxes(), "--x-+"); });
    Toggle(IDC_ENV_MYDOC);
    pc.ui().ClickAt(kRun).In(IDD_ENVLIST);
    EXPECT_EQ(Open(), os::kIdOk);
    EXPECT_EQ(Flags(dialog.m_bRunFlags), "10001");

    pc.sys().SetFolder(os::kCsidlMyVideo, pc.ProfileFolder() + u"\\Videos");
    Look("third opening", [&] { EXPECT_EQ(Boxes(), "+---+"); });
    Toggle(IDC_ENV_MYPIC);
    pc.ui().PressEscape().In(IDD_ENVLIST);
    EXPECT_EQ(Open(), os::kIdCancel);
    EXPECT_EQ(Flags(dialog.m_bRunFlags), "10001") << "cancelling changes nothing";
    EXPECT_EQ(dialog.m_bChecks[env::kMyPic], false);
}

TEST_F(EnvListTest, HiddenCommandsAndEnter) {
    pc.sys().RemoveFolder(os::kCsidlMyMusic);
    pc.ui().Command(IDC_ENV_ALLOFF).In(IDD_ENVLIST);
    pc.ui().Command(IDC_ENV_RUN).In(IDD_ENVLIST);
    Look("all off", [&] {
        EXPECT_EQ(Boxes(), "---x-");
        EXPECT_EQ(pc.ui().Boxes().size(), 1u);
    });
    pc.ui().Command(IDC_ENV_ALLON).In(IDD_ENVLIST);
    Look("all on", [&] {
        EXPECT_EQ(Boxes(), "+++x+");
        EXPECT_FALSE(Panel().GetCheck(IDC_ENV_ITUNES)) << "a hidden box stays as it is";
    });
    Toggle(IDC_ENV_MYPIC);
    // Enter would end the dialog without recording the boxes: it does nothing.
    pc.ui().PressEnter().In(IDD_ENVLIST);
    Look("after Enter", [&] { EXPECT_FALSE(pc.ui().FindWindow(IDD_ENVLIST)->Ended()); });
    pc.ui().Command(IDC_ENV_RUN_ALL).In(IDD_ENVLIST);
    EXPECT_EQ(Open(), os::kIdOk);
    for (size_t i = 0; i < env::kItemCount; ++i) {
        EXPECT_TRUE(dialog.m_bRunFlags[i]) << i;
    }
    EXPECT_EQ(dialog.m_bChecks[env::kMyPic], false);
    EXPECT_EQ(dialog.m_bChecks[env::kMyDoc], true);
}

TEST_F(EnvListTest, MouseActsWhereThePressEndsAndTheManualOpens) {
    pc.ui().ClickAt(kManual).In(IDD_ENVLIST);
    Look("a release without a press here", [&] {
        dialog.OnMouse(os::MouseEvent::Up, kRun);
        EXPECT_FALSE(pc.ui().FindWindow(IDD_ENVLIST)->Ended());
    });
    Look("press on run, release on cancel", [&] {
        dialog.OnMouse(os::MouseEvent::Down, kRun);
        EXPECT_TRUE(dialog.m_bPressed);
        EXPECT_TRUE(pc.ui().FindWindow(IDD_ENVLIST)->HasCapture());
        dialog.OnMouse(os::MouseEvent::Up, kCancel);
        EXPECT_FALSE(dialog.m_bPressed);
        EXPECT_FALSE(pc.ui().FindWindow(IDD_ENVLIST)->HasCapture());
    });
    EXPECT_EQ(Open(), os::kIdCancel);
    ASSERT_EQ(pc.shell().Calls().size(), 1u);
    EXPECT_EQ(pc.shell().Calls()[0].verb, u"open");
    EXPECT_EQ(pc.shell().Calls()[0].path, u"https://www.soranowa.example/basic/manual/");
}

TEST_F(EnvListTest, MailBoxesGoTogetherOnlyWithAMailClient) {
    for (const bool mail : {false, true}) {
        SCOPED_TRACE(mail);
        sim::SimPc fresh;
        CDlgEnvListChks panel(fresh.ui(), nullptr);
        panel.m_bMailClient = mail;
        ASSERT_TRUE(panel.Create());
        auto& window = static_cast<sim::SimDialogWindow&>(panel.Window());
        window.SetCheck(IDC_ENV_OEACCOUNT, true);
        window.SetCheck(IDC_ENV_OEMAIL, true);
        window.DeliverCheckClick(IDC_ENV_OEACCOUNT);
        EXPECT_EQ(window.GetCheck(IDC_ENV_OEMAIL), !mail);
        window.DeliverCheckClick(IDC_ENV_OEMAIL);
        window.DeliverCheckClick(IDC_ENV_OEMAIL);
        EXPECT_EQ(window.GetCheck(IDC_ENV_OEACCOUNT), mail);
    }
}

TEST(AskCopyEnvTest, GoesAheadOnlyOnRunAndTakesThePartnersWindows2000) {
    sim::SimPc pc;
    CTandrixApp app(pc.platform());
    CTandrixDlg dlg(app);
    ASSERT_NE(dlg.m_pEnvList, nullptr);
    pc.ui().Do("asked again while open", [&](sim::SimDialogWindow&) {
        EXPECT_FALSE(dlg.AskCopyEnv()) << "a dialog that could not be shown asked nothing";
    });
    pc.ui().PressEscape().In(IDD_ENVLIST);
    EXPECT_FALSE(dlg.AskCopyEnv());
    dlg.m_peer.m_nRemoteOSVer = static_cast<int>(kOs2000AdvServer);
    pc.ui().ClickAt(kRun).In(IDD_ENVLIST);
    EXPECT_TRUE(dlg.AskCopyEnv());
    EXPECT_EQ(pc.ui().ScriptErrors().size(), 0u);
    EXPECT_FALSE(dlg.m_pEnvList->m_bRunFlags[env::kMyMusic]);
    EXPECT_FALSE(dlg.m_pEnvList->m_bRunFlags[env::kMyVideo]);
    EXPECT_TRUE(dlg.m_pEnvList->m_bRunFlags[env::kMyDoc]);
}

}  // namespace
