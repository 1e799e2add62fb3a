// Text helpers used on both sides of the boundary: UTF-8/UTF-16 conversion, the case folding
// that Windows applies to file names and case-insensitive comparisons, and number formatting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "os/Types.h"

namespace os {

std::string ToUtf8(std::u16string_view text);
WString FromUtf8(std::string_view bytes);
// ASCII-only conversions (protocol words, numbers).
WString FromAscii(std::string_view text);
std::string ToAscii(std::u16string_view text);  // non-ASCII characters become '?'

// Upper-case mapping of one UTF-16 unit as Windows compares names: ASCII, Latin-1, Latin
// Extended-A pairs, Greek, Cyrillic and the full-width Latin letters.
char16_t FoldUpper(char16_t c);
char16_t FoldLower(char16_t c);
WString ToUpper(std::u16string_view text);
WString ToLower(std::u16string_view text);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix);

// The value of one hexadecimal digit (0-9, A-F, a-f), or -1.
int HexDigitValue(char c);

WString ToWString(int64_t value);
WString ToWStringUnsigned(uint64_t value);

}  // namespace os
