// Win32FileSystem against the real (Wine) file system in a fresh folder under C:\.
#include "os/win32/WinApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "TempFolder.h"
#include "os/Text.h"
#include "os/win32/Win32FileSystem.h"
#include "os/win32/WinText.h"

namespace {

using os::FindData;
using os::OpenMode;
using os::WString;
using os::win32::W;
using wintest::ReadWholeFile;
using wintest::TempFolder;
using wintest::WriteWholeFile;

// Wine reports ARCHIVE on every regular file, whatever was set.
constexpr uint32_t kNoArchive = ~uint32_t{os::kAttrArchive};

// A time with millisecond precision (what Wine keeps): 2021-06-15 10:20:30.123 UTC.
constexpr uint64_t kSomeTime = 132682176301230000ull;

class Win32FileSystemTest : public testing::Test {
  protected:
    std::map<WString, FindData> List(const WString& pattern) {
        std::map<WString, FindData> records;
        FindData data;
        auto find = fs.FindFirst(pattern, data);
        if (!find) {
            return records;
        }
        do {
            EXPECT_TRUE(records.emplace(data.name, data).second) << os::ToUtf8(data.name);
        } while (find->Next(data));
        EXPECT_EQ(fs.LastError(), os::kErrNoMoreFiles);
        return records;
    }

    bool WriteAll(os::File& file, const std::string& bytes) {
        uint32_t written = 0;
        return file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()), written) &&
               written == bytes.size();
    }

    os::win32::Win32FileSystem fs;
    TempFolder dir;
};

TEST_F(Win32FileSystemTest, FindListsEveryEntryWithLongAndShortNames) {
    struct Row {
        WString name;
        bool needsShortName;
    };
    const std::vector<Row> rows = {
        {u"PLAIN.TXT", false},
        {u"Long File Name.document", true},
        {u"日本語の名前.txt", true},
    };
    for (const auto& row : rows) {
        WriteWholeFile(dir / row.name, "12345");
    }
    ASSERT_TRUE(CreateDirectoryW(W(dir / u"Sub Folder"), nullptr));

    const auto records = List(dir / u"*");
    // Windows lists the folder itself and its parent too; callers skip them.
    EXPECT_EQ(records.count(u"."), 1u);
    EXPECT_EQ(records.count(u".."), 1u);
    for (const auto& row : rows) {
        SCOPED_TRACE(os::ToUtf8(row.name));
        ASSERT_EQ(records.count(row.name), 1u);
        const FindData& data = records.at(row.name);
        EXPECT_EQ(data.size, 5u);
        EXPECT_EQ(data.attributes & os::kAttrDirectory, 0u);
        EXPECT_NE(data.lastWriteTime, 0u);
        if (row.needsShortName) {
            EXPECT_FALSE(data.shortName.empty());
            EXPECT_LE(data.shortName.size(), 12u);
            EXPECT_NE(data.shortName.find(u'~'), WString::npos);
        } else {
            EXPECT_TRUE(data.shortName.empty()) << os::ToUtf8(data.shortName);
        }
    }
    ASSERT_EQ(records.count(u"Sub Folder"), 1u);
    EXPECT_NE(records.at(u"Sub Folder").attributes & os::kAttrDirectory, 0u);
}

TEST_F(Win32FileSystemTest, FindReportsSizesPastFourGigabytes) {
    const WString path = dir / u"big.bin";
    HANDLE h = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = (5ll << 30) + 7;  // sparse on the host: costs no disk
    ASSERT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);

    FindData data;
    ASSERT_TRUE(fs.FindFirst(path, data));
    EXPECT_EQ(data.size, (5ull << 30) + 7);
    auto file = fs.Open(path, OpenMode::Read);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Size(), (5ull << 30) + 7);
}

TEST_F(Win32FileSystemTest, FindWithoutMatchFailsWithTheWindowsError) {
    FindData data;
    EXPECT_FALSE(fs.FindFirst(dir / u"*.none", data));
    EXPECT_EQ(fs.LastError(), os::kErrFileNotFound);
    EXPECT_FALSE(fs.FindFirst(dir / u"missing\\*", data));
    EXPECT_EQ(fs.LastError(), os::kErrPathNotFound);
}

