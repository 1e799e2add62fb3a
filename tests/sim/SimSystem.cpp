// System facts and process services of a simulated PC.
#include "sim/SimSystem.h"
#include "os/Net.h"

#include <algorithm>
#include <cstdio>

#include "os/Text.h"

namespace sim {
namespace {

// The simulated ANSI code page is Windows-1252: bytes below 0x80 are ASCII, 0xA0-0xFF are
// Latin-1, and 0x80-0x9F hold these characters (the five unused bytes map to U+0081 ... as
// MultiByteToWideChar maps them).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

struct ErrorTextRow {
    uint32_t code;
    const char* text;
};

// FormatMessage's English texts, which end in CR LF as the system's do.
constexpr ErrorTextRow kErrorTexts[] = {
    {0, "The operation completed successfully."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {17, "The system cannot move the file to a different disk drive."},
    {18, "There are no more files."},
    {21, "The device is not ready."},
    {29, "The system cannot write to the specified device."},
    {32, "The process cannot access the file because it is being used by another process."},
    {80, "The file exists."},
    {87, "The parameter is incorrect."},
    {112, "There is not enough space on the disk."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {145, "The directory is not empty."},
    {183, "Cannot create a file when that file already exists."},
    {206, "The filename or extension is too long."},
    {267, "The directory name is invalid."},
    {10054, "An existing connection was forcibly closed by the remote host."},
    {10060,
     "A connection attempt failed because the connected party did not properly respond after a "
     "period of time, or established connection failed because connected host has failed to "
     "respond."},
    {10061, "No connection could be made because the target machine actively refused it."},
    {10093, "Either the application has not called WSAStartup, or WSAStartup failed."},
    {11001, "No such host is known."},
};

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    return text;
}

class SimNamedMutex : public os::NamedMutex {
  public:
    SimNamedMutex(std::shared_ptr<SimMutexTable> table, os::WString name)
        : m_table(std::move(table)), m_name(std::move(name)) {}
    ~SimNamedMutex() override {
        if (!m_name.empty()) {
            m_table->Release(m_name);
        }
    }

  private:
    std::shared_ptr<SimMutexTable> m_table;
    os::WString m_name;
};

}  // namespace

SimSystem::SimSystem(std::shared_ptr<SimClock> clock, std::shared_ptr<SimMutexTable> mutexes)
    : m_clock(clock ? std::move(clock) : std::make_shared<SimClock>()),
      m_mutexes(mutexes ? std::move(mutexes) : std::make_shared<SimMutexTable>()) {
    // Windows 10 22H2, workstation.
    m_version.platformId = 2;
    m_version.major = 10;
    m_version.minor = 0;
    m_version.build = 19045;
    m_version.suiteMask = 0x100;
    m_version.productType = os::kProductWorkstation;
}

SimSystem::~SimSystem() = default;

bool SimSystem::GetComputerName(os::WString& out) {
    if (Fails(SimCall::ComputerName)) {
        return Fail(os::kErrInvalidParameter);
    }
    // The NetBIOS name: upper case, at most 15 characters.
    out = os::ToUpper(m_computerName).substr(0, 15);
    return true;
}

bool SimSystem::GetUserName(os::WString& out) {
    if (Fails(SimCall::UserName)) {
        return Fail(os::kErrInvalidParameter);
    }
    out = m_userName;
    return true;
}

bool SimSystem::GetVersion(os::VersionInfo& out, bool extended) {
    if (Fails(SimCall::Version) || (extended && Fails(SimCall::VersionExtended))) {
        return Fail(os::kErrInvalidParameter);
    }
    out = m_version;
    if (!extended) {
        out.suiteMask = 0;
        out.productType = 0;
    }
    return true;
}

bool SimSystem::GetWindowsDirectory(os::WString& out) {
    if (Fails(SimCall::WindowsDirectory)) {
        return Fail(os::kErrInvalidParameter);
    }
    out = m_windowsDirectory;
    return true;
}

bool SimSystem::GetFolderPath(int csidl, os::WString& out) {
    const auto it = m_folders.find(csidl);
    if (it == m_folders.end()) {
        return Fail(os::kErrFileNotFound);
    }
    out = it->second;
    return true;
}

bool SimSystem::GetSpecialFolderPath(int csidl, bool create, os::WString& out) {
    const auto it = m_folders.find(csidl);
    if (it == m_folders.end()) {
        return Fail(os::kErrFileNotFound);
    }
    if (m_fs && m_fs->GetAttributes(it->second) == os::kInvalidAttributes) {
        if (!create) {
            return Fail(os::kErrFileNotFound);
        }
        // Create every missing level, as the shell does.
        for (size_t sep = it->second.find(u'\\', 3);; sep = it->second.find(u'\\', sep + 1)) {
            m_fs->CreateDirectory(it->second.substr(0, sep));
            if (sep == os::WString::npos) {
                break;
            }
        }
        if (m_fs->GetAttributes(it->second) == os::kInvalidAttributes) {
            return Fail(m_fs->LastError());
        }
    }
    out = it->second;
    return true;
}

bool SimSystem::GetModulePath(os::WString& out) {
    if (Fails(SimCall::ModulePath)) {
        return Fail(os::kErrInvalidParameter);
    }
    out = m_modulePath;
    return true;
}

bool SimSystem::SocketsStartup() {
    if (Fails(SimCall::SocketsStartup)) {
        return Fail(kWsaNotInitialised);
    }
    ++m_startups;
    return true;
}

void SimSystem::SocketsCleanup() {
    ++m_cleanups;
}

void SimSystem::SetFails(SimCall call, bool fails) {
    if (fails) {
        m_failing.insert(call);
    } else {
        m_failing.erase(call);
    }
}

void SimSystem::AddHost(const std::string& name, const std::array<uint8_t, 4>& address) {
    auto& addresses = m_hosts[UpperAscii(name)];
    if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
        addresses.push_back(address);
    }
}

bool SimSystem::LookupHost(const std::string& ansiName, std::array<uint8_t, 4>& address) {
    std::vector<std::array<uint8_t, 4>> addresses;
    if (!LookupHostAll(ansiName, addresses)) {
        return false;
    }
    address = addresses.front();
    return true;
}

bool SimSystem::LookupHostAll(const std::string& ansiName,
                              std::vector<std::array<uint8_t, 4>>& addresses) {
    if (m_startups <= m_cleanups) {
        return Fail(kWsaNotInitialised);
    }
    std::array<uint8_t, 4> dotted{};
    if (os::ParseDottedIPv4(ansiName, dotted)) {
        addresses.assign(1, dotted);
        return true;
    }
    const auto it = m_hosts.find(UpperAscii(ansiName));
    if (it == m_hosts.end() || it->second.empty()) {
        return Fail(kWsaHostNotFound);
    }
    addresses = it->second;
    return true;
}

std::string SimSystem::WideToAnsi(const os::WString& text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        char mapped = '?';  // no ANSI form
        for (int i = 0; i < 32; ++i) {
            if (kCp1252High[i] == c) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        out.push_back(mapped);
    }
    return out;
}

os::WString SimSystem::AnsiToWide(const std::string& bytes) {
    os::WString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<uint8_t>(ch);
        out.push_back(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<char16_t>(b));
    }
    return out;
}

