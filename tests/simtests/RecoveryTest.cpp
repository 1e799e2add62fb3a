// A break in the transfer stream: the destination reports the last entry it took in, the
// source re-arms it, goes back and sends everything after that entry again.
#include "os/Text.h"
#include "simtests/TwoPcKit.h"
#include "transfer/RecovPath.h"

namespace {

using twopc::TwoPcTest;

const os::WString kMany = u"C:\\Users\\taro\\Documents\\Many";
constexpr int kFiles = 30;
constexpr size_t kSize = 1000;

os::WString Name(int i) {
    return u"f" + os::ToWString(100 + i) + u".txt";
}

class RecoveryTest : public TwoPcTest {
  protected:
    void SetUp() override {
        for (int i = 0; i < kFiles; ++i) {
            ASSERT_TRUE(src->fs().WriteFile(kMany + u"\\" + Name(i),
                                            std::string(kSize, static_cast<char>('A' + i % 26))));
        }
        StartBoth();
        Pair();
    }

    // Starts the copy and returns the stream offset where its first entry begins.
    uint64_t StartCopy() {
        OnMain(*src, "start the copy", [](CTandrixDlg& dlg) {
            CFilePath list;
            list.AddPath(kMany, false);
            dlg.m_sDestDrive.back() = u'D';
            dlg.BuildListSendPath(list);
            dlg.BeginCopy();
        });
        CTandrixDlg& receiver = Main(*dst);
        EXPECT_TRUE(world.RunUntil([&] { return receiver.m_nCom == 1; })) << world.Failure();
        return world.net().BytesSent(Forward());
    }

    sim::StreamSelector Forward() const {
        return sim::StreamSelector{src->address(), dst->address(), sim::SimSide::Connector};
    }
    sim::StreamSelector Reports() const {
        return sim::StreamSelector{dst->address(), src->address(), sim::SimSide::Connector};
    }

    // Where the header of file `k` lies in the stream: after the folder's entry and the
    // entries of the files before it.
    static uint64_t FileHeaderOffset(uint64_t start, int k) {
        const os::WString folder = u"D:\\Ferrylo\\Many";
        uint64_t offset = start + 4 + 4 * folder.size();
        for (int i = 0; i < k; ++i) {
            offset += 4 + 4 * (folder.size() + 1 + Name(i).size()) + 36 + kSize;
        }
        return offset;
    }

    void ExpectEverythingArrived() {
        EXPECT_EQ(TakeBox(*src),
                  u"引越が終了しました。\n引越したデータは引越先のパソコンのD:"
                  u"\\Ferryloに保存しました。\n\n");
        EXPECT_EQ(dst->fs().Dump(u"D:\\Ferrylo\\Many"), src->fs().Dump(kMany));
        EXPECT_FALSE(dst->fs().Exists(u"D:\\Ferrylo\\FerryloLog.txt"));
    }
};

TEST_F(RecoveryTest, ABrokenHeaderIsReportedOnceAndEverythingArrives) {
    const uint64_t start = StartCopy();
    world.net().CorruptByte(Forward(), FileHeaderOffset(start, 12), 0x01);  // "%" becomes "$"
    const uint64_t reportsBefore = world.net().BytesSent(Reports());
    Run();
    ExpectEverythingArrived();
    // One report naming the last file taken in, besides the end-of-copy frames.
    const os::WString reported = u"D:\\Ferrylo\\Many\\" + Name(11);
    EXPECT_EQ(world.net().BytesSent(Reports()) - reportsBefore, 16 + 4 * reported.size() + 16 + 16);
    EXPECT_EQ(Main(*src).m_sErrPath, reported);
}

TEST_F(RecoveryTest, AnUnknownKindIsReportedTwiceAndEverythingArrives) {
    const uint64_t start = StartCopy();
    world.net().CorruptByte(Forward(), FileHeaderOffset(start, 20) + 2, 0x08);  // kind 1 → 9
    const uint64_t reportsBefore = world.net().BytesSent(Reports());
    Run();
    ExpectEverythingArrived();
    const os::WString reported = u"D:\\Ferrylo\\Many\\" + Name(19);
    EXPECT_EQ(world.net().BytesSent(Reports()) - reportsBefore,
              2 * (16 + 4 * reported.size()) + 16 + 16)
        << "the report goes out again after 100 ms";
}

TEST_F(RecoveryTest, ABreakInTheLastEntryIsStillHonoured) {
    const uint64_t start = StartCopy();
    world.net().CorruptByte(Forward(), FileHeaderOffset(start, kFiles - 1), 0x01);
    Run();
    ExpectEverythingArrived();
}

TEST(RecovPathTest, HistoryKeepsTheLastHundredEntries) {
    CRecovPath history;
    for (int i = 1; i <= 150; ++i) {
        WalkPosition position;
        position.curPath = u"C:\\src\\" + os::ToWString(i);
        position.curPath2 = u"D:\\Ferrylo\\" + os::ToWString(i);
        position.curDir = u"C:\\src";
        position.item = i;
        history.AddPath(position);
    }
    ASSERT_EQ(history.Size(), 100u);
    EXPECT_EQ(history.At(0).curPath2, u"D:\\Ferrylo\\51");
    EXPECT_EQ(history.At(99).curPath2, u"D:\\Ferrylo\\150");

    WalkPosition restored;
    EXPECT_EQ(history.Rewind(u"D:\\Ferrylo\\50", restored), -1) << "older than the history";
    EXPECT_EQ(history.Size(), 100u) << "a failed rewind keeps the history";

    CRecovPath newest = history;
    EXPECT_EQ(newest.Rewind(u"D:\\Ferrylo\\150", restored), 0);
    EXPECT_EQ(restored.curPath, u"C:\\src\\150");
    EXPECT_EQ(restored.item, 150);
    EXPECT_EQ(newest.Size(), 0u);

    CRecovPath tenth = history;
    EXPECT_EQ(tenth.Rewind(u"D:\\Ferrylo\\141", restored), 9);
    EXPECT_EQ(restored.curPath, u"C:\\src\\141");
    EXPECT_EQ(restored.curDir, u"C:\\src");

    CRecovPath oldest = history;
    EXPECT_EQ(oldest.Rewind(u"D:\\Ferrylo\\51", restored), 99);
}

TEST(RecovPathTest, RewindFindsTheNewestOfEqualPaths) {
    CRecovPath history;
    for (int i = 0; i < 3; ++i) {
        WalkPosition position;
        position.curPath2 = u"D:\\Ferrylo\\same";
        position.item = i;
        history.AddPath(position);
    }
    WalkPosition restored;
    EXPECT_EQ(history.Rewind(u"D:\\Ferrylo\\same", restored), 0);
    EXPECT_EQ(restored.item, 2);
}

}  // namespace
