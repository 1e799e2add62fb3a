// A search that found no partner leaves nothing behind: the next search connects on a new
// socket. Linux sockets, and so Wine's, take a second connect on a socket whose connect failed
// only to fail it once more ("connection aborted"); the user, told to start the program on
// the other PC and try again, would otherwise meet "not found" a second time.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "net/Sockets.h"
#include "sim/SimPc.h"

namespace {

constexpr int kWsaConnectionAborted = 10053;
constexpr int kWsaConnectionRefused = 10061;

// Sockets that behave like Linux ones after a failed connect.
class LinuxLikeNet : public os::Net {
  public:
    bool partnerListening = false;
    int created = 0;
    int open = 0;
    int attempts = 0;

    std::unique_ptr<os::Socket> CreateSocket(os::SocketEvents&) override {
        ++created;
        return std::make_unique<LinuxLikeSocket>(*this);
    }

  private:
    class LinuxLikeSocket : public os::Socket {
      public:
        explicit LinuxLikeSocket(LinuxLikeNet& net) : m_net(net) {}
        ~LinuxLikeSocket() override { Close(); }
        bool Create(uint16_t) override {
            if (!m_created) {
                m_created = true;
                ++m_net.open;
            }
            return true;
        }
        bool Listen(int) override { return false; }
        bool Accept(Socket&) override { return false; }
        bool Connect(const std::string&, uint16_t) override {
            ++m_net.attempts;
            if (m_failedBefore) {
                m_failedBefore = false;
                m_lastError = kWsaConnectionAborted;
                return false;
            }
            if (!m_net.partnerListening) {
                m_failedBefore = true;
                m_lastError = kWsaConnectionRefused;
                return false;
            }
            return true;
        }
        int Send(const void*, int size) override { return size; }
        int Receive(void*, int) override { return -1; }
        void Close() override {
            if (m_created) {
                m_created = false;
                --m_net.open;
            }
        }
        bool IsCreated() const override { return m_created; }
        bool PeerAddress(os::IPv4&) override { return false; }
        int LastError() override { return m_lastError; }

      private:
        LinuxLikeNet& m_net;
        bool m_created = false;
        bool m_failedBefore = false;
        int m_lastError = 0;
    };
};

TEST(ClientSocket, ASearchAfterAFailedOneConnectsOnAFreshSocket) {
    sim::SimPc pc;
    LinuxLikeNet net;
    os::Platform platform{pc.fs(), pc.sys(), pc.shell(), pc.ui(), net};
    CClientSocket client(platform);

    EXPECT_FALSE(client.Connect(nullptr, u"10.200.0.2"));  // the partner is not running yet
    EXPECT_EQ(net.open, 0) << "the socket of the failed attempt is closed";

    net.partnerListening = true;  // the user starts the program on the other PC
    EXPECT_TRUE(client.Connect(nullptr, u"10.200.0.2"));
    EXPECT_EQ(net.attempts, 2);
    EXPECT_EQ(net.created, 2);
    EXPECT_EQ(net.open, 1);

    // Once connected, the socket stays what it is.
    client.Close();
    EXPECT_EQ(net.open, 0);
}

TEST(ClientSocket, EveryFailedSearchLeavesNoSocketOpen) {
    sim::SimPc pc;
    LinuxLikeNet net;
    os::Platform platform{pc.fs(), pc.sys(), pc.shell(), pc.ui(), net};
    CClientSocket client(platform);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(client.Connect(nullptr, u"10.200.0.2"));
        EXPECT_EQ(net.open, 0);
    }
    EXPECT_EQ(net.created, 3);
}

// A socket whose sends stop part-way through, failing with `error` while `failures` last.
class StutteringNet : public os::Net {
  public:
    std::string received;
    int sends = 0;
    int failures = 0;
    int error = 0;

    std::unique_ptr<os::Socket> CreateSocket(os::SocketEvents&) override {
        return std::make_unique<StutteringSocket>(*this);
    }

  private:
    class StutteringSocket : public os::Socket {
      public:
        explicit StutteringSocket(StutteringNet& net) : m_net(net) {}
        bool Create(uint16_t) override { return m_created = true; }
        bool Listen(int) override { return false; }
        bool Accept(Socket&) override { return false; }
        bool Connect(const std::string&, uint16_t) override { return true; }
        int Send(const void* data, int size) override {
            ++m_net.sends;
            const int taken = m_net.failures > 0 ? size / 2 : size;
            m_net.received.append(static_cast<const char*>(data), static_cast<size_t>(taken));
            if (m_net.failures > 0) {
                --m_net.failures;
                return taken > 0 ? taken : -1;
            }
            return size;
        }
        int Receive(void*, int) override { return -1; }
        void Close() override { m_created = false; }
        bool IsCreated() const override { return m_created; }
        bool PeerAddress(os::IPv4&) override { return false; }
        int LastError() override { return m_net.failures >= 0 ? m_net.error : 0; }

      private:
        StutteringNet& m_net;
        bool m_created = false;
    };
};

TEST(ClientSocket, ASendThatStopsPartWayIsResumedWhereItStopped) {
    sim::SimPc pc;
    StutteringNet net;
    os::Platform platform{pc.fs(), pc.sys(), pc.shell(), pc.ui(), net};
    CClientSocket client(platform);
    ASSERT_TRUE(client.Connect(nullptr, u"10.200.0.2"));
    const std::string piece = "0123456789abcdefghijklmnopqrstuvwxyz";

    net.failures = 2;
    net.error = 10055;  // no buffer space for now: worth another try
    EXPECT_TRUE(client.SendResuming(piece.data(), piece.size(), 10, 1, [] { return true; }));
    EXPECT_EQ(net.received, piece) << "no byte is sent twice, none is left out";
    EXPECT_EQ(net.sends, 3);
    EXPECT_FALSE(client.IsBroken());

    // A connection that is gone is not tried again (ten pauses would only freeze the window).
    net.received.clear();
    net.sends = 0;
    net.failures = 1;
    net.error = 10054;
    EXPECT_FALSE(client.SendResuming(piece.data(), piece.size(), 10, 1, [] { return true; }));
    EXPECT_EQ(net.sends, 1);
    EXPECT_TRUE(client.IsBroken());
}

}  // namespace
