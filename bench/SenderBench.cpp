// What the source's walk costs, counted rather than timed alone: opens per file, sends per
// file, directory records read per entry, and the memory the walk holds while it counts a tree
// (which must not grow with the tree). A whole copy between two simulated PCs.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "app/TandrixApp.h"
#include "app/TandrixDlg.h"
#include "common/RoleScript.h"
#include "platform/FilePath.h"
#include "sim/SimWorld.h"

// Live heap bytes, for the walk's memory. Left out under AddressSanitizer, which keeps its own.
#if !defined(__SANITIZE_ADDRESS__)
namespace {
std::atomic<int64_t> g_live{0};
std::atomic<int64_t> g_peak{0};

void* Take(size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    const int64_t now = g_live += static_cast<int64_t>(malloc_usable_size(p));
    int64_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void Give(void* p) {
    if (p != nullptr) {
        g_live -= static_cast<int64_t>(malloc_usable_size(p));
        std::free(p);
    }
}
}  // namespace

void* operator new(size_t size) {
    return Take(size);
}
void* operator new[](size_t size) {
    return Take(size);
}
void operator delete(void* p) noexcept {
    Give(p);
}
void operator delete[](void* p) noexcept {
    Give(p);
}
void operator delete(void* p, size_t) noexcept {
    Give(p);
}
void operator delete[](void* p, size_t) noexcept {
    Give(p);
}
constexpr bool kCountsMemory = true;
#else
namespace {
std::atomic<int64_t> g_live{0};
std::atomic<int64_t> g_peak{0};
}  // namespace
constexpr bool kCountsMemory = false;
#endif

namespace {

const os::WString kRoot = u"C:\\Users\\taro\\Documents\\Walk";

struct TwoPcs {
    sim::World world{11};
    sim::SimPc* src = nullptr;
    sim::SimPc* dst = nullptr;

    TwoPcs() {
        sim::SimPcConfig a;
        a.computerName = u"PC-A";
        sim::SimPcConfig b;
        b.computerName = u"PC-B";
        src = &world.AddPc(a);
        dst = &world.AddPc(b);
    }

    void StartAndPair() {
        rolescript::ChooseRole(src->ui(), rolescript::Role::Source, u"PC-B");
        rolescript::ChooseRole(dst->ui(), rolescript::Role::Destination, u"PC-A");
        for (sim::SimPc* pc : {src, dst}) {
            world.Start(*pc, [](os::Platform& os) { CTandrixApp(os).Run(); });
        }
        world.RunUntilIdle();
        src->ui().Do("pair", [](sim::SimDialogWindow& w) {
            auto& dlg = dynamic_cast<CTandrixDlg&>(w.Dialog());
            dlg.m_bCopyStarted = true;
            dlg.OnCopyCommand(2);
        });
        world.RunUntilIdle();
        src->ui().PressEscape().In(IDD_FILELIST);
        world.RunUntilIdle();
    }

    void Copy() {
        src->ui().Do("copy", [](sim::SimDialogWindow& w) {
            auto& dlg = dynamic_cast<CTandrixDlg&>(w.Dialog());
            CFilePath list;
            list.AddPath(kRoot, false);
            dlg.m_sDestDrive.back() = u'D';
            dlg.m_nCopyMode = 2;
            dlg.BuildListSendPath(list);
            dlg.BeginCopy();
        });
        world.RunUntilIdle();
    }

