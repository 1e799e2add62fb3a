// What arrives from the partner: the forward dispatcher (incoming connection), the drive-list
// handshake, the command table, the folder list at the destination, error reports.
#include <cstring>
#include <utility>

#include "app/TandrixDlg.h"
#include "os/Text.h"
#include "platform/Drive.h"
#include "platform/FileOps.h"
#include "platform/FilePath.h"
#include "platform/FolderPathInfo.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "platform/Trace.h"
#include "transfer/CommandFrame.h"
#include "transfer/ErrorReport.h"
#include "transfer/FolderListMessage.h"
#include "transfer/PathGuard.h"
#include "transfer/QuietRule.h"
#include "ui/DlgProgress.h"

namespace {

constexpr unsigned kKeepAwakeMs = 60000;
constexpr size_t kLegacyMaxRead = 1040;
constexpr size_t kMaxMessage = 2 * 65536;
constexpr unsigned kReportAgainMs = 100;
constexpr unsigned kReceiveProgressMs = 50;
// Reads taken for one notification before other messages get their turn: 8 reads are up to
// 8 MiB, a small fraction of a second at the speed of a LAN.
constexpr int kMaxReadsPerEvent = 8;

using wire::Command;

}  // namespace

intptr_t CTandrixDlg::OnAppMessage(unsigned n, uintptr_t wParam) {
    switch (n) {
        case kMsgAccepted:
            OnAcceptedConnection();
            break;
        case kMsgClientClosed:
            OnClientClosed();
            break;
        case kMsgIncomingData:
            OnIncomingData();
            break;
        case kMsgOutgoingData:
            OnBackChannelData();
            break;
        case kMsgSearchCancelled:
            OnSearchCancelled();
            break;
        case kMsgStopRequest:
            OnStopRequest();
            break;
        case kMsgEnvRegister:
            DoEnvRegister(wParam != 0);
            break;
        case kMsgIncomingClosed:
            // Outside a copy the end of the incoming connection changes nothing. While this
            // PC receives, the stream it waits for is gone: it ends as on a lost connection
            // instead of waiting for ever.
            if (m_nRole == 2) {
                OnClientClosed();
            }
            break;
        default:
            break;
    }
    return 0;
}

bool CTandrixDlg::SendForward(const void* data, size_t size) {
    if (size == 0) {
        return true;
    }
    // What the walk queued for the stream goes first.
    if (!m_streamBatch.empty() && !SendBatch()) {
        return false;
    }
    const int sent = m_ClientSocket.Send(data, static_cast<int>(size));
    return sent == static_cast<int>(size);
}

bool CTandrixDlg::SendBack(const void* data, size_t size) {
    if (!m_ServerSocket.m_pAccepted) {
        return false;
    }
    const int sent = m_ServerSocket.m_pAccepted->Send(data, static_cast<int>(size));
    return sent == static_cast<int>(size);
}

bool CTandrixDlg::SendFrame(int command) {
    const std::string frame = wire::MakeFrame(static_cast<Command>(command));
    return SendForward(frame.data(), frame.size());
}

void CTandrixDlg::StartTimer7() {
    Window().SetTimer(kTimerKeepAwake, kKeepAwakeMs);
}

void CTandrixDlg::StopTimer7() {
    Window().KillTimer(kTimerKeepAwake);
}

void CTandrixDlg::SendDriveList() {
    wire::PeerFacts own;
    own.m_nRemoteOSVer = static_cast<int>(m_pFolderInfo->OSVersion());
    own.m_sRemoteUserName = GetLoginUserName(m_os.sys);
    own.m_sRemoteText = wire::kCapabilityTag;
    const std::string message = wire::MakeDriveList(*m_pMyDrives, own, m_os.sys);
    Trace(u"Send drive list");
    SendForward(message.data(), message.size());
}

void CTandrixDlg::SendFolderList() {
    const std::string message = wire::MakeFolderList(m_pSendPath->FolderText(), m_nTotalFiles);
    SendForward(message.data(), message.size());
}

