// Every way a copy ends besides the normal end: a stop from either PC (confirmed or not), the
// destination's 5 s wait for an answer, a full destination drive, a bare error report, a lost
// connection on either side, a partner that vanishes without a word, and the source's window
// closed; and a copy command during a copy, which ends nothing.
#include "os/Text.h"
#include "simtests/TwoPcKit.h"

namespace {

using twopc::TwoPcTest;

const os::WString kBulk = u"C:\\Users\\taro\\Documents\\Bulk";
constexpr int kBulkFiles = 40;

class CopyEndTest : public TwoPcTest {
  protected:
    void SetUp() override {
        for (int i = 0; i < kBulkFiles; ++i) {
            ASSERT_TRUE(src->fs().WriteFile(kBulk + u"\\file" + os::ToWString(100 + i) + u".bin",
                                            std::string(100000, static_cast<char>('a' + i % 26))));
        }
        StartBoth();
        Pair();
    }

    // Starts the copy of the bulk folder and runs until `files` files have been sent.
    void StartBulkAndRunTo(int files) {
        OnMain(*src, "start the bulk copy", [](CTandrixDlg& dlg) {
            CFilePath list;
            list.AddPath(kBulk, false);
            dlg.m_sDestDrive.back() = u'D';
            dlg.m_nCopyMode = 2;
            dlg.BuildListSendPath(list);
            dlg.BeginCopy();
            dlg.Window().Enable(true);
        });
        CTandrixDlg& sender = Main(*src);
        ASSERT_TRUE(world.RunUntil([&] {
            return sender.m_nSendPass == 2 && sender.m_nFileIndex >= files;
        })) << world.Failure();
    }

    void ExpectBothIdle() {
        CTandrixDlg& s = Main(*src);
        CTandrixDlg& d = Main(*dst);
        EXPECT_EQ(s.m_nRole, 0);
        EXPECT_FALSE(s.m_bRunning);
        EXPECT_EQ(s.m_pProgress, nullptr);
        EXPECT_EQ(s.m_nFileIndex, -1);
        EXPECT_EQ(d.m_nRole, 0);
        EXPECT_EQ(d.m_nCom, 0);
        EXPECT_EQ(d.m_nScreen, 1);
        EXPECT_EQ(d.m_pProgress, nullptr);
        EXPECT_FALSE(d.m_bCopyInProgress);
        EXPECT_FALSE(src->sys().KeepAwake());
        EXPECT_FALSE(dst->sys().KeepAwake());
    }

    int ArrivedFiles() {
        std::vector<os::WString> files;
        for (int i = 0; i < kBulkFiles; ++i) {
            const os::WString path = u"D:\\Ferrylo\\Bulk\\file" + os::ToWString(100 + i) + u".bin";
            if (dst->fs().Exists(path)) {
                EXPECT_EQ(dst->fs().ReadFile(path),
                          std::string(100000, static_cast<char>('a' + i % 26)))
                    << "a file that arrived is complete";
                files.push_back(path);
            }
        }
        return static_cast<int>(files.size());
    }

