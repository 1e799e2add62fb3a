// Main window: its initialisation (second half of start-up), painting, timers, commands and
// the exit path.
#include "app/TandrixDlg.h"

#include "app/AboutDlg.h"
#include "app/TandrixApp.h"
#include "modes/DlgEnvList.h"
#include "net/DlgFindCancel.h"
#include "net/DlgIPNumber.h"
#include "net/FirewallRules.h"
#include "net/NetworkCategory.h"
#include "os/Text.h"
#include "platform/Drive.h"
#include "platform/FileOps.h"
#include "platform/FilePath.h"
#include "platform/FolderPathInfo.h"
#include "platform/PathLog.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "platform/Trace.h"
#include "resource.h"
#include "transfer/CommandFrame.h"
#include "transfer/RecovPath.h"
#include "ui/DlgProgress.h"

namespace {

constexpr uint32_t kExitWaitMs = 500;

}  // namespace

CTandrixDlg::CTandrixDlg(CTandrixApp& app)
    : os::Dialog(app.Os().ui, IDD_TANDRIX_DIALOG, nullptr),
      m_ClientSocket(app.Os()),
      m_ServerSocket(app.Os()),
      m_discovery(app.Os()),
      m_pTransferBuf(kIoBlock, 0),
      m_recvBuf(kIoBlock + 1, 0),
      m_pMyDrives(std::make_unique<CDrive>()),
      m_pRemoteDrives(std::make_unique<CDrive>()),
      m_pFolderInfo(std::make_unique<CFolderPathInfo>(app.Os().sys)),
      m_pSendPath(std::make_unique<CFilePath>()),
      m_pEnvPath(std::make_unique<CFilePath>()),
      m_pFileList(std::make_unique<CFilePath>()),
      m_pFolderList(std::make_unique<CFilePath>()),
      m_pEnvList(std::make_unique<CDlgEnvList>(app.Os(), this)),
      m_receiver(app.Os().fs, *this),
      m_app(app),
      m_os(app.Os()) {}

CTandrixDlg::~CTandrixDlg() {
    if (m_bMadePrivate) {
        RestoreNetworkPublic(m_os.shell);
    }
    m_os.sys.SetKeepAwake(false);
    m_pProgress.reset();
}

bool CTandrixDlg::OnInitDialog() {
    os::DialogWindow& window = Window();
    // The painted surface is 600 x 400 pixels whatever the dialog font makes of the template.
    window.SetClientSize(600, 400);
    window.AppendSystemMenu(kIdmAboutBox,
                            os::WString(texts::kProductTitle) + texts::kAboutMenuSuffix);
    window.SetIcon(IDR_MAINFRAME);
    ReplaceApplicationName(*this);

    m_sComputerName = GetPCName(m_os.sys);
    ReadProgramLocation();

    os::WString message;
    if (!CheckPlatform(m_os.sys, message, m_nOsMajor, m_nOsMinor, m_nOsBuild)) {
        // A failed version query gives no reason of its own; never show an empty box.
        ShowMessage(m_os.ui, message.empty() ? os::WString(texts::kUnknownOs) : message);
        m_os.sys.ExitProcess(0);
        return true;
    }

    LayoutButtons();
    m_sDestDrive = u"ドライブ：C";
    GetMyDrive(m_os.fs, m_os.sys, *m_pMyDrives);
    m_sComputerNameForList = GetPCName(m_os.sys);
    // The firewall rules come before the discovery socket is bound, so that Windows does not
    // meet the bind with its own prompt to allow the program; the partner dialog checks them
    // again and says what to allow.
    PrepareFirewall(m_os);
    UpdateDiscovery();

    if (!ChooseRole()) {
        // Cancelled or quit: the main window closes without ever being painted.
        m_bQuitPending = true;
        m_os.ui.PostQuit(0);
    }
    return true;
}

bool CTandrixDlg::ChooseRole() {
    CDlgIPNumber dlg(m_os, this, m_sProgramFolder, &m_discovery);
    const int result = dlg.DoModal();
    m_bMadePrivate = dlg.m_bMadePrivate;
    switch (result) {
        case CDlgIPNumber::kResultSource:
            TakeRole(1, dlg.m_sPartnerAddress, dlg.m_partnerAddresses);
            return true;
        case CDlgIPNumber::kResultDestination:
            TakeRole(2, dlg.m_sPartnerAddress, dlg.m_partnerAddresses);
            return true;
        case CDlgIPNumber::kResultQuit:
            // Quit chosen: no role; the caller ends the program as for a cancel.
            m_nPcRole = 0;
            return false;
        default:
            m_bQuitPending = true;
            m_os.ui.PostQuit(0);
            return false;
    }
}

void CTandrixDlg::ReadProgramLocation() {
    os::WString path;
    if (!m_os.sys.GetModulePath(path) || path.empty()) {
        return;
    }
    const SplitPathParts parts = SplitPath(path);
    m_sProgramDrive = parts.drive;
    m_sProgramFolder = parts.drive + parts.dir;
}

