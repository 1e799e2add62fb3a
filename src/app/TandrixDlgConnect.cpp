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
    m_discovery.SetRole(role == 1 ? discovery::Role::Source : discovery::Role::Destination);
    m_app.m_sPartnerAddress = partnerAddress;
    // Only the partner may connect to this PC.
    m_ServerSocket.SetPartnerAddresses(partnerAddresses);
    m_ServerSocket.Listen(this);  // a failure has shown its message; the program goes on
    m_nScreen = 1;
    Repaint();
}

void CTandrixDlg::UpdateDiscovery() {
    const bool waiting = !m_bConnected && !m_bExiting;
    if (waiting && !m_discovery.Running()) {
        if (m_discovery.Start(m_sComputerName)) {
            Window().SetTimer(kTimerDiscovery, discovery::kAnnounceIntervalMs);
        }
    } else if (!waiting && m_discovery.Running()) {
        m_discovery.Stop();
        Window().KillTimer(kTimerDiscovery);
    }
}

void CTandrixDlg::OnCopyCommand(int mode) {
    // One copy at a time: a click while one runs (or while connecting) would replace its send
    // list under the running walk.
    if (m_bSearching || m_bConnecting || CopyRunning() || m_bEnvRegistering) {
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
    // One attempt; messages keep flowing meanwhile, so the searching dialog's Cancel works, and
    // the partner's connection back may be accepted before this one is known to stand.
    m_bConnecting = true;
    const bool connected = m_ClientSocket.Connect(this, m_app.m_sPartnerAddress);
    m_bConnecting = false;
    if (connected) {
        m_bConnected = true;
        UpdateDiscovery();
        if (m_bAcceptPending) {
            // The partner connected back first: this PC opens the handshake now.
            m_bAcceptPending = false;
            SendFrame(static_cast<int>(wire::Command::REQREMOTEDRIVE));
            m_nCom = 2;
        }
        if (m_bDriveListPending) {
            m_bDriveListPending = false;
            SendDriveList();
        }
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
    } else if (m_bConnecting) {
        // Our own connect is still waiting for its outcome: a second search on the same socket
        // would fail both. The pairing goes on once it stands.
        m_bAcceptPending = true;
    } else {
        FindPartner();
    }
}

void CTandrixDlg::OnClientClosed() {
    m_nScreen = 1;
    bool tellUser = false;
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
            // The copy did not finish: the user of this PC is told so as well as the other's,
            // once this PC is back at its ready screen.
            tellUser = !m_bExiting;
        } else {
            m_receiver.Abort();
            // No role while the box is up: the close of the other connection, handled under
            // it, must not tell the user a second time.
            m_nRole = 0;
            if (!m_bExiting) {
                ShowMessage(m_os.ui, texts::kConnectionLost);
            }
            EndDialog(os::kIdCancel);
            return;
        }
        m_nRole = 0;
    }
    m_bCopyInProgress = false;
    m_bConnected = false;
    m_bDrivesExchanged = false;
    m_bAcceptPending = false;
    m_bDriveListPending = false;
    m_bPeerKnowsTdx = false;
    Repaint();
    m_ClientSocket.Close();
    m_ServerSocket.Close();
    m_ServerSocket.Listen(this);
    UpdateDiscovery();
    if (tellUser) {
        ShowMessage(m_os.ui, texts::kConnectionLost);
    }
}
