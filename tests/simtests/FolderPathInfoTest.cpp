// The version class of every Windows the system knows, and the folder getters.
#include <gtest/gtest.h>

#include "platform/FolderPathInfo.h"
#include "sim/SimPc.h"

namespace {

struct VersionRow {
    const char* name;
    os::VersionInfo version;
    bool extendedFails;
    uint32_t expected;
};

TEST(FolderPathInfoTest, ClassifiesEveryVersion) {
    const VersionRow rows[] = {
        {"98", {1, 4, 10, 1998, u" ", 0, 0}, false, 0x001},
        {"98 SE", {1, 4, 10, 2222, u" A ", 0, 0}, false, 0x002},
        {"Me", {1, 4, 90, 3000, u" ", 0, 0}, false, 0x004},
        {"95", {1, 4, 0, 950, u"", 0, 0}, false, 0},
        {"9x major 5", {1, 5, 10, 0, u"", 0, 0}, false, 0},
        {"NT 4", {2, 4, 0, 1381, u"", 0, 1}, false, 0},
        {"2000 Pro", {2, 5, 0, 2195, u"", 0, 1}, false, 0x008},
        {"2000 Server", {2, 5, 0, 2195, u"", 0x10, 3}, false, 0x010},
        {"2000 Advanced Server", {2, 5, 0, 2195, u"", 0x02, 3}, false, 0x020},
        {"2000 Datacenter", {2, 5, 0, 2195, u"", 0x80, 3}, false, 0x020},
        {"2000 domain controller", {2, 5, 0, 2195, u"", 0, 2}, false, 0},
        {"XP Home", {2, 5, 1, 2600, u"", 0x200, 1}, false, 0x040},
        {"XP Pro", {2, 5, 1, 2600, u"", 0, 1}, false, 0x080},
        {"XP x64", {2, 5, 2, 3790, u"", 0x200, 1}, false, 0x080},
        {"2003 server", {2, 5, 2, 3790, u"", 0, 3}, false, 0},
        {"XP, extended query failed", {2, 5, 1, 2600, u"", 0x200, 1}, true, 0},
        {"Vista", {2, 6, 0, 6000, u"", 0, 1}, false, 0x100},
        {"7", {2, 6, 1, 7601, u"", 0, 1}, false, 0x200},
        {"8", {2, 6, 2, 9200, u"", 0, 1}, false, 0x400},
        {"8.1", {2, 6, 3, 9600, u"", 0, 1}, false, 0x400},
        {"2012 R2 server", {2, 6, 3, 9600, u"", 0, 3}, false, 0x400},
        {"10", {2, 10, 0, 19045, u"", 0x100, 1}, false, 0x800},
        {"7, extended query failed", {2, 6, 1, 7601, u"", 0, 1}, true, 0x200},
        {"future workstation", {2, 12, 0, 1, u"", 0x200, 1}, false, 0x040},
        {"future server", {2, 12, 0, 1, u"", 0, 3}, false, 0},
        {"CE", {3, 10, 0, 1, u"", 0, 1}, false, 0},
    };
    for (const VersionRow& row : rows) {
        sim::SimPc pc;
        pc.sys().SetVersion(row.version);
        pc.sys().SetFails(sim::SimCall::VersionExtended, row.extendedFails);
        CFolderPathInfo info(pc.sys());
        EXPECT_EQ(info.OSVersion(), row.expected) << row.name;
    }
}

TEST(FolderPathInfoTest, GettersAskTheShellOnlyOnNtClasses) {
    sim::SimPc pc;
    CFolderPathInfo info(pc.sys());
    EXPECT_EQ(info.GetMyDocumentFolderPath(), u"C:\\Users\\taro\\Documents");
    EXPECT_EQ(info.GetDesktopFolderPath(), u"C:\\Users\\taro\\Desktop");
    EXPECT_EQ(info.GetCommonDocumentFolderPath(), u"C:\\Users\\Public\\Documents");
    pc.sys().SetFolder(os::kCsidlPersonal, u"\\\\server\\home\\taro");
    EXPECT_EQ(info.GetMyDocumentFolderPath(), u"\\\\server\\home\\taro")
        << "a redirected folder is found where it is now";
    pc.sys().RemoveFolder(os::kCsidlMyMusic);
    EXPECT_EQ(info.GetMyMusicFolderPath(), u"") << "a folder the shell lacks reads empty";
    EXPECT_EQ(info.GetMyPictureFolderPath(), u"C:\\Users\\taro\\Pictures");

    sim::SimPc server;
    server.sys().SetVersion(os::VersionInfo{2, 5, 2, 3790, u"", 0, 3});
    CFolderPathInfo serverInfo(server.sys());
    EXPECT_EQ(serverInfo.OSVersion(), 0u);
    EXPECT_EQ(serverInfo.GetMyDocumentFolderPath(), u"");
    EXPECT_EQ(serverInfo.GetCommonVideoFolderPath(), u"");
}

}  // namespace
