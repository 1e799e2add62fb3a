// Throughput of the destination's receiver into the simulated file system: large bodies in
// 64 KiB reads (bytes per second), many small files (files per second), and the parser alone
// on entries it drops (no file-system work). The counters give the file-system calls per
// piece and per file, which on Windows are the real cost.
#include <benchmark/benchmark.h>

#include "common/ReceiverTestKit.h"
#include "sim/SimFileSystem.h"

namespace {

const os::WString kBase = u"E:\\Ferrylo";
constexpr size_t kReadSize = 65536;

// Counts every call into the file system and its open files: on Windows each is a system
// call (and under Wine a server round trip), which costs far more than the parser.
class CountingFileSystem : public os::FileSystem {
  public:
    explicit CountingFileSystem(os::FileSystem& inner) : m_inner(inner) {}
    uint64_t calls = 0;

    std::unique_ptr<os::FindHandle> FindFirst(const os::WString& p, os::FindData& f) override {
        ++calls;
        return m_inner.FindFirst(p, f);
    }
    uint32_t GetAttributes(const os::WString& p) override {
        ++calls;
        return m_inner.GetAttributes(p);
    }
    bool SetAttributes(const os::WString& p, uint32_t a) override {
        ++calls;
        return m_inner.SetAttributes(p, a);
    }
    bool CreateDirectory(const os::WString& p) override {
        ++calls;
        return m_inner.CreateDirectory(p);
    }
    bool RemoveDirectory(const os::WString& p) override {
        ++calls;
        return m_inner.RemoveDirectory(p);
    }
    bool DeleteFile(const os::WString& p) override {
        ++calls;
        return m_inner.DeleteFile(p);
    }
    bool MoveFile(const os::WString& from, const os::WString& to, uint32_t flags) override {
        ++calls;
        return m_inner.MoveFile(from, to, flags);
    }
    std::unique_ptr<os::File> Open(const os::WString& p, os::OpenMode mode,
                                   uint32_t attributes) override {
        ++calls;
        auto file = m_inner.Open(p, mode, attributes);
        return file ? std::make_unique<CountingFile>(std::move(file), calls) : nullptr;
    }
    uint32_t LogicalDrives() override { return m_inner.LogicalDrives(); }
    os::DriveType GetDriveType(const os::WString& root) override {
        return m_inner.GetDriveType(root);
    }
    bool GetVolumeInformation(const os::WString& root, os::WString& volume,
                              os::WString& fileSystem) override {
        return m_inner.GetVolumeInformation(root, volume, fileSystem);
    }
    bool GetDiskFreeSpace(const os::WString& root, uint64_t& total, uint64_t& free) override {
        ++calls;
        return m_inner.GetDiskFreeSpace(root, total, free);
    }
    uint32_t LastError() override { return m_inner.LastError(); }

  private:
    // Its closing counts as a call too.
    class CountingFile : public os::File {
      public:
        CountingFile(std::unique_ptr<os::File> inner, uint64_t& calls)
            : m_inner(std::move(inner)), m_calls(calls) {}
        ~CountingFile() override { ++m_calls; }
        CountingFile(const CountingFile&) = delete;
        CountingFile& operator=(const CountingFile&) = delete;
        bool Read(void* b, uint32_t n, uint32_t& got) override {
            ++m_calls;
            return m_inner->Read(b, n, got);
        }
        bool Write(const void* d, uint32_t n, uint32_t& written) override {
            ++m_calls;
            return m_inner->Write(d, n, written);
        }
        uint64_t Size() override {
            ++m_calls;
            return m_inner->Size();
        }
        bool QueryState(State& state) override {
            ++m_calls;
            return m_inner->QueryState(state);
        }
        bool SetTimes(const uint64_t* c, const uint64_t* a, const uint64_t* w) override {
            ++m_calls;
            return m_inner->SetTimes(c, a, w);
        }
        bool SetAttributes(uint32_t attributes) override {
            ++m_calls;
            return m_inner->SetAttributes(attributes);
        }
        bool RenameTo(const os::WString& path) override {
            ++m_calls;
            return m_inner->RenameTo(path);
        }
        bool SetDeleteOnClose(bool remove) override {
            ++m_calls;
            return m_inner->SetDeleteOnClose(remove);
        }

      private:
        std::unique_ptr<os::File> m_inner;
        uint64_t& m_calls;
    };

    os::FileSystem& m_inner;
};

struct Destination {
    sim::SimFileSystem fs;
    CountingFileSystem counted{fs};
    recvkit::RecordingHost host;
    CStreamReceiver rx{counted, host};

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
    state.counters["fs_calls_per_64KiB"] = static_cast<double>(d.counted.calls) /
                                           static_cast<double>(state.iterations()) /
                                           static_cast<double>(size / kReadSize);
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
    state.counters["fs_calls_per_file"] =
        static_cast<double>(d.counted.calls) / static_cast<double>(state.iterations()) / files;
}
BENCHMARK(BM_SmallFiles)
    ->Args({1000, 0})
    ->Args({1000, 1024})
    ->Args({1000, 16384})
    ->Unit(benchmark::kMillisecond);

}  // namespace
