// The network of a world and the sockets that use it.
#include "sim/SimNetwork.h"
#include "os/Net.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>

#include "sim/SimNet.h"
#include "sim/SimUi.h"

namespace sim {
namespace {

uint32_t Key(const os::IPv4& address) {
    return (uint32_t{address[0]} << 24) | (uint32_t{address[1]} << 16) |
           (uint32_t{address[2]} << 8) | address[3];
}

}  // namespace

// One direction of a connection.
// A pending CorruptPatternAfter fault of one pipe.
struct NetPatternFault {
    uint64_t from = 0;
    std::string pattern;
    size_t index = 0;
    uint8_t mask = 0;
    bool done = false;
};

struct NetPipe {
    uint64_t sent = 0;       // stream offset of the next byte sent
    uint64_t delivered = 0;  // bytes arrived at the receiving side
    uint64_t read = 0;       // bytes taken by the receiving side
    uint64_t inFlight = 0;
    uint64_t lastArrival = 0;
    std::deque<std::string> arrived;  // arriving pieces; the front one read up to frontUsed
    size_t frontUsed = 0;
    bool finArrived = false;             // the sender closed and every byte before has arrived
    bool cutArrived = false;             // the connection broke and what came before has arrived
    int cutError = kWsaConnectionReset;  // what the receiving side is told of the break
    bool givenUp = false;  // the receiving side's keep-alive ended the connection for it

    std::map<uint64_t, uint8_t> corrupt;  // stream offset → xor mask
    std::optional<uint64_t> cutAt;
    std::optional<uint64_t> stallAt;
    std::vector<NetPatternFault> patternFaults;
    uint64_t delayMs = 0;
    std::map<uint64_t, uint64_t> pauses;  // stream offset → extra delay from there on
    std::optional<ReadSplit> split;

    uint64_t Unread() const { return delivered - read; }
};

struct NetConnection {
    os::IPv4 connectorAddress{};
    os::IPv4 acceptorAddress{};
    uint16_t port = 0;
    SimNet* connectorNet = nullptr;
    SimNet* acceptorNet = nullptr;
    NetSocket* connector = nullptr;  // null once that side has closed (or before accept)
    NetSocket* acceptor = nullptr;
    bool accepted = false;
    bool connectorClosed = false;
    bool acceptorClosed = false;
    bool cut = false;        // broken by a fault: nothing more is sent either way
    bool unplugged = false;  // nothing passes either way, and neither side is told
    NetPipe up;              // connector → acceptor
    NetPipe down;            // acceptor → connector
};

// A socket of a PC attached to a network.
class NetSocket : public os::Socket {
  public:
    NetSocket(Network& network, SimNet& host, os::SocketEvents& events)
        : m_network(network), m_host(host), m_events(events) {}
    ~NetSocket() override { Close(); }
    NetSocket(const NetSocket&) = delete;
    NetSocket& operator=(const NetSocket&) = delete;

    bool Create(uint16_t port) override {
        if (IsCreated()) {
            return true;
        }
        if (port == 0) {
            port = m_host.EphemeralPort();
        }
        if (port == 0 || !m_host.m_bound.insert(port).second) {
            return Fail(kWsaAddressInUse);
        }
        m_port = port;
        m_ownsPort = true;
        Register();
        return true;
    }

    bool Listen(int backlog) override {
        if (!IsCreated()) {
            return Fail(kWsaNotSocket);
        }
        if (m_connection || m_connecting) {
            return Fail(kWsaIsConnected);
        }
        m_listening = true;
        m_backlog = std::max(1, backlog);
        m_host.m_listening.insert(m_port);
        return true;
    }

    bool Accept(os::Socket& into) override {
        if (!m_listening) {
            return Fail(kWsaInvalid);
        }
        auto* target = dynamic_cast<NetSocket*>(&into);
        if (target == nullptr || target->IsCreated()) {
            return Fail(kWsaInvalid);
        }
        m_acceptArmed = true;
        if (m_pending.empty()) {
            return Fail(kWsaWouldBlock);
        }
        std::shared_ptr<NetConnection> connection = std::move(m_pending.front());
        m_pending.pop_front();
        target->BecomeAcceptor(connection, m_port);
        if (!m_pending.empty()) {
            ArmAccept();
        }
        return true;
    }

