// A press in a gap selects a pair and starts its swap.
#include "window/form1.h"

namespace pellorin {

// Button and Shift are not examined: every button starts a swap alike.
void Form1::Form_MouseDown(std::int16_t /*Button*/, std::int16_t /*Shift*/, float X, float Y)
{
    // While a swap runs BallNo and Flag belong to the animation; a press is
    // ignored, not remembered.
    if (Timer1.Enabled)
        return;
    if (Timer2.Enabled)
        return;

    switch (findGap(X, Y)) {
    case Gap::Vertical:
        startSwap(Timer1);
        break;
    case Gap::Horizontal:
        startSwap(Timer2);
        break;
    case Gap::None:
        break;
    }
}

void Form1::startSwap(Timer& timer)
{
    Flag = false;
    playCue(Cue::Swap);
    timer.Enabled = true;
}

} // namespace pellorin
