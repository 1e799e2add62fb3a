// The main window after the role choice: the role and partner it takes over, what it paints on
// each screen for each role, which buttons react, and the connect step with its searching
// dialog.
#include <gtest/gtest.h>

#include <optional>

#include "app/TandrixApp.h"
#include "app/TandrixDlg.h"
#include "common/RoleScript.h"
#include "common/ScriptedNet.h"
#include "net/DlgIPNumber.h"
#include "sim/SimPc.h"

namespace {

using rolescript::Bitmap;
using rolescript::Describe;
using rolescript::Role;
using rolescript::Text;

CTandrixDlg& MainDialog(sim::SimDialogWindow& window) {
    return static_cast<CTandrixDlg&>(window.Dialog());
}

constexpr char16_t kNotFound[] =
    u"他のコンピュータが見つかりませんでした。\nもう一台のパソコンでも、このソフトを実行してくだ"
    u"さい";

TEST(ChooseRole, CancelOrQuitEndsTheProgramBeforeTheMainWindowShows) {
    for (const bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "quit button" : "Escape");
        sim::SimPc pc;
        if (quit) {
            pc.ui().ClickAt(rolescript::kQuitButton).In(IDD_IPNUMBER);
        } else {
            pc.ui().PressEscape().In(IDD_IPNUMBER);
        }
        CTandrixApp app(pc.platform());
        EXPECT_EQ(app.Run(), 0);
        EXPECT_TRUE(pc.ui().QuitPosted());
        EXPECT_EQ(pc.ui().QuitCode(), 0);
        EXPECT_TRUE(pc.ui().ScriptErrors().empty());
        EXPECT_TRUE(pc.ui().Boxes().empty());
        EXPECT_EQ(pc.ui().IdleCloses(), 0);
        EXPECT_EQ(pc.sys().SleptMs(), 0u) << "screen 0: no exit path";
        EXPECT_TRUE(pc.net().ConnectAttempts().empty());
        EXPECT_EQ(pc.net().OpenSockets(), 0) << "nothing listens";
    }
}

TEST(ChooseRole, TheFirewallRulesAreInPlaceBeforeTheRoleIsChosen) {
    // The discovery socket is bound before the role dialog opens; its rule must come first.
    sim::SimPc pc;
    pc.ui().Do("look at the firewall", [&](sim::SimDialogWindow&) {
        EXPECT_EQ(pc.shell().Firewall().rules.count(u"ソラノワBasic (TCP 52379)"), 1u);
        EXPECT_EQ(pc.shell().Firewall().rules.count(u"ソラノワBasic (UDP 52380)"), 1u);
    });
    pc.ui().PressEscape().In(IDD_IPNUMBER);
    CTandrixApp app(pc.platform());
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(pc.ui().ScriptErrors().empty());
}

