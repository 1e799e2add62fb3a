// Drive list message: building from a drive table and parsing into one.
#include "transfer/DriveListMessage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "os/System.h"
#include "os/Text.h"
#include "platform/Drive.h"
#include "platform/SystemHelpers.h"

namespace wire {

namespace {

constexpr size_t kRootSize = 3;
constexpr size_t kSizeDigits = 20;
constexpr char16_t kCdRomType[] = u"CDROM";
constexpr char16_t kNtfsName[] = u"NTFS";
constexpr int kKnownMailYears[] = {2008, 2009, 2011, 2012};

// Character positions in the trailer, counted from the character after "#".
constexpr size_t kPosVersion = 0;
constexpr size_t kPosFlag5 = 5;
constexpr size_t kPosMailFlag = 7;
constexpr size_t kPosFlag9 = 9;
constexpr size_t kPosYear = 11;
constexpr size_t kPosText = 16;
constexpr size_t kPosFlag21 = 21;
constexpr size_t kPosFlag23 = 23;
constexpr size_t kPosUserName = 25;
constexpr size_t kFieldWidth = 4;  // version, year and text

bool IsKnownYear(int year) {
    for (const int known : kKnownMailYears) {
        if (year == known) {
            return true;
        }
    }
    return false;
}

void AppendSize(std::string& out, int32_t megabytes) {
    char digits[kSizeDigits + 1];
    std::snprintf(digits, sizeof digits, "%020lld",
                  static_cast<long long>(megabytes < 0 ? 0 : megabytes));
    out.append(digits, kSizeDigits);
}

// Twenty decimal digits; anything else reads as 0. Saturates at the table's 32-bit maximum.
int32_t ReadSize(const char* field) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    for (size_t i = 0; i < kSizeDigits; ++i) {
        if (field[i] < '0' || field[i] > '9') {
            return 0;
        }
        value = value * 10 + (field[i] - '0');
        if (value > kMax) {
            value = kMax;
        }
    }
    return static_cast<int32_t>(value);
}

char Flag(bool value) {
    return value ? '1' : '0';
}

void ParseTrailer(const char* t, size_t n, os::System& sys, PeerFacts& facts) {
    facts = PeerFacts();
    // The version code: the hexadecimal digits at its four positions, up to the first other.
    for (size_t i = kPosVersion; i < kPosVersion + kFieldWidth && i < n; ++i) {
        const int digit = os::HexDigitValue(t[i]);
        if (digit < 0) {
            break;
        }
        facts.m_nRemoteOSVer = facts.m_nRemoteOSVer * 16 + digit;
    }
    auto flag = [&](size_t pos) { return pos < n && t[pos] == '1'; };
    facts.m_bRemoteFlag5 = flag(kPosFlag5);
    facts.m_bRemoteOutlookEx = flag(kPosMailFlag);
    facts.m_bRemoteFlag9 = flag(kPosFlag9);
    facts.m_bRemoteFlag21 = flag(kPosFlag21);
    facts.m_bRemoteFlag23 = flag(kPosFlag23);
    if (n >= kPosYear + kFieldWidth) {
        for (const int year : kKnownMailYears) {
            if (std::to_string(year) == std::string(t + kPosYear, kFieldWidth)) {
                facts.m_nRemoteMailYear = year;
            }
        }
    }
    if (n >= kPosText + kFieldWidth && std::string(t + kPosText, kFieldWidth) != "    ") {
        facts.m_sRemoteText = ReceivedTextToWide(sys, t + kPosText, kFieldWidth);
    }
    if (n > kPosUserName) {
        facts.m_sRemoteUserName = ReceivedTextToWide(sys, t + kPosUserName, n - kPosUserName);
    }
}

}  // namespace

std::string MakeDriveList(const CDrive& drives, const PeerFacts& facts, os::System& sys) {
    std::string out;
    out.reserve(drives.Count() * kDriveRecordSize + 64);
    for (int i = 0; i < drives.Count(); ++i) {
        std::string root = sys.WideToAnsi(drives.GetRoot(i));
        root.resize(kRootSize, '\0');
        out += root;
        out += Flag(!drives.GetType(i).empty());
        out += Flag(!os::EqualsNoCase(drives.GetFileSystem(i), kNtfsName));
        AppendSize(out, drives.GetFreeMB(i));
        AppendSize(out, drives.GetTotalMB(i));
    }

    char head[32];
    std::snprintf(head, sizeof head, "#%04X,%c,%c,%c,",
                  static_cast<unsigned>(facts.m_nRemoteOSVer) & 0xFFFFu, Flag(facts.m_bRemoteFlag5),
                  Flag(facts.m_bRemoteOutlookEx), Flag(facts.m_bRemoteFlag9));
    out += head;
    out += IsKnownYear(facts.m_nRemoteMailYear) ? std::to_string(facts.m_nRemoteMailYear)
                                                : std::string(kFieldWidth, ' ');
    out += ',';
    std::string text = sys.WideToAnsi(facts.m_sRemoteText);
    text.resize(std::min(text.size(), kFieldWidth));
    out += std::string(kFieldWidth - text.size(), ' ') + text;
    out += ',';
    out += Flag(facts.m_bRemoteFlag21);
    out += ',';
    out += Flag(facts.m_bRemoteFlag23);
    out += ',';
    out += sys.WideToAnsi(facts.m_sRemoteUserName);
    return out;
}

bool ParseDriveList(const char* data, size_t length, os::System& sys, CDrive& out,
                    PeerFacts& facts) {
    out.Clear();
    if (data == nullptr) {
        return false;
    }
    const auto* hash = static_cast<const char*>(std::memchr(data, '#', length));
    const size_t recordsEnd = hash != nullptr ? static_cast<size_t>(hash - data) : length;
    for (size_t at = 0; at + kDriveRecordSize <= recordsEnd; at += kDriveRecordSize) {
        const char* record = data + at;
        const os::WString root = ReceivedTextToWide(sys, record, kRootSize);
        const os::WString type = record[3] == '1' ? os::WString(kCdRomType) : os::WString();
        const os::WString fileSystem = record[4] == '1' ? kNonNtfsName : kNtfsName;
        if (!out.AddDrive(root, type, ReadSize(record + 5), ReadSize(record + 5 + kSizeDigits),
                          fileSystem)) {
            break;  // a 27th drive: the table holds one per letter
        }
    }
    if (hash == nullptr) {
        return false;
    }
    const size_t trailerStart = recordsEnd + 1;
    ParseTrailer(data + trailerStart, length - trailerStart, sys, facts);
    return true;
}

bool AnnouncesCapabilityTag(const PeerFacts& facts) {
    return facts.m_sRemoteText == kCapabilityTag;
}

}  // namespace wire
