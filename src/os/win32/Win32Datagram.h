// The UDP socket of Win32Net: non-blocking, its FD_READ notifications through the same hidden
// window as the stream sockets'.
#pragma once

#include <vector>

#include "os/Net.h"
#include "os/win32/Win32Net.h"
#include "os/win32/WinApi.h"

namespace os::win32 {

class Win32Datagram : public DatagramSocket, private Win32SocketSink {
  public:
    Win32Datagram(Win32Net& net, DatagramEvents& events) : m_net(net), m_events(events) {}
    ~Win32Datagram() override;
    Win32Datagram(const Win32Datagram&) = delete;
    Win32Datagram& operator=(const Win32Datagram&) = delete;

    bool Bind(uint16_t port) override;
    bool Broadcast(const void* data, int size, uint16_t port) override;
    int ReceiveFrom(void* buffer, int size, IPv4& from) override;
    void Close() override;

  private:
    void OnNetworkEvent(int event, int error) override;
    // The directed broadcast address of every interface that is up, in network order.
    std::vector<u_long> BroadcastAddresses();

    Win32Net& m_net;
    DatagramEvents& m_events;
    SOCKET m_socket = INVALID_SOCKET;
};

}  // namespace os::win32
