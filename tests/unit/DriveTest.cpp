// Drive table and the conversion to units of 1,000,000 bytes.
#include <gtest/gtest.h>

#include "platform/Drive.h"
#include "sim/SimFileSystem.h"

TEST(DriveTest, BytesToMBRoundsDownToWholeUnits) {
    const struct {
        uint64_t bytes;
        int32_t mb;
    } rows[] = {
        {0, 0},
        {999999, 0},
        {1000000, 1},
        {1999999, 1},
        {130000000, 130},
        {3000000000000ull, 3000000},  // 3 TB fits in 32 bits
        {UINT64_MAX, INT32_MAX},      // saturates instead of wrapping
        {2147483648000000ull, INT32_MAX},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(BytesToMB(row.bytes), row.mb) << row.bytes;
    }
}

TEST(DriveTest, TableHoldsAtMost26Drives) {
    CDrive table;
    for (int i = 0; i < 26; ++i) {
        const os::WString root = os::WString(1, static_cast<char16_t>(u'a' + i)) + u":\\";
        EXPECT_TRUE(table.AddDrive(root, u"", i, 2 * i, u"NTFS"));
    }
    EXPECT_FALSE(table.AddDrive(u"z:\\", u"", 1, 1, u"NTFS"));
    EXPECT_EQ(table.Count(), 26);
    EXPECT_EQ(table.GetRoot(25), u"z:\\");
    EXPECT_EQ(table.GetFreeText(25), u"25");
    EXPECT_EQ(table.GetTotalText(25), u"50");
    EXPECT_EQ(table.GetRoot(26), u"") << "out of range reads empty";
    EXPECT_EQ(table.GetFreeText(-1), u"0");
    table.Clear();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.GetRoot(0), u"");
}

TEST(DriveTest, HasFreeSpaceNeedsStrictlyMore) {
    sim::SimFileSystem fs;
    ASSERT_TRUE(fs.AddDrive(u'E', os::DriveType::Fixed, u"NTFS", u"Data", 10000000));
    ASSERT_TRUE(fs.SetFreeSpaceOverride(u'E', 1000000));
    EXPECT_FALSE(HasFreeSpace(fs, u'E', 1)) << "1 < 1 fails";
    EXPECT_TRUE(HasFreeSpace(fs, u'e', 0));
    ASSERT_TRUE(fs.SetFreeSpaceOverride(u'E', 999999));
    EXPECT_FALSE(HasFreeSpace(fs, u'E', 0));
    EXPECT_FALSE(HasFreeSpace(fs, u'Q', 0)) << "a missing drive has no space";
    EXPECT_EQ(GetDiskSpace(fs, u'Q').totalBytes, 0u);
}
