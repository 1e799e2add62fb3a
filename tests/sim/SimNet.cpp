// Sockets of a simulated PC alone on its network; the networked ones are in SimNetwork.cpp.
#include "sim/SimNet.h"

#include "sim/SimNetwork.h"

namespace sim {

class LoneSocket : public os::Socket {
  public:
    explicit LoneSocket(SimNet& net) : m_net(net) {}
    ~LoneSocket() override { Close(); }
    LoneSocket(const LoneSocket&) = delete;
    LoneSocket& operator=(const LoneSocket&) = delete;

    bool Create(uint16_t port) override {
        if (m_created) {
            return true;
        }
        if (port != 0 && !m_net.m_bound.insert(port).second) {
            return Fail(kWsaAddressInUse);
        }
        m_created = true;
        m_port = port;
        ++m_net.m_openSockets;
        return true;
    }
    bool Listen(int) override {
        if (!m_created) {
            return Fail(kWsaNotSocket);
        }
        m_net.m_listening.insert(m_port);
        m_listening = true;
        return true;
    }
    bool Accept(os::Socket&) override { return Fail(kWsaWouldBlock); }  // nobody connects
    bool Connect(const std::string& dottedAddress, uint16_t port) override {
        if (!m_created) {
            return Fail(kWsaNotSocket);
        }
        m_net.m_attempts.push_back({dottedAddress, port});
        return Fail(kWsaTimedOut);  // no partner answers on this network
    }
    int Send(const void*, int) override {
        Fail(m_created ? kWsaNotConnected : kWsaNotSocket);
        return -1;
    }
    int Receive(void*, int) override {
        Fail(m_created ? kWsaNotConnected : kWsaNotSocket);
        return -1;
    }
    void Close() override {
        if (!m_created) {
            return;
        }
        if (m_port != 0) {
            m_net.m_bound.erase(m_port);
        }
        if (m_listening) {
            m_net.m_listening.erase(m_port);
        }
        m_created = false;
        m_listening = false;
        --m_net.m_openSockets;
    }
    bool IsCreated() const override { return m_created; }
    bool PeerAddress(os::IPv4&) override { return Fail(kWsaNotConnected); }
    int LastError() override { return m_lastError; }

  private:
    bool Fail(int code) {
        m_lastError = code;
        return false;
    }

    SimNet& m_net;
    bool m_created = false;
    bool m_listening = false;
    uint16_t m_port = 0;
    int m_lastError = 0;
};

SimNet::~SimNet() {
    if (m_network != nullptr) {
        m_network->Detach(*this);
    }
}

std::unique_ptr<os::Socket> SimNet::CreateSocket(os::SocketEvents& events) {
    if (m_network != nullptr) {
        return m_network->NewSocket(*this, events);
    }
    return std::make_unique<LoneSocket>(*this);
}

void SimNet::Attach(Network& network, const os::IPv4& address, SimUi& ui, SimSeat& seat) {
    m_address = address;
    m_ui = &ui;
    m_seat = &seat;
    m_network = &network;
    network.Attach(*this);
}

uint16_t SimNet::EphemeralPort() {
    for (int tries = 0; tries < 16384; ++tries) {
        const uint16_t port = m_nextEphemeral;
        m_nextEphemeral = m_nextEphemeral == 65535 ? 49152 : m_nextEphemeral + 1;
        if (m_bound.count(port) == 0) {
            return port;
        }
    }
    return 0;
}

}  // namespace sim
