// A tile from the core's painter as a Qt image.
#pragma once

#include "tiles/tilepainter.h"

#include <QImage>

namespace pellorin {

// The painter's bytes are red, green, blue and an opaque fourth; the copy is
// in the raster engine's own format, which it blits as it is.
inline QImage tileImage(const tiles::Image& tile)
{
    const QImage view(tile.rgba.data(), tile.width, tile.height, static_cast<qsizetype>(tile.width) * 4,
                      QImage::Format_RGBX8888);
    return view.convertToFormat(QImage::Format_RGB32);
}

} // namespace pellorin