    bool Connect(const std::string& dottedAddress, uint16_t port) override {
        if (!IsCreated()) {
            return Fail(kWsaNotSocket);
        }
        if (m_listening) {
            return Fail(kWsaInvalid);
        }
        if (m_connection) {
            return Fail(kWsaIsConnected);
        }
        if (m_connecting) {
            return Fail(kWsaAlreadyConnecting);
        }
        os::IPv4 target{};
        if (!os::ParseDottedIPv4(dottedAddress, target)) {
            return Fail(kWsaInvalid);
        }
        m_host.m_attempts.push_back({dottedAddress, port});
        m_connecting = true;
        m_connectDone = false;
        BeginConnect(target, port);

        // The outcome arrives later; the PC's messages keep flowing meanwhile.
        const uint64_t incarnation = m_incarnation;
        SimUi& ui = *m_host.m_ui;
        while (!m_connectDone && m_incarnation == incarnation) {
            ui.PumpMessages();
            if (m_connectDone || m_incarnation != incarnation) {
                break;
            }
            const bool waited = m_host.m_seat->Wait(
                [&] { return m_connectDone || m_incarnation != incarnation || ui.HasPumpWork(); },
                [&] { return ui.NextDue(); });
            if (!waited) {
                m_connecting = false;
                return Fail(kWsaInterrupted);
            }
        }
        if (m_incarnation != incarnation) {
            return Fail(kWsaNotSocket);  // closed while waiting
        }
        m_connecting = false;
        m_lastError = m_connectError;
        return m_connectError == 0;
    }

    int Send(const void* data, int size) override {
        ++m_network.m_sendCalls;
        if (!IsCreated()) {
            return FailCount(kWsaNotSocket);
        }
        if (!m_connection) {
            return FailCount(kWsaNotConnected);
        }
        const auto* bytes = static_cast<const char*>(data);
        const uint64_t incarnation = m_incarnation;
        int done = 0;
        // A failure after some bytes went out reports how many did.
        const auto failAfter = [&](int code) {
            m_lastError = code;
            return done > 0 ? done : -1;
        };
        while (done < size) {
            if (m_incarnation != incarnation || !m_connection) {
                return failAfter(kWsaNotSocket);
            }
            if (InPipe().givenUp) {
                return failAfter(kWsaTimedOut);
            }
            if (m_connection->cut) {
                return failAfter(kWsaConnectionReset);
            }
            if (PeerClosed()) {
                return size;  // the peer is gone: what it would have got is lost
            }
            const uint64_t room = Room();
            if (room == 0) {
                // A full window: wait for the peer to read, handling messages meanwhile. A
                // watched connection gives up when nothing moves for its stall time.
                SimUi& ui = *m_host.m_ui;
                const std::shared_ptr<NetConnection> connection = m_connection;
                SimClock& clock = m_network.m_clock;
                const std::optional<uint64_t> deadline =
                    m_sendStallMs ? std::optional<uint64_t>(clock.NowMs() + m_sendStallMs)
                                  : std::nullopt;
                for (;;) {
                    const bool waited = m_host.m_seat->Wait(
                        [&] {
                            return m_incarnation != incarnation || connection->cut ||
                                   PeerClosed(*connection) || RoomIn(*connection) > 0 ||
                                   ui.HasPumpWork() || (deadline && clock.NowMs() >= *deadline);
                        },
                        [&] {
                            std::optional<uint64_t> due = ui.NextDue();
                            if (deadline && (!due || *deadline < *due)) {
                                due = deadline;
                            }
                            return due;
                        });
                    if (!waited) {
                        return failAfter(kWsaInterrupted);
                    }
                    ui.PumpMessages();
                    if (m_incarnation != incarnation || !m_connection || connection->cut ||
                        PeerClosed(*connection) || RoomIn(*connection) > 0) {
                        break;
                    }
                    if (deadline && clock.NowMs() >= *deadline) {
                        m_network.GiveUp(connection, m_isConnector, kWsaTimedOut);
                        return failAfter(kWsaTimedOut);
                    }
                }
                continue;
            }
            const size_t n = static_cast<size_t>(std::min<uint64_t>(room, size - done));
            if (!Transmit(bytes + done, n)) {
                return size;  // cut on the way: accepted here, lost beyond the cut
            }
            done += static_cast<int>(n);
        }
        return size;
    }

