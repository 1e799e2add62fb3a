// What a fuzz target insists on: a broken condition ends the run, so the fuzzer keeps the input.
#pragma once

#include <cstdlib>

namespace fuzzcheck {

inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace fuzzcheck
