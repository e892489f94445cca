// Draws the game's pictures and synthesises its sounds, from their descriptions.
#include "artwork.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pellorin::artwork {
namespace {

QColor darker(const QColor& c, double factor)
{
    return QColor::fromRgb(static_cast<int>(std::lround(c.red() * factor)),
                           static_cast<int>(std::lround(c.green() * factor)),
                           static_cast<int>(std::lround(c.blue() * factor)));
}

// Inside the rounded square of side n with corner radius r, sampled at the
// centre of device pixel (x, y).
bool insideRounded(int x, int y, int n, double r)
{
    const double px = x + 0.5;
    const double py = y + 0.5;
    const double cx = std::clamp(px, r, n - r);
    const double cy = std::clamp(py, r, n - r);
    return std::hypot(px - cx, py - cy) <= r;
}

} // namespace

const std::array<TileColours, 6>& tileColours()
{
    static const std::array<TileColours, 6> colours{{
        {QStringLiteral("red"), QColor(255, 0, 0), QColor(255, 107, 107), QColor(156, 33, 0), false},
        {QStringLiteral("yellow"), QColor(206, 206, 0), QColor(255, 255, 49), QColor(115, 115, 0), false},
        {QStringLiteral("green"), QColor(0, 156, 0), QColor(0, 198, 0), QColor(0, 82, 0), true},
        {QStringLiteral("blue"), QColor(33, 41, 255), QColor(107, 115, 255), QColor(0, 0, 148), true},
        {QStringLiteral("magenta"), QColor(206, 0, 206), QColor(255, 0, 255), QColor(107, 0, 115), true},
        {QStringLiteral("orange"), QColor(255, 156, 0), QColor(255, 206, 156), QColor(148, 90, 0), true},
    }};
    return colours;
}

QImage tile(const TileColours& colours, int scale)
{
    const int n = TileSize * scale;
    const double radius = 4.0 * scale;
    const int highlightWidth = 3 * scale;
    const int shadowWidth = 4 * scale;
    const QColor outline = darker(colours.shadow, 0.45);
    const QColor secondTone = colours.secondTone ? darker(colours.face, 0.9) : colours.face;

    QImage image(n, n, QImage::Format_RGB32);
    image.fill(Qt::black);
    const auto inside
        = [&](int x, int y) { return x >= 0 && y >= 0 && x < n && y < n && insideRounded(x, y, n, radius); };
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            if (!inside(x, y))
                continue;
            QColor colour;
            if (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1)) {
                colour = outline;
            } else {
                // Depth inside the outline from the top-left and bottom-right edges;
                // where both bands meet, the nearer edge decides.
                const int fromTopLeft = std::min(x, y) - 1;
                const int fromBottomRight = std::min(n - 1 - x, n - 1 - y) - 1;
                if (fromBottomRight < shadowWidth && fromBottomRight < fromTopLeft)
                    colour = colours.shadow;
                else if (fromTopLeft < highlightWidth)
                    colour = colours.highlight;
                else if (fromBottomRight < shadowWidth)
                    colour = colours.shadow;
                else
                    colour = x + y > n ? secondTone : colours.face;
            }
            image.setPixel(x, y, colour.rgb());
        }
    }
    return image;
}

QImage icon(int size, double fill)
{
    // Row by row from the top, as bank indices 1..6.
    static constexpr std::array<int, 16> dots{1, 1, 2, 1, 4, 2, 3, 5, 3, 1, 6, 3, 4, 6, 3, 5};
    constexpr int Samples = 4; // per axis, for smooth dot edges at every size
    const double unit = size * fill / 32.0;
    const double radius = 2.5 * unit;
    const double inset = size * (1.0 - fill) / 2.0;

    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::black);
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
            const QColor face
                = tileColours()[static_cast<std::size_t>(dots[static_cast<std::size_t>(row * 4 + column)] - 1)].face;
            image.setPixel(x, y, darker(face, static_cast<double>(covered) / (Samples * Samples)).rgb());
        }
    }
    return image;
}

std::vector<std::int16_t> swapSound()
{
    constexpr double Seconds = 0.12;
    const int count = static_cast<int>(SampleRate * Seconds);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    double phase = 0.0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / count;
        // A rising glide, softened by a raised-cosine envelope.
        const double frequency = 330.0 + 260.0 * t;
        phase += 2.0 * std::numbers::pi * frequency / SampleRate;
        const double envelope = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * t);
        const double value = (std::sin(phase) + 0.3 * std::sin(2.0 * phase)) * envelope * 0.3;
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(value * 32767.0));
    }
    return samples;
}

std::vector<std::int16_t> clearSound()
{
    constexpr double Seconds = 0.3;
    constexpr double Attack = 0.003;
    constexpr double Decay = 0.09; // time constant
    constexpr std::array<std::pair<double, double>, 3> Partials{{{1568.0, 1.0}, {2349.3, 0.5}, {3136.0, 0.25}}};
    const int count = static_cast<int>(SampleRate * Seconds);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double time = static_cast<double>(i) / SampleRate;
        double value = 0.0;
        for (const auto& [frequency, weight] : Partials)
            value += weight * std::sin(2.0 * std::numbers::pi * frequency * time);
        const double attack = std::min(1.0, time / Attack);
        const double tail = std::min(1.0, (Seconds - time) / 0.02); // fade out the last 20 ms
        value *= attack * std::exp(-time / Decay) * tail * 0.4 / 1.75;
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(value * 32767.0));
    }
    return samples;
}

QByteArray wavFile(const std::vector<std::int16_t>& samples)
{
    const auto dataBytes = static_cast<quint32>(samples.size() * sizeof(std::int16_t));
    QByteArray out;
    const auto u32 = [&out](quint32 v) {
        v = qToLittleEndian(v);
        out.append(reinterpret_cast<const char*>(&v), 4);
    };
    const auto u16 = [&out](quint16 v) {
        v = qToLittleEndian(v);
        out.append(reinterpret_cast<const char*>(&v), 2);
    };
    out.append("RIFF", 4);
    u32(36 + dataBytes);
    out.append("WAVEfmt ", 8);
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(SampleRate);
    u32(SampleRate * 2);
    u16(2);
    u16(16);
    out.append("data", 4);
    u32(dataBytes);
    for (const std::int16_t s : samples)
        u16(static_cast<quint16>(s));
    return out;
}

} // namespace pellorin::artwork
