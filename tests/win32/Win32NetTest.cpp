// Win32Net over the loopback interface: the listener accepts, a client connects while
// messages flow, a large send crosses full socket buffers, and every byte arrives in order; a
// watched connection takes its keep-alive settings and gives up a send that cannot progress.
// A datagram socket hears its own broadcast, as the PCs of the network hear it.
#include "os/win32/WinApi.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "os/win32/MessagePump.h"
#include "os/win32/Win32Net.h"

namespace {

// Socket events as lambdas.
struct Events : os::SocketEvents {
    std::function<void(int)> accept, receive, close;
    void OnAccept(int error) override {
        if (accept) {
            accept(error);
        }
    }
    void OnReceive(int error) override {
        if (receive) {
            receive(error);
        }
    }
    void OnClose(int error) override {
        if (close) {
            close(error);
        }
    }
};

// A port of its own for each test program run.
uint16_t TestPort(int offset) {
    return static_cast<uint16_t>(52400 + (GetCurrentProcessId() % 500) * 4 + offset);
}

class Win32NetTest : public testing::Test {
  protected:
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    }
    void TearDown() override { WSACleanup(); }

    // Dispatches messages until `done` holds or five seconds pass.
    static bool PumpUntil(const std::function<bool()>& done) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > 5000) {
                return false;
            }
            MSG msg;
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                os::win32::DispatchQueuedMessage(msg);
            } else {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            }
        }
        return true;
    }

    os::win32::Win32Net net;
};

TEST_F(Win32NetTest, ConnectAcceptAndStreamEveryByte) {
    const uint16_t port = TestPort(0);
    Events listenerEvents, acceptedEvents, clientEvents;
    auto listener = net.CreateSocket(listenerEvents);
    std::unique_ptr<os::Socket> accepted;
    std::string received;
    bool peerClosed = false;

    auto drain = [&] {
        char buffer[8192];
        int n = 0;
        while ((n = accepted->Receive(buffer, sizeof(buffer))) > 0) {
            received.append(buffer, static_cast<size_t>(n));
        }
    };
    listenerEvents.accept = [&](int error) {
        EXPECT_EQ(error, 0);
        accepted = net.CreateSocket(acceptedEvents);
        EXPECT_TRUE(listener->Accept(*accepted));
    };
    acceptedEvents.receive = [&](int) { drain(); };
    acceptedEvents.close = [&](int) {
        drain();
        peerClosed = true;
    };

    ASSERT_TRUE(listener->Create(port));
    ASSERT_TRUE(listener->Listen(5));

    auto client = net.CreateSocket(clientEvents);
    ASSERT_TRUE(client->Create(0));
    EXPECT_TRUE(client->IsCreated());
    // The accept happens while Connect waits: it keeps dispatching messages.
    ASSERT_TRUE(client->Connect("127.0.0.1", port)) << client->LastError();
    ASSERT_TRUE(PumpUntil([&] { return accepted != nullptr; }));

    os::IPv4 peer{};
    ASSERT_TRUE(accepted->PeerAddress(peer));
    EXPECT_EQ(peer, (os::IPv4{127, 0, 0, 1}));

    // Far more than the socket buffers hold: Send must wait for room, and the receiver runs
    // on the messages dispatched meanwhile.
    std::string payload(8 << 20, '\0');
    for (size_t i = 0; i < payload.size(); ++i) {
        payload[i] = static_cast<char>((i * 31 + i / 4093) & 0xFF);
    }
    EXPECT_EQ(client->Send(payload.data(), static_cast<int>(payload.size())),
              static_cast<int>(payload.size()));
    client->Close();
    EXPECT_FALSE(client->IsCreated());
    ASSERT_TRUE(PumpUntil([&] { return peerClosed; }));
    EXPECT_EQ(received.size(), payload.size());
    EXPECT_TRUE(received == payload) << "the stream was reordered or corrupted";
}

TEST_F(Win32NetTest, ConnectToAPortNobodyListensOnIsRefused) {
    Events events;
    auto client = net.CreateSocket(events);
    ASSERT_TRUE(client->Create(0));
    EXPECT_FALSE(client->Connect("127.0.0.1", TestPort(1)));
    EXPECT_EQ(client->LastError(), WSAECONNREFUSED);
}

TEST_F(Win32NetTest, MalformedAddressesAreRejectedBeforeConnecting) {
    Events events;
    auto client = net.CreateSocket(events);
    ASSERT_TRUE(client->Create(0));
    EXPECT_FALSE(client->Connect("pc-a", TestPort(1)));
    EXPECT_EQ(client->LastError(), WSAEINVAL);
}

