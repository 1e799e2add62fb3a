// The sockets of a simulated PC that stands alone on its network: sockets can be created,
// bound and put to listen (one socket per port), but no peer ever connects and no connection
// attempt finds a partner. Every call is recorded for assertions. The network that joins
// simulated PCs replaces this once the scheduler runs each PC on its own thread.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "os/Net.h"

namespace sim {

// Winsock error codes of the lone network.
constexpr int kWsaWouldBlock = 10035;
constexpr int kWsaAddressInUse = 10048;
constexpr int kWsaNotConnected = 10057;
constexpr int kWsaTimedOut = 10060;
constexpr int kWsaNotSocket = 10038;

struct SimConnectAttempt {
    std::string address;
    uint16_t port = 0;
};

class SimNet : public os::Net {
  public:
    std::unique_ptr<os::Socket> CreateSocket(os::SocketEvents& events) override;

    int OpenSockets() const { return m_openSockets; }
    bool Listening(uint16_t port) const { return m_listening.count(port) != 0; }
    const std::vector<SimConnectAttempt>& ConnectAttempts() const { return m_attempts; }

  private:
    friend class SimSocket;

    int m_openSockets = 0;
    std::set<uint16_t> m_bound;
    std::set<uint16_t> m_listening;
    std::vector<SimConnectAttempt> m_attempts;
};

}  // namespace sim
