// The announcement datagram and the table of found PCs.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

using namespace std::string_literals;

#include "net/Discovery.h"
#include "net/DiscoveryDatagram.h"
#include "net/FoundPcs.h"
#include "sim/SimPc.h"

namespace {

using discovery::Announcement;
using discovery::CFoundPcs;
using discovery::ParseAnnouncement;
using discovery::Role;
using discovery::WriteAnnouncement;

bool Parse(const std::string& bytes, Announcement& out) {
    return ParseAnnouncement(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out);
}

TEST(DiscoveryDatagram, ReadsBackWhatItWroteAndNothingShorterOrLonger) {
    const Announcement rows[] = {
        {0x0123456789ABCDEFull, Role::None, false, u"PC-A"},
        {1, Role::Source, false, u"経理の\U0001F600PC"},
        {~0ull, Role::Destination, true, std::u16string(63, u'x')},
    };
    for (const Announcement& row : rows) {
        const std::string bytes = WriteAnnouncement(row);
        EXPECT_EQ(bytes.size(), 16 + 2 * row.name.size());
        Announcement back;
        ASSERT_TRUE(Parse(bytes, back));
        EXPECT_EQ(back, row);
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            EXPECT_FALSE(Parse(bytes.substr(0, cut), back)) << cut;
        }
        EXPECT_FALSE(Parse(bytes + '\0', back));
        EXPECT_FALSE(Parse(bytes + "\0\0"s, back)) << "one code unit beyond the length";
    }
    EXPECT_EQ(WriteAnnouncement({7, Role::None, false, u"TDXD"}).substr(0, 8),
              std::string("TDXD\x01\x00\x00\x04", 8));
}

TEST(DiscoveryDatagram, AnythingButAWellFormedAnnouncementIsDropped) {
    const std::string good = WriteAnnouncement({42, Role::Source, false, u"PC-B"});
    const auto with = [&](size_t at, char byte) {
        std::string bytes = good;
        bytes[at] = byte;
        return bytes;
    };
    const auto named = [](std::u16string name) {
        return WriteAnnouncement({42, Role::Source, false, name});
    };
    const struct {
        std::string bytes;
        const char* why;
    } rows[] = {
        {with(0, 'X'), "magic"},
        {with(4, 2), "a later version"},
        {with(5, 3), "no such role"},
        {with(6, 2), "an unknown flag"},
        {with(7, 0).substr(0, 16), "no name"},
        {with(7, 64) + std::string(120, 'a'), "a name too long"},
        {with(7, 3), "a length that is not the datagram's"},
        {named(u"PC\tB"), "a control character"},
        {named(u"PC\u0085B"), "a C1 control character"},
        {named(u"PC\\B"), "a path separator"},
        {named(u"PC\"B"), "a quote"},
        {named(std::u16string(u"PC") + char16_t(0xD800)), "a lone high surrogate"},
        {named(std::u16string(1, char16_t(0xDC00)) + u"PC"), "a lone low surrogate"},
        {named(u" PC-B"), "a blank in front"},
        {named(u"PC-B\u3000"), "an ideographic blank behind"},
        {std::string(), "nothing"},
    };
    for (const auto& row : rows) {
        Announcement out;
        EXPECT_FALSE(Parse(row.bytes, out)) << row.why;
    }
}

TEST(DiscoveryDatagram, ALongNameIsShortenedNeverInsideAPair) {
    const std::u16string name = std::u16string(62, u'a') + u"\U0001F600b";
    Announcement back;
    ASSERT_TRUE(Parse(WriteAnnouncement({1, Role::None, false, name}), back));
    EXPECT_EQ(back.name, std::u16string(62, u'a'));
}

constexpr os::IPv4 kA{192, 168, 1, 10};
constexpr os::IPv4 kB{192, 168, 1, 11};

