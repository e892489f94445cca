// What the screen shows of the sprite families: the drawing order, and which
// areas a change of the sprites leaves to be repainted.
#pragma once

#include "platform/sprite.h"

#include <algorithm>
#include <cmath>
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

    friend bool operator==(const Area&, const Area&) = default;
};

// What a shell draws with. A repaint is always begin(area), any number of
// draw() calls, end(): everything drawn in between is clipped to the area.
class Canvas {
public:
    virtual ~Canvas() = default;
    // Starts repainting an area: clips to it and paints it black, the
    // window's background.
    virtual void begin(const Area& area) = 0;
    // Draws a picture unscaled with its top-left corner at the area's.
    virtual void draw(const PictureData& picture, const Area& area) = 0;
    // Ends the repaint: the clip of begin() is lifted.
    virtual void end() = 0;
};

// Pictures come drawn at 1, 2 and 3 device pixels per client pixel. A screen
// is served by the one it shows one to one, or else by the next larger one,
// scaled down, so that a tile is never blurred by scaling up.
inline int renderingScale(double devicePixelRatio)
{
    return std::clamp(static_cast<int>(std::ceil(devicePixelRatio - 0.01)), 1, 3);
}

// Repaints an area: black, then every visible sprite with a picture that
// reaches into it. Families are drawn in the order given and, within a
// family, a higher index over a lower one, which is also the order in which
// the pointer finds them (routing.h).
void paintArea(std::span<const SpriteFamily* const> families, const Area& area, Canvas& canvas);

// Remembers what the screen last showed of each sprite, so that after a
// handler only the sprites that moved or changed their picture are repainted.
class ScreenDamage {
public:
    explicit ScreenDamage(std::vector<const SpriteFamily*> families);

    // The areas to repaint since the last call: one per changed sprite,
    // covering its old and its new place (a step is a few pixels, so one
    // rectangle holds both).
    std::vector<Area> collect();

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
