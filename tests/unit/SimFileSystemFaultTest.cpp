// Faults of the simulated file system: disks that fill up, drives without medium or that
// vanish, write faults, locked and unreadable files, sharing and read-only refusals, leaks.
#include <gtest/gtest.h>

#include <functional>

#include "os/Text.h"
#include "sim/SimFileSystem.h"

namespace sim {
namespace {

class SimFileSystemFaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs.AddDrive(u'C', os::DriveType::Fixed, u"NTFS", u"Windows", 100));
        ASSERT_TRUE(fs.AddDrive(u'E', os::DriveType::CdRom, u"CDFS", u"DISC", 700));
        ASSERT_TRUE(fs.AddDrive(u'F', os::DriveType::Removable, u"FAT32", u"STICK", 1000));
    }

    uint64_t Free(const os::WString& root) {
        uint64_t total = 0;
        uint64_t free = 0;
        EXPECT_TRUE(fs.GetDiskFreeSpace(root, total, free));
        return free;
    }

    SimFileSystem fs;
};

TEST_F(SimFileSystemFaultTest, WritesStopWhenTheDiskIsFull) {
    auto file = fs.Open(u"C:\\fill.bin", os::OpenMode::CreateAlways);
    ASSERT_TRUE(file);
    const std::string chunk(60, 'x');
    uint32_t written = 0;
    ASSERT_TRUE(file->Write(chunk.data(), 60, written));
    EXPECT_EQ(Free(u"C:\\"), 40u);
    // The second chunk fits in part: what fits is written and reported.
    EXPECT_FALSE(file->Write(chunk.data(), 60, written));
    EXPECT_EQ(fs.LastError(), os::kErrDiskFull);
    EXPECT_EQ(written, 40u);
    EXPECT_EQ(file->Size(), 100u);
    EXPECT_EQ(Free(u"C:\\"), 0u);
    EXPECT_FALSE(file->Write(chunk.data(), 1, written));
    EXPECT_EQ(written, 0u);
    file.reset();

    // Other files cannot grow either; deleting gives the space back.
    auto other = fs.Open(u"C:\\other.txt", os::OpenMode::CreateAlways);
    ASSERT_TRUE(other) << "an empty file needs no space";
    EXPECT_FALSE(other->Write("y", 1, written));
    other.reset();
    ASSERT_TRUE(fs.DeleteFile(u"C:\\fill.bin"));
    EXPECT_EQ(Free(u"C:\\"), 100u);
    EXPECT_EQ(fs.UsedBytes(u'C'), 0u);

    // Truncating by CREATE_ALWAYS frees the old content too.
    ASSERT_TRUE(fs.WriteFile(u"C:\\t.bin", std::string(90, 't')));
    ASSERT_TRUE(fs.Open(u"C:\\t.bin", os::OpenMode::CreateAlways));
    EXPECT_EQ(Free(u"C:\\"), 100u);
    EXPECT_FALSE(fs.WriteFile(u"C:\\huge.bin", std::string(101, 'h')));
    EXPECT_FALSE(fs.Exists(u"C:\\huge.bin"));
}

TEST_F(SimFileSystemFaultTest, FreeSpaceOverrideChangesOnlyTheReport) {
    ASSERT_TRUE(fs.SetFreeSpaceOverride(u'C', 999999));
    uint64_t total = 0;
    uint64_t free = 0;
    ASSERT_TRUE(fs.GetDiskFreeSpace(u"C:\\", total, free));
    EXPECT_EQ(total, 100u);
    EXPECT_EQ(free, 999999u);
    EXPECT_FALSE(fs.WriteFile(u"C:\\big.bin", std::string(101, 'b')));
    ASSERT_TRUE(fs.SetFreeSpaceOverride(u'C', std::nullopt));
    EXPECT_EQ(Free(u"C:\\"), 100u);
    // Any folder of the volume answers; a file or a missing folder does not.
    ASSERT_TRUE(fs.WriteFile(u"C:\\dir\\f.txt", "1234"));
    EXPECT_EQ(Free(u"C:\\dir\\"), 96u);
    EXPECT_FALSE(fs.GetDiskFreeSpace(u"C:\\dir\\f.txt", total, free));
    EXPECT_FALSE(fs.GetDiskFreeSpace(u"C:\\none", total, free));
    EXPECT_EQ(fs.LastError(), os::kErrPathNotFound);
}

