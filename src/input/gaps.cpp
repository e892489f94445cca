// The gap regions of a pair, tested against the live sprite geometry.
//
// Each test takes the pair's first ball from BallNo, the scan counter of the
// press and move handlers. Positions are read from the sprites at the moment
// of the test, never from the home arrays. All bounds are strict, and the
// sums are rounded to single precision before they are compared, as the
// sprites themselves hold single-precision values.
#include "window/form1.h"

#include "board/board.h"

namespace pellorin {

// The vertical scan, then the horizontal scan, each over BallNo and ending at
// its first hit, which it leaves in BallNo. After a miss BallNo is 64.
Form1::Gap Form1::findGap(float X, float Y)
{
    for (BallNo = 1; BallNo <= board::LastVerticalPair; BallNo += 1) {
        if (verticalGapHit(X, Y))
            return Gap::Vertical;
    }
    for (BallNo = 1; BallNo <= board::LastHorizontalPair; BallNo += 1) {
        if (horizontalGapHit(X, Y))
            return Gap::Horizontal;
    }
    return Gap::None;
}

// Strictly between the bottom of ball n and the top of the ball below it.
bool Form1::betweenRows(float Y) const
{
    const Sprite& upper = imgBoll[toIndex(BallNo)];
    const Sprite& lower = imgBoll[toIndex(BallNo + board::BelowOffset)];
    const float upperBottom = upper.Top + upper.Height;
    return upperBottom < Y && Y < lower.Top;
}

// The gap below ball n, limited to ball n's column.
bool Form1::verticalGapHit(float X, float Y) const
{
    if (!betweenRows(Y))
        return false;
    const Sprite& upper = imgBoll[toIndex(BallNo)];
    const float upperRight = upper.Left + upper.Width;
    return upper.Left < X && X < upperRight;
}

// From ball n's left edge to ball n + 1's right edge, within ball n's row.
// The balls themselves take their own presses, so what reaches this test is
// the gap between them. For n at the end of a row, ball n + 1 starts the next
// row at the far left and the column test can never pass.
bool Form1::horizontalGapHit(float X, float Y) const
{
    const Sprite& left = imgBoll[toIndex(BallNo)];
    const float leftBottom = left.Top + left.Height;
    if (!(left.Top < Y && Y < leftBottom))
        return false;
    const Sprite& right = imgBoll[toIndex(BallNo + board::RightOffset)];
    const float rightEdge = right.Left + left.Width;
    return left.Left < X && X < rightEdge;
}

// Between ball n's row and the next, but not strictly inside ball n's column:
// the crossings of the gaps and the stretches beyond the outer columns.
bool Form1::betweenRowsOutsideColumn(float X, float Y) const
{
    if (!betweenRows(Y))
        return false;
    const Sprite& upper = imgBoll[toIndex(BallNo)];
    const float upperRight = upper.Left + upper.Width;
    return X < upper.Left || X > upperRight;
}

} // namespace pellorin
