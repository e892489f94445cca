// The production random generator: a Mersenne Twister seeded from the clock.
#pragma once

#include "platform/services.h"

#include <cstdint>
#include <optional>
#include <random>

namespace pellorin {

class ClockRandom final : public RandomSource {
public:
    // With a fixed seed the clock is not read, and the same boards come again.
    explicit ClockRandom(std::optional<std::uint32_t> fixedSeed = std::nullopt) : m_fixedSeed(fixedSeed) {}

    void seedFromClock() override;
    float next() override;

    // Single-precision value in [0, 1) made from the top 24 bits of a 32-bit
    // draw: every result is exact in a float and 1 is never reached, which
    // std::uniform_real_distribution<float> does not promise.
    static float toUnit(std::uint32_t bits) { return static_cast<float>(bits >> 8) * 0x1p-24f; }

private:
    std::optional<std::uint32_t> m_fixedSeed;
    std::mt19937 m_engine;
};

} // namespace pellorin
