// Whole copies between two simulated PCs: what arrives, byte for byte, with times and
// attributes; the path log and the error list; every way a copy ends.
#include "simtests/TwoPcKit.h"

namespace {

using twopc::TwoPcTest;

const os::WString kDocs = u"C:\\Users\\taro\\Documents";

class CopyStoryTest : public TwoPcTest {
  protected:
    void MakeTree() {
        sim::SimFileSystem& fs = src->fs();
        const sim::SimTimes times{132000000000000000ull, 133000000000000000ull,
                                  132500000000000000ull};
        ASSERT_TRUE(fs.WriteFile(kDocs + u"\\Projects\\計画書.txt", "中身のある計画",
                                 os::kAttrArchive, times));
        ASSERT_TRUE(fs.WriteFile(kDocs + u"\\Projects\\empty.dat", "", os::kAttrHidden, times));
        ASSERT_TRUE(fs.WriteFile(kDocs + u"\\Projects\\sub\\deep\\big.bin",
                                 std::string(300000, 'x') + "end", os::kAttrReadOnly, times));
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

}  // namespace
