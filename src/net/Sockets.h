// The three sockets of a PC: the listening socket with its one accepted (incoming)
// connection, and the outgoing connection to the partner. Their events become application
// messages to the main dialog: WM_APP+1 accepted, +2 outgoing closed, +3 data on the incoming
// connection (wParam: the running count of such events), +4 data on the outgoing connection.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "os/Net.h"
#include "os/Platform.h"

constexpr uint16_t kTandrixPort = 52379;

// A partner that vanished without closing is noticed within about a minute: keep-alive probes
// after 10 s of silence, every 5 s (a Windows stack gives up after ten unanswered ones), and a
// send that makes no progress for a minute. A partner that is merely busy answers the probes.
constexpr uint32_t kKeepAliveIdleMs = 10'000;
constexpr uint32_t kKeepAliveIntervalMs = 5'000;
constexpr uint32_t kSendStallMs = 60'000;

// True for errors after which the connection can carry nothing more.
bool IsConnectionGone(int error);

enum : unsigned {
    kMsgAccepted = 1,
    kMsgClientClosed = 2,
    kMsgIncomingData = 3,
    kMsgOutgoingData = 4,
    kMsgSearchCancelled = 5,
    kMsgStopRequest = 6,
    kMsgIncomingClosed = 7,  // the partner closed the incoming connection
};

class CServerSocket;

// The accepted, incoming connection. Its own close raises nothing.
class CReceiveSocket : public os::SocketEvents {
  public:
    CReceiveSocket(os::Net& net, CServerSocket& server);
    ~CReceiveSocket() override;

    void OnReceive(int error) override;
    void OnClose(int error) override;
    os::Socket& Sock() { return *m_pSocket; }
    int Send(const void* data, int size) { return m_pSocket->Send(data, size); }
    int Receive(void* buffer, int size) { return m_pSocket->Receive(buffer, size); }

    CServerSocket* m_pServer;

  private:
    std::unique_ptr<os::Socket> m_pSocket;
};

// The listening socket. It accepts exactly one connection, from the partner only.
class CServerSocket : public os::SocketEvents {
  public:
    explicit CServerSocket(os::Platform& os);
    ~CServerSocket() override;

    bool Listen(os::Dialog* owner);
    void Close();
    void OnAccept(int error) override;

    // Addresses the partner may connect from; a connection from anywhere else is closed at
    // once, and the user is told of each such address once.
    void SetPartnerAddresses(const std::vector<os::IPv4>& addresses);
    const std::vector<os::IPv4>& PartnerAddresses() const { return m_partners; }

    os::Platform& Os() { return m_os; }
    int NextReceiveCount() { return ++m_nReceiveCount; }

    std::unique_ptr<CReceiveSocket> m_pAccepted;
    os::Dialog* m_pOwnerDlg = nullptr;

  private:
    bool IsPartner(os::Socket& socket);

    os::Platform& m_os;
    std::unique_ptr<os::Socket> m_pSocket;
    std::vector<os::IPv4> m_partners;
    std::set<os::IPv4> m_refused;  // addresses the user has been told of
    int m_nReceiveCount = -1;      // counts readable events of the incoming connection
};

// The outgoing connection to the partner.
class CClientSocket : public os::SocketEvents {
  public:
    explicit CClientSocket(os::Platform& os);
    ~CClientSocket() override;

    bool Connect(os::Dialog* owner, const os::WString& address);
    int Send(const void* data, int size);
    // Sends every byte. A send that fails while the connection stands is tried again from the
    // first byte that did not go out, at most `retries` times, each after `pauseMs` and only
    // while `keepTrying()` holds; a connection that is gone is not tried again.
    bool SendResuming(const void* data, size_t size, int retries, uint32_t pauseMs,
                      const std::function<bool()>& keepTrying);
    int Receive(void* buffer, int size);
    int LastError();
    void Close();
    // A send failed because the connection is gone (reset, timed out, closed).
    bool IsBroken() const { return m_bBroken; }

    void OnReceive(int error) override;
    void OnClose(int error) override;

    os::Dialog* m_pOwnerDlg = nullptr;
    bool m_bCreated = false;

  private:
    os::Platform& m_os;
    std::unique_ptr<os::Socket> m_pSocket;
    bool m_bBroken = false;
};

// "192.168.1.5" → its four bytes; false for anything else.
bool ParseIPv4(const os::WString& text, os::IPv4& address);
// Its four bytes → "192.168.1.5".
os::WString DottedAddress(const os::IPv4& address);
