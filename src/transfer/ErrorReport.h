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

// True for a read that is not exactly 16 bytes and whose first 16 bytes are the SENDCPYERROR
// frame (its last four characters compared as for any frame).
bool IsErrorReport(const char* data, size_t length);

// The reported path of an error report, nullopt for any other read. The path is decoded as
// every received path field is (ReceivedHexToWide): empty when it is not 4 * n valid digits
// or longer than 1040 digits.
std::optional<os::WString> ParseErrorReport(const char* data, size_t length);

}  // namespace wire
