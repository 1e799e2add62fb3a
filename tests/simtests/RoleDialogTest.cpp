// The role and partner dialog on its own: its window, its painting and buttons, and the
// partner named by the user, refused when it is this PC or cannot be looked up.
#include <gtest/gtest.h>

#include <optional>

#include "common/RoleScript.h"
#include "net/DlgIPNumber.h"
#include "resource.h"
#include "sim/SimPc.h"

namespace {

using rolescript::Bitmap;
using rolescript::Describe;
using rolescript::Text;

const os::WString kProgramFolder = u"C:\\tandrix\\";

class RoleDialogTest : public ::testing::Test {
  protected:
    int Run() { return dlg.DoModal(); }

    sim::SimPc pc;  // "PC-A"
    CDlgIPNumber dlg{pc.platform(), nullptr, kProgramFolder};
};

TEST_F(RoleDialogTest, WindowHasCaptionIconAboutEntryAndPaintedSize) {
    pc.ui().Do("look", [&](sim::SimDialogWindow& w) {
        EXPECT_EQ(w.GetCaption(), u"ソラノワ Basic");
        EXPECT_EQ(w.IconId(), IDR_MAINFRAME);
        ASSERT_EQ(w.SystemMenu().size(), 1u);
        EXPECT_EQ(w.SystemMenu()[0].first, 16u);
        EXPECT_EQ(w.SystemMenu()[0].second, u"ソラノワ Basicのバージョン情報(&A)...");
        EXPECT_EQ(w.ClientRect().right, 600);
        EXPECT_EQ(w.ClientRect().bottom, 400);
    });
    pc.ui().SysCommand(16).In(IDD_IPNUMBER);
    pc.ui().Do("about box", [](sim::SimDialogWindow& w) {
        EXPECT_EQ(w.GetCaption(), u"ソラノワ Basicのバージョン情報");
    });
    pc.ui().PressEnter().In(IDD_ABOUTBOX);
    pc.ui().PressEnter().In(IDD_IPNUMBER);  // Enter does nothing here
    pc.ui().PressEscape().In(IDD_IPNUMBER);
    EXPECT_EQ(Run(), CDlgIPNumber::kResultCancelled);
    EXPECT_TRUE(pc.ui().ScriptErrors().empty());
    EXPECT_EQ(pc.ui().IdleCloses(), 0);
}

TEST_F(RoleDialogTest, PaintsHeaderPictureThreeButtonsAndTheQuestion) {
    pc.ui().Do("look", [](sim::SimDialogWindow& w) {
        EXPECT_EQ(Describe(w.LastPaint()),
                  (std::vector<std::string>{
                      Bitmap(287, 0, 0), Bitmap(313, 0, 60), Bitmap(304, 24, 131),
                      Bitmap(305, 307, 131), Bitmap(288, 10, 7),
                      Text("このパソコンは引越元ですか？それとも引越先ですか？", 30, 66)}));
    });
    pc.ui().PressEscape();
    Run();
    EXPECT_TRUE(pc.ui().ScriptErrors().empty());
}

TEST_F(RoleDialogTest, MouseShowsPressedOnDownAndHoverOnEveryMove) {
    struct Row {
        os::MouseEvent event;
        os::Point point;
        std::vector<int> drawn;  // source, destination, quit, manual
    };
    const Row rows[] = {
        {os::MouseEvent::Down, {100, 200}, {310, 305, 306, 288}},
        {os::MouseEvent::Move, {100, 200}, {307, 305, 306, 288}},  // held, still hover
        {os::MouseEvent::Move, {400, 200}, {304, 308, 306, 288}},
        {os::MouseEvent::Move, {450, 330}, {304, 305, 309, 288}},
        {os::MouseEvent::DoubleClick, {50, 20}, {304, 305, 306, 290}},
        {os::MouseEvent::Move, {5, 5}, {304, 305, 306, 288}},
        {os::MouseEvent::Up, {5, 5}, {304, 305, 306, 288}},
    };
    pc.ui().Do("mouse", [&](sim::SimDialogWindow& w) {
        for (const Row& row : rows) {
            const size_t before = w.DirectDrawing().size();
            w.Dialog().OnMouse(row.event, row.point);
            std::vector<int> drawn;
            for (size_t i = before; i < w.DirectDrawing().size(); ++i) {
                drawn.push_back(w.DirectDrawing()[i].id);
            }
            EXPECT_EQ(drawn, row.drawn)
                << static_cast<int>(row.event) << " at " << row.point.x << "," << row.point.y;
            EXPECT_EQ(w.HasCapture(), row.event != os::MouseEvent::Up);
        }
    });
    pc.ui().PressEscape();
    EXPECT_EQ(Run(), CDlgIPNumber::kResultCancelled);
}

TEST(RoleDialogButtons, ClicksActOnTheButtonWhereTheyEndWithRightAndBottomEdgesOutside) {
    enum class Act { None, Source, Destination, Quit, Manual };
    const struct {
        os::Point point;
        Act act;
    } rows[] = {
        {{35, 140}, Act::Source},       {{285, 304}, Act::Source}, {{286, 200}, Act::None},
        {{100, 305}, Act::None},        {{34, 200}, Act::None},    {{313, 140}, Act::Destination},
        {{563, 304}, Act::Destination}, {{564, 200}, Act::None},   {{400, 305}, Act::None},
        {{442, 322}, Act::Quit},        {{565, 376}, Act::Quit},   {{566, 350}, Act::None},
        {{500, 377}, Act::None},        {{10, 7}, Act::Manual},    {{114, 41}, Act::Manual},
        {{115, 20}, Act::None},         {{60, 42}, Act::None},     {{300, 20}, Act::None},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.point.x) + "," + std::to_string(row.point.y));
        sim::SimPc pc;
        CDlgIPNumber dlg(pc.platform(), nullptr, kProgramFolder);
        pc.ui().ClickAt(row.point).In(IDD_IPNUMBER);
        int expected = CDlgIPNumber::kResultCancelled;
        switch (row.act) {
            case Act::Source:
            case Act::Destination:
                pc.ui()
                    .Do("type",
                        [](sim::SimDialogWindow& w) {
                            w.SetItemText(IDC_PARTNER_NAME, u"10.0.0.7");
                        })
                    .In(IDD_PARTNER);
                pc.ui().PressEnter().In(IDD_PARTNER);
                expected = row.act == Act::Source ? CDlgIPNumber::kResultSource
                                                  : CDlgIPNumber::kResultDestination;
                break;
            case Act::Quit:
                expected = CDlgIPNumber::kResultQuit;
                break;
            case Act::None:
            case Act::Manual:
                pc.ui().PressEscape().In(IDD_IPNUMBER);
                break;
        }
        EXPECT_EQ(dlg.DoModal(), expected);
        EXPECT_TRUE(pc.ui().ScriptErrors().empty());
        EXPECT_EQ(pc.ui().PendingSteps(), 0u);
        if (row.act == Act::Manual) {
            ASSERT_EQ(pc.shell().Calls().size(), 1u);
            EXPECT_EQ(pc.shell().Calls()[0].verb, u"open");
            EXPECT_EQ(pc.shell().Calls()[0].path, u"https://www.soranowa.example/basic/manual/");
        } else {
            EXPECT_TRUE(pc.shell().Calls().empty());
        }
    }
}

