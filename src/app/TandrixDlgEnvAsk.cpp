// The environment copy's question to the user: which items move.
#include "app/TandrixDlg.h"
#include "modes/DlgEnvList.h"
#include "platform/FolderPathInfo.h"
#include "platform/Trace.h"

bool CTandrixDlg::AskCopyEnv() {
    CDlgEnvList& dialog = *m_pEnvList;
    dialog.ReadFacts(*m_pFolderInfo, m_os.fs, m_pFolderInfo->OSVersion(),
                     static_cast<uint32_t>(m_peer.m_nRemoteOSVer));
    Trace(u"AskCopyEnv() m_nRemoteWinLiveMail = ", m_peer.m_bRemoteOutlookEx ? 1 : 0);
    Trace(u"AskCopyEnv() m_bWinLiveMail = ", dialog.m_bWinLiveMail ? 1 : 0);
    Trace(u"AskCopyEnv() m_bOutlookEx = ", dialog.m_bOutlookEx ? 1 : 0);
    dialog.m_sProgramFolder = m_sProgramFolder;
    // Only a run goes ahead: a dialog that could not be shown has asked nothing.
    return dialog.DoModal() == os::kIdOk;
}
