// The production random generator: a Mersenne Twister seeded from the clock.
#include "platform/clockrandom.h"

#include <chrono>

namespace pellorin {

void ClockRandom::seedFromClock()
{
    if (m_fixedSeed) {
        m_engine.seed(*m_fixedSeed);
        return;
    }
    const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<std::uint32_t>(ticks),
                       static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks) >> 32)};
    m_engine.seed(seed);
}

float ClockRandom::next()
{
    return toUnit(static_cast<std::uint32_t>(m_engine()));
}

} // namespace pellorin
