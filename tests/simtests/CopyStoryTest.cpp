// Whole copies between two simulated PCs: what arrives, byte for byte, with times and
// attributes; the path log and the error list; every way a copy ends.
#include "os/Text.h"
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
        u"引越が終了しました。\n引越したデータは引越先のパソコンのD:\\Ferryloに保存しました。\n\n")
        << "the closing message does not change when files are missing";
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
