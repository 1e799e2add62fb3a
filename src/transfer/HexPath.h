// Paths on the wire: the UTF-16LE code units of the path, each byte as two hexadecimal digits,
// low byte first ("C" is 4300, "\" is 5C00).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "os/Types.h"

namespace wire {

// Upper-case digits, four per code unit.
std::string WideToHex(std::u16string_view path);

// Decodes 4 * n digits (0-9, A-F, a-f) into n code units; any other length or character
// gives nullopt. No length limit beyond the input's: callers that need one check it.
std::optional<os::WString> HexToWide(const char* digits, size_t length);

}  // namespace wire
