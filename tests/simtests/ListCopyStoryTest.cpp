// The file-list and folder copies between two PCs, started from the main window's buttons:
// the list dialog, the destination drive and the files on the partner.
#include <gtest/gtest.h>

#include <vector>

#include "TwoPcKit.h"
#include "modes/DlgFileList.h"
#include "simtests/ScreenPoints.h"

namespace {

const os::WString kDoneOnD =
    u"引越が終了しました。\n引越したデータは引越先のパソコンのD:\\Ferryloに保存しました。\n\n";

class ListCopyStoryTest : public twopc::TwoPcTest {
  protected:
    std::vector<os::WString> Sources(const CFilePath& list) {
        std::vector<os::WString> out;
        for (int i = 0; i < list.Count(); ++i) {
            out.push_back(list.SrcAt(i));
        }
        return out;
    }

    // The drive choice is open on the source: its second row (D) is chosen.
    void ChooseDriveD() {
        ASSERT_NE(src->ui().FindWindow(IDD_DRIVE), nullptr) << "the drive choice is open";
        src->ui().SelectRow(IDC_DRIVE_LIST, 1).In(IDD_DRIVE);
        src->ui().PressEnter().In(IDD_DRIVE);
        Run();
    }
};

TEST_F(ListCopyStoryTest, TheFileCopyButtonSendsTheListedFilesAndKeepsTheList) {
    sim::SimFileSystem& fs = src->fs();
    const os::WString doc = u"C:\\Users\\taro\\Documents\\報告書.docx";
    ASSERT_TRUE(fs.WriteFile(doc, "report"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\work\\memo.txt", "memo"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\work\\photos\\a.jpg", "jpeg"));
    StartBoth();

    // First start: three items (one spelt twice), then the dialog is closed without a copy.
    src->shell().QueueFilePick(
        {doc, u"C:\\work\\memo.txt", u"c:\\WORK\\MEMO.TXT", u"C:\\work\\photos\\*.*"});
    src->ui().ClickAt(screen::kFileCopyButton).In(IDD_TANDRIX_DIALOG);
    Run();
    ASSERT_NE(src->ui().FindWindow(IDD_FILELIST), nullptr) << "the list dialog is open";
    src->ui().ClickAt(screen::kListChoose).In(IDD_FILELIST);
    src->ui().Do("look", [](sim::SimDialogWindow& window) {
        EXPECT_EQ(
            window.ListRows(IDC_FILELIST_LIST),
            (std::vector<os::WString>{u"報告書.docx", u"memo.txt", u"MEMO.TXT", u"photos\\"}));
    });
    src->ui().ClickAt(screen::kListClose).In(IDD_FILELIST);
    Run();
    EXPECT_EQ(src->ui().FindWindow(IDD_DRIVE), nullptr) << "closing starts no copy";
    EXPECT_EQ(Sources(*Main(*src).m_pFileList),
              (std::vector<os::WString>{doc, u"C:\\work\\memo.txt", u"C:\\work\\photos"}));
    EXPECT_FALSE(Main(*src).m_bCopyInProgress);

    // Second start: the dialog opens with the kept list, and runs.
    src->ui().ClickAt(screen::kFileCopyButton).In(IDD_TANDRIX_DIALOG);
    Run();
    src->ui().Do("look again", [](sim::SimDialogWindow& window) {
        EXPECT_EQ(window.ListRows(IDC_FILELIST_LIST),
                  (std::vector<os::WString>{u"報告書.docx", u"memo.txt", u"photos\\"}));
    });
    src->ui().ClickAt(screen::kListRun).In(IDD_FILELIST);
    Run();
    ChooseDriveD();
    EXPECT_EQ(TakeBox(*src), kDoneOnD);

    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\報告書.docx"), "report");
    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\memo.txt"), "memo");
    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\photos\\a.jpg"), "jpeg");
    EXPECT_EQ(Main(*src).m_sDestDrive, u"ドライブ：D");
}

TEST_F(ListCopyStoryTest, TheFolderCopyButtonSendsEachFolderWithItsTree) {
    sim::SimFileSystem& fs = src->fs();
    const os::WString projects = u"C:\\Users\\taro\\Documents\\Projects";
    ASSERT_TRUE(fs.WriteFile(projects + u"\\plan.txt", "plan"));
    ASSERT_TRUE(fs.WriteFile(projects + u"\\2024\\notes.txt", "notes"));
    ASSERT_TRUE(fs.WriteFile(u"D:\\Music\\song.mp3", "song"));
    StartBoth();

    src->shell().QueueFolderPick({projects});
    src->shell().QueueFolderPick({u"D:\\"});
    src->shell().QueueFolderPick({u"D:\\Music"});
    src->ui().ClickAt(screen::kFolderCopyButton).In(IDD_TANDRIX_DIALOG);
    Run();
    ASSERT_NE(src->ui().FindWindow(IDD_FILELIST), nullptr) << "the list dialog is open";
    src->ui().ClickAt(screen::kListChoose).In(IDD_FILELIST);
    src->ui().ClickAt(screen::kListChoose).In(IDD_FILELIST);
    Run();
    EXPECT_EQ(TakeBox(*src), u"D:\\...\nドライブは追加できません。");
    src->ui().ClickAt(screen::kListChoose).In(IDD_FILELIST);
    src->ui().ClickAt(screen::kListRun).In(IDD_FILELIST);
    Run();
    ChooseDriveD();
    EXPECT_EQ(TakeBox(*src), kDoneOnD);

    EXPECT_EQ(Sources(*Main(*src).m_pFolderList),
              (std::vector<os::WString>{projects, u"D:\\Music"}));
    EXPECT_TRUE(Main(*src).m_pFileList->Count() == 0) << "the file list is a list of its own";
    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\Projects\\plan.txt"), "plan");
    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\Projects\\2024\\notes.txt"), "notes");
    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\Music\\song.mp3"), "song");
}

}  // namespace
