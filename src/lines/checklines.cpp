// Complete lines of eight equal balls are emptied and refilled at random.
#include "window/form1.h"

#include "board/board.h"

namespace pellorin {

// The 18 lines in a fixed order: columns 1 to 8, rows 1 to 8, the main
// diagonal, the anti-diagonal. Each line is examined, and if complete emptied
// and refilled, before the next is examined, so a refill takes part in every
// later line. Earlier lines are not looked at again in this call; a line that
// a later refill completes waits for the next swap.
void Form1::CheckLines()
{
    for (Col = 1; Col <= board::Columns; Col += 1)
        checkLine(Line::Column);
    for (Row = 1; Row <= board::Rows; Row += 1)
        checkLine(Line::Row);
    checkLine(Line::MainDiagonal);
    checkLine(Line::AntiDiagonal);
}

// Flag marks that every cell visited so far equals the line's reference cell.
// Examining, emptying and refilling visit the cells in the same order.
void Form1::checkLine(Line line)
{
    const int reference = lineReferenceCell(line);
    const auto cell = [&](int step) {
        placeLineCounters(line, step);
        return toIndex((Row - 1) * board::Columns + Col);
    };

    Flag = true;
    for (int step = 1; step <= board::Columns; ++step) {
        if (imgBoll[cell(step)].Picture != imgBoll[reference].Picture)
            Flag = false;
    }
    if (!Flag)
        return;

    Emptied.push_back({line, line == Line::Row ? toIndex(Row) : line == Line::Column ? toIndex(Col) : 1});
    for (int step = 1; step <= board::Columns; ++step) {
        const int k = cell(step);
        playCue(Cue::Clear);
        imgBoll[k].Picture = nullptr;
    }
    for (int step = 1; step <= board::Columns; ++step) {
        const int k = cell(step);
        imgBoll[k].Picture = imgBank[board::colourOf(m_services.random.next())].Picture;
    }
}

// A column line holds Col and runs Row; a row line holds Row and runs Col;
// the diagonals run Row and derive Col from it.
void Form1::placeLineCounters(Line line, int step)
{
    switch (line) {
    case Line::Column:
        Row = step;
        break;
    case Line::Row:
        Col = step;
        break;
    case Line::MainDiagonal:
        Row = step;
        Col = Row;
        break;
    case Line::AntiDiagonal:
        Row = step;
        Col = board::Columns + 1 - Row;
        break;
    }
}

int Form1::lineReferenceCell(Line line) const
{
    switch (line) {
    case Line::Column:
        return board::ballIndex(1, toIndex(Col));
    case Line::Row:
        return board::ballIndex(toIndex(Row), 1);
    case Line::MainDiagonal:
        return board::ballIndex(1, 1);
    case Line::AntiDiagonal:
        break;
    }
    return board::ballIndex(board::Rows, 1);
}

} // namespace pellorin
