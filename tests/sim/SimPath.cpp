// Path parsing, name rules, DOS wildcard matching and 8.3 aliases of the simulated file system.
#include "sim/SimPath.h"

#include "os/Text.h"

namespace sim {
namespace {

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

bool IsInvalidNameChar(char16_t c) {
    return c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' ||
           c == u'*';
}

// Win32 drops trailing dots and blanks of a component ("name. " is "name").
os::WString StripTrailingDotsAndBlanks(std::u16string_view part) {
    size_t end = part.size();
    while (end > 0 && (part[end - 1] == u'.' || part[end - 1] == u' ')) {
        --end;
    }
    return os::WString(part.substr(0, end));
}

bool MatchFrom(std::u16string_view p, std::u16string_view n) {
    if (p.empty()) {
        return n.empty();
    }
    const char16_t c = p[0];
    const std::u16string_view restP = p.substr(1);
    if (c == u'*') {
        // A '*' followed by '.' (DOS_STAR) never swallows the final dot of the name.
        const bool dosStar = restP.size() > 0 && restP[0] == u'.';
        const size_t lastDot = n.rfind(u'.');
        for (size_t k = 0; k <= n.size(); ++k) {
            if (dosStar && lastDot != std::u16string_view::npos && k > lastDot) {
                break;
            }
            if (MatchFrom(restP, n.substr(k))) {
                return true;
            }
        }
        return false;
    }
    if (c == u'?') {
        if (!n.empty() && MatchFrom(restP, n.substr(1))) {
            return true;
        }
        // DOS_QM: matches nothing at the end of the name or before a dot.
        return (n.empty() || n[0] == u'.') && MatchFrom(restP, n);
    }
    if (c == u'.') {
        if (!n.empty() && n[0] == u'.' && MatchFrom(restP, n.substr(1))) {
            return true;
        }
        // DOS_DOT: matches the end of a name.
        return n.empty() && MatchFrom(restP, n);
    }
    return !n.empty() && n[0] == c && MatchFrom(restP, n.substr(1));
}

bool IsShortNameChar(char16_t c) {
    if (c <= 0x20 || c >= 0x7F) {
        return false;
    }
    return std::u16string_view(u"\"*+,/:;<=>?[\\]|.").find(c) == std::u16string_view::npos;
}

// The characters of `part` an 8.3 alias keeps, upper case, at most `limit` of them.
os::WString CleanForShortName(std::u16string_view part, size_t limit) {
    os::WString out;
    for (char16_t c : part) {
        if (out.size() == limit) {
            break;
        }
        if (c == u' ' || c == u'.') {
            continue;
        }
        const char16_t up = os::FoldUpper(c);
        out.push_back(IsShortNameChar(up) ? up : u'_');
    }
    return out;
}

}  // namespace

os::WString SimPath::Text() const {
    os::WString out{drive, u':', u'\\'};
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            out.push_back(u'\\');
        }
        out += parts[i];
    }
    return out;
}

