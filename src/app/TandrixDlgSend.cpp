// The source's walk over the send list: counting (pass 1), sending (pass 2) and surveying
// into the path log (pass 3). Its whole position lives in the four walk paths and the item
// cursor, so it can yield to a timer, and a rewind after a break in the stream can move it
// back to an earlier entry.
#include <algorithm>
#include <cctype>
#include <utility>

#include "app/TandrixDlg.h"
#include "os/Text.h"
#include "platform/Drive.h"
#include "platform/FileOps.h"
#include "platform/FilePath.h"
#include "platform/PathLog.h"
#include "platform/SystemHelpers.h"
#include "platform/Texts.h"
#include "platform/Trace.h"
#include "transfer/CommandFrame.h"
#include "transfer/FileMeta.h"
#include "transfer/RecovPath.h"
#include "transfer/TransferHeader.h"
#include "ui/DlgProgress.h"

namespace {

constexpr uint32_t kExcludedMask = 0x414;  // directory + system + reparse point
constexpr size_t kPieceSize = CTandrixDlg::kIoBlock;
constexpr unsigned kYieldMs = 100;
constexpr int kYieldEvery = 100;
constexpr int kSendRetries = 10;
constexpr uint32_t kRetryPauseMs = 1000;
constexpr uint32_t kSmallCopyPauseMs = 300;
constexpr int kSmallCopyFiles = 10;
constexpr uint32_t kResumePauseMs = 500;
constexpr uint64_t kLargeFile = 6553600;
constexpr uint64_t kFourGiB = uint64_t{1} << 32;
// Between the paced updates the window's messages are still taken after this many files or
// pieces, so that an error report is acted on while its entry is still in the recovery history.
constexpr int kPumpEveryFiles = 32;

bool IsExcluded(uint32_t attributes) {
    return (attributes & kExcludedMask) == kExcludedMask;
}

os::WString StripSlash(const os::WString& path) {
    os::WString out = path;
    while (out.size() > 3 && out.back() == u'\\') {
        out.pop_back();
    }
    if (out.size() == 3 && out[1] == u':' && out[2] == u'\\') {
        out.pop_back();  // "E:\" walks as "E:" so that children read "E:\name"
    }
    return out;
}

os::WString ParentDir(const os::WString& path) {
    return StripSuffix(ParentOf(path), u"\\");
}

// What the file system is asked for: long paths in their extended-length form.
os::WString FsPath(const os::WString& path) {
    return ExtendedLengthPath(path);
}

bool IsAsListed(const os::File::State& state, const os::FindData& record) {
    return state.size == record.size && state.lastWriteTime == record.lastWriteTime;
}

}  // namespace

void CTandrixDlg::StartPass(int pass) {
    if (m_bWalking) {
        Trace(u"StartPass() ignored, a walk is running: ", pass);
        return;
    }
    // "ソラノワBasic" below the documents: it holds nothing but the work folder.
    const os::WString work = GetWorkFolderPath(m_os.sys);
    m_sOwnFolder = work.empty() ? work : ParentDir(work);
    m_nSendPass = pass;
    m_pSendPath->m_nCurrent = 0;
    m_nDirExits = 0;
    m_sCurDir.clear();
    m_sCurDir2.clear();
    m_openDirs.clear();
    m_sendPacer.Reset();
    m_nUnpumpedFiles = 0;
    if (pass == 1) {
        m_notSent.Clear();
        m_markedNotIntact.clear();
    }
    m_pSurvey.reset();
    if (pass == 3) {
        m_pSurvey = std::make_unique<CPathLogWriter>(m_os.fs, m_os.sys);
    }
    RunWalk(WalkStep::StartItem);
}

// The walk stops here for good (the pass is over or the copy was abandoned): no enumeration
// or log stays open behind it.
void CTandrixDlg::LeaveWalk() {
    m_bWalking = false;
    m_bWalkAwaitsMessage = false;
    m_openDirs.clear();
    m_pSurvey.reset();
    m_streamBatch.clear();  // sent already, or part of a copy that was abandoned
    m_os.fs.ReadAhead(os::WString(), 0);
}

