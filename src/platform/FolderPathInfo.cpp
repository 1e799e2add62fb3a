// Windows version class and special-folder locations.
#include "platform/FolderPathInfo.h"

#include "platform/Texts.h"
#include "platform/Trace.h"

namespace {

constexpr uint32_t kPlatformWin32s = 0;
constexpr uint32_t kPlatform9x = 1;
constexpr uint32_t kPlatformNt = 2;
constexpr uint16_t kSuiteEnterprise = 0x02;
constexpr uint16_t kSuiteDatacenter = 0x80;
constexpr uint16_t kSuitePersonal = 0x200;

}  // namespace

CFolderPathInfo::CFolderPathInfo(os::System& sys) : m_sys(sys) {
    m_nOSVersion = CheckOSVersion();
}

CFolderPathInfo::~CFolderPathInfo() = default;

uint32_t CFolderPathInfo::CheckOSVersion() {
    os::VersionInfo v;
    const bool extended = m_sys.GetVersion(v, true);
    if (!extended && !m_sys.GetVersion(v, false)) {
        return 0;
    }
    Trace(u"__CFolderPathInfo::CheckOSVersion(): osvi.dwPlatformId=", v.platformId);
    Trace(u"__CFolderPathInfo::CheckOSVersion(): osvi.dwMajorVersion=", v.major);
    Trace(u"__CFolderPathInfo::CheckOSVersion(): osvi.dwMinorVersion=", v.minor);

    if (v.platformId == kPlatform9x) {
        if (v.major != 4) {
            return 0;
        }
        if (v.minor == 10) {
            return (v.servicePack.size() >= 2 && v.servicePack[1] == u'A') ? kOs98SE : kOs98;
        }
        return v.minor == 90 ? kOsMe : 0;
    }
    if (v.platformId != kPlatformNt) {
        return 0;
    }
    if (v.major == 6) {
        return v.minor == 0 ? kOsVista : (v.minor == 1 ? kOs7 : kOs8);
    }
    if (v.major == 10) {
        return kOs10;
    }
    if (v.major <= 4 || !extended) {
        return 0;
    }
    if (v.productType == os::kProductWorkstation) {
        if (v.major == 5 && v.minor == 2) {
            return kOsXPPro;
        }
        if (v.major == 5 && v.minor == 0) {
            return kOs2000Pro;
        }
        return (v.suiteMask & kSuitePersonal) != 0 ? kOsXPHome : kOsXPPro;
    }
    if (v.productType == os::kProductServer && v.major == 5 && v.minor == 0) {
        return (v.suiteMask & (kSuiteEnterprise | kSuiteDatacenter)) != 0 ? kOs2000AdvServer
                                                                          : kOs2000Server;
    }
    return 0;
}

os::WString CFolderPathInfo::ByFolderPath(int csidl) {
    os::WString path;
    if ((m_nOSVersion & kOsNtMask) == 0 || !m_sys.GetFolderPath(csidl, path)) {
        return os::WString();
    }
    return path;
}

os::WString CFolderPathInfo::BySpecialFolderPath(int csidl) {
    os::WString path;
    if ((m_nOSVersion & kOsNtMask) == 0 || !m_sys.GetSpecialFolderPath(csidl, false, path)) {
        return os::WString();
    }
    return path;
}

os::WString CFolderPathInfo::GetCommonDesktopFolderPath() {
    return ByFolderPath(os::kCsidlCommonDesktopDirectory);
}
os::WString CFolderPathInfo::GetCommonDocumentFolderPath() {
    return ByFolderPath(os::kCsidlCommonDocuments);
}
os::WString CFolderPathInfo::GetCommonFavoriteFolderPath() {
    return ByFolderPath(os::kCsidlCommonFavorites);
}
os::WString CFolderPathInfo::GetCommonMusicFolderPath() {
    return ByFolderPath(os::kCsidlCommonMusic);
}
os::WString CFolderPathInfo::GetCommonPictureFolderPath() {
    return ByFolderPath(os::kCsidlCommonPictures);
}
os::WString CFolderPathInfo::GetCommonVideoFolderPath() {
    return ByFolderPath(os::kCsidlCommonVideo);
}
os::WString CFolderPathInfo::GetCookieFolderPath() {
    return BySpecialFolderPath(os::kCsidlCookies);
}
os::WString CFolderPathInfo::GetDesktopFolderPath() {
    return BySpecialFolderPath(os::kCsidlDesktopDirectory);
}
os::WString CFolderPathInfo::GetFavoriteFolderPath() {
    return BySpecialFolderPath(os::kCsidlFavorites);
}
os::WString CFolderPathInfo::GetHistoryFolderPath() {
    return BySpecialFolderPath(os::kCsidlHistory);
}
os::WString CFolderPathInfo::GetMyDocumentFolderPath() {
    return ByFolderPath(os::kCsidlPersonal);
}
os::WString CFolderPathInfo::GetMyMusicFolderPath() {
    return BySpecialFolderPath(os::kCsidlMyMusic);
}
os::WString CFolderPathInfo::GetMyPictureFolderPath() {
    return BySpecialFolderPath(os::kCsidlMyPictures);
}
os::WString CFolderPathInfo::GetMyVideoFolderPath() {
    return BySpecialFolderPath(os::kCsidlMyVideo);
}

bool CheckPlatform(os::System& sys, os::WString& message, uint32_t& major, uint32_t& minor,
                   uint32_t& build) {
    os::VersionInfo v;
    if (!sys.GetVersion(v, false)) {
        return false;
    }
    switch (v.platformId) {
        case kPlatformWin32s:
            message = texts::kNoWin31;
            return false;
        case kPlatform9x:
            message = texts::kNoWin9x;
            return false;
        case kPlatformNt:
            major = v.major;
            minor = v.minor;
            build = v.build;
            return true;
        default:
            message = texts::kUnknownOs;
            return false;
    }
}
