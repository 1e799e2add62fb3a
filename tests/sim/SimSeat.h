// Where a simulated PC's code would wait. A PC alone has no seat: nothing else can happen while
// it waits, so it moves its own clock. A PC in a world waits through its seat, and the world's
// scheduler runs the other PCs (and moves the shared clock) until the PC's condition holds.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace sim {

// Thrown into a PC's thread at a wait when its world ends, so that its program unwinds.
struct WorldEnded {};

class SimSeat {
  public:
    using Ready = std::function<bool()>;
    // The earliest virtual time at which `Ready` may start to hold through time alone.
    using Due = std::function<std::optional<uint64_t>()>;

    virtual ~SimSeat() = default;
    // Hands the run over until `ready` holds. Throws WorldEnded when the world ends; while the
    // program is already unwinding it returns false at once instead.
    virtual bool Wait(const Ready& ready, const Due& due) = 0;
    // Lets another ready PC run first; the PC itself stays ready.
    virtual void Yield() = 0;
};

}  // namespace sim