TEST_F(SimFileSystemFaultTest, DrivesReportTypeVolumeAndMedium) {
    EXPECT_EQ(fs.LogicalDrives(), (1u << 2) | (1u << 4) | (1u << 5));
    struct Row {
        const char16_t* root;
        os::DriveType type;
    };
    const Row rows[] = {
        {u"C:\\", os::DriveType::Fixed},     {u"c:", os::DriveType::Fixed},
        {u"E:/", os::DriveType::CdRom},      {u"F:\\", os::DriveType::Removable},
        {u"Z:\\", os::DriveType::NoRootDir}, {u"C:\\Windows", os::DriveType::NoRootDir},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(fs.GetDriveType(row.root), row.type) << os::ToUtf8(row.root);
    }
    os::WString volume;
    os::WString system;
    ASSERT_TRUE(fs.GetVolumeInformation(u"F:\\", volume, system));
    EXPECT_EQ(volume, u"STICK");
    EXPECT_EQ(system, u"FAT32");
    EXPECT_FALSE(fs.GetVolumeInformation(u"F:", volume, system));
    EXPECT_EQ(fs.LastError(), os::kErrInvalidName);
    EXPECT_FALSE(fs.GetVolumeInformation(u"Z:\\", volume, system));
    EXPECT_EQ(fs.LastError(), os::kErrPathNotFound);

    // An empty CD-ROM drive is there but not ready.
    ASSERT_TRUE(fs.SetMediumPresent(u'E', false));
    EXPECT_EQ(fs.GetDriveType(u"E:\\"), os::DriveType::CdRom);
    EXPECT_NE(fs.LogicalDrives() & (1u << 4), 0u);
    uint64_t total = 0;
    uint64_t free = 0;
    EXPECT_FALSE(fs.GetDiskFreeSpace(u"E:\\", total, free));
    EXPECT_EQ(fs.LastError(), os::kErrNotReady);
    EXPECT_FALSE(fs.GetVolumeInformation(u"E:\\", volume, system));
    EXPECT_EQ(fs.LastError(), os::kErrNotReady);
    os::FindData record;
    EXPECT_EQ(fs.FindFirst(u"E:\\*", record), nullptr);
    EXPECT_EQ(fs.LastError(), os::kErrNotReady);
}