TEST_F(Win32FileSystemTest, TimesRoundTripAtMillisecondPrecision) {
    const WString path = dir / u"stamped.txt";
    const uint64_t access = kSomeTime + 86400ull * 10000000ull;  // a day later
    {
        auto file = fs.Open(path, OpenMode::CreateAlways);
        ASSERT_TRUE(file);
        ASSERT_TRUE(WriteAll(*file, "data"));
        ASSERT_TRUE(file->SetTimes(nullptr, &access, &kSomeTime));
    }
    FindData data;
    ASSERT_TRUE(fs.FindFirst(path, data));
    EXPECT_EQ(data.lastWriteTime, kSomeTime);
    EXPECT_EQ(data.lastAccessTime, access);

    // A null time leaves that time alone.
    const uint64_t later = kSomeTime + 12340000ull;
    {
        auto file = fs.Open(path, OpenMode::Append);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->SetTimes(nullptr, nullptr, &later));
        ASSERT_TRUE(file->SetTimes(nullptr, &access, nullptr));
    }
    ASSERT_TRUE(fs.FindFirst(path, data));
    EXPECT_EQ(data.lastWriteTime, later);
    EXPECT_EQ(data.lastAccessTime, access);
}

TEST_F(Win32FileSystemTest, AttributesRoundTrip) {
    const WString path = dir / u"attr.txt";
    WriteWholeFile(path, "x");
    for (uint32_t attributes :
         std::initializer_list<uint32_t>{os::kAttrHidden, os::kAttrReadOnly, os::kAttrSystem,
                                         os::kAttrHidden | os::kAttrSystem | os::kAttrReadOnly}) {
        SCOPED_TRACE(attributes);
        ASSERT_TRUE(fs.SetAttributes(path, attributes));
        EXPECT_EQ(fs.GetAttributes(path) & kNoArchive, attributes);
        FindData data;
        ASSERT_TRUE(fs.FindFirst(path, data));
        EXPECT_EQ(data.attributes & kNoArchive, attributes);
    }
    ASSERT_TRUE(fs.SetAttributes(path, os::kAttrNormal));
    EXPECT_EQ(fs.GetAttributes(path) & kNoArchive & ~uint32_t{os::kAttrNormal}, 0u);

    EXPECT_NE(fs.GetAttributes(dir.Path()) & os::kAttrDirectory, 0u);
    EXPECT_EQ(fs.GetAttributes(dir / u"missing"), os::kInvalidAttributes);
    EXPECT_EQ(fs.LastError(), os::kErrFileNotFound);
}

TEST_F(Win32FileSystemTest, NewFilesGetTheRequestedAttributes) {
    const WString path = dir / u"hidden.txt";
    {
        auto file = fs.Open(path, OpenMode::CreateAlways, os::kAttrHidden);
        ASSERT_TRUE(file);
    }
    EXPECT_EQ(fs.GetAttributes(path) & kNoArchive, os::kAttrHidden);
}

TEST_F(Win32FileSystemTest, OpenModesReadTruncateAndAppend) {
    const WString path = dir / u"modes.txt";
    EXPECT_FALSE(fs.Open(path, OpenMode::Read));
    EXPECT_EQ(fs.LastError(), os::kErrFileNotFound);

    {
        auto file = fs.Open(path, OpenMode::Append);  // creates
        ASSERT_TRUE(file);
        ASSERT_TRUE(WriteAll(*file, "abc"));
    }
    {
        auto file = fs.Open(path, OpenMode::Append);
        ASSERT_TRUE(file);
        ASSERT_TRUE(WriteAll(*file, "def"));
        EXPECT_EQ(file->Size(), 6u);
    }
    EXPECT_EQ(ReadWholeFile(path), "abcdef");

    {
        auto file = fs.Open(path, OpenMode::Read);
        ASSERT_TRUE(file);
        char buffer[16] = {};
        uint32_t got = 0;
        ASSERT_TRUE(file->Read(buffer, 4, got));
        EXPECT_EQ(std::string(buffer, got), "abcd");
        ASSERT_TRUE(file->Read(buffer, sizeof(buffer), got));
        EXPECT_EQ(std::string(buffer, got), "ef");
        ASSERT_TRUE(file->Read(buffer, sizeof(buffer), got));
        EXPECT_EQ(got, 0u);  // end of file is success with nothing read
    }

    {
        auto file = fs.Open(path, OpenMode::CreateAlways);  // truncates
        ASSERT_TRUE(file);
        EXPECT_EQ(file->Size(), 0u);
        ASSERT_TRUE(WriteAll(*file, "z"));
    }
    EXPECT_EQ(ReadWholeFile(path), "z");
}

