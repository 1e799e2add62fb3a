// Main window: its initialisation (second half of start-up), painting and the exit path.
#include "app/TandrixDlg.h"

#include "app/AboutDlg.h"
#include "app/TandrixApp.h"
#include "platform/Drive.h"
#include "platform/FileOps.h"
#include "platform/FilePath.h"
#include "platform/FolderPathInfo.h"
#include "platform/PathLog.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "resource.h"

namespace {

constexpr size_t kTransferBufferSize = 65536;
constexpr uint32_t kExitWaitMs = 500;

}  // namespace

CTandrixDlg::CTandrixDlg(CTandrixApp& app)
    : os::Dialog(app.Os().ui, IDD_TANDRIX_DIALOG, nullptr),
      m_pTransferBuf(kTransferBufferSize, 0),
      m_pMyDrives(std::make_unique<CDrive>()),
      m_pRemoteDrives(std::make_unique<CDrive>()),
      m_pFolderInfo(std::make_unique<CFolderPathInfo>(app.Os().sys)),
      m_pSendPath(std::make_unique<CFilePath>()),
      m_pEnvPath(std::make_unique<CFilePath>()),
      m_pFileListPath(std::make_unique<CFilePath>()),
      m_pFolderListPath(std::make_unique<CFilePath>()),
      m_app(app),
      m_os(app.Os()) {}

CTandrixDlg::~CTandrixDlg() = default;

bool CTandrixDlg::OnInitDialog() {
    os::DialogWindow& window = Window();
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

    m_sDestDrive = u"ドライブ：C";
    GetMyDrive(m_os.fs, m_os.sys, *m_pMyDrives);
    m_sComputerNameForList = GetPCName(m_os.sys);

    EnterReadyScreen();
    return true;
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

void CTandrixDlg::EnterReadyScreen() {
    m_nScreen = 1;
    Window().Invalidate();
}

void CTandrixDlg::OnPaint(os::Canvas& canvas) {
    if (m_bQuitPending) {
        return;
    }
    canvas.FillRect(os::Rect{0, 0, 600, 60}, 0x2F6FA8);
    canvas.FillRect(os::Rect{0, 60, 600, 400}, 0xEAF2F8);
    os::FontSpec headline{20, 700, u"ＭＳ Ｐゴシック"};
    canvas.DrawText(texts::kProductTitle, 30, 20, headline, 0xFFFFFF);
}

bool CTandrixDlg::OnSysCommand(unsigned id) {
    if (id != kIdmAboutBox) {
        return false;
    }
    CAboutDlg about(m_os.ui, this);
    about.DoModal();
    return true;
}

void CTandrixDlg::OnOK() {
    // Enter does nothing on the main window.
}

void CTandrixDlg::OnCancel() {
    if (m_nScreen == 0) {
        EndDialog(os::kIdCancel);
        return;
    }
    m_bExiting = true;
    const os::WString workFolder = GetWorkFolderPath(m_os.sys);
    if (!workFolder.empty()) {
        RemoveDirTree(m_os.fs, workFolder, true);
    }
    m_os.sys.Sleep(kExitWaitMs);
    EndDialog(os::kIdCancel);
}