void CTandrixDlg::Repaint() {
    Window().Invalidate();
}

bool CTandrixDlg::OnSysCommand(unsigned id) {
    if (id != kIdmAboutBox) {
        return false;
    }
    CAboutDlg about(m_os.ui, this);
    about.DoModal();
    return true;
}

bool CTandrixDlg::OnCommand(int id) {
    switch (id) {
        case kCmdWholeDrives:
            OnCopyCommand(1);
            return true;
        case kCmdFileList:
            OnCopyCommand(2);
            return true;
        case kCmdEnvironment:
            OnCopyCommand(3);
            return true;
        case kCmdFolders:
            OnCopyCommand(5);
            return true;
        default:
            return false;
    }
}

void CTandrixDlg::OnTimer(int id) {
    switch (id) {
        case kTimerFirstPaint:
            Window().KillTimer(kTimerFirstPaint);
            break;
        case kTimerCountYield:
        case kTimerSurveyYield:
            Window().KillTimer(id);
            if (m_bWalking) {
                RunWalk(WalkStep::Continue);
            }
            break;
        case kTimerKeepAwake:
            m_os.ui.NudgeDesktop();
            break;
        case kTimerReportAgain:
            Window().KillTimer(kTimerReportAgain);
            SendErrorReport(m_receiver.CurrentPath());
            break;
        case kTimerStopAnswer:
            OnStopAnswerTimeout();
            break;
        case kTimerMessageSettle:
            OnMessageSettled();
            break;
        case kTimerReceiveProgress:
            ShowReceiveProgress(true);
            break;
        case kTimerDiscovery:
            m_discovery.Tick();
            UpdateDiscovery();
            break;
        default:
            break;
    }
}

void CTandrixDlg::StartChosenCopy() {
    Trace(u"StartChosenCopy() mode=", m_nCopyMode);
    switch (m_nCopyMode) {
        case 1:
            StartWholeDriveCopy();
            break;
        case 2:
            StartListCopy(false);
            break;
        case 3:
            StartEnvCopy();
            break;
        case 5:
            StartListCopy(true);
            break;
        default:
            break;
    }
}

bool CTandrixDlg::BeginCopy() {
    // The connection may have been lost while the user chose in a dialog: then the partner's
    // facts are stale and nothing can be sent.
    if (!m_bConnected || !m_bDrivesExchanged) {
        ShowMessage(m_os.ui, texts::kConnectionLost);
        return false;
    }
    m_bCopyInProgress = true;
    m_nRole = 1;
    m_os.sys.SetKeepAwake(true);
    Trace(u"Send SENDCOUNTBEGIN");
    if (SendFrame(static_cast<int>(wire::Command::SENDCOUNTBEGIN))) {
        return true;
    }
    m_bCopyInProgress = false;
    m_nRole = 0;
    m_os.sys.SetKeepAwake(false);
    ShowMessage(m_os.ui, texts::kConnectionLost);
    return false;
}

void CTandrixDlg::OnOK() {
    // Enter does nothing on the main window.
}

void CTandrixDlg::OnCancel() {
    if (m_nScreen == 0) {
        EndDialog(os::kIdCancel);
        return;
    }
    if (m_bEnvRegistering) {
        m_bExitAfterRegister = true;  // a move cut short would leave the items half in place
        return;
    }
    m_bExiting = true;
    UpdateDiscovery();
    // A copy that runs ends first, at once: the source tells its partner, which returns to its
    // ready screen; the destination throws away the file it was writing.
    if (m_nRole == 1) {
        m_bRunning = false;
        AbandonCopy();
    }
    m_receiver.Abort();  // no partial body is left behind, and no older file is lost
    const os::WString workFolder = GetWorkFolderPath(m_os.sys);
    if (!workFolder.empty()) {
        RemoveDirTree(m_os.fs, workFolder, true);
    }
    m_os.sys.Sleep(kExitWaitMs);
    m_ClientSocket.Close();
    m_ServerSocket.Close();
    EndDialog(os::kIdCancel);
}

bool CTandrixDlg::CreateMovedFilesShortcut(const os::WString& targetFolder) {
    os::WString desktop;
    if (!m_os.sys.GetSpecialFolderPath(os::kCsidlDesktopDirectory, true, desktop)) {
        desktop.clear();
    }
    const os::WString link =
        desktop + u"\\" + os::WString(1, m_chDestDrive) + u"ドライブに引っ越したファイル.lnk";
    if (!m_os.shell.ComInitialize()) {
        ShowMessage(m_os.ui, u"System Error\ncode=E1007\nCom Initialize Error");
        return false;
    }
    const bool saved = !desktop.empty() &&
                       m_os.shell.SaveShortcut(link, targetFolder, texts::kProductTitle, u"/s");
    m_os.shell.ComUninitialize();
    if (!saved) {
        ShowMessage(m_os.ui, u"System Error\ncode=E1008\nRegister startup error");
        return false;
    }
    return true;
}
