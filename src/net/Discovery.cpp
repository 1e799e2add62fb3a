// Announcing this PC and reading the announcements of the others.
#include "net/Discovery.h"

#include <random>

#include "os/Text.h"
#include "platform/Trace.h"

namespace discovery {
namespace {

uint64_t NewInstanceId(uint64_t tick) {
    std::random_device device;
    const uint64_t high = device();
    return ((high << 32) | device()) ^ (tick * 0x9E3779B97F4A7C15ull);
}

}  // namespace

CDiscovery::CDiscovery(os::Platform& os) : m_os(os) {
    m_self.instanceId = NewInstanceId(os.sys.TickCount());
}

CDiscovery::~CDiscovery() {
    Stop();
}

bool CDiscovery::Start(const os::WString& computerName) {
    if (m_socket) {
        return true;
    }
    m_socket = m_os.net.CreateDatagramSocket(*this);
    if (!m_socket || !m_socket->Bind(kDiscoveryPort)) {
        Trace(u"CDiscovery::Start() no discovery on this network");
        m_socket.reset();
        return false;
    }
    m_self.name = computerName;
    m_self.leaving = false;
    m_nTickBudget = kMaxDatagramsPerTick;
    Announce();
    return true;
}

void CDiscovery::Stop() {
    if (!m_socket) {
        return;
    }
    m_self.leaving = true;
    Announce();
    m_self.leaving = false;
    m_socket->Close();
    m_socket.reset();
    if (m_found.Size() != 0) {
        m_found.Clear();
        Changed();
    }
}

void CDiscovery::SetRole(Role role) {
    if (role == m_self.role) {
        return;
    }
    m_self.role = role;
    Announce();
}

void CDiscovery::Tick() {
    if (!m_socket) {
        return;
    }
    Announce();
    m_nTickBudget = kMaxDatagramsPerTick;
    bool changed = Drain();
    changed = m_found.Expire(m_os.sys.TickCount()) || changed;
    if (changed) {
        Changed();
    }
}

void CDiscovery::OnDatagramReadable() {
    if (Drain()) {
        Changed();
    }
}

bool CDiscovery::Drain() {
    bool changed = false;
    uint8_t buffer[kMaxDatagramBytes + 1];  // one more: a longer datagram shows as too long
    for (int n = 0; n < kMaxDatagramsPerWake && m_nTickBudget > 0 && m_socket; ++n) {
        os::IPv4 from{};
        const int size = m_socket->ReceiveFrom(buffer, static_cast<int>(sizeof buffer), from);
        if (size < 0) {
            break;
        }
        --m_nTickBudget;
        changed = Take(buffer, static_cast<size_t>(size), from) || changed;
    }
    return changed;
}

bool CDiscovery::Take(const uint8_t* data, size_t size, const os::IPv4& from) {
    Announcement announcement;
    if (!ParseAnnouncement(data, size, announcement) ||
        announcement.instanceId == m_self.instanceId) {
        return false;
    }
    // A name that reads as an address must be the sender's own, or picking it would pair with
    // a PC other than the one shown.
    os::IPv4 named{};
    if (os::ParseDottedIPv4(os::ToAscii(announcement.name), named) && named != from) {
        return false;
    }
    return m_found.Take(announcement, from, m_os.sys.TickCount());
}

void CDiscovery::Announce() {
    if (!m_socket) {
        return;
    }
    const std::string datagram = WriteAnnouncement(m_self);
    if (!m_socket->Broadcast(datagram.data(), static_cast<int>(datagram.size()), kDiscoveryPort)) {
        Trace(u"CDiscovery::Announce() the announcement left by no network");
    }
}

void CDiscovery::Changed() {
    if (m_pListener != nullptr) {
        m_pListener->OnFoundPcsChanged();
    }
}

os::WString RoleText(Role role) {
    switch (role) {
        case Role::Source:
            return u"引越元";
        case Role::Destination:
            return u"引越先";
        case Role::None:
            break;
    }
    return u"未選択";
}

}  // namespace discovery
