// Received paths are written to exactly as the peer sent them, so this guard is all that keeps
// a hostile or confused peer from writing outside the destination's base folder.
#include "transfer/PathGuard.h"

#include "os/Text.h"

namespace {

constexpr std::u16string_view kBaseName = u"Ferrylo";

bool IsAsciiLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsForbiddenChar(char16_t c) {
    if (c < 0x20) {
        return true;
    }
    switch (c) {
        case u':':
        case u'<':
        case u'>':
        case u'"':
        case u'/':
        case u'\\':
        case u'|':
        case u'?':
        case u'*':
            return true;
        default:
            return false;
    }
}

// Windows maps these names to devices in every folder, whatever follows the first dot and
// whatever blanks precede it ("nul .txt" is NUL too). The superscript digits count as digits.
bool IsDeviceName(std::u16string_view name) {
    std::u16string_view stem = name.substr(0, name.find(u'.'));
    while (!stem.empty() && stem.back() == u' ') {
        stem.remove_suffix(1);
    }
    if (os::EqualsNoCase(stem, u"CON") || os::EqualsNoCase(stem, u"PRN") ||
        os::EqualsNoCase(stem, u"AUX") || os::EqualsNoCase(stem, u"NUL") ||
        os::EqualsNoCase(stem, u"CONIN$") || os::EqualsNoCase(stem, u"CONOUT$")) {
        return true;
    }
    if (stem.size() != 4) {
        return false;
    }
    const std::u16string_view prefix = stem.substr(0, 3);
    if (!os::EqualsNoCase(prefix, u"COM") && !os::EqualsNoCase(prefix, u"LPT")) {
        return false;
    }
    const char16_t digit = stem[3];
    return (digit >= u'0' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' ||
           digit == u'\u00B3';
}

}  // namespace

bool IsValidBaseFolder(std::u16string_view text) {
    return text.size() == 3 + kBaseName.size() && IsAsciiLetter(text[0]) && text[1] == u':' &&
           text[2] == u'\\' && os::EqualsNoCase(text.substr(3), kBaseName);
}

bool IsSafeComponent(std::u16string_view name) {
    if (name.empty() || name == u"." || name == u"..") {
        return false;
    }
    if (name.back() == u'.' || name.back() == u' ') {
        return false;
    }
    for (char16_t c : name) {
        if (IsForbiddenChar(c)) {
            return false;
        }
    }
    return !IsDeviceName(name);
}

bool IsSafeDestinationPath(std::u16string_view base, std::u16string_view path) {
    if (!IsValidBaseFolder(base) || path.size() > kMaxReceivedPathUnits) {
        return false;
    }
    if (path.size() <= base.size() + 1 || !os::StartsWithNoCase(path, base) ||
        path[base.size()] != u'\\') {
        return false;
    }
    std::u16string_view rest = path.substr(base.size() + 1);
    for (;;) {
        const size_t sep = rest.find(u'\\');
        if (!IsSafeComponent(rest.substr(0, sep))) {
            return false;
        }
        if (sep == std::u16string_view::npos) {
            return true;
        }
        rest.remove_prefix(sep + 1);
    }
}
