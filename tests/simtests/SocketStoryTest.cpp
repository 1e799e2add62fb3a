// The product's socket classes between simulated PCs: A and B listen for each other, A
// connects to B, B accepts and connects back, A's data reaches B's incoming connection as
// counted readable notifications; a stranger is closed and its address told once, and a partner
// that connects a second time meets the box about old connection data and B's close request.
#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <string>
#include <vector>

#include "net/Sockets.h"
#include "platform/Texts.h"
#include "sim/SimDialogWindow.h"
#include "sim/SimWorld.h"
#include "simtests/WorldKit.h"

namespace sim {
namespace {

using kit::LoopDialog;

constexpr int kConnectTimer = 1;
constexpr int kSendTimer = 2;
constexpr int kReconnectTimer = 3;

// One PC's side: a dialog as the owner of both sockets, the sockets, and what it saw.
struct Side {
    std::vector<std::pair<unsigned, uintptr_t>> appCalls;
    std::string incoming;  // bytes read on the accepted connection
    bool connected = false;
    bool reconnected = false;
    int cancels = 0;
    bool listening = false;
};

os::IPv4 Ip(int last) {
    return {192, 168, 1, static_cast<uint8_t>(last)};
}

// A program that listens for its partner and, when its dialog's timers say so, connects to
// the partner, sends `pieces` one per timer tick, or connects a second time.
std::function<void(os::Platform&)> Program(Side& side, os::IPv4 partner, const char16_t* address,
                                           std::vector<std::string> pieces,
                                           bool connectBackOnAccept) {
    return [&side, partner, address, pieces = std::move(pieces),
            connectBackOnAccept](os::Platform& os) {
        LoopDialog dlg(os.ui);
        CServerSocket server(os);
        CClientSocket client(os);
        size_t next = 0;
        dlg.onInit = [&](LoopDialog&) {
            server.SetPartnerAddresses({partner});
            side.listening = server.Listen(&dlg);
        };
        dlg.onApp = [&](LoopDialog&, unsigned n, uintptr_t) {
            if (n == kMsgAccepted && connectBackOnAccept) {
                side.connected = client.Connect(&dlg, address);
            } else if (n == kMsgIncomingData) {
                char buffer[65536];
                const int got = server.m_pAccepted->Receive(buffer, sizeof(buffer));
                if (got > 0) {
                    side.incoming.append(buffer, static_cast<size_t>(got));
                }
            }
        };
        dlg.onTimer = [&](LoopDialog& d, int id) {
            if (id == kConnectTimer) {
                d.Window().KillTimer(id);
                side.connected = client.Connect(&dlg, address);
            } else if (id == kSendTimer && next < pieces.size()) {
                const std::string& piece = pieces[next++];
                EXPECT_EQ(client.Send(piece.data(), static_cast<int>(piece.size())),
                          static_cast<int>(piece.size()));
            } else if (id == kReconnectTimer) {
                d.Window().KillTimer(id);
                client.Close();
                side.reconnected = client.Connect(&dlg, address);
            }
        };
        dlg.DoModal();
        side.appCalls = dlg.appCalls;
        side.cancels = dlg.cancels;
    };
}

LoopDialog& DialogOf(SimPc& pc) {
    return dynamic_cast<LoopDialog&>(pc.ui().ActiveWindow()->Dialog());
}

std::vector<uintptr_t> IncomingCounts(const LoopDialog& dlg) {
    std::vector<uintptr_t> counts;
    for (const auto& [n, wParam] : dlg.appCalls) {
        if (n == kMsgIncomingData) {
            counts.push_back(wParam);
        }
    }
    return counts;
}

void StoryOfTwoPcs(uint64_t seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    World world(seed);
    SimPc& a = world.AddPc({.computerName = u"PC-A", .address = Ip(10)});
    SimPc& b = world.AddPc({.computerName = u"PC-B", .address = Ip(11)});
    SimPc& c = world.AddPc({.computerName = u"PC-C", .address = Ip(12)});
    Side sideA;
    Side sideB;
    Side sideC;
    const std::vector<std::string> pieces = {"DDDDDDDDDDDD0060", "%?", std::string(3000, 'x')};
    world.Start(a, Program(sideA, Ip(11), u"192.168.1.11", pieces, false));
    world.Start(b, Program(sideB, Ip(10), u"192.168.1.10", {}, true));

    // Both listen; then A connects to B, and B, told of the accepted connection, connects back.
    ASSERT_TRUE(world.RunUntilIdle()) << world.Failure();
    ASSERT_TRUE(sideA.listening);
    ASSERT_TRUE(sideB.listening);
    EXPECT_TRUE(a.net().Listening(kTandrixPort));
    DialogOf(a).Window().SetTimer(kConnectTimer, 100);
    ASSERT_TRUE(world.RunUntilIdle()) << world.Failure();
    EXPECT_TRUE(sideA.connected);
    EXPECT_TRUE(sideB.connected) << "B connects back when it has accepted A";
    EXPECT_EQ(DialogOf(b).appCalls.front(), (std::pair<unsigned, uintptr_t>{kMsgAccepted, 0}));
    ASSERT_EQ(DialogOf(a).appCalls.size(), 1u);
    EXPECT_EQ(DialogOf(a).appCalls[0].first, unsigned{kMsgAccepted});
    EXPECT_EQ(world.net().Connections().size(), 2u);

    // What A sends on its outgoing connection arrives on B's accepted one, one notification
    // per arrival, counted from 0.
    DialogOf(a).Window().SetTimer(kSendTimer, 50);
    ASSERT_TRUE(world.RunFor(400));
    DialogOf(a).Window().KillTimer(kSendTimer);
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(sideB.incoming, pieces[0] + pieces[1] + pieces[2]);
    EXPECT_EQ(IncomingCounts(DialogOf(b)), (std::vector<uintptr_t>{0, 1, 2}));
    EXPECT_EQ(world.net().BytesSent({Ip(10), Ip(11), SimSide::Connector}), 3018u);
    EXPECT_EQ(world.net().BytesSent({Ip(11), Ip(10), SimSide::Connector}), 0u);

    // A stranger's connection is closed at once: B tells its user which address it refused
    // (once), C sees its connection end, and B's pairing is untouched.
    world.Start(c, Program(sideC, Ip(11), u"192.168.1.11", {}, false));
    ASSERT_TRUE(world.RunUntilIdle());
    const size_t bCallsBefore = DialogOf(b).appCalls.size();
    for (int attempt = 0; attempt < 2; ++attempt) {
        DialogOf(c).Window().SetTimer(kReconnectTimer, 10);
        ASSERT_TRUE(world.RunUntilIdle());
        if (const SimBox* refused = b.ui().OpenBox()) {
            EXPECT_EQ(refused->text.rfind(u"192.168.1.12 からの接続をお断りしました。", 0), 0u);
            ASSERT_TRUE(b.ui().AnswerBox(os::kIdOk));
            ASSERT_TRUE(world.RunUntilIdle());
        }
    }
    EXPECT_TRUE(sideC.reconnected) << "the connection stood until B looked at it";
    EXPECT_EQ(DialogOf(c).appCalls, (std::vector<std::pair<unsigned, uintptr_t>>{
                                        {kMsgClientClosed, 0}, {kMsgClientClosed, 0}}));
    EXPECT_EQ(DialogOf(b).appCalls.size(), bCallsBefore);
    EXPECT_EQ(b.ui().Boxes().size(), 1u) << "one box for the address, not one per attempt";
    EXPECT_EQ(b.ui().OpenBox(), nullptr);

    // A connects a second time: B refuses with the box and asks its dialog to close.
    DialogOf(a).Window().SetTimer(kReconnectTimer, 10);
    ASSERT_TRUE(world.RunUntilIdle());
    const SimBox* box = b.ui().OpenBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text, texts::kStaleConnection);
    EXPECT_EQ(box->title, texts::kProductTitle);
    EXPECT_TRUE(sideA.reconnected);
    EXPECT_FALSE(world.Finished(b)) << "B waits for the user";
    ASSERT_TRUE(b.ui().AnswerBox(os::kIdOk));
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_TRUE(world.Finished(b));
    EXPECT_EQ(sideB.cancels, 1) << "the close request reaches OnCancel";
    // B's end closed both of its connections: A hears that both are gone.
    const auto& calls = DialogOf(a).appCalls;
    EXPECT_NE(
        std::find(calls.begin(), calls.end(), std::pair<unsigned, uintptr_t>{kMsgClientClosed, 0}),
        calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(),
                        std::pair<unsigned, uintptr_t>{kMsgIncomingClosed, 0}),
              calls.end());
    EXPECT_FALSE(world.Finished(a));
}

TEST(SocketStory, TwoPartnersAStrangerAndAStaleReconnect) {
    for (const uint64_t seed : {1, 2, 3, 99}) {
        StoryOfTwoPcs(seed);
    }
}

}  // namespace
}  // namespace sim
