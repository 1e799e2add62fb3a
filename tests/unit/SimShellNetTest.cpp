// The simulated shell (opened paths, COM, shortcuts) and the sockets of a PC alone on its net.
#include <gtest/gtest.h>

#include "sim/SimFileSystem.h"
#include "sim/SimNet.h"
#include "sim/SimShell.h"

namespace sim {
namespace {

TEST(SimShell, RecordsOpensAndSavesShortcutsOnlyWithCom) {
    SimFileSystem fs;
    ASSERT_TRUE(fs.AddDrive(u'C', os::DriveType::Fixed, u"NTFS", u"", 1 << 20));
    ASSERT_TRUE(fs.MakeFolders(u"C:\\Users\\taro\\Desktop"));
    SimShell shell;
    shell.SetFileSystem(&fs);
    EXPECT_TRUE(shell.Open(u"open", u"D:\\Ferrylo"));
    shell.SetResult(false);
    EXPECT_FALSE(shell.Open(u"explore", u"C:\\"));
    ASSERT_EQ(shell.Calls().size(), 2u);
    EXPECT_EQ(shell.Calls()[0].verb, u"open");
    EXPECT_EQ(shell.Calls()[0].path, u"D:\\Ferrylo");

    const os::WString link = u"C:\\Users\\taro\\Desktop\\Data.lnk";
    EXPECT_FALSE(shell.SaveShortcut(link, u"D:\\Ferrylo", u"", u"")) << "COM is not initialised";
    ASSERT_TRUE(shell.ComInitialize());
    ASSERT_TRUE(shell.SaveShortcut(link, u"D:\\Ferrylo", u"Data", u""));
    shell.ComUninitialize();
    EXPECT_EQ(fs.ReadFile(link), "shortcut to D:\\Ferrylo");
    ASSERT_EQ(shell.Shortcuts().size(), 1u);
    EXPECT_EQ(shell.Shortcuts()[0].description, u"Data");
    EXPECT_EQ(shell.ComInits(), shell.ComUninits());
    EXPECT_FALSE(shell.SaveShortcut(link, u"D:\\x", u"", u"")) << "COM ended";

    shell.SetComFails(true);
    EXPECT_FALSE(shell.ComInitialize());
}

class NoEvents : public os::SocketEvents {};

TEST(SimNet, LonePcListensButFindsNoPartner) {
    SimNet net;
    NoEvents events;
    auto server = net.CreateSocket(events);
    auto second = net.CreateSocket(events);
    ASSERT_TRUE(server->Create(52379));
    EXPECT_FALSE(second->Create(52379));
    EXPECT_EQ(second->LastError(), kWsaAddressInUse);
    ASSERT_TRUE(server->Listen(5));
    EXPECT_TRUE(net.Listening(52379));
    auto accepted = net.CreateSocket(events);
    EXPECT_FALSE(server->Accept(*accepted));
    EXPECT_EQ(server->LastError(), kWsaWouldBlock);

    auto client = net.CreateSocket(events);
    EXPECT_FALSE(client->Connect("192.168.1.20", 52379)) << "not created yet";
    ASSERT_TRUE(client->Create(0));
    EXPECT_FALSE(client->Connect("192.168.1.20", 52379));
    EXPECT_EQ(client->LastError(), kWsaTimedOut);
    ASSERT_EQ(net.ConnectAttempts().size(), 1u);
    EXPECT_EQ(net.ConnectAttempts()[0].address, "192.168.1.20");
    char byte = 0;
    EXPECT_EQ(client->Send(&byte, 1), -1);
    EXPECT_EQ(client->Receive(&byte, 1), -1);
    EXPECT_EQ(client->LastError(), kWsaNotConnected);
    EXPECT_EQ(net.OpenSockets(), 2);

    server.reset();  // closing frees the port
    EXPECT_FALSE(net.Listening(52379));
    EXPECT_TRUE(second->Create(52379));
    client->Close();
    EXPECT_FALSE(client->IsCreated());
    EXPECT_EQ(net.OpenSockets(), 1);
}

}  // namespace
}  // namespace sim
