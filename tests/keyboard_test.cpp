// Play by keyboard through the game, and what a screen reader is told of it:
// the cursor's rules, its frame, and the words for moves, holds, swaps,
// emptied lines and deals.
#include "fakes.h"

#include "speech/words.h"
#include "window/game.h"

#include <memory>
#include <string>
#include <vector>

namespace pellorin::testing {
namespace {

using design::Key;

struct ListeningShell final : Frontend, Canvas {
    void invalidate(const Area& area) override { damage.push_back(area); }
    void showCursor(CursorCode) override {}
    void startTicking(TimerId timer, int) override { timers += timer == TimerId::Timer1 ? "start1 " : "start2 "; }
    void stopTicking(TimerId timer) override { timers += timer == TimerId::Timer1 ? "stop1 " : "stop2 "; }
    std::int32_t play(Cue cue) override
    {
        cues.push_back(cue);
        return 1;
    }
    void closeWindow() override {}
    void announce(const std::string& words) override { said.push_back(words); }
    void focusCell(int cell) override { focus.push_back(cell); }
    void cellsRenamed(std::span<const int> cells) override { renamed.assign(cells.begin(), cells.end()); }

    void begin(const DeviceRect&) override {}
    void fill(const DeviceRect& rect, Rgb colour) override
    {
        if (colour == Rgb{255, 255, 255})
            bars.push_back(rect);
    }
    void drawTile(int, int, int) override {}
    void end() override {}

    std::vector<Area> damage;
    std::string timers;
    std::vector<Cue> cues;
    std::vector<std::string> said;
    std::vector<int> focus;
    std::vector<int> renamed;
    std::vector<DeviceRect> bars;
};

// A board without complete lines: cell k shows colour ((k - 1) % 6) + 1, so
// row 1 reads röd, gul, grön, blå, magenta, orange, röd, gul.
std::unique_ptr<FakeRandom> cyclingColours()
{
    auto random = std::make_unique<FakeRandom>();
    random->fallback = [draw = 0]() mutable { return FakeRandom::valueFor(draw++ % 6 + 1); };
    return random;
}

class KeyboardPlay : public ::testing::Test {
protected:
    void SetUp() override { game.load(); }

    void keys(std::initializer_list<Key> pressed, std::int16_t shift = 0)
    {
        for (const Key key : pressed)
            game.key(key, shift, false);
    }
    // The keyboard's own repeats of a key held down.
    void repeats(Key key, int count, std::int16_t shift = 0)
    {
        for (int i = 0; i < count; ++i)
            game.key(key, shift, true);
    }
    void finishSwap(TimerId timer)
    {
        for (int tick = 0; tick < 11; ++tick)
            game.tick(timer);
    }
    // The four bars of a frame of this width in the gap around a cell, at
    // scale 1: above, below, left and right.
    static std::vector<DeviceRect> barsAround(int cell, float width)
    {
        const auto tile = cellArea(cell);
        const auto out = static_cast<int>(Keyboard::FrameGap + width);
        const auto gap = static_cast<int>(Keyboard::FrameGap);
        const auto w = static_cast<int>(width);
        const int left = static_cast<int>(tile.left) - out, top = static_cast<int>(tile.top) - out;
        const int side = static_cast<int>(tile.width) + 2 * out, inner = static_cast<int>(tile.width) + 2 * gap;
        return {{left, top, side, w},
                {left, top + side - w, side, w},
                {left, top + w, w, inner},
                {left + side - w, top + w, w, inner}};
    }
    std::vector<DeviceRect> frame()
    {
        shell.bars.clear();
        game.paint(Area{0, 0, 414, 413}, DeviceScale(1), shell);
        return shell.bars;
    }

