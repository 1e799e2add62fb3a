// The list dialog of the file-list and folder copies: what choosing adds and refuses, the
// limit of 200, removing, running and closing.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "modes/DlgFileList.h"
#include "os/Text.h"
#include "resource.h"
#include "sim/SimDialogWindow.h"
#include "sim/SimPc.h"
#include "simtests/ScreenPoints.h"

namespace {

const os::WString kLimit = u"一度に指定できるのは200個までです。";
const os::WString kFileRefused =
    u"...\nこのファイルは追加できません。名前が長すぎるか、サイズが大きすぎるか、アクセスが禁止"
    u"されている可能性があります。";

class FileListTest : public ::testing::Test {
  protected:
    FileListTest() : dialog(pc.platform(), nullptr, u"C:\\Program\\") {
        EXPECT_TRUE(pc.fs().WriteFile(u"C:\\work\\report.doc", "report"));
        EXPECT_TRUE(pc.fs().WriteFile(u"C:\\work\\a.txt", "a"));
        EXPECT_TRUE(pc.fs().WriteFile(u"C:\\work\\sub\\inner.txt", "inner"));
        EXPECT_TRUE(pc.fs().WriteFile(u"C:\\root.txt", "root"));
        EXPECT_TRUE(pc.fs().MakeFolders(u"D:\\Photos"));
    }

    std::vector<os::WString> Paths() const {
        return std::vector<os::WString>(dialog.m_sPaths, dialog.m_sPaths + dialog.m_nCount);
    }
    std::vector<os::WString> Rows(sim::SimDialogWindow& window) {
        return window.ListRows(IDC_FILELIST_LIST);
    }
    std::vector<os::WString> BoxTexts() {
        std::vector<os::WString> out;
        for (const auto& box : pc.ui().Boxes()) {
            out.push_back(box.text);
        }
        return out;
    }
    void Preset(int count) {
        for (int i = 0; i < count; ++i) {
            dialog.m_sPaths[i] = u"C:\\many\\f" + os::ToWString(i) + u".txt";
        }
        dialog.m_nCount = count;
    }
    void Finish(int expected) {
        EXPECT_EQ(dialog.DoModal(), expected);
        EXPECT_TRUE(pc.ui().ScriptErrors().empty())
            << (pc.ui().ScriptErrors().empty() ? "" : pc.ui().ScriptErrors().front());
    }

