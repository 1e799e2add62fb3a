// The send list of the file-list and folder copies: every source straight below the
// destination root under its own name; a second source of the same name is not sent.
#include <gtest/gtest.h>

#include <ostream>
#include <utility>
#include <vector>

#include "app/TandrixApp.h"
#include "app/TandrixDlg.h"
#include "platform/FilePath.h"
#include "sim/SimPc.h"

namespace {

using Pairs = std::vector<std::pair<os::WString, os::WString>>;

struct SendCase {
    const char* label;
    os::WString destDrive;
    std::vector<os::WString> sources;
    Pairs pairs;
};

void PrintTo(const SendCase& c, std::ostream* out) {
    *out << c.label;
}

class ListSendPathTest : public ::testing::TestWithParam<SendCase> {
  protected:
    ListSendPathTest() : app(pc.platform()), dlg(app) {}

    sim::SimPc pc;
    CTandrixApp app;
    CTandrixDlg dlg;
};

TEST_P(ListSendPathTest, PairsBelowTheRoot) {
    const SendCase& c = GetParam();
    CFilePath list;
    for (const auto& source : c.sources) {
        list.AddPath(source, false);
    }
    dlg.m_sDestDrive = c.destDrive;
    dlg.m_pSendPath->AddPair(u"C:\\left\\over", u"X:\\over", false);  // from an earlier copy
    dlg.m_pSendPath->m_nCurrent = 1;
    dlg.BuildListSendPath(list);
    Pairs got;
    for (int i = 0; i < dlg.m_pSendPath->Count(); ++i) {
        got.emplace_back(dlg.m_pSendPath->SrcAt(i), dlg.m_pSendPath->DstAt(i));
    }
    EXPECT_EQ(got, c.pairs);
    const os::WString root = os::WString(1, c.destDrive.back()) + u":\\Ferrylo";
    EXPECT_EQ(dlg.m_pSendPath->FolderText(), root);
    EXPECT_EQ(dlg.m_pSendPath->m_nCurrent, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ListSendPathTest,
    ::testing::Values(SendCase{"files and folders",
                               u"ドライブ：D",
                               {u"C:\\work\\report.doc", u"E:\\Photos"},
                               {{u"C:\\work\\report.doc", u"D:\\Ferrylo\\report.doc"},
                                {u"E:\\Photos", u"D:\\Ferrylo\\Photos"}}},
                      SendCase{"the same name twice is sent once",
                               u"ドライブ：E",
                               {u"C:\\a\\Data", u"D:\\b\\Data", u"C:\\x.tar.gz"},
                               {{u"C:\\a\\Data", u"E:\\Ferrylo\\Data"},
                                {u"C:\\x.tar.gz", u"E:\\Ferrylo\\x.tar.gz"}}},
                      SendCase{"an empty list gives the root alone", u"ドライブ：C", {}, {}}));

}  // namespace
