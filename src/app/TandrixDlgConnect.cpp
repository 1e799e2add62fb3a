// The connection to the partner: the copy commands, connecting out with the searching dialog,
// the pairing on accept, and what follows when the partner closes the connection.
#include "app/TandrixApp.h"
#include "app/TandrixDlg.h"
#include "net/DlgFindCancel.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "platform/Trace.h"
#include "transfer/CommandFrame.h"
#include "ui/DlgProgress.h"

void CTandrixDlg::TakeRole(int role, const os::WString& partnerAddress,
                           const std::vector<os::IPv4>& partnerAddresses) {
    m_nPcRole = role;
    m_app.m_sPartnerAddress = partnerAddress;
    // Only the partner may connect to this PC.
    m_ServerSocket.SetPartnerAddresses(partnerAddresses);
    m_ServerSocket.Listen(this);  // a failure has shown its message; the program goes on
    m_nScreen = 1;
    Repaint();
}

void CTandrixDlg::OnCopyCommand(int mode) {
    if (m_bSearching) {
        return;
    }
    m_nCopyMode = mode;
    Window().Enable(false);
    if (m_bDrivesExchanged) {
        StartChosenCopy();
    } else {
        FindPartner();
    }
    Window().Enable(true);
}

bool CTandrixDlg::FindPartner() {
    if (m_bConnected) {
        return true;
    }
    ConnectToPartner();
    if (!m_bConnected) {
        ShowMessage(m_os.ui, texts::kPartnerNotFound);
        return false;
    }
    return true;
}

void CTandrixDlg::ConnectToPartner() {
    m_nScreen = 2;
    m_bSearching = true;
    Repaint();
    m_pFindDlg = std::make_unique<CDlgFindCancel>(m_os.ui, this, kMsgSearchCancelled);
    m_pFindDlg->Create();
    // One attempt; messages keep flowing meanwhile, so the searching dialog's Cancel works.
    if (m_ClientSocket.Connect(this, m_app.m_sPartnerAddress)) {
        m_bConnected = true;
    } else if (!m_bSearching) {
        m_nScreen = 1;
        Repaint();
    }
    if (m_pFindDlg) {
        m_pFindDlg->DestroyWindow();
        m_pFindDlg.reset();
    }
    m_bSearching = false;
    m_nScreen = 1;
    Repaint();
}

void CTandrixDlg::OnSearchCancelled() {
    m_bSearching = false;
}

void CTandrixDlg::OnAcceptedConnection() {
    m_bPeerListHeld = false;
    m_bPeerKnowsTdx = false;
    m_backReader.Reset();
    m_forward.Reset();
    if (m_bConnected) {
        SendFrame(static_cast<int>(wire::Command::REQREMOTEDRIVE));
        m_nCom = 2;
    } else {
        FindPartner();
    }
}

void CTandrixDlg::OnClientClosed() {
    m_nScreen = 1;
    if (m_nRole == 1 || m_nRole == 2) {
        const int role = m_nRole;
        Window().Enable(true);
        m_bFullDrv = false;
        m_nTotalFiles = 0;
        m_nFileIndex = -1;
        m_bRunning = false;
        m_os.sys.SetKeepAwake(false);
        OnBackChannelData();
        if (role == 1) {
            CloseProgress();
            Window().BringToFront();
        } else {
            m_receiver.Abort();
            if (!m_bExiting) {
                ShowMessage(
                    m_os.ui,
                    u"接続が切断されました\nコピーを続ける場合は、プログラムを再起動してください");
            }
            m_nRole = 0;
            EndDialog(os::kIdCancel);
            return;
        }
        m_nRole = 0;
    }
    m_bCopyInProgress = false;
    m_bConnected = false;
    m_bDrivesExchanged = false;
    m_bPeerKnowsTdx = false;
    Repaint();
    m_ClientSocket.Close();
    m_ServerSocket.Close();
    m_ServerSocket.Listen(this);
}