TEST_F(Win32NetTest, SocketsNeverBlockTheUserInterfaceThread) {
    const uint16_t port = TestPort(2);
    Events listenerEvents, acceptedEvents, clientEvents;
    auto listener = net.CreateSocket(listenerEvents);
    std::unique_ptr<os::Socket> accepted;
    listenerEvents.accept = [&](int) {
        accepted = net.CreateSocket(acceptedEvents);
        listener->Accept(*accepted);
    };
    ASSERT_TRUE(listener->Create(port));
    ASSERT_TRUE(listener->Listen(5));

    // A second socket cannot take a port in use.
    Events otherEvents;
    auto other = net.CreateSocket(otherEvents);
    EXPECT_FALSE(other->Create(port));
    EXPECT_EQ(other->LastError(), WSAEADDRINUSE);

    auto client = net.CreateSocket(clientEvents);
    ASSERT_TRUE(client->Create(0));
    ASSERT_TRUE(client->Connect("127.0.0.1", port));
    ASSERT_TRUE(PumpUntil([&] { return accepted != nullptr; }));

    // Nothing sent yet: a read returns at once with "would block".
    char buffer[16];
    EXPECT_EQ(accepted->Receive(buffer, sizeof(buffer)), -1);
    EXPECT_EQ(accepted->LastError(), WSAEWOULDBLOCK);

    // An accepted socket cannot be the target of another accept.
    EXPECT_FALSE(listener->Accept(*accepted));
}

TEST_F(Win32NetTest, AWatchedSendThatCannotProgressGivesUpAndClosesTheConnection) {
    const uint16_t port = TestPort(3);
    Events listenerEvents, acceptedEvents, clientEvents;
    auto listener = net.CreateSocket(listenerEvents);
    std::unique_ptr<os::Socket> accepted;  // never reads: the partner takes nothing
    listenerEvents.accept = [&](int) {
        accepted = net.CreateSocket(acceptedEvents);
        listener->Accept(*accepted);
    };
    int closeError = -1;
    clientEvents.close = [&](int error) { closeError = error; };
    ASSERT_TRUE(listener->Create(port));
    ASSERT_TRUE(listener->Listen(5));
    auto client = net.CreateSocket(clientEvents);
    ASSERT_TRUE(client->Create(0));
    ASSERT_TRUE(client->Connect("127.0.0.1", port));
    ASSERT_TRUE(PumpUntil([&] { return accepted != nullptr; }));
    ASSERT_TRUE(accepted->WatchPeer(10000, 5000, 60000)) << accepted->LastError();
    ASSERT_TRUE(client->WatchPeer(10000, 5000, 1500)) << client->LastError();

    const std::string payload(64 << 20, 'x');
    const DWORD start = GetTickCount();
    const int sent = client->Send(payload.data(), static_cast<int>(payload.size()));
    EXPECT_GT(sent, 0) << "what went out before is reported";
    EXPECT_LT(sent, static_cast<int>(payload.size()));
    EXPECT_EQ(client->LastError(), WSAETIMEDOUT);
    EXPECT_GE(GetTickCount() - start, 1500u);
    ASSERT_TRUE(PumpUntil([&] { return closeError != -1; }));
    EXPECT_EQ(closeError, WSAETIMEDOUT);
}

struct Readable : os::DatagramEvents {
    int count = 0;
    void OnDatagramReadable() override { ++count; }
};

TEST_F(Win32NetTest, ABroadcastReachesTheNetworkAndComesBackCutToTheBuffer) {
    Readable events;
    auto socket = net.CreateDatagramSocket(events);
    ASSERT_NE(socket, nullptr);
    ASSERT_TRUE(socket->Bind(TestPort(0)));
    char buffer[8];
    os::IPv4 from{};
    EXPECT_EQ(socket->ReceiveFrom(buffer, sizeof buffer, from), -1) << "nothing yet";
    const std::string datagram = "TDXD announcement";
    ASSERT_TRUE(socket->Broadcast(datagram.data(), static_cast<int>(datagram.size()), TestPort(0)));
    ASSERT_TRUE(PumpUntil([&] { return events.count > 0; }));
    EXPECT_EQ(socket->ReceiveFrom(buffer, sizeof buffer, from), static_cast<int>(sizeof buffer));
    EXPECT_EQ(std::string(buffer, sizeof buffer), datagram.substr(0, sizeof buffer));
    EXPECT_NE(from, (os::IPv4{0, 0, 0, 0}));
    socket->Close();
    EXPECT_EQ(socket->ReceiveFrom(buffer, sizeof buffer, from), -1);
}

}  // namespace
