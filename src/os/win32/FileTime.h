// FILETIME <-> the boundary's 64-bit count of 100 ns units since 1601-01-01 UTC.
#pragma once

#include "os/win32/WinApi.h"

#include <cstdint>

namespace os::win32 {

inline uint64_t FromFileTime(const FILETIME& ft) {
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

inline FILETIME ToFileTime(uint64_t value) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(value & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return ft;
}

}  // namespace os::win32
