// A press in a gap selects a pair and starts its swap.
#include "window/form1.h"

#include "board/board.h"

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

    // The scans stop at the first hit, leaving the pair's first ball in BallNo.
    for (BallNo = 1; BallNo <= board::LastVerticalPair; BallNo += 1) {
        if (verticalGapHit(X, Y)) {
            startSwap(Timer1);
            return;
        }
    }
    for (BallNo = 1; BallNo <= board::LastHorizontalPair; BallNo += 1) {
        if (horizontalGapHit(X, Y)) {
            startSwap(Timer2);
            return;
        }
    }
}

void Form1::startSwap(Timer& timer)
{
    Flag = false;
    playCue(Cue::Swap);
    timer.Enabled = true;
}

} // namespace pellorin
