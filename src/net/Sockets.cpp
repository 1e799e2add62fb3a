// Socket layer: listening, accepting the partner, connecting out, and turning socket events
// into the main dialog's application messages.
#include "net/Sockets.h"

#include "os/Text.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "platform/Trace.h"

namespace {

constexpr int kListenBacklog = 5;

void SendToOwner(os::Dialog* owner, unsigned message, uintptr_t wParam) {
    if (owner != nullptr) {
        owner->Window().Send(message, wParam);
    }
}

}  // namespace

bool IsConnectionGone(int error) {
    switch (error) {
        case os::kWsaNotSocket:
        case os::kWsaNetReset:
        case os::kWsaConnAborted:
        case os::kWsaConnReset:
        case os::kWsaNotConn:
        case os::kWsaShutdown:
        case os::kWsaTimedOut:
            return true;
        default:
            return false;
    }
}

os::WString DottedAddress(const os::IPv4& address) {
    os::WString text;
    for (size_t i = 0; i < address.size(); ++i) {
        if (i > 0) {
            text += u'.';
        }
        text += os::ToWString(static_cast<int>(address[i]));
    }
    return text;
}

bool ParseIPv4(const os::WString& text, os::IPv4& address) {
    return os::ParseDottedIPv4(os::ToAscii(text), address);
}

CReceiveSocket::CReceiveSocket(os::Net& net, CServerSocket& server)
    : m_pServer(&server), m_pSocket(net.CreateSocket(*this)) {}

CReceiveSocket::~CReceiveSocket() = default;

void CReceiveSocket::OnReceive(int error) {
    if (error != 0) {
        ShowMessage(m_pServer->Os().ui, texts::kReceiveSocketFailed);
        return;
    }
    const int count = m_pServer->NextReceiveCount();
    SendToOwner(m_pServer->m_pOwnerDlg, kMsgIncomingData, static_cast<uintptr_t>(count));
}

void CReceiveSocket::OnClose(int /*error*/) {
    SendToOwner(m_pServer->m_pOwnerDlg, kMsgIncomingClosed, 0);
}

CServerSocket::CServerSocket(os::Platform& os) : m_os(os) {}

CServerSocket::~CServerSocket() = default;

void CServerSocket::SetPartnerAddresses(const std::vector<os::IPv4>& addresses) {
    m_partners = addresses;
}

bool CServerSocket::Listen(os::Dialog* owner) {
    m_pOwnerDlg = owner;
    m_pSocket = m_os.net.CreateSocket(*this);
    if (!m_pSocket->Create(kTandrixPort)) {
        ShowMessage(m_os.ui, texts::kServerSocketInitFailed);
        return false;
    }
    if (!m_pSocket->Listen(kListenBacklog)) {
        ShowMessage(m_os.ui, texts::kListenFailed);
        return false;
    }
    return true;
}

void CServerSocket::Close() {
    if (m_pSocket) {
        m_pSocket->Close();
    }
}

bool CServerSocket::IsPartner(os::Socket& socket) {
    os::IPv4 peer{};
    if (!socket.PeerAddress(peer)) {
        return false;
    }
    for (const auto& partner : m_partners) {
        if (partner == peer) {
            return true;
        }
    }
    return false;
}