TEST_F(RoleDialogTest, PressAndReleaseOnDifferentButtonsActsWhereTheButtonGoesUp) {
    pc.ui().Do("press on destination, release on quit", [](sim::SimDialogWindow& w) {
        w.Dialog().OnMouse(os::MouseEvent::Down, rolescript::kDestinationPanel);
        w.Dialog().OnMouse(os::MouseEvent::Move, rolescript::kQuitButton);
        w.Dialog().OnMouse(os::MouseEvent::Up, rolescript::kQuitButton);
    });
    EXPECT_EQ(Run(), CDlgIPNumber::kResultQuit);
    EXPECT_EQ(pc.ui().FindWindow(IDD_PARTNER), nullptr);
    EXPECT_TRUE(pc.ui().ScriptErrors().empty());
}

// What the user names as the partner, and what becomes of it.
struct PartnerRow {
    const char* story;
    const char16_t* typed;              // null: picked in the browser instead
    std::optional<os::WString> picked;  // the browser's answer (nullopt: cancelled)
    const char16_t* address;            // null: refused
    const char16_t* message;            // the box shown, if any
    std::vector<os::IPv4> addresses;    // allowed to connect
};

TEST(RoleDialogPartner, PartnerIsLookedUpAndThisPcIsRefusedInAnyLetterCase) {
    const PartnerRow rows[] = {
        {"own name", u"PC-A", {}, nullptr, u"自分のPCは指定できません。", {}},
        {"own name in lower case", u"pc-a", {}, nullptr, u"自分のPCは指定できません。", {}},
        {"own name as a network path", u"\\\\Pc-A", {}, nullptr, u"自分のPCは指定できません。", {}},
        {"unknown name", u"PC-Z", {}, nullptr, u"IPの取得に失敗しました。", {}},
        {"name of the partner",
         u"PC-B",
         {},
         u"192.168.1.20",
         nullptr,
         {{192, 168, 1, 20}, {10, 1, 2, 3}}},
        {"partner as a network path, blanks around",
         u"  \\\\pc-b ",
         {},
         u"192.168.1.20",
         nullptr,
         {{192, 168, 1, 20}, {10, 1, 2, 3}}},
        {"short address fields lose their padding",
         u"PC-D",
         {},
         u"192.168.1.5",
         nullptr,
         {{192, 168, 1, 5}}},
        {"typed address", u"10.0.0.7", {}, u"10.0.0.7", nullptr, {{10, 0, 0, 7}}},
        {"picked in the browser",
         nullptr,
         u"PC-B",
         u"192.168.1.20",
         nullptr,
         {{192, 168, 1, 20}, {10, 1, 2, 3}}},
        {"own PC picked in the browser",
         nullptr,
         u"pc-a",
         nullptr,
         u"自分のPCは指定できません。",
         {}},
    };
    for (const PartnerRow& row : rows) {
        SCOPED_TRACE(row.story);
        sim::SimPc pc;
        pc.sys().AddHost("PC-B", {192, 168, 1, 20});
        pc.sys().AddHost("PC-B", {10, 1, 2, 3});
        pc.sys().AddHost("pc-d", {192, 168, 1, 5});
        CDlgIPNumber dlg(pc.platform(), nullptr, kProgramFolder);

        pc.ui().ClickAt(rolescript::kDestinationPanel).In(IDD_IPNUMBER);
        if (row.typed != nullptr) {
            const os::WString typed = row.typed;
            pc.ui()
                .Do("type",
                    [typed](sim::SimDialogWindow& w) { w.SetItemText(IDC_PARTNER_NAME, typed); })
                .In(IDD_PARTNER);
            pc.ui().PressEnter().In(IDD_PARTNER);
        } else {
            pc.shell().QueueComputerPick(*row.picked);
            pc.ui().Command(IDC_PARTNER_BROWSE).In(IDD_PARTNER);
        }
        if (row.address == nullptr) {
            pc.ui().PressEscape().In(IDD_IPNUMBER);  // still open after the refusal
        }

        const int result = dlg.DoModal();
        EXPECT_TRUE(pc.ui().ScriptErrors().empty());
        if (row.address != nullptr) {
            EXPECT_EQ(result, CDlgIPNumber::kResultDestination);
            EXPECT_EQ(dlg.m_sPartnerAddress, row.address);
            EXPECT_EQ(dlg.m_partnerAddresses, row.addresses);
            EXPECT_TRUE(pc.ui().Boxes().empty());
        } else {
            EXPECT_EQ(result, CDlgIPNumber::kResultCancelled);
            ASSERT_EQ(pc.ui().Boxes().size(), 1u);
            EXPECT_EQ(pc.ui().Boxes()[0].text, row.message);
            EXPECT_EQ(pc.ui().Boxes()[0].title, u"ソラノワ Basic");
            EXPECT_EQ(pc.ui().Boxes()[0].owner, &dlg) << "the box sits on the role dialog";
        }
        if (row.typed == nullptr) {
            ASSERT_EQ(pc.shell().Browses().size(), 1u);
            EXPECT_EQ(pc.shell().Browses()[0].title, u"相手のPCを選んでください。");
            EXPECT_EQ(pc.shell().Browses()[0].ownerTemplate, IDD_PARTNER);
        }
        EXPECT_EQ(pc.shell().ComInits(), pc.shell().ComUninits());
        EXPECT_EQ(pc.sys().SocketsStartups(), pc.sys().SocketsCleanups());
    }
}

