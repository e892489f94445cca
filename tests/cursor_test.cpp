// Cursor feedback: the shape over each kind of place, the places that keep
// the previous shape, and writes made only on a change.
#include "fakes.h"

namespace pellorin::testing {
namespace {

constexpr auto Keep = static_cast<CursorCode>(-1);

struct CursorCase {
    const char* where;
    float x, y;
    CursorCode expected; // Keep: the shape the pointer came with stays
    friend void PrintTo(const CursorCase& c, std::ostream* os) { *os << c.where; }
};

class CursorOver : public ::testing::TestWithParam<CursorCase> {};

TEST_P(CursorOver, ShowsWhatAPressWouldDo)
{
    const CursorCase& c = GetParam();
    for (const CursorCode previous :
         {CursorCode::Default, CursorCode::SizeNS, CursorCode::SizeWE, CursorCode::NoDrop}) {
        Game game;
        game.load();
        game.cursor.code = previous;
        game.move(c.x, c.y);
        const CursorCode expected = c.expected == Keep ? previous : c.expected;
        EXPECT_EQ(game.cursor.code, expected) << "coming with " << static_cast<int>(previous);
        EXPECT_EQ(game.cursor.writes.size(), expected == previous ? 0u : 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Places, CursorOver,
                         ::testing::Values(CursorCase{"VerticalGap", 40, 64, CursorCode::SizeNS},
                                           CursorCase{"VerticalGapLastRow", 376, 352, CursorCode::SizeNS},
                                           CursorCase{"HorizontalGap", 64, 40, CursorCode::SizeWE},
                                           CursorCase{"HorizontalGapFirstPixel", 56, 40, CursorCode::SizeWE},
                                           CursorCase{"Crossing", 60, 60, CursorCode::NoDrop},
                                           CursorCase{"ColumnEdgeBetweenRows", 24, 64, CursorCode::NoDrop},
                                           CursorCase{"LeftOfBoardBetweenRows", 10, 64, CursorCode::NoDrop},
                                           CursorCase{"RightOfBoardBetweenRows", 405, 64, CursorCode::NoDrop},
                                           CursorCase{"Ball", 40, 40, CursorCode::NoDrop},
                                           CursorCase{"BallCorner", 24, 24, CursorCode::NoDrop},
                                           CursorCase{"TopMargin", 200, 10, Keep},
                                           CursorCase{"BottomMargin", 200, 405, Keep},
                                           CursorCase{"LeftMarginBesideARow", 10, 40, Keep},
                                           CursorCase{"RightMarginBesideARow", 400, 40, Keep},
                                           CursorCase{"PixelRowBelowABall", 40, 56, Keep},
                                           CursorCase{"LevelWithTheTopEdgeBetweenBalls", 64, 72, Keep}),
                         [](const auto& info) { return std::string(info.param.where); });

TEST(FormMouseMove, RepeatedMovesInOneGapWriteOnce)
{
    Game game;
    game.load();
    for (const float x : {30.0f, 35.0f, 40.0f, 45.0f, 50.0f})
        game.move(x, 64);
    EXPECT_EQ(game.cursor.writes, std::vector<CursorCode>{CursorCode::SizeNS});
}

TEST(FormMouseMove, LeavingAGapIntoTheMarginKeepsItsShape)
{
    Game game;
    game.load();
    for (float y = 40; y >= 10; y -= 5)
        game.move(64, y);
    EXPECT_EQ(game.cursor.code, CursorCode::SizeWE);
    EXPECT_EQ(game.cursor.writes.size(), 1u);
}

TEST(FormMouseMove, AMissLeavesBallNoAfterTheLastScan)
{
    Game game;
    game.load();
    game.move(200, 10);
    EXPECT_EQ(game.form.BallNo, 57.0);
}

TEST(FormMouseMove, DuringASwapOnlyTheBallsChangeTheCursor)
{
    Game game;
    game.load();
    game.press(376, 352);
    game.tick();
    const CursorCode before = game.cursor.code;
    for (const auto& [x, y] : {std::pair{64.0f, 40.0f}, std::pair{60.0f, 60.0f}, std::pair{10.0f, 64.0f}}) {
        game.move(x, y);
        EXPECT_EQ(game.cursor.code, before);
        EXPECT_EQ(game.form.BallNo, 56.0);
    }
    game.move(184, 184); // ball 28
    EXPECT_EQ(game.cursor.code, CursorCode::NoDrop);
    EXPECT_EQ(game.form.BallNo, 56.0);
    EXPECT_EQ(game.finishSwap(), 10);
}

} // namespace
} // namespace pellorin::testing
