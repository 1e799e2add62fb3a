// Throughput of the destination's receiver into the simulated file system: large bodies in
// 64 KiB reads (bytes per second), many small files (files per second), and the parser alone
// on entries it drops (no file-system work).
#include <benchmark/benchmark.h>

#include "common/ReceiverTestKit.h"
#include "sim/SimFileSystem.h"

namespace {

const os::WString kBase = u"E:\\Ferrylo";
constexpr size_t kReadSize = 65536;

struct Destination {
    sim::SimFileSystem fs;
    recvkit::RecordingHost host;
    CStreamReceiver rx{fs, host};

    Destination() {
        fs.AddDrive(u'E', os::DriveType::Fixed, u"NTFS", u"Data", 1ull << 36);
        fs.MakeFolders(kBase);
    }
    void Feed(const std::string& stream) {
        rx.Reset(kBase);
        host.calls.clear();
        host.positions.clear();
        const auto* bytes = reinterpret_cast<const uint8_t*>(stream.data());
        for (size_t at = 0; at < stream.size(); at += kReadSize) {
            rx.HandleRead(bytes + at, std::min(kReadSize, stream.size() - at));
        }
    }
};

std::string Body(size_t size) {
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        body[i] = static_cast<char>(i * 131 + (i >> 9));
    }
    return body;
}

void LargeBody(benchmark::State& state, const os::WString& path) {
    const size_t size = static_cast<size_t>(state.range(0)) << 20;
    recvkit::StreamBuilder b;
    b.File(recvkit::Entry{path, Body(size)});
    Destination d;
    for (auto _ : state) {
        d.Feed(b.Bytes());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.Bytes().size()));
}

void BM_LargeBody(benchmark::State& state) {
    LargeBody(state, u"E:\\Ferrylo\\PC1のCドライブ\\video.mp4");
}
BENCHMARK(BM_LargeBody)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

// Entries the guard refuses: header, hexadecimal path, decoding and the guard, no file system.
void BM_DroppedEntries(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    recvkit::StreamBuilder b;
    for (int i = 0; i < entries; ++i) {
        b.Dir(kBase + u"\\..\\フォルダ" + os::ToWString(i));
    }
    Destination d;
    for (auto _ : state) {
        d.Feed(b.Bytes());
    }
    state.SetItemsProcessed(state.iterations() * entries);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.Bytes().size()));
}
BENCHMARK(BM_DroppedEntries)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SmallFiles(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    const size_t size = static_cast<size_t>(state.range(1));
    const std::string body = Body(size);
    recvkit::StreamBuilder b;
    for (int i = 0; i < files; ++i) {
        const os::WString folder = kBase + u"\\PC1のCドライブ\\フォルダ" + os::ToWString(i / 100);
        if (i % 100 == 0) {
            b.Dir(folder);
        }
        b.File(recvkit::Entry{folder + u"\\ファイル" + os::ToWString(i) + u".txt", body});
    }
    Destination d;
    for (auto _ : state) {
        d.Feed(b.Bytes());
    }
    state.SetItemsProcessed(state.iterations() * files);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.Bytes().size()));
}
BENCHMARK(BM_SmallFiles)
    ->Args({1000, 0})
    ->Args({1000, 1024})
    ->Args({1000, 16384})
    ->Unit(benchmark::kMillisecond);

}  // namespace
