// Fuzzes the forward dispatcher of the main window on a simulated PC; the case and its checks
// are in common/DispatcherFuzzCase.h.
#include <cstdlib>

#include "common/DispatcherFuzzCase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!dispatchkit::RunDispatcherFuzzCase(data, size)) {
        std::abort();
    }
    return 0;
}
