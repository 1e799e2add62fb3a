// The simulated file system beyond the contract: 8.3 aliases, device names, path limits,
// enumeration details, moves across drives and pending moves, times and the tree listing.
#include "sim/SimFileSystem.h"

#include <gtest/gtest.h>

#include "os/Text.h"

namespace sim {
namespace {

class SimFileSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs.AddDrive(u'C', os::DriveType::Fixed, u"NTFS", u"Windows", 1000000));
        ASSERT_TRUE(fs.AddDrive(u'D', os::DriveType::Fixed, u"NTFS", u"Data", 1000000));
    }

    std::vector<os::FindData> FindAll(const os::WString& pattern) {
        std::vector<os::FindData> out;
        os::FindData record;
        auto find = fs.FindFirst(pattern, record);
        while (find) {
            out.push_back(record);
            if (!find->Next(record)) {
                break;
            }
        }
        return out;
    }

    std::string Listing(const os::WString& pattern) {
        std::string out;
        for (const auto& record : FindAll(pattern)) {
            out += os::ToUtf8(record.name);
            if (!record.shortName.empty()) {
                out += "(" + os::ToUtf8(record.shortName) + ")";
            }
            out += " ";
        }
        return out;
    }

    SimFileSystem fs;
};

TEST_F(SimFileSystemTest, GivesShortNamesOnlyWhereNeededAndFindsByThem) {
    for (const char16_t* name : {u"Long Name Document.doc", u"Long Name Drawing.doc", u"README.TXT",
                                 u"Desktop", u"\u8CC7\u6599.txt"}) {
        ASSERT_TRUE(fs.WriteFile(u"C:\\d\\" + os::WString(name), "x"));
    }
    EXPECT_EQ(Listing(u"C:\\d\\*"),
              ". .. Desktop Long Name Document.doc(LONGNA~1.DOC) "
              "Long Name Drawing.doc(LONGNA~2.DOC) README.TXT "
              "\xE8\xB3\x87\xE6\x96\x99.txt(__~1.TXT) ");
    EXPECT_EQ(fs.ReadFile(u"C:\\D\\longna~2.doc"), "x");
    // Windows also matches a pattern against the alias.
    ASSERT_TRUE(fs.WriteFile(u"C:\\e\\report.docx", "x"));
    EXPECT_EQ(Listing(u"C:\\e\\*.doc"), "report.docx(REPORT~1.DOC) ");

    // A rename gives a new alias in the new folder.
    ASSERT_TRUE(fs.MoveFile(u"C:\\d\\Long Name Drawing.doc", u"C:\\e\\Long Name Drawing.doc", 0));
    EXPECT_EQ(Listing(u"C:\\e\\Long*"), "Long Name Drawing.doc(LONGNA~1.DOC) ");
}

TEST_F(SimFileSystemTest, DeviceNamesNeverCreateAnything) {
    for (const char16_t* name : {u"CON", u"nul.txt", u"COM1", u"lpt9.log", u"AUX"}) {
        const os::WString path = u"C:\\" + os::WString(name);
        EXPECT_EQ(fs.Open(path, os::OpenMode::CreateAlways), nullptr) << os::ToUtf8(name);
        EXPECT_NE(fs.LastError(), 0u);
        EXPECT_FALSE(fs.CreateDirectory(path)) << os::ToUtf8(name);
        EXPECT_FALSE(fs.CreateDirectory(path + u"\\sub")) << os::ToUtf8(name);
    }
    EXPECT_EQ(fs.Dump(u"C:\\"), "");
}

TEST_F(SimFileSystemTest, UnreachablePathsFail) {
    struct Row {
        const char16_t* path;
        uint32_t error;
    };
    const Row rows[] = {
        {u"\\\\server\\share\\x.txt", os::kErrPathNotFound},
        {u"\\\\?\\UNC\\server\\share\\x.txt", os::kErrPathNotFound},
        {u"Q:\\x.txt", os::kErrPathNotFound},
        {u"C:\\x.txt:stream", os::kErrInvalidName},
        {u"x.txt", os::kErrPathNotFound},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(fs.Open(row.path, os::OpenMode::CreateAlways), nullptr) << os::ToUtf8(row.path);
        EXPECT_EQ(fs.LastError(), row.error) << os::ToUtf8(row.path);
    }
    EXPECT_EQ(fs.Dump(u"C:\\"), "");
}

