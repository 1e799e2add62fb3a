// Facts about this PC and process-level services: names, version record, folders, host look-up,
// ANSI code page, error texts, the named mutex, sleeping and ending the process.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "os/Types.h"

namespace os {

// The version record (OSVERSIONINFOEXW fields the system looks at).
struct VersionInfo {
    uint32_t platformId = 0;  // 0 Win32s, 1 9x, 2 NT
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    WString servicePack;  // szCSDVersion
    // Extended fields; only meaningful when the extended query succeeded.
    uint16_t suiteMask = 0;
    uint8_t productType = 0;  // 1 workstation, 2 domain controller, 3 server
};

enum : uint8_t {
    kProductWorkstation = 1,
    kProductDomainController = 2,
    kProductServer = 3,
};

// Shell folder ids (CSIDL values).
enum : int {
    kCsidlFavorites = 6,
    kCsidlMyMusic = 13,
    kCsidlMyVideo = 14,
    kCsidlDesktopDirectory = 16,
    kCsidlCommonDesktopDirectory = 25,
    kCsidlCommonFavorites = 31,
    kCsidlCookies = 33,
    kCsidlHistory = 34,
    kCsidlMyPictures = 39,
    kCsidlCommonDocuments = 46,
    kCsidlCommonMusic = 53,
    kCsidlCommonPictures = 54,
    kCsidlCommonVideo = 55,
    kCsidlPersonal = 5,
};

// A named kernel mutex; released and closed on destruction.
class NamedMutex {
  public:
    virtual ~NamedMutex() = default;
};

class System {
  public:
    virtual ~System() = default;

    virtual bool GetComputerName(WString& out) = 0;  // NetBIOS name, at most 15 characters
    virtual bool GetUserName(WString& out) = 0;
    // Extended (OSVERSIONINFOEXW) or basic (OSVERSIONINFOW) query.
    virtual bool GetVersion(VersionInfo& out, bool extended) = 0;
    virtual bool GetWindowsDirectory(WString& out) = 0;
    // SHGetFolderPathW(no owner, no token, flags 0).
    virtual bool GetFolderPath(int csidl, WString& out) = 0;
    // SHGetSpecialFolderPathW(no owner, create).
    virtual bool GetSpecialFolderPath(int csidl, bool create, WString& out) = 0;
    virtual bool GetModulePath(WString& out) = 0;

    // Socket library start and stop (one stop per successful start).
    virtual bool SocketsStartup() = 0;
    virtual void SocketsCleanup() = 0;
    // Classic host-name look-up of an ANSI name: the first IPv4 address.
    virtual bool LookupHost(const std::string& ansiName, std::array<uint8_t, 4>& address) = 0;
    // The same look-up giving every IPv4 address of the name, in the resolver's order. A
    // system that knows only one address per name may leave this as it is.
    virtual bool LookupHostAll(const std::string& ansiName,
                               std::vector<std::array<uint8_t, 4>>& addresses) {
        std::array<uint8_t, 4> first{};
        if (!LookupHost(ansiName, first)) {
            return false;
        }
        addresses.assign(1, first);
        return true;
    }

    // Conversions with the thread's ANSI code page.
    virtual std::string WideToAnsi(const WString& text) = 0;
    virtual WString AnsiToWide(const std::string& bytes) = 0;

    virtual uint32_t LastError() = 0;
    virtual WString ErrorText(uint32_t code) = 0;  // empty when the system has none

    // Null on failure; `alreadyExisted` tells whether another process holds the name.
    virtual std::unique_ptr<NamedMutex> CreateNamedMutex(const WString& name,
                                                         bool& alreadyExisted) = 0;
    virtual void SetJapaneseLocale() = 0;
    // Asks the system to stay awake (and keep the display on) while a copy runs, or releases
    // that request.
    virtual void SetKeepAwake(bool on) = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
    // Milliseconds since some fixed moment; never goes back. Paces window updates and
    // notices silence on a connection.
    virtual uint64_t TickCount() = 0;
    // Ends the process at once with `code`, skipping every clean-up. On Windows it does not
    // return; the simulation records the code and stops the PC, so callers return right after.
    virtual void ExitProcess(int code) = 0;
};

}  // namespace os
