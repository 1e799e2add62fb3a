// Broadcasting and receiving datagrams.
#include "os/win32/Win32Datagram.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>

namespace os::win32 {

namespace {

// Room for the interfaces of any ordinary PC.
constexpr size_t kMaxInterfaces = 64;

}  // namespace

Win32Datagram::~Win32Datagram() {
    Close();
}

bool Win32Datagram::Bind(uint16_t port) {
    if (m_socket != INVALID_SOCKET) {
        return true;
    }
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) {
        return false;
    }
    const BOOL on = TRUE;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    if (setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) !=
            0 ||
        bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        !m_net.Register(s, *this, FD_READ)) {
        closesocket(s);
        return false;
    }
    m_socket = s;
    return true;
}

std::vector<u_long> Win32Datagram::BroadcastAddresses() {
    std::vector<u_long> out;
    INTERFACE_INFO interfaces[kMaxInterfaces];
    DWORD bytes = 0;
    if (WSAIoctl(m_socket, SIO_GET_INTERFACE_LIST, nullptr, 0, interfaces, sizeof interfaces,
                 &bytes, nullptr, nullptr) != 0) {
        return out;
    }
    const size_t count = bytes / sizeof(INTERFACE_INFO);
    for (size_t i = 0; i < count && i < kMaxInterfaces; ++i) {
        const INTERFACE_INFO& info = interfaces[i];
        if ((info.iiFlags & IFF_UP) == 0 || (info.iiFlags & IFF_LOOPBACK) != 0) {
            continue;
        }
        const u_long address = info.iiAddress.AddressIn.sin_addr.s_addr;
        const u_long mask = info.iiNetmask.AddressIn.sin_addr.s_addr;
        if (address == 0 || mask == 0) {
            continue;
        }
        const u_long broadcast = address | ~mask;
        if (std::find(out.begin(), out.end(), broadcast) == out.end()) {
            out.push_back(broadcast);
        }
    }
    return out;
}

bool Win32Datagram::Broadcast(const void* data, int size, uint16_t port) {
    if (m_socket == INVALID_SOCKET) {
        return false;
    }
    std::vector<u_long> targets = BroadcastAddresses();
    if (targets.empty()) {
        targets.push_back(htonl(INADDR_BROADCAST));
    }
    bool sent = false;
    for (const u_long target : targets) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = target;
        to.sin_port = htons(port);
        // A full send buffer drops this announcement; the next one follows in a second.
        if (sendto(m_socket, static_cast<const char*>(data), size, 0,
                   reinterpret_cast<const sockaddr*>(&to), sizeof to) == size) {
            sent = true;
        }
    }
    return sent;
}

int Win32Datagram::ReceiveFrom(void* buffer, int size, IPv4& from) {
    if (m_socket == INVALID_SOCKET) {
        return -1;
    }
    sockaddr_in sender{};
    int length = sizeof sender;
    int n = SOCKET_ERROR;
    // A port-unreachable report of an earlier send comes as WSAECONNRESET in place of a
    // datagram: it is passed over.
    for (int reports = 0; reports < 4; ++reports) {
        length = sizeof sender;
        n = recvfrom(m_socket, static_cast<char*>(buffer), size, 0,
                     reinterpret_cast<sockaddr*>(&sender), &length);
        if (n != SOCKET_ERROR || WSAGetLastError() != WSAECONNRESET) {
            break;
        }
    }
    if (n == SOCKET_ERROR) {
        // A datagram longer than the buffer arrives cut, reported as WSAEMSGSIZE; the reader
        // sees it as too long. Anything else means nothing to read now.
        if (WSAGetLastError() != WSAEMSGSIZE) {
            return -1;
        }
        std::memcpy(from.data(), &sender.sin_addr, 4);
        return size;
    }
    std::memcpy(from.data(), &sender.sin_addr, 4);
    return n;
}

void Win32Datagram::Close() {
    if (m_socket != INVALID_SOCKET) {
        m_net.Unregister(m_socket);
        closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
}

void Win32Datagram::OnNetworkEvent(int event, int /*error*/) {
    if (event == FD_READ) {
        m_events.OnDatagramReadable();
    }
}

}  // namespace os::win32
