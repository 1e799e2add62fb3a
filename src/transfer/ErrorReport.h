// The error report of the destination: the SENDCPYERROR frame followed at once by the
// hexadecimal path of the entry that failed. A bare SENDCPYERROR frame is a different message
// (stop the copy), so a report never has an empty path.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "os/Types.h"

namespace wire {

// Empty when the path is empty: the bare frame would stop the copy instead.
std::string MakeErrorReport(std::u16string_view path);

}  // namespace wire
