// The six tiles as GDI bitmaps, painted by the core at the window's tile size.
#include "tiles.h"

#include <cstddef>
#include <cstdint>

namespace pellorin::win32 {
namespace {

// An opaque picture of the painter's as a top-down 32-bit bitmap that GDI
// draws from; nullptr when Windows cannot make one.
HBITMAP toBitmap(const tiles::Image& image)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    // The painter gives red, green, blue, alpha; a DIB holds blue, green, red.
    auto* to = static_cast<std::uint8_t*>(bits);
    for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
        to[i] = image.rgba[i + 2];
        to[i + 1] = image.rgba[i + 1];
        to[i + 2] = image.rgba[i];
        to[i + 3] = 0;
    }
    return bitmap;
}

} // namespace

HBITMAP Tiles::bitmap(int picture, int size)
{
    if (picture < 1 || picture > 6)
        return nullptr;
    if (size != m_size) {
        clear();
        m_size = size;
    }
    HBITMAP& bitmap = m_bitmaps[static_cast<std::size_t>(picture - 1)];
    if (!bitmap)
        if (const auto image = tiles::paintTile(picture, size, m_look))
            bitmap = toBitmap(*image);
    return bitmap;
}

void Tiles::clear()
{
    for (HBITMAP& bitmap : m_bitmaps) {
        if (bitmap)
            DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

} // namespace pellorin::win32