    bool WatchPeer(uint32_t idleMs, uint32_t intervalMs, uint32_t sendStallMs) override {
        m_keepAliveIdleMs = idleMs;
        m_keepAliveIntervalMs = intervalMs;
        m_sendStallMs = sendStallMs;
        return true;
    }
    uint64_t KeepAliveIdleMs() const { return m_keepAliveIdleMs; }
    uint64_t KeepAliveIntervalMs() const { return m_keepAliveIntervalMs; }

    int Receive(void* buffer, int size) override {
        if (!IsCreated()) {
            return FailCount(kWsaNotSocket);
        }
        if (!m_connection) {
            return FailCount(kWsaNotConnected);
        }
        NetPipe& in = InPipe();
        m_readArmed = true;
        if (in.Unread() == 0 || size <= 0) {
            if (in.Unread() == 0 && in.finArrived) {
                return 0;
            }
            if (in.Unread() == 0 && in.cutArrived) {
                return FailCount(kWsaConnectionReset);
            }
            Notify();
            return FailCount(kWsaWouldBlock);
        }
        size_t wanted = static_cast<size_t>(std::min<uint64_t>(size, in.Unread()));
        wanted = m_network.SplitLength(in, wanted);
        auto* out = static_cast<char*>(buffer);
        size_t taken = 0;
        while (taken < wanted) {
            const std::string& front = in.arrived.front();
            const size_t n = std::min(wanted - taken, front.size() - in.frontUsed);
            std::memcpy(out + taken, front.data() + in.frontUsed, n);
            taken += n;
            in.frontUsed += n;
            if (in.frontUsed == front.size()) {
                in.arrived.pop_front();
                in.frontUsed = 0;
            }
        }
        in.read += taken;
        Notify();
        return static_cast<int>(taken);
    }

    void Close() override {
        if (!IsCreated()) {
            return;
        }
        if (m_listening) {
            // Connections nobody accepted are reset.
            for (const auto& pending : m_pending) {
                m_network.Break(pending);
                pending->acceptorClosed = true;
            }
            m_pending.clear();
            m_host.m_listening.erase(m_port);
        }
        if (m_connection) {
            NetConnection& connection = *m_connection;
            if (m_isConnector) {
                connection.connector = nullptr;
                connection.connectorClosed = true;
            } else {
                connection.acceptor = nullptr;
                connection.acceptorClosed = true;
            }
            // What this side had not read is gone; the peer gets FIN after the last byte.
            NetPipe& in = InPipe();
            in.arrived.clear();
            in.frontUsed = 0;
            in.read = in.delivered;
            if (!connection.cut) {
                m_network.SendFin(m_connection, m_isConnector);
            }
            m_connection.reset();
        }
        if (m_ownsPort) {
            m_host.m_bound.erase(m_port);
        }
        m_host.m_live.erase(m_incarnation);
        --m_host.m_openSockets;
        m_incarnation = 0;
        m_port = 0;
        m_ownsPort = false;
        m_listening = false;
        m_connecting = false;
        m_readArmed = true;
        m_acceptArmed = true;
        m_closePosted = false;
    }

    bool IsCreated() const override { return m_incarnation != 0; }

    bool PeerAddress(os::IPv4& address) override {
        if (!m_connection) {
            return Fail(kWsaNotConnected);
        }
        address = m_isConnector ? m_connection->acceptorAddress : m_connection->connectorAddress;
        return true;
    }

    int LastError() override { return m_lastError; }

    // Called by the network and the PC's message queue.
    void Dispatch(SimNet::Event event, int error) {
        switch (event) {
            case SimNet::Event::Accept:
                m_events.OnAccept(error);
                break;
            case SimNet::Event::Read:
                m_events.OnReceive(error);
                break;
            case SimNet::Event::Close:
                m_events.OnClose(error);
                break;
        }
    }

    void FinishConnect(int error, std::shared_ptr<NetConnection> connection) {
        m_connectDone = true;
        m_connectError = error;
        if (connection) {
            m_connection = std::move(connection);
            m_isConnector = true;
            m_connection->connector = this;
            Notify();  // what the acceptor sent before this side heard of the connection
        }
    }

