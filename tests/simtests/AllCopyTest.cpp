// The whole-drive send list: one pair per root entry of every fixed drive, the system's own
// names left out, the program folders only on request and only on the system drive.
#include <gtest/gtest.h>

#include <set>

#include "app/TandrixApp.h"
#include "app/TandrixDlg.h"
#include "platform/Drive.h"
#include "platform/FilePath.h"
#include "sim/SimPc.h"

namespace {

class AllCopyTest : public ::testing::Test {
  protected:
    AllCopyTest() : pc(Bare()), app(pc.platform()), dlg(app) {}

    static sim::SimPcConfig Bare() {
        sim::SimPcConfig config;
        config.standardDrives = false;
        config.computerName = u"PC1";
        return config;
    }

    void AddDrive(char16_t letter, os::DriveType type = os::DriveType::Fixed) {
        ASSERT_TRUE(pc.fs().AddDrive(letter, type, u"NTFS", u"", 100'000'000'000ull));
    }

    void Prepare(const os::WString& destDrive = u"ドライブ：D") {
        GetMyDrive(pc.fs(), pc.sys(), *dlg.m_pMyDrives);
        dlg.m_sComputerName = u"PC1";
        dlg.m_sDestDrive = destDrive;
    }

    std::set<os::WString> Sources() {
        std::set<os::WString> out;
        for (int i = 0; i < dlg.m_pSendPath->Count(); ++i) {
            out.insert(dlg.m_pSendPath->SrcAt(i));
        }
        return out;
    }

    sim::SimPc pc;
    CTandrixApp app;
    CTandrixDlg dlg;
};

TEST_F(AllCopyTest, SystemNamesAreLeftOutWithoutCase) {
    AddDrive(u'C');
    pc.sys().SetWindowsDirectory(u"C:\\Windows");
    for (const char16_t* name :
         {u"Windows", u"Temp", u"windows.OLD", u"$RECYCLE.BIN", u"pagefile.sys", u"ProgramData",
          u"$Windows.~BT", u"__debuglog", u"Temp1", u"Windows2", u"Users", u"MSOCACHE"}) {
        ASSERT_TRUE(pc.fs().MakeFolders(os::WString(u"C:\\") + name));
    }
    for (const char16_t* file : {u"BOOT.INI", u"ntldr", u"hiberfil.sys", u"memo.txt"}) {
        ASSERT_TRUE(pc.fs().WriteFile(os::WString(u"C:\\") + file, "x", os::kAttrHidden));
    }
    Prepare();
    ASSERT_TRUE(dlg.DoAllCpy());
    EXPECT_EQ(Sources(), (std::set<os::WString>{u"C:\\Temp1", u"C:\\Windows2", u"C:\\Users",
                                                u"C:\\hiberfil.sys", u"C:\\memo.txt"}));
    EXPECT_EQ(dlg.m_pSendPath->FolderText(), u"D:\\FerryloD:\\Ferrylo\\PC1のCドライブ|");
    for (int i = 0; i < dlg.m_pSendPath->Count(); ++i) {
        const os::WString src = dlg.m_pSendPath->SrcAt(i);
        EXPECT_EQ(dlg.m_pSendPath->DstAt(i), u"D:\\Ferrylo\\PC1のCドライブ\\" + src.substr(3));
    }
    EXPECT_EQ(dlg.m_pSendPath->m_nCurrent, 0);
}

TEST_F(AllCopyTest, WindowsFolderNameIsComparedWithCaseOnEveryDrive) {
    AddDrive(u'C');
    AddDrive(u'E');
    pc.sys().SetWindowsDirectory(u"C:\\WINNT");
    ASSERT_TRUE(pc.fs().MakeFolders(u"C:\\WINNT"));
    ASSERT_TRUE(pc.fs().MakeFolders(u"E:\\WINNT"));
    ASSERT_TRUE(pc.fs().MakeFolders(u"E:\\Windows"));
    ASSERT_TRUE(pc.fs().MakeFolders(u"E:\\Photos"));
    Prepare(u"ドライブ：F");
    ASSERT_TRUE(dlg.DoAllCpy());
    EXPECT_EQ(Sources(), (std::set<os::WString>{u"e:\\Photos"}))
        << "WINNT is skipped on every drive, Windows by the table";
    EXPECT_EQ(dlg.m_pSendPath->FolderText(),
              u"F:\\FerryloF:\\Ferrylo\\PC1のCドライブ|F:\\Ferrylo\\PC1のEドライブ|");

    // A folder winnt in another case is an ordinary folder.
    sim::SimPc other(Bare());
    ASSERT_TRUE(other.fs().AddDrive(u'C', os::DriveType::Fixed, u"NTFS", u"", 1'000'000'000ull));
    other.sys().SetWindowsDirectory(u"C:\\Windows");
    ASSERT_TRUE(other.fs().MakeFolders(u"C:\\WINNT"));
    CTandrixApp otherApp(other.platform());
    CTandrixDlg otherDlg(otherApp);
    GetMyDrive(other.fs(), other.sys(), *otherDlg.m_pMyDrives);
    otherDlg.m_sComputerName = u"PC1";
    ASSERT_TRUE(otherDlg.DoAllCpy());
    EXPECT_EQ(otherDlg.m_pSendPath->Count(), 1);
}

TEST_F(AllCopyTest, ProgramFoldersFollowTheAnswerOnTheSystemDriveOnly) {
    AddDrive(u'C');
    AddDrive(u'E');
    pc.sys().SetWindowsDirectory(u"C:\\Windows");
    for (const char16_t* path : {u"C:\\Program Files", u"C:\\Program Files (x86)",
                                 u"C:\\program files (X86) backup", u"E:\\Program Files"}) {
        ASSERT_TRUE(pc.fs().MakeFolders(path));
    }
    Prepare();
    dlg.m_bProgramFiles = false;
    ASSERT_TRUE(dlg.DoAllCpy());
    EXPECT_EQ(Sources(),
              (std::set<os::WString>{u"C:\\program files (X86) backup", u"e:\\Program Files"}));

    dlg.m_bProgramFiles = true;
    ASSERT_TRUE(dlg.DoAllCpy());
    EXPECT_EQ(Sources(),
              (std::set<os::WString>{u"C:\\Program Files", u"C:\\Program Files (x86)",
                                     u"C:\\program files (X86) backup", u"e:\\Program Files"}));
}

TEST_F(AllCopyTest, OpticalDrivesAreNotCopied) {
    AddDrive(u'C');
    AddDrive(u'F', os::DriveType::CdRom);
    ASSERT_TRUE(pc.fs().WriteFile(u"F:\\setup.exe", "x"));
    ASSERT_TRUE(pc.fs().WriteFile(u"C:\\memo.txt", "x"));
    Prepare(u"ドライブ：E");
    ASSERT_TRUE(dlg.DoAllCpy());
    EXPECT_EQ(Sources(), (std::set<os::WString>{u"C:\\memo.txt"}));
    EXPECT_EQ(dlg.m_pSendPath->FolderText(), u"E:\\FerryloE:\\Ferrylo\\PC1のCドライブ|");
}

TEST_F(AllCopyTest, NoFixedDriveGivesAnEmptyListAndJustTheRoot) {
    Prepare(u"ドライブ：E");
    EXPECT_TRUE(dlg.DoAllCpy());
    EXPECT_EQ(dlg.m_pSendPath->Count(), 0);
    EXPECT_EQ(dlg.m_pSendPath->FolderText(), u"E:\\Ferrylo");
}

TEST_F(AllCopyTest, AnEmptyDriveIsNoErrorAndAnUnlistableOneIsToldAndLeftOut) {
    AddDrive(u'C');
    AddDrive(u'E');
    AddDrive(u'F');  // empty
    ASSERT_TRUE(pc.fs().WriteFile(u"C:\\memo.txt", "x"));
    ASSERT_TRUE(pc.fs().WriteFile(u"E:\\secret.txt", "x"));
    ASSERT_TRUE(pc.fs().SetUnreadable(u"E:\\", true));
    Prepare();
    EXPECT_FALSE(dlg.DoAllCpy());
    EXPECT_EQ(Sources(), (std::set<os::WString>{u"C:\\memo.txt"})) << "the list goes on after E";
    EXPECT_EQ(dlg.m_pSendPath->FolderText(),
              u"D:\\FerryloD:\\Ferrylo\\PC1のCドライブ|D:\\Ferrylo\\PC1のFドライブ|");
    ASSERT_EQ(pc.ui().Boxes().size(), 1u);
    EXPECT_EQ(pc.ui().Boxes()[0].text.rfind(u"E：", 0), 0u) << "the box names the drive";

    // Empty drives alone are a complete list.
    ASSERT_TRUE(pc.fs().SetUnreadable(u"E:\\", false));
    ASSERT_TRUE(pc.fs().DeleteFile(u"E:\\secret.txt"));
    EXPECT_TRUE(dlg.DoAllCpy());
    EXPECT_EQ(Sources(), (std::set<os::WString>{u"C:\\memo.txt"}));
}

}  // namespace
