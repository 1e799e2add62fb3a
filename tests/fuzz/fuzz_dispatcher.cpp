// Fuzzes the forward dispatcher of the main window on a simulated PC: whatever the partner
// sends, in whatever state this PC is, nothing outside the base folder D:\Ferrylo changes
// (the work folder below the documents may, as the survey writes there, and so may the desktop
// shortcut to the received files), and nothing crashes.
// Input: byte 0 picks the role and state, byte 1 the read sizes; the rest is what arrives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/TandrixApp.h"
#include "app/TandrixDlg.h"
#include "sim/SimPc.h"

namespace {

std::string Outside(sim::SimPc& pc) {
    std::string c = pc.fs().Dump(u"C:\\", false);
    // The work folder is this program's own scratch space.
    std::string kept;
    size_t start = 0;
    while (start < c.size()) {
        const size_t end = c.find('\n', start);
        const std::string line = c.substr(start, end - start);
        if (line.find("Basic\\work") == std::string::npos &&
            line.find(".lnk") == std::string::npos) {
            kept += line + "\n";
        }
        start = end == std::string::npos ? c.size() : end + 1;
    }
    std::string d = pc.fs().Dump(u"D:\\", false);
    std::string dKept;
    start = 0;
    while (start < d.size()) {
        const size_t end = d.find('\n', start);
        const std::string line = d.substr(start, end - start);
        if (line.find("Ferrylo") == std::string::npos) {
            dKept += line + "\n";
        }
        start = end == std::string::npos ? d.size() : end + 1;
    }
    return kept + "|" + dKept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    sim::SimPc pc;
    pc.fs().WriteFile(u"D:\\victim.txt", "keep me");
    const std::string before = Outside(pc);
    {
        CTandrixApp app(pc.platform());
        CTandrixDlg dlg(app);
        static const int kStates[] = {0, 1, 2, 5, 13, 14, 19};
        dlg.m_nRole = data[0] % 3;
        dlg.m_nCom = kStates[(data[0] >> 2) % 7];
        dlg.m_sDestDrive = u"ドライブ：D";
        if (dlg.m_nCom == 1 || dlg.m_nCom == 13 || dlg.m_nCom == 14) {
            dlg.m_sReceiveBase = u"D:\\Ferrylo";
            dlg.m_receiver.Reset(dlg.m_sReceiveBase);
        }
        const size_t piece = 1 + data[1] % 64;
        for (size_t at = 2; at < size; at += piece) {
            dlg.OnStateData(reinterpret_cast<const char*>(data + at), std::min(piece, size - at));
        }
        dlg.OnTimer(kTimerMessageSettle);  // the connection falls quiet
    }
    if (Outside(pc) != before) {
        std::abort();
    }
    return 0;
}
