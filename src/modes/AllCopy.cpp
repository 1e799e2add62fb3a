// Whole-drive copy: every entry in the root of every fixed drive, except the system's own
// files and folders and, unless the user asks for them, the program folders.
#include "app/TandrixDlg.h"
#include "modes/DlgDrive.h"
#include "os/Text.h"
#include "platform/Drive.h"
#include "platform/FilePath.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "platform/Trace.h"

namespace {

// Root entries that belong to the system, compared without case.
const char16_t* const kExcludedRootNames[] = {
    u"temp",         u"pagefile.sys", u"MSOCache",   u"RECYCLER",     u"AUTOEXEC.BAT",
    u"boot.ini",     u"bootfont.bin", u"CONFIG.SYS", u"IO.SYS",       u"MSDOS.SYS",
    u"NTDETECT.COM", u"ntldr",        u"Windows",    u"ProgramData",  u"$Windows.~BT",
    u"$Windows.~WS", u"Windows.old",  u"__debuglog", u"$Recycle.Bin",
};

bool IsExcludedRootName(const os::WString& name, const os::WString& windowsName) {
    if (name == windowsName) {
        return true;
    }
    for (const char16_t* excluded : kExcludedRootNames) {
        if (os::EqualsNoCase(name, excluded)) {
            return true;
        }
    }
    return false;
}

// A listing that failed only because there was nothing to list.
bool IsEmptyListing(uint32_t error) {
    return error == os::kErrFileNotFound || error == os::kErrNoMoreFiles;
}

bool IsProgramFolder(const os::WString& name) {
    return os::EqualsNoCase(name, u"Program Files") ||
           os::EqualsNoCase(name, u"Program Files (x86)");
}

}  // namespace

os::WString CTandrixDlg::DestRoot() const {
    const char16_t letter = m_sDestDrive.empty() ? u'C' : m_sDestDrive.back();
    return os::WString(1, letter) + u":\\Ferrylo";
}

bool CTandrixDlg::DoAllCpy() {
    Window().Enable(false);
    m_pSendPath->Clear();
    const os::WString root = DestRoot();
    m_pSendPath->SetFolderText(root);
    os::WString windowsFolder;
    if (!m_os.sys.GetWindowsDirectory(windowsFolder)) {
        windowsFolder.clear();
    }
    const os::WString windowsName = windowsFolder.size() > 3 ? windowsFolder.substr(3) : u"";
    const char16_t systemLetter = windowsFolder.empty() ? u'\0' : windowsFolder[0];
    bool everyRootListed = true;

    for (int i = 0; i < m_pMyDrives->Count(); ++i) {
        if (!m_pMyDrives->GetType(i).empty()) {
            continue;  // optical drives are not copied
        }
        const os::WString driveRoot = m_pMyDrives->GetRoot(i);
        const char16_t letter = driveRoot.empty() ? u'?' : driveRoot[0];
        const os::WString destFolder = root + u"\\" + m_sComputerName + u"の" +
                                       os::WString(1, os::FoldUpper(letter)) + u"ドライブ";
        os::FindData record;
        auto find = m_os.fs.FindFirst(driveRoot + u"*.*", record);
        if (!find && !IsEmptyListing(m_os.fs.LastError())) {
            // A drive that cannot be listed is told and left out; the others still move.
            everyRootListed = false;
            ShowMessage(m_os.ui,
                        os::WString(1, os::FoldUpper(letter)) + u"：" + texts::kDriveUnreadable);
            continue;
        }
        m_pSendPath->AppendFolderText(destFolder + u"|");
        if (!find) {
            continue;  // an empty drive: its folder is made, nothing else
        }
        const bool systemDrive = letter == systemLetter;
        do {
            const os::WString& name = record.name;
            if (name == u"." || name == u"..") {
                continue;
            }
            if (IsExcludedRootName(name, windowsName)) {
                Trace(u"CTandrixDlg::DoAllCpy() Skipped File/Dir=", name);
                continue;
            }
            if (systemDrive && !m_bProgramFiles && IsProgramFolder(name)) {
                continue;
            }
            Trace(u"CopyPath = ", name);
            m_pSendPath->AddPair(driveRoot + name, destFolder + u"\\" + name, false);
        } while (find->Next(record));
    }
    m_pSendPath->m_nCurrent = 0;
    return everyRootListed;
}

bool CTandrixDlg::ChooseDestinationDrive() {
    CDlgDrive dialog(m_os.ui, this);
    dialog.AddRows(*m_pRemoteDrives);
    const int result = dialog.DoModal();
    // The partner may have started a copy of its own towards this PC meanwhile.
    if (result != os::kIdOk || m_nRole == 2 || dialog.m_chChosen == 0) {
        return false;
    }
    m_sDestDrive.back() = dialog.m_chChosen;
    return true;
}

void CTandrixDlg::StartWholeDriveCopy() {
    const int answer = ShowMessage(
        m_os.ui,
        u"ProgramFilesフォルダをコピーしますか？\n\n※ProgramFilesフォルダは通常ソフトウェアがインス"
        u"トールされている場所になっています。これをコピーしても接続先のパソコンでこのパソコンにあ"
        u"るソ"
        u"フトウェアを利用することはできません。必要に応じて接続先のパソコンに再度インストールして"
        u"くださ"
        u"い。",
        u"", os::kMbYesNo);
    m_bProgramFiles = answer == os::kIdYes;
    if (!ChooseDestinationDrive()) {
        return;
    }
    // A drive that could not be listed has been told; the others move all the same.
    DoAllCpy();
    BeginCopy();
}
