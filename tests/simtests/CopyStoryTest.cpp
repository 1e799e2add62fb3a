// Whole copies between two simulated PCs: what arrives, byte for byte, with times and
// attributes; the path log and the error list; every way a copy ends.
#include "os/Text.h"
#include "platform/Drive.h"
#include "sim/SimCanvas.h"
#include "simtests/TwoPcKit.h"

namespace {

using twopc::TwoPcTest;

const os::WString kDocs = u"C:\\Users\\taro\\Documents";

class CopyStoryTest : public TwoPcTest {
  protected:
    void MakeTree(size_t bigSize = 300000) {
        sim::SimFileSystem& fs = src->fs();
        const sim::SimTimes times{132000000000000000ull, 133000000000000000ull,
                                  132500000000000000ull};
        ASSERT_TRUE(fs.WriteFile(kDocs + u"\\Projects\\計画書.txt", "中身のある計画",
                                 os::kAttrArchive, times));
        ASSERT_TRUE(fs.WriteFile(kDocs + u"\\Projects\\empty.dat", "", os::kAttrHidden, times));
        ASSERT_TRUE(fs.WriteFile(kDocs + u"\\Projects\\sub\\deep\\big.bin",
                                 std::string(bigSize, 'x') + "end", os::kAttrReadOnly, times));
        ASSERT_TRUE(fs.WriteFile(kDocs + u"\\Projects\\sub\\system.cfg", "cfg",
                                 os::kAttrSystem | os::kAttrHidden, times));
        ASSERT_TRUE(fs.MakeFolders(kDocs + u"\\Projects\\空のフォルダ"));
        ASSERT_TRUE(fs.WriteFile(kDocs + u"\\memo.txt", "memo", os::kAttrArchive, times));
    }
};

TEST_F(CopyStoryTest, AListCopyArrivesWholeAndEndsWithTheClosingMessage) {
    MakeTree();
    StartBoth();
    Pair();
    CopyList({kDocs + u"\\Projects", kDocs + u"\\memo.txt"}, u'D');

    EXPECT_EQ(
        TakeBox(*src),
        u"引越が終了しました。\n引越したデータは引越先のパソコンのD:\\Ferryloに保存しました。\n\n");
    EXPECT_EQ(dst->fs().Dump(u"D:\\Ferrylo\\Projects"), src->fs().Dump(kDocs + u"\\Projects"));
    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\memo.txt"), "memo");
    EXPECT_FALSE(dst->fs().Exists(u"D:\\Ferrylo\\FerryloLog.txt"));
    EXPECT_TRUE(dst->fs().Exists(u"D:\\Ferrylo\\FerryloPath.log"));
    EXPECT_EQ(Main(*src).m_nRole, 0);
    EXPECT_EQ(Main(*dst).m_nRole, 0);
    EXPECT_EQ(Main(*dst).m_nScreen, 1);
    EXPECT_TRUE(dst->ui().OpenBox() == nullptr);
}

TEST_F(CopyStoryTest, PathLogAndErrorListAreWrittenByteForByte) {
    MakeTree();
    ASSERT_TRUE(src->fs().SetUnreadable(kDocs + u"\\Projects\\sub\\system.cfg", true));
    StartBoth();
    Pair();
    CopyList({kDocs + u"\\Projects", kDocs + u"\\memo.txt"}, u'D');

    EXPECT_EQ(
        TakeBox(*src),
        u"引越が終了しました。\n引越したデータは引越先のパソコンのD:\\Ferryloに保存しました。\n\n"
        u"一部のファイルは完全には送れませんでした。\n送れなかったファイルの一覧：C:\\Users\\taro\\"
        u"Documents\\ソラノワBasic\\FerryloNotSent.txt\n")
        << "the source names what it could not read";
    const std::string p = "D:\\Ferrylo\\Projects";
    EXPECT_EQ(
        dst->fs().ReadFile(u"D:\\Ferrylo\\FerryloPath.log"),
        "\xEF\xBB\xBF" + p + "\r\n" + p + "\\empty.dat\r\n" + p + "\\sub\r\n" + p +
            "\\sub\\deep\r\n" + p + "\\sub\\deep\\big.bin\r\n" + p + "\\sub\\system.cfg\r\n" + p +
            "\\\xE7\xA9\xBA\xE3\x81\xAE\xE3\x83\x95\xE3\x82\xA9\xE3\x83\xAB\xE3\x83\x80\r\n" + p +
            "\\\xE8\xA8\x88\xE7\x94\xBB\xE6\x9B\xB8.txt\r\n" + "D:\\Ferrylo\\memo.txt\r\n");
    EXPECT_EQ(
        dst->fs().ReadFile(u"D:\\Ferrylo\\FerryloLog.txt"),
        "\xEF\xBB\xBF" +
            os::ToUtf8(u"以下のファイルまたはディレクトリのコピーの際にエラーが発生しました。") +
            "\r\n" + p + "\\sub\\system.cfg\r\n");
    EXPECT_FALSE(dst->fs().Exists(u"D:\\Ferrylo\\Projects\\sub\\system.cfg"));
    EXPECT_TRUE(dst->fs().Exists(u"D:\\Ferrylo\\Projects\\sub\\deep\\big.bin"));
}

TEST_F(CopyStoryTest, TheDestinationLeavesAShortcutAndOpensTheFolder) {
    MakeTree();
    StartBoth();
    Pair();
    CopyList({kDocs + u"\\memo.txt"}, u'D');
    TakeBox(*src);
    ASSERT_EQ(dst->shell().Shortcuts().size(), 1u);
    const sim::SimShortcut& link = dst->shell().Shortcuts()[0];
    EXPECT_EQ(link.linkPath, u"C:\\Users\\hanako\\Desktop\\Dドライブに引っ越したファイル.lnk");
    EXPECT_EQ(link.target, u"D:\\Ferrylo");
    EXPECT_EQ(link.description, u"ソラノワ Basic");
    EXPECT_EQ(link.arguments, u"/s");
    ASSERT_FALSE(dst->shell().Calls().empty());
    EXPECT_EQ(dst->shell().Calls().back().verb, u"open");
    EXPECT_EQ(dst->shell().Calls().back().path, u"D:\\Ferrylo");
    EXPECT_EQ(dst->shell().ComInits(), dst->shell().ComUninits());
}

// A file that answers at the destination only through another file's short name is neither
// written over it nor taken for it: the error list names it, though a file "exists" there.
TEST_F(CopyStoryTest, AFileThatOnlySharesAShortNameIsListedNotMerged) {
    ASSERT_TRUE(src->fs().WriteFile(kDocs + u"\\Alias\\LONGFI~1.TXT", "short"));
    ASSERT_TRUE(src->fs().WriteFile(kDocs + u"\\Alias\\longfilename.txt", "long"));
    StartBoth();
    Pair();
    CopyList({kDocs + u"\\Alias"}, u'D');
    TakeBox(*src);
    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\Alias\\longfilename.txt"), "long");
    EXPECT_EQ(
        dst->fs().ReadFile(u"D:\\Ferrylo\\FerryloLog.txt"),
        "\xEF\xBB\xBF" +
            os::ToUtf8(u"以下のファイルまたはディレクトリのコピーの際にエラーが発生しました。") +
            "\r\nD:\\Ferrylo\\Alias\\LONGFI~1.TXT\r\n");
}

// The same copy, whatever way the network cuts the stream into reads.
class CopySplitTest : public CopyStoryTest, public ::testing::WithParamInterface<int> {};

TEST_P(CopySplitTest, EveryReadSplitGivesTheSameResult) {
    MakeTree(GetParam() == 2 ? 3000 : 300000);  // one byte a read is slow to simulate
    switch (GetParam()) {
        case 0:
            world.net().SetReadSplit(sim::ReadSplit::Random());
            break;
        case 1:
            world.net().SetReadSplit(sim::ReadSplit::Whole());
            break;
        default:
            world.net().SetReadSplit(sim::ReadSplit::OneByte());
            break;
    }
    StartBoth();
    Pair();
    CopyList({kDocs + u"\\Projects", kDocs + u"\\memo.txt"}, u'D');
    EXPECT_EQ(
        TakeBox(*src),
        u"引越が終了しました。\n引越したデータは引越先のパソコンのD:\\Ferryloに保存しました。\n\n");
    EXPECT_EQ(dst->fs().Dump(u"D:\\Ferrylo\\Projects"), src->fs().Dump(kDocs + u"\\Projects"));
    EXPECT_FALSE(dst->fs().Exists(u"D:\\Ferrylo\\FerryloLog.txt"));
}

INSTANTIATE_TEST_SUITE_P(Splits, CopySplitTest, ::testing::Values(0, 1, 2));

}  // namespace

