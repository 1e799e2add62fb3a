// One case of the dispatcher's fuzz target, shared with the test that replays its seed corpus.
// Whatever the partner sends, in whatever state this PC is, nothing outside the base folder
// D:\Ferrylo changes (the work folder below the documents may, as the survey writes there,
// and so may the desktop shortcut to the received files), and nothing crashes.
// Input: byte 0 picks the role and state, byte 1 the read sizes; the rest is what arrives.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/TandrixApp.h"
#include "app/TandrixDlg.h"
#include "os/Text.h"
#include "sim/SimPc.h"

namespace dispatchkit {

// The listing lines of `folder` whose path (relative to it) does not satisfy `allowed`.
template <typename Allowed>
std::string LinesOutside(sim::SimPc& pc, const os::WString& folder, Allowed allowed) {
    // A line is "flags size hash path": the path starts at a fixed column.
    constexpr size_t kPathColumn = 34;
    const std::string dump = pc.fs().Dump(folder, false);
    std::string kept;
    size_t start = 0;
    while (start < dump.size()) {
        const size_t end = std::min(dump.find('\n', start), dump.size());
        const std::string line = dump.substr(start, end - start);
        const std::string path = line.size() > kPathColumn ? line.substr(kPathColumn) : line;
        if (!allowed(path)) {
            kept += line + "\n";
        }
        start = end + 1;
    }
    return kept;
}

inline std::string Outside(sim::SimPc& pc) {
    const auto programsOwn = [](const std::string& path) {
        return path.find("Basic\\work") != std::string::npos ||
               path.find(".lnk") != std::string::npos;
    };
    // Only the base folder itself and what lies below it: D:\FerryloEvil is outside. Names are
    // compared as Windows does, so D:\FerryLO is the base folder in the peer's spelling.
    const auto belowBase = [](const std::string& path) {
        return os::StartsWithNoCase(os::FromUtf8(path), u"Ferrylo\\");
    };
    return LinesOutside(pc, u"C:\\", programsOwn) + "|" + LinesOutside(pc, u"D:\\", belowBase);
}

// False when something outside the base folder changed.
inline bool RunDispatcherFuzzCase(const uint8_t* data, size_t size) {
    if (size < 2) {
        return true;
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
    return Outside(pc) == before;
}

}  // namespace dispatchkit
