// Which platform the game asks Qt for, and when it asks the compositor.
#include "shell/qt/platformchoice.h"

#include <gtest/gtest.h>

namespace pellorin {
namespace {

struct Choice {
    DisplayEnvironment environment;
    bool compositorDrawsFrames;
    const char* platform; // what the game asks for; "" leaves Qt's choice
    bool compositorAsked;
};

TEST(PreferredPlatform, XOnlyBesideACompositorThatDrawsNoFramesAndOnlyWhenThePlayerNamedNone)
{
    const Choice choices[] = {
        {{false, true, true}, false, "xcb;wayland", true}, // GNOME: Xwayland for the desktop's own frame
        {{false, true, true}, true, "", true},             // KDE Plasma: the compositor draws the frame
        {{false, true, false}, false, "", false},          // Wayland alone: nothing else to take
        {{false, false, true}, false, "", false},          // X11
        {{true, true, true}, false, "", false},            // the player's QT_QPA_PLATFORM stands
        {{false, false, false}, false, "", false},         // Windows, macOS
    };
    for (const Choice& c : choices) {
        bool asked = false;
        const QByteArray platform = preferredPlatform(c.environment, [&] {
            asked = true;
            return c.compositorDrawsFrames;
        });
        const auto& e = c.environment;
        SCOPED_TRACE(::testing::Message() << "named " << e.platformNamed << " wayland " << e.wayland << " x11 " << e.x11
                                          << " frames " << c.compositorDrawsFrames);
        EXPECT_EQ(platform, QByteArray(c.platform));
        EXPECT_EQ(asked, c.compositorAsked);
    }
}

} // namespace
} // namespace pellorin
