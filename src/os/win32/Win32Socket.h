// One stream socket of Win32Net. Connect and Send wait the way the classic blocking socket
// wrappers do: the thread keeps dispatching window messages until the socket is ready.
#pragma once

#include "os/Net.h"
#include "os/win32/Win32Net.h"
#include "os/win32/WinApi.h"

namespace os::win32 {

class Win32Socket : public Socket, private Win32SocketSink {
  public:
    Win32Socket(Win32Net& net, SocketEvents& events) : m_net(net), m_events(events) {}
    ~Win32Socket() override;
    Win32Socket(const Win32Socket&) = delete;
    Win32Socket& operator=(const Win32Socket&) = delete;

    bool Create(uint16_t port) override;
    bool Listen(int backlog) override;
    bool Accept(Socket& into) override;
    bool Connect(const std::string& dottedAddress, uint16_t port) override;
    int Send(const void* data, int size) override;
    int Receive(void* buffer, int size) override;
    void Close() override;
    bool IsCreated() const override { return m_socket != INVALID_SOCKET; }
    bool PeerAddress(IPv4& address) override;
    int LastError() override { return m_nLastError; }
    bool WatchPeer(uint32_t idleMs, uint32_t intervalMs, uint32_t sendStallMs) override;

  private:
    // One WSAAsyncSelect notification for this socket.
    void OnNetworkEvent(int event, int error) override;

    bool Attach(SOCKET s);
    bool Fail();  // records the thread's socket error; returns false

    Win32Net& m_net;
    SocketEvents& m_events;
    SOCKET m_socket = INVALID_SOCKET;
    int m_nLastError = 0;
    // Waits in Connect and Send.
    bool m_bConnectDone = false;
    int m_nConnectError = 0;
    bool m_bWritable = true;
    bool m_bPeerClosed = false;
    uint32_t m_nSendStallMs = 0;  // 0: a send may wait for ever
};

}  // namespace os::win32
