// PCs that run the program find each other on the network: each one's partner dialog lists
// the others live, a PC of the same role cannot be picked, and a PC that pairs, quits or falls
// silent leaves the lists; what strangers send changes nothing but what they may announce.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "net/DiscoveryDatagram.h"
#include "os/Text.h"
#include "platform/Texts.h"
#include "simtests/TwoPcKit.h"

namespace {

using discovery::kDiscoveryPort;
using rolescript::Role;
using twopc::MainDialog;

class DiscoveryStory : public ::testing::Test {
  protected:
    // PC-1 … at 192.168.1.11 …: a PC's announcements wake it (they are background timers in
    // every other story).
    sim::SimPc& Add(const char16_t* name) {
        sim::SimPcConfig config;
        config.computerName = name;
        sim::SimPc& pc = world.AddPc(config);
        pc.ui().ClearBackgroundTimer(IDD_TANDRIX_DIALOG, kTimerDiscovery);
        return pc;
    }

    // The program starts and its user clicks a role, which opens the partner dialog.
    void Start(sim::SimPc& pc, std::optional<Role> role) {
        if (role) {
            pc.ui()
                .ClickAt(*role == Role::Source ? rolescript::kSourcePanel
                                               : rolescript::kDestinationPanel)
                .In(IDD_IPNUMBER);
        }
        world.Start(pc, [](os::Platform& os) { CTandrixApp(os).Run(); });
    }

    void RunFor(uint64_t ms) {
        ASSERT_TRUE(world.RunFor(ms)) << world.Failure();
        for (size_t i = 0; i < world.PcCount(); ++i) {
            sim::SimPc& pc = world.Pc(i);
            EXPECT_TRUE(pc.ui().ScriptErrors().empty()) << pc.ui().ScriptErrors().front();
            EXPECT_EQ(world.Error(pc), "");
        }
    }

    std::vector<os::WString> Rows(sim::SimPc& pc) {
        sim::SimDialogWindow* window = pc.ui().FindWindow(IDD_PARTNER);
        return window ? window->ListRows(IDC_PARTNER_FOUND) : std::vector<os::WString>{};
    }

    CTandrixDlg& Main(sim::SimPc& pc) {
        return MainDialog(*pc.ui().FindWindow(IDD_TANDRIX_DIALOG));
    }