    const os::WString kClosing =
        u"引越が終了しました。\n引越したデータは引越先のパソコンのD:\\Ferryloに保存しました。\n\n";
};

TEST_F(CopyEndTest, StopAtTheSourceConfirmedEndsTheCopyOnBothPcs) {
    StartBulkAndRunTo(5);
    Main(*src).Window().Post(kMsgStopRequest, 0);
    Run();
    EXPECT_EQ(TakeBox(*src, os::kIdYes), u"中断してもよろしいですか？");
    ExpectBothIdle();
    EXPECT_LT(ArrivedFiles(), kBulkFiles);
    EXPECT_EQ(src->ui().OpenBox(), nullptr) << "no closing message after a stop";
    EXPECT_EQ(dst->ui().OpenBox(), nullptr);
    EXPECT_FALSE(dst->fs().Exists(u"D:\\Ferrylo\\FerryloLog.txt"));
}

TEST_F(CopyEndTest, StopAtTheSourceRefusedLetsTheCopyFinish) {
    StartBulkAndRunTo(5);
    Main(*src).Window().Post(kMsgStopRequest, 0);
    Run();
    EXPECT_EQ(TakeBox(*src, os::kIdNo), u"中断してもよろしいですか？");
    EXPECT_EQ(TakeBox(*src), kClosing);
    EXPECT_EQ(ArrivedFiles(), kBulkFiles);
    ExpectBothIdle();
}

TEST_F(CopyEndTest, StopAtTheDestinationIsAskedAtTheSource) {
    StartBulkAndRunTo(5);
    Main(*dst).Window().Post(kMsgStopRequest, 0);
    Run();
    EXPECT_EQ(TakeBox(*src, os::kIdYes), u"中断してもよろしいですか？");
    ExpectBothIdle();
    EXPECT_LT(ArrivedFiles(), kBulkFiles);
}

TEST_F(CopyEndTest, StopAtTheDestinationRefusedAtTheSourceGoesOn) {
    StartBulkAndRunTo(5);
    Main(*dst).Window().Post(kMsgStopRequest, 0);
    Run();
    const uint64_t asked = world.NowMs();
    EXPECT_EQ(TakeBox(*src, os::kIdNo), u"中断してもよろしいですか？");
    EXPECT_EQ(TakeBox(*src), kClosing);
    EXPECT_EQ(ArrivedFiles(), kBulkFiles);
    EXPECT_FALSE(Main(*dst).Window().Exists() && false);
    ExpectBothIdle();
    (void)asked;
}

TEST_F(CopyEndTest, WithoutAnAnswerTheDestinationGivesUpAfterFiveSeconds) {
    // What the destination sends back to the source arrives only after 20 s.
    world.net().Delay(sim::StreamSelector{dst->address(), src->address(), sim::SimSide::Acceptor},
                      20000);
    StartBulkAndRunTo(5);
    // And from now on nothing of the source's stream gets through for a while.
    const sim::StreamSelector forward{src->address(), dst->address(), sim::SimSide::Connector};
    world.net().PauseAt(forward, world.net().BytesSent(forward), 30000);
    Main(*dst).Window().Post(kMsgStopRequest, 0);
    ASSERT_TRUE(world.RunFor(4900)) << world.Failure();
    EXPECT_EQ(Main(*dst).m_nRole, 2) << "still waiting for the source's answer";
    // What was already under way when the stream stopped may still arrive in these 5 s.
    ASSERT_TRUE(world.RunFor(5200)) << world.Failure();
    EXPECT_EQ(Main(*dst).m_nRole, 0);
    EXPECT_EQ(Main(*dst).m_nScreen, 1);
    EXPECT_EQ(Main(*dst).m_pProgress, nullptr);
    // The late request still reaches the source, whose user ends the copy there too.
    Run();
    EXPECT_EQ(TakeBox(*src, os::kIdYes), u"中断してもよろしいですか？");
    ExpectBothIdle();
}

TEST_F(CopyEndTest, ASourceThatStillSendsIsWaitedForAndMayRefuseTheStop) {
    // The request reaches the source only after 8 s, while its stream keeps arriving.
    world.net().Delay(sim::StreamSelector{dst->address(), src->address(), sim::SimSide::Acceptor},
                      8000);
    world.net().Delay(sim::StreamSelector{src->address(), dst->address(), sim::SimSide::Connector},
                      400);
    StartBulkAndRunTo(5);
    Main(*dst).Window().Post(kMsgStopRequest, 0);
    ASSERT_TRUE(world.RunFor(7000)) << world.Failure();
    EXPECT_EQ(Main(*dst).m_nRole, 2) << "the destination still takes the copy in";
    Run();
    EXPECT_EQ(TakeBox(*src, os::kIdNo), u"中断してもよろしいですか？");
    Run();
    EXPECT_EQ(TakeBox(*src), kClosing);
    EXPECT_EQ(ArrivedFiles(), kBulkFiles);
    ExpectBothIdle();
}

TEST_F(CopyEndTest, AFullDestinationDriveStopsTheSource) {
    ASSERT_TRUE(dst->fs().SetFreeSpaceOverride(u'D', 130'000'000));
    StartBulkAndRunTo(1);
    Run();
    EXPECT_EQ(TakeBox(*src),
              u"引越先の空き容量が少なくなりましたので引越を中止します。余分なファイルを削除し、"
              u"コピーに十分な空き容量を確保してから再度コピーを行ってください。");
    ExpectBothIdle();
    EXPECT_LT(ArrivedFiles(), kBulkFiles);
    EXPECT_FALSE(Main(*dst).m_bFullDrv);
}

TEST_F(CopyEndTest, ABrokenFirstEntryStopsTheCopyWithAMessage) {
    CTandrixDlg& receiver = Main(*dst);
    OnMain(*src, "start the bulk copy", [](CTandrixDlg& dlg) {
        CFilePath list;
        list.AddPath(kBulk, false);
        dlg.m_sDestDrive.back() = u'D';
        dlg.BuildListSendPath(list);
        dlg.BeginCopy();
    });
    ASSERT_TRUE(world.RunUntil([&] { return receiver.m_nCom == 1; })) << world.Failure();
    const sim::StreamSelector forward{src->address(), dst->address(), sim::SimSide::Connector};
    world.net().CorruptByte(forward, world.net().BytesSent(forward), 0x01);  // "%" becomes "$"
    Run();
    EXPECT_EQ(TakeBox(*src), u"エラーが発生したのでコピーを中止します。");
    Run();
    ExpectBothIdle();
    EXPECT_EQ(src->ui().OpenBox(), nullptr);
}

TEST_F(CopyEndTest, LosingTheDestinationsConnectionEndsItsProgram) {
    StartBulkAndRunTo(5);
    // The destination's own (outgoing) connection breaks.
    world.net().CutAt(sim::StreamSelector{dst->address(), src->address(), sim::SimSide::Connector},
                      world.net().BytesSent(sim::StreamSelector{dst->address(), src->address(),
                                                                sim::SimSide::Connector}));
    Run();
    EXPECT_EQ(TakeBox(*dst),
              u"接続が切断されました\nコピーを続ける場合は、プログラムを再起動してください");
    EXPECT_TRUE(world.Finished(*dst));
    // The source finds its partner gone, returns to its ready screen and listens again.
    Run();
    EXPECT_EQ(TakeBox(*src),
              u"接続が切断されました\nコピーを続ける場合は、プログラムを再起動してください")
        << "the lost connection ends the copy, told as such and not as a send error";
    EXPECT_EQ(src->ui().OpenBox(), nullptr);
    EXPECT_EQ(Main(*src).m_nRole, 0);
    EXPECT_EQ(Main(*src).m_nScreen, 1);
    EXPECT_FALSE(Main(*src).m_bConnected);
    EXPECT_EQ(Main(*src).m_pProgress, nullptr);
}

TEST_F(CopyEndTest, LosingTheSourcesConnectionEndsTheCopyOnBothPcs) {
    StartBulkAndRunTo(5);
    const sim::StreamSelector forward{src->address(), dst->address(), sim::SimSide::Connector};
    world.net().CutAt(forward, world.net().BytesSent(forward) + 1000);
    Run();
    EXPECT_EQ(TakeBox(*dst),
              u"接続が切断されました\nコピーを続ける場合は、プログラムを再起動してください");
    EXPECT_TRUE(world.Finished(*dst));
    EXPECT_EQ(Main(*src).m_nRole, 0);
    EXPECT_FALSE(Main(*src).m_bConnected);
    // Its sends failed before it heard of the close: it says so, with the socket's error.
    EXPECT_EQ(
        TakeBox(*src).rfind(u"ファイルコピー中にエラーが発生しました。エラーコード=10054\n", 0),
        0u);
    EXPECT_EQ(src->ui().OpenBox(), nullptr);
    // Whatever got through before the cut is complete; nothing partial is left behind.
    const int arrived = ArrivedFiles();
    EXPECT_GT(arrived, 0);
    EXPECT_LT(arrived, kBulkFiles);
    EXPECT_EQ(dst->fs().Dump(u"D:\\Ferrylo\\Bulk", false).find("~tdx"), std::string::npos);
}

TEST_F(CopyEndTest, ACopyCommandDuringACopyStartsNoSecondCopy) {
    StartBulkAndRunTo(5);
    CTandrixDlg& sender = Main(*src);
    src->ui().PostTask([&sender] { sender.OnCopyCommand(1); });  // 丸ごとコピー, mid-walk
    Run();
    EXPECT_EQ(TakeBox(*src), kClosing) << "no question of a second copy came first";
    EXPECT_EQ(ArrivedFiles(), kBulkFiles);
    EXPECT_FALSE(dst->fs().Exists(u"D:\\Ferrylo\\FerryloLog.txt"));
    ExpectBothIdle();
}

TEST_F(CopyEndTest, ClosingTheSourcesWindowEndsTheCopyAtOnceOnBothPcs) {
    StartBulkAndRunTo(5);
    const uint64_t closed = world.NowMs();
    Main(*src).Window().PostClose();  // the user closes the window mid-copy
    ASSERT_TRUE(world.RunUntil([&] { return world.Finished(*src); })) << world.Failure();
    EXPECT_LT(world.NowMs() - closed, 2000u) << "no send is retried on the closed connection";
    Run();
    EXPECT_TRUE(src->ui().Boxes().empty()) << "no error the user did not cause";
    EXPECT_EQ(dst->ui().OpenBox(), nullptr);
    EXPECT_FALSE(world.Finished(*dst)) << "the destination is back at its ready screen";
    EXPECT_EQ(Main(*dst).m_nRole, 0);
    EXPECT_EQ(Main(*dst).m_nScreen, 1);
    EXPECT_EQ(Main(*dst).m_pProgress, nullptr);
    EXPECT_LT(ArrivedFiles(), kBulkFiles);
}

TEST_F(CopyEndTest, ClosingTheDestinationsWindowLeavesNoPartialFile) {
    StartBulkAndRunTo(5);
    Main(*dst).Window().PostClose();
    ASSERT_TRUE(world.RunUntil([&] { return world.Finished(*dst); })) << world.Failure();
    Run();
    EXPECT_EQ(TakeBox(*src),
              u"接続が切断されました\nコピーを続ける場合は、プログラムを再起動してください");
    EXPECT_TRUE(dst->ui().Boxes().empty());
    EXPECT_EQ(Main(*src).m_nRole, 0);
    EXPECT_LT(ArrivedFiles(), kBulkFiles) << "and every file there is whole";
}

TEST_F(CopyEndTest, APartnerThatVanishesIsNoticedOnBothPcsWithinAMinute) {
    StartBulkAndRunTo(5);
    const uint64_t pulled = world.NowMs();
    world.net().Unplug(src->address(), dst->address());
    ASSERT_TRUE(world.RunUntil([&] {
        return src->ui().OpenBox() != nullptr && dst->ui().OpenBox() != nullptr;
    })) << world.Failure();
    EXPECT_LE(world.NowMs() - pulled, 61000u);
    EXPECT_EQ(TakeBox(*dst),
              u"接続が切断されました\nコピーを続ける場合は、プログラムを再起動してください");
    EXPECT_TRUE(world.Finished(*dst));
    // The stalled send or the connection's own watch, whichever gives up first.
    const os::WString said = TakeBox(*src);
    EXPECT_TRUE(said.rfind(u"ファイルコピー中にエラーが発生しました。エラーコード=10060", 0) == 0 ||
                said ==
                    u"接続が切断されました\nコピーを続ける場合は、プログラムを再起動してください")
        << os::ToUtf8(said);
    Run();
    EXPECT_EQ(src->ui().OpenBox(), nullptr);
    EXPECT_EQ(Main(*src).m_nRole, 0);
    EXPECT_EQ(Main(*src).m_pProgress, nullptr);
    EXPECT_LT(ArrivedFiles(), kBulkFiles) << "and no partial file is left behind";
}

}  // namespace