    ListeningShell shell;
    pellorin::Game game{shell, cyclingColours()};
};

TEST_F(KeyboardPlay, TheFirstKeyOnlyShowsTheCursorAndArrowsMoveItUpToTheEdges)
{
    EXPECT_TRUE(frame().empty()) << "a mouse player sees nothing new";
    shell.damage.clear();
    keys({Key::Right});
    EXPECT_TRUE(game.keyboard().shown());
    EXPECT_EQ(game.focusedCell(), 1) << "shown where it starts, not moved";
    EXPECT_EQ(shell.focus, std::vector<int>{1}) << "the focus tells the cell";
    EXPECT_TRUE(shell.said.empty()) << "and nothing says it twice";
    ASSERT_FALSE(shell.damage.empty());
    EXPECT_EQ(shell.damage.back(),
              cellArea(1).grown(Keyboard::FrameGap + Keyboard::HeldFrameWidth + ScreenDamage::Margin))
        << "the frame's reach and the rounding margin";
    EXPECT_EQ(frame(), barsAround(1, Keyboard::FrameWidth)) << "a white frame in the gap around cell 1";

    keys({Key::Left, Key::Up});
    EXPECT_EQ(game.focusedCell(), 1) << "the edge stops it";
    EXPECT_EQ(shell.said, (std::vector<std::string>{"Rad 1, kolumn 1: röd", "Rad 1, kolumn 1: röd"}))
        << "a key refused at the edge says the cell again";
    EXPECT_EQ(shell.focus, std::vector<int>{1}) << "without moving the focus";
    keys({Key::Right, Key::Right, Key::Down});
    EXPECT_EQ(game.focusedCell(), 11);
    EXPECT_EQ(shell.focus, (std::vector<int>{1, 2, 3, 11}));
    EXPECT_EQ(shell.said.size(), 2u) << "moves are told by the focus alone";
    for (int i = 0; i < 9; ++i)
        keys({Key::Right, Key::Down});
    EXPECT_EQ(game.focusedCell(), 64);
    EXPECT_TRUE(shell.cues.size() == 1 && shell.timers.empty()) << "moving swaps nothing";
}

// A browser tells the board's keyboard focus apart from a press's: the frame
// shows then, on the cell it stood on, and the focus names the cell.
TEST_F(KeyboardPlay, TheBoardsKeyboardFocusShowsTheCursorWhereItWas)
{
    keys({Key::Right, Key::Right, Key::Down});
    game.move(0, 0, 200, 200);
    ASSERT_TRUE(frame().empty());
    shell.focus.clear();
    game.showKeyboard();
    EXPECT_EQ(frame(), barsAround(10, Keyboard::FrameWidth));
    EXPECT_EQ(shell.focus, std::vector<int>{10});
    game.showKeyboard();
    EXPECT_EQ(shell.focus, std::vector<int>{10}) << "shown already: nothing to tell";
    keys({Key::Left});
    EXPECT_EQ(game.focusedCell(), 9) << "the next arrow moves at once";
    EXPECT_TRUE(shell.said.empty());
}

TEST_F(KeyboardPlay, ShiftAndAnArrowSwapWithThatNeighbourUnderThePressRules)
{
    keys({Key::Right});
    keys({Key::Left, Key::Up}, design::ShiftKey);
    EXPECT_EQ(shell.timers, "") << "nothing lies beyond the edge";
    EXPECT_EQ(shell.said, (std::vector<std::string>{"Rad 1, kolumn 1: röd", "Rad 1, kolumn 1: röd"}))
        << "so each says the cell again, as a plain arrow at the edge does";

    shell.renamed.clear();
    keys({Key::Right}, design::ShiftKey);
    EXPECT_EQ(shell.timers, "start2 ");
    EXPECT_EQ(shell.cues.back(), Cue::Swap);
    EXPECT_EQ(game.focusedCell(), 1) << "the cursor stays on its cell";
    keys({Key::Down}, design::ShiftKey | design::ControlKey);
    EXPECT_EQ(shell.timers, "start2 ") << "a swap during a swap is ignored";

    finishSwap(TimerId::Timer2);
    EXPECT_EQ(shell.timers, "start2 stop2 ");
    EXPECT_EQ(game.colourOf(1), 2);
    EXPECT_EQ(game.colourOf(2), 1);
    EXPECT_EQ(shell.said.back(), "Bytte röd och gul");
    EXPECT_EQ(shell.renamed, (std::vector<int>{1, 2}));
    EXPECT_EQ(game.cellName(1), "Rad 1, kolumn 1: gul");
}

TEST_F(KeyboardPlay, SpaceOrEnterHoldsTheTileForTheNextArrowAndEscapeLetsGo)
{
    keys({Key::Space});
    EXPECT_FALSE(game.keyboard().held()) << "the first key only shows the cursor";
    keys({Key::Space});
    EXPECT_TRUE(game.keyboard().held());
    EXPECT_EQ(shell.said.back(), "Håller rad 1, kolumn 1: röd");
    EXPECT_EQ(frame(), barsAround(1, Keyboard::HeldFrameWidth)) << "wider while held";

    keys({Key::Escape});
    EXPECT_FALSE(game.keyboard().held());
    EXPECT_EQ(shell.said.back(), "Släppte rad 1, kolumn 1");
    keys({Key::Escape});
    EXPECT_TRUE(game.keyboard().shown()) << "Escape without a hold does nothing";

    keys({Key::Enter, Key::Up});
    EXPECT_TRUE(game.keyboard().held()) << "nothing to swap with above: still held";
    EXPECT_EQ(shell.timers, "");
    keys({Key::Down});
    EXPECT_EQ(shell.timers, "start1 ");
    EXPECT_FALSE(game.keyboard().held()) << "the swap let go";
    EXPECT_EQ(game.focusedCell(), 1);

    keys({Key::Enter, Key::Right});
    EXPECT_TRUE(game.keyboard().held()) << "the press was ignored during the swap, so the hold stays";
    keys({Key::Enter});
    EXPECT_FALSE(game.keyboard().held());
}

TEST_F(KeyboardPlay, TheMouseHidesTheCursorWhichKeepsItsPlace)
{
    keys({Key::Down, Key::Down, Key::Right, Key::Space});
    ASSERT_EQ(game.focusedCell(), 10);
    game.move(0, 0, 5, 5);
    EXPECT_FALSE(game.keyboard().shown()) << "the first move of all hides it";
    EXPECT_FALSE(game.keyboard().held()) << "the hold goes with it";
    EXPECT_TRUE(frame().empty());

    keys({Key::Space});
    game.move(0, 0, 5, 5);
    EXPECT_TRUE(game.keyboard().shown()) << "a move that goes nowhere, as a shell may repeat";
    game.move(0, 0, 6, 5);
    EXPECT_FALSE(game.keyboard().shown());

    keys({Key::Right});
    EXPECT_EQ(game.focusedCell(), 10) << "shown again where it was";
    game.press(design::LeftButton, 0, 5, 5);
    EXPECT_FALSE(game.keyboard().shown());
    keys({Key::Up});
    game.swipe({40, 40}, {80, 40});
    EXPECT_FALSE(game.keyboard().shown());
}

TEST_F(KeyboardPlay, OnlyAPlainArrowRepeats)
{
    keys({Key::Right});
    repeats(Key::Right, 3);
    EXPECT_EQ(game.focusedCell(), 4) << "a held arrow moves on, as in any grid";

    keys({Key::Down}, design::ShiftKey);
    ASSERT_EQ(shell.timers, "start1 ");
    finishSwap(TimerId::Timer1);
    const int below = game.colourOf(12);
    repeats(Key::Down, 3, design::ShiftKey);
    EXPECT_EQ(shell.timers, "start1 stop1 ") << "a held Shift+arrow does not swap the pair back";
    EXPECT_EQ(game.colourOf(12), below);

    keys({Key::Space});
    const auto said = shell.said.size();
    repeats(Key::Space, 4);
    repeats(Key::Enter, 1);
    repeats(Key::Escape, 1);
    EXPECT_TRUE(game.keyboard().held()) << "a held Space neither lets go nor takes again";
    EXPECT_EQ(shell.said.size(), said);
    repeats(Key::Left, 2);
    EXPECT_EQ(shell.timers, "start1 stop1 ") << "nor does a held arrow swap a held tile";
    EXPECT_EQ(game.focusedCell(), 4);
}

TEST_F(KeyboardPlay, ANewBoardLetsGoOfTheHeldTile)
{
    keys({Key::Space, Key::Space});
    ASSERT_TRUE(game.keyboard().held());
    shell.damage.clear();
    game.command(design::Command::NewGame);
    EXPECT_FALSE(game.keyboard().held());
    EXPECT_TRUE(game.keyboard().shown()) << "the cursor stays where it was";
    EXPECT_EQ(shell.said.back(), "Nytt spel");
    EXPECT_FALSE(shell.damage.empty());
    keys({Key::Right});
    EXPECT_EQ(shell.timers, "") << "the next arrow moves, and swaps nothing on the new board";
    EXPECT_EQ(game.focusedCell(), 2);
}

// A screen reader's activation of a cell: a double tap on a phone, Enter
// in a reader's own mode.
TEST_F(KeyboardPlay, ActivatingACellHoldsItAndItsNeighbourSwaps)
{
    game.activate(11);
    EXPECT_TRUE(game.keyboard().shown());
    EXPECT_TRUE(game.keyboard().held());
    EXPECT_EQ(shell.focus, std::vector<int>{11});
    EXPECT_EQ(shell.said.back(), "Håller rad 2, kolumn 3: magenta");

    game.activate(11);
    EXPECT_FALSE(game.keyboard().held());
    EXPECT_EQ(shell.said.back(), "Släppte rad 2, kolumn 3");

    game.activate(11);
    game.activate(20); // diagonal: not a neighbour, so the hold moves there
    EXPECT_EQ(game.focusedCell(), 20);
    EXPECT_EQ(shell.timers, "");
    game.activate(12); // above 20
    EXPECT_EQ(shell.timers, "start1 ");
    EXPECT_FALSE(game.keyboard().held());
    EXPECT_EQ(game.focusedCell(), 20) << "the cursor stays, as after Shift+arrow";

    game.activate(0);
    game.activate(65);
    EXPECT_FALSE(game.keyboard().held()) << "no such cell";
}

TEST_F(KeyboardPlay, AClosedWindowTakesNoKeyAndNamesNoCell)
{
    EXPECT_EQ(game.cellName(64), "Rad 8, kolumn 8: blå");
    EXPECT_FALSE(game.cellName(0));
    EXPECT_FALSE(game.cellName(65));
    game.quit();
    const auto said = shell.said.size();
    keys({Key::Right, Key::Space, Key::Down});
    EXPECT_EQ(shell.said.size(), said);
    EXPECT_FALSE(game.cellName(1));
}

// A swap that completes column 1 is said with the line it emptied; a deal is
// said too.
TEST(Words, NameTheSwapTheEmptiedLineAndTheDeal)
{
    auto random = std::make_unique<FakeRandom>();
    // Column 1 red but for ball 9 (yellow), ball 10 red beside it; the other
    // cells run through colours 2 to 5 so that no other line is complete.
    for (int k = 1; k <= 64; ++k) {
        const int row = (k - 1) / 8 + 1;
        const int column = (k - 1) % 8 + 1;
        const int colour = k == 9 ? 2 : (column == 1 || k == 10) ? 1 : 2 + (row + column) % 4;
        random->scriptColours({colour});
    }
    random->fallback = [] { return FakeRandom::valueFor(6); };
    ListeningShell shell;
    pellorin::Game game(shell, std::move(random));
    game.load();
    EXPECT_TRUE(shell.said.empty()) << "the first deal is the window appearing";
    EXPECT_EQ(shell.renamed.size(), 64u);

    game.press(design::LeftButton, 0, 64, 88); // the gap between balls 9 and 10
    for (int tick = 0; tick < 11; ++tick)
        game.tick(TimerId::Timer2);
    EXPECT_EQ(shell.said.back(), "Bytte gul och röd. Tömde kolumn 1");
    game.newGame();
    EXPECT_EQ(shell.said.back(), "Nytt spel");

    EXPECT_EQ(words::emptied(board::Line::Row, 3), "Tömde rad 3");
    EXPECT_EQ(words::emptied(board::Line::MainDiagonal, 1), "Tömde diagonalen från övre vänstra hörnet");
    EXPECT_EQ(words::emptied(board::Line::AntiDiagonal, 1), "Tömde diagonalen från nedre vänstra hörnet");
    EXPECT_EQ(words::colour(0), "tom");
    EXPECT_EQ(words::colour(7), "tom");
}

} // namespace
} // namespace pellorin::testing
