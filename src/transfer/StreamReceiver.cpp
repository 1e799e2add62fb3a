// The destination's side of the transfer stream. Reads arrive in arbitrary pieces, so every
// partly received header, path, metadata block and body is kept here between reads.
#include "transfer/StreamReceiver.h"

#include <algorithm>

#include "os/Text.h"
#include "platform/Drive.h"
#include "transfer/CommandFrame.h"
#include "transfer/FileMeta.h"
#include "transfer/HexPath.h"
#include "transfer/PathGuard.h"
#include "transfer/TransferHeader.h"

namespace {

constexpr uint8_t kResumeMarker[CStreamReceiver::kHeaderSize] = {
    '%', '?', static_cast<uint8_t>(wire::EntryKind::ResumeMarker), 0x00};

// Attribute bits a received file may carry; the directory, reparse-point and other bits that
// only the file system itself sets are not taken from the peer.
constexpr uint32_t kReceivedAttributeMask = os::kAttrReadOnly | os::kAttrHidden | os::kAttrSystem |
                                            os::kAttrArchive | os::kAttrTemporary | 0x1000 | 0x2000;

os::WString FolderOf(const os::WString& path) {
    return path.substr(0, path.rfind(u'\\'));
}

}  // namespace

CStreamReceiver::CStreamReceiver(os::FileSystem& fs, CReceiverHost& host)
    : m_fs(fs), m_host(host), m_folders(fs), m_body(fs) {
    m_sRawPath.reserve(4 * kMaxReceivedPathUnits);
}

// The host may be half destroyed by now: only the file system is touched.
CStreamReceiver::~CStreamReceiver() {
    if (m_bBodyPending) {
        m_body.Commit(m_nAttributes);
    }
}

void CStreamReceiver::Reset(const os::WString& baseFolder, bool peerMarksNotIntact) {
    Abort();
    m_sBase = baseFolder;
    m_chDrive = IsValidBaseFolder(baseFolder) ? os::FoldUpper(baseFolder[0]) : 0;
    m_phase = Phase::Header;
    ClearPartial();
    m_folders.Reset(baseFolder);
    m_bPeerMarks = peerMarksNotIntact;
    m_notDelivered.clear();
    m_notDeliveredKeys.clear();
    m_sPath.clear();
    m_bEntrySafe = false;
    m_bDamaged = false;
    m_nOutstanding = 0;
    m_bRecov = true;
    m_nMarkerMatch = 0;
    m_bFirstTime = true;
    m_bFullDriveSent = false;
    m_nCountdown = 0;
    m_nFileIndex = 0;
}

void CStreamReceiver::Abort() {
    if (m_phase == Phase::Body) {
        MarkDamaged();
    } else if (m_bBodyPending) {
        CommitBody();
    }
    ClearPartial();
    m_phase = Phase::Ended;
}

bool CStreamReceiver::WasNotDelivered(const os::WString& path) const {
    return m_notDeliveredKeys.count(os::ToUpper(path)) != 0;
}

void CStreamReceiver::HandleRead(const uint8_t* data, size_t size) {
    if (m_phase == Phase::Ended || data == nullptr || size == 0) {
        return;
    }
    // The first read of a copy is dropped when the drive is already too full for it.
    if (m_bFirstTime) {
        if (!m_bFullDriveSent && FreeSpaceLow()) {
            SendFullDrive();
            return;
        }
        m_bFirstTime = false;
    }
    size_t pos = 0;
    while (pos < size) {
        const uint8_t* p = data + pos;
        const size_t n = size - pos;
        bool stop = false;
        switch (m_phase) {
            case Phase::Body:
                pos += TakeBody(p, n);
                break;
            case Phase::FilePath:
            case Phase::DirPath:
            case Phase::MarkPath:
                pos += TakePath(p, n);
                break;
            case Phase::Metadata:
                pos += TakeMetadata(p, n);
                break;
            case Phase::Header:
                pos += m_bRecov ? TakeHeader(p, n, stop) : SeekResumeMarker(p, n);
                break;
            case Phase::Ended:
                return;
        }
        if (stop) {
            return;
        }
    }
}

