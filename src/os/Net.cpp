// Portable helpers of the socket boundary.
#include "os/Net.h"

namespace os {

bool ParseDottedIPv4(std::string_view text, IPv4& address) {
    int part = 0;
    int value = -1;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            value = (value < 0 ? 0 : value * 10) + (c - '0');
            if (value > 255) {
                return false;
            }
        } else if (c == '.' && value >= 0 && part < 3) {
            address[static_cast<size_t>(part++)] = static_cast<uint8_t>(value);
            value = -1;
        } else {
            return false;
        }
    }
    if (part != 3 || value < 0) {
        return false;
    }
    address[3] = static_cast<uint8_t>(value);
    return true;
}

}  // namespace os
