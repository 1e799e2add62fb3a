// What arrives on the forward channel outside the data states: command frames and error
// reports. Each peer sends every frame and every report alone, but TCP may join messages sent
// one after another or split one message over several reads, so the reader keeps what has
// arrived and takes whole messages from its front.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "os/Types.h"
#include "transfer/CommandFrame.h"

namespace wire {

struct ForwardMessage {
    enum class Kind { Frame, ErrorReport };
    Kind kind = Kind::Frame;
    Command command = Command::CMDRECVOK;  // Frame; a bare SENDCPYERROR is a frame too
    os::WString path;                      // ErrorReport: the reported path
};

class ForwardReader {
  public:
    // More than this is not a message of the partner: it is dropped.
    static constexpr size_t kMaxHeld = 65536;

    void Feed(const char* data, size_t length);
    // The next whole message, if there is one. SENDCPYERROR alone stops a copy, while followed
    // by a path it is an error report; until the next message or a quiet connection
    // (`settled`) shows which, it waits. A report ends where a frame begins or, once settled,
    // with the last byte. Bytes that start no known frame are dropped, as an unknown read is.
    std::optional<ForwardMessage> Next(bool settled);
    // What follows the last message taken, for a data state that the message began.
    std::string TakeRest();
    bool HasPending() const { return !m_held.empty(); }
    void Reset() { m_held.clear(); }

  private:
    std::string m_held;
};

}  // namespace wire
