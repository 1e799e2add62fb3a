// A whole simulated PC and its standard Windows 10 layout.
#include "sim/SimPc.h"

#include "sim/SimTemplates.h"

namespace sim {
namespace {

struct FolderRow {
    int csidl;
    const char16_t* below;  // below the profile folder, or absolute when it starts with "C:"
};

// Where Windows 10 puts the shell folders the system asks for.
constexpr FolderRow kFolders[] = {
    {os::kCsidlPersonal, u"Documents"},
    {os::kCsidlFavorites, u"Favorites"},
    {os::kCsidlMyMusic, u"Music"},
    {os::kCsidlMyVideo, u"Videos"},
    {os::kCsidlMyPictures, u"Pictures"},
    {os::kCsidlDesktopDirectory, u"Desktop"},
    {os::kCsidlCookies, u"AppData\\Local\\Microsoft\\Windows\\INetCookies"},
    {os::kCsidlHistory, u"AppData\\Local\\Microsoft\\Windows\\History"},
    {os::kCsidlCommonDesktopDirectory, u"C:\\Users\\Public\\Desktop"},
    {os::kCsidlCommonFavorites, u"Favorites"},  // Vista and later: the user's own
    {os::kCsidlCommonDocuments, u"C:\\Users\\Public\\Documents"},
    {os::kCsidlCommonMusic, u"C:\\Users\\Public\\Music"},
    {os::kCsidlCommonPictures, u"C:\\Users\\Public\\Pictures"},
    {os::kCsidlCommonVideo, u"C:\\Users\\Public\\Videos"},
};

}  // namespace

SimPc::SimPc() : SimPc(SimPcConfig{}) {}

SimPc::SimPc(const SimPcConfig& config) : SimPc(config, std::make_shared<SimClock>()) {}

SimPc::SimPc(const SimPcConfig& config, std::shared_ptr<SimClock> clock)
    : m_config(config),
      m_clock(std::move(clock)),
      m_sys(m_clock, config.mutexes),
      m_ui(m_clock),
      m_platform{m_fs, m_sys, m_shell, m_ui, m_net} {
    InstallTemplates(m_ui);
    m_sys.SetComputerName(config.computerName);
    m_sys.SetUserName(config.userName);
    m_sys.SetVersion(config.version);
    m_sys.SetWindowsDirectory(u"C:\\Windows");
    m_sys.SetModulePath(config.modulePath);
    m_sys.SetFileSystem(&m_fs);
    m_shell.SetFileSystem(&m_fs);
    // ExitProcess stops every dialog of this PC.
    m_sys.SetExitHandler([this](int code) { m_ui.PostQuit(code); });
    for (const FolderRow& row : kFolders) {
        const os::WString below = row.below;
        m_sys.SetFolder(row.csidl,
                        below.starts_with(u"C:") ? below : ProfileFolder() + u"\\" + below);
    }
    if (config.standardDrives) {
        BuildStandardDrives();
    }
}

void SimPc::JoinWorld(SimSeat& seat, Network& network) {
    m_seat = &seat;
    m_ui.AttachSeat(seat);
    m_sys.AttachSeat(seat);
    m_net.Attach(network, m_config.address, m_ui, seat);
}

os::WString SimPc::ProfileFolder() const {
    return u"C:\\Users\\" + m_config.userName;
}

void SimPc::BuildStandardDrives() {
    m_fs.AddDrive(u'C', os::DriveType::Fixed, u"NTFS", u"Windows", m_config.systemDriveBytes);
    m_fs.AddDrive(u'D', os::DriveType::Fixed, u"NTFS", u"Data", m_config.dataDriveBytes);
    m_fs.AddDrive(u'E', os::DriveType::CdRom, u"CDFS", u"", 0);
    m_fs.SetMediumPresent(u'E', false);

    m_fs.MakeFolders(u"C:\\Windows\\System32");
    m_fs.MakeFolders(u"C:\\Program Files");
    m_fs.MakeFolders(u"C:\\ProgramData", os::kAttrHidden);
    m_fs.MakeFolders(u"C:\\Users\\Public", os::kAttrReadOnly);
    m_fs.MakeFolders(ProfileFolder() + u"\\AppData", os::kAttrHidden);
    os::WString path;
    for (const FolderRow& row : kFolders) {
        m_sys.GetFolderPath(row.csidl, path);
        m_fs.MakeFolders(path);
    }
    m_fs.WriteFile(m_config.modulePath, "MZ");
}

}  // namespace sim