    sim::SimPc pc;
    CDlgFileList dialog;
};

struct PickCase {
    const char* label;
    std::vector<os::WString> picked;
    std::vector<os::WString> entries;  // after the pick, in order
    std::vector<os::WString> rows;
    std::vector<os::WString> boxes;
};

void PrintTo(const PickCase& c, std::ostream* out) {
    *out << c.label;
}

class FileListPickTest : public FileListTest, public ::testing::WithParamInterface<PickCase> {};

TEST_P(FileListPickTest, ChoosingFiles) {
    const PickCase& c = GetParam();
    pc.shell().QueueFilePick(c.picked);
    pc.ui().ClickAt(screen::kListChoose).In(IDD_FILELIST);
    pc.ui().Do("look", [&](sim::SimDialogWindow& window) {
        EXPECT_EQ(Paths(), c.entries);
        EXPECT_EQ(Rows(window), c.rows);
    });
    pc.ui().ClickAt(screen::kListClose).In(IDD_FILELIST);
    Finish(os::kIdCancel);
    EXPECT_EQ(BoxTexts(), c.boxes);
    ASSERT_EQ(pc.shell().FileDialogs().size(), 1u);
    EXPECT_EQ(pc.shell().FileDialogs()[0].filter, u"全て(*.*)|*.*||");
    EXPECT_EQ(pc.shell().FileDialogs()[0].initial, u"C:\\Users\\taro\\Desktop\\*.*");
    EXPECT_EQ(pc.shell().FileDialogs()[0].ownerTemplate, IDD_FILELIST);
    // COM for the dialog's time only (the simulated picker refuses to open without it).
    EXPECT_EQ(pc.shell().ComInits(), 1);
    EXPECT_EQ(pc.shell().ComUninits(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Picks, FileListPickTest,
    ::testing::Values(
        PickCase{"files in order",
                 {u"C:\\work\\report.doc", u"C:\\work\\a.txt"},
                 {u"C:\\work\\report.doc", u"C:\\work\\a.txt"},
                 {u"report.doc", u"a.txt"},
                 {}},
        PickCase{"the same path twice is listed once",
                 {u"C:\\work\\a.txt", u"C:\\work\\a.txt"},
                 {u"C:\\work\\a.txt"},
                 {u"a.txt"},
                 {}},
        PickCase{"another spelling is listed too",
                 {u"C:\\work\\a.txt", u"c:\\WORK\\A.TXT"},
                 {u"C:\\work\\a.txt", u"c:\\WORK\\A.TXT"},
                 {u"a.txt", u"A.TXT"},
                 {}},
        PickCase{"a missing file is refused with a message, the rest goes on",
                 {u"C:\\work\\gone.txt", u"C:\\work\\a.txt"},
                 {u"C:\\work\\a.txt"},
                 {u"a.txt"},
                 {u"C:\\work\\gone.txt" + kFileRefused}},
        PickCase{"confirming inside a folder adds the folder",
                 {u"C:\\work\\sub\\*.*"},
                 {u"C:\\work\\sub"},
                 {u"sub\\"},
                 {}},
        PickCase{
            "confirming inside a drive root adds the root", {u"D:\\*.*"}, {u"D:\\"}, {u"D:\\"}, {}},
        PickCase{"a file directly in a root opens and is listed itself",
                 {u"C:\\root.txt"},
                 {u"C:\\root.txt"},
                 {u"root.txt"},
                 {}}),
    [](const ::testing::TestParamInfo<PickCase>& info) {
        std::string name;
        for (const char* p = info.param.label; *p != 0; ++p) {
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        }
        return name;
    });

TEST_F(FileListTest, AFileThatCannotBeOpenedIsLeftOutSilently) {
    ASSERT_TRUE(pc.fs().SetLocked(u"C:\\work\\a.txt", true));
    pc.shell().QueueFilePick({u"C:\\work\\a.txt", u"C:\\work\\report.doc"});
    pc.ui().ClickAt(screen::kListChoose).In(IDD_FILELIST);
    pc.ui().PressEscape().In(IDD_FILELIST);
    Finish(os::kIdCancel);
    EXPECT_EQ(Paths(), (std::vector<os::WString>{u"C:\\work\\report.doc"}));
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(FileListTest, With199EntriesThreeFilesAddOneAndTellTheLimitOnce) {
    Preset(199);
    pc.shell().QueueFilePick({u"C:\\work\\a.txt", u"C:\\work\\report.doc", u"C:\\root.txt"});
    pc.ui().ClickAt(screen::kListChoose).In(IDD_FILELIST);
    pc.ui().ClickAt(screen::kListClose).In(IDD_FILELIST);
    Finish(os::kIdCancel);
    EXPECT_EQ(dialog.m_nCount, 200);
    EXPECT_EQ(dialog.m_sPaths[199], u"C:\\work\\a.txt");
    EXPECT_EQ(BoxTexts(), (std::vector<os::WString>{kLimit}));
}

TEST_F(FileListTest, FolderFormRefusesDriveRootsAndMissingFolders) {
    dialog.m_nFolder = 1;
    pc.shell().QueueFolderPick({u"D:\\"});
    pc.shell().QueueFolderPick({u"C:\\nowhere"});
    pc.shell().QueueFolderPick({u"D:\\Photos"});
    pc.shell().QueueFolderPickCancel();
    for (int i = 0; i < 4; ++i) {
        pc.ui().ClickAt(screen::kListChoose).In(IDD_FILELIST);
    }
    pc.ui().Do("look", [&](sim::SimDialogWindow& window) {
        EXPECT_EQ(Rows(window), (std::vector<os::WString>{u"Photos\\"}));
        EXPECT_EQ(dialog.m_btnChoose.m_nBmpNormal, 247);
    });
    pc.ui().ClickAt(screen::kListClose).In(IDD_FILELIST);
    Finish(os::kIdCancel);
    EXPECT_EQ(Paths(), (std::vector<os::WString>{u"D:\\Photos"}));
    EXPECT_EQ(BoxTexts(),
              (std::vector<os::WString>{
                  u"D:\\...\nドライブは追加できません。",
                  u"C:\\nowhere...\nこのフォルダは追加できません。名前が長すぎるか、アクセスが"
                  u"禁止されている可能性があります。"}));
    ASSERT_EQ(pc.shell().FolderDialogs().size(), 4u);
    EXPECT_EQ(pc.shell().FolderDialogs()[0].initial, u"C:\\Users\\taro\\Desktop\\*.*");
    EXPECT_TRUE(pc.shell().FileDialogs().empty());
}

TEST_F(FileListTest, FolderFormStopsAtTheLimit) {
    dialog.m_nFolder = 1;
    Preset(200);
    pc.shell().QueueFolderPick({u"D:\\Photos", u"D:\\"});
    pc.ui().ClickAt(screen::kListChoose).In(IDD_FILELIST);
    pc.ui().ClickAt(screen::kListClose).In(IDD_FILELIST);
    Finish(os::kIdCancel);
    EXPECT_EQ(dialog.m_nCount, 200);
    EXPECT_EQ(BoxTexts(), (std::vector<os::WString>{kLimit}));
}

TEST_F(FileListTest, RemovingTheSecondOfThreeKeepsTheOthersInOrder) {
    dialog.m_sPaths[0] = u"C:\\work\\report.doc";
    dialog.m_sPaths[1] = u"C:\\work\\a.txt";
    dialog.m_sPaths[2] = u"D:\\Photos";
    dialog.m_nCount = 3;
    pc.ui().Do("look", [&](sim::SimDialogWindow& window) {
        EXPECT_EQ(Rows(window), (std::vector<os::WString>{u"report.doc", u"a.txt", u"Photos\\"}));
    });
    pc.ui().ClickAt(screen::kListRemove).In(IDD_FILELIST);  // nothing selected: nothing happens
    pc.ui().SelectRow(IDC_FILELIST_LIST, 1).In(IDD_FILELIST);
    pc.ui().ClickAt(screen::kListRemove).In(IDD_FILELIST);
    pc.ui().Do("look", [&](sim::SimDialogWindow& window) {
        EXPECT_EQ(Rows(window), (std::vector<os::WString>{u"report.doc", u"Photos\\"}));
    });
    pc.ui().ClickAt(screen::kListClose).In(IDD_FILELIST);
    Finish(os::kIdCancel);
    EXPECT_EQ(Paths(), (std::vector<os::WString>{u"C:\\work\\report.doc", u"D:\\Photos"}));
    EXPECT_TRUE(dialog.m_sPaths[2].empty());
    EXPECT_TRUE(dialog.m_btnRemove.IsEnabled());
}

TEST_F(FileListTest, RemoveAllAsksFirstAndThenDisablesTheButtons) {
    Preset(3);
    pc.ui().ExpectBox(os::kIdNo, u"リストからすべて削除してよろしいですか？");
    pc.ui().ClickAt(screen::kListRemoveAll).In(IDD_FILELIST);
    pc.ui().Do("after No", [&](sim::SimDialogWindow& window) {
        EXPECT_EQ(dialog.m_nCount, 3);
        EXPECT_EQ(Rows(window).size(), 3u);
    });
    pc.ui().ExpectBox(os::kIdYes, u"リストからすべて削除してよろしいですか？");
    pc.ui().ClickAt(screen::kListRemoveAll).In(IDD_FILELIST);
    pc.ui().Do("after Yes", [&](sim::SimDialogWindow& window) {
        EXPECT_EQ(dialog.m_nCount, 0);
        EXPECT_TRUE(Rows(window).empty());
        EXPECT_FALSE(dialog.m_btnRemove.IsEnabled());
        EXPECT_FALSE(dialog.m_btnRemoveAll.IsEnabled());
        EXPECT_FALSE(dialog.m_btnRun.IsEnabled());
        EXPECT_TRUE(dialog.m_btnChoose.IsEnabled());
    });
    pc.ui().ClickAt(screen::kListRemoveAll).In(IDD_FILELIST);  // disabled now: no question
    pc.ui().ClickAt(screen::kListClose).In(IDD_FILELIST);
    Finish(os::kIdCancel);
    EXPECT_EQ(BoxTexts().size(), 2u);
    for (const auto& path : dialog.m_sPaths) {
        EXPECT_TRUE(path.empty());
    }
}

TEST_F(FileListTest, RunNeedsAnEntryAndEndsWithOk) {
    pc.ui().ClickAt(screen::kListRun).In(IDD_FILELIST);  // disabled: no message
    pc.ui().Command(IDC_FILELIST_RUN).In(IDD_FILELIST);  // the hidden button: the message
    pc.shell().QueueFilePick({u"C:\\work\\a.txt"});
    pc.ui().Command(IDC_FILELIST_CHOOSE).In(IDD_FILELIST);
    pc.ui().Command(IDC_FILELIST_ALL).In(IDD_FILELIST);  // no action
    pc.ui().ClickAt(screen::kListRun).In(IDD_FILELIST);
    Finish(os::kIdOk);
    EXPECT_EQ(BoxTexts(), (std::vector<os::WString>{u"ファイルがひとつもありません"}));
    EXPECT_EQ(Paths(), (std::vector<os::WString>{u"C:\\work\\a.txt"}));
}

TEST_F(FileListTest, APressThatEndsOnAnotherButtonRunsThatOne) {
    Preset(1);
    pc.ui().Do("press on run, release on close", [&](sim::SimDialogWindow& window) {
        dialog.OnMouse(os::MouseEvent::Down, screen::kListRun);
        EXPECT_TRUE(dialog.m_bPressed);
        dialog.OnMouse(os::MouseEvent::Up, screen::kListClose);
        EXPECT_FALSE(dialog.m_bPressed);
        (void)window;
    });
    Finish(os::kIdCancel);
}

TEST_F(FileListTest, OpeningShowsTheEntriesAndTheProductTitle) {
    dialog.m_sPaths[0] = u"D:\\";
    dialog.m_sPaths[1] = u"C:\\work\\sub";
    dialog.m_nCount = 2;
    pc.ui().Do("look", [&](sim::SimDialogWindow& window) {
        EXPECT_EQ(window.GetCaption(), u"ソラノワ Basic");
        EXPECT_EQ(Rows(window), (std::vector<os::WString>{u"D:\\", u"sub\\"}));
        EXPECT_TRUE(dialog.m_btnRun.IsEnabled());
        EXPECT_EQ(dialog.m_btnChoose.m_nBmpNormal, 203);
    });
    pc.ui().PressEscape().In(IDD_FILELIST);
    Finish(os::kIdCancel);
}

TEST_F(FileListTest, DoubleClickingARowShowsItsFullPath) {
    Preset(2);
    pc.ui().DoubleClickRow(IDC_FILELIST_LIST, 1).In(IDD_FILELIST);
    pc.ui().ClickAt(screen::kListClose).In(IDD_FILELIST);
    Finish(os::kIdCancel);
    ASSERT_EQ(pc.ui().Boxes().size(), 1u);
    EXPECT_EQ(pc.ui().Boxes()[0].text, u"C:\\many\\f1.txt");
    EXPECT_EQ(pc.ui().Boxes()[0].type & os::kMbIconInformation, os::kMbIconInformation);
}

TEST(FileListDisplayTest, RowTexts) {
    sim::SimPc pc;
    ASSERT_TRUE(pc.fs().MakeFolders(u"C:\\a\\Data"));
    ASSERT_TRUE(pc.fs().WriteFile(u"C:\\a\\x.txt", "x"));
    const struct {
        os::WString path;
        os::WString text;
    } rows[] = {
        {u"C:\\a\\x.txt", u"x.txt"},     {u"C:\\a\\Data", u"Data\\"}, {u"D:\\", u"D:\\"},
        {u"C:\\a\\missing", u"missing"}, {u"C:\\", u"C:\\"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CDlgFileList::DisplayText(pc.fs(), row.path), row.text) << os::ToUtf8(row.path);
    }
}

}  // namespace

// Folders past MAX_PATH are reachable in their extended-length form: picks inside them are
// listed like any other, in both forms of the dialog.
class FileListDeepTest : public FileListTest {
  protected:
    FileListDeepTest() {
        EXPECT_TRUE(pc.fs().WriteFile(u"C:\\deep\\d\\inner.txt", "inner"));
        EXPECT_TRUE(pc.fs().RenameBeyondMaxPath(u"C:\\deep\\d", kLong));
    }
    const os::WString kLong = os::WString(255, u'x');
    const os::WString kFolder = u"C:\\deep\\" + kLong;
};

TEST_F(FileListDeepTest, FilesAndFoldersBeyondMaxPathAreListed) {
    pc.shell().QueueFilePick({kFolder + u"\\inner.txt", kFolder + u"\\*.*"});
    pc.ui().ClickAt(screen::kListChoose).In(IDD_FILELIST);
    pc.ui().Do("look", [&](sim::SimDialogWindow& window) {
        EXPECT_EQ(Rows(window), (std::vector<os::WString>{u"inner.txt", kLong + u"\\"}));
    });
    pc.ui().ClickAt(screen::kListClose).In(IDD_FILELIST);
    Finish(os::kIdCancel);
    EXPECT_EQ(Paths(), (std::vector<os::WString>{kFolder + u"\\inner.txt", kFolder}));
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(FileListDeepTest, FolderFormListsAFolderBeyondMaxPath) {
    dialog.m_nFolder = 1;
    pc.shell().QueueFolderPick({kFolder});
    pc.ui().ClickAt(screen::kListChoose).In(IDD_FILELIST);
    pc.ui().ClickAt(screen::kListClose).In(IDD_FILELIST);
    Finish(os::kIdCancel);
    EXPECT_EQ(Paths(), (std::vector<os::WString>{kFolder}));
    EXPECT_TRUE(BoxTexts().empty());
}
