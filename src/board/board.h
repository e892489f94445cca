// Board geometry, cell numbering and the colour rule.
#pragma once

#include <cmath>

namespace pellorin::board {

inline constexpr int Rows = 8;
inline constexpr int Columns = 8;
inline constexpr int Balls = Rows * Columns;
inline constexpr int Colours = 6;

inline constexpr double Pitch = 48.0;    // between neighbouring home positions
inline constexpr double Margin = 24.0;   // left of column 1 and above row 1
inline constexpr float TileSize = 32.0f; // every picture is a 32 by 32 tile
inline constexpr double HalfPitch = Pitch / 2;

inline constexpr int BelowOffset = Columns; // ball n + 8 lies below ball n
inline constexpr int RightOffset = 1;       // ball n + 1 lies right of ball n
// The pairs are (n, n + 8) for n up to 56 and (n, n + 1) for n up to 63.
inline constexpr int LastVerticalPair = Balls - Columns;
inline constexpr int LastHorizontalPair = Balls - RightOffset;

// The lines of eight that a complete set of equal balls empties: a column, a
// row, the main diagonal from the top left, the anti-diagonal from the bottom
// left.
enum class Line { Column, Row, MainDiagonal, AntiDiagonal };

// Cells are numbered row by row from 1 at the top left to 64 at the bottom right.
constexpr int ballIndex(int row, int column)
{
    return (row - 1) * Columns + column;
}

// A cell's row and column, each from 1: the inverse of ballIndex.
struct Cell {
    int row = 1;
    int column = 1;
    friend bool operator==(const Cell&, const Cell&) = default;
};
constexpr Cell cellOf(int index)
{
    return {(index - 1) / Columns + 1, (index - 1) % Columns + 1};
}

constexpr double homeLeft(int column)
{
    return (column - 1) * Pitch + Margin;
}
constexpr double homeTop(int row)
{
    return (row - 1) * Pitch + Margin;
}

// Bank index 1..6 for one generator value u in [0, 1): floor(u * 6 + 1), with
// no rounding before the floor. u has a 24-bit significand, so u * 6 needs at
// most 27 bits, and for u from 2^-30 up the sum needs at most 53: double
// holds both exactly. The floor thus sees the true value, which is below 7
// for every u below 1, and the largest float below 1 gives 6. Below 2^-30 the
// sum may round, but only to a value near 1, which is still colour 1.
// Single precision would already round the product, which does not fit in
// its 24 bits, and the floor would then see a rounded value.
inline int colourOf(float u)
{
    return static_cast<int>(std::floor(static_cast<double>(u) * Colours + 1.0));
}

} // namespace pellorin::board
