// The scheduler: one baton under a mutex, handed from thread to thread.
#include "sim/SimScheduler.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace sim {
namespace {

// A driver that waits this long in real time for the run to come back has met a PC that
// computes for ever without waiting: no run can end, so the test process ends.
constexpr auto kRealTimeLimit = std::chrono::seconds(120);

}  // namespace

class SimScheduler::Seat : public SimSeat {
  public:
    enum class State { NotStarted, Ready, Running, Waiting, Finished };

    Seat(SimScheduler& scheduler, int index, std::string name)
        : m_scheduler(scheduler), m_index(index), m_name(std::move(name)) {}

    bool Wait(const Ready& ready, const Due& due) override {
        return m_scheduler.WaitOnSeat(m_index, ready, due);
    }
    void Yield() override { m_scheduler.YieldSeat(m_index); }

    SimScheduler& m_scheduler;
    int m_index;
    std::string m_name;
    State m_state = State::NotStarted;
    const Ready* m_ready = nullptr;  // while waiting: the waiting call's own condition
    const Due* m_due = nullptr;
    std::condition_variable m_turn;
    std::thread m_thread;
    std::string m_error;
};

SimScheduler::SimScheduler(SimClock& clock, uint64_t seed) : m_clock(clock), m_rng(seed) {}

SimScheduler::~SimScheduler() {
    Shutdown();
}

SimSeat& SimScheduler::AddSeat(const std::string& name) {
    std::lock_guard lock(m_mutex);
    const int index = static_cast<int>(m_seats.size());
    m_seats.push_back(std::make_unique<Seat>(*this, index, name));
    return *m_seats.back();
}

void SimScheduler::SetBudget(uint64_t handOvers, uint64_t virtualMs) {
    std::lock_guard lock(m_mutex);
    m_handOverBudget = handOvers;
    m_timeBudgetMs = virtualMs;
}

void SimScheduler::Start(SimSeat& seat, std::function<void()> program) {
    std::lock_guard lock(m_mutex);
    auto& s = static_cast<Seat&>(seat);
    if (s.m_state != Seat::State::NotStarted || m_ending) {
        return;
    }
    s.m_state = Seat::State::Ready;
    s.m_thread = std::thread([this, &s, program = std::move(program)] { ThreadMain(s, program); });
}

// These read seat state without the lock: only the holder of the run calls them (the driver
// between runs, or a run's condition), and every change to that state was made by a thread
// that handed the run over under the lock since.
bool SimScheduler::Started(const SimSeat& seat) const {
    return static_cast<const Seat&>(seat).m_state != Seat::State::NotStarted;
}

bool SimScheduler::Finished(const SimSeat& seat) const {
    return static_cast<const Seat&>(seat).m_state == Seat::State::Finished;
}

std::string SimScheduler::Error(const SimSeat& seat) const {
    return static_cast<const Seat&>(seat).m_error;
}

void SimScheduler::HandTo(int next) {
    m_turn = next;
    if (next == kDriver) {
        m_driverTurn.notify_one();
    } else {
        m_seats[static_cast<size_t>(next)]->m_turn.notify_one();
    }
}

void SimScheduler::AwaitTurn(std::unique_lock<std::mutex>& lock, int index) {
    m_seats[static_cast<size_t>(index)]->m_turn.wait(lock, [&] { return m_turn == index; });
}

int SimScheduler::ChooseNext() {
    std::vector<int> ready;
    for (;;) {
        ++m_totalHandOvers;
        if (++m_runHandOvers > m_handOverBudget) {
            m_stop = SimStop::StepBudget;
            return kDriver;
        }
        const uint64_t now = m_clock.NowMs();
        for (SimTimeSource* source : m_sources) {
            source->RunDue(now);
        }
        if (m_until && m_until()) {
            m_stop = SimStop::Condition;
            return kDriver;
        }
        ready.clear();
        for (const auto& seat : m_seats) {
            if (seat->m_state == Seat::State::Ready ||
                (seat->m_state == Seat::State::Waiting && (*seat->m_ready)())) {
                ready.push_back(seat->m_index);
            }
        }
        if (!ready.empty()) {
            return ready[static_cast<size_t>(m_rng() % ready.size())];
        }
        // Nobody can go on now: time passes to the next thing that is due.
        std::optional<uint64_t> next;
        const auto consider = [&](std::optional<uint64_t> due) {
            if (due && *due > now && (!next || *due < *next)) {
                next = due;
            }
        };
        for (const auto& seat : m_seats) {
            if (seat->m_state == Seat::State::Waiting && *seat->m_due) {
                consider((*seat->m_due)());
            }
        }
        for (SimTimeSource* source : m_sources) {
            consider(source->NextDue());
        }
        if (m_stopAt && (!next || *next > *m_stopAt)) {
            m_clock.AdvanceTo(*m_stopAt);
            m_stop = SimStop::TimeReached;
            return kDriver;
        }
        if (!next) {
            m_stop = SimStop::Idle;
            return kDriver;
        }
        if (*next - m_runStartMs > m_timeBudgetMs) {
            m_stop = SimStop::TimeBudget;
            return kDriver;
        }
        m_clock.AdvanceTo(*next);
    }
}

