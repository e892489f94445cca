// Building the board at load and dealing: homes, counters, the colour rule
// and the order in which a deal draws, sounds and colours.
#include "fakes.h"

#include "platform/clockrandom.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace pellorin::testing {
namespace {

TEST(BuildBoard, PlacesEveryBallAtItsHomeAndRecordsIt)
{
    Game game;
    game.load();
    const Form1& form = game.form;
    for (int row = 1; row <= 8; ++row) {
        for (int column = 1; column <= 8; ++column) {
            const int k = (row - 1) * 8 + column;
            SCOPED_TRACE(k);
            const double left = 24 + 48 * (column - 1);
            const double top = 24 + 48 * (row - 1);
            EXPECT_EQ(form.HomeLeft[k], left);
            EXPECT_EQ(form.HomeTop[k], top);
            EXPECT_EQ(form.imgBoll[k].Left, left);
            EXPECT_EQ(form.imgBoll[k].Top, top);
            EXPECT_EQ(form.imgBoll[k].Width, 32.0f);
            EXPECT_EQ(form.imgBoll[k].Height, 32.0f);
            EXPECT_TRUE(form.imgBoll[k].Visible);
            // The one cell rule every shell reads: where ball k stands.
            EXPECT_EQ(board::cellOf(k), (board::Cell{row, column}));
            EXPECT_EQ(cellArea(k), (Area{static_cast<float>(left), static_cast<float>(top), 32, 32}));
            EXPECT_EQ(DeviceScale(1.5).cell(k), DeviceScale(1.5).tile(form.imgBoll[k].Left, form.imgBoll[k].Top));
        }
    }
    EXPECT_EQ(form.HomeLeft[0], 0.0);
    EXPECT_EQ(form.HomeTop[0], 0.0);
    EXPECT_EQ(form.HomeLeft[64], 360.0);
    EXPECT_EQ(form.HomeTop[57], 360.0);
}

TEST(BuildBoard, LeavesCountersTemplateAndBankAsDesigned)
{
    Game game;
    game.load();
    const Form1& form = game.form;
    EXPECT_EQ(form.Row, 9.0);
    EXPECT_EQ(form.Col, 9.0);
    EXPECT_EQ(form.BallNo, 65.0);
    EXPECT_EQ(game.random.seeds, 1);
    EXPECT_FALSE(form.Timer1.Enabled);
    EXPECT_FALSE(form.Timer2.Enabled);
    EXPECT_EQ(form.Timer1.Interval, 25);
    EXPECT_EQ(form.Timer2.Interval, 25);

    const Sprite& scratch = form.imgBoll[0];
    EXPECT_FALSE(scratch.Visible);
    EXPECT_EQ(scratch.Left, 261.0f);
    EXPECT_EQ(scratch.Top, 500.0f);
    EXPECT_EQ(scratch.Picture, nullptr);

    EXPECT_EQ(form.imgBank[0].Picture, nullptr);
    for (int r = 0; r <= 6; ++r) {
        EXPECT_FALSE(form.imgBank[r].Visible);
        EXPECT_EQ(form.imgBank[r].Top, 500.0f);
    }
    for (int r = 1; r <= 6; ++r)
        for (int s = r + 1; s <= 6; ++s)
            EXPECT_NE(form.imgBank[r].Picture, form.imgBank[s].Picture);
}

TEST(Deal, ColoursBallKFromTheKthValueAndDrawsNoMore)
{
    Game game;
    game.load();
    for (int k = 1; k <= 64; ++k)
        game.random.script.push_back(FakeRandom::valueFor((k * 5) % 6 + 1));
    game.form.mnuNytt_Click();
    EXPECT_EQ(game.random.draws, 64);
    EXPECT_TRUE(game.random.script.empty());
    for (int k = 1; k <= 64; ++k)
        EXPECT_EQ(game.colour(k), (k * 5) % 6 + 1) << "ball " << k;
    EXPECT_EQ(game.form.BallNo, 65.0);
}

TEST(Deal, RequestsTheClearSoundOnceBeforeAnyCellChanges)
{
    Game game;
    game.load();
    const std::vector<int> before = game.colours();
    std::vector<std::vector<int>> boardAtRequest;
    game.sound.onRequest = [&](Cue) { boardAtRequest.push_back(game.colours()); };
    game.random.fallback = [] { return FakeRandom::valueFor(1); };
    game.form.mnuNytt_Click();
    ASSERT_EQ(game.sound.requests, std::vector<Cue>{Cue::Clear});
    EXPECT_EQ(boardAtRequest.front(), before);
    EXPECT_EQ(game.form.SoundResult, 1);
}

TEST(Deal, EqualDrawsShareOneBankPictureAndNothingMoves)
{
    Game game;
    game.load();
    const auto homeLeft = game.form.HomeLeft;
    const auto homeTop = game.form.HomeTop;
    game.random.fallback = [] { return 0.5f; };
    game.form.mnuNytt_Click();
    for (int k = 1; k <= 64; ++k) {
        EXPECT_EQ(game.form.imgBoll[k].Picture.get(), game.form.imgBank[4].Picture.get());
        EXPECT_EQ(game.form.imgBoll[k].Left, game.form.HomeLeft[k]);
        EXPECT_EQ(game.form.imgBoll[k].Top, game.form.HomeTop[k]);
    }
    EXPECT_EQ(game.form.HomeLeft, homeLeft);
    EXPECT_EQ(game.form.HomeTop, homeTop);
    EXPECT_EQ(game.form.imgBank[4].Picture.use_count(), 1 + 64) << "the deal copied a picture";
}

TEST(Deal, CanLeaveACompleteLineUntilTheNextSwap)
{
    Game game;
    game.load();
    game.random.fallback = [] { return 0.0f; };
    game.form.mnuNytt_Click();
    EXPECT_EQ(game.colours(), std::vector<int>(64, 1));
    EXPECT_EQ(game.sound.count(Cue::Clear), 1);
}

struct ColourCase {
    float u;
    int colour;
    friend void PrintTo(const ColourCase& c, std::ostream* os) { *os << "u=" << c.u; }
};

class ColourRule : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourRule, MapsTheUnitIntervalOntoSixEqualColours)
{
    EXPECT_EQ(board::colourOf(GetParam().u), GetParam().colour);
}

