// Fuzzes what the source makes of a short forward-channel read: command frames, joined
// frames, the error report and its hexadecimal path. What is recognised is rebuilt and must
// give the same bytes (hexadecimal digits compared without case).
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "transfer/CommandFrame.h"
#include "transfer/ErrorReport.h"
#include "transfer/HexPath.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    const std::string read(bytes, size);

    const auto report = wire::ParseErrorReport(bytes, size);
    Check(report.has_value() == wire::IsErrorReport(bytes, size));
    if (report && !report->empty()) {
        const std::string rebuilt = wire::MakeErrorReport(*report);
        Check(wire::ParseErrorReport(rebuilt.data(), rebuilt.size()) == report);
        Check(rebuilt.substr(wire::kFrameSize) == Upper(read.substr(wire::kFrameSize)));
    }

    const auto frame = wire::MatchFrame(bytes, size);
    Check(!frame || size == wire::kFrameSize);
    const auto frames = wire::SplitFrames(bytes, size);
    if (size == wire::kFrameSize) {
        Check(frames.size() == (frame ? 1u : 0u));
    } else if (!frames.empty()) {
        Check(!report);
        std::string joined;
        for (const wire::Command command : frames) {
            joined += wire::MakeFrame(command);
        }
        Check(joined == read);
    }

    if (const auto path = wire::HexToWide(bytes, size)) {
        Check(wire::WideToHex(*path) == Upper(read));
    }
    return 0;
}
