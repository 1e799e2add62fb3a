// One whole simulated PC: its file system, system facts, shell, user-interface thread and net,
// sharing one virtual clock, and the os::Platform the system's objects receive. The default
// configuration is a typical Windows 10 PC of user "taro".
#pragma once

#include <memory>

#include "os/Platform.h"
#include "sim/SimClock.h"
#include "sim/SimFileSystem.h"
#include "sim/SimNet.h"
#include "sim/SimShell.h"
#include "sim/SimSystem.h"
#include "sim/SimUi.h"

namespace sim {

struct SimPcConfig {
    os::WString computerName = u"PC-A";
    os::WString userName = u"taro";
    // Windows 10 22H2 workstation; see SimSystem for the record's fields.
    os::VersionInfo version{2, 10, 0, 19045, u"", 0x100, os::kProductWorkstation};
    // C: fixed NTFS 500 GB with Windows and the user's folders, D: fixed NTFS 1 TB, E: an empty
    // CD-ROM drive. Without them the PC has no drive at all.
    bool standardDrives = true;
    uint64_t systemDriveBytes = 500'000'000'000ull;
    uint64_t dataDriveBytes = 1'000'000'000'000ull;
    // Where tandrix.exe runs from.
    os::WString modulePath = u"C:\\Users\\taro\\Desktop\\tandrix\\tandrix.exe";
    // Other "processes" of this PC pass the first one's table; null makes a new one.
    std::shared_ptr<SimMutexTable> mutexes;
    // The PC's address on a world's network; 0.0.0.0 lets the world choose one.
    os::IPv4 address{};
};

class Network;
class SimSeat;

class SimPc {
  public:
    SimPc();
    explicit SimPc(const SimPcConfig& config);
    // A PC of a world: on the world's clock; JoinWorld attaches it to the scheduler and network.
    SimPc(const SimPcConfig& config, std::shared_ptr<SimClock> clock);
    void JoinWorld(SimSeat& seat, Network& network);
    SimPc(const SimPc&) = delete;
    SimPc& operator=(const SimPc&) = delete;

    os::Platform& platform() { return m_platform; }
    SimFileSystem& fs() { return m_fs; }
    SimSystem& sys() { return m_sys; }
    SimShell& shell() { return m_shell; }
    SimUi& ui() { return m_ui; }
    SimNet& net() { return m_net; }
    SimClock& clock() { return *m_clock; }
    const SimPcConfig& config() const { return m_config; }
    const os::IPv4& address() const { return m_config.address; }
    SimSeat* seat() const { return m_seat; }

    // The user's profile folder ("C:\Users\taro").
    os::WString ProfileFolder() const;

  private:
    void BuildStandardDrives();

    SimPcConfig m_config;
    std::shared_ptr<SimClock> m_clock;
    SimFileSystem m_fs;
    SimSystem m_sys;
    SimShell m_shell;
    SimUi m_ui;
    SimNet m_net;
    os::Platform m_platform;
    SimSeat* m_seat = nullptr;
};

}  // namespace sim
