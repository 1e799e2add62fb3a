// Windows path handling for the simulated file system: parsing "X:\a\b" into drive and
// components the way Win32 normalises a non-\\?\ path, name validity, device names, the DOS
// wildcard rules of FindFirstFile, and the 8.3 short-name rules of NTFS.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "os/Types.h"

namespace sim {

// A parsed absolute path: drive letter plus components below the root (case as given).
struct SimPath {
    char16_t drive = 0;  // upper-case letter
    std::vector<os::WString> parts;
    bool trailingSeparator = false;  // the text ended in "\" or "/" after a component
    bool extended = false;           // given in the "\\?\X:\" form: MAX_PATH does not apply

    bool IsRoot() const { return parts.empty(); }
    os::WString Text() const;  // "C:\a\b", the root as "C:\"
};

enum class PathUse {
    Name,     // every component must be a valid file name
    Pattern,  // the last component may hold the wildcards '*' and '?'
};

// Windows' MAX_PATH and the shorter limit of CreateDirectory (room for an 8.3 name).
constexpr size_t kMaxPath = 260;
constexpr size_t kMaxDirectoryPath = 248;

// Parses and normalises `text`: "/" and "\" both separate, repeated separators collapse,
// trailing dots and blanks of each component are dropped, "." and ".." are resolved lexically
// and never climb above the root. Returns 0, or the Windows error code the call would give:
// 3 for relative and UNC paths or an unknown form, 123 for an invalid or reserved name, 206
// when the normalised path reaches MAX_PATH. An extended-length path "\\?\X:\..." has no
// MAX_PATH limit (up to 32,767 characters); "\\?\UNC\..." names no drive of this PC.
uint32_t ParsePath(std::u16string_view text, PathUse use, SimPath& out);

bool IsReservedDeviceName(std::u16string_view name);  // CON, NUL, COM1.txt ...
bool HasWildcards(std::u16string_view name);

// FindFirstFile matching of one name against a pattern, case-insensitive, with the DOS rules:
// "*" and "*.*" match every name; a '*' followed by '.' stops before the final dot; '?'
// matches one character, or none at the end of the name or before a dot; a '.' matches the
// end of a name that has no more dots.
bool MatchesPattern(std::u16string_view pattern, std::u16string_view name);

// True when `name` is already a valid 8.3 name (case-insensitive, as NTFS decides whether an
// alias is needed: "Desktop" and "README.TXT" get none).
bool IsValidShortName(std::u16string_view name);

// The 8.3 alias NTFS would give `name`: upper case, spaces and extra dots dropped, characters
// that are not allowed in a short name (and every non-ASCII one) as '_', at most six base
// characters before "~n", at most three for the extension. `taken` says whether a candidate
// already names a sibling; the counter grows until it does not (~1, ~2, ... ~10 with a shorter
// base).
os::WString MakeShortName(std::u16string_view name,
                          const std::function<bool(const os::WString&)>& taken);

}  // namespace sim