    void QueueIncoming(std::shared_ptr<NetConnection> connection) {
        m_pending.push_back(std::move(connection));
        ArmAccept();
    }

    bool BacklogFull() const { return static_cast<int>(m_pending.size()) >= m_backlog; }
    bool IsListening(uint16_t port) const { return m_listening && m_port == port; }

    // Posts FD_READ or FD_CLOSE when their time has come.
    void Notify() {
        if (!m_connection) {
            return;
        }
        const NetPipe& in = InPipe();
        if (in.Unread() > 0) {
            if (m_readArmed) {
                m_readArmed = false;
                m_host.Post(m_incarnation, SimNet::Event::Read, 0);
            }
        } else if ((in.finArrived || in.cutArrived) && !m_closePosted) {
            m_closePosted = true;
            m_host.Post(m_incarnation, SimNet::Event::Close, in.cutArrived ? in.cutError : 0);
        }
    }

  private:
    bool Fail(int code) {
        m_lastError = code;
        return false;
    }
    int FailCount(int code) {
        m_lastError = code;
        return -1;
    }

    void Register() {
        m_incarnation = m_network.NextIncarnation();
        m_host.m_live[m_incarnation] = this;
        ++m_host.m_openSockets;
    }

    void ArmAccept() {
        if (m_acceptArmed && !m_pending.empty()) {
            m_acceptArmed = false;
            m_host.Post(m_incarnation, SimNet::Event::Accept, 0);
        }
    }

    void BecomeAcceptor(const std::shared_ptr<NetConnection>& connection, uint16_t port) {
        m_port = port;  // shares the listener's port
        m_ownsPort = false;
        Register();
        m_connection = connection;
        m_isConnector = false;
        connection->acceptor = this;
        connection->accepted = true;
        Notify();  // data or a close that came before the accept
    }

    void BeginConnect(const os::IPv4& target, uint16_t port) {
        SimNet* host = &m_host;
        const uint64_t incarnation = m_incarnation;
        Network* network = &m_network;
        const auto finish = [host, incarnation](int error,
                                                std::shared_ptr<NetConnection> connection) {
            const auto it = host->m_live.find(incarnation);
            if (it != host->m_live.end()) {
                it->second->FinishConnect(error, std::move(connection));
            }
        };
        SimNet* remote = m_network.Find(target);
        if (remote == nullptr) {
            m_network.Schedule(m_network.m_clock.NowMs() + m_network.m_connectTimeoutMs,
                               [finish] { finish(kWsaTimedOut, nullptr); });
            return;
        }
        m_network.Schedule(m_network.m_clock.NowMs() + m_network.m_latencyMs,
                           [finish, host, incarnation, network, remote, port] {
                               if (host->m_live.count(incarnation) == 0) {
                                   return;  // the connecting socket has gone
                               }
                               NetSocket* listener = remote->FindListener(port);
                               if (listener == nullptr || listener->BacklogFull()) {
                                   finish(kWsaConnectionRefused, nullptr);
                                   return;
                               }
                               auto connection = network->Open(*host, *remote, port);
                               listener->QueueIncoming(connection);
                               const uint64_t notice = network->m_connectNoticeDelayMs;
                               if (notice == 0) {
                                   finish(0, connection);
                               } else {
                                   network->Schedule(
                                       network->m_clock.NowMs() + notice,
                                       [finish, connection] { finish(0, connection); });
                               }
                           });
    }

    NetPipe& OutPipe() { return m_isConnector ? m_connection->up : m_connection->down; }
    NetPipe& InPipe() { return m_isConnector ? m_connection->down : m_connection->up; }
    const NetPipe& InPipe() const { return m_isConnector ? m_connection->down : m_connection->up; }

    bool PeerClosed(const NetConnection& connection) const {
        return m_isConnector ? connection.acceptorClosed : connection.connectorClosed;
    }
    bool PeerClosed() const { return PeerClosed(*m_connection); }

    uint64_t RoomIn(const NetConnection& connection) const {
        const NetPipe& out = m_isConnector ? connection.up : connection.down;
        const uint64_t window = m_network.m_windowBytes;
        if (window == 0) {
            return UINT64_MAX;
        }
        const uint64_t used = out.inFlight + out.Unread();
        return used >= window ? 0 : window - used;
    }
    uint64_t Room() const { return RoomIn(*m_connection); }