TEST_F(Win32FileSystemTest, OpenFilesAreSharedAsWindowsSharesThem) {
    const WString path = dir / u"shared.txt";
    WriteWholeFile(path, "content");
    {
        // Readers may share with readers.
        auto first = fs.Open(path, OpenMode::Read);
        auto second = fs.Open(path, OpenMode::Read);
        EXPECT_TRUE(first);
        EXPECT_TRUE(second);
        // A reader keeps the file from being deleted or opened for writing.
        EXPECT_FALSE(fs.DeleteFile(path));
        EXPECT_EQ(fs.LastError(), os::kErrSharingViolation);
        EXPECT_FALSE(fs.Open(path, OpenMode::CreateAlways));
        EXPECT_EQ(fs.LastError(), os::kErrSharingViolation);
    }
    {
        // A writer shares with nobody.
        auto writer = fs.Open(path, OpenMode::Append);
        ASSERT_TRUE(writer);
        EXPECT_FALSE(fs.Open(path, OpenMode::Read));
        EXPECT_EQ(fs.LastError(), os::kErrSharingViolation);
    }
    // Every handle was closed by its owner: the file can go now.
    EXPECT_TRUE(fs.DeleteFile(path));
    EXPECT_EQ(fs.GetAttributes(path), os::kInvalidAttributes);
}

TEST_F(Win32FileSystemTest, MoveHonoursItsFlags) {
    const WString from = dir / u"from.txt";
    const WString to = dir / u"to.txt";
    WriteWholeFile(from, "new");
    WriteWholeFile(to, "old");

    EXPECT_FALSE(fs.MoveFile(from, to, 0));
    EXPECT_EQ(fs.LastError(), os::kErrAlreadyExists);
    EXPECT_EQ(ReadWholeFile(to), "old");

    EXPECT_TRUE(fs.MoveFile(from, to, os::kMoveReplaceExisting | os::kMoveCopyAllowed));
    EXPECT_EQ(ReadWholeFile(to), "new");
    EXPECT_EQ(fs.GetAttributes(from), os::kInvalidAttributes);

    // Folders move (rename) with their contents.
    ASSERT_TRUE(fs.CreateDirectory(dir / u"a"));
    WriteWholeFile(dir / u"a\\inside.txt", "in");
    EXPECT_TRUE(fs.MoveFile(dir / u"a", dir / u"b", 0));
    EXPECT_EQ(ReadWholeFile(dir / u"b\\inside.txt"), "in");
}

TEST_F(Win32FileSystemTest, FoldersAreMadeAndRemovedOnlyWhenEmpty) {
    const WString sub = dir / u"sub";
    EXPECT_TRUE(fs.CreateDirectory(sub));
    EXPECT_FALSE(fs.CreateDirectory(sub));
    EXPECT_EQ(fs.LastError(), os::kErrAlreadyExists);
    EXPECT_FALSE(fs.CreateDirectory(dir / u"missing\\sub"));
    EXPECT_EQ(fs.LastError(), os::kErrPathNotFound);

    WriteWholeFile(sub + u"\\f.txt", "x");
    EXPECT_FALSE(fs.RemoveDirectory(sub));
    EXPECT_EQ(fs.LastError(), os::kErrDirNotEmpty);
    EXPECT_TRUE(fs.DeleteFile(sub + u"\\f.txt"));
    EXPECT_TRUE(fs.RemoveDirectory(sub));
    EXPECT_EQ(fs.GetAttributes(sub), os::kInvalidAttributes);
}

