// The virtual clock of one simulated PC in milliseconds: Sleep and the dialog timers read and
// advance it, so pauses and timeouts cost no real time.
#pragma once

#include <cstdint>

namespace sim {

class SimClock {
  public:
    uint64_t NowMs() const { return m_nowMs; }
    void Advance(uint64_t ms) { m_nowMs += ms; }
    void AdvanceTo(uint64_t ms) {
        if (ms > m_nowMs) {
            m_nowMs = ms;
        }
    }

  private:
    uint64_t m_nowMs = 0;
};

}  // namespace sim
