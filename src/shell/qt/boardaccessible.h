// The board as a screen reader sees it: a grid of 8 by 8 cells that answers
// as a table, each cell named by the core ("Rad 3, kolumn 5: röd"), the
// keyboard cursor's cell focused, and the game's words shown as a
// notification in a status bar of the board's own.
#pragma once

#include <QString>

#include <span>

namespace pellorin {

class BoardView;

// Lets Qt's accessibility ask for the board's table; once is enough.
void installBoardAccessibility();

// Events for the screen reader, sent only while one is listening: the
// cursor's cell took the focus, cells were renamed, words to say now.
void focusBoardCell(BoardView& view, int cell);
void renameBoardCells(BoardView& view, std::span<const int> cells);
void announceOnBoard(BoardView& view, const QString& words);

} // namespace pellorin
