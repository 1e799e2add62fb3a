// The destination's transfer-stream receiver against the simulated file system: the same
// stream cut anywhere gives the same disk, stream errors and the resume marker, the full-drive
// report, files whose body could not be stored, and hostile paths.
#include "transfer/StreamReceiver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include "common/ReceiverFuzzCase.h"
#include "common/ReceiverTestKit.h"
#include "sim/SimFileSystem.h"

namespace {

using recvkit::Entry;
using recvkit::StreamBuilder;

const os::WString kBase = u"E:\\Ferrylo";
constexpr uint64_t kGiB = 1ull << 30;

// One destination PC: drive C with Windows on it, drive E with the base folder and a file
// beside it, and a receiver that has just entered state 1.
struct World {
    sim::SimFileSystem fs;
    recvkit::SpyFileSystem spy{fs};
    recvkit::RecordingHost host;
    CStreamReceiver rx{spy, host};
    std::string outsideBefore;

    explicit World(uint64_t capacityE = 8 * kGiB) {
        fs.AddDrive(u'C', os::DriveType::Fixed, u"NTFS", u"Windows", 8 * kGiB);
        fs.AddDrive(u'E', os::DriveType::Fixed, u"NTFS", u"Data", capacityE);
        fs.WriteFile(u"C:\\Windows\\win.ini", "[fonts]\r\n", os::kAttrArchive,
                     sim::SimTimes{11, 12, 13});
        fs.WriteFile(u"E:\\victim.txt", "precious", os::kAttrReadOnly, sim::SimTimes{1, 2, 3});
        fs.MakeFolders(kBase);
        outsideBefore = Outside();
        rx.Reset(kBase);
    }

    // Everything on both drives except what lies in the base folder.
    std::string Outside() const {
        std::string out = fs.Dump(u"C:\\") + "--\n";
        const std::string e = fs.Dump(u"E:\\");
        size_t start = 0;
        while (start < e.size()) {
            const size_t end = e.find('\n', start) + 1;
            const std::string line = e.substr(start, end - start);
            if (line.find(" Ferrylo\\") == std::string::npos) {
                out += line;
            }
            start = end;
        }
        return out;
    }
    std::string Inside() const { return fs.Dump(kBase); }

    // One read, in a buffer of exactly its size so that reading past it is caught.
    void Read(std::string_view bytes) {
        std::vector<uint8_t> buffer(bytes.begin(), bytes.end());
        rx.HandleRead(buffer.data(), buffer.size());
    }
    // The stream cut at the given ascending offsets.
    void Feed(const std::string& stream, const std::vector<size_t>& cuts = {}) {
        size_t from = 0;
        for (size_t cut : cuts) {
            Read(std::string_view(stream).substr(from, cut - from));
            from = cut;
        }
        Read(std::string_view(stream).substr(from));
    }
    void FeedInPieces(const std::string& stream, size_t piece) {
        for (size_t from = 0; from < stream.size(); from += piece) {
            Read(std::string_view(stream).substr(from, piece));
        }
    }

