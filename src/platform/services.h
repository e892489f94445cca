// The seams between the game window and the platform under it.
#pragma once

#include "sound/cue.h"

#include <cstdint>

namespace pellorin {

// Cursor codes of the window.
enum class CursorCode : std::int16_t {
    Default = 0,
    SizeNS = 7,  // north-south double arrow: over a vertical gap
    SizeWE = 9,  // west-east double arrow: over a horizontal gap
    NoDrop = 12, // circle with a bar: a press here does nothing
};

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