INSTANTIATE_TEST_SUITE_P(Edges, ColourRule,
                         ::testing::Values(ColourCase{0.0f, 1}, ColourCase{std::nextafter(1.0f / 6, 0.0f), 1},
                                           ColourCase{0.2f, 2}, ColourCase{0.5f, 4},
                                           ColourCase{std::nextafter(5.0f / 6, 0.0f), 5}, ColourCase{0.9f, 6},
                                           ColourCase{std::nextafter(1.0f, 0.0f), 6}));

// The arithmetic the colour rule rests on. A float u is m * 2^(e - 24) for an
// integer m below 2^24, so u * 6 and u * 6 + 1 are the integers 6m and
// 6m + 2^(24 - e) times 2^(e - 24): scaled back by that power of two, exact
// double results are those integers.
TEST(ColourRule, ProductAndSumAreExactInDoubleFrom2ToTheMinus30Up)
{
    std::vector<float> values{0x1p-30f, std::nextafter(0x1p-30f, 1.0f), std::nextafter(1.0f / 6, 0.0f), 0.2f,
                              0.5f,     std::nextafter(1.0f, 0.0f)};
    std::mt19937 engine(20261208);
    for (int i = 0; i < 5000; ++i) {
        const float significand = std::uniform_real_distribution<float>(0.5f, 1.0f)(engine);
        values.push_back(std::ldexp(significand, -std::uniform_int_distribution<int>(0, 29)(engine)));
    }
    // Whether the sum is exact, and whether the product is.
    const auto exact = [](float u) {
        int e = 0;
        const auto m = static_cast<std::uint64_t>(std::ldexp(std::frexp(u, &e), 24));
        const double product = static_cast<double>(u) * board::Colours;
        const double sum = product + 1.0;
        const bool productExact = std::ldexp(product, 24 - e) == static_cast<double>(6 * m);
        const bool sumExact
            = static_cast<std::uint64_t>(std::ldexp(sum, 24 - e)) == 6 * m + (std::uint64_t{1} << (24 - e));
        return std::pair{productExact, sumExact};
    };
    for (const float u : values)
        ASSERT_EQ(exact(u), std::pair(true, true)) << "u=" << u;
    // Just below 2^-30 the sum rounds, and the colour is still 1.
    const float below = std::nextafter(0x1p-30f, 0.0f);
    EXPECT_EQ(exact(below), std::pair(true, false));
    EXPECT_EQ(board::colourOf(below), 1);
    EXPECT_EQ(board::colourOf(std::numeric_limits<float>::denorm_min()), 1);
    // In single precision the product of the largest float below 1 is rounded.
    volatile float top = std::nextafter(1.0f, 0.0f);
    const float singleProduct = top * static_cast<float>(board::Colours);
    EXPECT_NE(static_cast<double>(singleProduct), static_cast<double>(top) * board::Colours);
}

// Every value the game's generator can draw, k * 2^-24, against the integer
// form of the rule: colour floor(6k / 2^24) + 1, never 7.
TEST(ColourRule, EveryGeneratorValueGetsItsColour)
{
    for (std::uint32_t k = 0; k < (1u << 24); ++k) {
        const int expected = static_cast<int>((std::uint64_t{6} * k) >> 24) + 1;
        const int colour = board::colourOf(ClockRandom::toUnit(k << 8));
        if (colour != expected)
            FAIL() << "k=" << k << " gives " << colour << ", not " << expected;
    }
}

// A fixed seed draws the same values again, whatever the clock says: the
// browser's tests and any replay of a reported board depend on it.
TEST(ClockRandom, AFixedSeedRepeatsItsDraws)
{
    const auto draws = [](std::uint32_t seed) {
        ClockRandom random(seed);
        random.seedFromClock();
        std::vector<float> values(64);
        for (float& u : values)
            u = random.next();
        return values;
    };
    EXPECT_EQ(draws(42), draws(42));
    EXPECT_NE(draws(42), draws(43));
}

TEST(ClockRandom, StaysInsideTheUnitIntervalAtBothEnds)
{
    EXPECT_EQ(ClockRandom::toUnit(0u), 0.0f);
    const float top = ClockRandom::toUnit(std::numeric_limits<std::uint32_t>::max());
    EXPECT_LT(top, 1.0f);
    EXPECT_EQ(board::colourOf(top), 6);

    ClockRandom random;
    random.seedFromClock();
    int seen[7] = {};
    for (int i = 0; i < 60000; ++i) {
        const float u = random.next();
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
        ++seen[board::colourOf(u)];
    }
    for (int r = 1; r <= 6; ++r)
        EXPECT_NEAR(seen[r], 10000, 600) << "colour " << r;
}

} // namespace
} // namespace pellorin::testing