TEST_F(SimFileSystemFaultTest, VanishedDriveOrFolderBreaksOpenHandles) {
    ASSERT_TRUE(fs.WriteFile(u"F:\\data\\a.txt", "abc"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\work\\b.txt", "def"));
    auto onStick = fs.Open(u"F:\\data\\a.txt", os::OpenMode::Read);
    auto inFolder = fs.Open(u"C:\\work\\b.txt", os::OpenMode::Append);
    ASSERT_TRUE(onStick && inFolder);

    ASSERT_TRUE(fs.RemoveDrive(u'F'));
    char buffer[8];
    uint32_t got = 0;
    EXPECT_FALSE(onStick->Read(buffer, sizeof buffer, got));
    EXPECT_EQ(fs.LastError(), os::kErrNotReady);
    EXPECT_EQ(fs.LogicalDrives() & (1u << 5), 0u);
    EXPECT_EQ(fs.GetAttributes(u"F:\\data"), os::kInvalidAttributes);
    EXPECT_EQ(fs.LastError(), os::kErrPathNotFound);

    ASSERT_TRUE(fs.ForceRemove(u"C:\\work"));
    EXPECT_FALSE(inFolder->Write("g", 1, got));
    EXPECT_EQ(fs.LastError(), os::kErrFileNotFound);
    EXPECT_FALSE(fs.Exists(u"C:\\work"));
    EXPECT_EQ(fs.UsedBytes(u'C'), 0u);
    onStick.reset();
    inFolder.reset();
    EXPECT_EQ(fs.OpenHandleCount(), 0);
}

TEST_F(SimFileSystemFaultTest, WriteFaultFailsEveryWrite) {
    auto file = fs.Open(u"C:\\f.txt", os::OpenMode::CreateAlways);
    ASSERT_TRUE(file);
    ASSERT_TRUE(fs.SetWriteFault(u'C', true));
    uint32_t written = 7;
    EXPECT_FALSE(file->Write("abc", 3, written));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(fs.LastError(), kErrWriteFault);
    ASSERT_TRUE(fs.SetWriteFault(u'C', false));
    EXPECT_TRUE(file->Write("abc", 3, written));
}

TEST_F(SimFileSystemFaultTest, SharingBetweenHandlesAndOtherProcesses) {
    ASSERT_TRUE(fs.WriteFile(u"C:\\s.txt", "s"));
    {
        auto reader = fs.Open(u"C:\\s.txt", os::OpenMode::Read);
        auto second = fs.Open(u"C:\\s.txt", os::OpenMode::Read);
        EXPECT_TRUE(reader && second) << "readers share";
        EXPECT_EQ(fs.Open(u"C:\\s.txt", os::OpenMode::Append), nullptr);
        EXPECT_EQ(fs.LastError(), os::kErrSharingViolation);
        EXPECT_EQ(fs.OpenFileCount(), 2);
    }
    {
        auto writer = fs.Open(u"C:\\s.txt", os::OpenMode::Append);
        ASSERT_TRUE(writer);
        EXPECT_EQ(fs.Open(u"C:\\s.txt", os::OpenMode::Read), nullptr);
        EXPECT_EQ(fs.LastError(), os::kErrSharingViolation);
        char c;
        uint32_t got = 0;
        EXPECT_FALSE(writer->Read(&c, 1, got)) << "a write handle cannot read";
        EXPECT_EQ(fs.LastError(), os::kErrAccessDenied);
    }
    {
        auto reader = fs.Open(u"C:\\s.txt", os::OpenMode::Read);
        uint32_t written = 0;
        const uint64_t t = 5;
        EXPECT_FALSE(reader->Write("x", 1, written));
        EXPECT_FALSE(reader->SetTimes(&t, &t, &t)) << "a read handle cannot set times";
        EXPECT_EQ(fs.LastError(), os::kErrAccessDenied);
    }
    EXPECT_EQ(fs.OpenFileCount(), 0);

    // A file another process holds refuses everything that needs it.
    ASSERT_TRUE(fs.SetLocked(u"C:\\s.txt", true));
    EXPECT_EQ(fs.Open(u"C:\\s.txt", os::OpenMode::Read), nullptr);
    EXPECT_EQ(fs.LastError(), os::kErrSharingViolation);
    EXPECT_EQ(fs.Open(u"C:\\s.txt", os::OpenMode::CreateAlways), nullptr);
    EXPECT_EQ(fs.LastError(), os::kErrSharingViolation);
    EXPECT_FALSE(fs.DeleteFile(u"C:\\s.txt"));
    EXPECT_EQ(fs.LastError(), os::kErrSharingViolation);
    EXPECT_FALSE(fs.MoveFile(u"C:\\s.txt", u"C:\\t.txt", 0));
    EXPECT_EQ(fs.LastError(), os::kErrSharingViolation);
    ASSERT_TRUE(fs.SetLocked(u"C:\\s.txt", false));

    ASSERT_TRUE(fs.SetUnreadable(u"C:\\s.txt", true));
    EXPECT_EQ(fs.Open(u"C:\\s.txt", os::OpenMode::Read), nullptr);
    EXPECT_EQ(fs.LastError(), os::kErrAccessDenied);
    EXPECT_NE(fs.GetAttributes(u"C:\\s.txt"), os::kInvalidAttributes);
}

TEST_F(SimFileSystemFaultTest, ReadOnlyHiddenAndSystemRefusals) {
    ASSERT_TRUE(fs.WriteFile(u"C:\\ro.txt", "r", os::kAttrReadOnly));
    ASSERT_TRUE(fs.WriteFile(u"C:\\hid.txt", "h", os::kAttrHidden | os::kAttrSystem));
    ASSERT_TRUE(fs.MakeFolders(u"C:\\rodir", os::kAttrReadOnly));
    struct Row {
        const char* what;
        std::function<bool()> fails;
        uint32_t error;
    };
    const Row rows[] = {
        {"overwrite read-only", [&] { return !fs.Open(u"C:\\ro.txt", os::OpenMode::CreateAlways); },
         os::kErrAccessDenied},
        {"append to read-only", [&] { return !fs.Open(u"C:\\ro.txt", os::OpenMode::Append); },
         os::kErrAccessDenied},
        {"delete read-only", [&] { return !fs.DeleteFile(u"C:\\ro.txt"); }, os::kErrAccessDenied},
        {"remove read-only folder", [&] { return !fs.RemoveDirectory(u"C:\\rodir"); },
         os::kErrAccessDenied},
        {"overwrite hidden+system asking hidden only",
         [&] { return !fs.Open(u"C:\\hid.txt", os::OpenMode::CreateAlways, os::kAttrHidden); },
         os::kErrAccessDenied},
        {"delete a folder as a file", [&] { return !fs.DeleteFile(u"C:\\rodir"); },
         os::kErrAccessDenied},
        {"remove a file as a folder", [&] { return !fs.RemoveDirectory(u"C:\\ro.txt"); },
         kErrDirectory},
        {"create the root", [&] { return !fs.CreateDirectory(u"C:\\"); }, os::kErrAccessDenied},
        {"file path with a separator",
         [&] { return fs.GetAttributes(u"C:\\ro.txt\\") == os::kInvalidAttributes; },
         os::kErrInvalidName},
    };
    for (const Row& row : rows) {
        EXPECT_TRUE(row.fails()) << row.what;
        EXPECT_EQ(fs.LastError(), row.error) << row.what;
    }
    EXPECT_EQ(fs.ReadFile(u"C:\\ro.txt"), "r");
    EXPECT_EQ(fs.ReadFile(u"C:\\hid.txt"), "h");

    // Asking again for the same attributes overwrites, and the result keeps them.
    auto again =
        fs.Open(u"C:\\hid.txt", os::OpenMode::CreateAlways, os::kAttrHidden | os::kAttrSystem);
    ASSERT_TRUE(again);
    EXPECT_EQ(fs.GetAttributes(u"C:\\hid.txt"),
              os::kAttrHidden | os::kAttrSystem | os::kAttrArchive);
    // A file created read-only can still be written through the handle that created it.
    auto fresh = fs.Open(u"C:\\new-ro.txt", os::OpenMode::CreateAlways, os::kAttrReadOnly);
    ASSERT_TRUE(fresh);
    uint32_t written = 0;
    EXPECT_TRUE(fresh->Write("w", 1, written));
    EXPECT_EQ(fs.GetAttributes(u"C:\\new-ro.txt"), os::kAttrReadOnly | os::kAttrArchive);
}

TEST_F(SimFileSystemFaultTest, SuccessDoesNotClearTheLastError) {
    EXPECT_EQ(fs.GetAttributes(u"C:\\none"), os::kInvalidAttributes);
    EXPECT_EQ(fs.LastError(), os::kErrFileNotFound);
    ASSERT_TRUE(fs.CreateDirectory(u"C:\\dir"));
    EXPECT_NE(fs.GetAttributes(u"C:\\dir"), os::kInvalidAttributes);
    EXPECT_EQ(fs.LastError(), os::kErrFileNotFound);
    // Opening an existing file to write succeeds and says it existed, as Windows does.
    ASSERT_TRUE(fs.WriteFile(u"C:\\dir\\f.txt", "f"));
    for (const os::OpenMode mode : {os::OpenMode::CreateAlways, os::OpenMode::Append}) {
        EXPECT_TRUE(fs.Open(u"C:\\dir\\f.txt", mode));
        EXPECT_EQ(fs.LastError(), os::kErrAlreadyExists);
    }
}

}  // namespace
}  // namespace sim