    // Puts `n` bytes on their way; false when the connection was cut among them.
    bool Transmit(const char* data, size_t n) {
        NetPipe& out = OutPipe();
        if (out.stallAt && out.sent <= *out.stallAt && out.sent + n > *out.stallAt &&
            !m_network.Stalled(*m_connection)) {
            const size_t before = static_cast<size_t>(*out.stallAt - out.sent);
            if (!Transmit(data, before)) {
                return false;
            }
            m_network.Stall(*m_connection);
            return Transmit(data + before, n - before);
        }
        // A pause inside these bytes: what comes before it goes now, the rest after it.
        const auto pause = out.pauses.lower_bound(out.sent);
        if (pause != out.pauses.end() && pause->first < out.sent + n) {
            const size_t before = static_cast<size_t>(pause->first - out.sent);
            const uint64_t ms = pause->second;
            out.pauses.erase(pause);
            if (!Transmit(data, before)) {
                return false;
            }
            out.lastArrival =
                std::max(out.lastArrival, m_network.m_clock.NowMs() + m_network.m_latencyMs + ms);
            return Transmit(data + before, n - before);
        }
        bool cut = false;
        if (out.cutAt && out.sent + n > *out.cutAt) {
            n = static_cast<size_t>(*out.cutAt > out.sent ? *out.cutAt - out.sent : 0);
            cut = true;
        }
        if (n > 0) {
            std::string piece(data, n);
            for (auto it = out.corrupt.lower_bound(out.sent);
                 it != out.corrupt.end() && it->first < out.sent + n; ++it) {
                piece[static_cast<size_t>(it->first - out.sent)] ^= static_cast<char>(it->second);
            }
            for (NetPatternFault& fault : out.patternFaults) {
                const size_t start =
                    fault.from > out.sent ? static_cast<size_t>(fault.from - out.sent) : 0;
                const size_t at = start < n ? piece.find(fault.pattern, start) : std::string::npos;
                if (!fault.done && at != std::string::npos) {
                    piece[at + fault.index] ^= static_cast<char>(fault.mask);
                    fault.done = true;
                }
            }
            out.sent += n;
            out.inFlight += n;
            m_network.Deliver(m_connection, m_isConnector, std::move(piece));
        }
        if (cut) {
            m_network.Break(m_connection);
        }
        return !cut;
    }

