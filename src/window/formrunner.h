// Runs the game window's handlers for a shell, and tells the shell's frontend
// what each one changed: the areas to repaint, the timers to start or stop,
// the cells whose names changed and the words to say of it.
#pragma once

#include "platform/drawing.h"
#include "platform/frontend.h"
#include "window/form1.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace pellorin {

// Handlers run one at a time and each to its end; once the window is closed
// none runs again. After each, the real timers are brought in line with the
// window's Enabled switches, so a timer runs exactly while it is enabled, and
// the sprites that changed are handed out for repainting.
class FormRunner {
public:
    FormRunner(Form1& form, Frontend& frontend);

    // The load handler, run once before the window is first shown.
    void load();
    void press(std::int16_t button, std::int16_t shift, float x, float y);
    void move(std::int16_t button, std::int16_t shift, float x, float y);
    void newGame();
    void quit();
    // A tick of a timer that is not running, one that was stopped while
    // its tick was already on its way, does nothing.
    void tick(TimerId timer);
    // The window was closed from outside: the same end as quitting, without
    // asking the shell to close it again.
    void closed();

    // Draws an area of the client area as the sprites now stand, the fills
    // beneath them.
    void paint(const Area& area, std::span<const Fill> beneath, const DeviceScale& scale, Canvas& canvas) const;

    bool timerRunning(TimerId timer) const { return m_running[timerIndex(timer)]; }

private:
    // Runs a handler that returns the words it leaves to say, if any.
    template <class Handler>
    void run(Handler&& handler);
    void syncTimer(TimerId id, const Timer& wanted);

    Form1& m_form;
    Frontend& m_frontend;
    std::array<const SpriteFamily*, 2> m_families;
    ScreenDamage m_damage;
    std::array<bool, 2> m_running{};
    std::array<int, board::Balls + 1> m_named{}; // the colour each cell's name last gave
};

} // namespace pellorin