// While entries are dropped only the resume marker matters, wherever it starts: the bytes
// before it may be the rest of anything, cut anywhere, and it may itself span reads. What
// the source sends after it opens with a header, so the same four bytes inside a dropped
// body followed by anything but "%" are not taken for it.
size_t CStreamReceiver::SeekResumeMarker(const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == kResumeMarker[m_nMarkerMatch]) {
            if (++m_nMarkerMatch == kHeaderSize) {
                m_nMarkerMatch = 0;
                if (i + 1 < size && data[i + 1] != '%') {
                    continue;
                }
                m_bRecov = true;
                if (m_bBodyPending) {
                    CommitBody();
                }
                return i + 1;
            }
        } else {
            // No proper prefix of the marker ends in its own later bytes, so only a "%"
            // can start it again.
            m_nMarkerMatch = data[i] == kResumeMarker[0] ? 1 : 0;
        }
    }
    return size;
}

size_t CStreamReceiver::TakeHeader(const uint8_t* data, size_t size, bool& stop) {
    size_t i = 0;
    while (i < size && m_nHeaderCount < kHeaderSize) {
        const uint8_t b = data[i];
        if ((m_nHeaderCount == 0 && b != '%') || (m_nHeaderCount == 1 && b != '?')) {
            // The byte itself may begin the resume marker, so it is not consumed here.
            if (!StreamError(m_nHeaderCount == 0 ? StreamFault::BadStart
                                                 : StreamFault::BadSecondByte)) {
                stop = true;
                return size;
            }
            return i;
        }
        m_header[m_nHeaderCount++] = b;
        ++i;
    }
    if (m_nHeaderCount == kHeaderSize) {
        m_nHeaderCount = 0;
        DispatchHeader(stop);
    }
    return i;
}

void CStreamReceiver::DispatchHeader(bool& stop) {
    const auto kind = static_cast<wire::EntryKind>(m_header[2]);
    const bool markKnown = m_bPeerMarks && kind == wire::EntryKind::NotIntact;
    // The next header commits a complete body; only a "not intact" entry may still stop it.
    if (m_bBodyPending && !markKnown) {
        CommitBody();
    }
    switch (kind) {
        case wire::EntryKind::File:
        case wire::EntryKind::Directory:
        case wire::EntryKind::NotIntact:
            if (kind == wire::EntryKind::NotIntact && !markKnown) {
                break;  // a partner that never announced it: a stream error like any other
            }
            m_phase = kind == wire::EntryKind::File        ? Phase::FilePath
                      : kind == wire::EntryKind::Directory ? Phase::DirPath
                                                           : Phase::MarkPath;
            m_sRawPath.clear();
            m_nPathOutstanding = 4 * static_cast<size_t>(m_header[3]);
            if (m_nPathOutstanding == 0) {
                FinishPath();
            }
            return;
        case wire::EntryKind::EndOfPathLog: {
            // The result check reads and writes in the base folder of the letter it is given,
            // so it must be ours; the case (environment copy or not) is the peer's to choose.
            const char16_t letter = m_header[3];
            if (m_chDrive == 0 || os::FoldUpper(letter) != m_chDrive) {
                break;
            }
            m_phase = Phase::Ended;
            stop = true;
            m_host.OnEndOfPathLog(letter);
            return;
        }
        case wire::EntryKind::ResumeMarker:
            m_bRecov = true;
            return;
        default:
            break;
    }
    if (!StreamError(StreamFault::BadKind)) {
        stop = true;
    }
}

