// A world of simulated PCs on one network and one virtual clock. Each PC's program runs on its
// own thread under the world's scheduler, one at a time; the test thread drives the runs and
// may look at or change the PCs only between runs (while it holds the run).
//
//     sim::World world(seed);
//     sim::SimPc& a = world.AddPc(configA);
//     sim::SimPc& b = world.AddPc(configB);
//     world.Start(a, [](os::Platform& os) { CTandrixApp(os).Run(); });
//     world.Start(b, ...);
//     ASSERT_TRUE(world.RunUntilIdle()) << world.Failure();
//     b.ui().AnswerBox(os::kIdOk);  // a box waits for the user
//     ASSERT_TRUE(world.RunUntilIdle()) << world.Failure();
//
// Destroying the world ends every program still running: its next wait throws WorldEnded,
// which unwinds it, and its thread is joined.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/SimClock.h"
#include "sim/SimNetwork.h"
#include "sim/SimPc.h"
#include "sim/SimScheduler.h"

namespace sim {

class World {
  public:
    explicit World(uint64_t seed = 1);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // A new PC. Unless the configuration gives one, its address is 192.168.1.(10 + n). Every
    // PC of the world can look up every other by computer name.
    SimPc& AddPc(SimPcConfig config = {});
    SimPc& Pc(size_t index) { return *m_pcs.at(index); }
    size_t PcCount() const { return m_pcs.size(); }

    // Gives a PC its program; it runs in the next run.
    void Start(SimPc& pc, std::function<void(os::Platform&)> program);
    // Runs until every PC waits with nothing due or has finished. False when a budget ran out
    // (Failure says which).
    bool RunUntilIdle();
    // Runs for `ms` of virtual time (the clock ends there even when the world falls idle).
    bool RunFor(uint64_t ms);
    // Runs until `condition` holds; it is checked at every hand-over, on whichever thread holds
    // the run. False when the world falls idle first or a budget runs out.
    bool RunUntil(const std::function<bool()>& condition);
    // Hand-overs and virtual time one run may take before it stops and reports failure.
    void SetBudget(uint64_t handOvers, uint64_t virtualMs) {
        m_scheduler.SetBudget(handOvers, virtualMs);
    }

    bool Finished(const SimPc& pc) const;
    // What a PC's program threw (empty when nothing).
    std::string Error(const SimPc& pc) const;
    SimStop LastStop() const { return m_lastStop; }
    std::string Failure() const;

    Network& net() { return m_network; }
    SimClock& clock() { return *m_clock; }
    uint64_t NowMs() const { return m_clock->NowMs(); }
    uint64_t Seed() const { return m_seed; }
    uint64_t HandOvers() const { return m_scheduler.HandOvers(); }

  private:
    SimStop Run(const std::function<bool()>& until, std::optional<uint64_t> stopAt);

    uint64_t m_seed;
    std::shared_ptr<SimClock> m_clock;
    Network m_network;
    std::vector<std::unique_ptr<SimPc>> m_pcs;
    SimScheduler m_scheduler;  // after the PCs: its threads end before the PCs go
    SimStop m_lastStop = SimStop::Idle;
};

}  // namespace sim
