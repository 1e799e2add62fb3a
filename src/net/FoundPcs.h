// The PCs found on the local network: one row per announcing run of the program, from its
// latest announcement. A row goes when its PC says it is leaving or after kFoundPcSilenceMs of
// silence; the table never holds more than kMaxFoundPcs rows, and one sender address has at
// most one row (a program restarted there replaces its old run), so a flood of made-up
// announcements cannot grow it.
#pragma once

#include <cstdint>
#include <vector>

#include "net/DiscoveryDatagram.h"
#include "os/Net.h"

namespace discovery {

constexpr size_t kMaxFoundPcs = 32;
constexpr uint64_t kFoundPcSilenceMs = 4'000;

struct FoundPc {
    uint64_t instanceId = 0;
    os::IPv4 address{};
    os::WString name;
    Role role = Role::None;
    uint64_t lastSeenMs = 0;
    uint64_t arrival = 0;  // order of first sight, for a stable choice among equals
};

class CFoundPcs {
  public:
    // Takes `announcement` from `from`, received at `nowMs`. True when the rows changed in a
    // way the user can see (a row came, went, or changed its name, address or role).
    bool Take(const Announcement& announcement, const os::IPv4& from, uint64_t nowMs);
    // Drops the rows silent for too long; true when one went.
    bool Expire(uint64_t nowMs);
    void Clear() { m_rows.clear(); }

    // The rows by name, then address.
    std::vector<FoundPc> Sorted() const;
    const FoundPc* Find(uint64_t instanceId) const;
    size_t Size() const { return m_rows.size(); }

  private:
    std::vector<FoundPc> m_rows;
    uint64_t m_nextArrival = 0;
};

}  // namespace discovery