// While files are sent, the file system may read the rest of the current folder ahead.
void CTandrixDlg::HintReadAhead(uint32_t filesDone) {
    if (m_nSendPass == 2) {
        m_os.fs.ReadAhead(FsPath(m_sCurDir), filesDone);
    }
}

void CTandrixDlg::SurveyLine(const os::WString& path2) {
    if (m_pSurvey) {
        m_pSurvey->Append(path2);
    } else {
        AppendPathLog(m_os.fs, m_os.sys, path2);
    }
}

// Window messages are taken by time, not after every file or piece: a stop request or an
// error report still gets through within a fraction of a second.
void CTandrixDlg::PumpWalk() {
    if (++m_nUnpumpedFiles >= kPumpEveryFiles || m_sendPacer.Due(m_os.sys.TickCount())) {
        m_nUnpumpedFiles = 0;
        if (FlushStream()) {
            m_os.ui.PumpMessages();
        }
    }
}

void CTandrixDlg::RunWalk(WalkStep step) {
    m_bWalking = true;
    bool startItem = step == WalkStep::StartItem;
    while (true) {
        if (!m_bRunning) {
            LeaveWalk();
            AbandonCopy();
            CloseProgress();  // also where the partner ended the copy first and left no role
            return;
        }
        if (startItem) {
            if (m_pSendPath->m_nCurrent >= m_pSendPath->Count()) {
                if (m_nSendPass == 2 && m_forward.HasPending()) {
                    // A message still arriving (a report, or a bare stop) is awaited: taken
                    // now, a report cut by the network would name a cut path. The next
                    // message or the quiet after it settles it and the walk goes on.
                    if (!FlushStream()) {
                        continue;
                    }
                    m_bWalkAwaitsMessage = true;
                    return;  // m_bWalking stays set
                }
                if (m_nSendPass == 2 && m_bErrPathPending) {
                    // A report that came after the last entry is honoured before the end.
                    startItem = false;
                    continue;
                }
                if (!FlushStream()) {
                    continue;
                }
                LeaveWalk();
                PassOver();
                return;
            }
            StartItem();
            startItem = false;
            continue;
        }
        if (m_nSendPass == 2 && m_bErrPathPending) {
            HandlePendingReport();
            continue;
        }
        if (m_sCurDir.empty()) {
            NextItem();
            startItem = true;
            continue;
        }
        if (WalkDirectory() == DirResult::Descended) {
            continue;
        }
        if (!m_bRunning) {
            continue;
        }
        switch (GoUp()) {
            case UpResult::Continue:
                break;
            case UpResult::NextItem:
                startItem = true;
                break;
            case UpResult::Yield:
                FlushStream();
                return;  // timer 5 or 8 continues the walk; m_bWalking stays set
        }
    }
}

// The program's own folder holds the path log the survey writes: it is never part of a copy
// (it would be listed as missing, having come into being after the sending pass).
bool CTandrixDlg::IsOwnFolder(const os::WString& path) const {
    return !m_sOwnFolder.empty() && os::EqualsNoCase(StripSlash(path), m_sOwnFolder);
}

void CTandrixDlg::NextItem() {
    m_sCurDir.clear();
    m_sCurDir2.clear();
    m_openDirs.clear();
    if (m_pSendPath->m_nCurrent < m_pSendPath->Count()) {
        ++m_pSendPath->m_nCurrent;
    }
}

void CTandrixDlg::StartItem() {
    m_sCurPath = m_pSendPath->GetSrc();
    m_sCurPath2 = m_pSendPath->GetDst();
    m_sCurDir.clear();
    m_sCurDir2.clear();
    m_openDirs.clear();
    const uint32_t attributes = m_os.fs.GetAttributes(FsPath(m_sCurPath));
    if (attributes == os::kInvalidAttributes) {
        if (m_nSendPass == 2) {
            NoteNotSent(m_sCurPath, m_sCurPath2);  // chosen, but gone (or unreachable) now
        }
        return;
    }
    if (IsExcluded(attributes) || IsOwnFolder(m_sCurPath)) {
        return;  // the item is excluded: the walk goes on with the next one
    }
    if ((attributes & os::kAttrDirectory) != 0) {
        m_sCurPath = StripSlash(m_sCurPath);
        m_sCurPath2 = StripSlash(m_sCurPath2);
        m_sCurDir = m_sCurPath;
        m_sCurDir2 = m_sCurPath2;
        if (m_nSendPass == 2) {
            SendDirEntry(m_sCurDir2);
        } else if (m_nSendPass == 3) {
            SurveyLine(m_sCurPath2);
        }
        return;
    }
    switch (m_nSendPass) {
        case 1:
            ++m_nTotalFiles;
            PumpWalk();
            break;
        case 2: {
            os::FindData record;
            if (m_os.fs.FindFirst(FsPath(m_sCurPath), record)) {
                SendOneFile(m_sCurPath, record);
            } else {
                NoteNotSent(m_sCurPath, m_sCurPath2);
            }
            break;
        }
        default:
            SurveyLine(m_sCurPath2);
            PumpWalk();
            break;
    }
}

