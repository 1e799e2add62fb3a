// System facts, sockets start-up, host look-up, ANSI conversions, error texts and the
// single-instance mutex, each through the Win32 call of the same purpose.
#include "os/win32/Win32System.h"

#include "os/win32/WinApi.h"

#include <shlobj.h>

#include <clocale>
#include <cstring>

#include "os/win32/Win32NamedMutex.h"
#include "os/win32/WinText.h"

namespace os::win32 {

bool Win32System::GetComputerName(WString& out) {
    wchar_t name[16] = {};  // MAX_COMPUTERNAME_LENGTH + 1
    DWORD size = 16;
    if (!GetComputerNameW(name, &size)) {
        return false;
    }
    out = FromW(name, size);
    return true;
}

bool Win32System::GetUserName(WString& out) {
    wchar_t name[256] = {};
    DWORD size = 256;
    if (!GetUserNameW(name, &size)) {
        return false;
    }
    out = FromW(name);
    return true;
}

bool Win32System::GetVersion(VersionInfo& out, bool extended) {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = extended ? sizeof(OSVERSIONINFOEXW) : sizeof(OSVERSIONINFOW);
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
        return false;
    }
    out = VersionInfo{};
    out.platformId = info.dwPlatformId;
    out.major = info.dwMajorVersion;
    out.minor = info.dwMinorVersion;
    out.build = info.dwBuildNumber;
    out.servicePack = FromW(info.szCSDVersion);
    if (extended) {
        out.suiteMask = info.wSuiteMask;
        out.productType = info.wProductType;
    }
    return true;
}

bool Win32System::GetWindowsDirectory(WString& out) {
    wchar_t path[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return false;
    }
    out = FromW(path, n);
    return true;
}

bool Win32System::GetFolderPath(int csidl, WString& out) {
    wchar_t path[MAX_PATH] = {};
    // S_FALSE means the id is known but the folder does not exist: no path then.
    if (SHGetFolderPathW(nullptr, csidl, nullptr, 0, path) != S_OK) {
        return false;
    }
    out = FromW(path);
    return true;
}

bool Win32System::GetSpecialFolderPath(int csidl, bool create, WString& out) {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, create ? TRUE : FALSE)) {
        return false;
    }
    out = FromW(path);
    return true;
}

bool Win32System::GetModulePath(WString& out) {
    wchar_t path[260] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, 260);
    if (n == 0 || n >= 260) {
        return false;
    }
    out = FromW(path, n);
    return true;
}

bool Win32System::SocketsStartup() {
    WSADATA data;
    return WSAStartup(MAKEWORD(1, 1), &data) == 0;
}

void Win32System::SocketsCleanup() {
    WSACleanup();
}

bool Win32System::LookupHost(const std::string& ansiName, std::array<uint8_t, 4>& address) {
    const hostent* host = gethostbyname(ansiName.c_str());
    if (!host || host->h_addrtype != AF_INET || host->h_length != 4 || !host->h_addr_list ||
        !host->h_addr_list[0]) {
        return false;
    }
    std::memcpy(address.data(), host->h_addr_list[0], 4);
    return true;
}

bool Win32System::LookupHostAll(const std::string& ansiName,
                                std::vector<std::array<uint8_t, 4>>& addresses) {
    const hostent* host = gethostbyname(ansiName.c_str());
    if (!host || host->h_addrtype != AF_INET || host->h_length != 4 || !host->h_addr_list ||
        !host->h_addr_list[0]) {
        return false;
    }
    addresses.clear();
    for (char** entry = host->h_addr_list; *entry; ++entry) {
        std::array<uint8_t, 4> address{};
        std::memcpy(address.data(), *entry, 4);
        addresses.push_back(address);
    }
    return true;
}

std::string Win32System::WideToAnsi(const WString& text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, W(text), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) {
        return {};
    }
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, W(text), length, out.data(), n, nullptr, nullptr);
    return out;
}

WString Win32System::AnsiToWide(const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int length = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (n <= 0) {
        return {};
    }
    WString out(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

uint32_t Win32System::LastError() {
    return GetLastError();
}

WString Win32System::ErrorText(uint32_t code) {
    wchar_t* buffer = nullptr;
    // IGNORE_INSERTS: some system texts hold %1 placeholders and there are no arguments.
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    WString text;
    if (n > 0 && buffer) {
        text = FromW(buffer, n);
    }
    if (buffer) {
        LocalFree(buffer);
    }
    return text;
}

std::unique_ptr<NamedMutex> Win32System::CreateNamedMutex(const WString& name,
                                                          bool& alreadyExisted) {
    HANDLE h = CreateMutexW(nullptr, FALSE, W(name));  // a marker, not owned
    alreadyExisted = GetLastError() == ERROR_ALREADY_EXISTS;
    if (!h) {
        return nullptr;
    }
    return std::make_unique<Win32NamedMutex>(h);
}

void Win32System::SetJapaneseLocale() {
    _wsetlocale(LC_ALL, L"Japanese");
}

void Win32System::SetKeepAwake(bool on) {
    SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED
                               : ES_CONTINUOUS);
}

void Win32System::Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

uint64_t Win32System::TickCount() {
    return ::GetTickCount64();
}

void Win32System::ExitProcess(int code) {
    ::ExitProcess(static_cast<UINT>(code));
}

}  // namespace os::win32
