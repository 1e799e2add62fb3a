// Transfer headers and the entries built from them.
#include "transfer/TransferHeader.h"

#include "transfer/FileMeta.h"
#include "transfer/HexPath.h"

namespace wire {

namespace {

std::string Header(EntryKind kind, uint8_t value) {
    return std::string{'%', '?', static_cast<char>(kind), static_cast<char>(value)};
}

bool SendablePath(std::u16string_view path) {
    return !path.empty() && path.size() <= kMaxEntryPathLength;
}

}  // namespace

std::string MakeFileEntry(std::u16string_view path, const FileMeta& meta) {
    if (!SendablePath(path)) {
        return std::string();
    }
    return Header(EntryKind::File, static_cast<uint8_t>(path.size())) + WideToHex(path) +
           EncodeMeta(meta);
}

std::string MakeDirectoryEntry(std::u16string_view path) {
    if (!SendablePath(path)) {
        return std::string();
    }
    return Header(EntryKind::Directory, static_cast<uint8_t>(path.size())) + WideToHex(path);
}

std::string MakeEndOfPathLog(char driveLetter) {
    return Header(EntryKind::EndOfPathLog, static_cast<uint8_t>(driveLetter));
}

std::string MakeResumeMarker() {
    return Header(EntryKind::ResumeMarker, 0);
}

std::string MakeNotIntactEntry(std::u16string_view path) {
    if (!SendablePath(path)) {
        return std::string();
    }
    return Header(EntryKind::NotIntact, static_cast<uint8_t>(path.size())) + WideToHex(path);
}

HeaderCheck CheckHeader(const char* bytes, size_t count) {
    if (count >= 1 && bytes[0] != '%') {
        return HeaderCheck::NoPercent;
    }
    if (count >= 2 && bytes[1] != '?') {
        return HeaderCheck::NoQuestion;
    }
    if (count < kHeaderSize) {
        return HeaderCheck::Incomplete;
    }
    // The kind is judged with all four bytes held, as the receiver acts on it only then.
    const auto kind = static_cast<uint8_t>(bytes[2]);
    if (kind != 1 && kind != 2 && kind != 4 && kind != 5) {
        return HeaderCheck::UnknownKind;
    }
    return HeaderCheck::Complete;
}

EntryKind HeaderKind(const char* header) {
    return static_cast<EntryKind>(static_cast<uint8_t>(header[2]));
}

uint8_t HeaderValue(const char* header) {
    return static_cast<uint8_t>(header[3]);
}

}  // namespace wire
