// Draws the game's pictures and synthesises its sounds, from their descriptions.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace pellorin::artwork {

struct TileColours {
    QString name;
    QColor face;
    QColor highlight;
    QColor shadow;
    bool secondTone; // a faint darker tone over the lower right of the face
};

// The six tiles, in bank order 1 to 6.
const std::array<TileColours, 6>& tileColours();

inline constexpr int TileSize = 32;
inline constexpr std::array<int, 3> TileScales{1, 2, 3};
inline constexpr std::array<int, 7> IconSizes{16, 24, 32, 48, 64, 128, 256};
// The browser game's icons for a home screen: 180 for iOS, 192 and 512 for
// the web app manifest, and one maskable, whose dots keep to the middle so
// that any mask a launcher cuts leaves them whole.
inline constexpr std::array<int, 3> WebIconSizes{180, 192, 512};
inline constexpr int MaskableIconSize = 512;
// The part of the side the dots span in the maskable icon: they reach 54 %
// of the side out from the centre in the plain icon, and a launcher's mask
// keeps only a circle 40 % of the side in radius.
inline constexpr double MaskableFill = 0.72;

// A tile of 32 logical pixels drawn at scale device pixels per logical pixel:
// the outline stays one device pixel wide, the bevels scale.
QImage tile(const TileColours& colours, int scale);

// The 4 by 4 grid of round dots on black, drawn anew at size pixels square,
// the grid scaled to fill that part of the side and centred.
QImage icon(int size, double fill = 1.0);

inline constexpr int SampleRate = 44100;

// 16-bit mono samples.
std::vector<std::int16_t> swapSound();  // a soft slide, about 120 ms
std::vector<std::int16_t> clearSound(); // a bright chime, about 300 ms

// A canonical 44-byte-header PCM WAV file.
QByteArray wavFile(const std::vector<std::int16_t>& samples);

} // namespace pellorin::artwork
