// Which of Qt's platforms the game asks for, before Qt picks one itself.
#pragma once

#include <QByteArray>

#include <functional>

namespace pellorin {

struct DisplayEnvironment {
    bool platformNamed = false; // the player named one in QT_QPA_PLATFORM
    bool wayland = false;       // a Wayland display is there
    bool x11 = false;           // an X display is there, on a Wayland desktop through Xwayland
};

DisplayEnvironment displayEnvironment();

// A fixed-size window wants a frame from its desktop: one without a maximise
// button and without a resizing border. Where the Wayland compositor draws
// no frames (GNOME), Qt would draw a plain grey one of its own whose buttons
// and border ignore that the window is fixed; there the game prefers the X
// display, where the desktop's own frame is drawn. Returns the platform to
// ask for, or nothing to leave Qt's choice: a player's own choice always
// stands, and where the compositor draws frames, or no X display is there,
// Wayland it is. The compositor is asked only when it matters.
QByteArray preferredPlatform(const DisplayEnvironment& environment, const std::function<bool()>& compositorDrawsFrames);

// Whether the Wayland compositor offers to draw the frames of windows
// (xdg-decoration); false where none can be reached.
bool waylandCompositorDrawsFrames();

} // namespace pellorin
