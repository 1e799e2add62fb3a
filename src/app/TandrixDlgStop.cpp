// Stop and end of a copy: the back channel, the stop handshake, the end-of-transfer exchange,
// the result check at the destination with its error list, and the closing messages.
#include <cctype>
#include <memory>
#include <utility>

#include "app/TandrixDlg.h"
#include "os/Text.h"
#include "platform/FileOps.h"
#include "platform/FilePath.h"
#include "platform/PathLog.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "platform/Trace.h"
#include "transfer/BackChannel.h"
#include "transfer/CommandFrame.h"
#include "transfer/FolderListings.h"
#include "transfer/PathGuard.h"
#include "ui/DlgProgress.h"

namespace {

constexpr unsigned kStopAnswerMs = 5000;
constexpr int kBackReadSize = 255;
constexpr size_t kMaxLoggedPath = 255;

using wire::BackWord;
using wire::Command;

os::WString BaseFolderOf(char16_t letter) {
    return os::WString(1, letter) + u":\\Ferrylo";
}

// The path log and the error list are UTF-8 text with a byte-order mark and CR LF lines. The
// log is read piece by piece, so its size does not matter.
template <typename OnLine>
bool ForEachLine(os::FileSystem& fs, const os::WString& path, OnLine onLine) {
    auto file = fs.Open(path, os::OpenMode::Read);
    if (!file) {
        return false;
    }
    std::string pending;
    bool first = true;
    char buffer[16384];
    uint32_t got = 0;
    while (file->Read(buffer, sizeof buffer, got) && got > 0) {
        pending.append(buffer, got);
        if (first && pending.size() >= 3) {
            if (pending.compare(0, 3, "\xEF\xBB\xBF") == 0) {
                pending.erase(0, 3);
            }
            first = false;
        }
        size_t start = 0;
        for (size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
            onLine(os::FromUtf8(std::string_view(pending).substr(start, end - start)));
        }
        pending.erase(0, start);
    }
    if (!pending.empty()) {
        onLine(os::FromUtf8(pending));
    }
    return true;
}

}  // namespace

void CTandrixDlg::OpenProgress() {
    if (m_pProgress) {
        return;
    }
    m_pProgress = std::make_unique<CDlgProgress>(m_os.ui, this);
    m_pProgress->Create();
}

void CTandrixDlg::CloseProgress() {
    if (!m_pProgress) {
        return;
    }
    m_pProgress->DestroyWindow();
    Window().BringToFront();
    m_pProgress.reset();
}

void CTandrixDlg::ResetCopyState() {
    m_bFullDrv = false;
    m_nTotalFiles = 0;
    m_nFileIndex = -1;
    m_bRunning = false;
    m_os.sys.SetKeepAwake(false);
}

void CTandrixDlg::OnBackChannelData() {
    StopTimer7();
    char buffer[kBackReadSize + 1];
    const int got = m_ClientSocket.Receive(buffer, kBackReadSize);
    if (got < 0) {
        return;
    }
    m_bSourceHeardSinceStop = m_bSourceHeardSinceStop || got > 0;
    std::vector<wire::BackMessage> messages;
    m_backReader.HearDestination(m_nRole == 1);
    m_backReader.Feed(buffer, static_cast<size_t>(got), messages);
    for (const auto& message : messages) {
        OnBackWord(message);
    }
}

void CTandrixDlg::OnBackWord(const wire::BackMessage& message) {
    switch (message.word) {
        case BackWord::StopCopy:
            if (m_nRole == 2) {
                CloseProgress();
            }
            m_receiver.Abort();
            m_bCopyInProgress = false;
            m_nScreen = 1;
            Window().Enable(true);
            ResetCopyState();
            m_nCom = 0;
            m_nRole = 0;  // no later event may end the same copy twice
            StopTimer7();
            Repaint();
            break;
        case BackWord::ReplyStopCopyRecv:
            if (m_nRole == 2) {
                Window().KillTimer(kTimerStopAnswer);
                Repaint();
            }
            break;
        case BackWord::EndOfTransfer:
            if (m_nRole != 2) {
                break;
            }
            if (m_pProgress) {
                m_pProgress->SetOverallPos(m_nTotalFiles);
            }
            m_os.sys.Sleep(10);
            if (m_bFullDrv) {
                CloseProgress();
                EndWithFullDrive(static_cast<char16_t>(static_cast<uint8_t>(message.letter)));
                m_nCom = 0;
            } else {
                // The source is told first: it surveys while this window closes.
                SendFrame(static_cast<int>(Command::SENDERROFCOPY));
                CloseProgress();
            }
            break;
        case BackWord::StopCopyRecv:
            if (m_pProgress) {
                Window().Post(kMsgStopRequest, 0);
            }
            break;
    }
}

