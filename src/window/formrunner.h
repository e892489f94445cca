// Runs the game window's handlers for a shell, and tells the shell's frontend
// what each one changed: the areas to repaint and the timers to start or stop.
#pragma once

#include "platform/drawing.h"
#include "platform/frontend.h"
#include "window/form1.h"

#include <array>
#include <cstdint>

namespace pellorin {

// Handlers run one at a time and each to its end; once the window is
// unloaded none runs again. After each, the real timers are brought in line
// with the window's Enabled switches, so a timer runs exactly while it is
// enabled, and the sprites that changed are handed out for repainting.
class FormRunner {
public:
    FormRunner(Form1& form, Frontend& frontend);

    // The load handler, run once before the window is first shown.
    void load();
    void press(std::int16_t button, std::int16_t shift, float x, float y);
    void move(std::int16_t button, std::int16_t shift, float x, float y);
    void newGame();
    void quit();
    void tick(TimerId timer);
    // The window was closed from outside: the same end as quitting, without
    // asking the shell to close it again.
    void closed();

    // Draws an area of the client area as the sprites now stand.
    void paint(const Area& area, Canvas& canvas) const;

    bool timerRunning(TimerId timer) const { return m_running[index(timer)]; }
    const Form1& form() const { return m_form; }

private:
    template <class Handler>
    void run(Handler&& handler);
    void syncTimer(TimerId id, const Timer& wanted);
    static std::size_t index(TimerId timer) { return timer == TimerId::Timer1 ? 0 : 1; }

    Form1& m_form;
    Frontend& m_frontend;
    std::array<const SpriteFamily*, 2> m_families;
    ScreenDamage m_damage;
    std::array<bool, 2> m_running{};
};

} // namespace pellorin
