// The game as a shell sees it: the window, its runner and its random source,
// behind one object. A shell implements Frontend, owns one Game, and delivers
// its events here; everything else happens in the core.
#pragma once

#include "platform/frontend.h"
#include "window/form1.h"
#include "window/formrunner.h"

#include <cstdint>
#include <memory>

namespace pellorin {

class Game final : private SoundPlayer, private WindowCursor, private WindowHost {
public:
    Game(Frontend& frontend, std::unique_ptr<RandomSource> random);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    Game(Game&&) = delete;
    Game& operator=(Game&&) = delete;
    ~Game() override = default;

    // The load handler, run once before the window is first shown: the board
    // is dealt, and every ball's area invalidated.
    void load() { m_runner.load(); }
    // Pointer events in client pixels, with the button pressed (or the sum of
    // those held, for a move) and the modifier keys (window/design.h).
    void press(std::int16_t button, std::int16_t shift, float x, float y) { m_runner.press(button, shift, x, y); }
    void move(std::int16_t buttons, std::int16_t shift, float x, float y) { m_runner.move(buttons, shift, x, y); }
    // A swipe on a touch screen, from where the finger went down to where it
    // left: the press with the left button that it stands for, if any.
    void swipe(ClientPoint from, ClientPoint to);
    // The menu's two commands.
    void newGame() { m_runner.newGame(); }
    // Quitting stops the timers first and only then asks the frontend to
    // close the window, so that a shell may tear everything down at once.
    void quit();
    // One tick of a timer the frontend was asked to run.
    void tick(TimerId timer) { m_runner.tick(timer); }
    // The window was closed from outside: the same end as quitting, without
    // asking the frontend to close it again.
    void closed() { m_runner.closed(); }

    // Draws an area of the client area as the sprites now stand.
    void paint(const Area& area, Canvas& canvas) const { m_runner.paint(area, canvas); }

    const Form1& form() const { return m_form; }
    CursorCode cursor() const { return m_cursor; }
    bool timerRunning(TimerId timer) const { return m_runner.timerRunning(timer); }
    bool ended() const { return m_form.isUnloaded(); }
    // The bank index, 1 to 6, of a picture, or 0 for none of the bank's.
    int pictureIndex(const PictureData* picture) const;
    // The bank index of the picture ball k shows, or 0.
    int colourOf(int k) const;

private:
    std::int32_t play(Cue cue) override { return m_frontend.play(cue); }
    CursorCode get() const override { return m_cursor; }
    void set(CursorCode code) override;
    void unload() override { m_closeAsked = true; }

    Frontend& m_frontend;
    std::unique_ptr<RandomSource> m_random;
    CursorCode m_cursor = CursorCode::Default;
    bool m_closeAsked = false; // the window asked to be closed during a handler
    Form1 m_form;
    FormRunner m_runner;
};

} // namespace pellorin