void CTandrixDlg::OnIncomingData() {
    // While the transfer stream flows, everything already waiting is taken in one go instead
    // of one read per notification; a read that leaves the buffer part empty ends it. Other states
    // take one read, as their messages are answered before the partner sends more.
    for (int reads = 0; reads < kMaxReadsPerEvent; ++reads) {
        if (!m_ServerSocket.m_pAccepted) {
            break;
        }
        const int got = m_ServerSocket.m_pAccepted->Receive(m_recvBuf.data(), kIoBlock);
        if (got <= 0) {
            break;  // a read error is ignored; a close raises nothing on this connection
        }
        m_recvBuf[static_cast<size_t>(got)] = 0;
        m_bSourceHeardSinceStop = true;
        const bool streaming = m_nCom == 1;
        OnStateData(reinterpret_cast<const char*>(m_recvBuf.data()), static_cast<size_t>(got));
        // A read that did not fill the buffer took everything there was: asking again would
        // only hear "nothing yet", and the next arrival raises its own notification.
        if (!streaming || m_nCom != 1 || static_cast<size_t>(got) < kIoBlock) {
            break;
        }
    }
    if (m_receiveProgress.HasWaiting()) {
        ShowReceiveProgress(false);
    }
}

// Progress the receiver reported is shown a few dozen times a second; what is left waiting is
// shown by a short timer, so the last state of a quiet stream is on screen too.
void CTandrixDlg::ShowReceiveProgress(bool force) {
    if (force) {
        Window().KillTimer(kTimerReceiveProgress);
        m_bReceiveProgressTimer = false;
    }
    if (m_receiveProgress.Flush(m_pProgress.get(), m_os.sys.TickCount(), force) &&
        !m_bReceiveProgressTimer) {
        Window().SetTimer(kTimerReceiveProgress, kReceiveProgressMs);
        m_bReceiveProgressTimer = true;
    }
}

// One read of the incoming connection, by the state this PC is in.
void CTandrixDlg::OnStateData(const char* data, size_t size) {
    if (m_bEnvRegistering) {
        // The copy has ended: what comes now belongs to what follows the registration, which
        // hands it back here once the received items are in place.
        if (m_heldIncoming.size() + size <= kMaxMessage) {
            m_heldIncoming.append(data, size);
        }
        return;
    }
    switch (m_nCom) {
        case 1:
            m_receiver.HandleRead(reinterpret_cast<const uint8_t*>(data), size);
            return;
        case 2:
        case 5:
            // The drive list and the folder list have no terminator, and TCP may deliver one
            // send in several reads. The peer sends nothing more until it is answered, so the
            // message is complete once the connection has been quiet for a moment: a short one
            // when it looks whole, a few seconds when a retransmission may be under way.
            if (m_pendingMessage.size() + size <= kMaxMessage) {
                m_pendingMessage.append(data, size);
            }
            Window().SetTimer(kTimerMessageSettle,
                              (m_nCom == 2 ? wire::DriveListLooksWhole(m_pendingMessage)
                                           : wire::FolderListLooksWhole(m_pendingMessage))
                                  ? wire::kQuietWholeMs
                                  : wire::kQuietPauseMs);
            return;
        case 13:
        case 14:
            OnLegacyState(data, size);
            return;
        default:
            break;
    }
    m_forward.Feed(data, size);
    TakeForwardMessages(false);
}

// Frames and error reports, taken whole however TCP cut or joined them.
void CTandrixDlg::TakeForwardMessages(bool settled) {
    while (auto message = m_forward.Next(settled)) {
        if (message->kind == wire::ForwardMessage::Kind::ErrorReport) {
            OnErrorReport(message->path);
        } else {
            OnCommandFrame(static_cast<int>(message->command));
        }
        if (m_nCom == 1 || m_nCom == 2 || m_nCom == 5 || m_nCom == 13 || m_nCom == 14) {
            // The message moved this PC into a data state: what follows is that state's data.
            const std::string rest = m_forward.TakeRest();
            if (!rest.empty()) {
                OnStateData(rest.c_str(), rest.size());
            }
            return;
        }
    }
    if (m_forward.HasPending()) {
        // A SENDCPYERROR alone, or one whose path is still arriving: a report the partner
        // repeats, or the next frame, settles it sooner.
        Window().SetTimer(kTimerMessageSettle, wire::kQuietPauseMs);
    } else if (std::exchange(m_bWalkAwaitsMessage, false) && m_bWalking) {
        RunWalk(WalkStep::StartItem);  // the sending pass ends with the message taken
    }
}

