// The result check's look-ups: one listing per folder answers for all its entries, without
// case, by long name only.
#include <gtest/gtest.h>

#include "common/ReceiverTestKit.h"
#include "sim/SimFileSystem.h"
#include "transfer/FolderListings.h"

namespace {

class CountingFs : public recvkit::SpyFileSystem {
  public:
    using SpyFileSystem::SpyFileSystem;
    int finds = 0;
    std::unique_ptr<os::FindHandle> FindFirst(const os::WString& pattern,
                                              os::FindData& first) override {
        ++finds;
        return SpyFileSystem::FindFirst(pattern, first);
    }
};

TEST(FolderListings, OneListingPerFolderAnswersForItsEntries) {
    sim::SimFileSystem fs;
    ASSERT_TRUE(fs.AddDrive(u'D', os::DriveType::Fixed, u"NTFS", u"", 1ull << 33));
    const os::WString a = u"D:\\Ferrylo\\A";
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(fs.WriteFile(a + u"\\f" + os::ToWString(i) + u".txt", "x"));
        ASSERT_TRUE(fs.WriteFile(a + u"\\B\\g" + os::ToWString(i) + u".txt", "x"));
    }
    ASSERT_TRUE(fs.WriteFile(a + u"\\longfilename.txt", "x"));
    CountingFs counting(fs);
    CFolderListings listings(counting);

    // In walk order: files of A, the folder B and its files, then A again.
    for (int i = 0; i < 40; ++i) {
        EXPECT_TRUE(listings.Exists(a + u"\\f" + os::ToWString(i) + u".txt"));
        if (i == 20) {
            EXPECT_TRUE(listings.Exists(a + u"\\B"));
            for (int j = 0; j < 40; ++j) {
                EXPECT_TRUE(listings.Exists(a + u"\\b\\G" + os::ToWString(j) + u".TXT"));
            }
        }
    }
    EXPECT_FALSE(listings.Exists(a + u"\\missing.txt"));
    EXPECT_FALSE(listings.Exists(a + u"\\LONGFI~1.TXT")) << "a short-name alias is not the file";
    EXPECT_TRUE(listings.Exists(a + u"\\LongFileName.txt"));
    EXPECT_FALSE(listings.Exists(u"D:\\Ferrylo\\Nowhere\\x.txt"));
    EXPECT_EQ(counting.finds, 3) << "A, B and Nowhere, each listed once";
}

}  // namespace
