// Socket calls and the waits of Connect and Send.
#include "os/win32/Win32Socket.h"

#include <mstcpip.h>

#include <cstring>

#include "os/win32/MessagePump.h"
#include "os/win32/Win32Net.h"

namespace os::win32 {

namespace {

// Buffers sized for a fast LAN: with the system's small defaults a 1 Gbit/s link idles while
// the sender waits for acknowledgements.
constexpr int kSocketBufferBytes = 2 * 1024 * 1024;
// While a send waits for room, the stall is checked this often.
constexpr UINT kStallCheckMs = 1000;

}  // namespace

Win32Socket::~Win32Socket() {
    Close();
}

bool Win32Socket::Fail() {
    m_nLastError = WSAGetLastError();
    return false;
}

bool Win32Socket::Attach(SOCKET s) {
    m_socket = s;
    m_bConnectDone = false;
    m_bWritable = true;
    m_bPeerClosed = false;
    m_nSendStallMs = 0;
    const int buffer = kSocketBufferBytes;
    setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&buffer), sizeof buffer);
    setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&buffer), sizeof buffer);
    if (!m_net.Register(s, *this,
                        FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE)) {
        m_nLastError = WSAGetLastError();
        closesocket(s);
        m_socket = INVALID_SOCKET;
        return false;
    }
    return true;
}

bool Win32Socket::Create(uint16_t port) {
    if (IsCreated()) {
        return true;
    }
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET) {
        return Fail();
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    if (bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0) {
        Fail();
        closesocket(s);
        return false;
    }
    return Attach(s);
}

bool Win32Socket::Listen(int backlog) {
    return listen(m_socket, backlog) == 0 || Fail();
}

bool Win32Socket::Accept(Socket& into) {
    auto* target = dynamic_cast<Win32Socket*>(&into);
    if (!target || target->IsCreated()) {
        m_nLastError = WSAEINVAL;
        return false;
    }
    SOCKET s = accept(m_socket, nullptr, nullptr);
    if (s == INVALID_SOCKET) {
        return Fail();
    }
    return target->Attach(s);
}

bool Win32Socket::Connect(const std::string& dottedAddress, uint16_t port) {
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = inet_addr(dottedAddress.c_str());
    peer.sin_port = htons(port);
    if (peer.sin_addr.s_addr == INADDR_NONE) {
        m_nLastError = WSAEINVAL;
        return false;
    }
    m_bConnectDone = false;
    if (connect(m_socket, reinterpret_cast<const sockaddr*>(&peer), sizeof(peer)) == 0) {
        return true;
    }
    if (WSAGetLastError() != WSAEWOULDBLOCK) {
        return Fail();
    }
    // The outcome arrives as FD_CONNECT; messages keep flowing meanwhile.
    while (!m_bConnectDone && IsCreated()) {
        if (!WaitAndDispatchOne()) {
            m_nLastError = WSAEINTR;
            return false;
        }
    }
    if (!IsCreated()) {
        m_nLastError = WSAENOTSOCK;
        return false;
    }
    m_nLastError = m_nConnectError;
    return m_nConnectError == 0;
}

int Win32Socket::Send(const void* data, int size) {
    const char* bytes = static_cast<const char*>(data);
    int sent = 0;
    // Reports a failure after `sent` bytes went out, so that a retry does not repeat them.
    const auto failed = [&] { return sent > 0 ? sent : -1; };
    while (sent < size) {
        const int n = send(m_socket, bytes + sent, size - sent, 0);
        if (n != SOCKET_ERROR) {
            sent += n;
            continue;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            Fail();
            return failed();
        }
        // FD_WRITE says when the buffers have room again; a watched connection whose partner
        // takes nothing for too long is given up.
        m_bWritable = false;
        const ULONGLONG waitStart = GetTickCount64();
        const UINT_PTR stallTimer =
            m_nSendStallMs ? SetTimer(nullptr, 0, kStallCheckMs, nullptr) : 0;
        bool stalled = false;
        bool interrupted = false;
        while (!m_bWritable && !m_bPeerClosed && IsCreated()) {
            if (m_nSendStallMs && GetTickCount64() - waitStart >= m_nSendStallMs) {
                stalled = true;
                break;
            }
            if (!WaitAndDispatchOne()) {
                interrupted = true;
                break;
            }
        }
        if (stallTimer) {
            KillTimer(nullptr, stallTimer);
        }
        if (interrupted) {
            m_nLastError = WSAEINTR;
            return failed();
        }
        if (stalled) {
            // The connection is dead to this side: its owner hears of it as of any close.
            m_nLastError = WSAETIMEDOUT;
            m_net.PostEvent(m_socket, FD_CLOSE, WSAETIMEDOUT);
            return failed();
        }
        if (!m_bWritable) {
            m_nLastError = IsCreated() ? WSAECONNRESET : WSAENOTSOCK;
            return failed();
        }
    }
    return sent;
}

bool Win32Socket::WatchPeer(uint32_t idleMs, uint32_t intervalMs, uint32_t sendStallMs) {
    m_nSendStallMs = sendStallMs;
    const BOOL on = TRUE;
    if (setsockopt(m_socket, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on),
                   sizeof on) != 0) {
        return Fail();
    }
    tcp_keepalive values{};
    values.onoff = 1;
    values.keepalivetime = idleMs;
    values.keepaliveinterval = intervalMs;
    DWORD returned = 0;
    if (WSAIoctl(m_socket, SIO_KEEPALIVE_VALS, &values, sizeof values, nullptr, 0, &returned,
                 nullptr, nullptr) != 0) {
        return Fail();
    }
    return true;
}

int Win32Socket::Receive(void* buffer, int size) {
    const int n = recv(m_socket, static_cast<char*>(buffer), size, 0);
    if (n == SOCKET_ERROR) {
        Fail();
        return -1;
    }
    return n;
}

void Win32Socket::Close() {
    if (m_socket != INVALID_SOCKET) {
        m_net.Unregister(m_socket);
        closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
}

bool Win32Socket::PeerAddress(IPv4& address) {
    sockaddr_in peer{};
    int length = sizeof(peer);
    if (getpeername(m_socket, reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
        return Fail();
    }
    std::memcpy(address.data(), &peer.sin_addr, 4);
    return true;
}

void Win32Socket::OnNetworkEvent(int event, int error) {
    switch (event) {
        case FD_CONNECT:
            m_bConnectDone = true;
            m_nConnectError = error;
            break;
        case FD_WRITE:
            m_bWritable = true;
            break;
        case FD_ACCEPT:
            m_events.OnAccept(error);
            break;
        case FD_READ:
            m_events.OnReceive(error);
            break;
        case FD_CLOSE:
            m_bPeerClosed = true;
            m_events.OnClose(error);
            break;
        default:
            break;
    }
}

}  // namespace os::win32
