// The back channel's words: "StopCopy", "StopCopyRecv", "ReplyStopCopyRecv" and the
// end-of-transfer pair (byte 3, then the destination drive letter), and a reader that finds
// them in a byte stream whose reads TCP may have split or joined.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace wire {

enum class BackWord {
    StopCopy,           // source: the copy is abandoned
    StopCopyRecv,       // destination: its user asked to stop
    ReplyStopCopyRecv,  // source: the stop request was seen
    EndOfTransfer,      // source: the sending pass is complete
};

struct BackMessage {
    BackWord word = BackWord::StopCopy;
    char letter = 0;  // EndOfTransfer only: the destination drive letter

    bool operator==(const BackMessage&) const = default;
};

// The bytes of a word; `letter` is used for EndOfTransfer only.
std::string MakeBackWord(BackWord word, char letter = 0);

// Each peer sends every word in a send of its own, and compares each whole read with the
// words. Reads may still hold several words or part of one, so the reader keeps the bytes of
// an unfinished word from one read to the next:
// - Within the bytes held, the longest word that matches wins ("StopCopyRecv" over
//   "StopCopy"); while the bytes held could still grow into a longer word, they wait.
// - At the end of a read, bytes that are exactly a complete word are that word, even if a
//   longer word starts with it: a lone "StopCopy" is never held back. The one exception is a
//   reader that hears a destination (`HearDestination`): a destination sends "StopCopyRecv"
//   and never "StopCopy", so a read that ends after "StopCopy" is the first part of
//   "StopCopyRecv" and waits for the rest.
// - Bytes that cannot become a word are dropped: the start of a word that broke off as a
//   whole, any other byte alone. The reader thus finds the next word after garbage, but
//   never a word inside the remains of another.
// So a read that holds exactly one word always gives that word, as whole-read comparison
// would. What is held between reads is a proper prefix of a word: at most 16 bytes.
class BackChannelReader {
  public:
    static constexpr size_t kMaxHeld = 16;

    // Appends the messages completed by one read to `out`, in order.
    void Feed(const char* data, size_t length, std::vector<BackMessage>& out);
    // Whether the bytes come from a destination (this PC is the source of the copy).
    void HearDestination(bool fromDestination) { m_fromDestination = fromDestination; }
    // Forgets a partly received word (for a new connection).
    void Reset() { m_held.clear(); }
    size_t Held() const { return m_held.size(); }

  private:
    std::string m_held;
    bool m_fromDestination = false;
};

}  // namespace wire
