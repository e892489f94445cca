// The game's pictures as image files, and its sounds.
#include "artwork.h"

#include <QBuffer>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pellorin::artwork {
namespace {

void appendLe16(QByteArray& out, quint16 v)
{
    v = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&v), 2);
}

void appendLe32(QByteArray& out, quint32 v)
{
    v = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&v), 4);
}

} // namespace

QImage toQImage(const tiles::Image& image)
{
    QImage out(image.width, image.height, QImage::Format_RGB32);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const Rgb c = image.at(x, y);
            out.setPixel(x, y, qRgb(c.red, c.green, c.blue));
        }
    return out;
}

QImage icon(int size, double fill)
{
    const auto painted = tiles::paintIcon(size, fill);
    return painted ? toQImage(*painted) : QImage();
}

QByteArray icoDib(const tiles::Image& image)
{
    // The header tells twice the height: the colour rows and the mask's.
    QByteArray out;
    appendLe32(out, 40); // the header's own size
    appendLe32(out, static_cast<quint32>(image.width));
    appendLe32(out, static_cast<quint32>(2 * image.height));
    appendLe16(out, 1);  // planes
    appendLe16(out, 32); // bits per pixel
    appendLe32(out, 0);  // not compressed
    // The mask has one bit a pixel, in rows of whole 32-bit words.
    const int maskRow = (image.width + 31) / 32 * 4;
    appendLe32(out, static_cast<quint32>(image.height * (image.width * 4 + maskRow)));
    for (int i = 0; i < 4; ++i)
        appendLe32(out, 0); // resolution and palette: none
    // Bottom-up, blue, green, red, alpha.
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x) {
            const auto i = static_cast<std::size_t>(4 * (y * image.width + x));
            out.append(static_cast<char>(image.rgba[i + 2]));
            out.append(static_cast<char>(image.rgba[i + 1]));
            out.append(static_cast<char>(image.rgba[i]));
            out.append(static_cast<char>(image.rgba[i + 3]));
        }
    // The mask: every pixel shown, as the alpha says too.
    out.append(QByteArray(image.height * maskRow, '\0'));
    return out;
}

QByteArray icoFile(const std::vector<int>& sizes)
{
    std::vector<QByteArray> images;
    for (const int size : sizes) {
        const auto painted = tiles::paintIcon(size);
        if (!painted)
            return {};
        if (size < IcoPngSize) {
            images.push_back(icoDib(*painted));
            continue;
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        toQImage(*painted).save(&buffer, "PNG");
        images.push_back(png);
    }
    QByteArray out;
    appendLe16(out, 0); // reserved
    appendLe16(out, 1); // an icon
    appendLe16(out, static_cast<quint16>(sizes.size()));
    auto offset = static_cast<quint32>(6 + 16 * sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int side = sizes[i] >= 256 ? 0 : sizes[i]; // 0 stands for 256
        out.append(static_cast<char>(side));
        out.append(static_cast<char>(side));
        out.append('\0'); // no palette
        out.append('\0');
        appendLe16(out, 1);  // planes
        appendLe16(out, 32); // bits per pixel
        appendLe32(out, static_cast<quint32>(images[i].size()));
        appendLe32(out, offset);
        offset += static_cast<quint32>(images[i].size());
    }
    for (const QByteArray& image : images)
        out.append(image);
    return out;
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
    const auto u32 = [&out](quint32 v) { appendLe32(out, v); };
    const auto u16 = [&out](quint16 v) { appendLe16(out, v); };
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
