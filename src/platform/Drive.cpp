// Drive table and free space.
#include "platform/Drive.h"

#include <limits>

#include "os/Text.h"
#include "platform/Trace.h"

CDrive::CDrive() {
    Clear();
}

CDrive::~CDrive() = default;

bool CDrive::AddDrive(const os::WString& root, const os::WString& type, int32_t freeMB,
                      int32_t totalMB, const os::WString& fileSystem) {
    if (m_nCount >= kMaxDrives) {
        Trace(u"CDrive::AddDrive() table full, refused: ", root);
        return false;
    }
    m_sRoot[m_nCount] = root;
    m_sType[m_nCount] = type;
    m_nFreeMB[m_nCount] = freeMB;
    m_nTotalMB[m_nCount] = totalMB;
    m_sFileSystem[m_nCount] = fileSystem;
    ++m_nCount;
    return true;
}

void CDrive::Clear() {
    for (int i = 0; i < kMaxDrives; ++i) {
        m_sRoot[i].clear();
        m_sType[i].clear();
        m_nFreeMB[i] = 0;
        m_nTotalMB[i] = 0;
        m_sFileSystem[i].clear();
    }
    m_nCount = 0;
}

os::WString CDrive::GetRoot(int i) const {
    return Valid(i) ? m_sRoot[i] : os::WString();
}
os::WString CDrive::GetType(int i) const {
    return Valid(i) ? m_sType[i] : os::WString();
}
os::WString CDrive::GetFileSystem(int i) const {
    return Valid(i) ? m_sFileSystem[i] : os::WString();
}
int32_t CDrive::GetFreeMB(int i) const {
    return Valid(i) ? m_nFreeMB[i] : 0;
}
int32_t CDrive::GetTotalMB(int i) const {
    return Valid(i) ? m_nTotalMB[i] : 0;
}
os::WString CDrive::GetFreeText(int i) const {
    return os::ToWString(GetFreeMB(i));
}
os::WString CDrive::GetTotalText(int i) const {
    return os::ToWString(GetTotalMB(i));
}

void GetMyDrive(os::FileSystem& fs, os::System& sys, CDrive& table) {
    const uint32_t mask = fs.LogicalDrives();
    os::WString windowsFolder;
    if (!sys.GetWindowsDirectory(windowsFolder)) {
        windowsFolder.clear();
    }
    const char16_t systemLetter = windowsFolder.empty() ? u'\0' : os::FoldUpper(windowsFolder[0]);
    for (int i = 0; i < 26; ++i) {
        if ((mask & (1u << i)) == 0) {
            continue;
        }
        const auto upper = static_cast<char16_t>(u'A' + i);
        const char16_t letter = (upper == systemLetter) ? upper : static_cast<char16_t>(u'a' + i);
        const os::WString root = os::WString(1, letter) + u":\\";
        const os::DriveType type = fs.GetDriveType(root);
        if (type != os::DriveType::Fixed && type != os::DriveType::CdRom) {
            continue;
        }
        const DiskSpace space = GetDiskSpace(fs, upper);
        os::WString volumeName;
        os::WString fileSystem;
        if (!fs.GetVolumeInformation(root, volumeName, fileSystem)) {
            fileSystem.clear();
        }
        Trace(u"GetMyDrive() szPath = ", root);
        Trace(u"GetMyDrive() szFileSysName = ", fileSystem);
        table.AddDrive(root, type == os::DriveType::CdRom ? u"CDROM" : u"",
                       BytesToMB(space.freeBytes), BytesToMB(space.totalBytes), fileSystem);
    }
}

DiskSpace GetDiskSpace(os::FileSystem& fs, char16_t letter) {
    DiskSpace space;
    const os::WString root = os::WString(1, letter) + u":\\";
    if (!fs.GetDiskFreeSpace(root, space.totalBytes, space.freeBytes)) {
        space = DiskSpace();
    }
    return space;
}

int32_t BytesToMB(uint64_t bytes) {
    const uint64_t units = bytes / 1000000u;
    if (units > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(units);
}

bool HasFreeSpace(os::FileSystem& fs, char16_t letter, int32_t neededMB) {
    return neededMB < BytesToMB(GetDiskSpace(fs, os::FoldUpper(letter)).freeBytes);
}
