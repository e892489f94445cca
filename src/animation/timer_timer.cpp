// The swap animation: the pair slides together, exchanges pictures half-way
// and slides home, 4 pixels a tick, 11 ticks in all.
#include "window/form1.h"

#include "board/board.h"

namespace pellorin {
namespace {
constexpr float Step = 4.0f; // divides the half pitch of 24, so ball n meets it exactly
} // namespace

void Form1::Timer1_Timer()
{
    swapTick(Axis::Vertical);
}

void Form1::Timer2_Timer()
{
    swapTick(Axis::Horizontal);
}

// One tick on either axis. Only ball n's coordinate is tested, read afresh
// from its sprite for each of the four blocks; its partner mirrors it step
// for step. The blocks run in order and several may run in one tick: the
// sixth tick approaches to the midpoint, exchanges and starts back, and the
// eleventh returns home and finishes.
void Form1::swapTick(Axis axis)
{
    const bool vertical = axis == Axis::Vertical;
    Timer& timer = vertical ? Timer1 : Timer2;
    const int n = toIndex(BallNo);
    const int partner = toIndex(BallNo + (vertical ? board::BelowOffset : board::RightOffset));
    const double home = vertical ? HomeTop.at(n) : HomeLeft.at(n);
    const auto homePosition = static_cast<float>(home);
    const auto midpoint = static_cast<float>(home + board::HalfPitch);
    const auto position = [&] { return vertical ? imgBoll[n].Top : imgBoll[n].Left; };

    if (position() < midpoint && !Flag) {
        moveBy(n, axis, Step);
        moveBy(partner, axis, -Step);
    }
    if (position() == midpoint) {
        // Sprite 0 holds ball n's picture while the partner's takes its place.
        // Only references change hands, so each ball ends up showing the very
        // bank picture the other showed and colour equality still holds.
        Flag = true;
        imgBoll[0].Picture = imgBoll[n].Picture;
        imgBoll[n].Picture = imgBoll[partner].Picture;
        imgBoll[partner].Picture = imgBoll[0].Picture;
        imgBoll[0].Picture = nullptr;
    }
    if (position() > homePosition && Flag) {
        moveBy(n, axis, -Step);
        moveBy(partner, axis, Step);
    }
    if (position() == homePosition && Flag) {
        setCursorUnlessAlready(vertical ? CursorCode::SizeNS : CursorCode::SizeWE);
        // Disabled before the line check, so presses are accepted again as
        // soon as this tick returns.
        timer.Enabled = false;
        CheckLines();
    }
}

// A sprite is moved by hiding it, changing its coordinate and showing it again.
void Form1::moveBy(int ball, Axis axis, float delta)
{
    Sprite& sprite = imgBoll[ball];
    sprite.Visible = false;
    if (axis == Axis::Vertical)
        sprite.Top += delta;
    else
        sprite.Left += delta;
    sprite.Visible = true;
}

// Ends a running swap at once: both balls back at home, the scratch sprite
// empty, the timer off, and no line check.
void Form1::abandonSwap()
{
    const bool vertical = Timer1.Enabled;
    const int n = toIndex(BallNo);
    const int partner = toIndex(BallNo + (vertical ? board::BelowOffset : board::RightOffset));
    for (const int ball : {n, partner}) {
        Sprite& sprite = imgBoll[ball];
        sprite.Visible = false;
        sprite.Left = static_cast<float>(HomeLeft.at(ball));
        sprite.Top = static_cast<float>(HomeTop.at(ball));
        sprite.Visible = true;
    }
    imgBoll[0].Picture = nullptr;
    Timer1.Enabled = false;
    Timer2.Enabled = false;
}

} // namespace pellorin