size_t CStreamReceiver::TakePath(const uint8_t* data, size_t size) {
    const size_t take = std::min(size, m_nPathOutstanding);
    m_sRawPath.append(reinterpret_cast<const char*>(data), take);
    m_nPathOutstanding -= take;
    if (m_nPathOutstanding == 0) {
        FinishPath();
    }
    return take;
}

void CStreamReceiver::FinishPath() {
    os::WString path =
        wire::HexToWide(m_sRawPath.data(), m_sRawPath.size()).value_or(os::WString());
    m_sRawPath.clear();
    if (m_phase == Phase::MarkPath) {
        m_phase = Phase::Header;
        FinishMark(path);
        return;
    }
    m_sPath = std::move(path);
    // An entry that would land outside the base folder is still read to its end, so that the
    // stream stays in step, but nothing is created, opened or deleted for it.
    m_bEntrySafe = !m_sPath.empty() && IsSafeDestinationPath(m_sBase, m_sPath);
    if (m_phase == Phase::DirPath) {
        m_phase = Phase::Header;
        if (m_bEntrySafe && !m_folders.Ensure(m_sPath)) {
            RememberNotDelivered(m_sPath);
        }
        return;
    }
    m_nMetaCount = 0;
    m_phase = Phase::Metadata;
}

// A "not intact" entry: the source could not deliver `path` as it is. A body of that name
// that has just ended is thrown away, and the path is named by the result check even when a
// file (an older one) exists there. It names no entry of its own, so error reports keep
// naming the last real entry.
void CStreamReceiver::FinishMark(const os::WString& path) {
    const bool safe = !path.empty() && IsSafeDestinationPath(m_sBase, path);
    if (m_bBodyPending) {
        if (safe && os::EqualsNoCase(path, m_body.FinalPath())) {
            m_bBodyPending = false;
            m_body.Discard();
        } else {
            CommitBody();
        }
    }
    if (safe) {
        RememberNotDelivered(path);
    }
}

size_t CStreamReceiver::TakeMetadata(const uint8_t* data, size_t size) {
    const size_t take = std::min(size, kMetadataSize - m_nMetaCount);
    std::copy(data, data + take, m_meta + m_nMetaCount);
    m_nMetaCount += take;
    // Completed at once, even at the very end of a read: an empty file must not wait for a
    // next read that may never come.
    if (m_nMetaCount == kMetadataSize) {
        m_nMetaCount = 0;
        BeginFile(size - take);
    }
    return take;
}

// `atHand`: the bytes of this read after the entry, where the body begins.
void CStreamReceiver::BeginFile(size_t atHand) {
    const wire::FileMeta meta = wire::DecodeMeta(reinterpret_cast<const char*>(m_meta));
    m_nCreation = meta.creationTime;
    m_nLastAccess = meta.lastAccessTime;
    m_nLastWrite = meta.lastWriteTime;
    m_nAttributes = meta.attributes & kReceivedAttributeMask;
    if (m_nAttributes == 0) {
        m_nAttributes = os::kAttrNormal;
    }
    m_nSize = meta.size;
    m_nOutstanding = m_nSize;
    m_bDamaged = false;
    m_phase = m_nSize != 0 ? Phase::Body : Phase::Header;
    if (!m_bEntrySafe) {
        return;
    }
    m_host.SetFileName(m_sPath);
    m_host.SetFileRange(m_nSize);
    m_host.SetFilePos(0);
    // The body goes to a new file; whatever is at its name now stays untouched until the body
    // is committed.
    const os::WString folder = FolderOf(m_sPath);
    const bool wholeBodyAtHand = m_nSize <= atHand;
    if (!CreateBody(folder, wholeBodyAtHand)) {
        m_folders.Forget();  // a folder may have vanished since it was made: once more
        if (!CreateBody(folder, wholeBodyAtHand)) {
            MarkDamaged();  // its body is consumed without being written
            return;
        }
    }
    if (m_nSize == 0) {
        FinishBody();
    }
}

