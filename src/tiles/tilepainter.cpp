// The game's pictures, painted from their descriptions at any size.
#include "tiles/tilepainter.h"

#include <algorithm>
#include <cmath>

namespace pellorin::tiles {
namespace {

Rgb scaled(Rgb c, double factor)
{
    const auto channel
        = [factor](std::uint8_t v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v * factor), 0L, 255L)); };
    return {channel(c.red), channel(c.green), channel(c.blue)};
}

// a over b, a covering the given share of the pixel.
Rgb mixed(Rgb a, Rgb b, double share)
{
    const auto channel = [share](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::lround(x * share + y * (1.0 - share)));
    };
    return {channel(a.red, b.red), channel(a.green, b.green), channel(a.blue, b.blue)};
}

Image blackImage(int size)
{
    Image image{size, size, std::vector<std::uint8_t>(static_cast<std::size_t>(size) * size * 4, 0)};
    for (std::size_t i = 3; i < image.rgba.size(); i += 4)
        image.rgba[i] = 255;
    return image;
}

void put(Image& image, int x, int y, Rgb c)
{
    const auto i
        = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)) * 4;
    image.rgba[i] = c.red;
    image.rgba[i + 1] = c.green;
    image.rgba[i + 2] = c.blue;
}

// Inside the rounded square of side n with corner radius r, sampled at the
// centre of pixel (x, y).
bool insideRounded(int x, int y, int n, double r)
{
    const double px = x + 0.5;
    const double py = y + 0.5;
    const double cx = std::clamp(px, r, n - r);
    const double cy = std::clamp(py, r, n - r);
    return std::hypot(px - cx, py - cy) <= r;
}

// The symbols, one per colour in bank order, each a set of points of the
// unit square that the tile spans: shapes that differ by their outline, not
// by a detail, so that they stay apart at 16 pixels too.
bool onSymbol(int picture, double u, double v)
{
    const double x = u - 0.5;
    const double y = v - 0.5;
    const double ax = std::abs(x);
    const double ay = std::abs(y);
    switch (picture) {
    case 1: // a ring
        return x * x + y * y <= 0.22 * 0.22 && x * x + y * y >= 0.12 * 0.12;
    case 2: // a triangle, point up
        return y >= -0.21 && y <= 0.19 && ax <= (y + 0.21) * 0.6;
    case 3: // two bars side by side
        return ay <= 0.21 && ax >= 0.06 && ax <= 0.17;
    case 4: // a small square in the middle
        return ax <= 0.11 && ay <= 0.11;
    case 5: // a saltire
        return ax <= 0.21 && ay <= 0.21 && std::abs(ax - ay) <= 0.07;
    case 6: // two bars, one above the other
        return ax <= 0.21 && ay >= 0.06 && ay <= 0.17;
    default:
        return false;
    }
}