// The first drive letter this PC does not have.
WString UnusedDriveRoot(uint32_t drives) {
    for (int i = 3; i < 26; ++i) {
        if (!(drives & (1u << i))) {
            return WString(1, static_cast<char16_t>(u'A' + i)) + u":\\";
        }
    }
    return u"";
}

TEST_F(Win32FileSystemTest, DrivesTypesAndVolumes) {
    const uint32_t drives = fs.LogicalDrives();
    EXPECT_NE(drives & (1u << 2), 0u) << "C: is missing";
    EXPECT_EQ(fs.GetDriveType(u"C:\\"), os::DriveType::Fixed);

    WString volume, fileSystem;
    ASSERT_TRUE(fs.GetVolumeInformation(u"C:\\", volume, fileSystem));
    EXPECT_FALSE(fileSystem.empty());

    const WString unused = UnusedDriveRoot(drives);
    ASSERT_FALSE(unused.empty());
    EXPECT_EQ(fs.GetDriveType(unused), os::DriveType::NoRootDir);
    EXPECT_FALSE(fs.GetVolumeInformation(unused, volume, fileSystem));
}

TEST_F(Win32FileSystemTest, FreeSpaceIsTheWholeVolume) {
    uint64_t total = 0, free = 0;
    ASSERT_TRUE(fs.GetDiskFreeSpace(u"C:\\", total, free));
    EXPECT_GT(total, 0u);
    EXPECT_GT(free, 0u);
    EXPECT_LE(free, total);

    ULARGE_INTEGER available{}, expectTotal{}, expectFree{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &available, &expectTotal, &expectFree));
    EXPECT_EQ(total, expectTotal.QuadPart);
    // Other processes write meanwhile: allow a little drift.
    const uint64_t drift =
        free > expectFree.QuadPart ? free - expectFree.QuadPart : expectFree.QuadPart - free;
    EXPECT_LT(drift, 64ull << 20);

    EXPECT_FALSE(fs.GetDiskFreeSpace(UnusedDriveRoot(fs.LogicalDrives()), total, free));
    EXPECT_NE(fs.LastError(), os::kErrSuccess);
}

}  // namespace

// Reading a folder ahead never stands in the way: its files can be read, renamed and deleted
// meanwhile, the folder itself removed, and a file system that still reads ahead goes away
// without waiting for the rest.
TEST(Win32ReadAheadTest, FilesReadAheadStayFreeForEverythingElse) {
    TempFolder dir;
    const WString folder = dir / u"ahead";
    ASSERT_TRUE(CreateDirectoryW(W(folder), nullptr));
    const std::string body(70000, 'x');  // large enough to be read ahead
    for (int i = 0; i < 200; ++i) {
        WriteWholeFile(folder + u"\\f" + os::ToWString(i), body);
    }
    {
        os::win32::Win32FileSystem fs;
        fs.ReadAhead(folder, 0);
        for (int i = 0; i < 200; ++i) {
            const WString path = folder + u"\\f" + os::ToWString(i);
            fs.ReadAheadStep();
            EXPECT_EQ(ReadWholeFile(path), body);
            if (i % 2 == 0) {
                EXPECT_TRUE(fs.MoveFile(path, path + u".moved", 0)) << i;
                EXPECT_TRUE(fs.DeleteFile(path + u".moved")) << i;
            } else {
                EXPECT_TRUE(fs.DeleteFile(path)) << i;
            }
        }
        EXPECT_TRUE(fs.RemoveDirectory(folder));
        fs.ReadAhead(dir / u"missing", 0);
        fs.ReadAhead(os::WString(), 0);
        fs.ReadAhead(dir.Path(), 3);  // still reading when the file system goes away
    }
}
