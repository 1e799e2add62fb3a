// Command frames: building and recognising.
#include "transfer/CommandFrame.h"

#include <cstdio>
#include <cstring>

namespace wire {

const Command kAllCommands[18] = {
    Command::REQREMOTEDRIVE, Command::GOTREMOTEDRIVE,  Command::SENDDIRBEGIN,
    Command::SENDFILEBEGIN,  Command::SENDMYDRIVES,    Command::REQALLFILES,
    Command::REQALLFILESOK,  Command::REQBYTEFILESEND, Command::SENDENDOFFILE,
    Command::SENDFULLDRIVE,  Command::SENDCOUNTBEGIN,  Command::GOTCOUNTBEGIN,
    Command::GOTENDOFCOPY,   Command::SENDERROFCOPY,   Command::GOTERROFCOPY,
    Command::SENDCPYERROR,   Command::GOTNOERROFCOPY,  Command::CMDRECVOK,
};

namespace {

// The value FrameValue gives for a command's own frame: its digits read in base 16.
int KnownValue(Command command) {
    const int code = static_cast<int>(command);
    return (code / 1000) * 4096 + (code / 100 % 10) * 256 + (code / 10 % 10) * 16 + code % 10;
}

std::optional<Command> CommandOfValue(int value) {
    // Decimal digits read in base 16 never collide, so at most one known frame matches.
    // Other characters also produce values ("005@" gives the value of "0060"); the peer
    // compares the same way and a peer that follows the protocol sends digits only.
    for (Command command : kAllCommands) {
        if (KnownValue(command) == value) {
            return command;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string MakeFrame(Command command) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", static_cast<int>(command) % 10000);
    return std::string(12, 'D') + digits;
}

int FrameValue(const char* frame) {
    auto digit = [&](int i) { return static_cast<int>(static_cast<signed char>(frame[i])) - '0'; };
    return digit(12) * 4096 + digit(13) * 256 + digit(14) * 16 + digit(15);
}

std::optional<Command> MatchFrame(const char* data, size_t length) {
    if (data == nullptr || length != kFrameSize) {
        return std::nullopt;
    }
    return CommandOfValue(FrameValue(data));
}

}  // namespace wire
