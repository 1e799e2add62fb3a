// The network between the simulated PCs of a world: TCP-like byte streams between IPv4
// addresses and ports, with virtual latency, a bounded window (a full window makes Send wait
// while the sender keeps handling its messages), read splitting, and faults per direction of a
// connection: a corrupted byte, a cut at a stream offset, an added delay.
//
// Every PC joins through its SimNet. Socket events reach the owning PC as queued messages of
// its user-interface thread, in Winsock's manner: FD_ACCEPT and FD_READ are posted once and
// re-armed by accept and recv (recv posts FD_READ again while data remains), and FD_CLOSE
// follows the last byte of the stream.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "os/Net.h"
#include "sim/SimClock.h"
#include "sim/SimScheduler.h"

namespace sim {

class SimNet;
class NetSocket;
struct NetConnection;
struct NetPipe;

// Winsock error codes of the network.
constexpr int kWsaInterrupted = 10004;
constexpr int kWsaInvalid = 10022;
constexpr int kWsaAlreadyConnecting = 10037;
constexpr int kWsaIsConnected = 10056;
constexpr int kWsaConnectionReset = 10054;
constexpr int kWsaConnectionRefused = 10061;

// Which side of a connection sends the bytes of a direction.
enum class SimSide { Any, Connector, Acceptor };

// One direction of connections: the bytes `from` sends to `to`.
struct StreamSelector {
    os::IPv4 from{};
    os::IPv4 to{};
    SimSide side = SimSide::Any;
};

// How the bytes that have arrived are cut into reads.
struct ReadSplit {
    enum class Kind {
        Arrival,  // a read ends where one arriving piece ends (the default)
        Whole,    // a read takes everything that has arrived
        Random,   // a read takes a random count (from the seed) of what has arrived
        OneByte,  // a read takes one byte
        Offsets,  // a read never crosses one of `cuts` (stream offsets)
    };
    Kind kind = Kind::Arrival;
    std::vector<uint64_t> cuts;

    static ReadSplit Arrival() { return {Kind::Arrival, {}}; }
    static ReadSplit Whole() { return {Kind::Whole, {}}; }
    static ReadSplit Random() { return {Kind::Random, {}}; }
    static ReadSplit OneByte() { return {Kind::OneByte, {}}; }
    static ReadSplit At(std::vector<uint64_t> offsets) { return {Kind::Offsets, offsets}; }
};

// What one connection did, for assertions.
struct SimConnectionInfo {
    os::IPv4 connector{};
    os::IPv4 acceptor{};
    uint16_t port = 0;
    uint64_t bytesUp = 0;    // connector → acceptor
    uint64_t bytesDown = 0;  // acceptor → connector
    bool accepted = false;
    bool cut = false;
};

class Network : public SimTimeSource {
  public:
    Network(SimClock& clock, uint64_t seed);
    ~Network() override;
    Network(const Network&) = delete;
    Network& operator=(const Network&) = delete;

    // Timing. Latency is one way; a connect to an address nobody has times out after
    // `connectTimeoutMs`; `windowBytes` bounds what is in flight or unread per direction
    // (0: unbounded).
    void SetLatency(uint64_t ms) { m_latencyMs = ms; }
    void SetConnectTimeout(uint64_t ms) { m_connectTimeoutMs = ms; }
    void SetWindow(uint64_t bytes) { m_windowBytes = bytes; }
    uint64_t LatencyMs() const { return m_latencyMs; }

    // Reads of every stream, or of one direction (which wins over the default).
    void SetReadSplit(const ReadSplit& split) { m_defaultSplit = split; }
    void SetReadSplit(const StreamSelector& stream, const ReadSplit& split);
    // Faults. Each applies to every matching stream, open now or opened later.
    void CorruptByte(const StreamSelector& stream, uint64_t offset, uint8_t mask = 0xFF);
    // The bytes from `offset` on are lost and both sides see the connection close (error
    // WSAECONNRESET); later sends on it fail.
    void CutAt(const StreamSelector& stream, uint64_t offset);
    void Delay(const StreamSelector& stream, uint64_t ms);
    // The cable is pulled once the stream reaches `offset`: from then on nothing at all passes
    // between the two addresses, either way, and neither side is told (sends fill the window
    // and then wait, as over a real dead link).
    void StallAt(const StreamSelector& stream, uint64_t offset);
    // The first occurrence of `pattern` that lies at or after `offset` within one sent piece
    // gets `mask` xored into its byte `index`: a fault aimed at a frame rather than at data.
    void CorruptPatternAfter(const StreamSelector& stream, uint64_t offset, std::string pattern,
                             size_t index, uint8_t mask);
    bool Stalled(const os::IPv4& a, const os::IPv4& b) const;
    // The bytes from `offset` on arrive `ms` later than they would (a retransmission inside a
    // message).
    void PauseAt(const StreamSelector& stream, uint64_t offset, uint64_t ms);
    void ClearFaults() { m_rules.clear(); }
    // The cable between `a` and `b` is pulled (or one of them fell asleep): nothing more passes
    // either way on their connections, not even a close or a reset, and what was in flight is
    // lost. A side that watches its peer (keep-alive, send stall) gives up after its time and
    // sees its connection close with WSAETIMEDOUT; a side that does not waits for ever.
    // Datagrams between the two are lost from then on.
    void Unplug(const os::IPv4& a, const os::IPv4& b);
    // A connecting side learns that its connect succeeded `ms` after the accepting side has
    // the connection (a slow FD_CONNECT), so the partner may connect back first.
    void SetConnectNoticeDelay(uint64_t ms) { m_connectNoticeDelayMs = ms; }

