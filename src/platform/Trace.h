// Trace points: a text naming the step and at most one value. The sink writes nothing;
// no behaviour may depend on a trace.
#pragma once

#include <cstdint>

#include "os/Types.h"

inline void Trace(const char16_t* /*text*/) {}
inline void Trace(const char16_t* /*text*/, int64_t /*value*/) {}
inline void Trace(const char16_t* /*text*/, const os::WString& /*value*/) {}
