// The six tiles as GDI bitmaps, painted by the core's tile painter at the
// window's tile size in device pixels, and painted again when that size
// changes (another DPI).
#pragma once

#include "tiles/tilepainter.h"

#include <windows.h>

#include <array>

namespace pellorin::win32 {

class Tiles {
public:
    explicit Tiles(tiles::Look look) : m_look(look) {}
    ~Tiles() { clear(); }
    Tiles(const Tiles&) = delete;
    Tiles& operator=(const Tiles&) = delete;
    Tiles(Tiles&&) = delete;
    Tiles& operator=(Tiles&&) = delete;

    // The bitmap of picture 1 to 6 of the bank, size device pixels square, or
    // nullptr where it cannot be had. A size other than the last one's makes
    // every tile anew.
    HBITMAP bitmap(int picture, int size);

private:
    void clear();

    tiles::Look m_look;
    int m_size = 0;
    std::array<HBITMAP, 6> m_bitmaps{};
};

} // namespace pellorin::win32
