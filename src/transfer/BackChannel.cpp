// Back-channel words and their reader.
#include "transfer/BackChannel.h"

#include <algorithm>
#include <string_view>

namespace wire {

namespace {

constexpr char kEndOfTransferByte = 0x03;

struct TextWord {
    std::string_view text;
    BackWord word;
};
constexpr TextWord kTextWords[] = {
    {"StopCopy", BackWord::StopCopy},
    {"StopCopyRecv", BackWord::StopCopyRecv},
    {"ReplyStopCopyRecv", BackWord::ReplyStopCopyRecv},
};

}  // namespace

std::string MakeBackWord(BackWord word, char letter) {
    if (word == BackWord::EndOfTransfer) {
        return std::string{kEndOfTransferByte, letter};
    }
    for (const TextWord& known : kTextWords) {
        if (known.word == word) {
            return std::string(known.text);
        }
    }
    return std::string();
}

void BackChannelReader::Feed(const char* data, size_t length, std::vector<BackMessage>& out) {
    if (data != nullptr) {
        m_held.append(data, length);
    }
    const std::string_view all(m_held);
    size_t at = 0;
    while (at < all.size()) {
        const std::string_view rest = all.substr(at);
        if (rest[0] == kEndOfTransferByte) {
            if (rest.size() < 2) {
                break;  // the letter comes with the next read
            }
            out.push_back({BackWord::EndOfTransfer, rest[1]});
            at += 2;
            continue;
        }
        const TextWord* complete = nullptr;  // longest word the bytes start with
        bool couldGrow = false;              // the bytes are a proper prefix of a longer word
        size_t matched = 0;                  // longest run of bytes that agrees with a word
        for (const TextWord& known : kTextWords) {
            if (rest.starts_with(known.text)) {
                if (complete == nullptr || known.text.size() > complete->text.size()) {
                    complete = &known;
                }
            } else if (known.text.starts_with(rest)) {
                couldGrow = true;
            }
            size_t same = 0;
            while (same < rest.size() && same < known.text.size() &&
                   rest[same] == known.text[same]) {
                ++same;
            }
            matched = std::max(matched, same);
        }
        const bool takenAsItIs = complete != nullptr && complete->text.size() == rest.size() &&
                                 !(m_fromDestination && complete->word == BackWord::StopCopy);
        if (couldGrow && !takenAsItIs) {
            break;  // wait for the rest of the word
        }
        if (complete != nullptr) {
            out.push_back({complete->word, 0});
            at += complete->text.size();
        } else {
            // The start of a word that broke off goes as a whole, so that no word is found
            // inside its remains; a byte that starts nothing goes alone.
            at += std::max<size_t>(matched, 1);
        }
    }
    m_held.erase(0, at);
}

}  // namespace wire
