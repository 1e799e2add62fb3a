// Transfer headers: the four bytes "%", "?", kind, value that open each entry of the transfer
// stream, and the entries the sender builds from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "transfer/FileMeta.h"

namespace wire {

constexpr size_t kHeaderSize = 4;
// Longest path (in UTF-16 code units) a file or directory entry can carry: byte 3 holds it.
constexpr size_t kMaxEntryPathLength = 255;

enum class EntryKind : uint8_t {
    File = 1,          // header, hexadecimal path, metadata block, body
    Directory = 2,     // header, hexadecimal path
    EndOfPathLog = 4,  // header alone; byte 3 is the destination drive letter
    ResumeMarker = 5,  // header alone; byte 3 is 0
    // Between two copies of this program only (both announced the capability tag): header
    // and hexadecimal path. The named file or folder did not leave the source intact.
    NotIntact = 6,
};

// Header, hexadecimal path and metadata block; the body follows separately. Empty when the
// path is empty or longer than kMaxEntryPathLength.
std::string MakeFileEntry(std::u16string_view path, const FileMeta& meta);
// The longest file entry: four hexadecimal digits per code unit of the path, then the
// metadata block.
constexpr size_t kMaxFileEntrySize = kHeaderSize + 4 * kMaxEntryPathLength + kMetaSize;
// Header and hexadecimal path; empty under the same conditions.
std::string MakeDirectoryEntry(std::u16string_view path);
// The letter is sent as it is: lower case for an environment copy, upper case otherwise.
std::string MakeEndOfPathLog(char driveLetter);
std::string MakeResumeMarker();
// Header and hexadecimal path of a "not intact" entry; empty under the conditions of a file
// entry.
std::string MakeNotIntactEntry(std::u16string_view path);

enum class HeaderCheck {
    Incomplete,   // no error in the bytes so far, fewer than four
    Complete,     // four valid bytes
    NoPercent,    // byte 0 is not "%"
    NoQuestion,   // byte 1 is not "?"
    UnknownKind,  // four bytes held and byte 2 is not 1, 2, 4 or 5
};

// Checks the first `count` bytes of a header (any count; only the first four are looked at),
// so a receiver can check a header that arrives split across reads.
HeaderCheck CheckHeader(const char* bytes, size_t count);

// Kind and byte 3 of a header for which CheckHeader gave Complete.
EntryKind HeaderKind(const char* header);
uint8_t HeaderValue(const char* header);

}  // namespace wire
