// Back-channel words and their reader: whole reads, joined reads, split reads and garbage.
#include "transfer/BackChannel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wire {
void PrintTo(const BackMessage& m, std::ostream* os) {
    *os << static_cast<int>(m.word) << "/" << static_cast<int>(m.letter);
}
}  // namespace wire

namespace {

using namespace std::string_literals;
using wire::BackMessage;
using wire::BackWord;
using Reads = std::vector<std::string>;
using Messages = std::vector<BackMessage>;

const BackMessage kStop{BackWord::StopCopy, 0};
const BackMessage kStopRecv{BackWord::StopCopyRecv, 0};
const BackMessage kReply{BackWord::ReplyStopCopyRecv, 0};
BackMessage End(char letter) {
    return {BackWord::EndOfTransfer, letter};
}

Messages Feed(const Reads& reads, bool fromDestination = false) {
    wire::BackChannelReader reader;
    reader.HearDestination(fromDestination);
    Messages out;
    for (const std::string& read : reads) {
        reader.Feed(read.data(), read.size(), out);
        EXPECT_LE(reader.Held(), wire::BackChannelReader::kMaxHeld);
    }
    return out;
}

TEST(BackChannel, WordsAreTheirBytesWithoutTerminator) {
    EXPECT_EQ(wire::MakeBackWord(BackWord::StopCopy), "StopCopy");
    EXPECT_EQ(wire::MakeBackWord(BackWord::StopCopyRecv), "StopCopyRecv");
    EXPECT_EQ(wire::MakeBackWord(BackWord::ReplyStopCopyRecv), "ReplyStopCopyRecv");
    EXPECT_EQ(wire::MakeBackWord(BackWord::EndOfTransfer, 'D'),
              "\x03"
              "D"s);
    EXPECT_EQ(wire::MakeBackWord(BackWord::EndOfTransfer, 'e'),
              "\x03"
              "e"s);
}

TEST(BackChannel, ReadsGiveTheirWordsInOrder) {
    const struct {
        Reads reads;
        Messages expected;
    } rows[] = {
        // One word a read: exactly what comparing the whole read gives.
        {{"StopCopy"}, {kStop}},
        {{"StopCopyRecv"}, {kStopRecv}},
        {{"ReplyStopCopyRecv"}, {kReply}},
        {{"\x03"
          "d"},
         {End('d')}},
        {{"\x03\x03"}, {End('\x03')}},
        // Joined words.
        {{"StopCopyRecvStopCopyRecv"}, {kStopRecv, kStopRecv}},
        {{"ReplyStopCopyRecvStopCopy"}, {kReply, kStop}},
        {{"StopCopyStopCopy"}, {kStop, kStop}},
        {{"\x03"
          "DStopCopy\x03"
          "E"},
         {End('D'), kStop, End('E')}},
        // Split words are joined; a complete word at the end of a read is taken as it is.
        {{"Stop", "Copy"}, {kStop}},
        {{"StopCopyRe", "cv"}, {kStopRecv}},
        {{"StopCopyRe", "plyStopCopyRecv"}, {kStop, kReply}},
        {{"StopCopy", "Recv"}, {kStop}},  // the sender sends each word alone
        {{"\x03", "D"}, {End('D')}},
        {{"\x03"}, {}},
        {{"Repl", "y", "StopC", "opyRecv"}, {kReply}},
        // Garbage is dropped a byte at a time up to the next word.
        {{"xyzStopCopy"}, {kStop}},
        {{"StopCopx"}, {}},
        {{"SStopCopy"}, {kStop}},
        {{"StopCopyR", "x"}, {kStop}},
        {{"StopCopyRecvx"}, {kStopRecv}},
        {{"Stop", "\0\0"s, "StopCopy"}, {kStop}},
        {{std::string(1000, 'S') + "ReplyStopCopyRecv"}, {kReply}},
        {{"ReplyStopCopyRec", "ReplyStopCopyRecv"}, {kReply}},  // not the StopCopy inside
        {{"ReplyStopCopx"}, {}},
        {{"StopCoReplyStopCopyRecv"}, {kReply}},
        {{""}, {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Feed(row.reads), row.expected) << testing::PrintToString(row.reads);
    }
}

// A source hears only "StopCopyRecv" from its destination, so a read that ends after its
// first eight bytes is no "StopCopy": the source would drop the copy with its window open.
TEST(BackChannel, ASourceWaitsForTheRestOfAStopRequestCutAfterStopCopy) {
    EXPECT_EQ(Feed({"StopCopy", "Recv"}, true), Messages{kStopRecv});
    EXPECT_EQ(Feed({"StopCopy"}, true), Messages{});
    EXPECT_EQ(Feed({"StopCopyRe", "cv", "StopCopy", "Recv"}, true),
              (Messages{kStopRecv, kStopRecv}));
    EXPECT_EQ(Feed({"StopCopy", "ReplyStopCopyRecv"}, true), (Messages{kStop, kReply}));
}

TEST(BackChannel, SplittingAStreamAnywhereGivesTheSameWords) {
    const std::vector<Messages> streams = {
        {kStop},
        {kReply},
        {End('D')},
        {kStopRecv},
        {kReply, kStop, End('e')},
        {kStopRecv, kStopRecv, kStop},
        {End('S'), kReply, End('\x03'), kStop},
    };
    for (const Messages& words : streams) {
        std::string stream;
        std::vector<size_t> ambiguous;  // a cut right after "StopCopy" inside "StopCopyRecv"
        for (const BackMessage& m : words) {
            if (m.word == BackWord::StopCopyRecv) {
                ambiguous.push_back(stream.size() + 8);
            }
            stream += wire::MakeBackWord(m.word, m.letter);
        }
        SCOPED_TRACE(testing::PrintToString(stream));
        EXPECT_EQ(Feed({stream}), words);
        for (size_t cut = 0; cut <= stream.size(); ++cut) {
            if (std::find(ambiguous.begin(), ambiguous.end(), cut) != ambiguous.end()) {
                continue;
            }
            EXPECT_EQ(Feed({stream.substr(0, cut), stream.substr(cut)}), words) << cut;
        }
        if (ambiguous.empty()) {
            Reads bytes;
            for (const char c : stream) {
                bytes.emplace_back(1, c);
            }
            EXPECT_EQ(Feed(bytes), words);
        }
    }
}

}  // namespace
