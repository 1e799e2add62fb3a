// A world of simulated PCs.
#include "sim/SimWorld.h"

#include "os/Text.h"

namespace sim {
namespace {

// Different streams of the seed for the scheduler's choices and the network's reads.
constexpr uint64_t kNetworkStream = 0x9E3779B97F4A7C15ull;

}  // namespace

World::World(uint64_t seed)
    : m_seed(seed),
      m_clock(std::make_shared<SimClock>()),
      m_network(*m_clock, seed ^ kNetworkStream),
      m_scheduler(*m_clock, seed) {
    m_scheduler.AddTimeSource(m_network);
}

World::~World() {
    m_scheduler.Shutdown();
}

SimPc& World::AddPc(SimPcConfig config) {
    if (config.address == os::IPv4{}) {
        config.address = {192, 168, 1, static_cast<uint8_t>(10 + m_pcs.size())};
    }
    auto pc = std::make_unique<SimPc>(config, m_clock);
    const std::string name = os::ToUtf8(config.computerName);
    pc->JoinWorld(m_scheduler.AddSeat(name), m_network);
    pc->sys().AddHost(name, config.address);
    for (const auto& other : m_pcs) {
        other->sys().AddHost(name, config.address);
        pc->sys().AddHost(os::ToUtf8(other->config().computerName), other->address());
    }
    m_pcs.push_back(std::move(pc));
    return *m_pcs.back();
}

void World::Start(SimPc& pc, std::function<void(os::Platform&)> program) {
    m_scheduler.Start(*pc.seat(), [&pc, program = std::move(program)] { program(pc.platform()); });
}

SimStop World::Run(const std::function<bool()>& until, std::optional<uint64_t> stopAt) {
    m_lastStop = m_scheduler.Run(until, stopAt);
    return m_lastStop;
}

bool World::RunUntilIdle() {
    return Run(nullptr, std::nullopt) == SimStop::Idle;
}

bool World::RunFor(uint64_t ms) {
    return Run(nullptr, NowMs() + ms) == SimStop::TimeReached;
}

bool World::RunUntil(const std::function<bool()>& condition) {
    return Run(condition, std::nullopt) == SimStop::Condition;
}

bool World::Finished(const SimPc& pc) const {
    return pc.seat() != nullptr && m_scheduler.Finished(*pc.seat());
}

std::string World::Error(const SimPc& pc) const {
    return pc.seat() != nullptr ? m_scheduler.Error(*pc.seat()) : std::string{};
}

std::string World::Failure() const {
    switch (m_lastStop) {
        case SimStop::Idle:
            return "the world fell idle";
        case SimStop::Condition:
            return {};
        case SimStop::TimeReached:
            return "the run's time came";
        case SimStop::StepBudget:
            return "hand-over budget exhausted: a PC keeps finding work";
        case SimStop::TimeBudget:
            return "virtual-time budget exhausted: something stays due for ever";
    }
    return {};
}

}  // namespace sim
