// The metadata block, written byte by byte so that the host's byte order never matters.
#include "transfer/FileMeta.h"

namespace wire {

namespace {

void Put32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFFu));
    }
}

void Put64(std::string& out, uint64_t value) {
    Put32(out, static_cast<uint32_t>(value));
    Put32(out, static_cast<uint32_t>(value >> 32));
}

uint32_t Get32(const char* p) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<uint8_t>(p[i]);
    }
    return value;
}

uint64_t Get64(const char* p) {
    return Get32(p) | (static_cast<uint64_t>(Get32(p + 4)) << 32);
}

}  // namespace

std::string EncodeMeta(const FileMeta& meta) {
    std::string out;
    out.reserve(kMetaSize);
    Put64(out, meta.creationTime);
    Put64(out, meta.lastAccessTime);
    Put64(out, meta.lastWriteTime);
    Put32(out, meta.attributes);
    Put64(out, meta.size);
    return out;
}

FileMeta DecodeMeta(const char* block) {
    FileMeta meta;
    meta.creationTime = Get64(block);
    meta.lastAccessTime = Get64(block + 8);
    meta.lastWriteTime = Get64(block + 16);
    meta.attributes = Get32(block + 24);
    meta.size = Get64(block + 28);
    return meta;
}

}  // namespace wire
