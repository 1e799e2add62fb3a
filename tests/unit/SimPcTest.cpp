// A whole simulated PC: the standard Windows 10 layout, its platform, configuration, processes
// sharing named mutexes, ExitProcess stopping the PC's dialogs, and one clock for all.
#include "sim/SimPc.h"

#include <gtest/gtest.h>

#include "os/Text.h"
#include "sim/SimDialogWindow.h"

namespace sim {
namespace {

TEST(SimPc, StandardWindows10Pc) {
    SimPc pc;
    os::Platform& os = pc.platform();
    EXPECT_EQ(&os.fs, &pc.fs());
    EXPECT_EQ(&os.sys, &pc.sys());
    EXPECT_EQ(&os.shell, &pc.shell());
    EXPECT_EQ(&os.ui, &pc.ui());
    EXPECT_EQ(&os.net, &pc.net());

    os::WString text;
    ASSERT_TRUE(os.sys.GetComputerName(text));
    EXPECT_EQ(text, u"PC-A");
    ASSERT_TRUE(os.sys.GetUserName(text));
    EXPECT_EQ(text, u"taro");
    os::VersionInfo v;
    ASSERT_TRUE(os.sys.GetVersion(v, true));
    EXPECT_EQ(v.major * 100000 + v.build, 10u * 100000 + 19045u);
    EXPECT_EQ(v.productType, os::kProductWorkstation);

    EXPECT_EQ(os.fs.LogicalDrives(), (1u << 2) | (1u << 3) | (1u << 4));
    EXPECT_EQ(os.fs.GetDriveType(u"C:\\"), os::DriveType::Fixed);
    EXPECT_EQ(os.fs.GetDriveType(u"D:\\"), os::DriveType::Fixed);
    EXPECT_EQ(os.fs.GetDriveType(u"E:\\"), os::DriveType::CdRom);
    uint64_t total = 0;
    uint64_t free = 0;
    ASSERT_TRUE(os.fs.GetDiskFreeSpace(u"C:\\", total, free));
    EXPECT_EQ(total, 500'000'000'000ull);
    EXPECT_FALSE(os.fs.GetDiskFreeSpace(u"E:\\", total, free));
    EXPECT_EQ(os.fs.LastError(), os::kErrNotReady);

    // Every shell folder the system asks for exists where Windows 10 puts it.
    const int folders[] = {
        os::kCsidlPersonal,        os::kCsidlFavorites,       os::kCsidlMyMusic,
        os::kCsidlMyVideo,         os::kCsidlMyPictures,      os::kCsidlDesktopDirectory,
        os::kCsidlCookies,         os::kCsidlHistory,         os::kCsidlCommonDesktopDirectory,
        os::kCsidlCommonFavorites, os::kCsidlCommonDocuments, os::kCsidlCommonMusic,
        os::kCsidlCommonPictures,  os::kCsidlCommonVideo};
    for (const int csidl : folders) {
        ASSERT_TRUE(os.sys.GetFolderPath(csidl, text)) << csidl;
        EXPECT_NE(os.fs.GetAttributes(text) & os::kAttrDirectory, 0u) << os::ToUtf8(text);
    }
    ASSERT_TRUE(os.sys.GetFolderPath(os::kCsidlPersonal, text));
    EXPECT_EQ(text, u"C:\\Users\\taro\\Documents");
    ASSERT_TRUE(os.sys.GetWindowsDirectory(text));
    EXPECT_NE(os.fs.GetAttributes(text), os::kInvalidAttributes);
    ASSERT_TRUE(os.sys.GetModulePath(text));
    EXPECT_NE(os.fs.GetAttributes(text), os::kInvalidAttributes);
    EXPECT_EQ(os.fs.GetAttributes(u"C:\\Users\\taro\\AppData"),
              os::kAttrDirectory | os::kAttrHidden);
}

TEST(SimPc, ConfigurationChangesNamesAndFolders) {
    SimPcConfig config;
    config.computerName = u"PC-B";
    config.userName = u"hanako";
    config.version = os::VersionInfo{2, 6, 1, 7601, u"Service Pack 1", 0x100, 1};
    config.modulePath = u"D:\\tools\\tandrix.exe";
    SimPc pc(config);
    os::WString text;
    ASSERT_TRUE(pc.sys().GetComputerName(text));
    EXPECT_EQ(text, u"PC-B");
    ASSERT_TRUE(pc.sys().GetFolderPath(os::kCsidlDesktopDirectory, text));
    EXPECT_EQ(text, u"C:\\Users\\hanako\\Desktop");
    EXPECT_TRUE(pc.fs().Exists(text));
    EXPECT_TRUE(pc.fs().Exists(u"D:\\tools\\tandrix.exe"));
    os::VersionInfo v;
    ASSERT_TRUE(pc.sys().GetVersion(v, false));
    EXPECT_EQ(v.servicePack, u"Service Pack 1");

    SimPcConfig bare;
    bare.standardDrives = false;
    SimPc empty(bare);
    EXPECT_EQ(empty.fs().LogicalDrives(), 0u);
}

TEST(SimPc, SecondProcessOfOnePcSeesTheFirstOnesMutex) {
    SimPc first;
    SimPcConfig sameMachine;
    sameMachine.mutexes = first.sys().Mutexes();
    SimPc second(sameMachine);
    SimPc otherPc;
    bool existed = true;
    auto held = first.sys().CreateNamedMutex(u"MyInstance", existed);
    EXPECT_FALSE(existed);
    auto again = second.sys().CreateNamedMutex(u"MyInstance", existed);
    EXPECT_TRUE(existed);
    auto elsewhere = otherPc.sys().CreateNamedMutex(u"MyInstance", existed);
    EXPECT_FALSE(existed);
}

class EndlessDialog : public os::Dialog {
  public:
    EndlessDialog(os::Platform& os) : os::Dialog(os.ui, 102, nullptr), m_os(os) {}
    bool OnInitDialog() override {
        Window().SetTimer(1, 300);
        return true;
    }
    void OnTimer(int) override {
        m_os.sys.Sleep(100);
        if (++ticks == 5) {
            m_os.sys.ExitProcess(7);
        }
    }
    void OnCancel() override {}  // never closes by itself
    int ticks = 0;

  private:
    os::Platform& m_os;
};

TEST(SimPc, ExitProcessStopsTheDialogsAndOneClockRulesAll) {
    SimPc pc;
    EndlessDialog dlg(pc.platform());
    EXPECT_EQ(dlg.DoModal(), 7);
    EXPECT_TRUE(pc.sys().Exited());
    EXPECT_EQ(pc.sys().ExitCode(), 7);
    EXPECT_EQ(dlg.ticks, 5);
    // A timer restarts when its message is taken, not when the handler returns: ticks at
    // 300, 600, 900, 1200 and 1500, and the last handler's sleep ends at 1600.
    EXPECT_EQ(pc.clock().NowMs(), 1600u);
    EXPECT_EQ(pc.sys().SleptMs(), 500u);
    EXPECT_EQ(pc.ui().ForcedEnds(), 0);
}

}  // namespace
}  // namespace sim
