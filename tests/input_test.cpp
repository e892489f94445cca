// Presses in the gaps: which pair a press selects, what it starts, and what
// a press anywhere else leaves alone.
#include "fakes.h"

#include <map>
#include <tuple>

namespace pellorin::testing {
namespace {

enum class Started { Nothing, Vertical, Horizontal };

struct PressOutcome {
    Started started;
    int ballNo;
};

// Presses once on a freshly loaded board.
PressOutcome pressOnce(float x, float y, std::int16_t button = 1, std::int16_t shift = 0)
{
    Game game;
    game.load();
    game.press(x, y, button, shift);
    const Started started = game.form.Timer1.Enabled ? Started::Vertical
        : game.form.Timer2.Enabled                   ? Started::Horizontal
                                                     : Started::Nothing;
    EXPECT_FALSE(game.form.Timer1.Enabled && game.form.Timer2.Enabled);
    EXPECT_EQ(game.sound.count(Cue::Swap), started == Started::Nothing ? 0 : 1);
    return {started, Form1::toIndex(game.form.BallNo)};
}

// Every pair's accepted region, edge to edge, and one pixel beyond each edge.
TEST(FormMouseDown, AcceptsEachPairsWholeRegionAndNothingBeyond)
{
    for (int n = 1; n <= 63; ++n) {
        const int row = (n - 1) / 8 + 1;
        const int column = (n - 1) % 8 + 1;
        const float left = 48.0f * (column - 1);
        const float top = 48.0f * (row - 1);
        SCOPED_TRACE(n);
        if (n <= 56) {
            for (const float x : {left + 25, left + 40, left + 55})
                for (const float y : {top + 57, top + 64, top + 71}) {
                    const PressOutcome hit = pressOnce(x, y);
                    EXPECT_EQ(hit.started, Started::Vertical) << x << "," << y;
                    EXPECT_EQ(hit.ballNo, n) << x << "," << y;
                }
            for (const auto& [x, y] : {std::pair{left + 24, top + 64}, std::pair{left + 56, top + 64},
                                       std::pair{left + 40, top + 56}, std::pair{left + 40, top + 72}})
                EXPECT_EQ(pressOnce(x, y).started, Started::Nothing) << x << "," << y;
        }
        if (column <= 7) {
            for (const float x : {left + 56, left + 64, left + 71})
                for (const float y : {top + 25, top + 40, top + 55}) {
                    const PressOutcome hit = pressOnce(x, y);
                    EXPECT_EQ(hit.started, Started::Horizontal) << x << "," << y;
                    EXPECT_EQ(hit.ballNo, n) << x << "," << y;
                }
            for (const auto& [x, y] : {std::pair{left + 55, top + 40}, std::pair{left + 72, top + 40},
                                       std::pair{left + 64, top + 24}, std::pair{left + 64, top + 56}})
                EXPECT_EQ(pressOnce(x, y).started, Started::Nothing) << x << "," << y;
        }
    }
}

// Every whole pixel of the client area: each vertical pair owns 31 by 15
// points, each horizontal pair within a row 16 by 31, and the pairs that
// would join the end of one row to the start of the next own none.
TEST(FormMouseDown, OverTheWholeClientAreaEveryPairOwnsExactlyItsGap)
{
    Game game;
    game.load();
    std::map<std::pair<Started, int>, int> owned;
    int swapSounds = 0;
    for (int y = 0; y < 413; ++y) {
        for (int x = 0; x < 414; ++x) {
            game.press(static_cast<float>(x), static_cast<float>(y));
            const Started started = game.form.Timer1.Enabled ? Started::Vertical
                : game.form.Timer2.Enabled                   ? Started::Horizontal
                                                             : Started::Nothing;
            if (started == Started::Nothing)
                continue;
            ++owned[{started, Form1::toIndex(game.form.BallNo)}];
            ++swapSounds;
            game.form.Timer1.Enabled = false;
            game.form.Timer2.Enabled = false;
        }
    }
    std::map<std::pair<Started, int>, int> expected;
    for (int n = 1; n <= 56; ++n)
        expected[{Started::Vertical, n}] = 31 * 15;
    for (int n = 1; n <= 63; ++n)
        if (n % 8 != 0)
            expected[{Started::Horizontal, n}] = 16 * 31;
    EXPECT_EQ(owned, expected);
    EXPECT_EQ(game.sound.count(Cue::Swap), swapSounds);
}

struct PointCase {
    float x, y;
    Started started;
    int ballNo; // checked when a swap starts
    friend void PrintTo(const PointCase& c, std::ostream* os) { *os << "(" << c.x << ", " << c.y << ")"; }
};

class PressAt : public ::testing::TestWithParam<PointCase> {};

TEST_P(PressAt, SelectsThePairOrNothing)
{
    const PointCase& c = GetParam();
    const PressOutcome outcome = pressOnce(c.x, c.y);
    EXPECT_EQ(outcome.started, c.started);
    if (c.started != Started::Nothing) {
        EXPECT_EQ(outcome.ballNo, c.ballNo);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Landmarks, PressAt,
    ::testing::Values(PointCase{40, 64, Started::Vertical, 1}, PointCase{64, 40, Started::Horizontal, 1},
                      PointCase{376, 352, Started::Vertical, 56}, PointCase{352, 376, Started::Horizontal, 63},
                      PointCase{56, 40, Started::Horizontal, 1}, PointCase{40, 56, Started::Nothing, 0},
                      PointCase{60, 60, Started::Nothing, 0}, PointCase{10, 40, Started::Nothing, 0},
                      PointCase{200, 10, Started::Nothing, 0}, PointCase{40, 40, Started::Nothing, 0},
                      PointCase{400, 40, Started::Nothing, 0}, PointCase{40.5f, 56.5f, Started::Vertical, 1}));

TEST(FormMouseDown, AnyButtonAndAnyModifiersStartTheSwap)
{
    for (const std::int16_t button : {1, 2, 4})
        for (const std::int16_t shift : {0, 1, 2, 4, 7}) {
            const PressOutcome outcome = pressOnce(40, 64, button, shift);
            EXPECT_EQ(outcome.started, Started::Vertical) << button << "/" << shift;
            EXPECT_EQ(outcome.ballNo, 1);
        }
}

TEST(FormMouseDown, AHitClearsFlagAndSoundsBeforeEnablingTheTimer)
{
    Game game;
    game.load();
    game.form.Flag = true;
    bool timerOnAtSound = true;
    game.sound.onRequest = [&](Cue) { timerOnAtSound = game.form.swapRunning(); };
    game.sound.result = 7;
    game.press(64, 40);
    EXPECT_FALSE(game.form.Flag);
    EXPECT_FALSE(timerOnAtSound);
    EXPECT_TRUE(game.form.Timer2.Enabled);
    EXPECT_EQ(game.form.SoundResult, 7);
}

TEST(FormMouseDown, AMissLeavesBallNoAtTheEndOfTheHorizontalScan)
{
    Game game;
    game.load();
    game.press(60, 60);
    EXPECT_EQ(game.form.BallNo, 64.0);
    EXPECT_TRUE(game.sound.requests.empty());
}

TEST(FormMouseDown, PressesDuringASwapChangeNothing)
{
    Game game;
    game.load();
    game.press(40, 64);
    game.tick();
    game.tick();
    for (const auto& [x, y] : {std::pair{64.0f, 40.0f}, std::pair{376.0f, 352.0f}, std::pair{40.0f, 64.0f}}) {
        game.press(x, y);
        EXPECT_EQ(game.form.BallNo, 1.0);
        EXPECT_TRUE(game.form.Timer1.Enabled);
        EXPECT_FALSE(game.form.Timer2.Enabled);
    }
    EXPECT_EQ(game.sound.count(Cue::Swap), 1);
    EXPECT_EQ(game.finishSwap(), 9);
}

// The bank pictures are never shown, but the routing rule holds for them too:
// a visible bank sprite over a gap owns the points it covers, and having no
// handlers, takes presses and moves there without a swap or a cursor change.
TEST(Routing, AVisibleBankSpriteOverAGapSwallowsPressesAndMoves)
{
    Game game;
    game.load();
    game.form.imgBank[1].Left = 24;
    game.form.imgBank[1].Top = 48;
    game.form.imgBank[1].Visible = true;
    game.move(40, 64);
    game.press(40, 64);
    EXPECT_FALSE(game.form.swapRunning());
    EXPECT_TRUE(game.cursor.writes.empty());
    game.form.imgBank[1].Visible = false;
    game.press(40, 64);
    EXPECT_TRUE(game.form.Timer1.Enabled);
}

} // namespace
} // namespace pellorin::testing

namespace pellorin::testing {
namespace {

// What a swipe on a fresh board stands for: the pair its press selects.
PressOutcome swipeOnce(ClientPoint from, ClientPoint to)
{
    Game game;
    game.load();
    const auto gap = game.form.swipeGap(from, to);
    if (!gap)
        return {Started::Nothing, 0};
    return pressOnce(gap->x, gap->y);
}

ClientPoint centreOf(int k)
{
    return {static_cast<float>(board::homeLeft((k - 1) % 8 + 1) + 16),
            static_cast<float>(board::homeTop((k - 1) / 8 + 1) + 16)};
}

// From every tile in each of the four directions: the neighbour's pair, or
// nothing off the board's edge.
TEST(Swipe, FromEachTileSelectsThePairItPointsAt)
{
    struct Direction {
        float dx, dy;
        int pairOffset; // from the ball swiped to the pair's first ball
        Started started;
    };
    const Direction directions[] = {{20, 3, 0, Started::Horizontal},
                                    {-20, -3, -1, Started::Horizontal},
                                    {2, 25, 0, Started::Vertical},
                                    {-2, -25, -8, Started::Vertical}};
    for (int k = 1; k <= 64; ++k) {
        const int row = (k - 1) / 8 + 1;
        const int column = (k - 1) % 8 + 1;
        for (const Direction& d : directions) {
            SCOPED_TRACE(::testing::Message() << "ball " << k << " by " << d.dx << "," << d.dy);
            const ClientPoint from = centreOf(k);
            const PressOutcome outcome = swipeOnce(from, {from.x + d.dx, from.y + d.dy});
            // The longer stroke is the direction; the shorter one is a wobble.
            const bool across = d.started == Started::Horizontal;
            const bool offBoard = across ? (d.dx > 0 ? column == 8 : column == 1) : (d.dy > 0 ? row == 8 : row == 1);
            if (offBoard) {
                EXPECT_EQ(outcome.started, Started::Nothing);
            } else {
                EXPECT_EQ(outcome.started, d.started);
                EXPECT_EQ(outcome.ballNo, k + d.pairOffset);
            }
        }
    }
}

TEST(Swipe, PressesInTheMiddleOfTheGap)
{
    Game game;
    game.load();
    const auto across = game.form.swipeGap({40, 40}, {70, 45});
    ASSERT_TRUE(across);
    EXPECT_EQ(across->x, 64.0f);
    EXPECT_EQ(across->y, 40.0f);
    const auto down = game.form.swipeGap({40, 40}, {40, 200});
    ASSERT_TRUE(down);
    EXPECT_EQ(down->x, 40.0f);
    EXPECT_EQ(down->y, 64.0f);
}

// A third of a tile is 32 / 3 pixels; the swipe must end past it, and off the
// tile it started on.
TEST(Swipe, TooShortOnTheSameTileOrFromOffATileIsNothing)
{
    const struct {
        ClientPoint from, to;
        Started started;
    } cases[] = {
        {{55, 40}, {65.6f, 40}, Started::Nothing},    // off the tile, but only 10.6 long
        {{55, 40}, {65.7f, 40}, Started::Horizontal}, // 10.7
        {{25, 40}, {55, 40}, Started::Nothing},       // 30 long, still on the tile
        {{40, 55}, {40, 65.6f}, Started::Nothing},
        {{40, 55}, {40, 65.7f}, Started::Vertical},
        {{40, 40}, {60, 60}, Started::Nothing}, // as far down as across: no direction
        {{40, 40}, {61, 60}, Started::Horizontal},
        {{40, 40}, {60, 61}, Started::Vertical},
        {{64, 40}, {90, 40}, Started::Nothing}, // from a gap
        {{64, 64}, {90, 64}, Started::Nothing}, // from a crossing
        {{10, 40}, {40, 40}, Started::Nothing}, // from the margin
        {{23.9f, 40}, {60, 40}, Started::Nothing},
        {{24, 40}, {60, 40}, Started::Horizontal}, // the tile's first column of pixels
        {{55.9f, 40}, {70, 40}, Started::Horizontal},
        {{56, 40}, {70, 40}, Started::Nothing}, // one past its last
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y);
        EXPECT_EQ(swipeOnce(c.from, c.to).started, c.started);
    }
}

// A swipe is a press: during a swap it is ignored like one, through the
// same game object a shell drives.
TEST(Swipe, IsIgnoredDuringASwap)
{
    Game game;
    game.load();
    game.press(40, 64);
    game.tick();
    const float top = game.form.imgBoll[2].Top;
    const auto gap = game.form.swipeGap(centreOf(2), {centreOf(2).x, centreOf(2).y + 20});
    ASSERT_TRUE(gap);
    game.press(gap->x, gap->y);
    EXPECT_EQ(Form1::toIndex(game.form.BallNo), 1) << "the running swap keeps its pair";
    EXPECT_EQ(game.form.imgBoll[2].Top, top);
    EXPECT_EQ(game.finishSwap(), 10);
}

} // namespace
} // namespace pellorin::testing
