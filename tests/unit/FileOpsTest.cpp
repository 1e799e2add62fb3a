// File operations on the simulated file system: exact walk order, paths beyond 259
// characters, roots that must never be removed, moves of locked files.
#include <gtest/gtest.h>

#include <map>

#include "os/Text.h"
#include "platform/FileOps.h"
#include "sim/SimFileSystem.h"

namespace {

class FileOpsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs.AddDrive(u'C', os::DriveType::Fixed, u"NTFS", u"System", 1ull << 30));
    }
    sim::SimFileSystem fs;
};

TEST(SplitPathTest, GivesTheFourParts) {
    struct Row {
        const char16_t* path;
        const char16_t* drive;
        const char16_t* dir;
        const char16_t* name;
        const char16_t* ext;
    };
    const Row rows[] = {
        {u"C:\\a\\b\\file.txt", u"C:", u"\\a\\b\\", u"file", u".txt"},
        {u"C:\\a\\b\\", u"C:", u"\\a\\b\\", u"", u""},
        {u"C:\\archive.tar.gz", u"C:", u"\\", u"archive.tar", u".gz"},
        {u"C:", u"C:", u"", u"", u""},
        {u"noext", u"", u"", u"noext", u""},
        {u"D:\\写真\\旅行.jpg", u"D:", u"\\写真\\", u"旅行", u".jpg"},
        {u"\\\\server\\share\\x.doc", u"", u"\\\\server\\share\\", u"x", u".doc"},
        {u"C:\\dir.with.dots\\name", u"C:", u"\\dir.with.dots\\", u"name", u""},
    };
    for (const Row& row : rows) {
        const SplitPathParts parts = SplitPath(row.path);
        EXPECT_EQ(parts.drive, row.drive);
        EXPECT_EQ(parts.dir, row.dir);
        EXPECT_EQ(parts.name, row.name);
        EXPECT_EQ(parts.ext, row.ext);
    }
    EXPECT_EQ(StripSuffix(u"C:\\a\\\\", u"\\"), u"C:\\a\\") << "only one suffix is removed";
    EXPECT_EQ(StripSuffix(u"C:\\a", u"\\"), u"C:\\a");
    EXPECT_EQ(StripSuffix(u"", u"\\"), u"");
}