bool SimScheduler::WaitOnSeat(int index, const SimSeat::Ready& ready, const SimSeat::Due& due) {
    std::unique_lock lock(m_mutex);
    Seat& seat = *m_seats[static_cast<size_t>(index)];
    if (!m_ending) {
        seat.m_state = Seat::State::Waiting;
        seat.m_ready = &ready;
        seat.m_due = &due;
        HandTo(ChooseNext());
        AwaitTurn(lock, index);
        seat.m_state = Seat::State::Running;
        seat.m_ready = nullptr;
        seat.m_due = nullptr;
    }
    if (m_ending) {
        if (std::uncaught_exceptions() > 0) {
            return false;  // unwinding already: nothing waits any more
        }
        throw WorldEnded{};
    }
    return true;
}

void SimScheduler::YieldSeat(int index) {
    std::unique_lock lock(m_mutex);
    if (m_ending) {
        return;
    }
    Seat& seat = *m_seats[static_cast<size_t>(index)];
    seat.m_state = Seat::State::Ready;
    HandTo(ChooseNext());
    AwaitTurn(lock, index);
    seat.m_state = Seat::State::Running;
    if (m_ending && std::uncaught_exceptions() == 0) {
        throw WorldEnded{};
    }
}

// The seat comes by reference: the driver may add seats (and so move the list) meanwhile.
void SimScheduler::ThreadMain(Seat& seat, const std::function<void()>& program) {
    bool run = false;
    {
        std::unique_lock lock(m_mutex);
        AwaitTurn(lock, seat.m_index);
        seat.m_state = Seat::State::Running;
        run = !m_ending;
    }
    if (run) {
        try {
            program();
        } catch (const WorldEnded&) {
        } catch (const std::exception& e) {
            seat.m_error = e.what();
        } catch (...) {
            seat.m_error = "unknown exception";
        }
    }
    std::unique_lock lock(m_mutex);
    seat.m_state = Seat::State::Finished;
    HandTo(m_ending ? kDriver : ChooseNext());
}

SimStop SimScheduler::Run(const std::function<bool()>& until, std::optional<uint64_t> stopAt) {
    std::unique_lock lock(m_mutex);
    if (m_ending) {
        return SimStop::Idle;
    }
    m_until = until;
    m_stopAt = stopAt;
    m_runStartMs = m_clock.NowMs();
    m_runHandOvers = 0;
    const int next = ChooseNext();
    if (next != kDriver) {
        HandTo(next);
        if (!m_driverTurn.wait_for(lock, kRealTimeLimit, [&] { return m_turn == kDriver; })) {
            std::fprintf(stderr, "sim: a PC has run for %lld s without waiting\n",
                         static_cast<long long>(kRealTimeLimit.count()));
            std::abort();
        }
    }
    m_until = nullptr;
    m_stopAt.reset();
    return m_stop;
}

void SimScheduler::EndSeat(int index) {
    std::unique_lock lock(m_mutex);
    HandTo(index);
    m_driverTurn.wait(lock, [&] { return m_turn == kDriver; });
}

void SimScheduler::Shutdown() {
    {
        std::lock_guard lock(m_mutex);
        if (m_ending) {
            return;
        }
        m_ending = true;
    }
    for (const auto& seat : m_seats) {
        bool running = false;
        {
            std::lock_guard lock(m_mutex);
            running =
                seat->m_state != Seat::State::NotStarted && seat->m_state != Seat::State::Finished;
        }
        if (running) {
            EndSeat(seat->m_index);
        }
        if (seat->m_thread.joinable()) {
            seat->m_thread.join();
        }
    }
}

}  // namespace sim
