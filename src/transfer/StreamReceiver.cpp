// The destination's side of the transfer stream. Reads arrive in arbitrary pieces, so every
// partly received header, path, metadata block and body is kept here between reads.
#include "transfer/StreamReceiver.h"

#include <algorithm>
#include <utility>

#include "os/Text.h"
#include "platform/Drive.h"
#include "platform/FileOps.h"
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

// One write call takes a 32-bit size; reads are normally at most 64 KiB anyway.
constexpr size_t kMaxWriteChunk = size_t{1} << 30;

}  // namespace

CStreamReceiver::CStreamReceiver(os::FileSystem& fs, CReceiverHost& host) : m_fs(fs), m_host(host) {
    m_sRawPath.reserve(4 * kMaxReceivedPathUnits);
}

CStreamReceiver::~CStreamReceiver() = default;

void CStreamReceiver::Reset(const os::WString& baseFolder) {
    Abort();
    m_sBase = baseFolder;
    m_chDrive = IsValidBaseFolder(baseFolder) ? os::FoldUpper(baseFolder[0]) : 0;
    m_phase = Phase::Header;
    ClearPartial();
    m_sPath.clear();
    m_bEntrySafe = false;
    m_bDamaged = false;
    m_nOutstanding = 0;
    m_bRecov = true;
    m_bFirstTime = true;
    m_bFullDriveSent = false;
    m_nCountdown = 0;
    m_nFileIndex = 0;
}

void CStreamReceiver::Abort() {
    if (m_phase == Phase::Body) {
        MarkDamaged();
    }
    ClearPartial();
    m_phase = Phase::Ended;
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
    if (!m_bRecov && m_nHeaderCount > 0) {
        DropStaleHeader(data, size);
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
                pos += TakePath(p, n);
                break;
            case Phase::Metadata:
                pos += TakeMetadata(p, n);
                break;
            case Phase::Header:
                pos += TakeHeader(p, n, stop);
                break;
            case Phase::Ended:
                return;
        }
        if (stop) {
            return;
        }
    }
}

