// Start-up and shutdown of the application.
#include "app/TandrixApp.h"

#include "app/TandrixDlg.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"

CTandrixApp::CTandrixApp(os::Platform& os) : m_os(os) {}

CTandrixApp::~CTandrixApp() = default;

int CTandrixApp::Run() {
    InitInstance();
    ExitInstance();
    return 0;
}

bool CTandrixApp::InitInstance() {
    if (!m_os.sys.SocketsStartup()) {
        ShowMessage(m_os.ui, texts::kSocketInitFailed);
        return false;
    }
    m_bSocketsStarted = true;

    bool alreadyExisted = false;
    m_hMutex = m_os.sys.CreateNamedMutex(texts::kMutexName, alreadyExisted);
    if (alreadyExisted) {
        ShowMessage(m_os.ui, texts::kAlreadyRunning);
        return false;
    }

    m_os.sys.SetJapaneseLocale();

    {
        CTandrixDlg dlg(*this);
        m_os.ui.SetMainWindow(&dlg);
        dlg.DoModal();
        m_os.ui.SetMainWindow(nullptr);
    }
    // No message loop follows: the process ends once the main dialog has closed.
    return false;
}

void CTandrixApp::ExitInstance() {
    m_hMutex.reset();  // released, then closed
    if (m_bSocketsStarted) {
        m_os.sys.SocketsCleanup();
        m_bSocketsStarted = false;
    }
}
