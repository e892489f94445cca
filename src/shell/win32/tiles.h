// The tile pictures, decoded by WIC from the PNG files built into the
// program, each rendering as a bitmap that GDI draws from. A rendering loads
// when first drawn.
#pragma once

#include <windows.h>

#include <array>
#include <string_view>

namespace pellorin::win32 {

class Tiles {
public:
    Tiles() = default;
    ~Tiles();
    Tiles(const Tiles&) = delete;
    Tiles& operator=(const Tiles&) = delete;
    Tiles(Tiles&&) = delete;
    Tiles& operator=(Tiles&&) = delete;

    // The bitmap of picture 1 to 6 of the bank at rendering scale 1 to 3, or
    // nullptr where it cannot be had.
    HBITMAP bitmap(int picture, int scale);

private:
    static HBITMAP decode(std::string_view resourceName);

    std::array<std::array<HBITMAP, 3>, 6> m_bitmaps{};
    std::array<std::array<bool, 3>, 6> m_tried{};
};

} // namespace pellorin::win32
