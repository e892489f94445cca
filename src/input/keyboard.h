// Play by keyboard: a cursor on the board's cells, drawn as a white frame in
// the black gap around its cell, that the arrow keys move and that swaps its
// tile with a neighbour. The mouse player never sees it: it stays hidden until
// the first key, and a mouse move or press hides it again.
#pragma once

#include "board/board.h"
#include "design/design.h"
#include "platform/drawing.h"

#include <array>
#include <optional>

namespace pellorin {

class Keyboard {
public:
    // What a key asks of the game beyond the cursor itself.
    struct Action {
        // A swap of the cursor's cell with this neighbour, as a press in the
        // gap between the two.
        std::optional<int> swapWith;
        // The key went nowhere, at the board's edge: say the cell again.
        bool refused = false;
        // The hold was taken, or let go without a swap.
        bool tookHold = false;
        bool letGo = false;
    };

    // A key with Shift held or not, and whether it is the keyboard's own
    // repeat of a key held down. Only a plain arrow repeats, to move on as
    // in any grid: a repeated swap would swap the pair back, or a tile
    // refilled meanwhile, and a repeated Space would take and let go of the
    // hold at the repeat rate. A key the board does not use asks nothing.
    Action key(design::Key key, bool shift, bool repeat);
    // A screen reader activated a cell: the cursor goes there and holds it;
    // with a neighbour of the held cell, the two swap; with the held cell
    // itself, the hold is let go.
    Action activate(int cell);
    // A swap asked for by a held tile started: the hold is let go.
    void swapStarted() { m_held = false; }
    // The hold ends without a word, as on a new board.
    void letGo() { m_held = false; }
    // The board got the keyboard's focus: the cursor shows where it was.
    void show() { m_shown = true; }
    // The mouse took over: the cursor hides where it is, and lets go.
    void hide();

    bool shown() const { return m_shown; }
    bool held() const { return m_held; }
    int row() const { return m_row; }
    int column() const { return m_column; }
    int cell() const { return board::ballIndex(m_row, m_column); }

    // The bars of the frame as it shows now, none while hidden: two pixels
    // wide, four pixels out from the cell's tile, four wide while held.
    std::array<Fill, 4> frame() const;
    // The area the frame may cover around the cell, whatever its width.
    Area frameArea() const;

    static constexpr float FrameGap = 4.0f;
    static constexpr float FrameWidth = 2.0f;
    static constexpr float HeldFrameWidth = 4.0f;
    static constexpr Rgb FrameColour{255, 255, 255};

private:
    std::optional<int> neighbour(design::Key key) const;
    void moveTo(int cell);

    bool m_shown = false;
    bool m_held = false;
    int m_row = 1;
    int m_column = 1;
};

} // namespace pellorin
