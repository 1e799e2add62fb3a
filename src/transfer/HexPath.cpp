// Hexadecimal path text.
#include "transfer/HexPath.h"

#include "os/Text.h"

namespace wire {

std::string WideToHex(std::u16string_view path) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size() * 4);
    for (const char16_t unit : path) {
        const unsigned low = unit & 0xFFu;
        const unsigned high = (unit >> 8) & 0xFFu;
        out.push_back(kDigits[low >> 4]);
        out.push_back(kDigits[low & 0xF]);
        out.push_back(kDigits[high >> 4]);
        out.push_back(kDigits[high & 0xF]);
    }
    return out;
}

std::optional<os::WString> HexToWide(const char* digits, size_t length) {
    if (length % 4 != 0 || (digits == nullptr && length != 0)) {
        return std::nullopt;
    }
    os::WString out;
    out.reserve(length / 4);
    for (size_t i = 0; i < length; i += 4) {
        int value[4];
        for (int k = 0; k < 4; ++k) {
            value[k] = os::HexDigitValue(digits[i + k]);
            if (value[k] < 0) {
                return std::nullopt;
            }
        }
        const int low = value[0] * 16 + value[1];
        const int high = value[2] * 16 + value[3];
        out.push_back(static_cast<char16_t>(low | (high << 8)));
    }
    return out;
}

}  // namespace wire
