// Host look-up with its blank-padded fields, message-box titles, captions and the manual.
#include <gtest/gtest.h>

#include "os/Text.h"
#include "platform/SystemHelpers.h"
#include "sim/SimPc.h"

namespace {

TEST(SystemInfoTest, HostAddressHasThreeCharacterFields) {
    sim::SimPc pc;
    pc.sys().AddHost("PC-B", {192, 168, 1, 5});
    pc.sys().AddHost("wide", {10, 200, 0, 123});
    EXPECT_EQ(GetHostAddress(pc.sys(), u"PC-B"), u"192.168.  1.  5");
    EXPECT_EQ(GetHostAddress(pc.sys(), u"\\\\pc-b"), u"192.168.  1.  5")
        << "a network-path name resolves like the bare name";
    EXPECT_EQ(GetHostAddress(pc.sys(), u"wide"), u" 10.200.  0.123");
    EXPECT_EQ(GetHostAddress(pc.sys(), u"unknown-pc"), u"");
    EXPECT_EQ(pc.sys().SocketsStartups(), 4);
    EXPECT_EQ(pc.sys().SocketsCleanups(), 4) << "every start is stopped, also after a failure";
}

TEST(SystemInfoTest, EveryAddressOfANameInTheResolversOrder) {
    sim::SimPc pc;
    pc.sys().AddHost("multi", {192, 168, 1, 5});
    pc.sys().AddHost("MULTI", {10, 0, 0, 1});
    const struct {
        const char16_t* name;
        std::vector<os::IPv4> addresses;
    } rows[] = {
        {u"multi", {{192, 168, 1, 5}, {10, 0, 0, 1}}},
        {u"\\\\Multi", {{192, 168, 1, 5}, {10, 0, 0, 1}}},
        {u"172.16.5.4", {{172, 16, 5, 4}}},
        {u"unknown-pc", {}},
        {u"\\\\", {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(GetHostAddresses(pc.sys(), row.name), row.addresses) << os::ToUtf8(row.name);
    }
    EXPECT_EQ(GetHostAddress(pc.sys(), u"multi"), u"192.168.  1.  5") << "the first one";
    EXPECT_EQ(pc.sys().SocketsStartups(), pc.sys().SocketsCleanups());
}

TEST(SystemInfoTest, MessageBoxTitleCarriesTheProduct) {
    sim::SimPc pc;
    ShowMessage(pc.ui(), u"本文");
    ShowMessage(pc.ui(), u"本文", u"確認", os::kMbYesNo);
    ASSERT_EQ(pc.ui().Boxes().size(), 2u);
    EXPECT_EQ(pc.ui().Boxes()[0].title, u"ソラノワ Basic");
    EXPECT_EQ(pc.ui().Boxes()[0].type, 0u);
    EXPECT_EQ(pc.ui().Boxes()[1].title, u"ソラノワ Basic - 確認");
    EXPECT_EQ(pc.ui().Boxes()[1].type, os::kMbYesNo);
}

TEST(SystemInfoTest, ManualIsLocalWhenPresent) {
    sim::SimPc pc;
    const os::WString folder = u"C:\\Apps\\Soranowa\\bin\\";
    EXPECT_EQ(GetManualPath(pc.fs(), folder).rfind(u"https://", 0), 0u);
    ASSERT_TRUE(pc.fs().WriteFile(u"C:\\Apps\\Docs\\manual\\index.html", "<html></html>"));
    EXPECT_EQ(GetManualPath(pc.fs(), folder),
              u"C:\\Apps\\Soranowa\\bin\\..\\..\\Docs\\manual\\index.html");
    EXPECT_EQ(GetManualPath(pc.fs(), u"C:\\Apps\\Soranowa\\bin\\\\\\"),
              u"C:\\Apps\\Soranowa\\bin\\..\\..\\Docs\\manual\\index.html");
}

TEST(SystemInfoTest, NamesAndReceivedText) {
    sim::SimPc pc;
    EXPECT_EQ(GetPCName(pc.sys()), u"PC-A");
    EXPECT_EQ(GetLoginUserName(pc.sys()), u"taro");
    EXPECT_EQ(GetWindowsDriveLetter(pc.sys()), u"C");
    pc.sys().SetFails(sim::SimCall::ComputerName, true);
    pc.sys().SetFails(sim::SimCall::UserName, true);
    EXPECT_EQ(GetPCName(pc.sys()), u"");
    EXPECT_EQ(GetLoginUserName(pc.sys()), u"");

    const std::string text("hanako\0ignored", 14);
    EXPECT_EQ(ReceivedTextToWide(pc.sys(), text.data(), text.size()), u"hanako");
    const std::string longText(1041, 'a');
    EXPECT_EQ(ReceivedTextToWide(pc.sys(), longText.data(), longText.size()), u"");
    EXPECT_EQ(ReceivedTextToWide(pc.sys(), longText.data(), 1040).size(), 1040u);
}

}  // namespace