void CTandrixDlg::VisitFile(const os::FindData& record) {
    switch (m_nSendPass) {
        case 1:
            ++m_nTotalFiles;
            PumpWalk();
            break;
        case 2:
            SendOneFile(m_sCurPath, record);
            break;
        default:
            SurveyLine(m_sCurPath2);
            PumpWalk();
            break;
    }
}

CTandrixDlg::DirResult CTandrixDlg::WalkDirectory() {
    os::FindData record;
    bool more = false;
    if (!m_openDirs.empty() && m_openDirs.back().dir == m_sCurDir && m_sCurPath != m_sCurDir) {
        // Back from a subfolder: the folder's enumeration goes on where it stood.
        more = m_openDirs.back().find->Next(record);
        HintReadAhead(m_openDirs.back().files);
    } else {
        if (m_sCurPath != m_sCurDir) {
            m_openDirs.clear();  // the walk moved back: no open enumeration is in step
        }
        const os::WString pattern = FsPath(m_sCurDir + u"\\*");
        auto find = m_os.fs.FindFirst(pattern, record);
        if (!find) {
            // An empty drive root lists nothing; any other folder lists at least "." and "..".
            if (m_nSendPass == 2 && m_os.fs.LastError() != os::kErrFileNotFound) {
                NoteNotSent(m_sCurDir, m_sCurDir2);
            }
            return DirResult::Finished;
        }
        more = true;
        uint32_t filesBefore = 0;
        if (m_sCurPath != m_sCurDir) {
            // Resuming inside this directory: carry on after the entry last handled.
            bool found = false;
            const os::WString prefix = m_sCurDir + u"\\";
            do {
                if (prefix + record.name == m_sCurPath ||
                    (!record.shortName.empty() && prefix + record.shortName == m_sCurPath)) {
                    found = true;
                    break;
                }
                filesBefore += (record.attributes & os::kAttrDirectory) == 0 ? 1 : 0;
            } while (find->Next(record));
            if (found) {
                filesBefore += (record.attributes & os::kAttrDirectory) == 0 ? 1 : 0;
                more = find->Next(record);
            } else {
                filesBefore = 0;
                // The entry vanished meanwhile: walk the whole directory again rather than skip
                // what follows it (a second send of a file only overwrites it with itself).
                find = m_os.fs.FindFirst(pattern, record);
                more = find != nullptr;
            }
        }
        if (!find) {
            return DirResult::Finished;
        }
        m_openDirs.push_back(OpenDir{m_sCurDir, std::move(find), filesBefore});
        HintReadAhead(filesBefore);
    }
    os::FindHandle& find = *m_openDirs.back().find;
    for (; more; more = find.Next(record)) {
        if (record.name == u"." || record.name == u"..") {
            continue;
        }
        m_sCurPath = m_sCurDir + u"\\" + record.name;
        m_sCurPath2 = m_sCurDir2 + u"\\" + record.name;
        if (IsExcluded(record.attributes)) {
            continue;
        }
        if ((record.attributes & os::kAttrDirectory) != 0) {
            if (IsOwnFolder(m_sCurPath)) {
                continue;
            }
            m_sCurDir = m_sCurPath;
            m_sCurDir2 = m_sCurPath2;
            if (m_nSendPass == 2) {
                SendDirEntry(m_sCurDir2);
            } else if (m_nSendPass == 3) {
                SurveyLine(m_sCurPath2);
            }
            return DirResult::Descended;  // this enumeration stays open for the way back
        }
        ++m_openDirs.back().files;
        if (m_nSendPass == 2) {
            m_os.fs.ReadAheadStep();
        }
        VisitFile(record);
        if (!m_bRunning) {
            break;
        }
    }
    if (!m_openDirs.empty() && m_openDirs.back().dir == m_sCurDir) {
        m_openDirs.pop_back();
    }
    return DirResult::Finished;
}