namespace {

class WholeDriveStoryTest : public twopc::TwoPcTest {};

TEST_F(WholeDriveStoryTest, TheWholeDriveButtonMovesEveryRootEntryToThePartnersDrive) {
    sim::SimFileSystem& fs = src->fs();
    ASSERT_TRUE(fs.WriteFile(u"C:\\Users\\taro\\Documents\\報告書.docx", "report"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\Program Files\\App\\app.exe", "binary"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\Data\\photo.jpg", std::string(70000, 'p'), os::kAttrHidden));
    ASSERT_TRUE(fs.WriteFile(u"C:\\Windows\\System32\\kernel.dll", "system"));
    ASSERT_TRUE(fs.WriteFile(u"D:\\Music\\song.mp3", "music"));
    ASSERT_TRUE(fs.WriteFile(u"C:\\Users\\taro\\Documents\\ソラノワBasic\\work\\old.log", "old"));
    StartBoth();

    src->ui().ClickAt({400, 300}).In(IDD_TANDRIX_DIALOG);  // 丸ごとコピー
    Run();
    EXPECT_EQ(TakeBox(*src, os::kIdNo).rfind(u"ProgramFilesフォルダをコピーしますか？", 0), 0u);
    sim::SimDialogWindow* choice = src->ui().FindWindow(IDD_DRIVE);
    ASSERT_NE(choice, nullptr) << "the drive choice is open";
    EXPECT_EQ(choice->ListRows(IDC_DRIVE_LIST),
              (std::vector<os::WString>{u"C:    総容量：500000 MB", u"D:    総容量：1000000 MB"}));
    src->ui().SelectRow(IDC_DRIVE_LIST, 1).In(IDD_DRIVE);
    src->ui().PressEnter().In(IDD_DRIVE);
    Run();
    EXPECT_EQ(
        TakeBox(*src),
        u"引越が終了しました。\n引越したデータは引越先のパソコンのD:\\Ferryloに保存しました。\n\n");

    const os::WString c = u"D:\\Ferrylo\\PC-AのCドライブ";
    const os::WString d = u"D:\\Ferrylo\\PC-AのDドライブ";
    EXPECT_EQ(dst->fs().ReadFile(c + u"\\Users\\taro\\Documents\\報告書.docx"), "report");
    EXPECT_EQ(dst->fs().ReadFile(c + u"\\Data\\photo.jpg"), std::string(70000, 'p'));
    EXPECT_EQ(dst->fs().GetAttributes(c + u"\\Data\\photo.jpg") & os::kAttrHidden, os::kAttrHidden);
    EXPECT_EQ(dst->fs().ReadFile(d + u"\\Music\\song.mp3"), "music");
    EXPECT_FALSE(dst->fs().Exists(c + u"\\Windows"));
    EXPECT_FALSE(dst->fs().Exists(c + u"\\Program Files")) << "the answer was No";
    EXPECT_FALSE(dst->fs().Exists(u"D:\\Ferrylo\\PC-AのEドライブ")) << "optical drives stay";
    EXPECT_EQ(Main(*src).m_sDestDrive, u"ドライブ：D");
    // The program's own folder (where the survey writes the path log) is not copied, so it is
    // not listed as missing either.
    EXPECT_FALSE(dst->fs().Exists(c + u"\\Users\\taro\\Documents\\ソラノワBasic"));
    EXPECT_FALSE(dst->fs().Exists(u"D:\\Ferrylo\\FerryloLog.txt"));
}

}  // namespace