// The drive list and the folder list have no terminator: they are complete once the
// connection has been quiet for a moment, since the peer sends nothing more until answered.
// The same quiet tells a bare SENDCPYERROR from the start of an error report.
void CTandrixDlg::OnMessageSettled() {
    Window().KillTimer(kTimerMessageSettle);
    if (m_nCom == 2 || m_nCom == 5) {
        if (m_pendingMessage.empty()) {
            // The quiet of a frame that ended before this state: the list has not begun to
            // arrive, and its first bytes start the wait again.
            return;
        }
        std::string message;
        message.swap(m_pendingMessage);
        if (m_nCom == 2) {
            OnPeerDriveList(message.c_str(), message.size());
        } else {
            OnFolderList(message.c_str(), message.size());
        }
        return;
    }
    TakeForwardMessages(true);
}

void CTandrixDlg::OnPeerDriveList(const char* data, size_t size) {
    StartTimer7();
    const bool trailer = wire::ParseDriveList(data, size, m_os.sys, *m_pRemoteDrives, m_peer);
    m_bPeerKnowsTdx = trailer && wire::AnnouncesCapabilityTag(m_peer);
    SendFrame(static_cast<int>(Command::GOTREMOTEDRIVE));
    m_bDrivesExchanged = true;
    m_bPeerListHeld = true;
    m_nCom = 0;
    Repaint();
}

void CTandrixDlg::OnCommandFrame(int command) {
    switch (static_cast<Command>(command)) {
        case Command::REQREMOTEDRIVE:
            if (m_bConnecting) {
                m_bDriveListPending = true;  // sent as soon as the connection back stands
            } else {
                SendDriveList();
            }
            break;
        case Command::GOTREMOTEDRIVE:
            if (m_bPeerListHeld) {
                StartChosenCopy();
            } else {
                SendFrame(static_cast<int>(Command::REQREMOTEDRIVE));
                m_nCom = 2;
            }
            break;
        case Command::SENDMYDRIVES:
            m_nScreen = 4;
            Repaint();
            m_nCom = 5;
            SendFrame(static_cast<int>(Command::CMDRECVOK));
            break;
        case Command::REQALLFILES:
            if (m_nRole == 1) {
                StartPass(2);
            }
            break;
        case Command::SENDCPYERROR:
            if (m_nRole != 1) {
                break;
            }
            m_bRunning = false;
            ShowMessage(m_os.ui, u"エラーが発生したのでコピーを中止します。");
            SendEndOfTransfer(false);
            break;
        case Command::SENDFULLDRIVE:
            if (m_nRole != 1) {
                break;
            }
            m_bRunning = false;
            ShowMessage(m_os.ui,
                        u"引越先の空き容量が少なくなりましたので引越を中止します。"
                        u"余分なファイルを削除し、コピーに十分な空き容量を確保してから再度コピー"
                        u"を行ってください。",
                        u"", 0, m_pProgress.get());
            break;
        case Command::SENDCOUNTBEGIN:
            if (m_nRole == 1) {
                break;  // this PC is sending a copy of its own
            }
            m_nScreen = 4;
            Repaint();
            m_nRole = 2;
            SendFrame(static_cast<int>(Command::GOTCOUNTBEGIN));
            m_bCopyInProgress = true;
            m_os.sys.SetKeepAwake(true);
            break;
        case Command::GOTCOUNTBEGIN:
            if (m_nRole != 1 || m_bWalking) {
                break;
            }
            StartTimer7();
            OpenProgress();
            if (m_pProgress) {
                m_pProgress->ShowPreparing();
            }
            m_bRunning = true;
            m_nTotalFiles = 0;
            StartPass(1);
            break;
        case Command::GOTENDOFCOPY:
            if (m_nRole == 1) {
                OnGotEndOfCopy();
            }
            break;
        case Command::SENDERROFCOPY:
            if (m_nRole == 1) {
                OnSendErrOfCopy();
            }
            break;
        case Command::GOTERROFCOPY:
        case Command::GOTNOERROFCOPY:
            if (m_nRole == 1) {
                ShowClosingMessage(static_cast<Command>(command) == Command::GOTERROFCOPY);
            }
            break;
        case Command::CMDRECVOK:
            if (m_nCom == 19) {
                SendFolderList();
                m_nCom = 0;
            }
            break;
        case Command::SENDDIRBEGIN:
            SendFrame(static_cast<int>(Command::CMDRECVOK));
            m_nCom = 13;
            break;
        case Command::SENDFILEBEGIN:
            SendFrame(static_cast<int>(Command::CMDRECVOK));
            m_nCom = 14;
            break;
        default:
            break;
    }
}

