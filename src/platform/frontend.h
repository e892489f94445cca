// The one seam between the game and a shell: everything the game asks of the
// program around it. A shell implements it once and drives the game through
// Game (window/game.h).
#pragma once

#include "platform/drawing.h"
#include "platform/services.h"
#include "sound/cue.h"

#include <cstdint>

namespace pellorin {

// The two real timers a shell runs, one per timer of the window.
enum class TimerId { Timer1, Timer2 };

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
};

} // namespace pellorin
