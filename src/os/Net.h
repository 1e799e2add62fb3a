// Asynchronous TCP stream sockets whose events arrive on the user-interface thread, with a
// connect that waits while window messages keep flowing and a send that sends every byte.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace os {

// Event calls of one socket, made on the user-interface thread. `error` is the system's
// socket error code for the event (0 when none).
class SocketEvents {
  public:
    virtual ~SocketEvents() = default;
    virtual void OnAccept(int /*error*/) {}
    virtual void OnReceive(int /*error*/) {}
    virtual void OnClose(int /*error*/) {}
};

using IPv4 = std::array<uint8_t, 4>;

// "192.168.1.5" → its four bytes; false for anything else.
bool ParseDottedIPv4(std::string_view text, IPv4& address);

class Socket {
  public:
    virtual ~Socket() = default;  // closes

    // A stream socket bound to any local address on `port` (0: any port), for every event.
    virtual bool Create(uint16_t port) = 0;
    virtual bool Listen(int backlog) = 0;
    // Takes the pending connection into `into`, which must not be created yet.
    virtual bool Accept(Socket& into) = 0;
    // Connects to a dotted IPv4 address; waits for the outcome while messages are dispatched.
    virtual bool Connect(const std::string& dottedAddress, uint16_t port) = 0;
    // Sends every byte, dispatching messages while the peer is slow; -1 on failure.
    virtual int Send(const void* data, int size) = 0;
    // One read: the bytes taken (at most `size`), 0 when the peer closed, -1 on failure.
    virtual int Receive(void* buffer, int size) = 0;
    virtual void Close() = 0;
    virtual bool IsCreated() const = 0;
    virtual bool PeerAddress(IPv4& address) = 0;
    virtual int LastError() = 0;
};

class Net {
  public:
    virtual ~Net() = default;
    virtual std::unique_ptr<Socket> CreateSocket(SocketEvents& events) = 0;
};

}  // namespace os