os::WString SimSystem::ErrorText(uint32_t code) {
    for (const ErrorTextRow& row : kErrorTexts) {
        if (row.code == code) {
            return os::FromAscii(row.text) + u"\r\n";
        }
    }
    return {};
}

std::unique_ptr<os::NamedMutex> SimSystem::CreateNamedMutex(const os::WString& name,
                                                            bool& alreadyExisted) {
    alreadyExisted = false;
    if (Fails(SimCall::CreateMutex)) {
        Fail(os::kErrAccessDenied);
        return nullptr;
    }
    if (!name.empty()) {
        alreadyExisted = m_mutexes->Acquire(name);
        if (alreadyExisted) {
            m_lastError = os::kErrAlreadyExists;  // as CreateMutex reports it
        }
    }
    return std::make_unique<SimNamedMutex>(m_mutexes, name);
}

void SimSystem::Sleep(uint32_t milliseconds) {
    m_sleptMs += milliseconds;
    if (m_seat == nullptr) {
        m_clock->Advance(milliseconds);
        return;
    }
    // The thread sleeps without handling its messages; the others run meanwhile.
    const uint64_t wake = m_clock->NowMs() + milliseconds;
    m_seat->Wait([this, wake] { return m_clock->NowMs() >= wake; },
                 [wake] { return std::optional<uint64_t>(wake); });
}

void SimSystem::ExitProcess(int code) {
    m_exited = true;
    m_exitCode = code;
    if (m_onExit) {
        m_onExit(code);
    }
}

}  // namespace sim
