// The destination's guard on paths that arrive from the peer: the base folder every received
// entry must land below, and the test that a received path stays strictly inside it.
#pragma once

#include <cstddef>
#include <string_view>

#include "os/Types.h"

// Longest path a transfer header can announce (its length byte), in UTF-16 code units.
constexpr size_t kMaxReceivedPathUnits = 255;

// True for exactly a drive letter A-Z or a-z, ":\" and "Ferrylo" (the name in any case).
bool IsValidBaseFolder(std::u16string_view text);

// True only when `path` names an entry strictly below `base` (a valid base folder) that
// Windows would open as written: `base` + "\" is a case-insensitive prefix, and every
// component after it is a plain name: not empty (a trailing "\" is refused too), not "." or
// "..", not a device name (CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, with or
// without an extension), not ending in a dot or a blank (Windows would strip them), and free
// of control characters and of : < > " / \ | ? *. Paths longer than kMaxReceivedPathUnits are
// refused.
bool IsSafeDestinationPath(std::u16string_view base, std::u16string_view path);

// The component test on its own: one name as it may appear below the base folder.
bool IsSafeComponent(std::u16string_view name);