CTandrixDlg::UpResult CTandrixDlg::GoUp() {
    const os::WString finished = m_sCurDir;
    m_sCurPath = m_sCurDir;
    m_sCurPath2 = m_sCurDir2;
    m_sCurDir = ParentDir(m_sCurDir);
    m_sCurDir2 = ParentDir(m_sCurDir2);
    if (finished == StripSlash(m_pSendPath->GetSrc())) {
        NextItem();
        return UpResult::NextItem;
    }
    ++m_nDirExits;
    if (m_nDirExits % kYieldEvery == 0 && (m_nSendPass == 1 || m_nSendPass == 3)) {
        Window().SetTimer(m_nSendPass == 1 ? kTimerCountYield : kTimerSurveyYield, kYieldMs);
        return UpResult::Yield;
    }
    return UpResult::Continue;
}

void CTandrixDlg::HandlePendingReport() {
    // Everything before the break goes out before the pause: the marker must start a read.
    if (!FlushStream()) {
        return;
    }
    m_os.sys.Sleep(kResumePauseMs);
    const std::string marker = wire::MakeResumeMarker();
    SendForward(marker.data(), marker.size());
    RemarkVanished();
    m_bErrPathPending = false;
    m_openDirs.clear();  // the walk moves back to an earlier entry
    WalkPosition position;
    const int newer = m_pRecovPath ? m_pRecovPath->Rewind(m_sErrPath, position) : -1;
    if (newer < 0) {
        Trace(u"Rewind: reported path not in the history: ", m_sErrPath);
        return;  // the walk goes on from where it is
    }
    m_sCurPath = position.curPath;
    m_sCurDir = position.curDir;
    m_sCurPath2 = position.curPath2;
    m_sCurDir2 = position.curDir2;
    m_pSendPath->m_nCurrent = position.item;
    m_nFileIndex -= newer;
}

// The destination dropped everything between the break and the resume marker, "not intact"
// entries included. Whatever still exists is met again by the walk and marked again if it
// still cannot go whole; what has vanished since is never met again, so its mark goes once
// more here (a mark the destination already holds is only kept once).
void CTandrixDlg::RemarkVanished() {
    for (const auto& [source, destination] : m_markedNotIntact) {
        if (m_os.fs.GetAttributes(FsPath(source)) == os::kInvalidAttributes) {
            const std::string entry = wire::MakeNotIntactEntry(destination);
            SendForward(entry.data(), entry.size());
        }
    }
}

void CTandrixDlg::RecordEntry(bool topLevelFile) {
    if (!m_pRecovPath) {
        return;
    }
    WalkPosition position;
    position.curPath = m_sCurPath;
    position.curPath2 = m_sCurPath2;
    if (!topLevelFile) {
        position.curDir = m_sCurDir;
        position.curDir2 = m_sCurDir2;
    }
    position.item = m_pSendPath->m_nCurrent;
    m_pRecovPath->AddPath(position);
}

void CTandrixDlg::PassOver() {
    switch (m_nSendPass) {
        case 1:
            m_bRunning = true;
            m_pSendPath->m_nCurrent = 0;
            m_nCom = 19;
            m_bErrPathPending = false;
            m_pRecovPath = std::make_unique<CRecovPath>();
            if (m_pProgress) {
                m_pProgress->SetOverallRange(m_nTotalFiles);
            }
            Trace(u"Send SENDMYDRIVES");
            SendFrame(static_cast<int>(wire::Command::SENDMYDRIVES));
            break;
        case 2:
            if (m_pProgress) {
                m_pProgress->SetOverallPos(m_nFileIndex);  // the paced updates may lag behind
            }
            switch (std::exchange(m_nAfterResend, AfterResend::EndPair)) {
                case AfterResend::EndPair:
                    if (!m_bFullDrv) {
                        SendEndOfTransfer(true);
                    }
                    break;
                case AfterResend::Survey:
                    BeginSurvey();
                    break;
                case AfterResend::PathLog:
                    m_nSendPass = 3;
                    SendPathLog();
                    break;
            }
            break;
        default:
            if (m_bErrPathPending && m_bRunning) {
                ResendAfterPass(AfterResend::PathLog);
            } else {
                SendPathLog();
            }
            break;
    }
}

