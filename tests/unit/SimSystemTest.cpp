// System facts of a simulated PC: version queries, folders, host look-up with socket start and
// stop, the ANSI code page, error texts, named mutexes shared by the PC's processes, Sleep.
#include "sim/SimSystem.h"

#include <gtest/gtest.h>

#include "os/Text.h"
#include "sim/SimFileSystem.h"

namespace sim {
namespace {

TEST(SimSystem, VersionQueriesAndFailures) {
    SimSystem sys;
    os::VersionInfo v;
    ASSERT_TRUE(sys.GetVersion(v, true));
    EXPECT_EQ(v.platformId, 2u);
    EXPECT_EQ(v.major, 10u);
    EXPECT_EQ(v.build, 19045u);
    EXPECT_EQ(v.productType, os::kProductWorkstation);

    os::VersionInfo basic;
    basic.productType = 9;
    ASSERT_TRUE(sys.GetVersion(basic, false));
    EXPECT_EQ(basic.major, 10u);
    EXPECT_EQ(basic.productType, 0) << "the basic record has no extended fields";

    sys.SetFails(SimCall::VersionExtended, true);
    EXPECT_FALSE(sys.GetVersion(v, true));
    EXPECT_TRUE(sys.GetVersion(v, false));
    sys.SetFails(SimCall::Version, true);
    EXPECT_FALSE(sys.GetVersion(v, false));

    os::WString name;
    sys.SetComputerName(u"pc-b");
    ASSERT_TRUE(sys.GetComputerName(name));
    EXPECT_EQ(name, u"PC-B") << "NetBIOS names are upper case";
    sys.SetComputerName(u"Desktop-Of-Taro-2024");
    ASSERT_TRUE(sys.GetComputerName(name));
    EXPECT_EQ(name, u"DESKTOP-OF-TARO") << "and at most 15 characters";
    sys.SetFails(SimCall::ComputerName, true);
    EXPECT_FALSE(sys.GetComputerName(name));
    EXPECT_NE(sys.LastError(), 0u);
}

TEST(SimSystem, FoldersByCsidl) {
    SimFileSystem fs;
    ASSERT_TRUE(fs.AddDrive(u'C', os::DriveType::Fixed, u"NTFS", u"", 1 << 20));
    SimSystem sys;
    sys.SetFolder(os::kCsidlPersonal, u"C:\\Users\\taro\\Documents");
    os::WString path;
    EXPECT_FALSE(sys.GetFolderPath(os::kCsidlMyMusic, path));
    EXPECT_FALSE(sys.GetSpecialFolderPath(os::kCsidlMyMusic, true, path));
    ASSERT_TRUE(sys.GetFolderPath(os::kCsidlPersonal, path));
    EXPECT_EQ(path, u"C:\\Users\\taro\\Documents");

    // With a file system the special-folder call checks the folder and creates it on request.
    sys.SetFileSystem(&fs);
    EXPECT_FALSE(sys.GetSpecialFolderPath(os::kCsidlPersonal, false, path));
    EXPECT_FALSE(fs.Exists(u"C:\\Users"));
    ASSERT_TRUE(sys.GetSpecialFolderPath(os::kCsidlPersonal, true, path));
    EXPECT_EQ(path, u"C:\\Users\\taro\\Documents");
    EXPECT_TRUE(fs.Exists(u"C:\\Users\\taro\\Documents"));
    EXPECT_TRUE(sys.GetSpecialFolderPath(os::kCsidlPersonal, false, path));
    sys.RemoveFolder(os::kCsidlPersonal);
    EXPECT_FALSE(sys.GetFolderPath(os::kCsidlPersonal, path));
}

TEST(SimSystem, HostLookupNeedsStartedSockets) {
    SimSystem sys;
    sys.AddHost("pc-b", {192, 168, 1, 20});
    std::array<uint8_t, 4> address{};
    EXPECT_FALSE(sys.LookupHost("PC-B", address));
    EXPECT_EQ(sys.LastError(), kWsaNotInitialised);

    ASSERT_TRUE(sys.SocketsStartup());
    struct Row {
        const char* name;
        bool found;
        std::array<uint8_t, 4> address;
    };
    const Row rows[] = {
        {"PC-B", true, {192, 168, 1, 20}}, {"pc-b", true, {192, 168, 1, 20}},
        {"10.0.0.7", true, {10, 0, 0, 7}}, {"10.0.0.256", false, {}},
        {"10.0.0.7x", false, {}},          {"PC-C", false, {}},
    };
    for (const Row& row : rows) {
        address = {};
        EXPECT_EQ(sys.LookupHost(row.name, address), row.found) << row.name;
        if (row.found) {
            EXPECT_EQ(address, row.address) << row.name;
        } else {
            EXPECT_EQ(sys.LastError(), kWsaHostNotFound) << row.name;
        }
    }
    sys.SocketsCleanup();
    EXPECT_FALSE(sys.LookupHost("PC-B", address));
    EXPECT_EQ(sys.SocketsStartups(), 1);
    EXPECT_EQ(sys.SocketsCleanups(), 1);

    sys.SetFails(SimCall::SocketsStartup, true);
    EXPECT_FALSE(sys.SocketsStartup());
    EXPECT_EQ(sys.SocketsStartups(), 1) << "a failed start needs no stop";
}

TEST(SimSystem, AnsiCodePageIsWindows1252) {
    SimSystem sys;
    struct Row {
        os::WString wide;
        std::string ansi;
    };
    const Row rows[] = {
        {u"PC-A host", "PC-A host"},
        {u"caf\u00E9 \u00FF", "caf\xE9 \xFF"},
        {u"\u20AC\u2122\u0178", "\x80\x99\x9F"},
        {u"\u0081", "\x81"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(sys.WideToAnsi(row.wide), row.ansi) << os::ToUtf8(row.wide);
        EXPECT_EQ(sys.AnsiToWide(row.ansi), row.wide) << row.ansi;
    }
    // No ANSI form: a question mark per unit.
    EXPECT_EQ(sys.WideToAnsi(u"PC-\u65E5\u672C"), "PC-??");
    EXPECT_EQ(sys.WideToAnsi(u"\u0080\u0100"), "??");
}

TEST(SimSystem, ErrorTextsEndLikeTheSystemsDo) {
    SimSystem sys;
    EXPECT_EQ(sys.ErrorText(os::kErrAccessDenied), u"Access is denied.\r\n");
    EXPECT_EQ(sys.ErrorText(os::kErrDiskFull), u"There is not enough space on the disk.\r\n");
    for (const uint32_t code : std::initializer_list<uint32_t>{
             os::kErrFileNotFound, os::kErrPathNotFound, os::kErrSharingViolation,
             os::kErrAlreadyExists, os::kErrNotSameDevice, os::kErrDirNotEmpty,
             uint32_t{kWsaHostNotFound}}) {
        EXPECT_FALSE(sys.ErrorText(code).empty()) << code;
    }
    EXPECT_TRUE(sys.ErrorText(999999).empty());
}

TEST(SimSystem, NamedMutexIsSharedByTheProcessesOfOnePc) {
    auto table = std::make_shared<SimMutexTable>();
    SimSystem first(nullptr, table);
    SimSystem second(nullptr, table);
    SimSystem otherPc;
    bool existed = true;
    auto held = first.CreateNamedMutex(u"MyInstance", existed);
    ASSERT_TRUE(held);
    EXPECT_FALSE(existed);
    {
        auto again = second.CreateNamedMutex(u"MyInstance", existed);
        ASSERT_TRUE(again);
        EXPECT_TRUE(existed);
        EXPECT_EQ(second.LastError(), os::kErrAlreadyExists);
        EXPECT_EQ(table->Holders(u"MyInstance"), 2);
    }
    auto elsewhere = otherPc.CreateNamedMutex(u"MyInstance", existed);
    EXPECT_FALSE(existed) << "another PC has its own names";
    auto otherCase = second.CreateNamedMutex(u"myinstance", existed);
    EXPECT_FALSE(existed) << "kernel object names are case-sensitive";

    held.reset();
    EXPECT_EQ(table->Holders(u"MyInstance"), 0);
    auto after = second.CreateNamedMutex(u"MyInstance", existed);
    EXPECT_FALSE(existed) << "released with its last handle";

    second.SetFails(SimCall::CreateMutex, true);
    EXPECT_EQ(second.CreateNamedMutex(u"Other", existed), nullptr);
}

TEST(SimSystem, SleepAndExitAreRecorded) {
    auto clock = std::make_shared<SimClock>();
    SimSystem sys(clock);
    int exitSeen = -1;
    sys.SetExitHandler([&](int code) { exitSeen = code; });
    sys.Sleep(300);
    sys.Sleep(100);
    EXPECT_EQ(sys.SleptMs(), 400u);
    EXPECT_EQ(clock->NowMs(), 400u);
    EXPECT_EQ(sys.NowMs(), 400u);
    EXPECT_FALSE(sys.Exited());
    sys.SetJapaneseLocale();
    EXPECT_TRUE(sys.JapaneseLocaleSet());
    sys.SetKeepAwake(true);
    EXPECT_TRUE(sys.KeepAwake());
    sys.SetKeepAwake(false);
    EXPECT_FALSE(sys.KeepAwake());
    EXPECT_EQ(sys.KeepAwakeCalls(), 2);
    sys.ExitProcess(3);
    EXPECT_TRUE(sys.Exited());
    EXPECT_EQ(sys.ExitCode(), 3);
    EXPECT_EQ(exitSeen, 3);
}

}  // namespace
}  // namespace sim
