// Built without Wayland, the game cannot ask a compositor, and leaves the
// choice of platform to Qt.
#include "shell/qt/platformchoice.h"

namespace pellorin {

bool waylandCompositorDrawsFrames()
{
    return true;
}

} // namespace pellorin
