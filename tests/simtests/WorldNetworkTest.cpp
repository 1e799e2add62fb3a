// The network between the PCs of a world: connecting, accepting, streams that arrive whole
// however reads are cut, Winsock's re-armed events, back-pressure, and faults per direction.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "sim/SimDialogWindow.h"
#include "sim/SimWorld.h"
#include "simtests/WorldKit.h"

namespace sim {
namespace {

using kit::EventLog;
using kit::LoopDialog;
using kit::Pattern;

constexpr uint16_t kPort = 7000;

// What the listening PC saw of one incoming stream.
struct Inbound {
    std::string bytes;
    std::vector<std::pair<uint64_t, int>> reads;  // stream offset, length
    std::vector<uint64_t> readTimes;
    int readEvents = 0;
    int closeError = -1;
    size_t bytesAtClose = 0;
    int closes = 0;
    int readAfterClose = 99;
    int errorAfterClose = 0;
    os::IPv4 peer{};
};

// What the connecting PC saw.
struct Outbound {
    bool connected = false;
    std::vector<int> sends;  // bytes sent, or minus the error code
    std::vector<std::pair<char, int>> events;
    uint64_t doneAt = 0;
};

// Two PCs of one world: B listens and reads, A connects and sends.
struct Pair {
    explicit Pair(uint64_t seed = 11) : world(seed) {}

    World world;
    SimPc& a = world.AddPc({.computerName = u"PC-A"});
    SimPc& b = world.AddPc({.computerName = u"PC-B"});
    StreamSelector aToB{a.address(), b.address(), SimSide::Connector};
    StreamSelector bToA{b.address(), a.address(), SimSide::Acceptor};

    // B listens on kPort, accepts one connection and reads it to its end, `buffer` bytes at a
    // time, one read per readable event unless `holdReads` says to let the event pass.
    void Listen(Inbound& in, int buffer = 4096, std::function<bool()> holdReads = nullptr) {
        world.Start(b, [this, &in, buffer, holdReads](os::Platform& os) {
            EventLog listenerEvents;
            EventLog streamEvents;
            auto listener = os.net.CreateSocket(listenerEvents);
            auto stream = os.net.CreateSocket(streamEvents);
            LoopDialog dlg(os.ui);
            std::vector<char> chunk(static_cast<size_t>(buffer));
            const auto readOnce = [&] {
                const int n = stream->Receive(chunk.data(), buffer);
                if (n > 0) {
                    in.reads.emplace_back(in.bytes.size(), n);
                    in.readTimes.push_back(world.NowMs());
                    in.bytes.append(chunk.data(), static_cast<size_t>(n));
                }
            };
            listenerEvents.onAccept = [&](int) {
                EXPECT_TRUE(listener->Accept(*stream));
                EXPECT_TRUE(stream->PeerAddress(in.peer));
            };
            streamEvents.onReceive = [&](int) {
                ++in.readEvents;
                if (!holdReads || !holdReads()) {
                    readOnce();
                }
            };
            streamEvents.onClose = [&](int error) {
                ++in.closes;
                in.closeError = error;
                in.bytesAtClose = in.bytes.size();
                char byte = 0;
                in.readAfterClose = stream->Receive(&byte, 1);
                in.errorAfterClose = stream->LastError();
                dlg.EndDialog(os::kIdOk);
            };
            dlg.onTimer = [&](LoopDialog&, int) { readOnce(); };
            EXPECT_TRUE(listener->Create(kPort));
            EXPECT_TRUE(listener->Listen(5));
            dlg.DoModal();
        });
    }

