// The shared file operations (folder creation, collections, removal, tree moves) on every
// file system the system runs on: the simulated one natively, the Win32 one under Wine.
#include <algorithm>
#include <set>

#include "contract/FileSystemContract.h"
#include "platform/FileOps.h"

namespace {

void WriteText(os::FileSystem& fs, const os::WString& path, const std::string& text,
               uint32_t attributes = os::kAttrNormal) {
    auto file = fs.Open(path, os::OpenMode::CreateAlways, attributes);
    ASSERT_TRUE(file) << "cannot create a test file";
    uint32_t written = 0;
    ASSERT_TRUE(file->Write(text.data(), static_cast<uint32_t>(text.size()), written));
}

std::string ReadText(os::FileSystem& fs, const os::WString& path) {
    auto file = fs.Open(path, os::OpenMode::Read);
    if (!file) {
        return "<missing>";
    }
    std::string out;
    char buffer[256];
    uint32_t got = 0;
    while (file->Read(buffer, sizeof buffer, got) && got > 0) {
        out.append(buffer, got);
    }
    return out;
}

std::set<os::WString> AsSet(const std::vector<os::WString>& list) {
    return std::set<os::WString>(list.begin(), list.end());
}

uint32_t Plain(uint32_t attributes) {
    return attributes &
           (os::kAttrReadOnly | os::kAttrHidden | os::kAttrSystem | os::kAttrDirectory);
}

}  // namespace

TEST_P(FileSystemContract, CreateDirRecursiveMakesEveryMissingLevel) {
    const os::WString deep = At(u"a\\b\\c\\");
    EXPECT_NE(CreateDirRecursive(Fs(), deep), 0);
    EXPECT_TRUE(IsDirectory(Fs(), At(u"a")));
    EXPECT_TRUE(IsDirectory(Fs(), At(u"a\\b\\c")));
    EXPECT_NE(CreateDirRecursive(Fs(), At(u"a\\b")), 0) << "an existing folder is success";
    EXPECT_EQ(CreateDirRecursive(Fs(), u""), 0);

    // A drive that does not exist fails without looping.
    const uint32_t drives = Fs().LogicalDrives();
    char16_t missing = 0;
    for (char16_t letter = u'Q'; letter <= u'Y' && missing == 0; ++letter) {
        if ((drives & (1u << (letter - u'A'))) == 0) {
            missing = letter;
        }
    }
    ASSERT_NE(missing, 0);
    EXPECT_EQ(CreateDirRecursive(Fs(), os::WString(1, missing) + u":\\x\\y\\z"), 0);
}

TEST_P(FileSystemContract, CreateDirRecursiveFailsBelowAFile) {
    WriteText(Fs(), At(u"plain.txt"), "x");
    EXPECT_EQ(CreateDirRecursive(Fs(), At(u"plain.txt\\sub")), 0);
}

TEST_P(FileSystemContract, CollectionsWalkTheWholeTree) {
    ASSERT_NE(CreateDirRecursive(Fs(), At(u"tree\\one\\deep")), 0);
    ASSERT_NE(CreateDirRecursive(Fs(), At(u"tree\\二つ目")), 0);
    WriteText(Fs(), At(u"tree\\top.txt"), "1");
    WriteText(Fs(), At(u"tree\\one\\a.bin"), "22");
    WriteText(Fs(), At(u"tree\\one\\deep\\b.doc"), "333");
    WriteText(Fs(), At(u"tree\\二つ目\\写真.jpg"), "4444");

    std::vector<os::WString> folders;
    CollectSubfolders(Fs(), At(u"tree"), folders);
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders.front(), At(u"tree")) << "the folder itself comes first";
    EXPECT_EQ(AsSet(folders), (std::set<os::WString>{At(u"tree"), At(u"tree\\one"),
                                                     At(u"tree\\one\\deep"), At(u"tree\\二つ目")}));
    // Pre-order: every folder precedes the folders inside it.
    for (size_t i = 0; i < folders.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            EXPECT_NE(folders[j].rfind(folders[i] + u"\\", 0), 0u) << "parent listed after child";
        }
    }

    const std::set<os::WString> files{At(u"tree\\top.txt"), At(u"tree\\one\\a.bin"),
                                      At(u"tree\\one\\deep\\b.doc"), At(u"tree\\二つ目\\写真.jpg")};
    std::vector<os::WString> found;
    CollectFiles(Fs(), At(u"tree"), found);
    EXPECT_EQ(AsSet(found), files);
    EXPECT_EQ(found.size(), files.size()) << "no file twice";

    found.clear();
    CollectFiles(Fs(), At(u"tree\\*.*"), found);
    EXPECT_EQ(AsSet(found), files);

    found.clear();
    CollectFiles(Fs(), At(u"missing"), found);
    CollectSubfolders(Fs(), At(u"missing"), found);
    EXPECT_TRUE(found.empty());
}

