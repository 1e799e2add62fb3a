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
    // Sends every byte, dispatching messages while the peer is slow. Returns `size`, or on
    // failure how many bytes went out before it (-1 when none did); LastError says why.
    virtual int Send(const void* data, int size) = 0;
    // One read: the bytes taken (at most `size`), 0 when the peer closed, -1 on failure.
    virtual int Receive(void* buffer, int size) = 0;
    virtual void Close() = 0;
    virtual bool IsCreated() const = 0;
    virtual bool PeerAddress(IPv4& address) = 0;
    virtual int LastError() = 0;
    // Makes a partner that vanished without closing (cable pulled, PC asleep) end the
    // connection: keep-alive probes after `idleMs` of silence, every `intervalMs`, answered by
    // the partner's network stack whatever its program does; and a send that makes no progress
    // for `sendStallMs` fails. Either way the connection closes with an error.
    virtual bool WatchPeer(uint32_t /*idleMs*/, uint32_t /*intervalMs*/, uint32_t /*sendStallMs*/) {
        return false;
    }
};

// Socket error codes the system acts on (Winsock's numbering).
enum : int {
    kWsaNotSocket = 10038,
    kWsaNetReset = 10052,
    kWsaConnAborted = 10053,
    kWsaConnReset = 10054,
    kWsaNotConn = 10057,
    kWsaShutdown = 10058,
    kWsaTimedOut = 10060,
};

// Event call of a datagram socket, made on the user-interface thread: datagrams wait to be
// read. It comes once and again only after a read (Winsock's FD_READ), so an owner that stops
// reading hears nothing more until it reads again.
class DatagramEvents {
  public:
    virtual ~DatagramEvents() = default;
    virtual void OnDatagramReadable() = 0;
};

// A UDP socket for announcements on the local network.
class DatagramSocket {
  public:
    virtual ~DatagramSocket() = default;  // closes

    // Bound to any local address on `port`, allowed to broadcast.
    virtual bool Bind(uint16_t port) = 0;
    // Sends one datagram to `port` at the broadcast address of every network this PC is on
    // (the limited broadcast alone leaves by one interface only, or by none without a default
    // route). True when it left by at least one.
    virtual bool Broadcast(const void* data, int size, uint16_t port) = 0;
    // One datagram into `buffer`: its length (a longer one is cut to `size`), or -1 when none
    // waits. `from` is its sender.
    virtual int ReceiveFrom(void* buffer, int size, IPv4& from) = 0;
    virtual void Close() = 0;
};

class Net {
  public:
    virtual ~Net() = default;
    virtual std::unique_ptr<Socket> CreateSocket(SocketEvents& events) = 0;
    // Null where the system offers no datagrams.
    virtual std::unique_ptr<DatagramSocket> CreateDatagramSocket(DatagramEvents& /*events*/) {
        return nullptr;
    }
};

}  // namespace os
