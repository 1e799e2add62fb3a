// Command frames, hexadecimal paths, transfer headers, metadata blocks and error reports.
#include "transfer/WireFormat.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/SystemHelpers.h"

namespace {

using namespace std::string_literals;
using wire::Command;

std::string Frame(const char* digits) {
    return std::string(12, 'D') + digits;
}

TEST(CommandFrame, EveryCommandIsItsDigitsAfterTwelveD) {
    const struct {
        Command command;
        const char* digits;
    } rows[] = {
        {Command::REQREMOTEDRIVE, "0001"}, {Command::GOTREMOTEDRIVE, "0002"},
        {Command::SENDDIRBEGIN, "0003"},   {Command::SENDFILEBEGIN, "0004"},
        {Command::SENDMYDRIVES, "0005"},   {Command::REQALLFILES, "0006"},
        {Command::REQALLFILESOK, "0016"},  {Command::REQBYTEFILESEND, "0021"},
        {Command::SENDENDOFFILE, "0031"},  {Command::SENDFULLDRIVE, "0051"},
        {Command::SENDCOUNTBEGIN, "0060"}, {Command::GOTCOUNTBEGIN, "0061"},
        {Command::GOTENDOFCOPY, "0070"},   {Command::SENDERROFCOPY, "0071"},
        {Command::GOTERROFCOPY, "0072"},   {Command::SENDCPYERROR, "0073"},
        {Command::GOTNOERROFCOPY, "0074"}, {Command::CMDRECVOK, "1111"},
    };
    ASSERT_EQ(std::size(rows), std::size(wire::kAllCommands));
    for (const auto& row : rows) {
        const std::string frame = wire::MakeFrame(row.command);
        EXPECT_EQ(frame, Frame(row.digits));
        EXPECT_EQ(wire::MatchFrame(frame.data(), frame.size()), row.command) << row.digits;
    }
}

TEST(CommandFrame, MatchLooksAtLengthAndLastFourCharactersOnly) {
    const struct {
        std::string read;
        std::optional<Command> expected;
    } rows[] = {
        {Frame("0060"), Command::SENDCOUNTBEGIN},
        {"xxxxxxxxxxxx0060", Command::SENDCOUNTBEGIN},  // the first twelve are ignored
        {"\0\0\0\0\0\0\0\0\0\0\0\0"s + "1111", Command::CMDRECVOK},
        {Frame("0007"), std::nullopt},
        {Frame("0160"), std::nullopt},
        {Frame("9999"), std::nullopt},
        {Frame("005@"), Command::SENDCOUNTBEGIN},  // '@' - '0' is 16: same value as "0060"
        {Frame("\xff\xff\xff\xff"), std::nullopt},
        {Frame("006"), std::nullopt},    // 15 bytes
        {Frame("00600"), std::nullopt},  // 17 bytes
        {Frame("0060") + Frame("0061"), std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(wire::MatchFrame(row.read.data(), row.read.size()), row.expected) << row.read;
    }
}

TEST(HexPath, EncodesUtf16LowByteFirstInUpperCaseAndDecodesBack) {
    const struct {
        std::u16string path;
        std::string hex;
    } rows[] = {
        {u"C:\\a", "43003A005C006100"},
        {u"", ""},
        {u"\u306E", "6E30"},  // の
        {u"\uFFFF\u0100\u00FF", "FFFF0001FF00"},
        {u"D:\\Ferrylo\\PC1\u306E",
         "44003A005C00"
         "46006500720072007900"
         "6C006F00"
         "5C00"
         "500043003100"
         "6E30"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(wire::WideToHex(row.path), row.hex);
        EXPECT_EQ(wire::HexToWide(row.hex.data(), row.hex.size()), row.path) << row.hex;
    }
}

TEST(HexPath, DecodingAcceptsLowerCaseAndRejectsAnythingElse) {
    const struct {
        std::string hex;
        std::optional<std::u16string> expected;
    } rows[] = {
        {"6e30", u"\u306E"},
        {"5c00Ab00", u"\\\u00AB"},
        {"430", std::nullopt},
        {"43000", std::nullopt},
        {"43G0", std::nullopt},
        {"43 0", std::nullopt},
        {"-430", std::nullopt},
        {"43\0"s
         "0",
         std::nullopt},
        {"4300|", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(wire::HexToWide(row.hex.data(), row.hex.size()), row.expected) << row.hex;
    }
}

TEST(HexPath, ReceivedPathFieldsDecodeAlikeUpToTheirLimit) {
    const std::string longest(1040, 'A');
    const std::string tooLong(1044, 'A');
    for (const std::string& hex : {"43003A00"s, "6e30"s, "430"s, "43G0"s, ""s, longest, tooLong,
                                   "41\0"s
                                   "0"s}) {
        const auto decoded = wire::HexToWide(hex.data(), hex.size());
        const bool withinLimit = hex.size() <= 1040;
        EXPECT_EQ(ReceivedHexToWide(hex.data(), hex.size()),
                  withinLimit ? decoded.value_or(u"") : u"")
            << hex.size();
    }
}

TEST(TransferHeader, EntriesAreHeaderPathAndBlock) {
    EXPECT_EQ(wire::MakeDirectoryEntry(u"C:\\a"), "%?\x02\x04"s + "43003A005C006100");

    // An empty file: header, path and block, and nothing for a body.
    const wire::FileMeta empty{1, 2, 3, 0x20, 0};
    EXPECT_EQ(wire::MakeFileEntry(u"C:\\a", empty),
              "%?\x01\x04"s + "43003A005C006100" + wire::EncodeMeta(empty));

    const std::u16string longest(255, u'x');
    const std::string entry = wire::MakeDirectoryEntry(longest);
    ASSERT_EQ(entry.size(), 4u + 255 * 4);
    EXPECT_EQ(static_cast<uint8_t>(entry[3]), 255);

    EXPECT_EQ(wire::MakeEndOfPathLog('d'),
              "%?\x04"
              "d"s);
    EXPECT_EQ(wire::MakeEndOfPathLog('D'),
              "%?\x04"
              "D"s);
    EXPECT_EQ(wire::MakeResumeMarker(), "%?\x05\0"s);
}

TEST(TransferHeader, PathsThatDoNotFitAreRefused) {
    for (const std::u16string& path : {std::u16string(), std::u16string(256, u'x')}) {
        EXPECT_EQ(wire::MakeDirectoryEntry(path), "") << path.size();
        EXPECT_EQ(wire::MakeFileEntry(path, wire::FileMeta{}), "") << path.size();
    }
}

TEST(TransferHeader, CheckJudgesEachByteAsItArrives) {
    using wire::HeaderCheck;
    const struct {
        std::string bytes;
        HeaderCheck expected;
    } rows[] = {
        {"", HeaderCheck::Incomplete},
        {"%", HeaderCheck::Incomplete},
        {"%?", HeaderCheck::Incomplete},
        {"%?\x07", HeaderCheck::Incomplete},  // the kind counts once four bytes are held
        {"%?\x01\x04", HeaderCheck::Complete},
        {"%?\x02\xff", HeaderCheck::Complete},
        {"%?\x04"
         "D",
         HeaderCheck::Complete},
        {"%?\x05\0"s, HeaderCheck::Complete},
        {"%?\x01\x04"
         "4300",
         HeaderCheck::Complete},
        {"D", HeaderCheck::NoPercent},
        {"\0?\x01\x01"s, HeaderCheck::NoPercent},
        {"%%", HeaderCheck::NoQuestion},
        {"%!\x01\x01", HeaderCheck::NoQuestion},
        {"%?\x03\x01", HeaderCheck::UnknownKind},
        {"%?\0\0"s, HeaderCheck::UnknownKind},
        {"%?\x06\0"s, HeaderCheck::UnknownKind},
        {"%?1\x01", HeaderCheck::UnknownKind},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(wire::CheckHeader(row.bytes.data(), row.bytes.size()), row.expected)
            << testing::PrintToString(row.bytes);
    }
    const std::string file = wire::MakeFileEntry(u"C:\\a", {});
    EXPECT_EQ(wire::HeaderKind(file.data()), wire::EntryKind::File);
    EXPECT_EQ(wire::HeaderValue(file.data()), 4);
    const std::string end = wire::MakeEndOfPathLog('e');
    EXPECT_EQ(wire::HeaderKind(end.data()), wire::EntryKind::EndOfPathLog);
    EXPECT_EQ(wire::HeaderValue(end.data()), 'e');
}

TEST(FileMeta, NineLittleEndianWordsLowHalfFirst) {
    const wire::FileMeta meta{0x01D2C3B4A5968778, 0x1122334455667788, 0x0000000100000002,
                              0x80000021, 0x0000000140000003};
    const std::string expected =
        "\x78\x87\x96\xA5\xB4\xC3\xD2\x01"
        "\x88\x77\x66\x55\x44\x33\x22\x11"
        "\x02\x00\x00\x00\x01\x00\x00\x00"
        "\x21\x00\x00\x80"
        "\x03\x00\x00\x40\x01\x00\x00\x00"s;
    EXPECT_EQ(wire::EncodeMeta(meta), expected);
    EXPECT_EQ(wire::DecodeMeta(expected.data()), meta);

    for (const wire::FileMeta& m :
         {wire::FileMeta{}, wire::FileMeta{~0ull, ~0ull, ~0ull, ~0u, ~0ull}}) {
        const std::string block = wire::EncodeMeta(m);
        ASSERT_EQ(block.size(), wire::kMetaSize);
        EXPECT_EQ(wire::DecodeMeta(block.data()), m);
    }
}

TEST(ErrorReport, IsTheFrameFollowedByTheHexadecimalPath) {
    EXPECT_EQ(wire::MakeErrorReport(u"C:\\a"), Frame("0073") + "43003A005C006100");
    EXPECT_EQ(wire::MakeErrorReport(u""), "");  // the bare frame would stop the copy
}

}  // namespace