    bool EndedNormally() {
        const sim::SimBox* box = src->ui().OpenBox();
        const bool done = box != nullptr && box->text.rfind(u"引越が終了しました。", 0) == 0;
        if (box != nullptr) {
            src->ui().AnswerBox(os::kIdOk);
        }
        return done;
    }
};

// `folders` folders side by side, each with `files` files of `size` bytes.
void MakeTree(sim::SimFileSystem& fs, int folders, int files, size_t size) {
    const std::string body(size, 'x');
    for (int d = 0; d < folders; ++d) {
        const os::WString folder = kRoot + u"\\d" + os::ToWString(d);
        fs.MakeFolders(folder);
        for (int f = 0; f < files; ++f) {
            fs.WriteFile(folder + u"\\f" + os::ToWString(f) + u".txt", body);
        }
    }
}

// Small files in many sibling folders: the costs per file of the sending and survey passes.
void BM_SmallFilesInManyFolders(benchmark::State& state) {
    const int folders = static_cast<int>(state.range(0));
    const int files = 10;
    const int total = folders * files;
    double opens = 0, sends = 0, records = 0;
    for (auto _ : state) {
        TwoPcs pcs;
        MakeTree(pcs.src->fs(), folders, files, 1000);
        pcs.StartAndPair();
        const uint64_t opens0 = pcs.src->fs().OpenCalls();
        const uint64_t records0 = pcs.src->fs().FindRecords();
        const uint64_t sends0 = pcs.world.net().SendCalls();
        pcs.Copy();
        if (!pcs.EndedNormally()) {
            state.SkipWithError("the copy did not end normally");
            return;
        }
        opens = static_cast<double>(pcs.src->fs().OpenCalls() - opens0);
        // Sends of both PCs; the destination's handful of frames barely count.
        sends = static_cast<double>(pcs.world.net().SendCalls() - sends0);
        records = static_cast<double>(pcs.src->fs().FindRecords() - records0);
    }
    state.SetItemsProcessed(state.iterations() * total);
    state.counters["src_opens_per_file"] = opens / total;
    state.counters["sends_per_file"] = sends / total;
    state.counters["dir_records_per_entry"] = records / (total + folders);
}
BENCHMARK(BM_SmallFilesInManyFolders)
    ->Arg(50)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// A tree `depth` folders deep with ten folders and ten empty files in every folder: its size
// grows tenfold with each level while no listing grows (the simulated enumeration holds a
// whole listing, where Windows holds a fixed buffer).
int MakeDeepTree(sim::SimFileSystem& fs, const os::WString& folder, int depth) {
    fs.MakeFolders(folder);
    int files = 0;
    for (int i = 0; i < 10; ++i) {
        fs.WriteFile(folder + u"\\f" + os::ToWString(i), "");
        ++files;
        if (depth > 1) {
            files += MakeDeepTree(fs, folder + u"\\d" + os::ToWString(i), depth - 1);
        }
    }
    return files;
}

// The memory the walk holds while it counts a tree: the copy is cut right after its start, so
// the counting pass runs alone and nothing is written at the destination. The peak over the
// heap in use before the copy must stay the same whatever the tree's size.
void BM_CountingWalkMemory(benchmark::State& state) {
    const int depth = static_cast<int>(state.range(0));
    double growth = 0;
    int files = 0;
    for (auto _ : state) {
        TwoPcs pcs;
        files = MakeDeepTree(pcs.src->fs(), kRoot, depth);
        pcs.StartAndPair();
        const sim::StreamSelector forward{pcs.src->address(), pcs.dst->address(),
                                          sim::SimSide::Connector};
        // What follows SENDCOUNTBEGIN (the result of the count) never arrives.
        pcs.world.net().CutAt(forward, pcs.world.net().BytesSent(forward) + 16);
        const int64_t before = g_live.load();
        g_peak = before;
        pcs.Copy();
        growth = static_cast<double>(g_peak.load() - before);
        if (pcs.src->ui().OpenBox() != nullptr) {
            pcs.src->ui().AnswerBox(os::kIdOk);
        }
    }
    state.SetItemsProcessed(state.iterations() * files);
    state.counters["files"] = files;
    if (kCountsMemory) {
        state.counters["walk_peak_bytes"] = growth;
    }
}
BENCHMARK(BM_CountingWalkMemory)
    ->Arg(3)
    ->Arg(4)
    ->Arg(5)
    ->Arg(6)  // 1.1 million files
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
