// Command frames of the forward channel: twelve "D" and four decimal digits, 16 bytes, sent
// alone. A frame is recognised by its last four characters only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace wire {

constexpr size_t kFrameSize = 16;

// Each command's value is the number its four digits spell in decimal.
enum class Command : uint16_t {
    REQREMOTEDRIVE = 1,
    GOTREMOTEDRIVE = 2,
    SENDDIRBEGIN = 3,
    SENDFILEBEGIN = 4,
    SENDMYDRIVES = 5,
    REQALLFILES = 6,
    REQALLFILESOK = 16,
    REQBYTEFILESEND = 21,
    SENDENDOFFILE = 31,
    SENDFULLDRIVE = 51,
    SENDCOUNTBEGIN = 60,
    GOTCOUNTBEGIN = 61,
    GOTENDOFCOPY = 70,
    SENDERROFCOPY = 71,
    GOTERROFCOPY = 72,
    SENDCPYERROR = 73,
    GOTNOERROFCOPY = 74,
    CMDRECVOK = 1111,
};

// Every command the receiver knows, in code order.
extern const Command kAllCommands[18];

// "DDDDDDDDDDDD" followed by the command's four digits.
std::string MakeFrame(Command command);

// d12 * 4096 + d13 * 256 + d14 * 16 + d15 of the 16 bytes at `frame`, each d being its
// character minus '0' (characters taken as signed, as the peer's compiler does).
int FrameValue(const char* frame);

// The command of a read of exactly 16 bytes whose FrameValue equals a known frame's value.
std::optional<Command> MatchFrame(const char* data, size_t length);

}  // namespace wire
