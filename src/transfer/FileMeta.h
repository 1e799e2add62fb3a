// The 36-byte block after a file entry's path: three file times, the attributes and the size,
// as nine little-endian 32-bit values (each 64-bit value low half first).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace wire {

constexpr size_t kMetaSize = 36;

struct FileMeta {
    uint64_t creationTime = 0;  // Windows file times: 100 ns units since 1601-01-01 UTC
    uint64_t lastAccessTime = 0;
    uint64_t lastWriteTime = 0;
    uint32_t attributes = 0;  // Windows attribute bits
    uint64_t size = 0;        // exactly this many body bytes follow the block

    bool operator==(const FileMeta&) const = default;
};

std::string EncodeMeta(const FileMeta& meta);
// Reads the 36 bytes at `block`.
FileMeta DecodeMeta(const char* block);

}  // namespace wire