TEST_P(FileSystemContract, PathTestsFollowFindSemantics) {
    ASSERT_NE(CreateDirRecursive(Fs(), At(u"dir")), 0);
    WriteText(Fs(), At(u"dir\\file.txt"), "x");
    EXPECT_TRUE(IsDirectory(Fs(), At(u"dir")));
    EXPECT_TRUE(IsDirectory(Fs(), At(u"dir\\")));
    EXPECT_TRUE(IsDirectory(Fs(), At(u"DIR")));
    EXPECT_FALSE(IsDirectory(Fs(), At(u"dir\\file.txt")));
    EXPECT_FALSE(IsDirectory(Fs(), At(u"nothing")));
    EXPECT_TRUE(PathExists(Fs(), At(u"dir\\file.txt")));
    EXPECT_TRUE(PathExists(Fs(), At(u"dir\\*.txt")));
    EXPECT_FALSE(PathExists(Fs(), At(u"dir\\*.doc")));
    EXPECT_FALSE(PathExists(Fs(), At(u"dir\\nothing.txt")));
}

TEST_P(FileSystemContract, RemoveDirTreeWithFilesEmptiesEverything) {
    ASSERT_NE(CreateDirRecursive(Fs(), At(u"work\\a\\b")), 0);
    WriteText(Fs(), At(u"work\\log.txt"), "x");
    WriteText(Fs(), At(u"work\\a\\b\\locked.txt"), "y", os::kAttrReadOnly);
    ASSERT_TRUE(Fs().SetAttributes(At(u"work\\a"), os::kAttrReadOnly));

    RemoveDirTree(Fs(), At(u"work\\"), true);
    EXPECT_FALSE(PathExists(Fs(), At(u"work")));
}

TEST_P(FileSystemContract, RemoveDirTreeWithoutFilesKeepsFoldersThatHoldFiles) {
    ASSERT_NE(CreateDirRecursive(Fs(), At(u"keep\\full")), 0);
    ASSERT_NE(CreateDirRecursive(Fs(), At(u"keep\\empty\\inner")), 0);
    WriteText(Fs(), At(u"keep\\full\\data.txt"), "x");

    RemoveDirTree(Fs(), At(u"keep"), false);
    EXPECT_TRUE(PathExists(Fs(), At(u"keep\\full\\data.txt")));
    EXPECT_FALSE(PathExists(Fs(), At(u"keep\\empty")));
}

TEST_P(FileSystemContract, MoveFolderTreeMovesFilesAndKeepsTheirAttributes) {
    ASSERT_NE(CreateDirRecursive(Fs(), At(u"src\\sub\\leer")), 0);
    ASSERT_NE(CreateDirRecursive(Fs(), At(u"dst")), 0);
    WriteText(Fs(), At(u"src\\new.txt"), "new", os::kAttrHidden);
    WriteText(Fs(), At(u"src\\sub\\both.txt"), "from source", os::kAttrReadOnly);
    ASSERT_NE(CreateDirRecursive(Fs(), At(u"dst\\sub")), 0);
    WriteText(Fs(), At(u"dst\\sub\\both.txt"), "old target", os::kAttrReadOnly | os::kAttrSystem);

    EXPECT_TRUE(MoveFolderTree(Fs(), nullptr, At(u"src\\"), At(u"dst\\"),
                               os::kMoveReplaceExisting | os::kMoveCopyAllowed, false));

    EXPECT_EQ(ReadText(Fs(), At(u"dst\\new.txt")), "new");
    EXPECT_EQ(ReadText(Fs(), At(u"dst\\sub\\both.txt")), "from source");
    EXPECT_EQ(Plain(Fs().GetAttributes(At(u"dst\\new.txt"))), os::kAttrHidden);
    EXPECT_EQ(Plain(Fs().GetAttributes(At(u"dst\\sub\\both.txt"))), os::kAttrReadOnly);
    EXPECT_TRUE(IsDirectory(Fs(), At(u"dst\\sub\\leer")));
    EXPECT_FALSE(PathExists(Fs(), At(u"src"))) << "the emptied source is removed";

    Fs().SetAttributes(At(u"dst\\sub\\both.txt"), os::kAttrNormal);
    EXPECT_FALSE(MoveFolderTree(Fs(), nullptr, At(u"dst\\new.txt"), At(u"x"), 3, false))
        << "a file is not a folder tree";
}
