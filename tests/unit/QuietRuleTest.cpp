// When a drive list or a folder list looks whole, so that it is taken after a short quiet
// instead of a long one.
#include <gtest/gtest.h>

#include <string>

#include "transfer/QuietRule.h"

namespace {

const std::string kRecord = "C:\\00" + std::string(40, '0');  // 45 bytes
const std::string kTrailer = "0200,0,0,0,    ,TDX1,0,0,";     // fixed fields

TEST(QuietRule, DriveListIsWholeWithWholeRecordsAndTheFixedTrailer) {
    struct Row {
        std::string received;
        bool whole;
    };
    const Row rows[] = {
        {kRecord + kRecord + "#" + kTrailer + "hanako", true},
        {kRecord + "#" + kTrailer, true},  // an empty user name
        {"#" + kTrailer + "x", true},      // no drives at all
        {kRecord + kRecord.substr(0, 20), false},
        {kRecord + kRecord.substr(0, 44) + "#" + kTrailer, false},
        {kRecord + "#" + kTrailer.substr(0, 24), false},
        {kRecord + "#0200,0,0,0,    ,TDX1;0,0,", false},
        {"", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(wire::DriveListLooksWhole(row.received), row.whole) << row.received;
    }
}

TEST(QuietRule, FolderListIsWholeWhenDigitsFollowTheLastBar) {
    EXPECT_TRUE(wire::FolderListLooksWhole("44003A00|12"));
    EXPECT_TRUE(wire::FolderListLooksWhole("|0"));
    EXPECT_FALSE(wire::FolderListLooksWhole("44003A00|"));
    EXPECT_FALSE(wire::FolderListLooksWhole("44003A00"));
    EXPECT_FALSE(wire::FolderListLooksWhole("44003A00|5A"));
}

}  // namespace