    // Names in `folder`, sorted, as UTF-8.
    std::vector<std::string> Names(const os::WString& folder) {
        std::vector<std::string> out;
        os::FindData record;
        auto find = fs.FindFirst(folder + u"\\*", record);
        for (bool more = find != nullptr; more; more = find->Next(record)) {
            if (record.name != u"." && record.name != u"..") {
                out.push_back(os::ToUtf8(record.name));
            }
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    // The temporary file a body is being written to, in `folder`.
    os::WString TempIn(const os::WString& folder) {
        for (const auto& name : Names(folder)) {
            if (name.rfind("~tdx", 0) == 0) {
                return folder + u"\\" + os::FromUtf8(name);
            }
        }
        return {};
    }
    std::vector<std::string> NotDelivered() const {
        std::vector<std::string> out;
        for (const auto& path : rx.NotDelivered()) {
            out.push_back(os::ToUtf8(path));
        }
        return out;
    }

    bool IsFile(const os::WString& path) {
        const uint32_t a = fs.GetAttributes(path);
        return a != os::kInvalidAttributes && (a & os::kAttrDirectory) == 0;
    }
    bool IsDir(const os::WString& path) {
        const uint32_t a = fs.GetAttributes(path);
        return a != os::kInvalidAttributes && (a & os::kAttrDirectory) != 0;
    }
};

struct Outcome {
    std::string inside;
    std::string outside;
    std::vector<std::string> calls;
    int fileIndex = 0;
};

Outcome Replay(const std::function<void(World&)>& feed) {
    World w;
    feed(w);
    return {w.Inside(), w.Outside(), w.host.calls, w.rx.FileIndex()};
}

std::string Pattern(size_t size, uint32_t seed) {
    std::mt19937 gen(seed);
    std::string out(size, '\0');
    for (char& c : out) {
        c = static_cast<char>(gen());
    }
    return out;
}

uint64_t Time(int n) {
    return sim::kDefaultFileTime - 1000000000ull * static_cast<uint64_t>(n);
}

// A migration in miniature: Japanese names, nested folders (some only implied by a file's
// path), empty files, bodies that hold header-like bytes, every attribute and distinct times.
std::vector<Entry> TreeFiles() {
    std::string tricky = Pattern(200, 7);
    tricky.replace(10, 8, std::string("%?\x01\x05%?\x05\x00", 8));
    return {
        {u"E:\\Ferrylo\\PC1のCドライブ\\ユーザー\\日記.txt", "今日は晴れ。\r\n", os::kAttrArchive,
         Time(1), Time(2), Time(3)},
        {u"E:\\Ferrylo\\PC1のCドライブ\\ユーザー\\空.txt", "", os::kAttrHidden | os::kAttrReadOnly,
         Time(4), Time(5), Time(6)},
        {u"E:\\Ferrylo\\PC1のCドライブ\\ユーザー\\写真\\2023\\a.b.c.jpg", Pattern(700, 1),
         os::kAttrSystem | os::kAttrHidden | os::kAttrArchive, Time(7), Time(8), Time(9)},
        {u"E:\\Ferrylo\\PC1のCドライブ\\ユーザー\\読み取り専用.txt", "ro", os::kAttrReadOnly,
         Time(10), Time(11), Time(12)},
        {u"E:\\Ferrylo\\PC1のCドライブ\\深い\\1\\2\\3\\4\\x.bin", tricky, 0, Time(13), Time(14),
         Time(15)},
        {u"E:\\Ferrylo\\PC1のCドライブ\\system.dat", "", os::kAttrSystem, Time(16), Time(17),
         Time(18)},
    };
}

std::string TreeStream() {
    const auto files = TreeFiles();
    StreamBuilder b;
    b.Dir(u"E:\\Ferrylo\\PC1のCドライブ").Dir(u"E:\\Ferrylo\\PC1のCドライブ\\ユーザー");
    b.File(files[0]).File(files[1]);
    b.Dir(u"E:\\Ferrylo\\PC1のCドライブ\\ユーザー\\写真\\2023");
    b.File(files[2]).File(files[3]).File(files[4]);
    b.Dir(u"E:\\Ferrylo\\PC1のCドライブ\\空フォルダ").File(files[5]);
    return b.Bytes();
}

TEST(StreamReceiver, TreeArrivesWithContentAttributesAndTimes) {
    World w;
    w.Feed(TreeStream());
    for (const Entry& e : TreeFiles()) {
        SCOPED_TRACE(os::ToUtf8(e.path));
        EXPECT_EQ(w.fs.ReadFile(e.path), e.body);
        os::FindData record;
        ASSERT_NE(w.fs.FindFirst(e.path, record), nullptr);
        EXPECT_EQ(record.attributes, e.attributes == 0 ? os::kAttrNormal : e.attributes);
        EXPECT_EQ(record.creationTime, e.creation);
        EXPECT_EQ(record.lastAccessTime, e.access);
        EXPECT_EQ(record.lastWriteTime, e.write);
    }
    EXPECT_TRUE(w.IsDir(u"E:\\Ferrylo\\PC1のCドライブ\\空フォルダ"));
    EXPECT_EQ(w.rx.FileIndex(), 6);
    EXPECT_EQ(w.host.Count("overall"), 6);
    EXPECT_EQ(w.host.Count("report"), 0);
    EXPECT_TRUE(w.rx.IsBetweenEntries());
    EXPECT_EQ(w.Outside(), w.outsideBefore);
}

TEST(StreamReceiver, SameStreamGivesSameDiskAndCallsHoweverItIsCut) {
    const std::string stream = TreeStream();
    const Outcome whole = Replay([&](World& w) { w.Feed(stream); });
    ASSERT_EQ(whole.fileIndex, 6);

    auto expectSame = [&](const Outcome& got, const std::string& how) {
        ASSERT_EQ(got.inside, whole.inside) << how;
        ASSERT_EQ(got.outside, whole.outside) << how;
        ASSERT_EQ(got.calls, whole.calls) << how;
        ASSERT_EQ(got.fileIndex, whole.fileIndex) << how;
    };
    for (size_t cut = 1; cut < stream.size(); ++cut) {
        expectSame(Replay([&](World& w) { w.Feed(stream, {cut}); }),
                   "split at " + std::to_string(cut));
    }
    expectSame(Replay([&](World& w) { w.FeedInPieces(stream, 1); }), "byte by byte");
    std::mt19937 gen(42);
    for (int round = 0; round < 100; ++round) {
        std::vector<size_t> cuts;
        for (size_t at = 0;;) {
            at += 1 + gen() % 97;
            if (at >= stream.size()) {
                break;
            }
            cuts.push_back(at);
        }
        expectSame(Replay([&](World& w) { w.Feed(stream, cuts); }),
                   "random cuts, round " + std::to_string(round));
    }
}

TEST(StreamReceiver, EdgeCutsOfTheStream) {
    const Entry a{
        u"E:\\Ferrylo\\a.bin", Pattern(100, 3), os::kAttrArchive, Time(1), Time(2), Time(3)};
    const Entry c{u"E:\\Ferrylo\\サブ\\c.txt", "ccc", os::kAttrHidden, Time(4), Time(5), Time(6)};
    StreamBuilder b;
    b.File(a).Dir(u"E:\\Ferrylo\\サブ").File(c);
    const std::string& s = b.Bytes();
    const auto& m0 = b.Mark(0);
    const auto& m2 = b.Mark(2);
    struct Row {
        const char* name;
        std::vector<size_t> cuts;
    };
    const Row rows[] = {
        {"header split 1 + 3", {m2.header + 1}},
        {"header split 3 + 1", {m2.header + 3}},
        {"metadata split 20 + 16", {m0.meta + 20}},
        {"metadata ends the read", {m2.body}},
        {"path spans three reads", {m2.path + 5, m2.path + 23}},
        {"body end, whole directory entry and 10 path bytes in one read",
         {m0.body + 50, m2.path + 10}},
        {"every part in its own read",
         {m0.path, m0.meta, m0.body, m0.end, m2.header, m2.path, m2.meta, m2.body}},
    };
    const Outcome whole = Replay([&](World& w) { w.Feed(s); });
    ASSERT_EQ(whole.fileIndex, 2);
    for (const Row& row : rows) {
        const Outcome got = Replay([&](World& w) { w.Feed(s, row.cuts); });
        EXPECT_EQ(got.inside, whole.inside) << row.name;
        EXPECT_EQ(got.calls, whole.calls) << row.name;
    }
}

TEST(StreamReceiver, CompleteMetadataEndsTheEntryWithoutWaitingForAnotherRead) {
    World w;
    const Entry empty{u"E:\\Ferrylo\\d\\empty.txt",
                      "",
                      os::kAttrReadOnly | os::kAttrHidden,
                      Time(1),
                      Time(2),
                      Time(3)};
    const Entry full{
        u"E:\\Ferrylo\\d\\full.txt", "body", os::kAttrArchive, Time(4), Time(5), Time(6)};
    StreamBuilder b;
    b.File(empty).File(full);

    w.Feed(b.Bytes().substr(0, b.Mark(0).end));
    EXPECT_TRUE(w.rx.IsBetweenEntries());
    os::FindData record;
    ASSERT_NE(w.fs.FindFirst(empty.path, record), nullptr);
    EXPECT_EQ(record.attributes, empty.attributes);
    EXPECT_EQ(record.creationTime, empty.creation);
    EXPECT_EQ(record.lastAccessTime, empty.access);
    EXPECT_EQ(record.lastWriteTime, empty.write);
    EXPECT_EQ(w.rx.FileIndex(), 1);

    // A non-empty file is created when its block completes and waits for its body.
    w.Read(std::string_view(b.Bytes()).substr(b.Mark(0).end, b.Mark(1).body - b.Mark(0).end));
    EXPECT_FALSE(w.fs.Exists(full.path));
    EXPECT_EQ(w.fs.ReadFile(w.TempIn(u"E:\\Ferrylo\\d")), "");
    EXPECT_FALSE(w.rx.IsBetweenEntries());
    w.Read(std::string_view(b.Bytes()).substr(b.Mark(1).body));
    EXPECT_EQ(w.fs.ReadFile(full.path), "body");
    EXPECT_EQ(w.rx.FileIndex(), 2);
}

TEST(StreamReceiver, LargeBodyInAnyReadSizeWithProgressUpToItsSize) {
    const Entry big{
        u"E:\\Ferrylo\\big.bin", Pattern(1 << 20, 9), os::kAttrArchive, Time(1), Time(2), Time(3)};
    StreamBuilder b;
    b.File(big);
    for (size_t piece : {size_t{65536}, size_t{4099}, size_t{1000}}) {
        World w;
        w.FeedInPieces(b.Bytes(), piece);
        EXPECT_EQ(w.fs.ReadFile(big.path), big.body) << piece;
        EXPECT_EQ(w.rx.FileIndex(), 1);
        ASSERT_FALSE(w.host.positions.empty());
        EXPECT_TRUE(std::is_sorted(w.host.positions.begin(), w.host.positions.end())) << piece;
        EXPECT_EQ(w.host.positions.back(), big.body.size());
    }
}

// Each row is a sequence of reads; the reports and files that must result.
struct ErrorRow {
    const char* name;
    std::vector<std::string> reads;
    std::vector<std::string> expectedReports;
    int timers;
    std::vector<os::WString> present;
    std::vector<os::WString> absent;
    bool fullDrive = false;
};

std::string DirEntry(const os::WString& path) {
    return StreamBuilder().Dir(path).Bytes();
}
std::string FileEntry(const os::WString& path, const std::string& body) {
    return StreamBuilder().File(Entry{path, body}).Bytes();
}
const std::string kMarker("%?\x05\x00", 4);

TEST(StreamReceiver, StreamErrorsAreReportedOnceUntilTheResumeMarker) {
    const os::WString a = u"E:\\Ferrylo\\a.txt";
    const os::WString b = u"E:\\Ferrylo\\b.txt";
    const os::WString d = u"E:\\Ferrylo\\d";
    const std::string dropped = FileEntry(b, "dropped");
    const ErrorRow rows[] = {
        {"garbage before any entry names no path",
         {"xyz", DirEntry(d), "more garbage", kMarker, FileEntry(b, "b")},
         {"report "},
         0,
         {b},
         {d}},
        {"garbage after an entry names that entry",
         {FileEntry(a, "a"), "junk", dropped, DirEntry(d) + "junk", kMarker, FileEntry(b, "b")},
         {"report E:\\Ferrylo\\a.txt"},
         0,
         {a, b},
         {d}},
        {"second byte not '?'",
         {FileEntry(a, "a") + "%X", dropped, kMarker, DirEntry(d)},
         {"report E:\\Ferrylo\\a.txt"},
         0,
         {a, d},
         {b}},
        {"unknown kind byte starts timer 10",
         {FileEntry(a, "a"), std::string("%?\x03\x00", 4) + DirEntry(d), kMarker,
          FileEntry(b, "b")},
         {"report E:\\Ferrylo\\a.txt"},
         1,
         {a, b},
         {d}},
        {"kind 0",
         {std::string("%?\x00\x04", 4) + DirEntry(d), kMarker, FileEntry(b, "b")},
         {"report "},
         1,
         {b},
         {d}},
        {"a command frame in the stream",
         {FileEntry(a, "a"), "DDDDDDDDDDDD0060", kMarker, DirEntry(d)},
         {"report E:\\Ferrylo\\a.txt"},
         0,
         {a, d},
         {}},
        {"lone '%' ends the read before the garbage",
         {FileEntry(a, "a") + "%", "Q garbage", kMarker, FileEntry(b, "b")},
         {"report E:\\Ferrylo\\a.txt"},
         0,
         {a, b},
         {}},
        {"lone '%' while dropping, then the marker",
         {"junk", "%", kMarker, FileEntry(b, "b")},
         {"report "},
         0,
         {b},
         {}},
        {"'%?' while dropping, then the marker",
         {"junk", "%?", kMarker, DirEntry(d)},
         {"report "},
         0,
         {d},
         {}},
        {"file header while dropping, then the marker",
         {"junk", std::string("%?\x01", 3), kMarker, DirEntry(d)},
         {"report "},
         0,
         {d},
         {}},
        {"marker split across two reads while dropping",
         {"junk", "%?", std::string("\x05\x00", 2), DirEntry(d)},
         {"report "},
         0,
         {d},
         {}},
        {"second error after the marker is reported again",
         {"junk", kMarker, FileEntry(a, "a"), "junk", FileEntry(b, "b"), kMarker},
         {"report ", "report E:\\Ferrylo\\a.txt"},
         0,
         {a},
         {b}},
        {"dropped entry with its body in later reads",
         {FileEntry(a, "a"), "junk", dropped.substr(0, 20), dropped.substr(20), kMarker,
          DirEntry(d)},
         {"report E:\\Ferrylo\\a.txt"},
         0,
         {a, d},
         {b}},
        {"marker after dropped bytes in the same read",
         {FileEntry(a, "a"), "junk", dropped.substr(0, 30),
          dropped.substr(30) + kMarker + DirEntry(d)},
         {"report E:\\Ferrylo\\a.txt"},
         0,
         {a, d},
         {b}},
        {"marker in the read that broke the stream",
         {FileEntry(a, "a") + "junk" + kMarker + FileEntry(b, "b")},
         {"report E:\\Ferrylo\\a.txt"},
         0,
         {a, b},
         {}},
        {"marker bytes inside a dropped body are not taken for it",
         {FileEntry(a, "a"), "junk", FileEntry(b, "xx" + kMarker + "yy"), kMarker, DirEntry(d)},
         {"report E:\\Ferrylo\\a.txt"},
         0,
         {a, d},
         {b}},
        {"garbage with the full-drive flag set is not reported and drops nothing after it",
         {"junk", FileEntry(b, "b")},
         {},
         0,
         {b},
         {},
         true},
    };
    for (const ErrorRow& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        w.host.fullDrive = row.fullDrive;
        for (const auto& read : row.reads) {
            w.Read(read);
        }
        std::vector<std::string> reports;
        for (const auto& call : w.host.calls) {
            if (call.rfind("report", 0) == 0) {
                reports.push_back(call);
            }
        }
        EXPECT_EQ(reports, row.expectedReports);
        EXPECT_EQ(w.host.Count("timer10"), row.timers);
        for (const auto& p : row.present) {
            EXPECT_TRUE(w.fs.Exists(p)) << os::ToUtf8(p);
        }
        for (const auto& p : row.absent) {
            EXPECT_FALSE(w.fs.Exists(p)) << os::ToUtf8(p);
        }
        EXPECT_TRUE(w.rx.IsErrorReportingArmed());
    }
}

TEST(StreamReceiver, EndOfPathLogHandsOverItsLetterAndEndsTheStream) {
    struct Row {
        const char* name;
        std::vector<std::string> reads;
        std::vector<std::string> expectedCalls;
        bool ended;
    };
    const std::string end = StreamBuilder().EndOfPathLog('E').Bytes();
    const Row rows[] = {
        {"upper case", {end}, {"end E"}, true},
        {"lower case for an environment copy",
         {StreamBuilder().EndOfPathLog('e').Bytes()},
         {"end e"},
         true},
        {"split 2 + 2", {end.substr(0, 2), end.substr(2)}, {"end E"}, true},
        {"another drive's letter is a stream error",
         {StreamBuilder().EndOfPathLog('C').Bytes()},
         {"report ", "timer10"},
         false},
        {"not a letter", {std::string("%?\x04\x00", 4)}, {"report ", "timer10"}, false},
        {"dropped while error reporting is off", {"junk", end}, {"report "}, false},
        {"reads after it are ignored",
         {end, DirEntry(u"E:\\Ferrylo\\late"), "junk"},
         {"end E"},
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        for (const auto& read : row.reads) {
            w.Read(read);
        }
        EXPECT_EQ(w.host.calls, row.expectedCalls);
        EXPECT_EQ(w.rx.HasEnded(), row.ended);
        EXPECT_FALSE(w.fs.Exists(u"E:\\Ferrylo\\late"));
    }
}

TEST(StreamReceiver, FirstReadIsDroppedWhenTheDriveIsAlreadyFull) {
    struct Row {
        uint64_t freeBytes;
        bool full;
    };
    const Row rows[] = {
        {131000000, false}, {130999999, true}, {130000000, true}, {0, true}, {8 * kGiB, false},
    };
    const os::WString d1 = u"E:\\Ferrylo\\first";
    const os::WString d2 = u"E:\\Ferrylo\\second";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.freeBytes);
        World w;
        w.fs.SetFreeSpaceOverride(u'E', row.freeBytes);
        w.Read(DirEntry(d1));
        w.Read(DirEntry(d2));
        EXPECT_EQ(w.fs.Exists(d1), !row.full);
        EXPECT_TRUE(w.fs.Exists(d2));
        const std::vector<std::string> expected =
            row.full ? std::vector<std::string>{"fulldrive", "frame DDDDDDDDDDDD0051"}
                     : std::vector<std::string>{};
        EXPECT_EQ(w.host.calls, expected);
        EXPECT_EQ(w.rx.FullDriveSent(), row.full);
    }
}

TEST(StreamReceiver, FullDriveIsSentOnceAtTheNextCheckAndTheCutFileIsDeleted) {
    World w;
    const size_t piece = 1000;
    const Entry big{u"E:\\Ferrylo\\big.bin", Pattern(400 * piece, 5)};
    const Entry after{u"E:\\Ferrylo\\after.txt", "after"};
    StreamBuilder b;
    b.File(big).File(after).File(Entry{u"E:\\Ferrylo\\later.bin", Pattern(200 * piece, 6)});
    const std::string& s = b.Bytes();
    // Read 1 holds the entry's header, path and block; body reads follow, and the free space
    // is checked on body reads 1, 81, 161 ...
    w.Read(std::string_view(s).substr(0, b.Mark(0).body));
    size_t at = b.Mark(0).body;
    auto bodyReads = [&](int n) {
        for (int i = 0; i < n; ++i, at += piece) {
            w.Read(std::string_view(s).substr(at, piece));
        }
    };
    bodyReads(100);
    w.fs.SetFreeSpaceOverride(u'E', 130 * 1000000ull);
    bodyReads(60);
    EXPECT_EQ(w.host.Count("frame"), 0);
    bodyReads(1);
    EXPECT_EQ(w.host.Count("frame"), 1);
    EXPECT_TRUE(w.host.fullDrive);
    w.FeedInPieces(s.substr(at), 777);
    EXPECT_EQ(w.host.Count("frame DDDDDDDDDDDD0051"), 1);
    EXPECT_FALSE(w.fs.Exists(big.path));
    EXPECT_EQ(w.fs.ReadFile(after.path), "after");  // the stream stayed in step
    EXPECT_EQ(w.host.Count("report"), 0);
}

// A file whose body cannot be stored completely, and what happens between its reads. The body
// is written through one handle into a temporary file, so a sharing violation of someone else
// or a file put at its name meanwhile costs nothing.
TEST(StreamReceiver, FileWhoseBodyIsNotStoredCompletelyIsThrownAway) {
    const os::WString folder = u"E:\\Ferrylo\\d";
    const os::WString path = folder + u"\\f.bin";
    const os::WString next = folder + u"\\next.txt";
    const std::string body = Pattern(3000, 4);
    struct Row {
        const char* name;
        std::function<void(World&)> beforeRead2;
        std::function<void(World&)> afterRead2;
        bool arrives;
    };
    const Row rows[] = {
        {"write fault", [](World& w) { w.fs.SetWriteFault(u'E', true); },
         [](World& w) { w.fs.SetWriteFault(u'E', false); }, false},
        {"locked by another program for one read",
         [&](World& w) { w.fs.SetLocked(w.TempIn(folder), true); },
         [&](World& w) { w.fs.SetLocked(w.TempIn(folder), false); }, true},
        {"folder vanished", [&](World& w) { w.fs.ForceRemove(folder); }, nullptr, false},
        {"file vanished", [&](World& w) { w.fs.ForceRemove(w.TempIn(folder)); }, nullptr, false},
        {"a file put at its name meanwhile", [&](World& w) { w.fs.WriteFile(path, "xyz"); },
         nullptr, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        StreamBuilder b;
        b.File(Entry{path, body, os::kAttrReadOnly, Time(1), Time(2), Time(3)});
        b.File(Entry{next, "next"});
        const std::string& s = b.Bytes();
        const size_t cut1 = b.Mark(0).body + 1000;
        const size_t cut2 = cut1 + 1000;
        w.Read(s.substr(0, cut1));
        row.beforeRead2(w);
        w.Read(s.substr(cut1, cut2 - cut1));
        if (row.afterRead2) {
            row.afterRead2(w);
        }
        w.Read(s.substr(cut2));
        if (row.arrives) {
            EXPECT_EQ(w.fs.ReadFile(path), body);
            EXPECT_EQ(w.rx.FileIndex(), 2);
            EXPECT_TRUE(w.rx.NotDelivered().empty());
        } else {
            EXPECT_FALSE(w.fs.Exists(path));
            EXPECT_EQ(w.rx.FileIndex(), 1);
            EXPECT_EQ(w.NotDelivered(), std::vector<std::string>{os::ToUtf8(path)});
        }
        EXPECT_EQ(w.fs.ReadFile(next), "next");
        EXPECT_EQ(w.TempIn(folder), u"");
        EXPECT_EQ(w.Outside(), w.outsideBefore);
    }
}

// An older copy of a file stays whole, attributes and all, until the new body is complete;
// every way of abandoning the new body leaves it as it was and names the path.
TEST(StreamReceiver, OlderFileSurvivesEveryAbandonedReplacement) {
    const os::WString folder = u"E:\\Ferrylo\\d";
    const os::WString path = folder + u"\\doc.txt";
    struct Row {
        const char* name;
        std::function<void(World&, const std::string& rest)> end;
        bool named = true;  // a new stream starts with nothing named
    };
    const Row rows[] = {
        {"stream stopped", [](World& w, const std::string&) { w.rx.Abort(); }},
        {"new stream", [](World& w, const std::string&) { w.rx.Reset(kBase); }, false},
        {"write fault",
         [](World& w, const std::string& rest) {
             w.fs.SetWriteFault(u'E', true);
             w.Read(rest);
         }},
        {"drive full",
         [](World& w, const std::string& rest) {
             w.fs.SetFreeSpaceOverride(u'E', 0);
             w.FeedInPieces(rest, 100);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        w.fs.WriteFile(path, "old", os::kAttrArchive, sim::SimTimes{1, 2, 3});
        const std::string before = w.Inside();
        StreamBuilder b;
        b.File(Entry{path, Pattern(200 * 1000, 8)});
        const size_t cut = b.Mark(0).body + 1000;
        w.Read(b.Bytes().substr(0, cut));
        EXPECT_EQ(w.fs.ReadFile(path), "old");  // untouched while the new body arrives
        row.end(w, b.Bytes().substr(cut));
        EXPECT_EQ(w.Inside(), before);
        EXPECT_EQ(w.NotDelivered().size(), row.named ? 1u : 0u);
        EXPECT_EQ(w.rx.WasNotDelivered(path), row.named);
        EXPECT_EQ(w.rx.FileIndex(), 0);
    }
}

TEST(StreamReceiver, DiskRunningOutMidBodyDeletesTheShortFile) {
    World w(64 * 1024);  // the drive itself is small; its reported free space is not
    w.fs.SetFreeSpaceOverride(u'E', 8 * kGiB);
    const os::WString path = u"E:\\Ferrylo\\big.bin";
    StreamBuilder b;
    b.File(Entry{path, Pattern(200000, 2)}).File(Entry{u"E:\\Ferrylo\\small.txt", "small"});
    w.FeedInPieces(b.Bytes(), 65536);
    EXPECT_FALSE(w.fs.Exists(path));
    EXPECT_EQ(w.fs.ReadFile(u"E:\\Ferrylo\\small.txt"), "small");
    EXPECT_EQ(w.rx.FileIndex(), 1);
}

TEST(StreamReceiver, FileThatCannotBeCreatedIsConsumedAndTheNextOneLands) {
    struct Row {
        const char* name;
        os::WString path;
        std::function<void(World&)> setup;
        std::optional<std::string> contentAfter;
    };
    const os::WString x = u"E:\\Ferrylo\\x.txt";
    const Row rows[] = {
        {"a folder of that name", x, [&](World& w) { w.fs.MakeFolders(x); }, std::nullopt},
        {"a locked file of that name", x,
         [&](World& w) {
             w.fs.WriteFile(x, "old");
             w.fs.SetLocked(x, true);
         },
         "old"},
        {"its folder is a file", u"E:\\Ferrylo\\sub\\y.txt",
         [](World& w) { w.fs.WriteFile(u"E:\\Ferrylo\\sub", "f"); }, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        row.setup(w);
        StreamBuilder b;
        b.File(Entry{row.path, "new content"}).File(Entry{u"E:\\Ferrylo\\z.txt", "z"});
        w.Feed(b.Bytes(), {b.Mark(0).body + 4});
        if (row.contentAfter) {
            w.fs.SetLocked(row.path, false);
            EXPECT_EQ(w.fs.ReadFile(row.path), row.contentAfter);
        } else {
            EXPECT_FALSE(w.IsFile(row.path));
        }
        EXPECT_EQ(w.fs.ReadFile(u"E:\\Ferrylo\\z.txt"), "z");
        EXPECT_EQ(w.rx.FileIndex(), 1);
        EXPECT_EQ(w.host.Count("report"), 0);
    }
}

TEST(StreamReceiver, ExistingFileIsReplacedAndPeerAttributesAreMasked) {
    World w;
    const os::WString path = u"E:\\Ferrylo\\x.txt";
    w.fs.WriteFile(path, "old and longer", os::kAttrReadOnly | os::kAttrHidden);
    StreamBuilder b;
    // Directory and reparse-point bits are the file system's own, never the peer's.
    b.File(Entry{path, "new", os::kAttrDirectory | 0x400 | os::kAttrReadOnly});
    b.File(Entry{u"E:\\Ferrylo\\plain.txt", "p", 0});
    w.Feed(b.Bytes());
    EXPECT_EQ(w.fs.ReadFile(path), "new");
    EXPECT_EQ(w.fs.GetAttributes(path), os::kAttrReadOnly);
    EXPECT_EQ(w.fs.GetAttributes(u"E:\\Ferrylo\\plain.txt"), os::kAttrNormal);
}

TEST(StreamReceiver, AbandonedStreamLeavesNoPartialFile) {
    struct Row {
        const char* name;
        std::function<void(World&)> end;
    };
    const Row rows[] = {
        {"Abort", [](World& w) { w.rx.Abort(); }},
        {"Reset for a new stream", [](World& w) { w.rx.Reset(kBase); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        StreamBuilder b;
        b.File(Entry{u"E:\\Ferrylo\\done.txt", "done"});
        b.File(Entry{u"E:\\Ferrylo\\half.bin", Pattern(5000, 1)});
        w.Read(b.Bytes().substr(0, b.Mark(1).body + 2000));
        ASSERT_NE(w.TempIn(kBase), u"");
        EXPECT_TRUE(w.fs.DeletePending(w.TempIn(kBase))) << "gone with the program's end too";
        row.end(w);
        EXPECT_EQ(w.Names(kBase), std::vector<std::string>{"done.txt"});
        EXPECT_EQ(w.fs.ReadFile(u"E:\\Ferrylo\\done.txt"), "done");
    }
}

// An entry never lands on, reuses or deletes what answers to its name only through an 8.3
// alias; it is named instead.
TEST(StreamReceiver, ShortNameAliasesAreNeverMergedWithRealNames) {
    World w;
    const os::WString x = u"E:\\Ferrylo\\x";
    StreamBuilder b;
    b.Dir(x).File(Entry{x + u"\\longfilename.txt", "first"});
    b.File(Entry{x + u"\\LONGFI~1.TXT", "second"});
    b.Dir(x + u"\\Program Files").File(Entry{x + u"\\Program Files\\a.txt", "a"});
    b.Dir(x + u"\\PROGRA~1").File(Entry{x + u"\\PROGRA~1\\b.txt", "b"});
    b.File(Entry{x + u"\\PROGRA~1\\sub\\c.txt", "c"});
    w.Feed(b.Bytes());
    EXPECT_EQ(w.Names(x), (std::vector<std::string>{"Program Files", "longfilename.txt"}));
    EXPECT_EQ(w.fs.ReadFile(x + u"\\longfilename.txt"), "first");
    EXPECT_EQ(w.Names(x + u"\\Program Files"), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(w.NotDelivered(),
              (std::vector<std::string>{"E:\\Ferrylo\\x\\LONGFI~1.TXT", "E:\\Ferrylo\\x\\PROGRA~1",
                                        "E:\\Ferrylo\\x\\PROGRA~1\\b.txt",
                                        "E:\\Ferrylo\\x\\PROGRA~1\\sub\\c.txt"}));
    EXPECT_TRUE(w.rx.WasNotDelivered(x + u"\\longfi~1.txt"));
    EXPECT_EQ(w.rx.FileIndex(), 2);
}

// Between two copies of this program a body may be followed by "not intact": the new body is
// dropped, an older file stays, and the path is named whatever is on disk.
TEST(StreamReceiver, NotIntactEntryDropsTheBodyItFollowsAndNamesThePath) {
    const os::WString p = u"E:\\Ferrylo\\d\\mail.pst";
    const os::WString q = u"E:\\Ferrylo\\d\\q.txt";
    const os::WString r = u"E:\\Ferrylo\\unlisted";
    const std::string padded = "abc" + std::string(5000, '\0');
    struct Row {
        const char* name;
        bool older;
        std::function<void(StreamBuilder&)> build;
        std::optional<std::string> pAfter;
        std::vector<std::string> named;
    };
    const Row rows[] = {
        {"older file kept",
         true,
         [&](StreamBuilder& b) {
             b.File(Entry{p, padded}).NotIntact(p).File(Entry{q, "q"});
         },
         "older",
         {os::ToUtf8(p)}},
        {"no older file",
         false,
         [&](StreamBuilder& b) {
             b.File(Entry{p, padded}).NotIntact(p).File(Entry{q, "q"});
         },
         std::nullopt,
         {os::ToUtf8(p)}},
        {"another path: the body is committed",
         true,
         [&](StreamBuilder& b) {
             b.File(Entry{p, "new"}).NotIntact(r).File(Entry{q, "q"});
         },
         "new",
         {os::ToUtf8(r)}},
        {"at the end of the stream",
         true,
         [&](StreamBuilder& b) {
             b.File(Entry{q, "q"}).File(Entry{p, padded}).NotIntact(p);
         },
         "older",
         {os::ToUtf8(p)}},
        {"a path outside the base folder is ignored",
         true,
         [&](StreamBuilder& b) {
             b.File(Entry{p, "new"}).NotIntact(u"E:\\victim.txt").File(Entry{q, "q"});
         },
         "new",
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StreamBuilder b;
        row.build(b);
        const std::string& stream = b.Bytes();
        for (size_t cut = 1; cut < stream.size(); cut += 97) {
            World w;
            if (row.older) {
                w.fs.WriteFile(p, "older", os::kAttrReadOnly);
            }
            w.rx.Reset(kBase, true);
            w.Feed(stream, {cut});
            w.rx.Abort();  // the copy ends
            ASSERT_EQ(w.fs.ReadFile(p), row.pAfter) << cut;
            ASSERT_EQ(w.fs.ReadFile(q), "q") << cut;
            ASSERT_EQ(w.NotDelivered(), row.named) << cut;
            ASSERT_EQ(w.host.Count("report"), 0) << cut;
            ASSERT_EQ(w.Names(u"E:\\Ferrylo\\d").size(), row.pAfter ? 2u : 1u) << cut;
            ASSERT_EQ(w.Outside(), w.outsideBefore);
        }
    }
}

// A complete body waits for the next header only when the partner may send "not intact"; the
// end of the stream in any other way commits it. A partner that never announced it gets the
// described protocol: kind 6 is a stream error.
TEST(StreamReceiver, CompleteBodyIsCommittedByTheNextHeaderOrTheEnd) {
    const os::WString p = u"E:\\Ferrylo\\p.txt";
    const std::string entry = FileEntry(p, "new");
    {
        World w;
        w.fs.WriteFile(p, "older");
        w.rx.Reset(kBase, true);
        w.Read(entry);
        EXPECT_EQ(w.fs.ReadFile(p), "older");
        w.rx.Abort();
        EXPECT_EQ(w.fs.ReadFile(p), "new");
        EXPECT_EQ(w.rx.FileIndex(), 1);
    }
    {
        World w;
        w.Read(entry);
        EXPECT_EQ(w.fs.ReadFile(p), "new");
        w.Read(StreamBuilder().NotIntact(p).Bytes());
        EXPECT_EQ(w.fs.ReadFile(p), "new");
        EXPECT_EQ(w.host.calls.back(), "timer10");
        EXPECT_TRUE(w.rx.NotDelivered().empty());
    }
}

// A body that comes whole with its entry, for a free name, is made under that name: one create,
// no temporary file and no rename. A "not intact" entry after it still takes it away, and a
// taken name still goes through a temporary file.
TEST(StreamReceiver, BodyThatArrivesWithItsEntryIsWrittenUnderItsName) {
    const os::WString p = u"E:\\Ferrylo\\p.txt";
    const auto tempTouched = [](const World& w) {
        for (const auto& path : w.spy.touched) {
            if (path.find(u"~tdx") != os::WString::npos) {
                return true;
            }
        }
        return false;
    };
    {
        World w;
        w.rx.Reset(kBase, true);
        w.Read(FileEntry(p, "new"));
        EXPECT_EQ(w.fs.ReadFile(p), "new");
        EXPECT_FALSE(tempTouched(w));
        w.Read(StreamBuilder().NotIntact(p).Bytes());
        EXPECT_FALSE(w.fs.Exists(p));
        EXPECT_EQ(w.NotDelivered(), std::vector<std::string>{"E:\\Ferrylo\\p.txt"});
    }
    {
        World w;
        w.fs.WriteFile(p, "older");
        w.Read(FileEntry(p, "new"));
        EXPECT_EQ(w.fs.ReadFile(p), "new");
        EXPECT_TRUE(tempTouched(w));
    }
}

TEST(StreamReceiver, MalformedEntriesAreConsumedInStep) {
    struct Row {
        const char* name;
        std::string entry;
    };
    const Entry e{u"", "body bytes", os::kAttrArchive};
    const Row rows[] = {
        {"file path of length 0", StreamBuilder().File(e).Bytes()},
        {"directory path of length 0", std::string("%?\x02\x00", 4)},
        {"file path that is not hexadecimal",
         std::string("%?\x01\x02", 4) + "ZZ00XY00" + StreamBuilder::Meta(e, 3) + "abc"},
        {"directory path that is not hexadecimal", std::string("%?\x02\x01", 4) + "G000"},
        {"path of 255 units that is not below the base",
         StreamBuilder().File(Entry{u"D:\\" + os::WString(252, u'x'), "zz"}).Bytes()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        w.spy.touched.clear();
        w.FeedInPieces(row.entry, 3);
        EXPECT_TRUE(w.rx.IsBetweenEntries());
        EXPECT_TRUE(w.spy.touched.empty());
        w.Read(FileEntry(u"E:\\Ferrylo\\ok.txt", "ok"));
        EXPECT_EQ(w.fs.ReadFile(u"E:\\Ferrylo\\ok.txt"), "ok");
        EXPECT_EQ(w.host.Count("report"), 0);
    }
}

TEST(StreamReceiver, HostilePathsNeverTouchAnythingAndTheStreamStaysInStep) {
    const auto hostile = recvkit::HostilePaths();
    ASSERT_GE(hostile.size(), 30u);
    for (const auto& path : hostile) {
        SCOPED_TRACE(os::ToUtf8(path));
        World w;
        w.spy.touched.clear();
        StreamBuilder b;
        b.File(Entry{path, "evil", os::kAttrHidden}).Dir(path);
        b.File(Entry{path, "", os::kAttrReadOnly});
        w.Feed(b.Bytes(), {b.Mark(0).body + 2});
        EXPECT_TRUE(w.spy.touched.empty());
        EXPECT_EQ(w.host.Count("name"), 0);
        w.Read(FileEntry(u"E:\\Ferrylo\\ok.txt", "ok"));
        EXPECT_EQ(w.fs.ReadFile(u"E:\\Ferrylo\\ok.txt"), "ok");
        EXPECT_EQ(w.Outside(), w.outsideBefore);
        EXPECT_EQ(w.fs.ReadFile(u"E:\\victim.txt"), "precious");
        EXPECT_EQ(w.fs.ReadFile(u"C:\\Windows\\win.ini"), "[fonts]\r\n");
    }
}

TEST(StreamReceiver, AllHostilePathsInOneStreamByteByByte) {
    StreamBuilder b;
    for (const auto& path : recvkit::HostilePaths()) {
        b.Dir(path).File(Entry{path, "evil"});
    }
    b.File(Entry{u"E:\\Ferrylo\\ok.txt", "ok"});
    World w;
    w.FeedInPieces(b.Bytes(), 1);
    EXPECT_EQ(w.Inside(), [] {
        World clean;
        clean.Read(FileEntry(u"E:\\Ferrylo\\ok.txt", "ok"));
        return clean.Inside();
    }());
    EXPECT_EQ(w.Outside(), w.outsideBefore);
    EXPECT_EQ(w.rx.FileIndex(), 1);
}

TEST(StreamReceiver, InvalidBaseFolderDropsEveryEntry) {
    for (const os::WString base : {u"", u"E:\\", u"E:\\Other", u"E:\\Ferrylo\\sub"}) {
        SCOPED_TRACE(os::ToUtf8(base));
        World w;
        w.rx.Reset(base);
        w.spy.touched.clear();
        StreamBuilder b;
        b.Dir(u"E:\\Ferrylo\\d").File(Entry{u"E:\\Ferrylo\\sub\\f.txt", "f"});
        b.File(Entry{u"E:\\Other\\f.txt", "f"});
        w.Feed(b.Bytes());
        EXPECT_TRUE(w.spy.touched.empty());
    }
}

// The fuzz target's checks over its seed corpus, so that every test run exercises them.
TEST(StreamReceiver, FuzzSeedCorpusPassesTheFuzzChecks) {
    const auto folder =
        std::filesystem::path(__FILE__).parent_path().parent_path() / "fuzz/corpus/fuzz_receiver";
    int seeds = 0;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(item.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        SCOPED_TRACE(item.path().string());
        EXPECT_TRUE(recvkit::RunReceiverFuzzCase(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                 bytes.size()));
        ++seeds;
    }
    EXPECT_GE(seeds, 5);
}

}  // namespace
