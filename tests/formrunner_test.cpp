// What a shell is told after each handler: the areas to repaint and the
// timers to run, and nothing at all once the window is unloaded.
#include "fakes.h"

#include "window/design.h"
#include "window/formrunner.h"
#include "window/game.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pellorin::testing {
namespace {

struct RecordingShell final : Frontend, Canvas {
    void invalidate(const Area& area) override { damage.push_back(area); }
    void showCursor(CursorCode code) override { cursors.push_back(code); }
    void startTicking(TimerId timer, int intervalMs) override { log += start(timer, intervalMs); }
    void stopTicking(TimerId timer) override { log += timer == TimerId::Timer1 ? "stop1 " : "stop2 "; }
    std::int32_t play(Cue cue) override
    {
        cues.push_back(cue);
        return 1;
    }
    void closeWindow() override { log += "close "; }
    void begin(const Area&) override { log += "begin "; }
    void draw(const PictureData& picture, const Area& area) override
    {
        log += picture.name + "@" + std::to_string(static_cast<int>(area.left)) + ","
            + std::to_string(static_cast<int>(area.top)) + " ";
    }
    void end() override { log += "end "; }
    static std::string start(TimerId timer, int intervalMs)
    {
        return (timer == TimerId::Timer1 ? "start1/" : "start2/") + std::to_string(intervalMs) + " ";
    }

    std::vector<Area> damage;
    std::vector<CursorCode> cursors;
    std::vector<Cue> cues;
    std::string log;
};

struct Runner : ::testing::Test {
    void SetUp() override
    {
        game.random.fallback = [] { return FakeRandom::valueFor(1); };
        runner.load();
    }
    Game game;
    RecordingShell shell;
    FormRunner runner{game.form, shell};
};

TEST_F(Runner, LoadingDamagesEveryBallAndStartsNoTimer)
{
    EXPECT_EQ(shell.damage.size(), 64u);
    EXPECT_EQ(shell.damage.front(), (Area{24, 24, 32, 32}));
    EXPECT_EQ(shell.log, "");
}

TEST_F(Runner, ATimerRunsExactlyWhileItIsEnabledAndEachStepDamagesThePair)
{
    shell.damage.clear();
    runner.press(1, 0, 40, 64); // the gap below ball 1
    EXPECT_EQ(shell.log, "start1/25 ");
    EXPECT_TRUE(shell.damage.empty()) << "a press moves nothing";

    runner.tick(TimerId::Timer1);
    // Ball 1 stepped from Top 24 to 28, ball 9 from 72 to 68: one area each
    // holding the old and the new place.
    ASSERT_EQ(shell.damage.size(), 2u);
    EXPECT_EQ(shell.damage[0], (Area{24, 24, 32, 36}));
    EXPECT_EQ(shell.damage[1], (Area{24, 68, 32, 36}));

    for (int tick = 2; tick <= 11; ++tick)
        runner.tick(TimerId::Timer1);
    EXPECT_EQ(shell.log, "start1/25 stop1 ");
    EXPECT_FALSE(runner.timerRunning(TimerId::Timer1));
}

TEST_F(Runner, NothingRunsOnceTheWindowIsUnloaded)
{
    runner.press(1, 0, 64, 40); // a horizontal swap is running
    runner.quit();
    EXPECT_EQ(shell.log, "start2/25 stop2 ");
    EXPECT_EQ(game.host.unloads, 1);

    shell.damage.clear();
    const auto requests = game.sound.requests.size();
    runner.tick(TimerId::Timer2);
    runner.press(1, 0, 40, 64);
    runner.newGame();
    runner.closed();
    EXPECT_TRUE(shell.damage.empty());
    EXPECT_EQ(game.sound.requests.size(), requests);
    EXPECT_EQ(shell.log, "start2/25 stop2 ");
}

TEST_F(Runner, PaintsBlackThenTheVisibleSpritesThatReachIntoTheArea)
{
    runner.press(1, 0, 40, 64);
    for (int tick = 1; tick <= 3; ++tick)
        runner.tick(TimerId::Timer1); // balls 1 and 9 now overlap at Tops 36 and 60
    shell.log.clear();
    runner.paint(Area{30, 60, 4, 4}, shell);
    // Ball 9 has the higher index and is drawn over ball 1; ball 2 (from x 72)
    // and the hidden bank are left out.
    EXPECT_EQ(shell.log, "begin red@24,36 red@24,60 end ");
}

// A game over a recording shell, dealing red tiles only.
class GameSeam : public ::testing::Test {
protected:
    static std::unique_ptr<FakeRandom> allRed()
    {
        auto random = std::make_unique<FakeRandom>();
        random->fallback = [] { return FakeRandom::valueFor(1); };
        return random;
    }

