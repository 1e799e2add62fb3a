// The table of found PCs.
#include "net/FoundPcs.h"

#include <algorithm>

namespace discovery {

bool CFoundPcs::Take(const Announcement& announcement, const os::IPv4& from, uint64_t nowMs) {
    const auto sameRun = [&](const FoundPc& row) {
        return row.instanceId == announcement.instanceId;
    };
    if (announcement.leaving) {
        return std::erase_if(m_rows, sameRun) != 0;
    }
    auto it = std::find_if(m_rows.begin(), m_rows.end(), sameRun);
    if (it != m_rows.end()) {
        const bool changed =
            it->address != from || it->name != announcement.name || it->role != announcement.role;
        it->address = from;
        it->name = announcement.name;
        it->role = announcement.role;
        it->lastSeenMs = nowMs;
        // A run that moved to an address another row had: that older row is stale.
        const uint64_t id = announcement.instanceId;
        const bool dropped = std::erase_if(m_rows, [&](const FoundPc& row) {
                                 return row.address == from && row.instanceId != id;
                             }) != 0;
        return changed || dropped;
    }
    std::erase_if(m_rows, [&](const FoundPc& row) { return row.address == from; });
    if (m_rows.size() >= kMaxFoundPcs) {
        const auto oldest =
            std::min_element(m_rows.begin(), m_rows.end(), [](const FoundPc& a, const FoundPc& b) {
                return a.lastSeenMs != b.lastSeenMs ? a.lastSeenMs < b.lastSeenMs
                                                    : a.arrival < b.arrival;
            });
        m_rows.erase(oldest);
    }
    m_rows.push_back(FoundPc{announcement.instanceId, from, announcement.name, announcement.role,
                             nowMs, m_nextArrival++});
    return true;
}

bool CFoundPcs::Expire(uint64_t nowMs) {
    return std::erase_if(m_rows, [nowMs](const FoundPc& row) {
               return nowMs - row.lastSeenMs >= kFoundPcSilenceMs;
           }) != 0;
}

std::vector<FoundPc> CFoundPcs::Sorted() const {
    std::vector<FoundPc> rows = m_rows;
    std::sort(rows.begin(), rows.end(), [](const FoundPc& a, const FoundPc& b) {
        if (a.name != b.name) {
            return a.name < b.name;
        }
        if (a.address != b.address) {
            return a.address < b.address;
        }
        return a.arrival < b.arrival;
    });
    return rows;
}

const FoundPc* CFoundPcs::Find(uint64_t instanceId) const {
    for (const FoundPc& row : m_rows) {
        if (row.instanceId == instanceId) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace discovery
