// How long the connection must stay quiet before a message without a terminator (the drive
// list, the folder list, a SENDCPYERROR that may be followed by a path) counts as complete.
// A partner sends nothing more until it is answered, so a message that is visibly whole needs
// only a moment; anything else waits long enough for a TCP retransmission inside it.
#pragma once

#include <string_view>

namespace wire {

constexpr unsigned kQuietWholeMs = 30;    // the message looks whole
constexpr unsigned kQuietPauseMs = 3000;  // it may still be arriving

// Whole records, then "#" and the trailer through its fixed fields (the user name, last and
// of any length, may be empty).
bool DriveListLooksWhole(std::string_view received);
// "|" and then the decimal file count, and nothing after it.
bool FolderListLooksWhole(std::string_view received);

}  // namespace wire