// A report that arrives after the sending pass (the end-of-transfer pair on the back channel
// can overtake the stream's last bytes): the destination still waits in its stream with its
// error reporting off, so the entries after the break go again, then the copy ends as it
// would have.
void CTandrixDlg::ResendAfterPass(AfterResend then) {
    m_nAfterResend = then;
    m_nSendPass = 2;
    // The walk stands at the end: if the reported entry is no longer held, nothing is resent.
    m_pSendPath->m_nCurrent = m_pSendPath->Count();
    m_sCurDir.clear();
    m_sCurDir2.clear();
    m_openDirs.clear();
    RunWalk(WalkStep::Continue);
}

bool CTandrixDlg::PeerDriveIsNtfs() const {
    const char16_t letter = m_sDestDrive.empty() ? u'C' : m_sDestDrive.back();
    for (int i = 0; i < m_pRemoteDrives->Count(); ++i) {
        const os::WString root = m_pRemoteDrives->GetRoot(i);
        // Only the system drive's root is upper case, so compare without case.
        if (!root.empty() && os::FoldUpper(root[0]) == os::FoldUpper(letter)) {
            return os::EqualsNoCase(m_pRemoteDrives->GetFileSystem(i), u"NTFS");
        }
    }
    return true;
}

bool CTandrixDlg::SendWithRetries(const void* data, size_t size) {
    // A copy that ended meanwhile (the connection was lost, the user stopped it) is not
    // retried: what ended it has already told the user.
    return m_ClientSocket.SendResuming(data, size, kSendRetries, kRetryPauseMs,
                                       [this] { return m_bRunning; });
}