// The relative luminance of an sRGB colour, as WCAG defines it.
double luminance(Rgb c)
{
    const auto linear = [](std::uint8_t v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

// The symbol's tone: black or white, whichever stands further by WCAG's
// contrast ratio from the face tone nearest to it (a symbol crosses both
// tones of a face that has two). Neither is tinted with the face, since a
// tint only narrows the contrast, and a hue the eye cannot tell adds
// nothing. Either way the ratio keeps above 3:1 on every face, also to the
// eyes that see red or green darker or lighter than most.
Rgb symbolTone(Rgb face, Rgb darkerFace)
{
    const double againstBlack = (luminance(darkerFace) + 0.05) / 0.05;
    const double againstWhite = 1.05 / (luminance(face) + 0.05);
    return againstBlack >= againstWhite ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
}

// The share of the pixel (x, y) of a tile of side n that the symbol covers,
// from 4 by 4 samples, for smooth edges at every size.
double symbolCover(int picture, int x, int y, int n)
{
    constexpr int Samples = 4;
    int covered = 0;
    for (int sy = 0; sy < Samples; ++sy)
        for (int sx = 0; sx < Samples; ++sx)
            covered += onSymbol(picture, (x + (sx + 0.5) / Samples) / n, (y + (sy + 0.5) / Samples) / n) ? 1 : 0;
    return static_cast<double>(covered) / (Samples * Samples);
}

} // namespace

const std::array<TileColours, 6>& palette()
{
    // In the order of design::Pictures, whose names they bear.
    static constexpr std::array<TileColours, 6> colours{{
        {{255, 0, 0}, {255, 107, 107}, {156, 33, 0}, false},
        {{206, 206, 0}, {255, 255, 49}, {115, 115, 0}, false},
        {{0, 156, 0}, {0, 198, 0}, {0, 82, 0}, true},
        {{33, 41, 255}, {107, 115, 255}, {0, 0, 148}, true},
        {{206, 0, 206}, {255, 0, 255}, {107, 0, 115}, true},
        {{255, 156, 0}, {255, 206, 156}, {148, 90, 0}, true},
    }};
    return colours;
}

std::optional<Image> paintTile(int picture, int size, Look look)
{
    if (picture < 1 || picture > static_cast<int>(palette().size()) || size < MinSize || size > MaxSize)
        return std::nullopt;
    const TileColours& colours = palette()[static_cast<std::size_t>(picture - 1)];
    const int n = size;
    const double scale = n / 32.0;
    const double radius = 4.0 * scale;
    const int highlightWidth = std::max(1, static_cast<int>(std::lround(3.0 * scale)));
    const int shadowWidth = std::max(1, static_cast<int>(std::lround(4.0 * scale)));
    const Rgb outline = scaled(colours.shadow, 0.45);
    const Rgb secondTone = colours.secondTone ? scaled(colours.face, 0.9) : colours.face;
    const Rgb symbol = symbolTone(colours.face, secondTone);

    Image image = blackImage(n);
    // Which pixels the rounded square covers, worked out once for the
    // outline's test of every pixel's four neighbours.
    std::vector<bool> covered(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            covered[static_cast<std::size_t>(y) * static_cast<std::size_t>(n) + static_cast<std::size_t>(x)]
                = insideRounded(x, y, n, radius);
    const auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < n && y < n
            && covered[static_cast<std::size_t>(y) * static_cast<std::size_t>(n) + static_cast<std::size_t>(x)];
    };
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            if (!inside(x, y))
                continue;
            Rgb colour;
            if (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1)) {
                colour = outline;
            } else {
                // Depth inside the outline from the top-left and bottom-right
                // edges; where both bands meet, the nearer edge decides.
                const int fromTopLeft = std::min(x, y) - 1;
                const int fromBottomRight = std::min(n - 1 - x, n - 1 - y) - 1;
                const bool inShadow = fromBottomRight < shadowWidth;
                if (inShadow && (fromBottomRight < fromTopLeft || fromTopLeft >= highlightWidth))
                    colour = colours.shadow;
                else if (fromTopLeft < highlightWidth)
                    colour = colours.highlight;
                else
                    colour = x + y > n ? secondTone : colours.face;
                if (look == Look::Symbols) {
                    if (const double cover = symbolCover(picture, x, y, n); cover > 0.0)
                        colour = mixed(symbol, colour, cover);
                }
            }
            put(image, x, y, colour);
        }
    }
    return image;
}

std::optional<Image> paintIcon(int size, double fill)
{
    if (size < MinSize || size > MaxSize || !(fill > 0.0 && fill <= 1.0))
        return std::nullopt;
    // Row by row from the top, as bank indices 1..6.
    static constexpr std::array<int, 16> dots{1, 1, 2, 1, 4, 2, 3, 5, 3, 1, 6, 3, 4, 6, 3, 5};
    constexpr int Samples = 4; // per axis, for smooth dot edges at every size
    const double unit = size * fill / 32.0;
    const double radius = 2.5 * unit;
    const double inset = size * (1.0 - fill) / 2.0;

    Image image = blackImage(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int column = std::clamp(static_cast<int>((x + 0.5 - inset) / unit - 3.0) / 7, 0, 3);
            const int row = std::clamp(static_cast<int>((y + 0.5 - inset) / unit - 3.0) / 7, 0, 3);
            const double cx = inset + (3.0 + 7.0 * column + 2.5) * unit;
            const double cy = inset + (3.0 + 7.0 * row + 2.5) * unit;
            int covered = 0;
            for (int sy = 0; sy < Samples; ++sy) {
                for (int sx = 0; sx < Samples; ++sx) {
                    const double px = x + (sx + 0.5) / Samples;
                    const double py = y + (sy + 0.5) / Samples;
                    covered += std::hypot(px - cx, py - cy) <= radius ? 1 : 0;
                }
            }
            if (covered == 0)
                continue;
            const auto dot = static_cast<std::size_t>(row) * 4 + static_cast<std::size_t>(column);
            const Rgb face = palette()[static_cast<std::size_t>(dots[dot] - 1)].face;
            put(image, x, y, scaled(face, static_cast<double>(covered) / (Samples * Samples)));
        }
    }
    return image;
}

} // namespace pellorin::tiles