    sim::World world{3};
};

TEST_F(DiscoveryStory, TwoPcsSeeEachOtherAndPairByPickingEvenWhereANameDoesNotResolve) {
    sim::SimPc& a = Add(u"PC-A");
    sim::SimPc& b = Add(u"PC-B");
    b.sys().SetComputerName(u"PC-NEW");  // renamed: the network has not learnt the name
    Start(a, Role::Source);
    Start(b, Role::Destination);
    RunFor(2'000);
    EXPECT_EQ(Rows(a), std::vector<os::WString>{u"PC-NEW　192.168.1.11　引越先"});
    EXPECT_EQ(Rows(b), std::vector<os::WString>{u"PC-A　192.168.1.10　引越元"});

    a.ui().DoubleClickRow(IDC_PARTNER_FOUND, 0).In(IDD_PARTNER);
    b.ui().SelectRow(IDC_PARTNER_FOUND, 0).In(IDD_PARTNER);
    b.ui().PressEnter().In(IDD_PARTNER);
    RunFor(500);
    ASSERT_EQ(a.ui().FindWindow(IDD_IPNUMBER), nullptr);
    ASSERT_EQ(b.ui().FindWindow(IDD_IPNUMBER), nullptr);
    EXPECT_EQ(Main(a).m_nPcRole, 1);
    EXPECT_EQ(Main(a).m_ServerSocket.PartnerAddresses(), std::vector<os::IPv4>{b.address()})
        << "the announced address";
    EXPECT_EQ(Main(b).m_nPcRole, 2);
    EXPECT_EQ(Main(b).m_ServerSocket.PartnerAddresses(), std::vector<os::IPv4>{a.address()});

    // The pairing goes on as after typing: the source's copy command reaches the partner.
    a.ui()
        .Do("click the file-list copy",
            [](sim::SimDialogWindow& w) {
                MainDialog(w).m_bCopyStarted = true;
                MainDialog(w).OnCopyCommand(2);
            })
        .In(IDD_TANDRIX_DIALOG);
    RunFor(3'000);
    EXPECT_TRUE(Main(a).m_bDrivesExchanged);
    EXPECT_TRUE(Main(b).m_bDrivesExchanged);
    EXPECT_EQ(a.net().ConnectAttempts().at(0).address, "192.168.1.11");
}

TEST_F(DiscoveryStory, ASameRolePcIsShownButNotPickedAndPairedPcsLeaveTheList) {
    sim::SimPc& a = Add(u"PC-A");
    sim::SimPc& b = Add(u"PC-B");
    sim::SimPc& c = Add(u"PC-C");
    Start(a, Role::Source);
    Start(b, Role::Destination);
    Start(c, Role::Source);
    RunFor(2'000);
    EXPECT_EQ(Rows(a), (std::vector<os::WString>{
                           u"PC-B　192.168.1.11　引越先",
                           u"PC-C　192.168.1.12　引越元（同じ役割のため選べません）"}));
    EXPECT_EQ(Rows(b), (std::vector<os::WString>{u"PC-A　192.168.1.10　引越元",
                                                 u"PC-C　192.168.1.12　引越元"}));

    a.ui().DoubleClickRow(IDC_PARTNER_FOUND, 1).In(IDD_PARTNER);
    RunFor(200);
    ASSERT_NE(a.ui().OpenBox(), nullptr);
    EXPECT_EQ(a.ui().OpenBox()->text, texts::kSameRoleRefused);
    a.ui().AnswerBox(os::kIdOk);
    a.ui().SelectRow(IDC_PARTNER_FOUND, 1).In(IDD_PARTNER);
    a.ui().PressEnter().In(IDD_PARTNER);
    RunFor(200);
    ASSERT_NE(a.ui().OpenBox(), nullptr) << "OK on it says why too";
    a.ui().AnswerBox(os::kIdOk);
    RunFor(200);
    EXPECT_NE(a.ui().FindWindow(IDD_PARTNER), nullptr) << "the dialog stays";

    a.ui().DoubleClickRow(IDC_PARTNER_FOUND, 0).In(IDD_PARTNER);
    b.ui().DoubleClickRow(IDC_PARTNER_FOUND, 0).In(IDD_PARTNER);
    RunFor(1'500);
    EXPECT_EQ(Rows(c).size(), 2u) << "waiting on their main windows, they still announce";
    a.ui()
        .Do("pair", [](sim::SimDialogWindow& w) { MainDialog(w).FindPartner(); })
        .In(IDD_TANDRIX_DIALOG);
    RunFor(1'000);
    EXPECT_TRUE(Main(a).m_bConnected);
    EXPECT_TRUE(Main(b).m_bConnected);
    EXPECT_EQ(Rows(c), std::vector<os::WString>{}) << "paired PCs said goodbye";
    const uint64_t sent = world.net().DatagramsSent();
    RunFor(3'000);
    EXPECT_EQ(world.net().DatagramsSent() - sent, 3 * 3u) << "only PC-C announces now";
}

TEST_F(DiscoveryStory, TenPcsSeeNineEachAndOneThatQuitsOrFallsSilentLeaves) {
    std::vector<sim::SimPc*> pcs;
    for (int i = 0; i < 10; ++i) {
        const os::WString name = u"PC-" + os::ToWString(i);
        pcs.push_back(&Add(name.c_str()));
        Start(*pcs.back(), i % 2 == 0 ? Role::Source : Role::Destination);
    }
    RunFor(2'000);
    for (sim::SimPc* pc : pcs) {
        const auto rows = Rows(*pc);
        ASSERT_EQ(rows.size(), 9u) << os::ToUtf8(pc->config().computerName);
        for (const auto& row : rows) {
            EXPECT_EQ(row.find(pc->config().computerName + u"　"), os::WString::npos);
        }
    }
    EXPECT_EQ(Rows(*pcs[0])[1], u"PC-2　192.168.1.12　引越元（同じ役割のため選べません）");

    // PC-9's user quits; PC-8 vanishes from PC-0's network without a word.
    pcs[9]->ui().PressEscape().In(IDD_PARTNER);
    pcs[9]->ui().ClickAt(rolescript::kQuitButton).In(IDD_IPNUMBER);
    world.net().Unplug(pcs[0]->address(), pcs[8]->address());
    RunFor(500);
    EXPECT_TRUE(world.Finished(*pcs[9]));
    EXPECT_EQ(Rows(*pcs[0]).size(), 8u) << "PC-9 said goodbye";
    EXPECT_EQ(Rows(*pcs[1]).size(), 8u);
    RunFor(4'500);
    EXPECT_EQ(Rows(*pcs[0]).size(), 7u) << "PC-8 fell silent";
    EXPECT_EQ(Rows(*pcs[1]).size(), 8u);
}

TEST_F(DiscoveryStory, StrangersDatagramsAreDroppedAndAFloodNeitherGrowsTheListNorHidesAPc) {
    sim::SimPc& a = Add(u"PC-A");
    sim::SimPc& b = Add(u"PC-B");
    Start(a, Role::Source);
    Start(b, std::nullopt);
    RunFor(1'500);
    ASSERT_EQ(Rows(a), std::vector<os::WString>{u"PC-B　192.168.1.11　未選択"});

    const os::IPv4 stranger{192, 168, 1, 99};
    const auto send = [&](const os::IPv4& from, const std::string& bytes) {
        world.net().SendDatagram(from, a.address(), kDiscoveryPort, bytes);
    };
    const std::string good = discovery::WriteAnnouncement({5, discovery::Role::None, false, u"X"});
    send(stranger, "");
    send(stranger, good.substr(0, 17));
    send(stranger, good + "!");
    send(stranger, std::string(2'000, 'T'));
    send(stranger, discovery::WriteAnnouncement({5, discovery::Role::None, false, u"10.1.1.1"}));
    send(stranger, discovery::WriteAnnouncement(
                       {Main(a).m_discovery.InstanceId(), discovery::Role::None, false, u"ME"}));
    RunFor(200);
    EXPECT_EQ(Rows(a).size(), 1u);

    for (int round = 0; round < 3; ++round) {
        for (uint64_t id = 0; id < 600; ++id) {
            send({10, 0, static_cast<uint8_t>(id / 250), static_cast<uint8_t>(id % 250)},
                 discovery::WriteAnnouncement({1000 + id, discovery::Role::None, false, u"Z"}));
        }
        RunFor(300);
        EXPECT_LE(Rows(a).size(), discovery::kMaxFoundPcs);
    }
    RunFor(2'000);
    EXPECT_EQ(Rows(a).front(), u"PC-B　192.168.1.11　未選択") << "still there";
    RunFor(3'000);
    EXPECT_EQ(Rows(a), std::vector<os::WString>{u"PC-B　192.168.1.11　未選択"});
}

}  // namespace
