// Fuzz target for the game window's events: the input's bytes choose a
// sequence of presses, moves, ticks, new games, palettes and quits, played
// through the fake platform with every invariant of the board checked after
// each event, as the random play test does with a seeded generator.
#include "playrun.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <span>

namespace {

// Choices read from the bytes: one byte for a range of up to 256 values, two
// for a wider one. The play ends when the bytes do.
class ByteChoices final : public pellorin::testing::Choices {
public:
    explicit ByteChoices(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    int uniform(int lo, int hi) override
    {
        const unsigned range = static_cast<unsigned>(hi - lo) + 1;
        unsigned value = take();
        if (range > 256)
            value = value << 8 | take();
        return lo + static_cast<int>(value % range);
    }
    bool exhausted() const override { return m_at >= m_bytes.size(); }

private:
    unsigned take() { return m_at < m_bytes.size() ? m_bytes[m_at++] : 0; }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t SeedBytes = 4;
    if (size < SeedBytes)
        return 0;
    // The first bytes seed the game's own draws, so that dealt boards differ too.
    const std::uint32_t seed = std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 | std::uint32_t{data[2]} << 16
        | std::uint32_t{data[3]} << 24;
    ByteChoices choices(std::span(data + SeedBytes, size - SeedBytes));
    pellorin::testing::PlayRun run(seed, choices);
    const std::string failure = run.play(std::numeric_limits<long>::max());
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
