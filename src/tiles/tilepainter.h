// The game's pictures, painted from their descriptions at any size: the six
// bevelled tiles, plain or with a symbol for each colour, and the program's
// icon. Every shell draws these pixels, at its screen's own size.
#pragma once

#include "platform/drawing.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace pellorin::tiles {

// The colours of one tile.
struct TileColours {
    Rgb face;
    Rgb highlight;
    Rgb shadow;
    bool secondTone = false; // a faint darker tone over the lower right of the face
};

// The six tiles, in bank order 1 to 6.
const std::array<TileColours, 6>& palette();

// How the tiles look: by colour alone, or with a symbol on each colour's face
// for players who do not tell the colours apart.
enum class Look { Plain, Symbols };

// An opaque picture: width * height pixels, row by row from the top, four
// bytes each in the order red, green, blue, alpha (always 255).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    Rgb at(int x, int y) const
    {
        const auto i
            = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2]};
    }
};

// The sides a picture may be painted at, in pixels; any other is refused.
inline constexpr int MinSize = 8;
inline constexpr int MaxSize = 1024;

// Tile 1 to 6 of the bank as a square of size pixels: a rounded outline one
// pixel wide, a highlight over the top and left and a shadow over the bottom
// and right, each as deep as the design's 3 and 4 pixels of a 32-pixel tile,
// rounded to whole pixels. Nothing for a picture or size out of range.
std::optional<Image> paintTile(int picture, int size, Look look = Look::Plain);

// The program's icon: a 4 by 4 grid of round dots in the tiles' colours on
// black, size pixels square, the grid filling that part of the side (1 for
// the whole of it) and centred. Nothing for a size out of range.
std::optional<Image> paintIcon(int size, double fill = 1.0);

} // namespace pellorin::tiles
