// Fuzzes what the source makes of its forward channel outside the data states: command frames
// and error reports, read in pieces the input chooses. Frames come out the same however they
// are cut, reports rebuild to themselves, and nothing is held back once the connection is
// quiet. Byte 0 chooses the piece size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "transfer/ErrorReport.h"
#include "transfer/ForwardReader.h"

namespace {

using fuzzcheck::Check;

// Each message as "R" and the reported path, or "F" and the frame's digits.
std::vector<std::u16string> Read(const char* data, size_t size, size_t piece) {
    wire::ForwardReader reader;
    std::vector<std::u16string> out;
    const auto take = [&](bool settled) {
        while (auto message = reader.Next(settled)) {
            if (message->kind == wire::ForwardMessage::Kind::ErrorReport) {
                out.push_back(u"R" + message->path);
            } else {
                out.push_back(u"F" + std::u16string(1, static_cast<char16_t>(message->command)));
            }
        }
    };
    for (size_t at = 0; at < size; at += piece) {
        reader.Feed(data + at, std::min(piece, size - at));
        take(false);
    }
    take(true);
    Check(!reader.HasPending());
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const auto* bytes = reinterpret_cast<const char*>(data + 1);
    const size_t length = size - 1;
    const auto whole = Read(bytes, length, length == 0 ? 1 : length);
    // Frames alone come out the same however they are cut.
    bool framesOnly = length % wire::kFrameSize == 0;
    for (size_t at = 0; framesOnly && at < length; at += wire::kFrameSize) {
        const auto command = wire::MatchFrame(bytes + at, wire::kFrameSize);
        framesOnly = command && *command != wire::Command::SENDCPYERROR &&
                     std::string(bytes + at, 12) == std::string(12, 'D');
    }
    if (framesOnly) {
        Check(Read(bytes, length, 1 + data[0] % 32) == whole);
    }
    // A report reads back as itself, unless its path holds lone surrogates: only their
    // digits can look like a frame inside the path.
    for (const auto& message : whole) {
        if (message[0] != u'R' || message.size() == 1) {
            continue;
        }
        const std::u16string path = message.substr(1);
        bool surrogate = false;
        for (char16_t c : path) {
            surrogate = surrogate || (c >= 0xD800 && c <= 0xDFFF);
        }
        if (!surrogate) {
            const std::string rebuilt = wire::MakeErrorReport(path);
            Check(Read(rebuilt.data(), rebuilt.size(), rebuilt.size()) ==
                  std::vector<std::u16string>{message});
        }
    }
    return 0;
}