size_t CStreamReceiver::TakeHeader(const uint8_t* data, size_t size, bool& stop) {
    size_t i = 0;
    while (i < size && m_nHeaderCount < kHeaderSize) {
        const uint8_t b = data[i];
        if (m_nHeaderCount == 0 && b != '%') {
            StreamError(StreamFault::BadStart);
            stop = true;
            return size;
        }
        if (m_nHeaderCount == 1 && b != '?') {
            StreamError(StreamFault::BadSecondByte);
            stop = true;
            return size;
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
    const bool fileJustEnded = std::exchange(m_bFileJustEnded, false);
    switch (static_cast<wire::EntryKind>(m_header[2])) {
        case wire::EntryKind::NotIntact:
            if (!m_bRecov) {
                stop = true;
                return;
            }
            // Only the file whose body has just ended can be the one the entry throws away.
            m_sEndedFile = fileJustEnded ? m_sPath : os::WString();
            m_bNotIntactPath = true;
            m_phase = Phase::DirPath;
            m_sRawPath.clear();
            m_nPathOutstanding = 4 * static_cast<size_t>(m_header[3]);
            if (m_nPathOutstanding == 0) {
                FinishPath();
            }
            return;
        case wire::EntryKind::File:
        case wire::EntryKind::Directory:
            if (!m_bRecov) {
                stop = true;  // dropped until the resume marker
                return;
            }
            m_phase = m_header[2] == static_cast<uint8_t>(wire::EntryKind::File) ? Phase::FilePath
                                                                                 : Phase::DirPath;
            m_sRawPath.clear();
            m_nPathOutstanding = 4 * static_cast<size_t>(m_header[3]);
            if (m_nPathOutstanding == 0) {
                FinishPath();
            }
            return;
        case wire::EntryKind::EndOfPathLog: {
            if (!m_bRecov) {
                stop = true;
                return;
            }
            // The result check reads and writes in the base folder of the letter it is given,
            // so it must be ours; the case (environment copy or not) is the peer's to choose.
            const char16_t letter = m_header[3];
            if (m_chDrive == 0 || os::FoldUpper(letter) != m_chDrive) {
                StreamError(StreamFault::BadKind);
                stop = true;
                return;
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
            StreamError(StreamFault::BadKind);
            stop = true;
            return;
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
    m_sPath = wire::HexToWide(m_sRawPath.data(), m_sRawPath.size()).value_or(os::WString());
    m_sRawPath.clear();
    // An entry that would land outside the base folder is still read to its end, so that the
    // stream stays in step, but nothing is created, opened or deleted for it.
    m_bEntrySafe = !m_sPath.empty() && IsSafeDestinationPath(m_sBase, m_sPath);
    if (std::exchange(m_bNotIntactPath, false)) {
        // The source could not read that file whole: its padded body must not pass for a
        // complete copy, so it is removed and the result check lists it as missing.
        m_phase = Phase::Header;
        if (m_bEntrySafe && m_sPath == m_sEndedFile) {
            m_fs.SetAttributes(m_sPath, os::kAttrNormal);
            m_fs.DeleteFile(m_sPath);
        }
        return;
    }
    if (m_phase == Phase::DirPath) {
        if (m_bEntrySafe) {
            CreateDirRecursive(m_fs, m_sPath);
        }
        m_phase = Phase::Header;
        return;
    }
    m_nMetaCount = 0;
    m_phase = Phase::Metadata;
}

size_t CStreamReceiver::TakeMetadata(const uint8_t* data, size_t size) {
    const size_t take = std::min(size, kMetadataSize - m_nMetaCount);
    std::copy(data, data + take, m_meta + m_nMetaCount);
    m_nMetaCount += take;
    // Completed at once, even at the very end of a read: an empty file must not wait for a
    // next read that may never come.
    if (m_nMetaCount == kMetadataSize) {
        m_nMetaCount = 0;
        BeginFile();
    }
    return take;
}

void CStreamReceiver::BeginFile() {
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

    // A file of the same name (a resend after an error report, or an earlier copy) is
    // replaced; a folder of that name is left alone and the file then cannot be created.
    const uint32_t existing = m_fs.GetAttributes(m_sPath);
    if (existing != os::kInvalidAttributes && (existing & os::kAttrDirectory) == 0) {
        m_fs.SetAttributes(m_sPath, os::kAttrNormal);
        m_fs.DeleteFile(m_sPath);
    }
    CreateDirRecursive(m_fs, ParentOf(m_sPath));
    auto file = m_fs.Open(m_sPath, os::OpenMode::CreateAlways, os::kAttrNormal);
    m_host.SetFileName(m_sPath);
    m_host.SetFileRange(m_nSize);
    m_host.SetFilePos(0);
    if (!file) {
        m_bDamaged = true;  // its body is consumed without being written
        return;
    }
    if (m_nSize == 0) {
        file->SetTimes(&m_nCreation, &m_nLastAccess, &m_nLastWrite);
        file.reset();
        m_fs.SetAttributes(m_sPath, m_nAttributes);
        ++m_nFileIndex;
        m_bFileJustEnded = true;
        m_host.SetOverallPos(m_nFileIndex);
    }
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
    if (m_bEntrySafe && !m_bDamaged && !WriteBody(data, take)) {
        MarkDamaged();
    }
    m_nOutstanding -= take;
    if (m_nOutstanding == 0) {
        FinishBody();
    } else if (m_bEntrySafe) {
        m_host.SetFilePos(m_nSize - m_nOutstanding);
    }
    return take;
}

bool CStreamReceiver::WriteBody(const uint8_t* data, size_t size) {
    const os::WString folder = ParentOf(m_sPath);
    if (!IsDirectory(m_fs, folder)) {
        // The folder vanished with the bytes written so far; later entries need it again.
        CreateDirRecursive(m_fs, folder);
        return false;
    }
    auto file = m_fs.Open(m_sPath, os::OpenMode::Append);
    // A file that is missing (and was just created empty) or that changed size behind our
    // back no longer holds the bytes received so far.
    if (!file || file->Size() != m_nSize - m_nOutstanding) {
        return false;
    }
    size_t done = 0;
    while (done < size) {
        const auto chunk = static_cast<uint32_t>(std::min(size - done, kMaxWriteChunk));
        uint32_t written = 0;
        if (!file->Write(data + done, chunk, written) || written != chunk) {
            return false;
        }
        done += chunk;
    }
    return true;
}

void CStreamReceiver::FinishBody() {
    m_phase = Phase::Header;
    if (!m_bEntrySafe) {
        return;
    }
    if (!m_bDamaged) {
        auto file = m_fs.Open(m_sPath, os::OpenMode::Append);
        if (file && file->Size() == m_nSize) {
            file->SetTimes(&m_nCreation, &m_nLastAccess, &m_nLastWrite);
            file.reset();
            m_fs.SetAttributes(m_sPath, m_nAttributes);
            m_host.SetFilePos(m_nSize);
            ++m_nFileIndex;
            m_bFileJustEnded = true;
            m_host.SetOverallPos(m_nFileIndex);
            return;
        }
    }
    MarkDamaged();
}

void CStreamReceiver::MarkDamaged() {
    m_bDamaged = true;
    if (!m_bEntrySafe) {
        return;
    }
    // A short file must never look like a complete one: the result check then lists it.
    const uint32_t attributes = m_fs.GetAttributes(m_sPath);
    if (attributes != os::kInvalidAttributes && (attributes & os::kAttrDirectory) == 0) {
        m_fs.DeleteFile(m_sPath);
    }
}

void CStreamReceiver::StreamError(StreamFault fault) {
    // A stream that does not start with "%" while the drive is full is the expected aftermath
    // of a dropped first read, and is not reported.
    const bool report = m_bRecov && (fault != StreamFault::BadStart || !m_host.IsFullDrive());
    if (report) {
        m_bRecov = false;
        m_host.SendErrorReport(m_sPath);
        if (fault == StreamFault::BadKind) {
            m_host.StartErrorRepeatTimer();
        }
    }
    ClearPartial();
}

void CStreamReceiver::ClearPartial() {
    m_nHeaderCount = 0;
    m_bNotIntactPath = false;
    m_bFileJustEnded = false;
    m_sRawPath.clear();
    m_nPathOutstanding = 0;
    m_nMetaCount = 0;
    if (m_phase != Phase::Body && m_phase != Phase::Ended) {
        m_phase = Phase::Header;
    }
}

// While entries are dropped only a resume marker matters. Header bytes held from an earlier
// read that cannot begin one together with this read are stale (garbage that happened to end
// in "%"), and would otherwise swallow the marker the source sends in a read of its own.
void CStreamReceiver::DropStaleHeader(const uint8_t* data, size_t size) {
    bool fits = true;
    for (size_t k = 0; k < m_nHeaderCount; ++k) {
        fits = fits && m_header[k] == kResumeMarker[k];
    }
    for (size_t k = m_nHeaderCount, j = 0; fits && k < kHeaderSize && j < size; ++k, ++j) {
        fits = data[j] == kResumeMarker[k];
    }
    if (!fits) {
        m_nHeaderCount = 0;
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
