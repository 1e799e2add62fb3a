// The scheduler of a world of simulated PCs. Each PC's program runs on its own thread, but only
// one thread runs at a time: a PC's thread or the test's (the driver). A PC hands the run over
// where it would wait (SimSeat); the scheduler then picks, from the seeded generator, one of the
// PCs whose wait is over. When none is, the virtual clock jumps to the earliest due time of any
// waiting PC or time source (the network); when there is none either, the world is idle and
// the driver gets the run back. The same seed gives the same run.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "sim/SimClock.h"
#include "sim/SimSeat.h"

namespace sim {

// Something besides the PCs that acts at virtual times (the network's deliveries).
class SimTimeSource {
  public:
    virtual ~SimTimeSource() = default;
    virtual std::optional<uint64_t> NextDue() = 0;
    // Does everything due at or before `now`.
    virtual void RunDue(uint64_t now) = 0;
};

// Why a run gave the driver the run back.
enum class SimStop {
    Idle,         // every PC waits with nothing due, or has finished
    Condition,    // the driver's condition holds
    TimeReached,  // RunFor's time has come
    StepBudget,   // too many hand-overs: a PC keeps finding work
    TimeBudget,   // virtual time ran past the budget: timers keep the world busy
};

class SimScheduler {
  public:
    SimScheduler(SimClock& clock, uint64_t seed);
    ~SimScheduler();  // ends the world: every started program unwinds, its thread is joined
    SimScheduler(const SimScheduler&) = delete;
    SimScheduler& operator=(const SimScheduler&) = delete;

    // A seat for one PC; valid for the scheduler's life.
    SimSeat& AddSeat(const std::string& name);
    void AddTimeSource(SimTimeSource& source) { m_sources.push_back(&source); }

    // Driver side. Start does not run the program yet; the runs do.
    void Start(SimSeat& seat, std::function<void()> program);
    // Runs until idle, `until` holds (checked at each hand-over), or `stopAt` is reached.
    SimStop Run(const std::function<bool()>& until = nullptr,
                std::optional<uint64_t> stopAt = std::nullopt);
    void SetBudget(uint64_t handOvers, uint64_t virtualMs);
    // Ends every program (as the destructor does); later runs find the world idle.
    void Shutdown();

    bool Started(const SimSeat& seat) const;
    bool Finished(const SimSeat& seat) const;
    // What a program threw other than WorldEnded (empty when nothing).
    std::string Error(const SimSeat& seat) const;
    uint64_t HandOvers() const { return m_totalHandOvers; }

  private:
    class Seat;
    static constexpr int kDriver = -1;

    bool WaitOnSeat(int index, const SimSeat::Ready& ready, const SimSeat::Due& due);
    void YieldSeat(int index);
    void ThreadMain(Seat& seat, const std::function<void()>& program);
    // With the lock held: whom the run goes to next. Moves the clock and runs time sources.
    int ChooseNext();
    void HandTo(int next);
    void AwaitTurn(std::unique_lock<std::mutex>& lock, int index);
    void EndSeat(int index);

    SimClock& m_clock;
    std::mt19937_64 m_rng;
    std::vector<std::unique_ptr<Seat>> m_seats;
    std::vector<SimTimeSource*> m_sources;

    std::mutex m_mutex;
    std::condition_variable m_driverTurn;
    int m_turn = kDriver;
    bool m_ending = false;

    // The current run.
    std::function<bool()> m_until;
    std::optional<uint64_t> m_stopAt;
    uint64_t m_runStartMs = 0;
    uint64_t m_runHandOvers = 0;
    SimStop m_stop = SimStop::Idle;
    uint64_t m_handOverBudget = 20'000'000;
    uint64_t m_timeBudgetMs = 7ull * 24 * 60 * 60 * 1000;
    uint64_t m_totalHandOvers = 0;
};

}  // namespace sim
