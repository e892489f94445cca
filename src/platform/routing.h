// Which sprite, if any, receives a pointer event at a point.
#pragma once

#include "platform/sprite.h"

#include <optional>

namespace pellorin {

// The index of the visible sprite of the family that covers the point. Where
// sprites overlap the highest index wins, as it is also the one drawn on top.
inline std::optional<int> coveringSprite(const SpriteFamily& family, float x, float y)
{
    for (int k = family.highestIndex(); k >= 0; --k) {
        if (family.exists(k) && family[k].Visible && family[k].covers(x, y))
            return k;
    }
    return std::nullopt;
}

} // namespace pellorin
