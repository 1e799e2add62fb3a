// When a message without a terminator looks whole.
#include "transfer/QuietRule.h"

#include "transfer/DriveListMessage.h"

namespace wire {

namespace {

// "VVVV,f,m,f,YYYY,TTTT,f,f," after "#": the commas stand at fixed places.
constexpr size_t kTrailerFixed = 25;
constexpr size_t kTrailerCommas[] = {4, 6, 8, 10, 15, 20, 22, 24};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool DriveListLooksWhole(std::string_view received) {
    const size_t hash = received.find('#');
    if (hash == std::string_view::npos || hash % kDriveRecordSize != 0) {
        return false;
    }
    const std::string_view trailer = received.substr(hash + 1);
    if (trailer.size() < kTrailerFixed) {
        return false;
    }
    for (const size_t comma : kTrailerCommas) {
        if (trailer[comma] != ',') {
            return false;
        }
    }
    return true;
}

bool FolderListLooksWhole(std::string_view received) {
    const size_t bar = received.rfind('|');
    if (bar == std::string_view::npos || bar + 1 == received.size()) {
        return false;
    }
    for (size_t i = bar + 1; i < received.size(); ++i) {
        if (!IsDigit(received[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace wire
