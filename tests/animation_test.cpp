// The swap animation: positions tick by tick, the exchange at the midpoint,
// the finish, and a new game chosen while a swap runs.
#include "fakes.h"

namespace pellorin::testing {
namespace {

struct SwapCase {
    const char* name;
    float pressX, pressY;
    int first, partner;
    bool vertical;
    friend void PrintTo(const SwapCase& c, std::ostream* os) { *os << c.name; }
};

class SwapAnimation : public ::testing::TestWithParam<SwapCase> {};

TEST_P(SwapAnimation, SlidesTogetherExchangesHalfWayAndReturnsInElevenTicks)
{
    const SwapCase& c = GetParam();
    Game game;
    game.load();
    Form1& form = game.form;
    const int firstColour = game.colour(c.first);
    const int partnerColour = game.colour(c.partner);
    ASSERT_NE(firstColour, partnerColour);
    const float firstHome = c.vertical ? form.imgBoll[c.first].Top : form.imgBoll[c.first].Left;
    const float partnerHome = c.vertical ? form.imgBoll[c.partner].Top : form.imgBoll[c.partner].Left;
    const float firstOther = c.vertical ? form.imgBoll[c.first].Left : form.imgBoll[c.first].Top;
    const float partnerOther = c.vertical ? form.imgBoll[c.partner].Left : form.imgBoll[c.partner].Top;

    game.press(c.pressX, c.pressY);
    ASSERT_EQ(Form1::toIndex(form.BallNo), c.first);

    constexpr float offsets[] = {4, 8, 12, 16, 20, 20, 16, 12, 8, 4, 0};
    for (int tick = 1; tick <= 11; ++tick) {
        SCOPED_TRACE(tick);
        ASSERT_TRUE(form.swapRunning());
        game.tick();
        const Sprite& first = form.imgBoll[c.first];
        const Sprite& partner = form.imgBoll[c.partner];
        const float offset = offsets[tick - 1];
        EXPECT_EQ(c.vertical ? first.Top : first.Left, firstHome + offset);
        EXPECT_EQ(c.vertical ? partner.Top : partner.Left, partnerHome - offset);
        EXPECT_EQ(c.vertical ? first.Left : first.Top, firstOther);
        EXPECT_EQ(c.vertical ? partner.Left : partner.Top, partnerOther);
        EXPECT_TRUE(first.Visible);
        EXPECT_TRUE(partner.Visible);
        const bool exchanged = tick >= 6;
        EXPECT_EQ(game.colour(c.first), exchanged ? partnerColour : firstColour);
        EXPECT_EQ(game.colour(c.partner), exchanged ? firstColour : partnerColour);
        if (tick < 11) { // the last tick hands Flag on to the line check
            EXPECT_EQ(form.Flag, exchanged) << "Flag is True from the exchange on";
        }
        EXPECT_EQ(form.swapRunning(), tick < 11);
    }
    const Sprite& scratch = form.imgBoll[0];
    EXPECT_FALSE(scratch.Visible);
    EXPECT_EQ(scratch.Picture, nullptr);
    EXPECT_EQ(scratch.Left, 261.0f);
    EXPECT_EQ(scratch.Top, 500.0f);
    const CursorCode gapCursor = c.vertical ? CursorCode::SizeNS : CursorCode::SizeWE;
    EXPECT_EQ(game.cursor.writes, std::vector<CursorCode>{gapCursor});
    EXPECT_EQ(game.random.draws, 0) << "the pattern board has no line to clear";
}

INSTANTIATE_TEST_SUITE_P(Pairs, SwapAnimation,
                         ::testing::Values(SwapCase{"Vertical1and9", 40, 64, 1, 9, true},
                                           SwapCase{"Horizontal1and2", 64, 40, 1, 2, false},
                                           SwapCase{"Vertical56and64", 376, 352, 56, 64, true},
                                           SwapCase{"Horizontal63and64", 352, 376, 63, 64, false},
                                           SwapCase{"Vertical28and36", 184, 208, 28, 36, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A swap that completes column 1 ends in exactly one line check, run on the
// last tick after the timer is off.
TEST(SwapFinish, RunsTheLineCheckOnceAfterDisablingTheTimer)
{
    Game game;
    game.load();
    game.paint("11111111"
               "21111111"
               "12345612"
               "13456123"
               "14561234"
               "15612345"
               "16123456"
               "12345612");
    bool timerOffAtFirstClear = false;
    game.sound.onRequest = [&](Cue cue) {
        if (cue == Cue::Clear && game.sound.count(Cue::Clear) == 1)
            timerOffAtFirstClear = !game.form.swapRunning();
    };
    game.press(64, 88); // the gap between balls 9 and 10
    ASSERT_TRUE(game.form.Timer2.Enabled);
    game.random.scriptColours({2, 3, 4, 5, 6, 2, 3, 4});
    for (int tick = 1; tick <= 10; ++tick)
        game.tick();
    EXPECT_EQ(game.sound.count(Cue::Clear), 0);
    game.tick();
    EXPECT_FALSE(game.form.swapRunning());
    EXPECT_TRUE(timerOffAtFirstClear);
    EXPECT_EQ(game.sound.count(Cue::Clear), 8);
    EXPECT_EQ(game.random.draws, 8);
    EXPECT_EQ(game.colour(1), 2);
    EXPECT_EQ(game.colour(57), 4);
    EXPECT_EQ(game.colour(10), 2) << "ball 10 took ball 9's colour";
}

TEST(SwapFinish, EqualBallsStillGoThroughTheWholeSwap)
{
    Game game;
    game.load();
    game.form.imgBoll[2].Picture = game.form.imgBoll[1].Picture;
    game.press(64, 40);
    EXPECT_EQ(game.finishSwap(), 11);
    EXPECT_EQ(game.colour(1), game.colour(2));
}

TEST(SwapFinish, DoesNotRewriteACursorThatAlreadyShowsTheGap)
{
    Game game;
    game.load();
    game.cursor.code = CursorCode::SizeNS;
    game.press(40, 64);
    game.finishSwap();
    EXPECT_TRUE(game.cursor.writes.empty());
}

TEST(SwapFinish, AFlaggedTickAtHomeRunsOnlyTheFinish)
{
    Game game;
    game.load();
    const int before = game.colour(1);
    game.form.BallNo = 1;
    game.form.Flag = true;
    game.form.Timer1.Enabled = true;
    game.tick();
    EXPECT_FALSE(game.form.Timer1.Enabled);
    EXPECT_EQ(game.form.imgBoll[1].Top, 24.0f);
    EXPECT_EQ(game.form.imgBoll[9].Top, 72.0f);
    EXPECT_EQ(game.colour(1), before);
    EXPECT_EQ(game.cursor.code, CursorCode::SizeNS);
}

TEST(SwapFinish, SetsTheGapCursorWhereverThePointerIs)
{
    Game game;
    game.load();
    game.press(64, 40);
    game.tick();
    game.move(40, 40); // over ball 1: the no-drop sign
    game.move(200, 200);
    game.finishSwap();
    EXPECT_EQ(game.cursor.code, CursorCode::SizeWE);
}

// A new game during a swap stops it: the pair goes home, the timer is off,
// no line check runs, and the next press starts a swap normally.
TEST(NewGameDuringSwap, StopsTheSwapWithBothBallsAtHome)
{
    for (int ticksBefore = 0; ticksBefore <= 10; ++ticksBefore) {
        for (const auto& [x, y] : {std::pair{40.0f, 64.0f}, std::pair{64.0f, 40.0f}}) {
            SCOPED_TRACE(ticksBefore);
            Game game;
            game.load();
            game.press(x, y);
            for (int t = 0; t < ticksBefore; ++t)
                game.tick();
            game.random.fallback = [] { return FakeRandom::valueFor(3); };
            game.form.mnuNytt_Click();
            EXPECT_FALSE(game.form.swapRunning());
            EXPECT_EQ(game.random.draws, 64);
            for (int k = 1; k <= 64; ++k) {
                EXPECT_EQ(game.form.imgBoll[k].Left, game.form.HomeLeft[k]);
                EXPECT_EQ(game.form.imgBoll[k].Top, game.form.HomeTop[k]);
                EXPECT_TRUE(game.form.imgBoll[k].Visible);
                EXPECT_EQ(game.colour(k), 3);
            }
            EXPECT_EQ(game.form.imgBoll[0].Picture, nullptr);

            game.press(376, 352);
            EXPECT_TRUE(game.form.Timer1.Enabled);
            EXPECT_EQ(game.form.BallNo, 56.0);
            game.random.fallback = [] { return FakeRandom::valueFor(3); };
            EXPECT_EQ(game.finishSwap(), 11);
        }
    }
}

} // namespace
} // namespace pellorin::testing