bool CStreamReceiver::CreateBody(const os::WString& folder, bool wholeBodyAtHand) {
    return m_folders.Ensure(folder) && m_body.Create(folder, m_sPath, wholeBodyAtHand);
}

size_t CStreamReceiver::TakeBody(const uint8_t* data, size_t size) {
    if (m_nCountdown == 0) {
        m_nCountdown = kFreeSpaceCheckReads;
        if (!m_bFullDriveSent && FreeSpaceLow()) {
            // The rest of this read's part of the body is not written, so the file cannot be
            // complete; the stream itself stays in step for whatever the source still sends.
            SendFullDrive();
            MarkDamaged();
        }
    }
    --m_nCountdown;

    const size_t take = static_cast<size_t>(std::min<uint64_t>(size, m_nOutstanding));
    if (m_bEntrySafe && !m_bDamaged && !m_body.Write(data, take)) {
        m_folders.Forget();
        MarkDamaged();
    }
    m_nOutstanding -= take;
    if (m_nOutstanding == 0) {
        m_phase = Phase::Header;
        FinishBody();
    } else if (m_bEntrySafe) {
        m_host.SetFilePos(m_nSize - m_nOutstanding);
    }
    return take;
}

void CStreamReceiver::FinishBody() {
    if (!m_bEntrySafe || m_bDamaged) {
        return;
    }
    m_body.Close(m_nCreation, m_nLastAccess, m_nLastWrite);
    m_bBodyPending = true;
    if (!m_bPeerMarks) {
        CommitBody();  // no "not intact" entry can follow it
    }
}

void CStreamReceiver::CommitBody() {
    m_bBodyPending = false;
    if (!m_body.Commit(m_nAttributes)) {
        RememberNotDelivered(m_body.FinalPath());
        return;
    }
    m_host.SetFilePos(m_nSize);
    ++m_nFileIndex;
    m_host.SetOverallPos(m_nFileIndex);
}

// A body that will not be complete: its temporary file goes, an older file at its name stays,
// and the result check names the path.
void CStreamReceiver::MarkDamaged() {
    m_bDamaged = true;
    if (m_bEntrySafe) {
        m_body.Discard();
        RememberNotDelivered(m_sPath);
    }
}

void CStreamReceiver::RememberNotDelivered(const os::WString& path) {
    if (m_notDeliveredKeys.insert(os::ToUpper(path)).second) {
        m_notDelivered.push_back(path);
    }
}

bool CStreamReceiver::StreamError(StreamFault fault) {
    // A stream that does not start with "%" while the drive is full is the expected aftermath
    // of a dropped first read, and is not reported.
    const bool report = m_bRecov && (fault != StreamFault::BadStart || !m_host.IsFullDrive());
    ClearPartial();
    if (!report) {
        return false;
    }
    m_bRecov = false;
    m_nMarkerMatch = 0;
    m_host.SendErrorReport(m_sPath);
    if (fault == StreamFault::BadKind) {
        m_host.StartErrorRepeatTimer();
    }
    return true;
}

void CStreamReceiver::ClearPartial() {
    m_nHeaderCount = 0;
    m_sRawPath.clear();
    m_nPathOutstanding = 0;
    m_nMetaCount = 0;
    if (m_phase != Phase::Body && m_phase != Phase::Ended) {
        m_phase = Phase::Header;
    }
}

bool CStreamReceiver::FreeSpaceLow() {
    return !HasFreeSpace(m_fs, m_chDrive, kFreeSpaceLimitMB);
}

void CStreamReceiver::SendFullDrive() {
    m_bFullDriveSent = true;
    m_host.SetFullDrive();
    m_host.SendFrame(wire::MakeFrame(wire::Command::SENDFULLDRIVE));
}

static_assert(CStreamReceiver::kHeaderSize == wire::kHeaderSize);
static_assert(CStreamReceiver::kMetadataSize == wire::kMetaSize);
static_assert(kMaxReceivedPathUnits == wire::kMaxEntryPathLength);
