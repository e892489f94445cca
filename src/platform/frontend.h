// The one seam between the game and a shell: everything the game asks of the
// program around it. A shell implements it once and drives the game through
// Game (window/game.h).
#pragma once

#include "platform/drawing.h"
#include "platform/services.h"
#include "sound/cue.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pellorin {

// The two real timers a shell runs, one per timer of the window, and their
// places 0 and 1 in an array of two.
enum class TimerId { Timer1, Timer2 };
inline constexpr std::array<TimerId, 2> AllTimers{TimerId::Timer1, TimerId::Timer2};
constexpr std::size_t timerIndex(TimerId timer)
{
    return timer == TimerId::Timer1 ? 0 : 1;
}

class Frontend {
public:
    virtual ~Frontend() = default;

    // The area shows something else now: draw it again soon, through
    // Game::paint. A shell may also draw at once.
    virtual void invalidate(const Area& area) = 0;

    // Show this cursor over the whole client area from now on.
    virtual void showCursor(CursorCode code) = 0;

    // Start a periodic timer whose first tick comes one interval from now, or
    // stop it so that no further tick arrives. Between the two the shell
    // calls Game::tick once per interval.
    virtual void startTicking(TimerId timer, int intervalMs) = 0;
    virtual void stopTicking(TimerId timer) = 0;

    // Start a cue asynchronously and return at once: non-zero when the
    // request was accepted. A newer cue cuts off the older; every failure is
    // silent.
    virtual std::int32_t play(Cue cue) = 0;

    // The window is gone: close it and end the program with status 0.
    virtual void closeWindow() = 0;

    // What a screen reader follows. A shell that offers none to its screen
    // reader's interface may leave these as they are.
    // Words to say now, as a status message: a swap, a line emptied, a deal,
    // a hold taken or let go, a key refused at the board's edge (the cell's
    // name again). Never a move of the cursor: focusCell tells that.
    virtual void announce(const std::string& /*words*/) {}
    // The keyboard's cursor shows, or moved, on this cell (1 to 64) now: a
    // screen reader says the cell's name from its focus.
    virtual void focusCell(int /*cell*/) {}
    // These cells show another colour now, so their names changed.
    virtual void cellsRenamed(std::span<const int> /*cells*/) {}
};

} // namespace pellorin
