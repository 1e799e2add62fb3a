// The path log's bytes: a byte-order mark only with the first line, CR LF line ends, UTF-8,
// opened and closed per line, emptied by a new survey.
#include <gtest/gtest.h>

#include "platform/PathLog.h"
#include "sim/SimPc.h"

namespace {

const os::WString kLog = u"C:\\Users\\taro\\Documents\\ソラノワBasic\\work\\FerryloPath.log";

TEST(PathLogTest, LinesAreUtf8WithOneByteOrderMarkAndCrLf) {
    sim::SimPc pc;
    EXPECT_EQ(GetPathLogPath(pc.fs(), pc.sys()), kLog);
    ResetPathLog(pc.fs(), pc.sys());
    EXPECT_EQ(pc.fs().ReadFile(kLog), "") << "a survey that visits nothing leaves zero bytes";

    AppendPathLog(pc.fs(), pc.sys(), u"E:\\Ferrylo\\写真");
    AppendPathLog(pc.fs(), pc.sys(), u"E:\\Ferrylo\\写真\\a.jpg");
    EXPECT_EQ(pc.fs().ReadFile(kLog),
              "\xEF\xBB\xBF"
              "E:\\Ferrylo\\\xE5\x86\x99\xE7\x9C\x9F\r\n"
              "E:\\Ferrylo\\\xE5\x86\x99\xE7\x9C\x9F\\a.jpg\r\n");
    EXPECT_EQ(pc.fs().OpenHandleCount(), 0) << "no handle is kept between lines";

    ResetPathLog(pc.fs(), pc.sys());
    AppendPathLog(pc.fs(), pc.sys(), u"E:\\Ferrylo\\next");
    EXPECT_EQ(pc.fs().ReadFile(kLog),
              "\xEF\xBB\xBF"
              "E:\\Ferrylo\\next\r\n")
        << "a new survey holds no line of the old one";
}

TEST(PathLogTest, TheSurveyWriterWritesTheSameBytesThroughOneHandle) {
    sim::SimPc pc;
    ResetPathLog(pc.fs(), pc.sys());
    const uint64_t opens = pc.fs().OpenCalls();
    {
        CPathLogWriter writer(pc.fs(), pc.sys());
        writer.Append(u"E:\\Ferrylo\\写真");
        for (int i = 0; i < 3000; ++i) {  // more than one block
            writer.Append(u"E:\\Ferrylo\\写真\\a.jpg");
        }
        EXPECT_EQ(pc.fs().OpenCalls() - opens, 1u) << "opened once, not per line";
    }
    std::string expected =
        "\xEF\xBB\xBF"
        "E:\\Ferrylo\\\xE5\x86\x99\xE7\x9C\x9F\r\n";
    for (int i = 0; i < 3000; ++i) {
        expected += "E:\\Ferrylo\\\xE5\x86\x99\xE7\x9C\x9F\\a.jpg\r\n";
    }
    EXPECT_EQ(pc.fs().ReadFile(kLog), expected);
    EXPECT_EQ(pc.fs().OpenHandleCount(), 0);

    ResetPathLog(pc.fs(), pc.sys());
    { CPathLogWriter writer(pc.fs(), pc.sys()); }
    EXPECT_EQ(pc.fs().ReadFile(kLog), "") << "a survey that visits nothing leaves zero bytes";
}

TEST(PathLogTest, AMissingWorkFolderIsMadeAgain) {
    sim::SimPc pc;
    AppendPathLog(pc.fs(), pc.sys(), u"E:\\Ferrylo\\one");
    ASSERT_TRUE(pc.fs().ForceRemove(u"C:\\Users\\taro\\Documents\\ソラノワBasic"));
    AppendPathLog(pc.fs(), pc.sys(), u"E:\\Ferrylo\\two");
    EXPECT_EQ(pc.fs().ReadFile(kLog),
              "\xEF\xBB\xBF"
              "E:\\Ferrylo\\two\r\n");
}

TEST(PathLogTest, WithoutADocumentsFolderNothingIsWrittenAnywhere) {
    sim::SimPc pc;
    pc.sys().RemoveFolder(os::kCsidlPersonal);
    EXPECT_EQ(GetPathLogPath(pc.fs(), pc.sys()), u"");
    const std::string before = pc.fs().Dump(u"C:\\");
    AppendPathLog(pc.fs(), pc.sys(), u"E:\\Ferrylo\\one");
    ResetPathLog(pc.fs(), pc.sys());
    EXPECT_EQ(pc.fs().Dump(u"C:\\"), before);
}

TEST(PathLogTest, AFullDiskLosesTheLineSilently) {
    sim::SimPc pc;
    ASSERT_TRUE(pc.fs().SetWriteFault(u'C', true));
    AppendPathLog(pc.fs(), pc.sys(), u"E:\\Ferrylo\\lost");
    ASSERT_TRUE(pc.fs().SetWriteFault(u'C', false));
    AppendPathLog(pc.fs(), pc.sys(), u"E:\\Ferrylo\\kept");
    const auto bytes = pc.fs().ReadFile(kLog);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->find("lost"), std::string::npos);
    EXPECT_NE(bytes->find("kept"), std::string::npos);
}

}  // namespace
