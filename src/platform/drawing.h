// What the screen shows of the sprite families: the drawing order, how client
// pixels land on device pixels, and which areas a change of the sprites
// leaves to be repainted.
#pragma once

#include "board/board.h"
#include "platform/sprite.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace pellorin {

// A point in client pixels.
struct ClientPoint {
    float x = 0.0f;
    float y = 0.0f;
};

// A rectangle of client pixels.
struct Area {
    float left = 0.0f;
    float top = 0.0f;
    float width = 0.0f;
    float height = 0.0f;

    bool empty() const { return width <= 0.0f || height <= 0.0f; }
    float right() const { return left + width; }
    float bottom() const { return top + height; }

    bool intersects(const Area& other) const
    {
        return !empty() && !other.empty() && left < other.right() && other.left < right() && top < other.bottom()
            && other.top < bottom();
    }

    // The smallest area holding both; an empty area adds nothing.
    Area united(const Area& other) const
    {
        if (empty())
            return other;
        if (other.empty())
            return *this;
        const float l = std::min(left, other.left);
        const float t = std::min(top, other.top);
        return {l, t, std::max(right(), other.right()) - l, std::max(bottom(), other.bottom()) - t};
    }

    // The area grown by a margin on every side.
    Area grown(float margin) const { return {left - margin, top - margin, width + 2 * margin, height + 2 * margin}; }

    friend bool operator==(const Area&, const Area&) = default;
};

// Where a cell's tile stands at home: the square a screen reader shows for
// the cell, and what a pointer over the cell points at.
inline Area cellArea(int cell)
{
    const board::Cell place = board::cellOf(cell);
    return {static_cast<float>(board::homeLeft(place.column)), static_cast<float>(board::homeTop(place.row)),
            board::TileSize, board::TileSize};
}

// A rectangle of device pixels: the screen's own pixels under the client
// area.
struct DeviceRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    friend bool operator==(const DeviceRect&, const DeviceRect&) = default;
};

// An opaque colour.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// How client pixels land on device pixels at a scale: device pixels per
// client pixel, 1.25 at 120 DPI, 2.625 on many phones. Every edge falls on a
// whole device pixel, so nothing is ever drawn soft: a tile's corner goes to
// the nearest device pixel, and every tile is the same whole number of device
// pixels wide. At a fractional scale a gap may thus be one device pixel wider
// than its neighbour.
class DeviceScale {
public:
    // Scales outside these bounds are brought to the nearest one; a scale
    // that is no number at all counts as 1.
    static constexpr double MinScale = 0.5;
    static constexpr double MaxScale = 16.0;

    explicit DeviceScale(double scale = 1.0);

    double value() const { return m_scale; }
    // The side of a tile: its client size, rounded to whole device pixels.
    int tileSize() const { return m_tileSize; }
    // The client area's size in device pixels.
    int clientWidth() const;
    int clientHeight() const;
    // A client coordinate on its nearest device pixel boundary.
    int toDevice(float client) const { return static_cast<int>(std::lround(client * m_scale)); }
    // A device position as client pixels, for pointer events.
    float toClient(double device) const { return static_cast<float>(device / m_scale); }
    // The tile whose top-left corner stands at a client point.
    DeviceRect tile(float left, float top) const { return {toDevice(left), toDevice(top), m_tileSize, m_tileSize}; }
    // A cell's tile at home (cellArea), as the screen shows it.
    DeviceRect cell(int index) const
    {
        const Area area = cellArea(index);
        return tile(area.left, area.top);
    }
    // A filled rectangle, each edge on its nearest device pixel boundary.
    DeviceRect fill(const Area& area) const;
    // Every device pixel that the area touches, within the client area: what
    // a repaint of the area covers.
    DeviceRect clip(const Area& area) const;
    // The client area that a rectangle of device pixels lies within, for a
    // shell that is told in device pixels what to repaint.
    Area toClient(const DeviceRect& rect) const;

    friend bool operator==(const DeviceScale& a, const DeviceScale& b) { return a.m_scale == b.m_scale; }

private:
    double m_scale;
    int m_tileSize;
};

// What a shell draws with, in device pixels. A repaint is always
// begin(clip), any number of fill() and drawTile() calls, end(): everything
// drawn in between is clipped to the rectangle.
class Canvas {
public:
    virtual ~Canvas() = default;
    // Starts repainting: clips to the rectangle and paints it black, the
    // window's background.
    virtual void begin(const DeviceRect& clip) = 0;
    // Fills a rectangle with a colour.
    virtual void fill(const DeviceRect& rect, Rgb colour) = 0;
    // Draws picture 1 to 6 of the bank, as the tile painter paints it at the
    // scale's tile size (tiles/tilepainter.h), with its top-left corner at
    // this device pixel.
    virtual void drawTile(int picture, int left, int top) = 0;
    // Ends the repaint: the clip of begin() is lifted.
    virtual void end() = 0;
};

// A rectangle filled beneath the sprites, such as a bar of the keyboard's
// frame.
struct Fill {
    Area area;
    Rgb colour;
};

// Repaints an area at a scale: black, then the fills, then every visible
// sprite with a picture that reaches into it. Families are drawn in the order
// given and, within a family, a higher index over a lower one, which is also
// the order in which the pointer finds them (routing.h). A sprite's picture
// is known to the canvas by its bank index.
void paintArea(std::span<const SpriteFamily* const> families, std::span<const Fill> beneath, const Area& area,
               const DeviceScale& scale, Canvas& canvas);

// Remembers what the screen last showed of each sprite, so that after a
// handler only the sprites that moved or changed their picture are repainted.
class ScreenDamage {
public:
    explicit ScreenDamage(std::vector<const SpriteFamily*> families);

    // The areas to repaint since the last call: one per changed sprite,
    // covering its old and its new place (a step is a few pixels, so one
    // rectangle holds both), and a margin around them: a tile's edge,
    // rounded to whole device pixels, may reach up to one device pixel
    // beyond it, which is at most two client pixels at the smallest scale.
    std::vector<Area> collect();

    // The margin collect() adds around a sprite's places, in client pixels.
    static constexpr float Margin = 1.0f / static_cast<float>(DeviceScale::MinScale);

private:
    struct Shown {
        Area area;
        const PictureData* picture = nullptr;
        friend bool operator==(const Shown&, const Shown&) = default;
    };
    static Shown shown(const SpriteFamily& family, int k);

    std::vector<const SpriteFamily*> m_families;
    std::vector<std::vector<Shown>> m_shown;
};

} // namespace pellorin