    RecordingShell shell;
    pellorin::Game game{shell, allRed()};
};

// The one seam a shell implements: the game reaches the shell only through
// its frontend, and keeps the cursor it last showed.
TEST_F(GameSeam, ReachesTheShellOnlyThroughItsFrontend)
{
    game.load();
    EXPECT_EQ(shell.damage.size(), 64u) << "the dealt board is invalidated";
    EXPECT_EQ(shell.cues, std::vector<Cue>{Cue::Clear});
    EXPECT_EQ(game.colourOf(1), 1);
    EXPECT_EQ(game.colourOf(65), 0) << "no such ball";

    game.move(0, 0, 40, 40); // over a ball
    EXPECT_EQ(game.cursor(), CursorCode::NoDrop);
    game.move(0, 0, 40, 64); // over the gap below it
    EXPECT_EQ(shell.cursors, (std::vector<CursorCode>{CursorCode::NoDrop, CursorCode::SizeNS}));

    game.press(design::RightButton, design::ShiftKey, 40, 64);
    EXPECT_EQ(shell.cues.back(), Cue::Swap);
    EXPECT_TRUE(game.timerRunning(TimerId::Timer1));
    game.quit();
    EXPECT_EQ(shell.log, "start1/25 stop1 close ");
    EXPECT_TRUE(game.ended());
    game.closed(); // the window going away after the quit asks for nothing more
    EXPECT_EQ(shell.log, "start1/25 stop1 close ");
}

TEST_F(GameSeam, AWindowClosedFromOutsideIsNotAskedToCloseAgain)
{
    game.load();
    game.closed();
    EXPECT_TRUE(game.ended());
    EXPECT_EQ(shell.log, "");
}

// A shell hands the game a swipe whole; the game presses where it points.
TEST_F(GameSeam, ASwipePressesInTheGapItPointsAt)
{
    game.load();
    game.swipe({40, 40}, {42, 41}); // too short
    game.swipe({10, 10}, {90, 10}); // from the margin
    EXPECT_EQ(shell.log, "");
    game.swipe({100, 40}, {60, 41}); // from ball 2 towards ball 1
    EXPECT_EQ(shell.log, "start2/25 ");
    EXPECT_EQ(shell.cues.back(), Cue::Swap);
}

// The values a shell takes from the core, and the page's copy of them.
TEST(Design, NamesEveryRenderingAndGivesThePageTheSameValues)
{
    EXPECT_EQ(design::renderingPath("red", 1), "tiles/red.png");
    EXPECT_EQ(design::renderingPath("orange", 3), "tiles/orange@3x.png");
    const std::string json = design::json();
    EXPECT_NE(json.find("\"clientWidth\":414,\"clientHeight\":413"), std::string::npos) << json;
    EXPECT_NE(json.find("\"sizeNS\":7"), std::string::npos) << json;
    EXPECT_NE(json.find("\"noDrop\":12"), std::string::npos) << json;
    EXPECT_NE(json.find("\"middle\":4"), std::string::npos) << json;
    EXPECT_NE(json.find("{\"name\":\"magenta\",\"renderings\":{\"1\":\"tiles/magenta.png\",\"2\":"
                        "\"tiles/magenta@2x.png\",\"3\":\"tiles/magenta@3x.png\"}}"),
              std::string::npos)
        << json;
    // Balanced, as a JSON parser would need it.
    EXPECT_EQ(std::count(json.begin(), json.end(), '{'), std::count(json.begin(), json.end(), '}'));
    EXPECT_EQ(std::count(json.begin(), json.end(), '['), std::count(json.begin(), json.end(), ']'));
}

// A family on its own: members not yet loaded are neither drawn nor damaged;
// one that comes into being and shows damages its area, and the area it
// leaves when hidden; addressing or loading a member wrongly throws.
TEST(ScreenDamage, FollowsMembersAsTheyComeIntoBeingShowAndHide)
{
    const auto red = std::make_shared<const PictureData>(PictureData{"red"});
    SpriteFamily family(2, {Sprite{10, 20, 32, 32, false, red}});
    const std::vector<const SpriteFamily*> families{&family};
    ScreenDamage damage(families);
    EXPECT_TRUE(damage.collect().empty());
    RecordingShell canvas;
    paintArea(families, Area{0, 0, 414, 413}, canvas);
    EXPECT_EQ(canvas.log, "begin end ");

    family.load(2);
    family[2].Left = 100;
    family[2].Visible = true;
    EXPECT_EQ(damage.collect(), std::vector<Area>{(Area{100, 20, 32, 32})});
    family[2].Visible = false;
    EXPECT_EQ(damage.collect(), std::vector<Area>{(Area{100, 20, 32, 32})});
    EXPECT_TRUE(damage.collect().empty());

    EXPECT_THROW(family.load(2), std::logic_error);
    EXPECT_THROW(family.load(0), std::logic_error);
    EXPECT_THROW(family[1], std::out_of_range);
    EXPECT_THROW(family[3], std::out_of_range);
}

} // namespace
} // namespace pellorin::testing