    // A connects to B after 5 ms, sends `pieces` (one Send each, `gapMs` apart), then closes
    // unless told to keep the connection until its dialog ends.
    void Send(Outbound& out, std::vector<std::string> pieces, uint32_t gapMs = 0,
              std::function<void(os::Platform&, LoopDialog&)> whileConnected = nullptr) {
        world.Start(
            a, [this, &out, pieces = std::move(pieces), gapMs, whileConnected](os::Platform& os) {
                EventLog events;
                auto socket = os.net.CreateSocket(events);
                LoopDialog dlg(os.ui);
                dlg.onInit = [&](LoopDialog& d) {
                    os.sys.Sleep(5);
                    EXPECT_TRUE(socket->Create(0));
                    out.connected = socket->Connect("192.168.1.11", kPort);
                    for (const std::string& piece : pieces) {
                        if (gapMs != 0) {
                            os.sys.Sleep(gapMs);
                        }
                        const int sent = socket->Send(piece.data(), static_cast<int>(piece.size()));
                        out.sends.push_back(sent < 0 ? -socket->LastError() : sent);
                    }
                    out.doneAt = world.NowMs();
                    if (whileConnected) {
                        whileConnected(os, d);
                    } else {
                        socket->Close();
                        d.EndDialog(os::kIdOk);
                    }
                };
                dlg.DoModal();
                out.events = events.events;
            });
    }
};

std::string Join(const std::vector<std::string>& pieces) {
    std::string all;
    for (const auto& p : pieces) {
        all += p;
    }
    return all;
}

struct SplitRow {
    const char* name;
    ReadSplit split;
    int buffer;
};

TEST(WorldNetwork, StreamsArriveWholeUnderEverySplit) {
    const std::vector<std::string> pieces = {Pattern(1, 1), Pattern(16, 2), Pattern(5000, 3),
                                             Pattern(70'000, 4), Pattern(3, 5)};
    const std::string all = Join(pieces);
    std::vector<uint64_t> sendBounds;
    uint64_t end = 0;
    for (const auto& piece : pieces) {
        sendBounds.push_back(end += piece.size());
    }
    const std::vector<uint64_t> cuts = {3, 17, 100, 5017, 5018, 40'000};
    const SplitRow rows[] = {
        {"arrival", ReadSplit::Arrival(), 4096}, {"whole", ReadSplit::Whole(), 65536},
        {"random", ReadSplit::Random(), 4096},   {"one byte", ReadSplit::OneByte(), 4096},
        {"offsets", ReadSplit::At(cuts), 65536},
    };
    for (const SplitRow& row : rows) {
        SCOPED_TRACE(row.name);
        Pair pair;
        pair.world.net().SetWindow(32 * 1024);
        pair.world.net().SetReadSplit(row.split);
        Inbound in;
        Outbound out;
        pair.Listen(in, row.buffer);
        pair.Send(out, pieces);
        ASSERT_TRUE(pair.world.RunUntilIdle()) << pair.world.Failure();
        ASSERT_TRUE(pair.world.Finished(pair.a));
        ASSERT_TRUE(pair.world.Finished(pair.b));
        ASSERT_TRUE(out.connected);
        EXPECT_EQ(out.sends, (std::vector<int>{1, 16, 5000, 70'000, 3}));
        ASSERT_EQ(in.bytes.size(), all.size());
        EXPECT_TRUE(in.bytes == all) << "bytes changed on the way";
        // The close comes once, after the last byte, and reads then find the end.
        EXPECT_EQ(in.closes, 1);
        EXPECT_EQ(in.closeError, 0);
        EXPECT_EQ(in.bytesAtClose, all.size());
        EXPECT_EQ(in.readAfterClose, 0);
        EXPECT_EQ(in.peer, pair.a.address());
        EXPECT_EQ(pair.world.net().BytesSent(pair.aToB), all.size());
        EXPECT_EQ(pair.world.net().BytesSent(pair.bToA), 0u);

        const auto crosses = [&](uint64_t bound) {
            for (const auto& [offset, length] : in.reads) {
                if (offset < bound && bound < offset + static_cast<uint64_t>(length)) {
                    return true;
                }
            }
            return false;
        };
        bool anyCrossesASend = false;
        for (const uint64_t bound : sendBounds) {
            anyCrossesASend = anyCrossesASend || crosses(bound);
        }
        switch (row.split.kind) {
            case ReadSplit::Kind::Arrival:
                EXPECT_FALSE(anyCrossesASend) << "a read ends where a piece ends";
                break;
            case ReadSplit::Kind::Whole:
                EXPECT_TRUE(anyCrossesASend) << "pieces that arrived together read as one";
                break;
            case ReadSplit::Kind::Random: {
                std::set<int> lengths;
                for (const auto& read : in.reads) {
                    lengths.insert(read.second);
                }
                EXPECT_GT(lengths.size(), 10u);
                break;
            }
            case ReadSplit::Kind::OneByte:
                EXPECT_EQ(in.reads.size(), all.size());
                break;
            case ReadSplit::Kind::Offsets:
                for (const uint64_t cut : cuts) {
                    EXPECT_FALSE(crosses(cut)) << cut;
                }
                EXPECT_TRUE(anyCrossesASend);
                break;
        }
    }
}

TEST(WorldNetwork, SameSeedSameReads) {
    std::vector<std::vector<std::pair<uint64_t, int>>> runs;
    for (const uint64_t seed : {5, 5, 6}) {
        Pair pair(seed);
        pair.world.net().SetReadSplit(ReadSplit::Random());
        Inbound in;
        Outbound out;
        pair.Listen(in, 1000);
        pair.Send(out, {Pattern(20'000)});
        ASSERT_TRUE(pair.world.RunUntilIdle());
        runs.push_back(in.reads);
    }
    EXPECT_EQ(runs[0], runs[1]);
    EXPECT_NE(runs[0], runs[2]);
}

// FD_READ comes once and waits for a read before it comes again; each read that leaves bytes
// behind brings the next one.
TEST(WorldNetwork, ReadableEventIsReArmedByEachRead) {
    Pair pair;
    Inbound in;
    Outbound out;
    bool hold = true;
    pair.Listen(in, 1, [&] { return hold; });
    pair.Send(out, {"ab", "cd", "e"}, 100, [](os::Platform&, LoopDialog&) {});
    ASSERT_TRUE(pair.world.RunUntilIdle());
    EXPECT_EQ(in.readEvents, 1) << "no new event while the first is not followed by a read";
    EXPECT_TRUE(in.bytes.empty());

    hold = false;
    pair.b.ui().ActiveWindow()->SetTimer(1, 1000);  // one read when it fires
    ASSERT_TRUE(pair.world.RunFor(1001));
    pair.b.ui().ActiveWindow()->KillTimer(1);
    ASSERT_TRUE(pair.world.RunUntilIdle());
    EXPECT_EQ(in.bytes, "abcde");
    EXPECT_EQ(in.readEvents, 1 + 4) << "each one-byte read but the last brought one event";
    EXPECT_EQ(in.closes, 0) << "the sender keeps its connection";
}

TEST(WorldNetwork, RefusedAndUnknownConnects) {
    Pair pair;
    int refusedError = 0;
    int timedOutError = 0;
    uint64_t refusedAfter = 0;
    uint64_t timedOutAfter = 0;
    int ticksWhileConnecting = 0;
    pair.world.Start(pair.a, [&](os::Platform& os) {
        EventLog events;
        auto socket = os.net.CreateSocket(events);
        LoopDialog dlg(os.ui);
        dlg.onInit = [&](LoopDialog& d) {
            d.Window().SetTimer(1, 1000);
            EXPECT_TRUE(socket->Create(0));
            uint64_t start = pair.world.NowMs();
            EXPECT_FALSE(socket->Connect("192.168.1.11", kPort)) << "nobody listens";
            refusedError = socket->LastError();
            refusedAfter = pair.world.NowMs() - start;
            start = pair.world.NowMs();
            EXPECT_FALSE(socket->Connect("192.168.1.99", kPort)) << "nobody has the address";
            timedOutError = socket->LastError();
            timedOutAfter = pair.world.NowMs() - start;
            d.EndDialog(os::kIdOk);
        };
        dlg.onTimer = [&](LoopDialog&, int) { ++ticksWhileConnecting; };
        dlg.DoModal();
    });
    ASSERT_TRUE(pair.world.RunUntilIdle());
    EXPECT_EQ(refusedError, kWsaConnectionRefused);
    EXPECT_EQ(refusedAfter, pair.world.net().LatencyMs());
    EXPECT_EQ(timedOutError, kWsaTimedOut);
    EXPECT_EQ(timedOutAfter, 21'000u);
    EXPECT_EQ(ticksWhileConnecting, 21) << "a connect keeps the PC's messages flowing";
    ASSERT_EQ(pair.a.net().ConnectAttempts().size(), 2u);
    EXPECT_EQ(pair.a.net().ConnectAttempts()[1].address, "192.168.1.99");
    EXPECT_TRUE(pair.world.net().Connections().empty());
}

// A full window holds the sender in Send, where it goes on handling its messages, until the
// reader makes room.
TEST(WorldNetwork, FullWindowMakesSendWaitAndPump) {
    Pair pair;
    pair.world.net().SetWindow(4096);
    Inbound in;
    Outbound out;
    bool hold = true;
    pair.Listen(in, 65536, [&] { return hold; });
    int ticksDuringSend = 0;
    const std::string data = Pattern(20'000, 9);
    pair.Send(out, {data}, 0, [](os::Platform&, LoopDialog&) {});
    // B lets its readable events pass until 500 ms, then reads on a timer.
    ASSERT_TRUE(pair.world.RunFor(100));
    EXPECT_TRUE(out.sends.empty()) << "Send is still waiting for room";
    pair.a.ui().ActiveWindow()->SetTimer(1, 50);
    auto* sender = dynamic_cast<LoopDialog*>(&pair.a.ui().ActiveWindow()->Dialog());
    ASSERT_NE(sender, nullptr);
    sender->onTimer = [&](LoopDialog&, int) { ++ticksDuringSend; };
    ASSERT_TRUE(pair.world.RunFor(400));
    EXPECT_EQ(ticksDuringSend, 8);
    EXPECT_TRUE(out.sends.empty());
    EXPECT_EQ(pair.world.net().BytesSent(pair.aToB), 4096u) << "no more than the window";
    hold = false;
    pair.b.ui().ActiveWindow()->SetTimer(2, 10);
    ASSERT_TRUE(pair.world.RunUntil([&] { return in.bytes.size() == data.size(); }));
    EXPECT_EQ(out.sends, (std::vector<int>{20'000}));
    EXPECT_GE(out.doneAt, 500u);
    EXPECT_TRUE(in.bytes == data);
}

TEST(WorldNetwork, CorruptedByteAndDelayHitOnlyTheirDirection) {
    Pair pair;
    pair.world.net().CorruptByte(pair.aToB, 100, 0x5A);
    pair.world.net().CorruptByte(pair.bToA, 0, 0xFF);  // the other direction: not sent here
    pair.world.net().Delay(pair.aToB, 250);
    Inbound in;
    Outbound out;
    pair.Listen(in);
    const std::string data = Pattern(1000, 3);
    pair.Send(out, {data});
    ASSERT_TRUE(pair.world.RunUntilIdle());
    ASSERT_EQ(in.bytes.size(), data.size());
    for (size_t i = 0; i < data.size(); ++i) {
        const char expected = i == 100 ? static_cast<char>(data[i] ^ 0x5A) : data[i];
        ASSERT_EQ(in.bytes[i], expected) << i;
    }
    ASSERT_FALSE(in.readTimes.empty());
    EXPECT_EQ(in.readTimes[0], out.doneAt + pair.world.net().LatencyMs() + 250);
}

TEST(WorldNetwork, CutEndsBothSidesAtItsOffset) {
    Pair pair;
    pair.world.net().CutAt(pair.aToB, 5000);
    Inbound in;
    Outbound out;
    pair.Listen(in);
    pair.Send(out, {Pattern(3000), Pattern(4000), Pattern(10)}, 0,
              [](os::Platform&, LoopDialog&) {});  // A keeps its socket open
    ASSERT_TRUE(pair.world.RunUntilIdle());
    ASSERT_TRUE(pair.world.Finished(pair.b));
    EXPECT_EQ(in.bytes, Pattern(3000) + Pattern(4000).substr(0, 2000));
    EXPECT_EQ(in.closes, 1);
    EXPECT_EQ(in.closeError, kWsaConnectionReset);
    EXPECT_EQ(in.readAfterClose, -1);
    EXPECT_EQ(in.errorAfterClose, kWsaConnectionReset);
    EXPECT_EQ(out.sends, (std::vector<int>{3000, 4000, -kWsaConnectionReset}))
        << "the send that crosses the cut is taken, the next fails";
    pair.a.ui().PressEscape();
    ASSERT_TRUE(pair.world.RunUntilIdle());
    ASSERT_TRUE(pair.world.Finished(pair.a));
    EXPECT_EQ(out.events, (std::vector<std::pair<char, int>>{{'C', kWsaConnectionReset}}))
        << "the sender sees the close too";
    const auto connections = pair.world.net().Connections();
    ASSERT_EQ(connections.size(), 1u);
    EXPECT_TRUE(connections[0].cut);
    EXPECT_EQ(connections[0].bytesUp, 5000u);
}

}  // namespace
}  // namespace sim
