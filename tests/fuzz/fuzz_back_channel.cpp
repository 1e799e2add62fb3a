// Fuzzes the back-channel reader with a byte stream cut into reads of fuzzer-chosen sizes: the
// input is a series of reads, each a length byte and that many bytes. The words it finds,
// sent again each alone or all in one read, are found again unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "transfer/BackChannel.h"

namespace {

using fuzzcheck::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    wire::BackChannelReader reader;
    std::vector<wire::BackMessage> found;
    size_t fed = 0;
    size_t at = 0;
    while (at < size) {
        const size_t announced = data[at];
        ++at;
        const size_t length = std::min(announced, size - at);
        reader.Feed(bytes + at, length, found);
        at += length;
        fed += length;
        Check(reader.Held() <= wire::BackChannelReader::kMaxHeld);
    }
    Check(found.size() * 2 <= fed);

    std::string joined;
    wire::BackChannelReader alone;
    std::vector<wire::BackMessage> eachAlone;
    for (const wire::BackMessage& message : found) {
        const std::string word = wire::MakeBackWord(message.word, message.letter);
        joined += word;
        alone.Feed(word.data(), word.size(), eachAlone);
        Check(alone.Held() == 0);
    }
    Check(eachAlone == found);

    wire::BackChannelReader together;
    std::vector<wire::BackMessage> fromJoined;
    together.Feed(joined.data(), joined.size(), fromJoined);
    Check(fromJoined == found);
    Check(together.Held() == 0);
    return 0;
}
