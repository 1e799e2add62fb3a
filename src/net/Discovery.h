// Finding the other PCs that run this program on the local network, while this PC waits for
// its partner: it broadcasts its announcement once at start, at every change of role and then
// every kAnnounceIntervalMs from its owner's timer, and keeps a table of the announcements of
// the others. What arrives is read on the user-interface thread in small helpings (at most
// kMaxDatagramsPerWake a notification, kMaxDatagramsPerTick between two ticks), so a flood
// costs a bounded amount of work and memory and the window stays responsive.
//
// The table is a hint for the user only: pairing goes by the chosen PC's name as ever.
#pragma once

#include <memory>

#include "net/FoundPcs.h"
#include "net/Sockets.h"
#include "os/Platform.h"

namespace discovery {

constexpr uint16_t kDiscoveryPort = kTandrixPort + 1;  // UDP
constexpr uint32_t kAnnounceIntervalMs = 1'000;
constexpr int kMaxDatagramsPerWake = 16;
constexpr int kMaxDatagramsPerTick = 128;

class CDiscoveryListener {
  public:
    virtual ~CDiscoveryListener() = default;
    // The found PCs changed (one came, went or changed its role).
    virtual void OnFoundPcsChanged() = 0;
};

class CDiscovery : private os::DatagramEvents {
  public:
    explicit CDiscovery(os::Platform& os);
    ~CDiscovery() override;  // stops
    CDiscovery(const CDiscovery&) = delete;
    CDiscovery& operator=(const CDiscovery&) = delete;

    // Announces `computerName` and listens. False when the system offers no datagrams or the
    // port is taken; pairing by a typed name works all the same.
    bool Start(const os::WString& computerName);
    // A last announcement that this PC is leaving, then silence; the table is emptied.
    void Stop();
    bool Running() const { return m_socket != nullptr; }

    // The role announced from now on; a change is announced at once.
    void SetRole(Role role);
    Role CurrentRole() const { return m_self.role; }
    // Every kAnnounceIntervalMs: announces, drops PCs silent for too long, and reads again
    // what a flood left waiting.
    void Tick();

    const CFoundPcs& Found() const { return m_found; }
    // Told of every change of the table; null for nobody.
    void SetListener(CDiscoveryListener* listener) { m_pListener = listener; }
    uint64_t InstanceId() const { return m_self.instanceId; }

  private:
    void OnDatagramReadable() override;
    // Reads at most what the budgets allow; true when the table changed.
    bool Drain();
    bool Take(const uint8_t* data, size_t size, const os::IPv4& from);
    void Announce();
    void Changed();

    os::Platform& m_os;
    std::unique_ptr<os::DatagramSocket> m_socket;
    Announcement m_self;
    CFoundPcs m_found;
    CDiscoveryListener* m_pListener = nullptr;
    int m_nTickBudget = kMaxDatagramsPerTick;
};

// 引越元, 引越先 or 未選択.
os::WString RoleText(Role role);

}  // namespace discovery
