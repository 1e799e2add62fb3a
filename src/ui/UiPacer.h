// Paces work that only keeps the user informed (progress bars, file names, message pumping)
// by time rather than by file or piece: a copy of many small files or fast pieces would
// otherwise spend more on window updates than on moving data.
#pragma once

#include <cstdint>

class CUiPacer {
  public:
    // At most one update every `intervalMs` (a few dozen a second by default).
    explicit CUiPacer(uint32_t intervalMs = 40) : m_nInterval(intervalMs) {}

    // True the first time, and then whenever `intervalMs` has passed since the last true.
    bool Due(uint64_t nowMs) {
        if (m_bStarted && nowMs - m_nLast < m_nInterval) {
            return false;
        }
        m_bStarted = true;
        m_nLast = nowMs;
        return true;
    }

    // The next Due is true whatever the time: a change the user must see at once (a new
    // screen, the last piece of a file).
    void Reset() { m_bStarted = false; }

  private:
    uint32_t m_nInterval;
    uint64_t m_nLast = 0;
    bool m_bStarted = false;
};
