// The sockets of one simulated PC. Alone (no network attached) the PC can create, bind and
// listen, but no peer ever connects and no connection attempt finds a partner. Attached to a
// world's Network, its sockets reach the other PCs by IPv4 address; their events arrive as
// queued messages of the PC's user-interface thread, and Connect and a Send into a full window
// wait through the PC's seat while that thread keeps pumping. Every connect is recorded.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "os/Net.h"

namespace sim {

class Network;
class NetSocket;
class SimDatagram;
class SimSeat;
class SimUi;

// Winsock error codes.
constexpr int kWsaWouldBlock = 10035;
constexpr int kWsaNotSocket = 10038;
constexpr int kWsaAddressInUse = 10048;
constexpr int kWsaNotConnected = 10057;
constexpr int kWsaTimedOut = 10060;

struct SimConnectAttempt {
    std::string address;
    uint16_t port = 0;
};

class SimNet : public os::Net {
  public:
    SimNet() = default;
    ~SimNet() override;
    SimNet(const SimNet&) = delete;
    SimNet& operator=(const SimNet&) = delete;

    std::unique_ptr<os::Socket> CreateSocket(os::SocketEvents& events) override;
    // Datagrams travel only on a world's network: alone the PC has none.
    std::unique_ptr<os::DatagramSocket> CreateDatagramSocket(os::DatagramEvents& events) override;

    // Joins `network` as `address`. Socket events are posted to `ui`; waits go through `seat`.
    void Attach(Network& network, const os::IPv4& address, SimUi& ui, SimSeat& seat);
    bool Attached() const { return m_network != nullptr; }
    const os::IPv4& Address() const { return m_address; }

    int OpenSockets() const { return m_openSockets; }
    bool Listening(uint16_t port) const { return m_listening.count(port) != 0; }
    const std::vector<SimConnectAttempt>& ConnectAttempts() const { return m_attempts; }

  private:
    friend class LoneSocket;
    friend class NetSocket;
    friend class Network;
    friend class SimDatagram;

    enum class Event { Accept, Read, Close };
    // Runs on the PC's thread from its message queue: the event reaches the socket if that
    // incarnation of it still exists.
    void Dispatch(uint64_t incarnation, Event event, int error);
    void Post(uint64_t incarnation, Event event, int error);
    NetSocket* FindListener(uint16_t port) const;
    uint16_t EphemeralPort();

    int m_openSockets = 0;
    std::set<uint16_t> m_bound;
    std::set<uint16_t> m_listening;
    std::vector<SimConnectAttempt> m_attempts;

    Network* m_network = nullptr;
    os::IPv4 m_address{};
    SimUi* m_ui = nullptr;
    SimSeat* m_seat = nullptr;
    std::map<uint64_t, NetSocket*> m_live;         // created sockets by incarnation
    std::map<uint16_t, SimDatagram*> m_datagrams;  // bound datagram sockets by port
    uint16_t m_nextEphemeral = 49152;
};

}  // namespace sim
