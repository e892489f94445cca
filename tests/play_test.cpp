// Random play through the game window and the fake platform, checking every
// invariant of the board after every event. Deterministic from its seeds; a
// failure names the seed and the event, which replay it:
//   PELLORIN_PLAY_SEED=S PELLORIN_PLAY_EVENTS=N pellorin_play_tests
// A longer soak by hand:
//   PELLORIN_PLAY_EVENTS=5000000 pellorin_play_tests
#include "playrun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace pellorin::testing {
namespace {

// The play's choices from a seeded generator.
class SeededChoices final : public Choices {
public:
    explicit SeededChoices(std::uint32_t seed) : m_engine(seed) {}
    int uniform(int lo, int hi) override { return std::uniform_int_distribution<int>(lo, hi)(m_engine); }

private:
    std::mt19937 m_engine;
};

long eventsFromEnvironment(long fallback)
{
    const char* text = std::getenv("PELLORIN_PLAY_EVENTS");
    return text ? std::atol(text) : fallback;
}

TEST(RandomPlay, KeepsEveryInvariantAfterEveryEvent)
{
    std::vector<std::uint32_t> seeds{1, 2, 3, 20261207};
    if (const char* seed = std::getenv("PELLORIN_PLAY_SEED"))
        seeds = {static_cast<std::uint32_t>(std::strtoul(seed, nullptr, 10))};
    const long perSeed = eventsFromEnvironment(60000);
    long finished = 0, abandoned = 0, cleared = 0;
    for (const std::uint32_t seed : seeds) {
        SeededChoices choices(seed);
        PlayRun run(seed, choices);
        const std::string failure = run.play(perSeed);
        ASSERT_EQ(failure, "");
        finished += run.swapsFinished;
        abandoned += run.swapsAbandoned;
        cleared += run.linesCleared;
    }
    std::printf("%ld events: %ld swaps finished, %ld abandoned by a new game, %ld lines cleared\n",
                perSeed * static_cast<long>(seeds.size()), finished, abandoned, cleared);
    // The play must have reached what it is meant to exercise.
    EXPECT_GT(finished, 100);
    EXPECT_GT(abandoned, 0);
    EXPECT_GT(cleared, 0);
}

} // namespace
} // namespace pellorin::testing