TEST_F(FileOpsTest, CollectionsFollowEnumerationOrderDepthFirst) {
    ASSERT_TRUE(fs.MakeFolders(u"C:\\r\\b\\x"));
    ASSERT_TRUE(fs.MakeFolders(u"C:\\r\\a"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\r\\b\\1.txt", "1"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\r\\b\\x\\2.txt", "2"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\r\\c.txt", "3"));

    std::vector<os::WString> folders;
    CollectSubfolders(fs, u"C:\\r", folders);
    EXPECT_EQ(folders,
              (std::vector<os::WString>{u"C:\\r", u"C:\\r\\a", u"C:\\r\\b", u"C:\\r\\b\\x"}));
    std::vector<os::WString> files;
    CollectFiles(fs, u"C:\\r", files);
    EXPECT_EQ(files, (std::vector<os::WString>{u"C:\\r\\b\\1.txt", u"C:\\r\\b\\x\\2.txt",
                                               u"C:\\r\\c.txt"}));
    EXPECT_EQ(fs.OpenHandleCount(), 0);
}

// A file system holding paths longer than MAX_PATH, as Windows does when they were made with
// "\\?\" or by renaming a parent; only enumeration is needed.
class LongPathFs : public sim::SimFileSystem {
  public:
    struct Entry {
        os::WString name;
        bool folder;
    };
    std::map<os::WString, std::vector<Entry>> tree;  // folder → entries

    class Handle : public os::FindHandle {
      public:
        Handle(std::vector<os::FindData> records) : m_records(std::move(records)) {}
        bool Next(os::FindData& out) override {
            if (m_next >= m_records.size()) {
                return false;
            }
            out = m_records[m_next++];
            return true;
        }

      private:
        std::vector<os::FindData> m_records;
        size_t m_next = 1;
    };

    std::unique_ptr<os::FindHandle> FindFirst(const os::WString& pattern,
                                              os::FindData& first) override {
        std::vector<os::FindData> records;
        const os::WString folder = StripSuffix(pattern, u"\\*.*");
        if (folder != pattern) {
            for (const auto& entry : tree[folder]) {
                os::FindData data;
                data.name = entry.name;
                data.attributes = entry.folder ? os::kAttrDirectory : os::kAttrNormal;
                records.push_back(data);
            }
        } else {
            os::FindData data;
            data.name = SplitPath(pattern).name + SplitPath(pattern).ext;
            data.attributes = os::kAttrDirectory;
            records.push_back(data);
        }
        if (records.empty()) {
            return nullptr;
        }
        first = records.front();
        return std::make_unique<Handle>(records);
    }
};

TEST(FileOpsLongPathTest, LongPathsTakeTheExtendedLengthForm) {
    const os::WString at247 = u"C:\\" + os::WString(244, u'a');
    const os::WString at248 = at247 + u"b";
    const os::WString share = u"\\\\server\\share\\" + os::WString(240, u'c');
    const struct {
        os::WString in;
        os::WString out;
    } rows[] = {
        {u"C:\\short", u"C:\\short"},
        {at247, at247},
        {at248, u"\\\\?\\" + at248},
        {u"c:/" + at248.substr(3), u"\\\\?\\c:\\" + at248.substr(3)},
        {u"\\\\?\\" + at248, u"\\\\?\\" + at248},
        {share, u"\\\\?\\UNC\\server\\share\\" + os::WString(240, u'c')},
        {os::WString(250, u'r'), os::WString(250, u'r')},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ExtendedLengthPath(row.in), row.out) << os::ToUtf8(row.in);
    }
}

TEST(FileOpsLongPathTest, PathsBeyond259CharactersAreSkippedWhole) {
    LongPathFs fs;
    const os::WString base = u"C:\\base";
    const os::WString longName(240, u'x');
    const os::WString longFolder = base + u"\\" + longName;  // 248 characters: fine itself
    fs.tree[base] = {{longName, true}, {u"ok.txt", false}};
    fs.tree[longFolder] = {{u"child-folder-name", true}, {u"file-name-that-overflows.txt", false}};
    fs.tree[longFolder + u"\\child-folder-name"] = {{u"deeper.txt", false}};

    std::vector<os::WString> folders;
    CollectSubfolders(fs, base, folders);
    EXPECT_EQ(folders, (std::vector<os::WString>{base, longFolder}));
    for (const auto& folder : folders) {
        EXPECT_LE(folder.size(), kMaxPathChars);
    }

    std::vector<os::WString> files;
    CollectFiles(fs, base, files);
    // The long folder's own children would exceed 259 characters: none of them appears, and
    // nothing is cut short into another path.
    EXPECT_EQ(files, (std::vector<os::WString>{base + u"\\ok.txt"}));
}

TEST_F(FileOpsTest, RootsAndEmptyPathsAreNeverRemoved) {
    ASSERT_TRUE(fs.WriteFile(u"C:\\keep.txt", "x"));
    ASSERT_TRUE(fs.MakeFolders(u"C:\\Windows\\System32"));
    for (const char16_t* path : {u"", u"C:", u"C:\\", u"\\", u"C:\\\\"}) {
        RemoveDirTree(fs, path, true);
    }
    EXPECT_TRUE(fs.Exists(u"C:\\keep.txt"));
    EXPECT_TRUE(fs.Exists(u"C:\\Windows\\System32"));
}

TEST_F(FileOpsTest, MoveFolderTreeLeavesALockedFileForTheRestart) {
    ASSERT_TRUE(fs.MakeFolders(u"C:\\stage\\docs"));
    ASSERT_TRUE(fs.MakeFolders(u"C:\\Users\\taro\\Documents"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\stage\\docs\\free.txt", "free"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\stage\\docs\\busy.txt", "busy", os::kAttrReadOnly));
    ASSERT_TRUE(fs.SetLocked(u"C:\\stage\\docs\\busy.txt", true));

    EXPECT_TRUE(MoveFolderTree(fs, nullptr, u"C:\\stage", u"C:\\Users\\taro\\Documents",
                               os::kMoveReplaceExisting | os::kMoveCopyAllowed, false));

    EXPECT_EQ(fs.ReadFile(u"C:\\Users\\taro\\Documents\\docs\\free.txt"), "free");
    ASSERT_EQ(fs.PendingMoves().size(), 1u);
    EXPECT_EQ(fs.PendingMoves()[0].from, u"C:\\stage\\docs\\busy.txt");
    EXPECT_EQ(fs.PendingMoves()[0].to, u"C:\\Users\\taro\\Documents\\docs\\busy.txt");
    EXPECT_EQ(fs.PendingMoves()[0].flags, os::kMoveReplaceExisting | os::kMoveDelayUntilReboot);
    EXPECT_TRUE(fs.Exists(u"C:\\stage\\docs\\busy.txt")) << "its folder stays until the restart";
    EXPECT_EQ(fs.GetAttributes(u"C:\\stage\\docs\\busy.txt") & os::kAttrReadOnly, os::kAttrReadOnly)
        << "the waiting file keeps its attributes";
}

TEST_F(FileOpsTest, CreateDirRecursiveOnAMissingDriveStops) {
    EXPECT_EQ(CreateDirRecursive(fs, u"X:\\a\\b\\c\\"), 0);
    EXPECT_EQ(CreateDirRecursive(fs, u"X:"), 0);
    EXPECT_EQ(CreateDirRecursive(fs, u"relative\\path"), 0);
}

}  // namespace
