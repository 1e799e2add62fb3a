// Datagram sockets of the simulated PCs: broadcasts and single datagrams over a world's
// network, each arriving after the latency into a bounded receive queue (a full queue drops
// what comes, as a real receive buffer does). The readable notice follows Winsock: posted once,
// and again by a read that leaves datagrams waiting.
#include <algorithm>
#include <deque>
#include <utility>

#include "sim/SimNet.h"
#include "sim/SimNetwork.h"
#include "sim/SimUi.h"

namespace sim {

namespace {

constexpr size_t kQueueLimit = 64;

}  // namespace

class SimDatagram : public os::DatagramSocket {
  public:
    SimDatagram(Network& network, SimNet& host, os::DatagramEvents& events)
        : m_network(network), m_host(host), m_events(events) {}
    ~SimDatagram() override { Close(); }
    SimDatagram(const SimDatagram&) = delete;
    SimDatagram& operator=(const SimDatagram&) = delete;

    bool Bind(uint16_t port) override {
        if (m_port != 0) {
            return true;
        }
        if (port == 0 || !m_host.m_datagrams.emplace(port, this).second) {
            return false;
        }
        m_port = port;
        m_incarnation = m_network.NextIncarnation();
        return true;
    }

    bool Broadcast(const void* data, int size, uint16_t port) override {
        if (m_port == 0 || size < 0) {
            return false;
        }
        m_network.Broadcast(m_host.Address(), port,
                            std::string(static_cast<const char*>(data), size));
        return true;
    }

    int ReceiveFrom(void* buffer, int size, os::IPv4& from) override {
        m_readArmed = true;
        if (m_queue.empty() || size < 0) {
            return -1;
        }
        auto [sender, payload] = std::move(m_queue.front());
        m_queue.pop_front();
        const size_t n = std::min(payload.size(), static_cast<size_t>(size));
        std::copy_n(payload.data(), n, static_cast<char*>(buffer));
        from = sender;
        Notify();
        return static_cast<int>(n);
    }

    void Close() override {
        if (m_port != 0) {
            m_host.m_datagrams.erase(m_port);
        }
        m_port = 0;
        m_incarnation = 0;
        m_queue.clear();
        m_readArmed = true;
    }

    void Arrive(const os::IPv4& from, std::string payload) {
        if (m_queue.size() < kQueueLimit) {
            m_queue.emplace_back(from, std::move(payload));
        }
        Notify();
    }

  private:
    void Notify() {
        if (!m_readArmed || m_queue.empty()) {
            return;
        }
        m_readArmed = false;
        SimNet* host = &m_host;
        const uint16_t port = m_port;
        const uint64_t incarnation = m_incarnation;
        host->m_ui->PostTask([host, port, incarnation] {
            const auto it = host->m_datagrams.find(port);
            if (it != host->m_datagrams.end() && it->second->m_incarnation == incarnation) {
                it->second->m_events.OnDatagramReadable();
            }
        });
    }

    Network& m_network;
    SimNet& m_host;
    os::DatagramEvents& m_events;
    uint16_t m_port = 0;
    uint64_t m_incarnation = 0;
    bool m_readArmed = true;
    std::deque<std::pair<os::IPv4, std::string>> m_queue;
};

std::unique_ptr<os::DatagramSocket> SimNet::CreateDatagramSocket(os::DatagramEvents& events) {
    if (m_network == nullptr) {
        return nullptr;
    }
    return std::make_unique<SimDatagram>(*m_network, *this, events);
}

void Network::Broadcast(const os::IPv4& from, uint16_t port, const std::string& payload) {
    for (const auto& [key, endpoint] : m_endpoints) {
        SendDatagram(from, endpoint->Address(), port, payload);
    }
}

void Network::SendDatagram(const os::IPv4& from, const os::IPv4& to, uint16_t port,
                           std::string payload) {
    ++m_datagramsSent;
    Schedule(m_clock.NowMs() + m_latencyMs,
             [this, from, to, port, payload = std::move(payload)]() mutable {
                 SimNet* host = Find(to);
                 if (host == nullptr || DatagramsLost(from, to)) {
                     return;
                 }
                 const auto it = host->m_datagrams.find(port);
                 if (it != host->m_datagrams.end()) {
                     it->second->Arrive(from, std::move(payload));
                 }
             });
}

}  // namespace sim
