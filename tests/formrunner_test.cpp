// What a shell is told after each handler: the areas to repaint and the
// timers to run, and nothing at all once the window is unloaded.
#include "fakes.h"

#include "design/design.h"
#include "window/designjson.h"
#include "window/formrunner.h"
#include "window/game.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
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
    void begin(const DeviceRect& clip) override { log += "begin " + rect(clip); }
    void fill(const DeviceRect& area, Rgb colour) override
    {
        log += "fill" + std::to_string(colour.red) + " " + rect(area);
    }
    void drawTile(int picture, int left, int top) override
    {
        log += std::to_string(picture) + "@" + std::to_string(left) + "," + std::to_string(top) + " ";
    }
    void end() override { log += "end "; }
    static std::string rect(const DeviceRect& r)
    {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width) + "x"
            + std::to_string(r.height) + " ";
    }
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
    // Each with the margin that a rounded edge may reach at any scale.
    EXPECT_EQ(shell.damage.front(), (Area{22, 22, 36, 36}));
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
    EXPECT_EQ(shell.damage[0], (Area{22, 22, 36, 40}));
    EXPECT_EQ(shell.damage[1], (Area{22, 66, 36, 40}));

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
    runner.paint(Area{30, 60, 4, 4}, {}, DeviceScale(1), shell);
    // Ball 9 has the higher index and is drawn over ball 1; ball 2 (from x 72)
    // and the hidden bank are left out.
    EXPECT_EQ(shell.log, "begin 30,60,4x4 1@24,36 1@24,60 end ");

    // At 1.5 device pixels per client pixel, in device pixels: the clip
    // holds every device pixel the area touches, the fills go beneath.
    shell.log.clear();
    const std::array<Fill, 2> fills{{{{20, 50, 2, 40}, {255, 255, 255}}, {{200, 200, 2, 2}, {255, 255, 255}}}};
    runner.paint(Area{21.5f, 60, 9, 4}, fills, DeviceScale(1.5), shell);
    EXPECT_EQ(shell.log, "begin 32,90,14x6 fill255 30,75,3x60 1@36,54 1@36,90 end ");

    // A shell told in device pixels what to repaint repaints the client area
    // around them; scales out of reason are brought within it.
    EXPECT_EQ(DeviceScale(1.5).toClient(DeviceRect{31, 89, 16, 8}), (Area{20, 59, 12, 6}));
    EXPECT_EQ(DeviceScale(1.25).clientWidth(), 518);
    EXPECT_EQ(DeviceScale(1.25).clientHeight(), 516);
    EXPECT_EQ(DeviceScale(0).value(), DeviceScale::MinScale);
    EXPECT_EQ(DeviceScale(1e9).value(), DeviceScale::MaxScale);
    EXPECT_EQ(DeviceScale(std::nan("")).value(), 1.0);
}

// A tick of a timer that was stopped while the tick was on its way does
// nothing: the pair of the next swap stays where it is.
TEST_F(Runner, AStaleTickDoesNothing)
{
    runner.press(1, 0, 40, 64);
    for (int tick = 1; tick <= 11; ++tick)
        runner.tick(TimerId::Timer1);
    ASSERT_EQ(shell.log, "start1/25 stop1 ");
    runner.press(1, 0, 64, 40); // ball 1 and 2 across
    shell.damage.clear();
    runner.tick(TimerId::Timer1); // the vertical timer's tick, late
    EXPECT_TRUE(shell.damage.empty());
    EXPECT_EQ(game.form.imgBoll[1].Left, 24.0f);
    EXPECT_EQ(shell.log, "start1/25 stop1 start2/25 ");
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

// The menu's captions: "&" marks the access key, "&&" stands for itself.
TEST(Design, CaptionsMarkTheirAccessKey)
{
    EXPECT_EQ(design::plainCaption("&Nytt spel"), "Nytt spel");
    EXPECT_EQ(design::accessKey("&Nytt spel"), 'N');
    EXPECT_EQ(design::accessKey("-"), '\0');
    EXPECT_EQ(design::plainCaption("A&&B"), "A&B");
    EXPECT_EQ(design::plainCaption("-"), "-");
}

// The page's copy of the design values holds each as the core has it.
TEST(Design, ThePageReadsTheCoresOwnValues)
{
    const std::string json = design::json();
    const auto has = [&json](const std::string& fragment) {
        EXPECT_NE(json.find(fragment), std::string::npos) << fragment << " in " << json;
    };
    has("\"clientWidth\":" + std::to_string(design::ClientWidth));
    has("\"clientHeight\":" + std::to_string(design::ClientHeight));
    for (const design::NamedCursor& cursor : design::Cursors)
        has("\"" + std::string(cursor.name) + "\":" + std::to_string(static_cast<int>(cursor.code)));
    for (const design::NamedKey& key : design::Keys)
        has("\"" + std::string(key.name) + "\":" + std::to_string(static_cast<int>(key.key)));
    has("\"middle\":" + std::to_string(design::MiddleButton));
    has("\"alt\":" + std::to_string(design::AltKey));
    for (const design::MenuItem& item : design::MenuItems) {
        const char key = design::accessKey(item.caption);
        has("{\"name\":\"" + std::string(item.name) + "\",\"caption\":\"" + std::string(item.caption)
            + "\",\"label\":\"" + design::plainCaption(item.caption) + "\",\"accessKey\":\""
            + (key ? std::string(1, static_cast<char>(std::tolower(key))) : "")
            + "\",\"command\":" + std::to_string(static_cast<int>(item.command)) + "}");
    }
    for (const Cue cue : AllCues)
        has("\"" + std::string(cueFileName(cue)) + "\"");
    has("\"symbols\":\"" + std::string(design::symbolsName()) + "\"");
    has("\"symbolsOption\":\"" + std::string(design::SymbolsOption) + "\"");
    EXPECT_EQ("--" + std::string(design::symbolsName()), design::SymbolsOption);
}

// A family on its own: members not yet loaded are neither drawn nor damaged;
// one that comes into being and shows damages its area, and the area it
// leaves when hidden; addressing or loading a member wrongly throws.
TEST(ScreenDamage, FollowsMembersAsTheyComeIntoBeingShowAndHide)
{
    const auto red = std::make_shared<const PictureData>(PictureData{"red", 1});
    SpriteFamily family(2, {Sprite{10, 20, 32, 32, false, red}});
    const std::vector<const SpriteFamily*> families{&family};
    ScreenDamage damage(families);
    EXPECT_TRUE(damage.collect().empty());
    RecordingShell canvas;
    paintArea(families, {}, Area{0, 0, 414, 413}, DeviceScale(1), canvas);
    EXPECT_EQ(canvas.log, "begin 0,0,414x413 end ");

    family.load(2);
    family[2].Left = 100;
    family[2].Visible = true;
    EXPECT_EQ(damage.collect(), std::vector<Area>{(Area{98, 18, 36, 36})});
    family[2].Visible = false;
    EXPECT_EQ(damage.collect(), std::vector<Area>{(Area{98, 18, 36, 36})});
    EXPECT_TRUE(damage.collect().empty());

    EXPECT_THROW(family.load(2), std::logic_error);
    EXPECT_THROW(family.load(0), std::logic_error);
    EXPECT_THROW(family[1], std::out_of_range);
    EXPECT_THROW(family[3], std::out_of_range);
}

} // namespace
} // namespace pellorin::testing
