// The words a screen reader says of the game, in Swedish like the menu, so
// that every shell says the same.
#pragma once

#include "board/board.h"

#include <string>
#include <string_view>

namespace pellorin::words {

// The board's accessible name.
inline constexpr std::string_view Board = "Spelplan";
// What activating a cell does, as a screen reader names the action: it
// takes the cell, to hold it or to swap it with the held neighbour.
inline constexpr std::string_view CellAction = "Välj";
// Said when a new board has been dealt.
inline constexpr std::string_view NewGame = "Nytt spel";

// A tile's colour by its bank index, 1 to 6; "tom" for an empty cell.
std::string_view colour(int picture);

// A cell by its number, 1 to 64, row by row: "Rad 3, kolumn 5: röd".
std::string cell(int number, int picture);

// A swap, the pair's colours as they stood before it: "Bytte röd och blå".
std::string swapped(int first, int second);

// A line emptied: "Tömde rad 3", "Tömde kolumn 5", "Tömde diagonalen från
// övre vänstra hörnet".
std::string emptied(board::Line line, int number);

// The keyboard's hold taken and let go.
std::string held(int number, int picture);
std::string letGo(int number);

// Sentences said at once, as one message.
std::string joined(const std::string& first, std::string_view next);

} // namespace pellorin::words
