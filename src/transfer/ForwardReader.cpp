// Forward-channel reader.
#include "transfer/ForwardReader.h"

#include "platform/SystemHelpers.h"

namespace wire {

namespace {

// A frame as a peer writes it: twelve "D" and the four digits of a known command.
bool IsWrittenFrame(const std::string& text, size_t at) {
    if (text.size() < at + kFrameSize) {
        return false;
    }
    for (size_t i = 0; i < 12; ++i) {
        if (text[at + i] != 'D') {
            return false;
        }
    }
    return MatchFrame(text.data() + at, kFrameSize).has_value();
}

}  // namespace

void ForwardReader::Feed(const char* data, size_t length) {
    if (m_held.size() + length > kMaxHeld) {
        m_held.clear();
        return;
    }
    m_held.append(data, length);
}

std::optional<ForwardMessage> ForwardReader::Next(bool settled) {
    if (m_held.size() < kFrameSize) {
        if (settled) {
            m_held.clear();
        }
        return std::nullopt;
    }
    const auto command = MatchFrame(m_held.data(), kFrameSize);
    if (!command) {
        m_held.clear();
        return std::nullopt;
    }
    ForwardMessage message;
    message.command = *command;
    if (*command != Command::SENDCPYERROR) {
        m_held.erase(0, kFrameSize);
        return message;
    }
    // SENDCPYERROR: find where its path ends (the hexadecimal digits come four per character).
    size_t end = kFrameSize;
    while (end < m_held.size() && !IsWrittenFrame(m_held, end)) {
        end += 4;
    }
    const bool nextFrameFollows = end < m_held.size();
    if (!nextFrameFollows && !settled) {
        return std::nullopt;  // the path may still be arriving
    }
    end = std::min(end, m_held.size());
    if (end > kFrameSize) {
        message.kind = ForwardMessage::Kind::ErrorReport;
        message.path = ReceivedHexToWide(m_held.data() + kFrameSize, end - kFrameSize);
    }
    m_held.erase(0, end);
    return message;
}

std::string ForwardReader::TakeRest() {
    std::string rest;
    rest.swap(m_held);
    return rest;
}

}  // namespace wire