TEST_F(SimFileSystemTest, DotDotNeverClimbsAboveTheRoot) {
    ASSERT_TRUE(fs.CreateDirectory(u"C:\\a"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\a\\..\\..\\..\\b.txt", "b"));
    EXPECT_EQ(fs.Dump(u"C:\\", false), "D---- " + std::string(9, ' ') +
                                           "0 0000000000000000 a\\\n"
                                           "----A " +
                                           std::string(9, ' ') + "1 af63df4c8601f1a5 b.txt\n");
}

TEST_F(SimFileSystemTest, PathLengthLimits) {
    // CreateDirectory keeps room for an 8.3 name: 247 characters at most.
    const os::WString base = u"C:\\" + os::WString(240, u'd');  // 243
    ASSERT_TRUE(fs.CreateDirectory(base));
    EXPECT_TRUE(fs.CreateDirectory(base + u"\\abc"));    // 247
    EXPECT_FALSE(fs.CreateDirectory(base + u"\\abcd"));  // 248
    EXPECT_EQ(fs.LastError(), os::kErrFilenameTooLong);
    // Files stop at MAX_PATH: 259 characters at most.
    EXPECT_TRUE(fs.Open(base + u"\\abc\\" + os::WString(11, u'f'), os::OpenMode::CreateAlways));
    EXPECT_EQ(fs.Open(base + u"\\abc\\" + os::WString(12, u'f'), os::OpenMode::CreateAlways),
              nullptr);
    EXPECT_EQ(fs.LastError(), os::kErrFilenameTooLong);
}

TEST_F(SimFileSystemTest, EnumerationDetails) {
    ASSERT_TRUE(fs.WriteFile(u"C:\\top.txt", "t"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\dir\\b", "b"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\dir\\A", "a"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\dir\\c.txt", "c"));
    EXPECT_EQ(Listing(u"C:\\*"), "dir top.txt ") << "a root lists no dot records";
    EXPECT_EQ(Listing(u"C:\\dir\\*.*"), ". .. A b c.txt ") << "sorted by upper-case name";
    EXPECT_EQ(Listing(u"C:\\dir\\*."), ". .. A b ") << "names without extension";
    EXPECT_EQ(Listing(u"C:\\dir"), "dir ");
    EXPECT_EQ(Listing(u"C:\\"), "");
    EXPECT_EQ(fs.LastError(), os::kErrFileNotFound);
    EXPECT_EQ(Listing(u"C:\\top.txt\\*"), "");
    EXPECT_EQ(fs.LastError(), os::kErrPathNotFound);

    // "." describes the folder itself, ".." its parent.
    fs.SetTimes(u"C:\\dir", {1, 2, 3});
    const auto records = FindAll(u"C:\\dir\\*");
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records[0].lastWriteTime, 3u);
    EXPECT_EQ(records[0].attributes, os::kAttrDirectory);
    EXPECT_EQ(records[1].attributes, os::kAttrDirectory | os::kAttrHidden | os::kAttrSystem);
}

TEST_F(SimFileSystemTest, EnumerationSurvivesChangesDuringTheWalk) {
    for (const char16_t* name : {u"C:\\w\\1", u"C:\\w\\2", u"C:\\w\\3"}) {
        ASSERT_TRUE(fs.WriteFile(name, "x"));
    }
    os::FindData record;
    auto find = fs.FindFirst(u"C:\\w\\*", record);
    ASSERT_TRUE(find);
    EXPECT_EQ(fs.OpenFindCount(), 1);
    ASSERT_TRUE(fs.DeleteFile(u"C:\\w\\2"));
    ASSERT_TRUE(fs.DeleteFile(u"C:\\w\\3"));
    ASSERT_TRUE(fs.RemoveDirectory(u"C:\\w") == false);
    ASSERT_TRUE(fs.DeleteFile(u"C:\\w\\1"));
    ASSERT_TRUE(fs.RemoveDirectory(u"C:\\w"));
    int seen = 1;
    while (find->Next(record)) {
        ++seen;
    }
    EXPECT_EQ(seen, 5);  // the snapshot: . .. 1 2 3
    find.reset();
    EXPECT_EQ(fs.OpenFindCount(), 0);
}

TEST_F(SimFileSystemTest, MovesAcrossDrivesNeedCopyAllowedAndOnlyForFiles) {
    const SimTimes times{100, 200, 300};
    ASSERT_TRUE(fs.WriteFile(u"C:\\f.txt", "12345", os::kAttrHidden, times));
    ASSERT_TRUE(fs.MakeFolders(u"C:\\folder"));
    EXPECT_FALSE(fs.MoveFile(u"C:\\f.txt", u"D:\\f.txt", os::kMoveReplaceExisting));
    EXPECT_EQ(fs.LastError(), os::kErrNotSameDevice);
    EXPECT_FALSE(fs.MoveFile(u"C:\\folder", u"D:\\folder", os::kMoveCopyAllowed));
    EXPECT_EQ(fs.LastError(), os::kErrNotSameDevice);

    ASSERT_TRUE(fs.MoveFile(u"C:\\f.txt", u"D:\\g.txt", os::kMoveCopyAllowed));
    EXPECT_FALSE(fs.Exists(u"C:\\f.txt"));
    EXPECT_EQ(fs.UsedBytes(u'C'), 0u);
    EXPECT_EQ(fs.UsedBytes(u'D'), 5u);
    // FNV-1a of "12345" is e575e8883c0f89f8.
    EXPECT_EQ(fs.Dump(u"D:\\"), "--H--          5 e575e8883c0f89f8 100 200 300 g.txt\n");

    // The copy needs room on the target.
    ASSERT_TRUE(fs.WriteFile(u"C:\\big.bin", std::string(999996, 'b')));
    EXPECT_FALSE(fs.MoveFile(u"C:\\big.bin", u"D:\\big.bin", os::kMoveCopyAllowed));
    EXPECT_EQ(fs.LastError(), os::kErrDiskFull);
    EXPECT_TRUE(fs.Exists(u"C:\\big.bin"));
}

TEST_F(SimFileSystemTest, MoveRefusals) {
    ASSERT_TRUE(fs.WriteFile(u"C:\\a\\b\\f.txt", "f"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\ro.txt", "r", os::kAttrReadOnly));
    ASSERT_TRUE(fs.WriteFile(u"C:\\src.txt", "s"));
    struct Row {
        const char16_t* from;
        const char16_t* to;
        uint32_t error;
        const char* why;
    };
    const Row rows[] = {
        {u"C:\\a", u"C:\\a\\b\\c", os::kErrSharingViolation, "a folder into itself"},
        {u"C:\\src.txt", u"C:\\ro.txt", os::kErrAccessDenied, "over a read-only file"},
        {u"C:\\src.txt", u"C:\\a", os::kErrAccessDenied, "over a folder"},
        {u"C:\\src.txt", u"C:\\none\\x.txt", os::kErrPathNotFound, "into a missing folder"},
        {u"C:\\", u"C:\\x", os::kErrAccessDenied, "the root"},
    };
    for (const Row& row : rows) {
        EXPECT_FALSE(fs.MoveFile(row.from, row.to, os::kMoveReplaceExisting)) << row.why;
        EXPECT_EQ(fs.LastError(), row.error) << row.why;
    }
    {
        auto open = fs.Open(u"C:\\a\\b\\f.txt", os::OpenMode::Read);
        EXPECT_FALSE(fs.MoveFile(u"C:\\a\\b\\f.txt", u"C:\\g.txt", 0));
        EXPECT_EQ(fs.LastError(), os::kErrSharingViolation);
        EXPECT_FALSE(fs.MoveFile(u"C:\\a", u"C:\\z", 0));
        EXPECT_EQ(fs.LastError(), os::kErrAccessDenied) << "a folder with an open file";
    }
    EXPECT_TRUE(fs.MoveFile(u"C:\\a", u"C:\\z", 0));
    EXPECT_EQ(fs.ReadFile(u"C:\\z\\b\\f.txt"), "f");
    // A read-only file itself may be renamed; a change of case is a rename.
    EXPECT_TRUE(fs.MoveFile(u"C:\\ro.txt", u"C:\\RO.TXT", 0));
    EXPECT_EQ(FindAll(u"C:\\ro.txt").at(0).name, u"RO.TXT");
}

TEST_F(SimFileSystemTest, DelayedMovesAreOnlyRecorded) {
    ASSERT_TRUE(fs.WriteFile(u"C:\\old.dll", "x"));
    EXPECT_TRUE(fs.MoveFile(u"C:\\old.dll", u"C:\\new.dll",
                            os::kMoveDelayUntilReboot | os::kMoveReplaceExisting));
    EXPECT_TRUE(fs.MoveFile(u"C:\\missing", u"", os::kMoveDelayUntilReboot));
    ASSERT_EQ(fs.PendingMoves().size(), 2u);
    EXPECT_EQ(fs.PendingMoves()[0].from, u"C:\\old.dll");
    EXPECT_EQ(fs.PendingMoves()[0].to, u"C:\\new.dll");
    EXPECT_EQ(fs.PendingMoves()[0].flags, os::kMoveDelayUntilReboot | os::kMoveReplaceExisting);
    EXPECT_EQ(fs.PendingMoves()[1].to, u"");
    EXPECT_TRUE(fs.Exists(u"C:\\old.dll"));
    EXPECT_FALSE(fs.Exists(u"C:\\new.dll"));
}

TEST_F(SimFileSystemTest, TimesFollowTheVirtualClock) {
    fs.SetNow(1000);
    ASSERT_TRUE(fs.CreateDirectory(u"C:\\t"));
    fs.SetNow(2000);
    {
        auto file = fs.Open(u"C:\\t\\f.txt", os::OpenMode::CreateAlways);
        ASSERT_TRUE(file);
        fs.SetNow(3000);
        uint32_t written = 0;
        ASSERT_TRUE(file->Write("ab", 2, written));
    }
    auto record = FindAll(u"C:\\t\\f.txt").at(0);
    EXPECT_EQ(record.creationTime, 2000u);
    EXPECT_EQ(record.lastAccessTime, 2000u);
    EXPECT_EQ(record.lastWriteTime, 3000u);
    EXPECT_EQ(FindAll(u"C:\\t").at(0).lastWriteTime, 2000u) << "a new entry changes its folder";

    // A time set through a handle stays, even when that handle writes again.
    {
        auto file = fs.Open(u"C:\\t\\f.txt", os::OpenMode::Append);
        const uint64_t pinned = 42;
        ASSERT_TRUE(file->SetTimes(nullptr, nullptr, &pinned));
        fs.SetNow(4000);
        uint32_t written = 0;
        ASSERT_TRUE(file->Write("c", 1, written));
    }
    EXPECT_EQ(FindAll(u"C:\\t\\f.txt").at(0).lastWriteTime, 42u);

    // Overwriting keeps the creation time.
    fs.SetNow(5000);
    ASSERT_TRUE(fs.Open(u"C:\\t\\f.txt", os::OpenMode::CreateAlways));
    record = FindAll(u"C:\\t\\f.txt").at(0);
    EXPECT_EQ(record.creationTime, 2000u);
    EXPECT_EQ(record.lastWriteTime, 5000u);
    EXPECT_EQ(record.size, 0u);
}

TEST_F(SimFileSystemTest, DumpListsAWholeTreeRelativeToItsFolder) {
    // FNV-1a of "1" is af63ac4c86019afc, of "22" 08030607b4c32245.
    const std::string expected =
        "D-H--          0 0000000000000000 7 8 9 a\\\n"
        "----A          1 af63ac4c86019afc 1 2 3 a\\one.txt\n"
        "-R-S-          2 08030607b4c32245 4 5 6 B.txt\n";
    auto build = [this](const os::WString& root, const os::WString& bName) {
        ASSERT_TRUE(fs.WriteFile(root + u"\\a\\one.txt", "1", os::kAttrArchive, SimTimes{1, 2, 3}));
        ASSERT_TRUE(fs.WriteFile(root + u"\\" + bName, "22", os::kAttrReadOnly | os::kAttrSystem,
                                 SimTimes{4, 5, 6}));
        ASSERT_TRUE(fs.SetTimes(root + u"\\a", {7, 8, 9}));
        ASSERT_TRUE(fs.SetAttributes(root + u"\\a", os::kAttrHidden));
    };
    build(u"C:\\src", u"B.txt");
    EXPECT_EQ(fs.Dump(u"C:\\src"), expected);

    // The same tree elsewhere lists the same; the case of a name counts.
    build(u"D:\\copy", u"b.TXT");
    EXPECT_NE(fs.Dump(u"D:\\copy"), expected);
    ASSERT_TRUE(fs.MoveFile(u"D:\\copy\\b.TXT", u"D:\\copy\\B.txt", 0));
    EXPECT_EQ(fs.Dump(u"D:\\copy"), expected);

    EXPECT_EQ(fs.Dump(u"D:\\copy", false),
              "D-H--          0 0000000000000000 a\\\n"
              "----A          1 af63ac4c86019afc a\\one.txt\n"
              "-R-S-          2 08030607b4c32245 B.txt\n");
    EXPECT_EQ(fs.Dump(u"D:\\missing"), "");
}

}  // namespace
}  // namespace sim
