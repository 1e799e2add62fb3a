// Path lists: duplicate rules of pairs and single paths, the cursor, clearing.
#include <gtest/gtest.h>

#include "platform/FilePath.h"

TEST(FilePathTest, PairsAreRefusedWhenEitherSideRepeatsExactly) {
    CFilePath list;
    EXPECT_EQ(list.AddPair(u"C:\\a\\Data", u"E:\\Ferrylo\\Data", false), CFilePath::kAdded);
    EXPECT_EQ(list.AddPair(u"D:\\b\\Data", u"E:\\Ferrylo\\Data", false), CFilePath::kDuplicate)
        << "same destination, different source";
    EXPECT_EQ(list.AddPair(u"C:\\a\\Data", u"E:\\Ferrylo\\Other", false), CFilePath::kDuplicate)
        << "same source";
    EXPECT_EQ(list.AddPair(u"c:\\a\\data", u"E:\\Ferrylo\\data", false), CFilePath::kAdded)
        << "pairs compare with case";
    EXPECT_EQ(list.AddPair(u"C:\\a\\Data", u"E:\\Ferrylo\\Data", true), CFilePath::kAdded)
        << "the check can be skipped";
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.DstAt(1), u"E:\\Ferrylo\\data");
}

TEST(FilePathTest, SinglePathsCompareWithoutCase) {
    CFilePath list;
    EXPECT_EQ(list.AddPath(u"C:\\Data", false), CFilePath::kAdded);
    EXPECT_EQ(list.AddPath(u"c:\\data", false), CFilePath::kDuplicate);
    EXPECT_EQ(list.AddPath(u"C:\\ＤＡＴＡ", false), CFilePath::kAdded);
    EXPECT_EQ(list.AddPath(u"C:\\ｄａｔａ", false), CFilePath::kDuplicate)
        << "full-width letters fold as Windows folds them";
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.DstAt(0), u"") << "single paths have no destination";
}

TEST(FilePathTest, CursorReadsEmptyPastTheEnd) {
    CFilePath list;
    list.AddPair(u"C:\\x", u"D:\\Ferrylo\\x", false);
    list.m_nCurrent = 0;
    EXPECT_EQ(list.GetSrc(), u"C:\\x");
    EXPECT_EQ(list.GetDst(), u"D:\\Ferrylo\\x");
    list.m_nCurrent = 1;
    EXPECT_EQ(list.GetSrc(), u"");
    EXPECT_EQ(list.GetDst(), u"");
    list.m_nCurrent = -1;
    EXPECT_EQ(list.GetSrc(), u"");

    list.SetFolderText(u"D:\\Ferrylo");
    list.AppendFolderText(u"D:\\Ferrylo\\PC1のCドライブ|");
    EXPECT_EQ(list.FolderText(), u"D:\\FerryloD:\\Ferrylo\\PC1のCドライブ|");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.m_nCurrent, 0);
    EXPECT_EQ(list.FolderText(), u"");
    EXPECT_EQ(list.AddPair(u"C:\\x", u"D:\\Ferrylo\\x", false), CFilePath::kAdded);
}