namespace {

class SenderStoryTest : public twopc::TwoPcTest {
  protected:
    void CopyFolder(const os::WString& folder) {
        StartBoth();
        Pair();
        CopyList({folder}, u'D');
    }
    // Pairs the two programs; without the tag the source takes its partner for one that
    // follows the plain protocol.
    void PairWith(bool partnerKnowsTag) {
        StartBoth();
        Pair();
        if (!partnerKnowsTag) {
            OnMain(*src, "a partner without the tag",
                   [](CTandrixDlg& dlg) { dlg.m_bPeerKnowsTdx = false; });
            Run();
        }
    }
};

const os::WString kNotSentList = u"C:\\Users\\taro\\Documents\\ソラノワBasic\\FerryloNotSent.txt";
const os::WString kClosing =
    u"引越が終了しました。\n引越したデータは引越先のパソコンのD:\\Ferryloに保存しました。\n\n";

// The closing message with the note that names the source's own list, and that list's lines.
os::WString ClosingWithList() {
    return kClosing + u"一部のファイルは完全には送れませんでした。\n送れなかったファイルの一覧：" +
           kNotSentList + u"\n";
}
std::string NotSentListOf(const std::vector<os::WString>& paths) {
    std::string out =
        "\xEF\xBB\xBF" +
        os::ToUtf8(u"以下のファイルまたはフォルダは、引越先へ完全には送れませんでした。") + "\r\n";
    for (const os::WString& path : paths) {
        out += os::ToUtf8(path) + "\r\n";
    }
    return out;
}

// Files that change under the sender: the body is always as long as announced, so the stream
// stays in step, and a body that could not be read whole never passes for a complete copy.
class ChangingFilesTest : public SenderStoryTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ChangingFilesTest, ABodyThatCouldNotBeReadWholeIsNamedToTheUser) {
    const bool partnerKnowsTag = GetParam();
    const os::WString folder = u"C:\\Users\\taro\\Documents\\Changing";
    ASSERT_TRUE(src->fs().WriteFile(folder + u"\\grew.txt", "0123456789ABCDEFGHIJ"));
    ASSERT_TRUE(src->fs().SetListedSize(folder + u"\\grew.txt", 10));
    ASSERT_TRUE(src->fs().WriteFile(folder + u"\\shrank.txt", "0123456789"));
    ASSERT_TRUE(src->fs().SetListedSize(folder + u"\\shrank.txt", 2500));
    // A mail store with a byte-range lock in its second piece.
    const size_t piece = CTandrixDlg::kIoBlock;
    ASSERT_TRUE(src->fs().WriteFile(folder + u"\\mail.pst", std::string(2 * piece + 1000, 'm')));
    ASSERT_TRUE(src->fs().SetLockedRange(folder + u"\\mail.pst", piece + 100000, 10));
    // Rewritten by its program while it is read: same size, a later write time.
    ASSERT_TRUE(src->fs().WriteFile(folder + u"\\rewritten.txt", "version one"));
    ASSERT_TRUE(src->fs().SetReadFault(folder + u"\\rewritten.txt", 4, sim::SimReadFault::Change));
    // The same, where the rewrite comes after the first piece.
    ASSERT_TRUE(src->fs().WriteFile(folder + u"\\late.bin", std::string(2 * piece + 10, 'l')));
    ASSERT_TRUE(
        src->fs().SetReadFault(folder + u"\\late.bin", piece + 5, sim::SimReadFault::Change));
    ASSERT_TRUE(src->fs().WriteFile(folder + u"\\after.txt", "after"));
    for (int i = 0; i < 10; ++i) {  // more than ten files: no pauses, entries leave whole
        ASSERT_TRUE(src->fs().WriteFile(folder + u"\\n" + os::ToWString(i), "n"));
    }
    PairWith(partnerKnowsTag);
    CopyList({folder}, u'D');
    EXPECT_EQ(TakeBox(*src), ClosingWithList());
    EXPECT_EQ(src->fs().ReadFile(kNotSentList),
              NotSentListOf({folder + u"\\grew.txt", folder + u"\\late.bin", folder + u"\\mail.pst",
                             folder + u"\\rewritten.txt", folder + u"\\shrank.txt"}));
    ASSERT_FALSE(src->shell().Calls().empty());
    EXPECT_EQ(src->shell().Calls().back().path, kNotSentList) << "the list is opened";