void CServerSocket::OnAccept(int error) {
    if (!m_pSocket) {
        return;
    }
    // Take the pending connection first: only its address tells whether it is the partner.
    auto candidate = std::make_unique<CReceiveSocket>(m_os.net, *this);
    if (!m_pSocket->Accept(candidate->Sock())) {
        if (error != 0 && !m_pAccepted) {
            ShowMessage(m_os.ui, texts::kAcceptFailed);
        }
        return;
    }
    if (!IsPartner(candidate->Sock())) {
        Trace(u"CServerSocket::OnAccept() connection from a stranger closed");
        os::IPv4 peer{};
        const bool known = candidate->Sock().PeerAddress(peer);
        candidate->Sock().Close();
        // The partner may have reached us from another of its addresses (two network cards):
        // the user learns which address was refused and what to do, once per address.
        if (known && m_refused.insert(peer).second) {
            ShowMessage(m_os.ui, DottedAddress(peer) + texts::kStrangerRefused);
        }
        return;
    }
    if (m_pAccepted) {
        candidate->Sock().Close();
        ShowMessage(m_os.ui, texts::kStaleConnection);
        if (m_pOwnerDlg != nullptr) {
            m_pOwnerDlg->Window().PostClose();
        }
        return;
    }
    if (error != 0) {
        candidate->Sock().Close();
        ShowMessage(m_os.ui, texts::kAcceptFailed);
        return;
    }
    m_pAccepted = std::move(candidate);
    m_pAccepted->Sock().WatchPeer(kKeepAliveIdleMs, kKeepAliveIntervalMs, kSendStallMs);
    SendToOwner(m_pOwnerDlg, kMsgAccepted, 0);
}

CClientSocket::CClientSocket(os::Platform& os) : m_os(os) {}

CClientSocket::~CClientSocket() = default;

bool CClientSocket::Connect(os::Dialog* owner, const os::WString& address) {
    if (!m_bCreated) {
        m_pOwnerDlg = owner;
        m_pSocket = m_os.net.CreateSocket(*this);
        if (!m_pSocket->Create(0)) {
            ShowMessage(m_os.ui, texts::kClientSocketInitFailed);
            return false;
        }
        m_bCreated = true;
    }
    if (m_pSocket->Connect(os::ToAscii(address), kTandrixPort)) {
        m_bBroken = false;
        m_pSocket->WatchPeer(kKeepAliveIdleMs, kKeepAliveIntervalMs, kSendStallMs);
        return true;
    }
    // A socket whose connect failed is not used again: Linux sockets (and so Wine's) fail the
    // next connect on it as well. The next attempt creates a new one.
    const int error = m_pSocket->LastError();
    m_pSocket->Close();
    m_bCreated = false;
    Trace(u"CClientSocket::Connect() failed, error=", error);
    return false;
}

int CClientSocket::Send(const void* data, int size) {
    const int sent = m_pSocket ? m_pSocket->Send(data, size) : -1;
    if (sent < size && (!m_pSocket || IsConnectionGone(m_pSocket->LastError()))) {
        m_bBroken = true;
    }
    return sent;
}

bool CClientSocket::SendResuming(const void* data, size_t size, int retries, uint32_t pauseMs,
                                 const std::function<bool()>& keepTrying) {
    const auto* bytes = static_cast<const char*>(data);
    size_t done = 0;
    for (int attempt = 0;; ++attempt) {
        const int sent = Send(bytes + done, static_cast<int>(size - done));
        if (sent > 0) {
            done += static_cast<size_t>(sent);
        }
        if (done >= size) {
            return true;
        }
        // What went out must not go out twice: the next try starts after it.
        if (attempt >= retries || !m_bCreated || IsConnectionGone(LastError()) || !keepTrying()) {
            return false;
        }
        m_os.sys.Sleep(pauseMs);
        if (!keepTrying()) {
            return false;
        }
    }
}

int CClientSocket::Receive(void* buffer, int size) {
    return m_pSocket ? m_pSocket->Receive(buffer, size) : -1;
}

int CClientSocket::LastError() {
    return m_pSocket ? m_pSocket->LastError() : 0;
}

void CClientSocket::Close() {
    if (m_pSocket) {
        m_pSocket->Close();
    }
    m_bCreated = false;
}

void CClientSocket::OnReceive(int error) {
    if (error != 0) {
        ShowMessage(m_os.ui, texts::kClientReceiveFailed);
        return;
    }
    SendToOwner(m_pOwnerDlg, kMsgOutgoingData, 0);
}

void CClientSocket::OnClose(int /*error*/) {
    SendToOwner(m_pOwnerDlg, kMsgClientClosed, 0);
    m_bCreated = false;
}
