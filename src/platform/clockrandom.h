// The production random generator: a Mersenne Twister seeded from the clock.
#pragma once

#include "platform/services.h"

#include <random>

namespace pellorin {

class ClockRandom final : public RandomSource {
public:
    void seedFromClock() override;
    float next() override;

    // Single-precision value in [0, 1) made from the top 24 bits of a 32-bit
    // draw: every result is exact in a float and 1 is never reached, which
    // std::uniform_real_distribution<float> does not promise.
    static float toUnit(std::uint32_t bits) { return static_cast<float>(bits >> 8) * 0x1p-24f; }

private:
    std::mt19937 m_engine;
};

} // namespace pellorin
