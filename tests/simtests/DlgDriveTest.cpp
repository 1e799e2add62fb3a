// The destination drive choice: a row per fixed drive of the partner, sorted by the list.
#include <gtest/gtest.h>

#include "modes/DlgDrive.h"
#include "platform/Drive.h"
#include "resource.h"
#include "sim/SimDialogWindow.h"
#include "sim/SimPc.h"

namespace {

TEST(DlgDriveTest, RowsForFixedDrivesOnlyInLetterOrder) {
    sim::SimPc pc;
    CDrive partner;
    partner.AddDrive(u"e:\\", u"", 100, 2000, u"NTFS");
    partner.AddDrive(u"C:\\", u"", 10, 500000, u"NTFS");
    partner.AddDrive(u"d:\\", u"CDROM", 0, 0, u"");
    CDlgDrive dialog(pc.ui(), nullptr);
    dialog.AddRows(partner);
    ASSERT_EQ(dialog.m_nRowCount, 2);
    EXPECT_EQ(dialog.m_sRows[0], u"E:    総容量：2000 MB");

    pc.ui().Do("look", [](sim::SimDialogWindow& window) {
        EXPECT_EQ(window.GetCaption(), u"ドライブ選択");
        EXPECT_EQ(window.ListRows(IDC_DRIVE_LIST),
                  (std::vector<os::WString>{u"C:    総容量：500000 MB", u"E:    総容量：2000 MB"}));
    });
    pc.ui().PressEnter().In(IDD_DRIVE);  // nothing chosen yet
    pc.ui().SelectRow(IDC_DRIVE_LIST, 1).In(IDD_DRIVE);
    pc.ui().PressEnter().In(IDD_DRIVE);
    EXPECT_EQ(dialog.DoModal(), os::kIdOk);
    EXPECT_EQ(dialog.m_chChosen, u'E');
    ASSERT_EQ(pc.ui().Boxes().size(), 1u);
    EXPECT_EQ(pc.ui().Boxes()[0].text, u"ドライブを選択してください");
    EXPECT_TRUE(pc.ui().ScriptErrors().empty());
}

TEST(DlgDriveTest, APartnerWithoutFixedDrivesOnlyLetsTheUserCancel) {
    sim::SimPc pc;
    CDrive partner;
    partner.AddDrive(u"d:\\", u"CDROM", 0, 0, u"");
    CDlgDrive dialog(pc.ui(), nullptr);
    dialog.AddRows(partner);
    pc.ui().PressEnter().In(IDD_DRIVE);
    pc.ui().PressEscape().In(IDD_DRIVE);
    EXPECT_EQ(dialog.DoModal(), os::kIdCancel);
    EXPECT_EQ(dialog.m_chChosen, 0);
    ASSERT_EQ(pc.ui().Boxes().size(), 1u);
    EXPECT_EQ(pc.ui().Boxes()[0].text, u"ドライブを選択してください");
}

}  // namespace
