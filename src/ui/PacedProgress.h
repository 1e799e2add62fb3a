// The receiving side's progress updates, held back and shown by time: a stream of small files
// or fast pieces changes the file name and both bars far more often than anyone can read.
// Only the latest value of each is kept; the window gets it when the pacer says so, or at
// once when the caller must show the final state.
#pragma once

#include <cstdint>
#include <optional>

#include "os/Types.h"
#include "ui/UiPacer.h"

class CDlgProgress;

class CPacedProgress {
  public:
    void SetFileName(const os::WString& path) { m_name = path; }
    void SetFileRange(uint64_t size) { m_range = size; }
    void SetFilePos(uint64_t pos) { m_pos = pos; }
    void SetOverallPos(int index) { m_overall = index; }

    bool HasWaiting() const { return m_name || m_range || m_pos || m_overall; }
    // Shows what waits on `dialog` (nothing when null) if the pacer allows it, or always when
    // `force` is set. True when something still waits.
    bool Flush(CDlgProgress* dialog, uint64_t nowMs, bool force);
    // A new progress window starts from nothing waiting and shows its first update at once.
    void Restart();

  private:
    void DropWaiting();

    CUiPacer m_pacer;
    std::optional<os::WString> m_name;
    std::optional<uint64_t> m_range;
    std::optional<uint64_t> m_pos;
    std::optional<int> m_overall;
};