TEST_F(RoleDialogTest, NothingTypedOrBrowserCancelledKeepsAskingForThePartner) {
    pc.shell().QueueComputerPickCancel();
    pc.ui().ClickAt(rolescript::kSourcePanel).In(IDD_IPNUMBER);
    pc.ui().Do("type blanks",
               [](sim::SimDialogWindow& w) { w.SetItemText(IDC_PARTNER_NAME, u"  "); });
    pc.ui().PressEnter().In(IDD_PARTNER);                 // stays
    pc.ui().Command(IDC_PARTNER_BROWSE).In(IDD_PARTNER);  // cancelled: stays
    pc.ui().PressEscape().In(IDD_PARTNER);                // back to the role dialog
    pc.ui().PressEscape().In(IDD_IPNUMBER);
    EXPECT_EQ(Run(), CDlgIPNumber::kResultCancelled);
    EXPECT_TRUE(pc.ui().ScriptErrors().empty());
    EXPECT_TRUE(pc.ui().Boxes().empty());
    EXPECT_TRUE(dlg.m_sPartnerAddress.empty());
    EXPECT_EQ(pc.shell().Browses().size(), 1u);
}

TEST_F(RoleDialogTest, ThePartnerDialogKnowsNothingWithoutComAndStaysOpen) {
    pc.shell().SetComFails(true);
    pc.shell().QueueComputerPick(u"PC-B");
    pc.ui().ClickAt(rolescript::kSourcePanel).In(IDD_IPNUMBER);
    pc.ui().Command(IDC_PARTNER_BROWSE).In(IDD_PARTNER);
    pc.ui().PressEscape().In(IDD_PARTNER);
    pc.ui().PressEscape().In(IDD_IPNUMBER);
    EXPECT_EQ(Run(), CDlgIPNumber::kResultCancelled);
    EXPECT_TRUE(pc.ui().ScriptErrors().empty());
    EXPECT_TRUE(pc.shell().Browses().empty());
}

