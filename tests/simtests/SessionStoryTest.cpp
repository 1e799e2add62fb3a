// The session around the copies: pairing when the partner's connection back is accepted before
// this PC knows its own connect stood, drive lists that pause inside, a partner lost while the
// user chooses in a dialog, and a whole-drive copy over an empty and an unreadable drive.
#include "platform/Drive.h"
#include "platform/Texts.h"
#include "simtests/TwoPcKit.h"

namespace {

class SessionStoryTest : public twopc::TwoPcTest {
  protected:
    // The whole-drive button, No to the program folders: the drive choice is open.
    void OpenWholeDriveChoice() {
        src->ui().ClickAt({400, 300}).In(IDD_TANDRIX_DIALOG);  // 丸ごとコピー
        Run();
        ASSERT_EQ(TakeBox(*src, os::kIdNo).rfind(u"ProgramFilesフォルダをコピーしますか？", 0), 0u);
        ASSERT_NE(src->ui().FindWindow(IDD_DRIVE), nullptr);
    }
    void ChooseDriveD() {
        src->ui().SelectRow(IDC_DRIVE_LIST, 1).In(IDD_DRIVE);
        src->ui().PressEnter().In(IDD_DRIVE);
        Run();
    }
};

TEST_F(SessionStoryTest, PairingCompletesWhenThePartnerConnectsBackFirst) {
    // Each connecting side hears that its connect stood only after the partner accepted it and
    // connected back.
    world.net().SetConnectNoticeDelay(50);
    StartBoth();
    Pair();
    EXPECT_TRUE(src->ui().Boxes().empty()) << "no \"not found\" on the source";
    EXPECT_TRUE(dst->ui().Boxes().empty());
    EXPECT_EQ(world.net().Connections().size(), 2u) << "one connection each way, no retry";
}

TEST_F(SessionStoryTest, DriveListsThatPauseInsideArriveWhole) {
    // Each PC's drive list stops for two seconds inside its first record, as a lost segment
    // would make it (the source's list follows its 16-byte request on that connection).
    world.net().PauseAt({dst->address(), src->address(), sim::SimSide::Connector}, 20, 2000);
    world.net().PauseAt({src->address(), dst->address(), sim::SimSide::Connector}, 16 + 20, 2000);
    StartBoth();
    Pair();
    EXPECT_EQ(Main(*src).m_peer.m_sRemoteUserName, u"hanako");
    EXPECT_EQ(Main(*src).m_pRemoteDrives->Count(), Main(*dst).m_pMyDrives->Count());
    EXPECT_EQ(Main(*dst).m_pRemoteDrives->Count(), Main(*src).m_pMyDrives->Count());
    EXPECT_FALSE(Main(*dst).m_peer.m_sRemoteUserName.empty());
}

TEST_F(SessionStoryTest, APartnerLostWhileTheDriveChoiceIsOpenStartsNothing) {
    StartBoth();
    Pair();
    OpenWholeDriveChoice();
    dst->ui().PressEscape().In(IDD_TANDRIX_DIALOG);  // the partner's program ends meanwhile
    Run();
    ASSERT_TRUE(world.Finished(*dst));
    ChooseDriveD();
    EXPECT_EQ(TakeBox(*src), texts::kConnectionLost);
    CTandrixDlg& s = Main(*src);
    EXPECT_EQ(s.m_nRole, 0);
    EXPECT_FALSE(s.m_bCopyInProgress);
    EXPECT_FALSE(s.m_bRunning);
    EXPECT_FALSE(src->sys().KeepAwake());
    EXPECT_EQ(s.m_pProgress, nullptr);
    EXPECT_EQ(src->ui().OpenBox(), nullptr);
}

TEST_F(SessionStoryTest, AnEmptyDriveAndAnUnreadableOneDoNotStopTheOthers) {
    ASSERT_TRUE(src->fs().WriteFile(u"C:\\Data\\photo.jpg", "photo"));
    ASSERT_TRUE(src->fs().AddDrive(u'F', os::DriveType::Fixed, u"NTFS", u"", 1'000'000'000ull));
    ASSERT_TRUE(src->fs().AddDrive(u'G', os::DriveType::Fixed, u"NTFS", u"", 1'000'000'000ull));
    ASSERT_TRUE(src->fs().WriteFile(u"G:\\locked.txt", "x"));
    ASSERT_TRUE(src->fs().SetUnreadable(u"G:\\", true));
    StartBoth();
    OpenWholeDriveChoice();
    ChooseDriveD();
    EXPECT_EQ(TakeBox(*src).rfind(u"G：", 0), 0u) << "the unreadable drive is named";
    EXPECT_EQ(
        TakeBox(*src),
        u"引越が終了しました。\n引越したデータは引越先のパソコンのD:\\Ferryloに保存しました。\n\n");
    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\PC-AのCドライブ\\Data\\photo.jpg"), "photo");
    EXPECT_TRUE(dst->fs().Exists(u"D:\\Ferrylo\\PC-AのFドライブ")) << "the empty drive's folder";
    EXPECT_FALSE(dst->fs().Exists(u"D:\\Ferrylo\\PC-AのGドライブ"));
}

}  // namespace
