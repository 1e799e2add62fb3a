// The Windows version class of this PC and the locations of the user's standard folders,
// asked of the shell on every call.
#pragma once

#include <cstdint>

#include "os/System.h"

// One bit per recognised Windows version; 0 when not recognised.
constexpr uint32_t kOs98 = 0x001;
constexpr uint32_t kOs98SE = 0x002;
constexpr uint32_t kOsMe = 0x004;
constexpr uint32_t kOs2000Pro = 0x008;
constexpr uint32_t kOs2000Server = 0x010;
constexpr uint32_t kOs2000AdvServer = 0x020;
constexpr uint32_t kOsXPHome = 0x040;
constexpr uint32_t kOsXPPro = 0x080;
constexpr uint32_t kOsVista = 0x100;
constexpr uint32_t kOs7 = 0x200;
constexpr uint32_t kOs8 = 0x400;
constexpr uint32_t kOs10 = 0x800;
constexpr uint32_t kOsNtMask = 0xFF8;
constexpr uint32_t kOsVistaAndLater = 0xF00;

class CFolderPathInfo {
  public:
    explicit CFolderPathInfo(os::System& sys);
    virtual ~CFolderPathInfo();

    uint32_t CheckOSVersion();
    uint32_t OSVersion() const { return m_nOSVersion; }

    os::WString GetCommonDesktopFolderPath();
    os::WString GetCommonDocumentFolderPath();
    os::WString GetCommonFavoriteFolderPath();
    os::WString GetCommonMusicFolderPath();
    os::WString GetCommonPictureFolderPath();
    os::WString GetCommonVideoFolderPath();
    os::WString GetCookieFolderPath();
    os::WString GetDesktopFolderPath();
    os::WString GetFavoriteFolderPath();
    os::WString GetHistoryFolderPath();
    os::WString GetMyDocumentFolderPath();
    os::WString GetMyMusicFolderPath();
    os::WString GetMyPictureFolderPath();
    os::WString GetMyVideoFolderPath();

  private:
    os::WString ByFolderPath(int csidl);
    os::WString BySpecialFolderPath(int csidl);

    os::System& m_sys;
    uint32_t m_nOSVersion = 0;
};

// True when the system may run (any NT-family Windows); otherwise `message` says why.
bool CheckPlatform(os::System& sys, os::WString& message, uint32_t& major, uint32_t& minor,
                   uint32_t& build);