void CTandrixDlg::OnStopRequest() {
    if (m_nRole == 1) {
        if (m_bConfirmingStop) {
            return;
        }
        const std::string reply = wire::MakeBackWord(BackWord::ReplyStopCopyRecv);
        SendBack(reply.data(), reply.size());
        m_bConfirmingStop = true;
        os::Dialog* owner = m_pProgress ? static_cast<os::Dialog*>(m_pProgress.get()) : this;
        const int answer = ShowMessage(m_os.ui, u"中断してもよろしいですか？", u"",
                                       os::kMbYesNo | os::kMbIconQuestion, owner);
        m_bConfirmingStop = false;
        if (answer != os::kIdYes) {
            return;
        }
    }
    m_bRunning = false;
    if (m_nRole == 2) {
        Window().SetTimer(kTimerStopAnswer, kStopAnswerMs);
        m_bSourceHeardSinceStop = false;
        const std::string word = wire::MakeBackWord(BackWord::StopCopyRecv);
        SendBack(word.data(), word.size());
    }
    StopTimer7();
    // A source that is not walking (it waits for its partner) ends the copy here; a walking
    // one finds m_bRunning clear at its next step.
    if (m_nRole == 1 && !m_bWalking) {
        AbandonCopy();
    }
}

void CTandrixDlg::OnStopAnswerTimeout() {
    if (m_nRole == 2 && std::exchange(m_bSourceHeardSinceStop, false)) {
        // A source that still sends is still in the copy and answers once its reply gets
        // through a slow network. Giving up now would leave it sending to a destination that
        // has dropped the copy, and waiting for ever at its end if its user refuses the stop.
        // A source that has vanished is noticed by the connection's own watch.
        return;  // the timer runs on: another 5 s
    }
    Window().KillTimer(kTimerStopAnswer);
    if (m_nRole != 2) {
        return;
    }
    m_receiver.Abort();
    CloseProgress();
    m_bCopyInProgress = false;
    m_nScreen = 1;
    Window().Enable(true);
    ResetCopyState();
    m_nCom = 0;
    m_nRole = 0;
    StopTimer7();
    Repaint();
}

void CTandrixDlg::AbandonCopy() {
    if (m_nRole == 0) {
        return;
    }
    StopTimer7();
    // Over a connection that is gone the partner learns of the loss itself and ends its side
    // as for any lost connection; telling it "StopCopy" first would end it without a word.
    if (!m_ClientSocket.IsBroken()) {
        const std::string word = wire::MakeBackWord(BackWord::StopCopy);
        SendBack(word.data(), word.size());
    }
    CloseProgress();
    Window().Enable(true);
    ResetCopyState();
    m_bCopyInProgress = false;
    m_nRole = 0;
}

void CTandrixDlg::SendEndOfTransfer(bool normal) {
    ++m_nFileIndex;
    if (m_pProgress) {
        m_pProgress->SetOverallPos(m_nFileIndex);
    }
    StopTimer7();
    m_bNormalEnd = normal;
    const char16_t letter = m_sDestDrive.empty() ? u'C' : m_sDestDrive.back();
    const std::string pair = wire::MakeBackWord(BackWord::EndOfTransfer,
                                                static_cast<char>(letter < 0x80 ? letter : 'C'));
    SendBack(pair.data(), pair.size());
}

void CTandrixDlg::EndWithFullDrive(char16_t letter) {
    m_receiver.Abort();  // no path log follows: a complete last body is committed now
    SendFrame(static_cast<int>(Command::GOTENDOFCOPY));
    m_nScreen = 1;
    Window().Enable(true);
    m_nRole = 0;
    ResetCopyState();
    if (IsValidBaseFolder(BaseFolderOf(letter))) {
        const os::WString base = BaseFolderOf(letter);
        CreateMovedFilesShortcut(base);
        m_os.shell.Open(u"open", base);
    }
    m_bCopyInProgress = false;
    Repaint();
}

void CTandrixDlg::OnGotEndOfCopy() {
    CloseProgress();
    ShowMessage(m_os.ui, m_bNormalEnd ? u"コピーが終了しました" : u"コピーを中止しました", u"",
                os::kMbIconInformation);
    Window().Enable(true);
    ResetCopyState();
    m_nRole = 0;
    m_bNormalEnd = false;
    m_bCopyInProgress = false;
}