    const os::WString to = u"D:\\Ferrylo\\Changing\\";
    EXPECT_EQ(dst->fs().ReadFile(to + u"after.txt"), "after") << "later entries are in step";
    EXPECT_EQ(dst->fs().ReadFile(to + u"n9"), "n");
    const auto errors = dst->fs().ReadFile(u"D:\\Ferrylo\\FerryloLog.txt");
    if (partnerKnowsTag) {
        // The "not intact" entries: the destination drops those bodies and lists them.
        ASSERT_TRUE(errors.has_value());
        for (const char16_t* name :
             {u"grew.txt", u"late.bin", u"mail.pst", u"rewritten.txt", u"shrank.txt"}) {
            EXPECT_FALSE(dst->fs().Exists(to + name)) << os::ToUtf8(name);
            EXPECT_NE(errors->find(os::ToUtf8(to + name + u"\r\n")), std::string::npos)
                << os::ToUtf8(name);
        }
    } else {
        // A partner that knows nothing of them sees the plain stream: cut at the announced
        // size, or made up with zero bytes.
        EXPECT_EQ(dst->fs().ReadFile(to + u"grew.txt"), "0123456789");
        EXPECT_EQ(dst->fs().ReadFile(to + u"shrank.txt"), "0123456789" + std::string(2490, '\0'));
        EXPECT_EQ(dst->fs().ReadFile(to + u"mail.pst"),
                  std::string(piece, 'm') + std::string(piece + 1000, '\0'));
        EXPECT_FALSE(errors.has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(Partners, ChangingFilesTest, ::testing::Bool());

// A copy of a few files waits 300 ms before and after each entry, which goes out on its own,
// for a partner that follows the plain protocol; between two copies of this program it does not.
class FewFilesTest : public SenderStoryTest, public ::testing::WithParamInterface<bool> {};

TEST_P(FewFilesTest, PauseAroundEachEntryOnlyForAPartnerWithoutTheTag) {
    const bool partnerKnowsTag = GetParam();
    const os::WString folder = u"C:\\Users\\taro\\Documents\\Few";
    ASSERT_TRUE(src->fs().WriteFile(folder + u"\\a.txt", "a"));
    ASSERT_TRUE(
        src->fs().WriteFile(folder + u"\\b.txt", std::string(3 * CTandrixDlg::kIoBlock, 'b')));
    PairWith(partnerKnowsTag);
    const uint64_t start = world.NowMs();
    CopyList({folder}, u'D');
    const uint64_t took = world.NowMs() - start;
    EXPECT_EQ(TakeBox(*src), kClosing);
    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\Few\\a.txt"), "a");
    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\Few\\b.txt"),
              std::string(3 * CTandrixDlg::kIoBlock, 'b'));
    EXPECT_FALSE(dst->fs().Exists(u"D:\\Ferrylo\\FerryloLog.txt"));
    if (partnerKnowsTag) {
        EXPECT_LT(took, 300u);
    } else {
        EXPECT_GE(took, 6 * 300u) << "two files and the path log, each between two pauses";
    }
}

INSTANTIATE_TEST_SUITE_P(Partners, FewFilesTest, ::testing::Bool());

TEST_F(SenderStoryTest, FilesHeldByOtherProgramsAreReadAndOnlyTheUnreadableListed) {
    const os::WString folder = u"C:\\Users\\taro\\Documents\\Held";
    ASSERT_TRUE(src->fs().WriteFile(folder + u"\\inbox.db", "mail"));
    ASSERT_TRUE(src->fs().SetHeldSharing(folder + u"\\inbox.db", true));
    ASSERT_TRUE(src->fs().WriteFile(folder + u"\\locked.dat", "locked"));
    ASSERT_TRUE(src->fs().SetLocked(folder + u"\\locked.dat", true));
    ASSERT_TRUE(src->fs().WriteFile(folder + u"\\Secret\\a.txt", "a"));
    ASSERT_TRUE(src->fs().SetUnreadable(folder + u"\\Secret", true));
    CopyFolder(folder);
    EXPECT_EQ(TakeBox(*src), ClosingWithList());
    EXPECT_EQ(src->fs().ReadFile(kNotSentList),
              NotSentListOf({folder + u"\\locked.dat", folder + u"\\Secret"}));
    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\Held\\inbox.db"), "mail")
        << "a file others write to, sharing it, is read";
    const auto errors = dst->fs().ReadFile(u"D:\\Ferrylo\\FerryloLog.txt");
    ASSERT_TRUE(errors.has_value());
    EXPECT_NE(errors->find("D:\\Ferrylo\\Held\\locked.dat\r\n"), std::string::npos);
}

TEST_F(SenderStoryTest, FilesDeepInLongSourcePathsArrive) {
    // The chosen folder lies deep: its own tree reaches 261 characters and more at the source,
    // while the destination paths stay short.
    const os::WString base = u"C:\\X\\" + os::WString(150, u'p') + u"\\Deep";
    const os::WString inner = base + u"\\" + os::WString(100, u'q');
    ASSERT_GE(inner.size(), 260u);
    ASSERT_TRUE(src->fs().WriteFile(u"\\\\?\\" + inner + u"\\file.txt", "deep"));
    ASSERT_TRUE(src->fs().WriteFile(u"\\\\?\\" + inner + u"\\Sub\\more.txt", "more"));
    CopyFolder(base);
    EXPECT_EQ(TakeBox(*src), kClosing);
    const os::WString to = u"D:\\Ferrylo\\Deep\\" + os::WString(100, u'q');
    EXPECT_EQ(dst->fs().ReadFile(to + u"\\file.txt"), "deep");
    EXPECT_EQ(dst->fs().ReadFile(to + u"\\Sub\\more.txt"), "more");
    EXPECT_FALSE(dst->fs().Exists(u"D:\\Ferrylo\\FerryloLog.txt"));
    EXPECT_FALSE(src->fs().Exists(kNotSentList));
}

TEST_F(SenderStoryTest, FilesOf4GiBAreLeftOutForADriveThatIsNotNtfs) {
    // The destination's D: is FAT32; its root travels as "d:\" since it is not the system drive.
    ASSERT_TRUE(dst->fs().RemoveDrive(u'D'));
    ASSERT_TRUE(dst->fs().AddDrive(u'D', os::DriveType::Fixed, u"FAT32", u"Old", 900'000'000'000));
    const os::WString folder = u"C:\\Users\\taro\\Videos\\Big";
    ASSERT_TRUE(src->fs().WriteFile(folder + u"\\movie.mkv", "not really five gigabytes"));
    ASSERT_TRUE(src->fs().SetListedSize(folder + u"\\movie.mkv", 5ull << 30));
    ASSERT_TRUE(src->fs().WriteFile(folder + u"\\small.txt", "small"));
    CopyFolder(folder);
    TakeBox(*src);
    EXPECT_FALSE(dst->fs().Exists(u"D:\\Ferrylo\\Big\\movie.mkv"));
    EXPECT_EQ(dst->fs().ReadFile(u"D:\\Ferrylo\\Big\\small.txt"), "small");
    const auto errors = dst->fs().ReadFile(u"D:\\Ferrylo\\FerryloLog.txt");
    ASSERT_TRUE(errors.has_value());
    EXPECT_NE(errors->find("D:\\Ferrylo\\Big\\movie.mkv\r\n"), std::string::npos);
}

TEST_F(SenderStoryTest, DestinationPathsOfMoreThan255CharactersAreListedMissing) {
    const os::WString deep = u"C:\\L\\" + os::WString(110, u'a') + u"\\" + os::WString(110, u'b');
    // "D:\\Ferrylo\\L\\", 110, "\\", 110 and "\\" make 235 characters: a name of 20 fits 255.
    ASSERT_TRUE(src->fs().WriteFile(deep + u"\\" + os::WString(20, u'c'), "fits"));
    ASSERT_TRUE(src->fs().WriteFile(deep + u"\\" + os::WString(21, u'd'), "too long"));
    StartBoth();
    Pair();
    CopyList({u"C:\\L"}, u'D');
    EXPECT_EQ(TakeBox(*src), ClosingWithList());
    EXPECT_EQ(src->fs().ReadFile(kNotSentList),
              NotSentListOf({u"C:\\L\\" + os::WString(110, u'a') + u"\\" + os::WString(110, u'b') +
                             u"\\" + os::WString(21, u'd')}));
    const os::WString target =
        u"D:\\Ferrylo\\L\\" + os::WString(110, u'a') + u"\\" + os::WString(110, u'b') + u"\\";
    EXPECT_EQ((target + os::WString(20, u'c')).size(), 255u);
    EXPECT_EQ(dst->fs().ReadFile(target + os::WString(20, u'c')), "fits");
    EXPECT_FALSE(dst->fs().Exists(target + os::WString(21, u'd')));
    const auto errors = dst->fs().ReadFile(u"D:\\Ferrylo\\FerryloLog.txt");
    ASSERT_TRUE(errors.has_value());
    EXPECT_NE(errors->find(os::ToUtf8(target + os::WString(21, u'd'))), std::string::npos);
}

}  // namespace

namespace {

class PairingStoryTest : public twopc::TwoPcTest {};

TEST_F(PairingStoryTest, BothPcsSayTheyAreConnectedOnceTheDriveListsAreExchanged) {
    StartBoth();
    for (sim::SimPc* pc : {src, dst}) {
        const auto& paint = pc->ui().FindWindow(IDD_TANDRIX_DIALOG)->LastPaint();
        EXPECT_NE(sim::FindText(paint, u"接続の準備が出来ました。"), nullptr);
    }
    Pair();
    for (sim::SimPc* pc : {src, dst}) {
        sim::SimDialogWindow* window = pc->ui().FindWindow(IDD_TANDRIX_DIALOG);
        window->Paint();
        EXPECT_NE(sim::FindText(window->LastPaint(), u"接続できました。"), nullptr);
    }
    EXPECT_TRUE(Main(*src).m_bConnected);
    EXPECT_TRUE(Main(*dst).m_bConnected);
    // The partner's drive list as the source holds it: the system drive's root upper case.
    EXPECT_EQ(Main(*src).m_pRemoteDrives->GetRoot(0), u"C:\\");
    EXPECT_EQ(Main(*src).m_pRemoteDrives->GetRoot(1), u"d:\\");
    EXPECT_EQ(Main(*src).m_pRemoteDrives->GetType(2), u"CDROM");
    EXPECT_EQ(Main(*src).m_peer.m_sRemoteUserName, u"hanako");
    EXPECT_EQ(Main(*dst).m_peer.m_nRemoteOSVer, 0x800);
    // Two copies of this program recognise each other by the tag in their drive lists.
    EXPECT_TRUE(Main(*src).m_bPeerKnowsTdx);
    EXPECT_TRUE(Main(*dst).m_bPeerKnowsTdx);
}

}  // namespace