TEST(ChooseRole, TheChosenRoleListensForThePartnerOnly) {
    const struct {
        Role role;
        const char16_t* partner;
        int pcRole;
        const char16_t* address;
        std::vector<os::IPv4> allowed;
    } rows[] = {
        {Role::Source, u"PC-B", 1, u"192.168.1.20", {{192, 168, 1, 20}, {172, 16, 0, 9}}},
        {Role::Destination, u"10.0.0.7", 2, u"10.0.0.7", {{10, 0, 0, 7}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pcRole);
        sim::SimPc pc;
        pc.sys().AddHost("pc-b", {192, 168, 1, 20});
        pc.sys().AddHost("pc-b", {172, 16, 0, 9});
        rolescript::ChooseRole(pc.ui(), row.role, row.partner);
        bool checked = false;
        CTandrixApp app(pc.platform());
        pc.ui()
            .Do("main window",
                [&](sim::SimDialogWindow& w) {
                    CTandrixDlg& dlg = MainDialog(w);
                    EXPECT_EQ(dlg.m_nPcRole, row.pcRole);
                    EXPECT_EQ(dlg.m_nScreen, 1);
                    EXPECT_FALSE(dlg.m_bQuitPending);
                    EXPECT_EQ(app.m_sPartnerAddress, row.address);
                    EXPECT_EQ(dlg.m_ServerSocket.PartnerAddresses(), row.allowed);
                    EXPECT_TRUE(pc.net().Listening(52379));
                    EXPECT_EQ(w.LastPaint().size() > 0, true) << "painted after the role choice";
                    checked = true;
                })
            .In(IDD_TANDRIX_DIALOG);
        pc.ui().PressEscape().In(IDD_TANDRIX_DIALOG);
        app.Run();
        EXPECT_TRUE(checked);
        EXPECT_TRUE(pc.ui().ScriptErrors().empty());
        EXPECT_FALSE(pc.ui().QuitPosted());
        EXPECT_TRUE(pc.net().ConnectAttempts().empty()) << "nobody connects before a copy";
    }
}

// The state a screen is painted in, and everything it must draw, in order.
struct PaintRow {
    const char* story;
    int screen;
    bool exchanged, connected, copyStarted;
    std::vector<std::string> ops;
};

void ExpectPaints(Role role, const std::vector<PaintRow>& rows) {
    sim::SimPc pc;
    rolescript::ChooseRole(pc.ui(), role);
    pc.ui().Do("paint every state", [&](sim::SimDialogWindow& w) {
        CTandrixDlg& dlg = MainDialog(w);
        for (const PaintRow& row : rows) {
            dlg.m_nScreen = row.screen;
            dlg.m_bDrivesExchanged = row.exchanged;
            dlg.m_bConnected = row.connected;
            dlg.m_bCopyStarted = row.copyStarted;
            w.Paint();
            EXPECT_EQ(Describe(w.LastPaint()), row.ops) << row.story;
        }
        dlg.m_nScreen = 1;
        dlg.m_bConnected = false;
    });
    pc.ui().PressEscape().In(IDD_TANDRIX_DIALOG);
    CTandrixApp app(pc.platform());
    app.Run();
    EXPECT_TRUE(pc.ui().ScriptErrors().empty());
}

TEST(MainWindowPaint, SourceScreens) {
    const std::vector<std::string> live = {
        Bitmap(287, 0, 0),    Bitmap(200, 0, 60),    Bitmap(182, 46, 105), Bitmap(183, 306, 105),
        Bitmap(184, 46, 242), Bitmap(185, 306, 242), Bitmap(288, 10, 7)};
    const std::vector<std::string> disabled = {
        Bitmap(287, 0, 0),    Bitmap(200, 0, 60),    Bitmap(234, 46, 105), Bitmap(285, 306, 105),
        Bitmap(286, 46, 242), Bitmap(314, 306, 242), Bitmap(288, 10, 7)};
    const auto with = [](std::vector<std::string> ops, std::vector<std::string> more) {
        ops.insert(ops.end(), more.begin(), more.end());
        return ops;
    };
    const std::string choose =
        Text("下のボタンから引越の種類を選んでクリックしてください。", 30, 92);
    ExpectPaints(
        Role::Source,
        {
            {"ready", 1, false, false, false,
             with(live, {Text("接続の準備が出来ました。", 30, 64, true), choose})},
            {"paired after a click here", 1, true, true, true,
             with(live, {Text("接続できました。", 30, 64, true), choose})},
            {"contacted by the partner first", 1, false, true, false,
             with(disabled,
                  {Text("接続の準備が出来ました。", 30, 64, true),
                   Text("こちらは引越先として動作していますので、引越はできません。", 30, 92)})},
            {"contacted first, drives exchanged", 1, true, true, false,
             with(disabled,
                  {Text("接続できました。", 30, 64, true),
                   Text("こちらは引越先として動作していますので、引越はできません。", 30, 92)})},
            {"searching", 2, false, false, false, live},
            {"receiving",
             4,
             false,
             false,
             false,
             {Bitmap(287, 0, 0), Bitmap(200, 0, 60), Bitmap(288, 10, 7),
              Text("コピーデータ受信中です...", 30, 64, true)}},
            {"not set up",
             0,
             false,
             false,
             false,
             {Bitmap(287, 0, 0), Bitmap(201, 0, 60), Bitmap(198, 158, 239), Bitmap(288, 10, 7)}},
        });
}

TEST(MainWindowPaint, DestinationScreens) {
    const std::vector<std::string> base = {Bitmap(287, 0, 0), Bitmap(251, 0, 60),
                                           Bitmap(236, 208, 247), Bitmap(288, 10, 7)};
    const auto with = [](std::vector<std::string> ops, std::vector<std::string> more) {
        ops.insert(ops.end(), more.begin(), more.end());
        return ops;
    };
    const std::string noTouch =
        Text("・データを転送中はこのパソコンでは操作をしないでください。", 120, 142);
    const std::string pressEnd = Text("・引越が完了したら[終了]ボタンを押してください。", 120, 162);
    ExpectPaints(
        Role::Destination,
        {
            {"ready", 1, false, false, false,
             with(base,
                  {Text("接続の準備が出来ました。", 30, 64, true),
                   Text("・現在このパソコンは引越先のパソコンとして接続する準備が出来ました。", 120,
                        122),
                   noTouch, pressEnd})},
            {"paired", 1, true, true, false,
             with(base,
                  {Text("接続できました。", 30, 64, true),
                   Text("・現在このパソコンは引越先のパソコンとして接続されています。", 120, 122),
                   noTouch, pressEnd})},
            {"searching", 2, false, false, false, base},
            {"receiving",
             4,
             true,
             true,
             false,
             {Bitmap(287, 0, 0), Bitmap(251, 0, 60), Bitmap(288, 10, 7),
              Text("コピーデータ受信中です...", 30, 64, true)}},
        });
}

// A click on the main window in a given state, and what it must do.
enum class Effect { Nothing, Connects, CopyWithoutConnect, Exits, Manual };
struct ClickRow {
    const char* story;
    Role role;
    int screen;
    bool connected, copyStarted, searching;
    os::Point point;
    Effect effect;
    int mode;  // m_nCopyMode afterwards
};

TEST(MainWindowButtons, ReactPerScreenAndRole) {
    const os::Point fileList{100, 150}, environment{400, 150}, folders{100, 300},
        wholeDrives{400, 300}, end{300, 280}, manual{60, 25}, outside{300, 380};
    const ClickRow rows[] = {
        {"file list", Role::Source, 1, false, false, false, fileList, Effect::Connects, 2},
        {"environment", Role::Source, 1, false, false, false, environment, Effect::Connects, 3},
        {"folders", Role::Source, 1, false, false, false, folders, Effect::Connects, 5},
        {"whole drives", Role::Source, 1, false, false, false, wholeDrives, Effect::Connects, 1},
        {"on screen 2 too", Role::Source, 2, false, false, false, wholeDrives, Effect::Connects, 1},
        {"while searching", Role::Source, 2, false, false, true, wholeDrives, Effect::Nothing, 0},
        {"contacted first: disabled", Role::Source, 1, true, false, false, fileList,
         Effect::Nothing, 0},
        {"connected after own click", Role::Source, 1, true, true, false, folders,
         Effect::CopyWithoutConnect, 5},
        {"receiving", Role::Source, 4, false, false, false, wholeDrives, Effect::Nothing, 0},
        {"source has no end button", Role::Source, 1, false, false, false, end, Effect::Nothing, 0},
        {"outside every button", Role::Source, 1, false, false, false, outside, Effect::Nothing, 0},
        {"source manual", Role::Source, 4, false, false, false, manual, Effect::Manual, 0},
        {"end", Role::Destination, 1, false, false, false, end, Effect::Exits, 0},
        {"end while paired", Role::Destination, 2, true, false, false, end, Effect::Exits, 0},
        {"no end while receiving", Role::Destination, 4, true, false, false, end, Effect::Nothing,
         0},
        {"destination has no copy buttons", Role::Destination, 1, false, false, false, fileList,
         Effect::Nothing, 0},
        {"destination manual", Role::Destination, 1, false, false, false, manual, Effect::Manual,
         0},
    };
    for (const ClickRow& row : rows) {
        SCOPED_TRACE(row.story);
        sim::SimPc pc;
        rolescript::ChooseRole(pc.ui(), row.role);
        bool stillOpen = false;
        int mode = -1;
        pc.ui()
            .Do("click",
                [&](sim::SimDialogWindow& w) {
                    CTandrixDlg& dlg = MainDialog(w);
                    dlg.m_nScreen = row.screen;
                    dlg.m_bConnected = row.connected;
                    dlg.m_bCopyStarted = row.copyStarted;
                    dlg.m_bSearching = row.searching;
                    w.DeliverClick(row.point);
                    stillOpen = !w.Ended();
                    mode = dlg.m_nCopyMode;
                    // What the test set up must not leak into the exit path.
                    dlg.m_bSearching = false;
                    dlg.m_bConnected = false;
                    EXPECT_TRUE(w.Enabled()) << "enabled again after the command";
                })
            .In(IDD_TANDRIX_DIALOG);
        if (row.effect != Effect::Exits) {
            pc.ui().PressEscape().In(IDD_TANDRIX_DIALOG);
        }
        CTandrixApp app(pc.platform());
        app.Run();

        EXPECT_TRUE(pc.ui().ScriptErrors().empty());
        EXPECT_EQ(mode, row.mode);
        EXPECT_EQ(stillOpen, row.effect != Effect::Exits);
        EXPECT_EQ(pc.net().ConnectAttempts().size(), row.effect == Effect::Connects ? 1u : 0u);
        if (row.effect == Effect::Connects) {
            EXPECT_EQ(pc.net().ConnectAttempts()[0].address, "10.0.0.7");
            EXPECT_EQ(pc.net().ConnectAttempts()[0].port, 52379);
            ASSERT_EQ(pc.ui().Boxes().size(), 1u);
            EXPECT_EQ(pc.ui().Boxes()[0].text, kNotFound);
        } else {
            EXPECT_TRUE(pc.ui().Boxes().empty());
        }
        EXPECT_EQ(pc.shell().Calls().size(), row.effect == Effect::Manual ? 1u : 0u);
    }
}

// One connect attempt: the user may cancel the searching dialog while it runs.
enum class CancelBy { Nobody, Button, Escape };
struct ConnectRow {
    const char* story;
    CancelBy cancel;
    bool succeeds;
};

TEST(ConnectToPartner, SearchingDialogShowsDuringTheAttemptAndItsCancelOnlyStopsWaiting) {
    const ConnectRow rows[] = {
        {"partner answers", CancelBy::Nobody, true},
        {"nobody answers", CancelBy::Nobody, false},
        {"cancelled, nobody answers", CancelBy::Button, false},
        {"cancelled, the partner answers after all", CancelBy::Button, true},
        {"Escape in the searching dialog", CancelBy::Escape, false},
    };
    for (const ConnectRow& row : rows) {
        SCOPED_TRACE(row.story);
        sim::SimPc pc;
        ScriptedNet net;
        os::Platform platform{pc.fs(), pc.sys(), pc.shell(), pc.ui(), net};
        CTandrixDlg* dlg = nullptr;
        struct {
            std::string address;
            uint16_t port = 0;
            os::WString caption;
            int screen = -1;
            bool searching = false, goneAtOnce = false, searchingUntilPumped = false,
                 searchingAfterPump = true;
        } seen;
        net.onConnect = [&](const std::string& address, uint16_t port) {
            seen.address = address;
            seen.port = port;
            sim::SimDialogWindow* find = pc.ui().FindWindow(IDD_FINDCANCEL);
            if (find == nullptr) {
                ADD_FAILURE() << "no searching dialog during the attempt";
                return row.succeeds;
            }
            seen.caption = find->GetCaption();
            seen.screen = dlg->m_nScreen;
            seen.searching = dlg->m_bSearching;
            if (row.cancel != CancelBy::Nobody) {
                find->DeliverCommand(row.cancel == CancelBy::Button ? IDC_FIND_CANCEL
                                                                    : os::kIdCancel);
                seen.goneAtOnce = pc.ui().FindWindow(IDD_FINDCANCEL) == nullptr;
                seen.searchingUntilPumped = dlg->m_bSearching;  // posted, not sent
                pc.ui().PumpMessages();
                seen.searchingAfterPump = dlg->m_bSearching;
            }
            return row.succeeds;
        };
        rolescript::ChooseRole(pc.ui(), Role::Source);
        pc.ui()
            .Do("whole-drive copy",
                [&](sim::SimDialogWindow& w) {
                    dlg = &MainDialog(w);
                    w.DeliverClick({400, 300});
                    EXPECT_EQ(dlg->m_bConnected, row.succeeds);
                    EXPECT_FALSE(dlg->m_bSearching);
                    EXPECT_EQ(dlg->m_nScreen, 1);
                    EXPECT_EQ(dlg->m_pFindDlg, nullptr);
                    EXPECT_EQ(pc.ui().FindWindow(IDD_FINDCANCEL), nullptr);
                    dlg->m_bConnected = false;
                })
            .In(IDD_TANDRIX_DIALOG);
        pc.ui().PressEscape().In(IDD_TANDRIX_DIALOG);
        CTandrixApp app(platform);
        app.Run();

        EXPECT_TRUE(pc.ui().ScriptErrors().empty());
        EXPECT_EQ(seen.address, "10.0.0.7");
        EXPECT_EQ(seen.port, 52379);
        EXPECT_EQ(seen.caption, u"ソラノワ Basic");
        EXPECT_EQ(seen.screen, 2);
        EXPECT_TRUE(seen.searching);
        if (row.cancel != CancelBy::Nobody) {
            EXPECT_TRUE(seen.goneAtOnce);
            EXPECT_TRUE(seen.searchingUntilPumped);
            EXPECT_FALSE(seen.searchingAfterPump);
        }
        std::vector<os::WString> boxes;
        for (const auto& box : pc.ui().Boxes()) {
            boxes.push_back(box.text);
        }
        EXPECT_EQ(boxes,
                  row.succeeds ? std::vector<os::WString>{} : std::vector<os::WString>{kNotFound});
        EXPECT_EQ(net.listening, std::vector<uint16_t>{52379});
    }
}

}  // namespace
