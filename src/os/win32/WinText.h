// Passing the system's UTF-16 strings to the wide Win32 API and back. On Windows wchar_t and
// char16_t are both UTF-16 units, so these are views, not conversions.
#pragma once

#include <cwchar>

#include "os/Types.h"

namespace os::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide strings are UTF-16");

inline const wchar_t* W(const WString& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Null when `text` is empty, for parameters where Windows treats null as "the default".
inline const wchar_t* WOrNull(const WString& text) {
    return text.empty() ? nullptr : W(text);
}

inline WString FromW(const wchar_t* text) {
    return text ? WString(reinterpret_cast<const char16_t*>(text)) : WString();
}

inline WString FromW(const wchar_t* text, size_t length) {
    return WString(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace os::win32
