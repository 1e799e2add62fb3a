// The drive list message, sent in answer to REQREMOTEDRIVE in one send: a 45-byte ANSI record
// per drive, then a "#" trailer with the sender's system facts and user name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "os/Types.h"

class CDrive;
namespace os {
class System;
}

namespace wire {

constexpr size_t kDriveRecordSize = 45;
// Stands for any file system other than NTFS in a received drive list: the record only says
// whether the drive is NTFS, and that is all the receiver ever asks of it.
inline constexpr char16_t kNonNtfsName[] = u"FAT32";

// The system facts a drive list carries. The receiver keeps them as the peer's facts; the
// sender fills them with its own (flags false, year 0 and text empty, as this system sends).
struct PeerFacts {
    int m_nRemoteOSVer = 0;           // version code; 16 bits travel
    bool m_bRemoteFlag5 = false;      // trailer position 5
    bool m_bRemoteOutlookEx = false;  // mail-client flag, position 7
    bool m_bRemoteFlag9 = false;      // position 9
    int m_nRemoteMailYear = 0;        // 2008, 2009, 2011, 2012 or 0
    os::WString m_sRemoteText;        // positions 16-19; four blanks are empty
    bool m_bRemoteFlag21 = false;
    bool m_bRemoteFlag23 = false;
    os::WString m_sRemoteUserName;

    bool operator==(const PeerFacts&) const = default;
};

// Records for every drive of `drives` in table order, then the trailer of `facts`. Roots are
// written as ANSI and fitted to three bytes; negative sizes are written as 0; a year other
// than the four known ones is written as blanks; the text is fitted to four characters
// (right-aligned, as "%4s" aligns).
std::string MakeDriveList(const CDrive& drives, const PeerFacts& facts, os::System& sys);

// Clears `out` and fills it from the records before the first "#" (all bytes without one),
// in steps of 45 bytes; a partial last record is ignored and drives beyond the table's 26
// are dropped. With a "#" the trailer's facts replace `facts` field by field: a trailer cut
// short leaves the missing flags false, the year 0 and the texts empty. Without a "#" `facts`
// is not touched. Returns whether a trailer was found.
bool ParseDriveList(const char* data, size_t length, os::System& sys, CDrive& out,
                    PeerFacts& facts);

// The text this program sends at trailer positions 16-19. A partner whose trailer carries it
// is a copy of this program and understands the stream's additions (the "not intact" entry);
// any other partner sees exactly the plain protocol.
inline constexpr char16_t kCapabilityTag[] = u"TDX1";
bool AnnouncesCapabilityTag(const PeerFacts& facts);

}  // namespace wire
