// The cursor shows in advance what a press would do.
#include "window/form1.h"

#include "board/board.h"

namespace pellorin {

// Over uncovered points: the gap tests of a press, in the same order, then
// the dead spots between rows. Where nothing matches (the margins beside and
// around the board) the cursor keeps the shape it came with.
void Form1::Form_MouseMove(std::int16_t /*Button*/, std::int16_t /*Shift*/, float X, float Y)
{
    // The scans reuse BallNo, which names the running pair during a swap.
    if (Timer1.Enabled)
        return;
    if (Timer2.Enabled)
        return;

    switch (findGap(X, Y)) {
    case Gap::Vertical:
        setCursorUnlessAlready(CursorCode::SizeNS);
        return;
    case Gap::Horizontal:
        setCursorUnlessAlready(CursorCode::SizeWE);
        return;
    case Gap::None:
        break;
    }
    // A point between rows but inside some ball's column has matched above,
    // so this scan only ever sees the crossings and the outer stretches.
    for (BallNo = 1; BallNo <= board::LastVerticalPair; BallNo += 1) {
        if (betweenRowsOutsideColumn(X, Y)) {
            setCursorUnlessAlready(CursorCode::NoDrop);
            return;
        }
    }
}

// Over any ball, also during a swap: a press on a ball does nothing.
void Form1::imgBoll_MouseMove(std::int16_t /*Index*/, std::int16_t /*Button*/, std::int16_t /*Shift*/, float /*X*/,
                              float /*Y*/)
{
    setCursorUnlessAlready(CursorCode::NoDrop);
}

} // namespace pellorin
