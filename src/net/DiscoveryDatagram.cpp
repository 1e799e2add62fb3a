// Writing and reading the announcement datagram.
#include "net/DiscoveryDatagram.h"

#include <algorithm>
#include <cstring>

namespace discovery {
namespace {

constexpr char kMagic[4] = {'T', 'D', 'X', 'D'};
constexpr uint8_t kVersion = 1;
constexpr uint8_t kFlagLeaving = 0x01;

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool IsNameUnit(char16_t c) {
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
        return false;
    }
    for (const char16_t bad : u"\\/:*?\"<>|") {
        if (bad != 0 && c == bad) {
            return false;
        }
    }
    return true;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\u3000';
}

bool IsComputerName(const os::WString& name) {
    if (name.empty() || IsBlank(name.front()) || IsBlank(name.back())) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (IsHighSurrogate(c)) {
            if (i + 1 == name.size() || !IsLowSurrogate(name[i + 1])) {
                return false;
            }
            ++i;
        } else if (IsLowSurrogate(c) || !IsNameUnit(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string WriteAnnouncement(const Announcement& announcement) {
    size_t length = std::min(announcement.name.size(), kMaxAnnouncedName);
    if (length < announcement.name.size() && IsLowSurrogate(announcement.name[length])) {
        --length;  // the pair's first half would be left alone
    }
    std::string out(kMagic, sizeof kMagic);
    out += static_cast<char>(kVersion);
    out += static_cast<char>(announcement.role);
    out += static_cast<char>(announcement.leaving ? kFlagLeaving : 0);
    out += static_cast<char>(length);
    for (int shift = 0; shift < 64; shift += 8) {
        out += static_cast<char>((announcement.instanceId >> shift) & 0xFF);
    }
    for (size_t i = 0; i < length; ++i) {
        out += static_cast<char>(announcement.name[i] & 0xFF);
        out += static_cast<char>(announcement.name[i] >> 8);
    }
    return out;
}

bool ParseAnnouncement(const uint8_t* data, size_t size, Announcement& out) {
    if (size < kHeaderBytes || size > kMaxDatagramBytes ||
        std::memcmp(data, kMagic, sizeof kMagic) != 0 || data[4] != kVersion ||
        data[5] > static_cast<uint8_t>(Role::Destination) || (data[6] & ~kFlagLeaving) != 0) {
        return false;
    }
    const size_t length = data[7];
    if (length == 0 || length > kMaxAnnouncedName || size != kHeaderBytes + 2 * length) {
        return false;
    }
    Announcement parsed;
    parsed.role = static_cast<Role>(data[5]);
    parsed.leaving = (data[6] & kFlagLeaving) != 0;
    for (int i = 7; i >= 0; --i) {
        parsed.instanceId = (parsed.instanceId << 8) | data[8 + i];
    }
    parsed.name.resize(length);
    for (size_t i = 0; i < length; ++i) {
        parsed.name[i] = static_cast<char16_t>(data[kHeaderBytes + 2 * i] |
                                               (data[kHeaderBytes + 2 * i + 1] << 8));
    }
    if (!IsComputerName(parsed.name)) {
        return false;
    }
    out = std::move(parsed);
    return true;
}

}  // namespace discovery
