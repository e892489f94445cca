// Which of Qt's platforms the game asks for.
#include "shell/qt/platformchoice.h"

namespace pellorin {

DisplayEnvironment displayEnvironment()
{
    return {!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"), !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"),
            !qEnvironmentVariableIsEmpty("DISPLAY")};
}

QByteArray preferredPlatform(const DisplayEnvironment& environment, const std::function<bool()>& compositorDrawsFrames)
{
    if (environment.platformNamed || !environment.wayland || !environment.x11 || compositorDrawsFrames())
        return {};
    // Wayland still, should the X display fail.
    return QByteArrayLiteral("xcb;wayland");
}

} // namespace pellorin
