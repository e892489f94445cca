// The game's window on Windows: painting the client area with GDI.
#include "gamewindow.h"

namespace pellorin::win32 {
namespace {

// The game's canvas on a device context that holds part of the client area,
// in device pixels.
class Painter final : public Canvas {
public:
    Painter(HDC target, int tileSize, Tiles& tiles)
        : m_target(target)
        , m_tileSize(tileSize)
        , m_tiles(tiles)
        , m_source(CreateCompatibleDC(target))
    {
    }
    ~Painter() override
    {
        if (m_source)
            DeleteDC(m_source);
    }
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;
    Painter(Painter&&) = delete;
    Painter& operator=(Painter&&) = delete;

    void begin(const DeviceRect& clip) override
    {
        m_saved = SaveDC(m_target);
        IntersectClipRect(m_target, clip.left, clip.top, clip.right(), clip.bottom());
        fill(clip, Rgb{});
    }
    void fill(const DeviceRect& rect, Rgb colour) override
    {
        const RECT area{rect.left, rect.top, rect.right(), rect.bottom()};
        SetDCBrushColor(m_target, RGB(colour.red, colour.green, colour.blue));
        FillRect(m_target, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    void drawTile(int picture, int left, int top) override
    {
        // A tile that cannot be had leaves its place black; the next paint
        // tries again.
        HBITMAP bitmap = m_source ? m_tiles.bitmap(picture, m_tileSize) : nullptr;
        if (!bitmap)
            return;
        HGDIOBJ old = SelectObject(m_source, bitmap);
        if (!old)
            return;
        BitBlt(m_target, left, top, m_tileSize, m_tileSize, m_source, 0, 0, SRCCOPY);
        SelectObject(m_source, old);
    }
    void end() override
    {
        if (m_saved)
            RestoreDC(m_target, m_saved);
    }

private:
    HDC m_target;
    int m_tileSize;
    Tiles& m_tiles;
    HDC m_source;
    int m_saved = 0;
};

// An off-screen copy of part of the window, drawn into and then copied to the
// screen in one go, so that nothing flickers. Where Windows has no memory for
// one, it is not made() and the paint goes straight to the screen.
class Buffer {
public:
    Buffer(HDC screen, const RECT& area)
        : m_screen(screen)
        , m_area(area)
        , m_dc(CreateCompatibleDC(screen))
        , m_pixels(CreateCompatibleBitmap(screen, area.right - area.left, area.bottom - area.top))
    {
        if (m_dc && m_pixels)
            m_old = SelectObject(m_dc, m_pixels);
        if (m_old)
            SetViewportOrgEx(m_dc, -area.left, -area.top, nullptr);
    }
    ~Buffer()
    {
        if (m_old)
            SelectObject(m_dc, m_old);
        if (m_pixels)
            DeleteObject(m_pixels);
        if (m_dc)
            DeleteDC(m_dc);
    }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    Buffer(Buffer&&) = delete;
    Buffer& operator=(Buffer&&) = delete;

    bool made() const { return m_old != nullptr; }
    HDC dc() const { return m_dc; }
    // Copies what was drawn to the screen; false when Windows did not.
    bool show() const
    {
        SetViewportOrgEx(m_dc, 0, 0, nullptr);
        return BitBlt(m_screen, m_area.left, m_area.top, m_area.right - m_area.left, m_area.bottom - m_area.top, m_dc,
                      0, 0, SRCCOPY)
            != 0;
    }

private:
    HDC m_screen;
    RECT m_area;
    HDC m_dc;
    HBITMAP m_pixels;
    HGDIOBJ m_old = nullptr;
};

} // namespace

void GameWindow::paint()
{
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(m_window, &ps);
    if (!screen) {
        // Nothing to paint on. The region is let go, or Windows would ask for
        // it again at once, for ever; the next change paints again.
        ValidateRect(m_window, nullptr);
        return;
    }
    const RECT& dirty = ps.rcPaint;
    const int width = dirty.right - dirty.left;
    const int height = dirty.bottom - dirty.top;
    if (width > 0 && height > 0) {
        const Area area = m_scale.toClient(DeviceRect{dirty.left, dirty.top, width, height});
        Buffer buffer(screen, dirty);
        bool painted = false;
        if (buffer.made()) {
            {
                Painter canvas(buffer.dc(), m_scale.tileSize(), m_tiles);
                m_game->paint(area, m_scale, canvas);
            }
            painted = buffer.show();
        }
        if (!painted) {
            Painter canvas(screen, m_scale.tileSize(), m_tiles);
            m_game->paint(area, m_scale, canvas);
        }
    }
    EndPaint(m_window, &ps);
}

} // namespace pellorin::win32