TEST_F(RoleDialogTest, ThePartnerDialogSaysWhatToAllowOnlyWhileTheFirewallRulesAreMissing) {
    pc.shell().Firewall().writesRefused = true;  // not elevated
    const auto hint = [this](const os::WString& expected) {
        pc.ui().Do("look at the hint", [expected](sim::SimDialogWindow& w) {
            EXPECT_EQ(w.GetItemText(IDC_PARTNER_FIREWALL_HINT), expected);
        });
    };
    pc.ui().ClickAt(rolescript::kSourcePanel).In(IDD_IPNUMBER);
    hint(
        u"ファイアウォールでこのソフトを許可してください\n"
        u"（プライベートネットワーク、TCP 52379・UDP 52380）");
    pc.ui().PressEscape().In(IDD_PARTNER);
    pc.ui().Do("run it elevated",
               [this](sim::SimDialogWindow&) { pc.shell().Firewall().writesRefused = false; });
    pc.ui().ClickAt(rolescript::kSourcePanel).In(IDD_IPNUMBER);
    hint(u"");
    pc.ui().PressEscape().In(IDD_PARTNER);
    pc.ui().PressEscape().In(IDD_IPNUMBER);
    Run();
    EXPECT_TRUE(pc.ui().ScriptErrors().empty());
    EXPECT_EQ(pc.shell().Firewall().rules.at(u"ソラノワBasic (TCP 52379)").application,
              u"C:\\Users\\taro\\Desktop\\tandrix\\tandrix.exe");
}

}  // namespace
