// The game as a shell sees it: the window, its runner, its random source and
// the keyboard's cursor, behind one object. A shell implements Frontend, owns
// one Game, and delivers its events here; everything else happens in the
// core.
#pragma once

#include "design/design.h"
#include "input/keyboard.h"
#include "platform/frontend.h"
#include "tiles/tilepainter.h"
#include "window/form1.h"
#include "window/formrunner.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace pellorin {

class GameInspector;

class Game final : private SoundPlayer, private WindowCursor, private WindowHost {
public:
    Game(Frontend& frontend, std::unique_ptr<RandomSource> random, tiles::Look look = tiles::Look::Plain);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    Game(Game&&) = delete;
    Game& operator=(Game&&) = delete;
    ~Game() override = default;

    // The load handler, run once before the window is first shown: the board
    // is dealt, and every ball's area invalidated.
    void load() { m_runner.load(); }
    // Pointer events in client pixels, with the button pressed (or the sum of
    // those held, for a move) and the modifier keys (design/design.h). A press,
    // or a move to another point, hides the keyboard's cursor.
    void press(std::int16_t button, std::int16_t shift, float x, float y);
    void move(std::int16_t buttons, std::int16_t shift, float x, float y);
    // A swipe on a touch screen, from where the finger went down to where it
    // left: the press with the left button that it stands for, if any.
    void swipe(ClientPoint from, ClientPoint to);
    // A key that plays the board, with the modifier keys held, and whether
    // it is the keyboard's own repeat of a key held down. The first arrow,
    // Space or Enter shows the keyboard's cursor; then the arrows move it,
    // Shift and an arrow swap its tile with that neighbour, and Space or
    // Enter hold the tile for the next arrow to swap (Space, Enter or Escape
    // let go). Only a plain arrow repeats.
    void key(design::Key key, std::int16_t shift, bool repeat);
    // The board got the keyboard's focus by a key (a browser's
    // :focus-visible): the cursor shows where it was, as the first key would
    // show it. A mouse player, whose focus came by a press, calls nothing.
    void showKeyboard();
    // A screen reader activated a cell (1 to 64), as a double tap does: the
    // cursor holds it, and activating a neighbour then swaps the two.
    void activate(int cell);
    // A menu command.
    void command(design::Command command);
    // A new board; a held tile is let go, since its board is gone.
    void newGame();
    // Quitting stops the timers first and only then asks the frontend to
    // close the window, so that a shell may tear everything down at once.
    void quit();
    // One tick of a timer the frontend was asked to run; a tick of one it was
    // asked to stop does nothing.
    void tick(TimerId timer) { m_runner.tick(timer); }
    // The window was closed from outside: the same end as quitting, without
    // asking the frontend to close it again.
    void closed() { m_runner.closed(); }

    // Draws an area of the client area at a scale, as the sprites and the
    // keyboard's frame now stand.
    void paint(const Area& area, const DeviceScale& scale, Canvas& canvas) const;
    // How the tiles look: the shell paints them so (tiles::paintTile).
    tiles::Look look() const { return m_look; }

    CursorCode cursor() const { return m_cursor; }
    bool timerRunning(TimerId timer) const { return m_runner.timerRunning(timer); }
    bool ended() const { return m_form.isClosed(); }
    // The bank index, 1 to 6, of the picture ball k shows, or 0.
    int colourOf(int k) const { return m_form.colourOf(k); }

    // What a screen reader reads: a cell's name, "Rad 3, kolumn 5: röd", or
    // nothing for a cell out of range or once the window has closed; the cell
    // the keyboard's cursor stands on (also while it hides).
    std::optional<std::string> cellName(int cell) const;
    int focusedCell() const { return m_keyboard.cell(); }
    const Keyboard& keyboard() const { return m_keyboard; }

private:
    friend class GameInspector; // tests look at the window itself

    std::int32_t play(Cue cue) override { return m_frontend.play(cue); }
    CursorCode get() const override { return m_cursor; }
    void set(CursorCode code) override;
    void closeWindow() override { m_closeAsked = true; }
    void hideKeyboard();
    // The keyboard's cursor as a key found it, and what the key changed.
    struct KeyboardState {
        Area frame;
        bool shown = false;
        bool held = false;
        int cell = 0;
    };
    KeyboardState keyboardState() const;
    void act(const Keyboard::Action& action, const KeyboardState& before);

    Frontend& m_frontend;
    std::unique_ptr<RandomSource> m_random;
    tiles::Look m_look;
    CursorCode m_cursor = CursorCode::Default;
    bool m_closeAsked = false;            // the window asked to be closed during a handler
    std::optional<ClientPoint> m_pointer; // where the last move was
    Keyboard m_keyboard;
    Form1 m_form;
    FormRunner m_runner;
};

} // namespace pellorin