// The stream's bytes in order: small ones wait in the batch, a large one goes out at once
// after whatever waits before it. The receiver reads the same bytes however they are cut.
bool CTandrixDlg::QueueStream(const void* data, size_t size) {
    if (m_streamBatch.size() + size > kStreamBatch && !SendBatch()) {
        return false;
    }
    if (size >= kStreamBatch) {
        return SendWithRetries(data, size);
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_streamBatch.insert(m_streamBatch.end(), bytes, bytes + size);
    return true;
}

bool CTandrixDlg::SendBatch() {
    if (m_streamBatch.empty()) {
        return true;
    }
    // A send that waits lets messages in: the batch is out of the way before it goes.
    m_streamSending.swap(m_streamBatch);
    m_streamBatch.clear();
    const bool sent = SendWithRetries(m_streamSending.data(), m_streamSending.size());
    m_streamSending.clear();
    return sent;
}

bool CTandrixDlg::FlushStream() {
    if (SendBatch()) {
        return true;
    }
    StreamSendFailed();
    return false;
}

// The stream could not be sent on: the copy ends, and the user hears why unless what ended
// it (a stop, a lost connection) has already said so.
void CTandrixDlg::StreamSendFailed() {
    m_streamBatch.clear();
    if (!m_bRunning) {
        AbandonCopy();
        return;
    }
    const int code = m_ClientSocket.LastError();
    AbandonCopy();
    const os::WString codeText = os::ToWString(code);
    ShowMessage(m_os.ui,
                u"ファイルコピー中にエラーが発生しました。エラーコード=" + codeText + u"\n" +
                    m_os.sys.ErrorText(static_cast<uint32_t>(code)),
                u"", os::kMbIconError);
}

// A file or folder that cannot go whole: the source's own list names it, and a partner that
// knows the "not intact" entry hears of it in stream order (when its path fits an entry).
void CTandrixDlg::NoteNotSent(const os::WString& source, const os::WString& destination) {
    m_notSent.Add(source);
    if (m_bPeerKnowsTdx && m_bRunning) {
        const std::string entry = wire::MakeNotIntactEntry(destination);
        if (!entry.empty()) {
            m_markedNotIntact.emplace_back(source, destination);
            if (!QueueStream(entry.data(), entry.size())) {
                StreamSendFailed();
            }
        }
    }
}

// The progress window follows the file being sent a few dozen times a second, not at every
// file or piece; the window's messages are taken at the same pace.
void CTandrixDlg::ShowWalkProgress(const os::WString& path, uint64_t size, uint64_t sent) {
    const bool due = m_sendPacer.Due(m_os.sys.TickCount());
    if (!due && ++m_nUnpumpedFiles < kPumpEveryFiles) {
        return;
    }
    m_nUnpumpedFiles = 0;
    if (due && m_pProgress) {
        const uint64_t divisor = (size > kLargeFile || size >= kFourGiB) ? 10 : 1;
        m_pProgress->SetFileName(path);
        m_pProgress->SetOverallPos(m_nFileIndex);
        m_pProgress->SetFileRange(size / divisor);
        m_pProgress->SetFilePos(sent / divisor);
    }
    if (FlushStream()) {
        m_os.ui.PumpMessages();
    }
}

int CTandrixDlg::SendOneFile(const os::WString& path, const os::FindData& record) {
    if (IsExcluded(record.attributes)) {
        return 0;
    }
    if (!m_bRunning) {
        return 6;
    }
    ++m_nFileIndex;
    RecordEntry(m_sCurDir.empty());
    // A source path of any length is read (through its extended form); only the destination
    // path is bound by what an entry can carry.
    if (record.size >= kFourGiB && !PeerDriveIsNtfs()) {
        NoteNotSent(path, m_sCurPath2);
        return 1;
    }
    if (m_sCurPath2.empty() || m_sCurPath2.size() > wire::kMaxEntryPathLength) {
        NoteNotSent(path, m_sCurPath2);
        return 2;
    }
    // One handle from the first piece to the last.
    auto file = m_os.fs.Open(FsPath(path), os::OpenMode::ReadForBackup);
    if (!file) {
        NoteNotSent(path, m_sCurPath2);
        return 3;
    }
    // The entry and the first piece sit in one buffer, so that a small file leaves in one send:
    // the piece is read behind room for the longest entry, and the entry is put right before it.
    m_sendBuf.resize(wire::kMaxFileEntrySize + kPieceSize);
    uint8_t* const firstPiece = m_sendBuf.data() + wire::kMaxFileEntrySize;
    uint32_t got = 0;
    bool readFailed = !file->Read(firstPiece, kPieceSize, got);
    if ((readFailed || got == 0) && record.size != 0) {
        NoteNotSent(path, m_sCurPath2);
        return 4;
    }
    // One query after the first read: the attributes as the open file has them now (the
    // listing may be a moment old) and, for a file that read whole, whether it is still the
    // file the listing announced.
    os::File::State state;
    bool stateKnown = file->QueryState(state);
    wire::FileMeta meta;
    meta.creationTime = record.creationTime;
    meta.lastAccessTime = record.lastAccessTime;
    meta.lastWriteTime = record.lastWriteTime;
    meta.attributes = stateKnown ? state.attributes : record.attributes;
    meta.size = record.size;
    const std::string entry = wire::MakeFileEntry(m_sCurPath2, meta);
    if (entry.empty() || entry.size() > wire::kMaxFileEntrySize) {
        NoteNotSent(path, m_sCurPath2);  // a body without its entry would break the stream
        return 2;
    }
    uint8_t* const entryStart = firstPiece - entry.size();
    std::copy(entry.begin(), entry.end(), entryStart);
    uint64_t sent = 0;
    const size_t first = static_cast<size_t>(std::min<uint64_t>(got, record.size));
    bool failed = false;
    if (m_nTotalFiles <= kSmallCopyFiles && !m_bPeerKnowsTdx) {
        // A copy of a few files keeps its pauses around each header, the entry on its own, for
        // a partner that follows the plain protocol. This program's own receiver takes entries
        // wherever a read cuts them, so with it a few files leave like many, without pausing.
        failed = !SendBatch();
        m_os.sys.Sleep(kSmallCopyPauseMs);
        failed = failed || !SendWithRetries(entryStart, entry.size());
        m_os.sys.Sleep(kSmallCopyPauseMs);
        failed = failed || (first > 0 && !SendWithRetries(firstPiece, first));
    } else {
        failed = !QueueStream(entryStart, entry.size() + first);
    }
    if (!failed) {
        sent = first;
        ShowWalkProgress(path, record.size, sent);
    }
    while (!failed && !readFailed && sent < record.size) {
        if (!file->Read(m_pTransferBuf.data(), kPieceSize, got)) {
            readFailed = true;  // a locked range, a vanished drive: padded below
            break;
        }
        if (got == 0) {
            break;  // the file shrank: padded below
        }
        if (!m_bRunning) {
            return 6;
        }
        const uint64_t piece = std::min<uint64_t>(got, record.size - sent);
        if (!QueueStream(m_pTransferBuf.data(), static_cast<size_t>(piece))) {
            failed = true;
            break;
        }
        sent += piece;
        ShowWalkProgress(path, record.size, sent);
    }
    // A file that grew or was rewritten while it was read went out cut or mixed: after the
    // last piece, the same handle tells whether it is still the file the listing announced
    // (the query after the first read tells it where that read was the last).
    if (first < record.size && !failed && !readFailed && sent == record.size) {
        stateKnown = file->QueryState(state);
    }
    const bool unchanged =
        failed || sent != record.size || (!readFailed && stateKnown && IsAsListed(state, record));
    file.reset();
    const bool intact = sent == record.size && unchanged;
    if (!failed && sent < record.size) {
        // The body must be exactly as long as announced, or every later entry would be read
        // as part of it: make up the difference with zero bytes.
        std::fill(m_pTransferBuf.begin(), m_pTransferBuf.begin() + kPieceSize, 0);
        while (sent < record.size) {
            const size_t piece =
                static_cast<size_t>(std::min<uint64_t>(kPieceSize, record.size - sent));
            if (!QueueStream(m_pTransferBuf.data(), piece)) {
                failed = true;
                break;
            }
            sent += piece;
        }
    }
    if (failed) {
        StreamSendFailed();
        return 6;
    }
    if (!intact) {
        NoteNotSent(path, m_sCurPath2);  // right after its padded body
        return 5;
    }
    m_notSent.Remove(path);  // sent whole this time (a resend after a break)
    return 0;
}

void CTandrixDlg::SendDirEntry(const os::WString& path2) {
    if (path2.empty() || path2.size() >= 256) {
        m_notSent.Add(m_sCurPath);  // nothing below it can be sent either
        return;
    }
    RecordEntry(false);
    const std::string entry = wire::MakeDirectoryEntry(path2);
    if (!QueueStream(entry.data(), entry.size())) {
        StreamSendFailed();
    }
}

void CTandrixDlg::SendPathLog() {
    const char16_t letter = m_sDestDrive.empty() ? u'C' : m_sDestDrive.back();
    m_sCurPath2 = os::WString(1, letter) + u":\\Ferrylo\\FerryloPath.log";
    m_sCurDir.clear();
    m_sCurDir2.clear();
    m_pSurvey.reset();  // complete on disk before it is read
    const os::WString local = GetPathLogPath(m_os.fs, m_os.sys);
    os::FindData record;
    if (!local.empty() && m_os.fs.FindFirst(local, record)) {
        m_sCurPath = local;
        SendOneFile(local, record);
    }
    const char ascii = static_cast<char>(letter < 0x80 ? letter : u'C');
    const char sentLetter = (m_nCopyMode == 3) ? static_cast<char>(std::tolower(ascii))
                                               : static_cast<char>(std::toupper(ascii));
    if (!FlushStream()) {
        return;
    }
    const std::string end = wire::MakeEndOfPathLog(sentLetter);
    SendForward(end.data(), end.size());
}

os::WString CTandrixDlg::NotSentNote() {
    m_sNotSentFile.clear();
    if (m_notSent.Empty()) {
        return os::WString();
    }
    m_sNotSentFile = m_notSent.Write(m_os.fs, m_os.sys);
    os::WString note = texts::kNotSentNote;
    if (!m_sNotSentFile.empty()) {
        note += texts::kNotSentListSaved + m_sNotSentFile + u"\n";
    }
    return note;
}

void CTandrixDlg::OpenNotSentList() {
    if (!m_sNotSentFile.empty()) {
        m_os.shell.Open(u"open", m_sNotSentFile);
    }
    m_notSent.Clear();
}
