// Error report messages.
#include "transfer/ErrorReport.h"

#include "transfer/CommandFrame.h"
#include "transfer/HexPath.h"

namespace wire {

std::string MakeErrorReport(std::u16string_view path) {
    if (path.empty()) {
        return std::string();
    }
    return MakeFrame(Command::SENDCPYERROR) + WideToHex(path);
}

}  // namespace wire