TEST(FoundPcs, ARowStaysWhileItsPcAnnouncesAndGoesWhenItLeavesOrFallsSilent) {
    CFoundPcs table;
    EXPECT_TRUE(table.Take({1, Role::None, false, u"PC-A"}, kA, 0));
    EXPECT_TRUE(table.Take({2, Role::Source, false, u"PC-B"}, kB, 0));
    EXPECT_FALSE(table.Take({1, Role::None, false, u"PC-A"}, kA, 3'000)) << "nothing to show";
    EXPECT_TRUE(table.Take({1, Role::Destination, false, u"PC-A"}, kA, 3'500));
    EXPECT_FALSE(table.Expire(3'999));
    EXPECT_TRUE(table.Expire(4'000));  // PC-B silent for 4 s
    ASSERT_EQ(table.Size(), 1u);
    EXPECT_EQ(table.Find(1)->role, Role::Destination);
    EXPECT_TRUE(table.Take({1, Role::Destination, true, u"PC-A"}, kA, 4'100));
    EXPECT_EQ(table.Size(), 0u);
    EXPECT_FALSE(table.Take({9, Role::None, true, u"PC-Z"}, kA, 4'200)) << "unknown leaver";
}

TEST(FoundPcs, OneRowPerAddressAndNeverMoreThanTheCapLeastRecentGoingFirst) {
    CFoundPcs table;
    table.Take({1, Role::None, false, u"PC-A"}, kA, 0);
    table.Take({2, Role::None, false, u"PC-A"}, kA, 10);  // the program restarted there
    ASSERT_EQ(table.Size(), 1u);
    EXPECT_NE(table.Find(2), nullptr);
    for (uint64_t id = 100; id < 100 + 2 * discovery::kMaxFoundPcs; ++id) {
        table.Take({id, Role::None, false, u"X"}, {10, 0, 0, static_cast<uint8_t>(id)}, id);
        table.Take({2, Role::None, false, u"PC-A"}, kA, id);  // PC-A keeps announcing
        EXPECT_LE(table.Size(), discovery::kMaxFoundPcs);
    }
    EXPECT_EQ(table.Size(), discovery::kMaxFoundPcs);
    EXPECT_NE(table.Find(2), nullptr) << "the PC that announced last stays";
    EXPECT_EQ(table.Find(100), nullptr) << "the one silent longest went";
    const auto rows = table.Sorted();
    EXPECT_EQ(rows.front().name, u"PC-A");
}

// A datagram socket whose arrivals the test queues and whose reads it counts.
class QueueSocket : public os::DatagramSocket {
  public:
    bool Bind(uint16_t port) override { return port == discovery::kDiscoveryPort; }
    bool Broadcast(const void* data, int size, uint16_t) override {
        sent->emplace_back(static_cast<const char*>(data), static_cast<size_t>(size));
        return true;
    }
    int ReceiveFrom(void* buffer, int size, os::IPv4& from) override {
        ++reads;
        if (queue.empty()) {
            return -1;
        }
        const std::string bytes = queue.front().second;
        from = queue.front().first;
        queue.pop_front();
        std::copy_n(bytes.data(), std::min<size_t>(bytes.size(), size), static_cast<char*>(buffer));
        return static_cast<int>(std::min<size_t>(bytes.size(), size));
    }
    void Close() override {}

    std::deque<std::pair<os::IPv4, std::string>> queue;
    std::vector<std::string>* sent = nullptr;  // outlives the socket
    int reads = 0;
};

class QueueNet : public os::Net {
  public:
    std::unique_ptr<os::Socket> CreateSocket(os::SocketEvents&) override { return nullptr; }
    std::unique_ptr<os::DatagramSocket> CreateDatagramSocket(os::DatagramEvents& e) override {
        events = &e;
        auto made = std::make_unique<QueueSocket>();
        made->sent = &sent;
        socket = made.get();
        return made;
    }
    std::vector<std::string> sent;
    os::DatagramEvents* events = nullptr;
    QueueSocket* socket = nullptr;
};

TEST(Discovery, AFloodIsReadInBoundedHelpingsAndReadingGoesOnAtTheNextTick) {
    sim::SimPc pc;
    QueueNet net;
    os::Platform platform{pc.fs(), pc.sys(), pc.shell(), pc.ui(), net};
    auto finder = std::make_unique<discovery::CDiscovery>(platform);
    ASSERT_TRUE(finder->Start(u"PC-A"));
    QueueSocket& socket = *net.socket;
    Announcement self;
    ASSERT_EQ(net.sent.size(), 1u);
    ASSERT_TRUE(Parse(net.sent[0], self));
    EXPECT_EQ(self, (Announcement{finder->InstanceId(), Role::None, false, u"PC-A"}));

    for (uint64_t id = 1; id <= 1000; ++id) {
        socket.queue.emplace_back(os::IPv4{10, 0, uint8_t(id >> 8), uint8_t(id)},
                                  WriteAnnouncement({id, Role::Source, false, u"X"}));
    }
    net.events->OnDatagramReadable();
    EXPECT_EQ(socket.reads, discovery::kMaxDatagramsPerWake);
    for (int wake = 0; wake < 20; ++wake) {
        net.events->OnDatagramReadable();
    }
    EXPECT_EQ(socket.reads, discovery::kMaxDatagramsPerTick) << "no more until the next tick";
    EXPECT_EQ(finder->Found().Size(), discovery::kMaxFoundPcs);
    finder->Tick();
    EXPECT_EQ(socket.reads, discovery::kMaxDatagramsPerTick + discovery::kMaxDatagramsPerWake);
    EXPECT_EQ(net.sent.size(), 2u);

    finder->SetRole(Role::Destination);
    finder.reset();
    ASSERT_EQ(net.sent.size(), 4u);
    ASSERT_TRUE(Parse(net.sent[2], self));
    EXPECT_EQ(self.role, Role::Destination) << "a new role is announced at once";
    ASSERT_TRUE(Parse(net.sent[3], self));
    EXPECT_TRUE(self.leaving) << "the last word";
}

}  // namespace
