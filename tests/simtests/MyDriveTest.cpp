// This PC's drive table: fixed and optical drives only, the system drive upper case.
#include <gtest/gtest.h>

#include "platform/Drive.h"
#include "sim/SimPc.h"

TEST(MyDriveTest, SystemDriveIsUpperCaseOthersLower) {
    sim::SimPcConfig config;
    config.standardDrives = false;
    sim::SimPc pc(config);
    pc.fs().AddDrive(u'C', os::DriveType::Fixed, u"NTFS", u"Data", 3'000'000'000'000ull);
    pc.fs().AddDrive(u'D', os::DriveType::Fixed, u"NTFS", u"Windows", 256'000'000'000ull);
    pc.fs().AddDrive(u'E', os::DriveType::CdRom, u"CDFS", u"", 0);
    pc.fs().SetMediumPresent(u'E', false);
    pc.fs().AddDrive(u'F', os::DriveType::Removable, u"FAT32", u"USB", 16'000'000'000ull);
    pc.fs().AddDrive(u'G', os::DriveType::Remote, u"NTFS", u"Share", 1'000'000'000ull);
    pc.fs().AddDrive(u'H', os::DriveType::Fixed, u"exFAT", u"Big", 999'999ull);
    pc.sys().SetWindowsDirectory(u"d:\\WINDOWS");

    CDrive table;
    GetMyDrive(pc.fs(), pc.sys(), table);
    ASSERT_EQ(table.Count(), 4);
    EXPECT_EQ(table.GetRoot(0), u"c:\\");
    EXPECT_EQ(table.GetTotalMB(0), 3'000'000);
    EXPECT_EQ(table.GetRoot(1), u"D:\\");
    EXPECT_EQ(table.GetType(1), u"");
    EXPECT_EQ(table.GetFileSystem(1), u"NTFS");
    EXPECT_EQ(table.GetRoot(2), u"e:\\");
    EXPECT_EQ(table.GetType(2), u"CDROM");
    EXPECT_EQ(table.GetFreeMB(2), 0) << "an empty optical drive is listed with no space";
    EXPECT_EQ(table.GetTotalMB(2), 0);
    EXPECT_EQ(table.GetFileSystem(2), u"");
    EXPECT_EQ(table.GetRoot(3), u"h:\\");
    EXPECT_EQ(table.GetTotalMB(3), 0);
    EXPECT_EQ(table.GetFileSystem(3), u"exFAT");
}

TEST(MyDriveTest, NoDriveLeavesAnEmptyTableAndTheTableIsNotCleared) {
    sim::SimPcConfig config;
    config.standardDrives = false;
    sim::SimPc pc(config);
    CDrive table;
    GetMyDrive(pc.fs(), pc.sys(), table);
    EXPECT_EQ(table.Count(), 0);
    table.AddDrive(u"x:\\", u"", 1, 1, u"NTFS");
    pc.fs().AddDrive(u'C', os::DriveType::Fixed, u"NTFS", u"", 1'000'000'000ull);
    GetMyDrive(pc.fs(), pc.sys(), table);
    ASSERT_EQ(table.Count(), 2);
    EXPECT_EQ(table.GetRoot(1), u"C:\\");
}