void CTandrixDlg::OnSendErrOfCopy() {
    if (m_bWalking) {
        return;
    }
    if (m_bErrPathPending && m_nSendPass == 2 && m_bRunning) {
        ResendAfterPass(AfterResend::Survey);
        return;
    }
    if (!m_bNormalEnd) {
        // The copy was stopped by an error report: the destination has dropped the stream
        // since, so it would never take the path log in. Both PCs end the copy instead.
        AbandonCopy();
        m_bNormalEnd = false;
        return;
    }
    BeginSurvey();
}

void CTandrixDlg::BeginSurvey() {
    if (m_pProgress) {
        m_pProgress->ShowChecking();
    }
    m_nFileIndex = -1;
    m_bRunning = true;
    m_pSendPath->m_nCurrent = 0;
    ResetPathLog(m_os.fs, m_os.sys);
    StartPass(3);
}

void CTandrixDlg::ResultCheck(char16_t letter) {
    const os::WString base = BaseFolderOf(letter);
    const bool validBase = IsValidBaseFolder(base);
    const os::WString errorList = base + u"\\FerryloLog.txt";
    bool listed = false;
    CFolderListings listings(m_os.fs);
    if (validBase) {
        m_os.fs.SetAttributes(errorList, os::kAttrNormal);
        m_os.fs.DeleteFile(errorList);
        // The list is made with its first line and written through one handle.
        std::unique_ptr<CUtf8LineWriter> list;
        auto listPath = [&](const os::WString& path) {
            if (!list) {
                list = std::make_unique<CUtf8LineWriter>(m_os.fs, errorList);
            }
            list->Append((listed ? u"" : texts::kErrorListHeader) + path);
            listed = true;
        };
        // What the stream did not deliver intact is listed even when a file is there (an older
        // copy, or an entry that only shares its short name).
        const std::vector<os::WString>& notDelivered = m_receiver.NotDelivered();
        std::vector<bool> named(notDelivered.size(), false);
        ForEachLine(m_os.fs, base + u"\\FerryloPath.log", [&](os::WString line) {
            while (!line.empty() &&
                   (line.back() == u'\n' || line.back() == u'\r' || line.back() == u'\\')) {
                line.pop_back();
            }
            if (line.empty()) {
                return;
            }
            // Only what lies below the base folder is looked at; anything else is missing.
            const bool damaged = m_receiver.WasNotDelivered(line);
            const bool present = !damaged && line.size() <= kMaxLoggedPath &&
                                 IsSafeDestinationPath(base, line) && listings.Exists(line);
            if (!present) {
                listPath(line);
            }
            if (damaged) {
                for (size_t i = 0; i < notDelivered.size(); ++i) {
                    named[i] = named[i] || os::EqualsNoCase(notDelivered[i], line);
                }
            }
        });
        for (size_t i = 0; i < notDelivered.size(); ++i) {
            if (!named[i]) {
                listPath(notDelivered[i]);
            }
        }
    }
    // An environment copy answers once its items are in place (DoEnvRegister): the check
    // looks at the paths where they arrived, the answer says whether they all got home.
    const bool environment =
        validBase && std::islower(static_cast<unsigned char>(letter < 0x80 ? letter : 'A'));
    if (environment) {
        m_bEnvRegistering = true;
    } else {
        SendFrame(static_cast<int>(listed ? Command::GOTERROFCOPY : Command::GOTNOERROFCOPY));
    }
    m_bCopyInProgress = false;
    m_nRole = 0;
    StopTimer7();
    m_nScreen = 1;
    Window().Enable(true);
    ResetCopyState();
    Repaint();
    if (environment) {
        Window().Post(kMsgEnvRegister, listed ? 1 : 0);
    } else if (validBase) {
        CreateMovedFilesShortcut(base);
        m_os.shell.Open(u"open", base);
    }
    m_bCopyInProgress = false;
    Repaint();
}

void CTandrixDlg::ShowClosingMessage(bool filesMissing) {
    CloseProgress();
    const char16_t letter = m_sDestDrive.empty() ? u'C' : m_sDestDrive.back();
    const os::WString base = BaseFolderOf(letter);
    os::WString text;
    if (m_nCopyMode == 3) {
        text = u"引越が終了しました。\n";
        if (filesMissing) {
            text += u"引越した結果は引越先のパソコンの" + base + u"\\FerryloLog.txt" +
                    u"に保存しました。\n\n";
        }
        m_pEnvPath->Clear();
    } else {
        text = u"引越が終了しました。\n引越したデータは引越先のパソコンの" + base +
               u"に保存しました。\n\n";
    }
    text += NotSentNote();
    ShowMessage(m_os.ui, text, u"", os::kMbIconInformation);
    OpenNotSentList();
    Window().Enable(true);
    ResetCopyState();
    m_nRole = 0;
    m_bNormalEnd = false;
    m_bCopyInProgress = false;
}
