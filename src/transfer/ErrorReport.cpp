// Error report messages.
#include "transfer/ErrorReport.h"

#include "platform/SystemHelpers.h"
#include "transfer/CommandFrame.h"
#include "transfer/HexPath.h"

namespace wire {

std::string MakeErrorReport(std::u16string_view path) {
    if (path.empty()) {
        return std::string();
    }
    return MakeFrame(Command::SENDCPYERROR) + WideToHex(path);
}

bool IsErrorReport(const char* data, size_t length) {
    return data != nullptr && length > kFrameSize &&
           MatchFrame(data, kFrameSize) == Command::SENDCPYERROR;
}

std::optional<os::WString> ParseErrorReport(const char* data, size_t length) {
    if (!IsErrorReport(data, length)) {
        return std::nullopt;
    }
    return ReceivedHexToWide(data + kFrameSize, length - kFrameSize);
}

}  // namespace wire