    // Counters.
    uint64_t BytesSent(const StreamSelector& stream) const;
    uint64_t BytesSent(const os::IPv4& from, const os::IPv4& to) const {
        return BytesSent(StreamSelector{from, to, SimSide::Any});
    }
    std::vector<SimConnectionInfo> Connections() const;
    uint64_t SendCalls() const { return m_sendCalls; }  // on every socket, since the start

    // Datagrams. A broadcast reaches every PC of the network after the latency, its sender
    // too (as a real one does); a PC takes it when a datagram socket of its is bound to
    // `port`. SendDatagram may come from any address, a PC of the world or not.
    void Broadcast(const os::IPv4& from, uint16_t port, const std::string& payload);
    void SendDatagram(const os::IPv4& from, const os::IPv4& to, uint16_t port, std::string payload);
    uint64_t DatagramsSent() const { return m_datagramsSent; }

    // SimTimeSource
    std::optional<uint64_t> NextDue() override;
    void RunDue(uint64_t now) override;

  private:
    friend class SimNet;
    friend class NetSocket;
    friend class SimDatagram;

    struct Rule {
        StreamSelector stream;
        enum class Kind { Corrupt, Cut, Delay, Split, Stall, CorruptPattern, Pause } kind;
        uint64_t value = 0;
        uint8_t mask = 0;
        ReadSplit split;
        std::string pattern;
        size_t index = 0;
        uint64_t pauseMs = 0;  // Pause: how long
    };

    void Attach(SimNet& endpoint);
    void Detach(SimNet& endpoint);
    SimNet* Find(const os::IPv4& address) const;
    std::unique_ptr<os::Socket> NewSocket(SimNet& host, os::SocketEvents& events);
    uint64_t NextIncarnation() { return ++m_incarnations; }

    void Schedule(uint64_t at, std::function<void()> action);
    void AddRule(const Rule& rule);
    void ApplyRule(const Rule& rule, NetConnection& connection);
    std::shared_ptr<NetConnection> Open(SimNet& connector, SimNet& acceptor, uint16_t port);
    // Where a piece sent now arrives: after the latency and any delay, never before the
    // pieces sent before it.
    uint64_t ArrivalTime(NetPipe& pipe);
    void Deliver(const std::shared_ptr<NetConnection>& connection, bool fromConnector,
                 std::string piece);
    void SendFin(const std::shared_ptr<NetConnection>& connection, bool fromConnector);
    // A fault broke the connection: each side sees it close after what came before.
    void Break(const std::shared_ptr<NetConnection>& connection);
    bool Stalled(const NetConnection& connection) const;
    void LoseDatagrams(const os::IPv4& a, const os::IPv4& b);
    bool DatagramsLost(const os::IPv4& a, const os::IPv4& b) const;
    void Stall(const NetConnection& connection);
    // Keep-alive of one side of an unplugged connection: probes while nothing of its own is
    // unacknowledged; ten unanswered ones end the connection for that side.
    void ScheduleProbe(const std::shared_ptr<NetConnection>& connection, bool connectorSide,
                       uint64_t at, int unanswered);
    // One side ends a connection it can no longer reach: it sees a close with `error`.
    void GiveUp(const std::shared_ptr<NetConnection>& connection, bool connectorSide, int error);
    size_t SplitLength(NetPipe& pipe, size_t wanted);

    SimClock& m_clock;
    std::mt19937_64 m_rng;
    uint64_t m_latencyMs = 1;
    uint64_t m_sendCalls = 0;
    uint64_t m_datagramsSent = 0;
    uint64_t m_connectTimeoutMs = 21'000;
    uint64_t m_windowBytes = 128 * 1024;
    uint64_t m_connectNoticeDelayMs = 0;
    ReadSplit m_defaultSplit;
    std::vector<Rule> m_rules;
    std::set<std::pair<uint32_t, uint32_t>> m_stalled;  // address pairs, lower first
    std::set<std::pair<uint32_t, uint32_t>> m_unpluggedPairs;
    std::map<uint32_t, SimNet*> m_endpoints;
    std::vector<std::shared_ptr<NetConnection>> m_connections;
    std::map<std::pair<uint64_t, uint64_t>, std::function<void()>> m_timeline;
    uint64_t m_sequence = 0;
    uint64_t m_incarnations = 0;
};

}  // namespace sim
