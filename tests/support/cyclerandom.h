// A random source that colours every deal and refill from a fixed cycle of
// bank indices, so that a test knows the board.
#pragma once

#include "platform/services.h"

#include <vector>

namespace pellorin::testing {

class CycleRandom final : public RandomSource {
public:
    explicit CycleRandom(std::vector<int> colours) : m_colours(std::move(colours)) {}
    void seedFromClock() override {}
    // The middle of the colour's share of [0, 1).
    float next() override
    {
        const int r = m_colours[m_next++ % m_colours.size()];
        return (static_cast<float>(r) - 0.5f) / 6.0f;
    }

private:
    std::vector<int> m_colours;
    std::size_t m_next = 0;
};

} // namespace pellorin::testing
