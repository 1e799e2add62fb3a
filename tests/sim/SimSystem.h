// System facts and process services of a simulated PC: names, version record, folders by
// CSIDL, host table, the ANSI code page, error texts, named mutexes, a virtual Sleep and a
// recorded ExitProcess. Every fact is settable and every call that can fail can be made to.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>

#include "os/FileSystem.h"
#include "os/System.h"
#include "sim/SimClock.h"
#include "sim/SimMutexTable.h"
#include "sim/SimSeat.h"

namespace sim {

// Winsock error codes the simulated look-up gives.
constexpr uint32_t kWsaNotInitialised = 10093;
constexpr uint32_t kWsaHostNotFound = 11001;

// Calls a test can make fail.
enum class SimCall {
    ComputerName,
    UserName,
    Version,          // both queries
    VersionExtended,  // only the OSVERSIONINFOEXW query
    WindowsDirectory,
    ModulePath,
    SocketsStartup,
    CreateMutex,
};

class SimSystem : public os::System {
  public:
    // A fresh clock and mutex table unless the PC shares its own.
    explicit SimSystem(std::shared_ptr<SimClock> clock = nullptr,
                       std::shared_ptr<SimMutexTable> mutexes = nullptr);
    ~SimSystem() override;

    // os::System
    bool GetComputerName(os::WString& out) override;
    bool GetUserName(os::WString& out) override;
    bool GetVersion(os::VersionInfo& out, bool extended) override;
    bool GetWindowsDirectory(os::WString& out) override;
    bool GetFolderPath(int csidl, os::WString& out) override;
    bool GetSpecialFolderPath(int csidl, bool create, os::WString& out) override;
    bool GetModulePath(os::WString& out) override;
    bool SocketsStartup() override;
    void SocketsCleanup() override;
    bool LookupHost(const std::string& ansiName, std::array<uint8_t, 4>& address) override;
    bool LookupHostAll(const std::string& ansiName,
                       std::vector<std::array<uint8_t, 4>>& addresses) override;
    std::string WideToAnsi(const os::WString& text) override;
    os::WString AnsiToWide(const std::string& bytes) override;
    uint32_t LastError() override { return m_lastError; }
    os::WString ErrorText(uint32_t code) override;
    std::unique_ptr<os::NamedMutex> CreateNamedMutex(const os::WString& name,
                                                     bool& alreadyExisted) override;
    void SetJapaneseLocale() override { m_japaneseLocale = true; }
    void SetKeepAwake(bool on) override {
        m_keepAwake = on;
        ++m_keepAwakeCalls;
    }
    void Sleep(uint32_t milliseconds) override;
    uint64_t TickCount() override { return m_clock->NowMs(); }
    void ExitProcess(int code) override;

    // Facts.
    void SetComputerName(const os::WString& name) { m_computerName = name; }
    void SetUserName(const os::WString& name) { m_userName = name; }
    void SetVersion(const os::VersionInfo& version) { m_version = version; }
    void SetWindowsDirectory(const os::WString& path) { m_windowsDirectory = path; }
    void SetModulePath(const os::WString& path) { m_modulePath = path; }
    void SetFolder(int csidl, const os::WString& path) { m_folders[csidl] = path; }
    void RemoveFolder(int csidl) { m_folders.erase(csidl); }
    // ANSI host name (case-insensitive) → IPv4 address; a name added again gets one more
    // address, after the first. Dotted addresses resolve by themselves.
    void AddHost(const std::string& name, const std::array<uint8_t, 4>& address);
    void SetFails(SimCall call, bool fails);
    // With a file system, GetSpecialFolderPath checks the folder and creates it when asked.
    void SetFileSystem(os::FileSystem* fs) { m_fs = fs; }
    // Called by ExitProcess after recording, so the PC can stop its dialogs.
    void SetExitHandler(std::function<void(int)> handler) { m_onExit = std::move(handler); }
    // In a world, Sleep waits through the PC's seat until the shared clock has moved on.
    void AttachSeat(SimSeat& seat) { m_seat = &seat; }

    // What happened.
    int SocketsStartups() const { return m_startups; }
    int SocketsCleanups() const { return m_cleanups; }
    bool JapaneseLocaleSet() const { return m_japaneseLocale; }
    bool KeepAwake() const { return m_keepAwake; }  // the request now in force
    int KeepAwakeCalls() const { return m_keepAwakeCalls; }
    uint64_t SleptMs() const { return m_sleptMs; }
    uint64_t NowMs() const { return m_clock->NowMs(); }
    bool Exited() const { return m_exited; }
    int ExitCode() const { return m_exitCode; }
    SimClock& Clock() { return *m_clock; }
    const std::shared_ptr<SimMutexTable>& Mutexes() const { return m_mutexes; }

  private:
    bool Fails(SimCall call) const { return m_failing.count(call) != 0; }
    bool Fail(uint32_t code) {
        m_lastError = code;
        return false;
    }

    std::shared_ptr<SimClock> m_clock;
    std::shared_ptr<SimMutexTable> m_mutexes;
    os::FileSystem* m_fs = nullptr;
    std::function<void(int)> m_onExit;
    SimSeat* m_seat = nullptr;

    os::WString m_computerName = u"PC-A";
    os::WString m_userName = u"taro";
    os::VersionInfo m_version;
    os::WString m_windowsDirectory = u"C:\\Windows";
    os::WString m_modulePath;
    std::map<int, os::WString> m_folders;
    std::map<std::string, std::vector<std::array<uint8_t, 4>>> m_hosts;  // by upper-case name
    std::set<SimCall> m_failing;

    uint32_t m_lastError = 0;
    int m_startups = 0;
    int m_cleanups = 0;
    bool m_japaneseLocale = false;
    bool m_keepAwake = false;
    int m_keepAwakeCalls = 0;
    uint64_t m_sleptMs = 0;
    bool m_exited = false;
    int m_exitCode = 0;
};

}  // namespace sim