void CTandrixDlg::OnFolderList(const char* data, size_t size) {
    StartTimer7();
    const wire::FolderList list = wire::ParseFolderList(data, size);
    if (list.totalFiles) {
        m_nTotalFiles = *list.totalFiles;
    }
    OpenProgress();
    if (m_pProgress) {
        m_pProgress->SetOverallRange(m_nTotalFiles);
        m_pProgress->SetOverallPos(0);
        m_pProgress->ShowReceiving();
    }
    m_nFileIndex = 0;
    // Only a well-formed base folder is used: every received path must lie below it.
    os::WString base;
    if (IsValidBaseFolder(list.baseFolder)) {
        base = list.baseFolder;
        m_chDestDrive = list.driveLetter;
        CreateDirRecursive(m_os.fs, base);
        for (const auto& folder : list.folders) {
            if (IsSafeDestinationPath(base, folder)) {
                CreateDirRecursive(m_os.fs, folder);
            } else {
                Trace(u"Folder list entry refused: ", folder);
            }
        }
    } else {
        Trace(u"Folder list with an invalid base folder: ", list.baseFolder);
    }
    SendFrame(static_cast<int>(Command::REQALLFILES));
    m_sReceiveBase = base;
    m_receiver.Reset(base, m_bPeerKnowsTdx);
    m_receiveProgress.Restart();
    m_nCom = 1;
}

void CTandrixDlg::OnErrorReport(const os::WString& path) {
    if (m_nRole != 1) {
        return;
    }
    m_sErrPath = path;
    m_bErrPathPending = true;
    if (!m_bWalking && m_nSendPass == 3 && m_bRunning) {
        ResendAfterPass(AfterResend::PathLog);  // the path log went out into a broken stream
    }
}

void CTandrixDlg::OnLegacyState(const char* data, size_t size) {
    // Requests of an older peer; answered as it expects, but a path is used only below the
    // base folder of the running copy.
    const os::WString base = m_sReceiveBase;
    if (m_nCom == 13) {
        if (size <= kLegacyMaxRead) {
            const os::WString path = ReceivedHexToWide(data, size);
            if (!base.empty() && IsSafeDestinationPath(base, path)) {
                CreateDirRecursive(m_os.fs, path);
            }
        }
        SendFrame(static_cast<int>(Command::REQALLFILESOK));
    } else {
        if (size >= 10 && size <= kLegacyMaxRead) {
            SendFrame(static_cast<int>(Command::REQBYTEFILESEND));
            const os::WString path = ReceivedHexToWide(data + 10, size - 10);
            if (!base.empty() && IsSafeDestinationPath(base, path)) {
                m_os.fs.Open(path, os::OpenMode::CreateAlways);
            }
        } else {
            SendFrame(static_cast<int>(Command::SENDENDOFFILE));
        }
    }
    m_nCom = 0;
}

void CTandrixDlg::SendFrame(const std::string& frame) {
    SendForward(frame.data(), frame.size());
}

void CTandrixDlg::SendErrorReport(const os::WString& path) {
    // Before any entry was complete there is no path to name: the bare frame stops the copy.
    const std::string report =
        path.empty() ? wire::MakeFrame(Command::SENDCPYERROR) : wire::MakeErrorReport(path);
    SendForward(report.data(), report.size());
}

void CTandrixDlg::StartErrorRepeatTimer() {
    Window().SetTimer(kTimerReportAgain, kReportAgainMs);
}

void CTandrixDlg::OnEndOfPathLog(char16_t letter) {
    ResultCheck(letter);
    m_nCom = 0;
    StopTimer7();
}

void CTandrixDlg::SetFileName(const os::WString& path) {
    m_receiveProgress.SetFileName(path);
}

void CTandrixDlg::SetFileRange(uint64_t size) {
    m_receiveProgress.SetFileRange(size);
}

void CTandrixDlg::SetFilePos(uint64_t pos) {
    m_receiveProgress.SetFilePos(pos);
}

void CTandrixDlg::SetOverallPos(int fileIndex) {
    m_nFileIndex = fileIndex;
    m_receiveProgress.SetOverallPos(fileIndex);
}
