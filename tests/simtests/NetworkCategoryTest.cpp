// The network category around the role choice: a public network is made private only when
// the user agrees, the role choice goes on only once it is private, and the main dialog makes
// it public again when it goes away.
#include <gtest/gtest.h>

#include <optional>

#include "app/TandrixApp.h"
#include "app/TandrixDlg.h"
#include "common/RoleScript.h"
#include "net/DlgIPNumber.h"
#include "net/NetworkCategory.h"
#include "sim/SimPc.h"

namespace {

constexpr char16_t kAsk[] =
    u"ネットワークの設定がパブリックに設定されています。\nネットワークの設定をプライベートに変更"
    u"する必要があります。\n変更しますか？";
constexpr char16_t kFailed[] = u"プライベートに変更できませんでした。";

TEST(NetworkCategory, OperationsLookAtTheFirstConnectedNetworkWithComAroundEachCall) {
    const struct {
        std::optional<int> network;
        bool comFails;
        bool refused;
        bool isPublic, madePrivate, restored;
        std::optional<int> after;  // after MakeNetworkPrivate, then RestoreNetworkPublic
    } rows[] = {
        {std::nullopt, false, false, false, false, false, std::nullopt},
        {0, false, false, true, true, true, 0},
        {0, false, true, true, false, false, 0},
        {0, true, false, false, false, false, 0},
        {1, false, false, false, false, true, 0},
        {2, false, false, false, false, false, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.network ? *row.network : -1);
        sim::SimShell shell;
        shell.SetNetwork(row.network);
        shell.SetComFails(row.comFails);
        shell.SetCategoryChangeRefused(row.refused);
        EXPECT_EQ(IsNetworkPublic(shell), row.isPublic);
        EXPECT_EQ(MakeNetworkPrivate(shell), row.madePrivate);
        EXPECT_EQ(RestoreNetworkPublic(shell), row.restored);
        EXPECT_EQ(shell.Network(), row.after);
        EXPECT_EQ(shell.ComInits(), shell.ComUninits());
        EXPECT_EQ(shell.ComInits(), row.comFails ? 0 : 3);
    }
}

// One press of the source button in the role dialog, with the network as the row says.
struct CheckRow {
    const char* story;
    std::optional<int> network;
    bool refused;
    int answer;        // to the question, when it is asked
    bool asked;        // the question was asked
    bool failedShown;  // "プライベートに変更できませんでした。"
    bool goesOn;       // the partner dialog opened and the dialog ended with a role
    std::optional<int> category;
};

TEST(NetworkCategory, RoleButtonsAskAboutAPublicNetworkOnly) {
    const CheckRow rows[] = {
        {"no connected network", std::nullopt, false, 0, false, false, true, std::nullopt},
        {"private network", 1, false, 0, false, false, true, 1},
        {"domain network", 2, false, 0, false, false, true, 2},
        {"public, yes", 0, false, os::kIdYes, true, false, true, 1},
        {"public, no", 0, false, os::kIdNo, true, false, false, 0},
        {"public, yes, change refused", 0, true, os::kIdYes, true, true, false, 0},
    };
    for (const CheckRow& row : rows) {
        SCOPED_TRACE(row.story);
        sim::SimPc pc;
        pc.shell().SetNetwork(row.network);
        pc.shell().SetCategoryChangeRefused(row.refused);
        if (row.asked) {
            pc.ui().ExpectBox(row.answer, kAsk);
        }
        CDlgIPNumber dlg(pc.platform(), nullptr, u"C:\\tandrix\\");
        if (row.goesOn) {
            rolescript::ChooseRole(pc.ui(), rolescript::Role::Source);
        } else {
            pc.ui().ClickAt(rolescript::kSourcePanel).In(IDD_IPNUMBER);
            pc.ui().PressEscape().In(IDD_IPNUMBER);  // the role dialog is still there
        }
        const int result = dlg.DoModal();

        EXPECT_TRUE(pc.ui().ScriptErrors().empty());
        EXPECT_EQ(result,
                  row.goesOn ? CDlgIPNumber::kResultSource : CDlgIPNumber::kResultCancelled);
        std::vector<os::WString> boxes;
        for (const auto& box : pc.ui().Boxes()) {
            boxes.push_back(box.text);
            EXPECT_EQ(box.owner, &dlg);
        }
        std::vector<os::WString> expected;
        if (row.asked) {
            expected.push_back(kAsk);
            EXPECT_EQ(pc.ui().Boxes()[0].type & 0xF, os::kMbYesNo);
        }
        if (row.failedShown) {
            expected.push_back(kFailed);
        }
        EXPECT_EQ(boxes, expected);
        EXPECT_EQ(dlg.m_bMadePrivate, row.category == 1 && row.network == 0);
        EXPECT_EQ(pc.shell().Network(), row.category);
        EXPECT_EQ(pc.shell().ComInits(), pc.shell().ComUninits());
    }
}

TEST(NetworkCategory, AfterNoTheNextPressAsksAgain) {
    sim::SimPc pc;
    pc.shell().SetNetwork(0);
    pc.ui().ExpectBox(os::kIdNo, kAsk);
    pc.ui().ExpectBox(os::kIdYes, kAsk);
    CDlgIPNumber dlg(pc.platform(), nullptr, u"C:\\tandrix\\");
    pc.ui().ClickAt(rolescript::kDestinationPanel).In(IDD_IPNUMBER);
    rolescript::ChooseRole(pc.ui(), rolescript::Role::Destination);
    EXPECT_EQ(dlg.DoModal(), CDlgIPNumber::kResultDestination);
    EXPECT_EQ(pc.ui().Boxes().size(), 2u);
    EXPECT_TRUE(dlg.m_bMadePrivate);
    EXPECT_TRUE(pc.ui().ScriptErrors().empty());
}

// The whole program: what the main dialog's destruction does to the network.
struct ExitRow {
    const char* story;
    int start;
    bool chooseRole;               // else the role dialog is cancelled after the switch
    std::optional<int> changedTo;  // the user changes the network while the program runs
    std::vector<int> changes;      // accepted category changes, in order
};

TEST(NetworkCategory, MainDialogRestoresOnlyWhatTheProgramChanged) {
    const ExitRow rows[] = {
        {"made private, then quit from the main window", 0, true, std::nullopt, {1, 0}},
        {"made private, then the role dialog cancelled", 0, false, std::nullopt, {1, 0}},
        {"private from the start", 1, true, std::nullopt, {}},
        {"made private, the user made it public meanwhile", 0, true, 0, {1}},
        {"made private, now a domain network", 0, true, 2, {1}},
    };
    for (const ExitRow& row : rows) {
        SCOPED_TRACE(row.story);
        sim::SimPc pc;
        pc.shell().SetNetwork(row.start);
        if (row.chooseRole) {
            rolescript::ChooseRole(pc.ui(), rolescript::Role::Destination);
            if (row.changedTo) {
                const int changed = *row.changedTo;
                pc.ui().Do("the user changes the network", [&pc, changed](sim::SimDialogWindow&) {
                    pc.shell().SetNetwork(changed);
                });
            }
            pc.ui().PressEscape().In(IDD_TANDRIX_DIALOG);
        } else {
            // Yes to the question, then Escape in the partner dialog and in the role dialog.
            pc.ui().ClickAt(rolescript::kSourcePanel).In(IDD_IPNUMBER);
            pc.ui().PressEscape().In(IDD_PARTNER);
            pc.ui().PressEscape().In(IDD_IPNUMBER);
        }
        CTandrixApp app(pc.platform());
        app.Run();
        EXPECT_TRUE(pc.ui().ScriptErrors().empty());
        EXPECT_EQ(pc.shell().CategoryChanges(), row.changes);
        EXPECT_EQ(pc.shell().ComInits(), pc.shell().ComUninits());
    }
}

}  // namespace
