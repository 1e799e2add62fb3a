// The forward-channel reader: frames and error reports taken whole however TCP joined or
// split them, a lone SENDCPYERROR held until the next message or a quiet connection.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/Text.h"
#include "transfer/ErrorReport.h"
#include "transfer/ForwardReader.h"

namespace {

using wire::Command;
using wire::ForwardMessage;

std::string Frame(Command command) {
    return wire::MakeFrame(command);
}

// Everything the reader gives for `reads`, then what a quiet connection settles.
std::vector<std::string> ReadAll(const std::vector<std::string>& reads) {
    wire::ForwardReader reader;
    std::vector<std::string> out;
    const auto take = [&](bool settled) {
        while (auto message = reader.Next(settled)) {
            out.push_back(message->kind == ForwardMessage::Kind::ErrorReport
                              ? "report:" + os::ToUtf8(message->path)
                              : "frame:" + std::to_string(static_cast<int>(message->command)));
        }
    };
    for (const auto& read : reads) {
        reader.Feed(read.data(), read.size());
        take(false);
    }
    out.push_back("quiet");
    take(true);
    EXPECT_FALSE(reader.HasPending());
    return out;
}

TEST(ForwardReaderTest, JoinedAndSplitMessagesComeOutWhole) {
    const std::string report = wire::MakeErrorReport(u"E:\\a");
    const struct {
        const char* name;
        std::vector<std::string> reads;
        std::vector<std::string> expected;
    } rows[] = {
        {"one frame", {Frame(Command::SENDCOUNTBEGIN)}, {"frame:60", "quiet"}},
        {"two joined",
         {Frame(Command::GOTREMOTEDRIVE) + Frame(Command::CMDRECVOK)},
         {"frame:2", "frame:1111", "quiet"}},
        {"one split", {"DDDDDDD", "DDDDD00", "61"}, {"frame:61", "quiet"}},
        {"digits decide", {"xxxxxxxxxxxx0060"}, {"frame:60", "quiet"}},
        {"bare stop waits for the quiet", {Frame(Command::SENDCPYERROR)}, {"quiet", "frame:73"}},
        {"bare stop before a frame",
         {Frame(Command::SENDCPYERROR), Frame(Command::SENDERROFCOPY)},
         {"frame:73", "frame:71", "quiet"}},
        {"report waits for the quiet", {report}, {"quiet", "report:E:\\a"}},
        {"report split in three",
         {report.substr(0, 10), report.substr(10, 12), report.substr(22)},
         {"quiet", "report:E:\\a"}},
        {"report before a frame",
         {report + Frame(Command::SENDERROFCOPY)},
         {"report:E:\\a", "frame:71", "quiet"}},
        {"garbage is dropped", {"hello, world, this is no frame"}, {"quiet"}},
        {"a short tail is dropped when quiet",
         {Frame(Command::REQALLFILES) + "DDDD"},
         {"frame:6", "quiet"}},
        {"a report that does not decode names no path",
         {Frame(Command::SENDCPYERROR) + "43G0"},
         {"quiet", "report:"}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReadAll(row.reads), row.expected) << row.name;
    }
}

TEST(ForwardReaderTest, EverySplitOfAStreamGivesTheSameMessages) {
    const std::string stream = Frame(Command::GOTCOUNTBEGIN) +
                               wire::MakeErrorReport(u"E:\\Ferrylo\\写真\\a.jpg") +
                               Frame(Command::SENDERROFCOPY) + Frame(Command::GOTNOERROFCOPY);
    const auto whole = ReadAll({stream});
    EXPECT_EQ(whole,
              (std::vector<std::string>{"frame:61", "report:E:\\Ferrylo\\\u5199\u771F\\a.jpg",
                                        "frame:71", "frame:74", "quiet"}));
    for (size_t cut = 1; cut < stream.size(); ++cut) {
        auto split = ReadAll({stream.substr(0, cut), stream.substr(cut)});
        EXPECT_EQ(split, whole) << "cut at " << cut;
    }
    std::vector<std::string> bytes;
    for (char c : stream) {
        bytes.emplace_back(1, c);
    }
    EXPECT_EQ(ReadAll(bytes), whole);
}

TEST(ForwardReaderTest, WhatFollowsAMessageIsLeftForTheNextState) {
    wire::ForwardReader reader;
    const std::string read = Frame(Command::SENDMYDRIVES) + "4500|3";
    reader.Feed(read.data(), read.size());
    const auto first = reader.Next(false);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->command, Command::SENDMYDRIVES);
    EXPECT_EQ(reader.TakeRest(), "4500|3");
    EXPECT_FALSE(reader.HasPending());

    const std::string flood(wire::ForwardReader::kMaxHeld + 1, 'D');
    reader.Feed(flood.data(), flood.size());
    EXPECT_FALSE(reader.HasPending()) << "more than a message can be is dropped";
}

}  // namespace
