// A whole copy between two simulated PCs: the source's walk and sends, the network and the
// destination's receiver together, in files per second for many small files and bytes per
// second for a few large ones. Set against the receiver's own benchmark it shows what each
// file costs the sender.
#include <benchmark/benchmark.h>

#include "app/TandrixApp.h"
#include "app/TandrixDlg.h"
#include "common/RoleScript.h"
#include "platform/FilePath.h"
#include "sim/SimWorld.h"

namespace {

const os::WString kFolder = u"C:\\Users\\taro\\Documents\\Bench";

CTandrixDlg& Main(sim::SimPc& pc) {
    return dynamic_cast<CTandrixDlg&>(pc.ui().FindWindow(IDD_TANDRIX_DIALOG)->Dialog());
}

// Copies `files` files of `size` bytes once; false when the copy did not end normally.
bool CopyOnce(int files, size_t size) {
    sim::World world(7);
    sim::SimPcConfig a;
    a.computerName = u"PC-A";
    sim::SimPcConfig b;
    b.computerName = u"PC-B";
    sim::SimPc& src = world.AddPc(a);
    sim::SimPc& dst = world.AddPc(b);
    const std::string body(size, 'x');
    for (int i = 0; i < files; ++i) {
        src.fs().WriteFile(kFolder + u"\\f" + os::ToWString(i) + u".bin", body);
    }
    rolescript::ChooseRole(src.ui(), rolescript::Role::Source, u"PC-B");
    rolescript::ChooseRole(dst.ui(), rolescript::Role::Destination, u"PC-A");
    for (sim::SimPc* pc : {&src, &dst}) {
        world.Start(*pc, [](os::Platform& os) { CTandrixApp(os).Run(); });
    }
    world.RunUntilIdle();
    src.ui().Do("pair", [](sim::SimDialogWindow& w) {
        auto& dlg = dynamic_cast<CTandrixDlg&>(w.Dialog());
        dlg.m_bCopyStarted = true;
        dlg.OnCopyCommand(2);
    });
    world.RunUntilIdle();
    // Pairing for a list copy opens the file-list dialog; the list is given directly instead.
    src.ui().PressEscape().In(IDD_FILELIST);
    world.RunUntilIdle();
    src.ui().Do("copy", [](sim::SimDialogWindow& w) {
        auto& dlg = dynamic_cast<CTandrixDlg&>(w.Dialog());
        CFilePath list;
        list.AddPath(kFolder, false);
        dlg.m_sDestDrive.back() = u'D';
        dlg.m_nCopyMode = 2;
        dlg.BuildListSendPath(list);
        dlg.BeginCopy();
    });
    world.RunUntilIdle();
    const sim::SimBox* box = src.ui().OpenBox();
    const bool done = box != nullptr && box->text.rfind(u"引越が終了しました。", 0) == 0 &&
                      Main(dst).m_nRole == 0;
    if (box != nullptr) {
        src.ui().AnswerBox(os::kIdOk);
    }
    return done;
}

void BM_CopySmallFiles(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    for (auto _ : state) {
        if (!CopyOnce(files, 1000)) {
            state.SkipWithError("the copy did not end normally");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * files);
}
BENCHMARK(BM_CopySmallFiles)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyLargeFiles(benchmark::State& state) {
    const size_t size = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        if (!CopyOnce(4, size)) {
            state.SkipWithError("the copy did not end normally");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * 4 * static_cast<int64_t>(size));
}
BENCHMARK(BM_CopyLargeFiles)->Arg(4 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
