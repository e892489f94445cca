// The seams between the game window and the platform under it.
#pragma once

#include "design/design.h"
#include "sound/cue.h"

#include <cstdint>

namespace pellorin {

// Uniform single-precision values in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seedFromClock() = 0;
    virtual float next() = 0;
};

// Starts a cue asynchronously and returns at once. The result is non-zero
// when the request was accepted; nobody needs to act on it.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual std::int32_t play(Cue cue) = 0;
};

// The mouse cursor shown over the whole client area.
class WindowCursor {
public:
    virtual ~WindowCursor() = default;
    virtual CursorCode get() const = 0;
    virtual void set(CursorCode code) = 0;
};

// What the window asks of the program around it.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    // Destroy the window and end the program.
    virtual void closeWindow() = 0;
};

struct Services {
    RandomSource& random;
    SoundPlayer& sound;
    WindowCursor& cursor;
    WindowHost& host;
};

} // namespace pellorin
