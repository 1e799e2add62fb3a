// The destination's transfer-stream receiver: a parser that keeps its state from one read of
// the forward channel to the next and turns file and directory entries into files and
// folders below the base folder, with their times and attributes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "os/FileSystem.h"
#include "os/Types.h"
#include "transfer/BodyFile.h"
#include "transfer/ReceivedFolders.h"

// What the receiver needs of the main dialog. All calls happen inside HandleRead.
class CReceiverHost {
  public:
    virtual ~CReceiverHost() = default;

    // A command frame on the forward channel (SENDFULLDRIVE).
    virtual void SendFrame(const std::string& frame) = 0;
    // "DDDDDDDDDDDD0073" followed by the hexadecimal form of `path`, on the forward channel.
    // The path is empty when the stream broke before any entry's path was complete; the host
    // decides what to send then (the bare frame would stop the copy at the source).
    virtual void SendErrorReport(const os::WString& path) = 0;
    // Timer 10: sends the report for CurrentPath() once more after 100 ms.
    virtual void StartErrorRepeatTimer() = 0;
    // The dialog's m_bFullDrv.
    virtual bool IsFullDrive() const = 0;
    virtual void SetFullDrive() = 0;
    // The kind 4 header: the result check for `letter`; the dialog then leaves state 1 and
    // stops timer 7. The receiver ignores every later read until the next Reset.
    virtual void OnEndOfPathLog(char16_t letter) = 0;

    // The progress window; a host without one does nothing. Ranges and positions are bytes.
    virtual void SetFileName(const os::WString& path) = 0;
    virtual void SetFileRange(uint64_t size) = 0;
    virtual void SetFilePos(uint64_t pos) = 0;
    virtual void SetOverallPos(int fileIndex) = 0;
};

class CStreamReceiver {
  public:
    // Free space of the destination drive, in units of 1,000,000 bytes, at or below which
    // SENDFULLDRIVE goes out; the free-space query is repeated every 80 body reads.
    static constexpr int32_t kFreeSpaceLimitMB = 130;
    static constexpr int kFreeSpaceCheckReads = 80;
    static constexpr size_t kHeaderSize = 4;     // wire::kHeaderSize
    static constexpr size_t kMetadataSize = 36;  // wire::kMetaSize

    CStreamReceiver(os::FileSystem& fs, CReceiverHost& host);
    ~CStreamReceiver();
    CStreamReceiver(const CStreamReceiver&) = delete;
    CStreamReceiver& operator=(const CStreamReceiver&) = delete;

    // Entering state 1: a new stream into `baseFolder` ("X:\Ferrylo"), whose drive letter is
    // the one whose free space is watched. A base folder that IsValidBaseFolder refuses makes
    // every entry of the stream dropped. A body still in progress is abandoned (Abort).
    // `peerMarksNotIntact`: the partner is a copy of this program and may follow a body with
    // a "not intact" entry (kind 6), so a complete body waits for the next header before it
    // replaces anything.
    void Reset(const os::WString& baseFolder, bool peerMarksNotIntact = false);
    // One read of the forward channel while in state 1.
    void HandleRead(const uint8_t* data, size_t size);
    // The stream ends (StopCopy, timer 11, disconnection, exit): a body still incomplete is
    // thrown away with its temporary file, and any older file at its name stays as it was; a
    // complete body still waiting for the next header takes its place.
    void Abort();

    // Files stored completely in this stream, empty ones included; 0 after Reset. The count
    // lives here, not in the dialog, because only the receiver changes it while in state 1;
    // the dialog shows it and keeps its own -1 for "no copy".
    int FileIndex() const { return m_nFileIndex; }
    // Decoded path of the last entry whose path was complete (what an error report names).
    const os::WString& CurrentPath() const { return m_sPath; }
    bool IsErrorReportingArmed() const { return m_bRecov; }
    bool FullDriveSent() const { return m_bFullDriveSent; }
    bool HasEnded() const { return m_phase == Phase::Ended; }
    // No header, path, metadata block or body is partly received.
    bool IsBetweenEntries() const { return m_phase == Phase::Header && m_nHeaderCount == 0; }

    // Paths below the base folder that this stream did not deliver intact although a file may
    // now exist there (an older copy, an entry it only matched through a short name, a body
    // the partner marked not intact), in the order met; kept until the next Reset so that the
    // result check names them.
    const std::vector<os::WString>& NotDelivered() const { return m_notDelivered; }
    bool WasNotDelivered(const os::WString& path) const;

  private:
    enum class Phase { Header, FilePath, DirPath, MarkPath, Metadata, Body, Ended };
    enum class StreamFault { BadStart, BadSecondByte, BadKind };

    // Each returns the number of bytes it consumed; `stop` asks to drop the rest of the read.
    size_t TakeHeader(const uint8_t* data, size_t size, bool& stop);
    size_t TakePath(const uint8_t* data, size_t size);
    size_t TakeMetadata(const uint8_t* data, size_t size);
    size_t TakeBody(const uint8_t* data, size_t size);

    size_t SeekResumeMarker(const uint8_t* data, size_t size);

    void DispatchHeader(bool& stop);
    void FinishPath();
    void FinishMark(const os::WString& path);
    void BeginFile(size_t atHand);
    bool CreateBody(const os::WString& folder, bool wholeBodyAtHand);
    void FinishBody();
    void CommitBody();
    void MarkDamaged();
    void RememberNotDelivered(const os::WString& path);
    // True when the stream is now dropped until a resume marker.
    bool StreamError(StreamFault fault);
    void ClearPartial();
    bool FreeSpaceLow();
    void SendFullDrive();

    os::FileSystem& m_fs;
    CReceiverHost& m_host;
    CReceivedFolders m_folders;
    CBodyFile m_body;
    bool m_bPeerMarks = false;
    bool m_bBodyPending = false;  // m_body is complete and waits for the next header
    std::vector<os::WString> m_notDelivered;
    std::set<os::WString> m_notDeliveredKeys;  // upper-cased, for look-ups

    os::WString m_sBase;
    char16_t m_chDrive = 0;
    Phase m_phase = Phase::Ended;  // nothing is received before the first Reset

    uint8_t m_header[kHeaderSize] = {};
    size_t m_nHeaderCount = 0;
    std::string m_sRawPath;  // hexadecimal path text collected so far (at most 4 x 255)
    size_t m_nPathOutstanding = 0;
    os::WString m_sPath;
    bool m_bEntrySafe = false;  // the current entry's path passed IsSafeDestinationPath

    uint8_t m_meta[kMetadataSize] = {};
    size_t m_nMetaCount = 0;
    uint64_t m_nCreation = 0;
    uint64_t m_nLastAccess = 0;
    uint64_t m_nLastWrite = 0;
    uint32_t m_nAttributes = 0;
    uint64_t m_nSize = 0;
    uint64_t m_nOutstanding = 0;
    bool m_bDamaged = false;  // some body byte did not reach the file: it is thrown away

    bool m_bRecov = true;
    size_t m_nMarkerMatch = 0;  // resume-marker bytes matched at the end of the last read
    bool m_bFirstTime = true;
    bool m_bFullDriveSent = false;
    int m_nCountdown = 0;
    int m_nFileIndex = 0;
};
