// The progress window: bar ranges and their scale, the percentage, the state texts, the dot
// animation that starts with the first paint, and the stop button.
#include <gtest/gtest.h>

#include "net/Sockets.h"
#include "resource.h"
#include "sim/SimDialogWindow.h"
#include "sim/SimPc.h"
#include "ui/DlgProgress.h"

namespace {

// Records the application messages the progress window posts to its owner.
class OwnerDialog : public os::Dialog {
  public:
    explicit OwnerDialog(os::Ui& ui) : os::Dialog(ui, IDD_TANDRIX_DIALOG, nullptr) {}
    intptr_t OnAppMessage(unsigned n, uintptr_t wParam) override {
        messages.push_back({n, wParam});
        return 0;
    }
    std::vector<std::pair<unsigned, uintptr_t>> messages;
};

class ProgressDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(owner.Create());
        ASSERT_TRUE(dlg.Create());
    }
    sim::SimDialogWindow& Window() { return dynamic_cast<sim::SimDialogWindow&>(dlg.Window()); }

    sim::SimPc pc;
    OwnerDialog owner{pc.ui()};
    CDlgProgress dlg{pc.ui(), &owner};
};

TEST_F(ProgressDialogTest, OpensWithTheTemplateTexts) {
    EXPECT_EQ(Window().GetCaption(), u"データ転送中．．．");
    EXPECT_EQ(Window().GetItemText(IDC_PROGRESS_STATUS), u"データ転送中");
    EXPECT_EQ(Window().GetItemText(IDC_PROGRESS_PERCENT), u"全体：0%");
    EXPECT_EQ(Window().GetItemText(IDC_PROGRESS_FILENAME), u"データ転送中のファイル名：");
    EXPECT_TRUE(Window().ItemEnabled(IDC_PROGRESS_STOP));
    EXPECT_EQ(dlg.m_nAnimState, 0);
}

TEST_F(ProgressDialogTest, FileBarScalesLargeFilesByAHundred) {
    const struct {
        uint64_t total;
        int upper;
    } rows[] = {
        {0, 0},
        {10000, 10000},
        {10001, 100},
        {6553600, 65536},
        {(uint64_t{1} << 32) + 50, 42949673},
    };
    for (const auto& row : rows) {
        dlg.SetFileRange(row.total);
        EXPECT_EQ(Window().GetProgressUpper(IDC_PROGRESS_FILE), row.upper) << row.total;
        EXPECT_EQ(dlg.GetFileRange(), row.total);
    }
    dlg.SetFileRange(20000);
    dlg.SetFilePos(15000);
    EXPECT_EQ(Window().ProgressPos(IDC_PROGRESS_FILE), 150);
    dlg.SetFilePos(20001);  // past the end: the bar stays
    EXPECT_EQ(Window().ProgressPos(IDC_PROGRESS_FILE), 150);
}

TEST_F(ProgressDialogTest, PercentageFollowsTheOverallRange) {
    dlg.SetOverallRange(20);
    dlg.SetOverallPos(7);
    EXPECT_EQ(dlg.m_sPercent, u"全体：35％");
    EXPECT_EQ(Window().ProgressPos(IDC_PROGRESS_OVERALL), 7);
    dlg.SetOverallPos(25);  // beyond the range: the bar stays, the text is clamped
    EXPECT_EQ(Window().ProgressPos(IDC_PROGRESS_OVERALL), 7);
    EXPECT_EQ(dlg.m_sPercent, u"全体：100％");
    dlg.SetOverallRange(0);
    dlg.SetOverallPos(0);
    EXPECT_EQ(dlg.m_sPercent, u"全体：0％");
    dlg.SetFileName(u"C:\\Users\\taro\\写真\\旅行.jpg");
    EXPECT_EQ(dlg.m_sFileName, u"コピー中のファイル名：旅行.jpg");
}

TEST_F(ProgressDialogTest, DotsMoveFromTheFirstPaintAndChecking) {
    dlg.ShowPreparing();
    EXPECT_EQ(Window().GetItemText(IDC_PROGRESS_STATUS), u"調査中．．．");
    EXPECT_EQ(Window().GetItemText(IDC_PROGRESS_FILENAME), u"データ転送の準備中．．．");
    EXPECT_FALSE(Window().TimerActive(1)) << "the animation waits for the first paint";
    Window().Paint();
    ASSERT_TRUE(Window().TimerActive(1));
    EXPECT_EQ(Window().TimerPeriod(1), 250u);
    EXPECT_EQ(dlg.m_nAnimState, 1);

    const int first = ProgressDotIndex();
    dlg.OnTimer(1);
    const os::WString dots[] = {u"．", u"．．", u"．．．", u"．．．．", u"．．．．．"};
    EXPECT_EQ(Window().GetItemText(IDC_PROGRESS_STATUS),
              os::WString(u"データ転送中") + dots[first]);
    EXPECT_EQ(ProgressDotIndex(), (first + 1) % 5);

    dlg.ShowChecking();
    EXPECT_FALSE(Window().ItemEnabled(IDC_PROGRESS_STOP));
    EXPECT_EQ(Window().GetItemText(IDC_PROGRESS_FILENAME),
              u"データ転送出来なかったファイルを調べています。");
    EXPECT_EQ(Window().GetItemText(IDC_PROGRESS_NOTE), u"");
    dlg.OnTimer(1);
    EXPECT_EQ(Window().GetItemText(IDC_PROGRESS_STATUS),
              os::WString(u"調査中") + dots[(first + 1) % 5]);
}

TEST_F(ProgressDialogTest, StopButtonAsksTheOwnerAndKeysDoNothing) {
    dlg.OnOK();
    dlg.OnCancel();
    EXPECT_TRUE(dlg.HasWindow()) << "Enter and Escape do not close it";
    EXPECT_TRUE(dlg.OnCommand(IDC_PROGRESS_STOP));
    pc.ui().PumpMessages();
    ASSERT_EQ(owner.messages.size(), 1u);
    EXPECT_EQ(owner.messages[0], (std::pair<unsigned, uintptr_t>{kMsgStopRequest, 0}));
}

}  // namespace
