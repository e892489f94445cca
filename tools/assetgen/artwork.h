// The game's pictures as image files, drawn by the core's painter, and its
// sounds, synthesised from their descriptions.
#pragma once

#include "tiles/tilepainter.h"

#include <QByteArray>
#include <QImage>

#include <array>
#include <cstdint>
#include <vector>

namespace pellorin::artwork {

// The desktop's icons, as the freedesktop icon theme and Qt take them.
inline constexpr std::array<int, 7> IconSizes{16, 24, 32, 48, 64, 128, 256};
// The Windows executable's icon: the sizes Windows asks for at 100 % to
// 250 % in its title bar, taskbar, Explorer and Start menu.
inline constexpr std::array<int, 8> WindowsIconSizes{16, 20, 24, 32, 40, 48, 64, 256};
// The browser game's icons for a home screen: 180 for iOS, 192 and 512 for
// the web app manifest, and one maskable, whose dots keep to the middle so
// that any mask a launcher cuts leaves them whole.
inline constexpr std::array<int, 3> WebIconSizes{180, 192, 512};
inline constexpr int MaskableIconSize = 512;
// The part of the side the dots span in the maskable icon: they reach 54 %
// of the side out from the centre in the plain icon, and a launcher's mask
// keeps only a circle 40 % of the side in radius.
inline constexpr double MaskableFill = 0.72;

// A painted picture as a Qt image, for writing to a file.
QImage toQImage(const tiles::Image& image);

// The icon at one size, as the painter draws it.
QImage icon(int size, double fill = 1.0);

// The smallest size an ICO file holds as PNG. Below it the images are DIBs,
// as in Windows' own icons and every icon editor's. Wine showed the small
// sizes with red and blue exchanged while they were PNG.
inline constexpr int IcoPngSize = 256;

// An icon's image as an ICO file holds it below IcoPngSize: the DIB header,
// the 32-bit pixels bottom-up, and an AND mask that leaves every pixel shown.
QByteArray icoDib(const tiles::Image& image);

// An ICO file holding the icon at each size, as the painter draws it: DIBs
// below IcoPngSize, PNG from there on; empty when a size cannot be painted.
QByteArray icoFile(const std::vector<int>& sizes);

inline constexpr int SampleRate = 44100;

// 16-bit mono samples.
std::vector<std::int16_t> swapSound();  // a soft slide, about 120 ms
std::vector<std::int16_t> clearSound(); // a bright chime, about 300 ms

// A canonical 44-byte-header PCM WAV file.
QByteArray wavFile(const std::vector<std::int16_t>& samples);

} // namespace pellorin::artwork
