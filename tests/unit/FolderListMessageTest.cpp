// The destination folder list message, built from the send list's folder text and parsed.
#include "transfer/FolderListMessage.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "transfer/HexPath.h"

namespace {

using namespace std::string_literals;
using wire::WideToHex;

const std::u16string kBase = u"D:\\Ferrylo";
const std::u16string kDriveC = u"D:\\Ferrylo\\PC1\u306ECドライブ";
const std::u16string kDriveE = u"D:\\Ferrylo\\PC1\u306EEドライブ";
const std::u16string kStaging = u"D:\\Ferrylo\\Ferrylo_env_files";

TEST(FolderListMessage, EachPieceBecomesHexAndBarThenTheCount) {
    const struct {
        std::u16string folderText;
        int32_t count;
        std::string expected;
    } rows[] = {
        {u"E:\\Ferrylo", 12, WideToHex(u"E:\\Ferrylo") + "|12"},
        {kBase + kDriveC + u"|" + kDriveE + u"|", 345,
         WideToHex(kBase + kDriveC) + "|" + WideToHex(kDriveE) + "|345"},
        {kBase + kStaging, 0, WideToHex(kBase + kStaging) + "|0"},
        {kBase + u"|" + kDriveE, 7, WideToHex(kBase) + "|" + WideToHex(kDriveE) + "|7"},
        {kBase + u"||", 1, WideToHex(kBase) + "||1"},
        {kBase, -3, WideToHex(kBase) + "|0"},
        {kBase, INT32_MAX, WideToHex(kBase) + "|2147483647"},
        {u"", 5, "5"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(wire::MakeFolderList(row.folderText, row.count), row.expected);
    }
}

TEST(FolderListMessage, ParseGivesCountBaseLetterAndFolders) {
    const std::string base = WideToHex(kBase);
    const std::string c = WideToHex(kDriveC);
    const std::string e = WideToHex(kDriveE);
    const struct {
        std::string message;
        std::optional<int32_t> count;
        std::u16string baseFolder;
        char16_t letter;
        std::vector<std::u16string> folders;
        std::vector<size_t> failed;
    } rows[] = {
        {base + "|12", 12, kBase, u'D', {}, {}},
        {base + c + "|" + e + "|345", 345, kBase, u'D', {kDriveC, kDriveE}, {}},
        {base + WideToHex(kStaging) + "|0", 0, kBase, u'D', {kStaging}, {}},
        // Without "|": no count, and the whole text is the list.
        {base + c, std::nullopt, kBase, u'D', {kDriveC}, {}},
        {base, std::nullopt, kBase, u'D', {}, {}},
        // The count: leading digits after the last "|".
        {base + "|", 0, kBase, u'D', {}, {}},
        {base + "|x9", 0, kBase, u'D', {}, {}},
        {base + "|12ab", 12, kBase, u'D', {}, {}},
        {base + c + "|" + e, 44003, kBase, u'D', {kDriveC}, {}},  // the last "|" decides
        {base + "|99999999999999999999", INT32_MAX, kBase, u'D', {}, {}},
        // Damaged pieces are named; the others still count.
        {base + c + "|43G0|" + e + "|5", 5, kBase, u'D', {kDriveC, kDriveE}, {1}},
        {base + "430|" + e + "|5", 5, kBase, u'D', {kDriveE}, {0}},
        {base + c + "||" + e + "|5", 5, kBase, u'D', {kDriveC, kDriveE}, {}},
        {base + "|43G0|" + e + "|5", 5, kBase, u'D', {kDriveE}, {1}},
        {base + "||12", 12, kBase, u'D', {}, {}},
        {base.substr(0, 39) + "|5", 5, u"", 0, {}, {}},
        {"4500"
         "3A00|5",
         5,
         u"E:",
         u'E',
         {},
         {}},
        {"|5", 5, u"", 0, {}, {}},
        {"", std::nullopt, u"", 0, {}, {}},
        // The message ends at its first zero byte.
        {base + c + "|" + "\0"s + e + "|9", 0, kBase, u'D', {kDriveC}, {}},
    };
    for (const auto& row : rows) {
        const wire::FolderList list = wire::ParseFolderList(row.message.data(), row.message.size());
        EXPECT_EQ(list.totalFiles, row.count) << row.message;
        EXPECT_EQ(list.baseFolder, row.baseFolder) << row.message;
        EXPECT_EQ(list.driveLetter, row.letter) << row.message;
        EXPECT_EQ(list.folders, row.folders) << row.message;
        EXPECT_EQ(list.failedPieces, row.failed) << row.message;
    }
}

}  // namespace
