// Fuzzes the destination's transfer-stream receiver over a simulated destination PC; the
// input format and the checks are in common/ReceiverFuzzCase.h, which a unit test also runs
// over this target's seed corpus (tests/fuzz/corpus/fuzz_receiver).
// Build note: unlike the other targets this one links the simulated file system: the fuzz
// build must compile tests/sim/*.cpp with the fuzz flags and link them into fuzz_receiver.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/ReceiverFuzzCase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!recvkit::RunReceiverFuzzCase(data, size)) {
        std::abort();
    }
    return 0;
}