uint32_t ParsePath(std::u16string_view text, PathUse use, SimPath& out) {
    out = SimPath{};
    constexpr std::u16string_view kExtended = u"\\\\?\\";
    constexpr size_t kMaxExtendedPath = 32767;
    if (text.substr(0, kExtended.size()) == kExtended) {
        const std::u16string_view rest = text.substr(kExtended.size());
        if (rest.size() < 3 || rest[1] != u':' || rest[2] != u'\\') {
            return os::kErrPathNotFound;  // "\\?\UNC\server\share" and volume names
        }
        const uint32_t err = ParsePath(rest.substr(0, 3), use, out);
        if (err != os::kErrSuccess && err != os::kErrFilenameTooLong) {
            return err;
        }
        SimPath tail;
        // The components are parsed as a short path would be, a piece at a time, since only
        // the length limit differs.
        size_t start = 3;
        while (start < rest.size()) {
            size_t end = rest.find(u'\\', start);
            if (end == std::u16string_view::npos) {
                end = rest.size();
            }
            if (end > start) {
                os::WString piece(rest.substr(0, 3));
                piece += rest.substr(start, end - start);
                const bool last = end == rest.size();
                const uint32_t partErr = ParsePath(piece, last ? use : PathUse::Name, tail);
                if (partErr != os::kErrSuccess) {
                    return partErr;
                }
                out.parts.insert(out.parts.end(), tail.parts.begin(), tail.parts.end());
            }
            start = end + 1;
        }
        out.trailingSeparator = !out.parts.empty() && rest.size() > 3 && rest.back() == u'\\';
        out.extended = true;
        return out.Text().size() > kMaxExtendedPath ? os::kErrFilenameTooLong : os::kErrSuccess;
    }
    // "\\server\share" and "\\.\device" name no drive of this PC.
    if (text.size() < 2 || IsSeparator(text[0]) || text[1] != u':') {
        return os::kErrPathNotFound;
    }
    const char16_t letter = os::FoldUpper(text[0]);
    if (letter < u'A' || letter > u'Z') {
        return os::kErrPathNotFound;
    }
    const std::u16string_view rest = text.substr(2);
    if (!rest.empty() && !IsSeparator(rest[0])) {
        return os::kErrPathNotFound;  // drive-relative: there is no current folder here
    }
    out.drive = letter;

    std::vector<std::u16string_view> raw;
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = start;
        while (end < rest.size() && !IsSeparator(rest[end])) {
            ++end;
        }
        if (end > start) {
            raw.push_back(rest.substr(start, end - start));
        }
        start = end + 1;
    }
    const bool endsWithSeparator = rest.size() > 1 && IsSeparator(rest.back());

    for (size_t i = 0; i < raw.size(); ++i) {
        const std::u16string_view part = raw[i];
        const bool last = i + 1 == raw.size();
        const bool wildcardsAllowed = use == PathUse::Pattern && last;
        if (part == u".") {
            continue;
        }
        if (part == u"..") {
            if (!out.parts.empty()) {
                out.parts.pop_back();
            }
            continue;
        }
        // A pattern keeps its trailing dot: "*." means "names without an extension".
        os::WString name = wildcardsAllowed && HasWildcards(part)
                               ? os::WString(part)
                               : StripTrailingDotsAndBlanks(part);
        if (name.empty()) {
            continue;
        }
        for (char16_t c : name) {
            if (IsInvalidNameChar(c) && !(wildcardsAllowed && (c == u'*' || c == u'?'))) {
                return os::kErrInvalidName;
            }
        }
        if (!HasWildcards(name) && IsReservedDeviceName(name)) {
            return os::kErrInvalidName;
        }
        out.parts.push_back(std::move(name));
    }
    out.trailingSeparator =
        endsWithSeparator && !out.parts.empty() && raw.back() != u"." && raw.back() != u"..";
    if (out.Text().size() >= kMaxPath) {
        return os::kErrFilenameTooLong;
    }
    return os::kErrSuccess;
}

bool IsReservedDeviceName(std::u16string_view name) {
    size_t end = name.find(u'.');
    if (end == std::u16string_view::npos) {
        end = name.size();
    }
    while (end > 0 && name[end - 1] == u' ') {
        --end;
    }
    const os::WString base = os::ToUpper(name.substr(0, end));
    if (base == u"CON" || base == u"PRN" || base == u"AUX" || base == u"NUL") {
        return true;
    }
    return base.size() == 4 && (base.starts_with(u"COM") || base.starts_with(u"LPT")) &&
           base[3] >= u'1' && base[3] <= u'9';
}

bool HasWildcards(std::u16string_view name) {
    return name.find_first_of(u"*?") != std::u16string_view::npos;
}

bool MatchesPattern(std::u16string_view pattern, std::u16string_view name) {
    if (pattern == u"*" || pattern == u"*.*") {
        return true;
    }
    return MatchFrom(os::ToUpper(pattern), os::ToUpper(name));
}

bool IsValidShortName(std::u16string_view name) {
    if (name.empty() || name.size() > 12) {
        return false;
    }
    const size_t dot = name.find(u'.');
    if (dot != name.rfind(u'.')) {
        return false;
    }
    const std::u16string_view base = name.substr(0, dot);
    const std::u16string_view ext =
        dot == std::u16string_view::npos ? std::u16string_view{} : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3 ||
        (dot != std::u16string_view::npos && ext.empty())) {
        return false;
    }
    for (char16_t c : base) {
        if (!IsShortNameChar(c)) {
            return false;
        }
    }
    for (char16_t c : ext) {
        if (!IsShortNameChar(c)) {
            return false;
        }
    }
    return true;
}

os::WString MakeShortName(std::u16string_view name,
                          const std::function<bool(const os::WString&)>& taken) {
    size_t first = 0;
    while (first < name.size() && name[first] == u'.') {
        ++first;
    }
    const std::u16string_view body = name.substr(first);
    const size_t lastDot = body.rfind(u'.');
    const std::u16string_view basePart =
        lastDot == std::u16string_view::npos ? body : body.substr(0, lastDot);
    const std::u16string_view extPart =
        lastDot == std::u16string_view::npos ? std::u16string_view{} : body.substr(lastDot + 1);

    os::WString base = CleanForShortName(basePart, 8);
    if (base.empty()) {
        base = u"_";
    }
    const os::WString ext = CleanForShortName(extPart, 3);
    for (unsigned n = 1;; ++n) {
        const os::WString tail = u"~" + os::ToWStringUnsigned(n);
        os::WString candidate = base.substr(0, 8 - tail.size()) + tail;
        if (!ext.empty()) {
            candidate += u"." + ext;
        }
        if (!taken(candidate)) {
            return candidate;
        }
    }
}

}  // namespace sim