    Network& m_network;
    SimNet& m_host;
    os::SocketEvents& m_events;
    uint64_t m_incarnation = 0;  // 0: not created
    uint16_t m_port = 0;
    bool m_ownsPort = false;
    bool m_listening = false;
    int m_backlog = 1;
    std::deque<std::shared_ptr<NetConnection>> m_pending;
    std::shared_ptr<NetConnection> m_connection;
    bool m_isConnector = false;
    bool m_connecting = false;
    bool m_connectDone = false;
    int m_connectError = 0;
    bool m_readArmed = true;
    bool m_acceptArmed = true;
    bool m_closePosted = false;
    int m_lastError = 0;
    uint64_t m_keepAliveIdleMs = 0;  // 0: no keep-alive
    uint64_t m_keepAliveIntervalMs = 0;
    uint64_t m_sendStallMs = 0;  // 0: a send may wait for ever
};

// SimNet's side of the networked sockets.

void SimNet::Post(uint64_t incarnation, Event event, int error) {
    m_ui->PostTask([this, incarnation, event, error] { Dispatch(incarnation, event, error); });
}

void SimNet::Dispatch(uint64_t incarnation, Event event, int error) {
    const auto it = m_live.find(incarnation);
    if (it != m_live.end()) {
        it->second->Dispatch(event, error);
    }
}

NetSocket* SimNet::FindListener(uint16_t port) const {
    for (const auto& [incarnation, socket] : m_live) {
        if (socket->IsListening(port)) {
            return socket;
        }
    }
    return nullptr;
}

// The network.

Network::Network(SimClock& clock, uint64_t seed) : m_clock(clock), m_rng(seed) {}

Network::~Network() {
    for (const auto& [key, endpoint] : m_endpoints) {
        endpoint->m_network = nullptr;
    }
}

void Network::Attach(SimNet& endpoint) {
    m_endpoints[Key(endpoint.Address())] = &endpoint;
}

void Network::Detach(SimNet& endpoint) {
    const auto it = m_endpoints.find(Key(endpoint.Address()));
    if (it != m_endpoints.end() && it->second == &endpoint) {
        m_endpoints.erase(it);
    }
}

SimNet* Network::Find(const os::IPv4& address) const {
    const auto it = m_endpoints.find(Key(address));
    return it == m_endpoints.end() ? nullptr : it->second;
}

std::unique_ptr<os::Socket> Network::NewSocket(SimNet& host, os::SocketEvents& events) {
    return std::make_unique<NetSocket>(*this, host, events);
}

void Network::Schedule(uint64_t at, std::function<void()> action) {
    m_timeline.emplace(std::make_pair(at, ++m_sequence), std::move(action));
}

std::optional<uint64_t> Network::NextDue() {
    if (m_timeline.empty()) {
        return std::nullopt;
    }
    return m_timeline.begin()->first.first;
}

void Network::RunDue(uint64_t now) {
    while (!m_timeline.empty() && m_timeline.begin()->first.first <= now) {
        const std::function<void()> action = std::move(m_timeline.begin()->second);
        m_timeline.erase(m_timeline.begin());
        action();
    }
}

uint64_t Network::ArrivalTime(NetPipe& pipe) {
    const uint64_t at = std::max(m_clock.NowMs() + m_latencyMs + pipe.delayMs, pipe.lastArrival);
    pipe.lastArrival = at;
    return at;
}

std::shared_ptr<NetConnection> Network::Open(SimNet& connector, SimNet& acceptor, uint16_t port) {
    auto connection = std::make_shared<NetConnection>();
    connection->connectorAddress = connector.Address();
    connection->acceptorAddress = acceptor.Address();
    connection->port = port;
    connection->connectorNet = &connector;
    connection->acceptorNet = &acceptor;
    for (const Rule& rule : m_rules) {
        ApplyRule(rule, *connection);
    }
    m_connections.push_back(connection);
    return connection;
}

void Network::Deliver(const std::shared_ptr<NetConnection>& connection, bool fromConnector,
                      std::string piece) {
    if (Stalled(*connection)) {
        return;  // in flight for ever: the window fills and the sender waits
    }
    NetPipe& pipe = fromConnector ? connection->up : connection->down;
    if (connection->unplugged) {
        return;  // lost, and never acknowledged: it stays in flight
    }
    Schedule(ArrivalTime(pipe), [connection, fromConnector, piece = std::move(piece)]() mutable {
        NetPipe& p = fromConnector ? connection->up : connection->down;
        if (connection->unplugged) {
            return;
        }
        p.inFlight -= piece.size();
        const bool receiverClosed =
            fromConnector ? connection->acceptorClosed : connection->connectorClosed;
        if (receiverClosed) {
            return;
        }
        p.delivered += piece.size();
        p.arrived.push_back(std::move(piece));
        if (NetSocket* receiver = fromConnector ? connection->acceptor : connection->connector) {
            receiver->Notify();
        }
    });
}

void Network::SendFin(const std::shared_ptr<NetConnection>& connection, bool fromConnector) {
    if (Stalled(*connection)) {
        return;
    }
    NetPipe& pipe = fromConnector ? connection->up : connection->down;
    if (connection->unplugged) {
        return;
    }
    Schedule(ArrivalTime(pipe), [connection, fromConnector] {
        NetPipe& p = fromConnector ? connection->up : connection->down;
        if (connection->unplugged) {
            return;
        }
        p.finArrived = true;
        if (NetSocket* receiver = fromConnector ? connection->acceptor : connection->connector) {
            receiver->Notify();
        }
    });
}

void Network::Break(const std::shared_ptr<NetConnection>& connection) {
    if (connection->cut || connection->unplugged || Stalled(*connection)) {
        return;
    }
    connection->cut = true;
    // Each side learns of it once what was sent to it before has arrived.
    for (const bool toConnector : {false, true}) {
        NetPipe& pipe = toConnector ? connection->down : connection->up;
        Schedule(ArrivalTime(pipe), [connection, toConnector] {
            NetPipe& p = toConnector ? connection->down : connection->up;
            p.cutArrived = true;
            if (NetSocket* side = toConnector ? connection->connector : connection->acceptor) {
                side->Notify();
            }
        });
    }
}

void Network::Unplug(const os::IPv4& a, const os::IPv4& b) {
    LoseDatagrams(a, b);
    for (const auto& connection : m_connections) {
        const bool between =
            (connection->connectorAddress == a && connection->acceptorAddress == b) ||
            (connection->connectorAddress == b && connection->acceptorAddress == a);
        if (!between || connection->unplugged || connection->cut) {
            continue;
        }
        connection->unplugged = true;
        for (const bool connectorSide : {true, false}) {
            NetSocket* side = connectorSide ? connection->connector : connection->acceptor;
            if (side != nullptr && side->KeepAliveIdleMs() > 0) {
                ScheduleProbe(connection, connectorSide, m_clock.NowMs() + side->KeepAliveIdleMs(),
                              0);
            }
        }
    }
}

void Network::ScheduleProbe(const std::shared_ptr<NetConnection>& connection, bool connectorSide,
                            uint64_t at, int unanswered) {
    constexpr int kProbes = 10;  // what a Windows stack sends before it gives up
    Schedule(at, [this, connection, connectorSide, unanswered] {
        NetSocket* side = connectorSide ? connection->connector : connection->acceptor;
        NetPipe& in = connectorSide ? connection->down : connection->up;
        if (side == nullptr || in.givenUp) {
            return;
        }
        // With data of its own unacknowledged a stack retransmits instead of probing; those
        // retransmissions go unanswered just the same, and the stack gives up after about as
        // many of them, so each tick counts whichever of the two was sent.
        const int count = unanswered + 1;
        if (count >= kProbes) {
            GiveUp(connection, connectorSide, kWsaTimedOut);
            return;
        }
        ScheduleProbe(connection, connectorSide, m_clock.NowMs() + side->KeepAliveIntervalMs(),
                      count);
    });
}

void Network::GiveUp(const std::shared_ptr<NetConnection>& connection, bool connectorSide,
                     int error) {
    NetPipe& in = connectorSide ? connection->down : connection->up;
    if (in.givenUp) {
        return;
    }
    in.givenUp = true;
    in.cutArrived = true;
    in.cutError = error;
    if (NetSocket* side = connectorSide ? connection->connector : connection->acceptor) {
        side->Notify();
    }
}

size_t Network::SplitLength(NetPipe& pipe, size_t wanted) {
    const ReadSplit& split = pipe.split ? *pipe.split : m_defaultSplit;
    switch (split.kind) {
        case ReadSplit::Kind::Arrival:
            return std::min(wanted, pipe.arrived.front().size() - pipe.frontUsed);
        case ReadSplit::Kind::Whole:
            return wanted;
        case ReadSplit::Kind::Random:
            return 1 + static_cast<size_t>(m_rng() % wanted);
        case ReadSplit::Kind::OneByte:
            return 1;
        case ReadSplit::Kind::Offsets:
            for (const uint64_t cut : split.cuts) {
                if (cut > pipe.read && cut - pipe.read < wanted) {
                    wanted = static_cast<size_t>(cut - pipe.read);
                }
            }
            return wanted;
    }
    return wanted;
}

namespace {

bool Matches(const StreamSelector& stream, const NetConnection& connection, bool up) {
    const os::IPv4& from = up ? connection.connectorAddress : connection.acceptorAddress;
    const os::IPv4& to = up ? connection.acceptorAddress : connection.connectorAddress;
    const SimSide side = up ? SimSide::Connector : SimSide::Acceptor;
    return stream.from == from && stream.to == to &&
           (stream.side == SimSide::Any || stream.side == side);
}

}  // namespace

void Network::ApplyRule(const Rule& rule, NetConnection& connection) {
    for (const bool up : {true, false}) {
        if (!Matches(rule.stream, connection, up)) {
            continue;
        }
        NetPipe& pipe = up ? connection.up : connection.down;
        switch (rule.kind) {
            case Rule::Kind::Corrupt:
                pipe.corrupt[rule.value] ^= rule.mask;
                break;
            case Rule::Kind::Cut:
                pipe.cutAt = pipe.cutAt ? std::min(*pipe.cutAt, rule.value) : rule.value;
                break;
            case Rule::Kind::Delay:
                pipe.delayMs = rule.value;
                break;
            case Rule::Kind::Split:
                pipe.split = rule.split;
                break;
            case Rule::Kind::CorruptPattern:
                pipe.patternFaults.push_back({rule.value, rule.pattern, rule.index, rule.mask});
                break;
            case Rule::Kind::Stall:
                pipe.stallAt = pipe.stallAt ? std::min(*pipe.stallAt, rule.value) : rule.value;
                break;
            case Rule::Kind::Pause:
                pipe.pauses[rule.value] = rule.pauseMs;
                break;
        }
    }
}

void Network::AddRule(const Rule& rule) {
    m_rules.push_back(rule);
    for (const auto& connection : m_connections) {
        if (!(connection->connectorClosed && connection->acceptorClosed)) {
            ApplyRule(rule, *connection);
        }
    }
}

void Network::SetReadSplit(const StreamSelector& stream, const ReadSplit& split) {
    AddRule({stream, Rule::Kind::Split, 0, 0, split});
}

void Network::CorruptByte(const StreamSelector& stream, uint64_t offset, uint8_t mask) {
    AddRule({stream, Rule::Kind::Corrupt, offset, mask, {}});
}

void Network::CutAt(const StreamSelector& stream, uint64_t offset) {
    AddRule({stream, Rule::Kind::Cut, offset, 0, {}});
}

void Network::Delay(const StreamSelector& stream, uint64_t ms) {
    AddRule({stream, Rule::Kind::Delay, ms, 0, {}});
}

void Network::StallAt(const StreamSelector& stream, uint64_t offset) {
    AddRule({stream, Rule::Kind::Stall, offset, 0, {}});
}

void Network::CorruptPatternAfter(const StreamSelector& stream, uint64_t offset,
                                  std::string pattern, size_t index, uint8_t mask) {
    if (index < pattern.size()) {
        AddRule({stream, Rule::Kind::CorruptPattern, offset, mask, {}, std::move(pattern), index});
    }
}

namespace {

uint32_t AddressKey(const os::IPv4& address) {
    return (uint32_t{address[0]} << 24) | (uint32_t{address[1]} << 16) |
           (uint32_t{address[2]} << 8) | uint32_t{address[3]};
}

std::pair<uint32_t, uint32_t> PairKey(const os::IPv4& a, const os::IPv4& b) {
    const uint32_t x = AddressKey(a);
    const uint32_t y = AddressKey(b);
    return {std::min(x, y), std::max(x, y)};
}

}  // namespace

bool Network::Stalled(const os::IPv4& a, const os::IPv4& b) const {
    return m_stalled.count(PairKey(a, b)) > 0;
}

void Network::LoseDatagrams(const os::IPv4& a, const os::IPv4& b) {
    m_unpluggedPairs.insert(PairKey(a, b));
}

bool Network::DatagramsLost(const os::IPv4& a, const os::IPv4& b) const {
    return Stalled(a, b) || m_unpluggedPairs.count(PairKey(a, b)) != 0;
}

bool Network::Stalled(const NetConnection& connection) const {
    return Stalled(connection.connectorAddress, connection.acceptorAddress);
}

void Network::Stall(const NetConnection& connection) {
    m_stalled.insert(PairKey(connection.connectorAddress, connection.acceptorAddress));
    // Connections that exist now are unplugged, so that keep-alive notices them.
    Unplug(connection.connectorAddress, connection.acceptorAddress);
}

void Network::PauseAt(const StreamSelector& stream, uint64_t offset, uint64_t ms) {
    Rule rule{stream, Rule::Kind::Pause, offset, 0, {}};
    rule.pauseMs = ms;
    AddRule(rule);
}

uint64_t Network::BytesSent(const StreamSelector& stream) const {
    uint64_t total = 0;
    for (const auto& connection : m_connections) {
        for (const bool up : {true, false}) {
            if (Matches(stream, *connection, up)) {
                total += (up ? connection->up : connection->down).sent;
            }
        }
    }
    return total;
}

std::vector<SimConnectionInfo> Network::Connections() const {
    std::vector<SimConnectionInfo> result;
    for (const auto& c : m_connections) {
        result.push_back({c->connectorAddress, c->acceptorAddress, c->port, c->up.sent,
                          c->down.sent, c->accepted, c->cut});
    }
    return result;
}

}  // namespace sim
