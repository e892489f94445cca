// The drawing order of the sprite families, client pixels on device pixels,
// and the damage left by a change.
#include "platform/drawing.h"

#include "board/board.h"
#include "design/design.h"

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

double boundedScale(double scale)
{
    if (!std::isfinite(scale))
        return 1.0;
    return std::clamp(scale, DeviceScale::MinScale, DeviceScale::MaxScale);
}

} // namespace

DeviceScale::DeviceScale(double scale)
    : m_scale(boundedScale(scale))
    , m_tileSize(static_cast<int>(std::lround(board::TileSize * m_scale)))
{
}

int DeviceScale::clientWidth() const
{
    return toDevice(static_cast<float>(design::ClientWidth));
}

int DeviceScale::clientHeight() const
{
    return toDevice(static_cast<float>(design::ClientHeight));
}

DeviceRect DeviceScale::fill(const Area& area) const
{
    const int left = toDevice(area.left);
    const int top = toDevice(area.top);
    return {left, top, toDevice(area.right()) - left, toDevice(area.bottom()) - top};
}

DeviceRect DeviceScale::clip(const Area& area) const
{
    const auto floorOf = [this](float v) { return static_cast<int>(std::floor(v * m_scale)); };
    const auto ceilOf = [this](float v) { return static_cast<int>(std::ceil(v * m_scale)); };
    const int left = std::max(0, floorOf(area.left));
    const int top = std::max(0, floorOf(area.top));
    const int right = std::min(clientWidth(), ceilOf(area.right()));
    const int bottom = std::min(clientHeight(), ceilOf(area.bottom()));
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

Area DeviceScale::toClient(const DeviceRect& rect) const
{
    const auto left = static_cast<float>(std::floor(rect.left / m_scale));
    const auto top = static_cast<float>(std::floor(rect.top / m_scale));
    const auto right = static_cast<float>(std::ceil(rect.right() / m_scale));
    const auto bottom = static_cast<float>(std::ceil(rect.bottom() / m_scale));
    return {left, top, right - left, bottom - top};
}

void paintArea(std::span<const SpriteFamily* const> families, std::span<const Fill> beneath, const Area& area,
               const DeviceScale& scale, Canvas& canvas)
{
    const DeviceRect clip = scale.clip(area);
    if (clip.empty())
        return;
    // A tile's rounded edge may reach one device pixel beyond its client
    // area: whatever reaches that far into the clip is drawn.
    const Area reach = area.grown(static_cast<float>(1.0 / scale.value()));
    canvas.begin(clip);
    for (const Fill& fill : beneath) {
        if (fill.area.intersects(reach))
            canvas.fill(scale.fill(fill.area), fill.colour);
    }
    for (const SpriteFamily* family : families) {
        for (int k = 0; k <= family->highestIndex(); ++k) {
            if (!family->exists(k))
                continue;
            const Sprite& sprite = (*family)[k];
            if (onScreen(sprite) && areaOf(sprite).intersects(reach)) {
                const DeviceRect tile = scale.tile(sprite.Left, sprite.Top);
                canvas.drawTile(sprite.Picture->bankIndex, tile.left, tile.top);
            }
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
            damage.push_back(was.area.united(now.area).grown(Margin));
            was = now;
        }
    }
    return damage;
}

} // namespace pellorin
