// The drawing order of the sprite families and the damage left by a change.
#include "platform/drawing.h"

namespace pellorin {
namespace {

Area areaOf(const Sprite& sprite)
{
    return {sprite.Left, sprite.Top, sprite.Width, sprite.Height};
}

// A sprite shows on the screen when it is visible and has a picture to show.
bool onScreen(const Sprite& sprite)
{
    return sprite.Visible && sprite.Picture;
}

} // namespace

void paintArea(std::span<const SpriteFamily* const> families, const Area& area, Canvas& canvas)
{
    canvas.begin(area);
    for (const SpriteFamily* family : families) {
        for (int k = 0; k <= family->highestIndex(); ++k) {
            if (!family->exists(k))
                continue;
            const Sprite& sprite = (*family)[k];
            if (onScreen(sprite) && areaOf(sprite).intersects(area))
                canvas.draw(*sprite.Picture, areaOf(sprite));
        }
    }
    canvas.end();
}

ScreenDamage::ScreenDamage(std::vector<const SpriteFamily*> families)
    : m_families(std::move(families))
    , m_shown(m_families.size())
{
}

ScreenDamage::Shown ScreenDamage::shown(const SpriteFamily& family, int k)
{
    if (!family.exists(k))
        return {};
    const Sprite& sprite = family[k];
    if (!onScreen(sprite))
        return {};
    return {areaOf(sprite), sprite.Picture.get()};
}

std::vector<Area> ScreenDamage::collect()
{
    std::vector<Area> damage;
    for (std::size_t f = 0; f < m_families.size(); ++f) {
        const SpriteFamily& family = *m_families[f];
        std::vector<Shown>& before = m_shown[f];
        before.resize(static_cast<std::size_t>(family.highestIndex()) + 1);
        for (int k = 0; k <= family.highestIndex(); ++k) {
            const Shown now = shown(family, k);
            Shown& was = before[static_cast<std::size_t>(k)];
            if (now == was)
                continue;
            damage.push_back(was.area.united(now.area));
            was = now;
        }
    }
    return damage;
}

} // namespace pellorin
