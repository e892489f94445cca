// The committed assets are exactly what the generator draws and synthesises,
// and the drawings keep the shapes they are described by.
#include "artwork.h"

#include "sound/wavdecoder.h"

#include <QFile>

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

namespace pellorin::artwork {
namespace {

const QString Assets = QStringLiteral(PELLORIN_ASSETS_DIR);

TEST(Assets, TilesMatchTheGenerator)
{
    for (const TileColours& colours : tileColours()) {
        for (const int scale : TileScales) {
            const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
            const QString path = Assets + QStringLiteral("/tiles/%1%2.png").arg(colours.name, suffix);
            const QImage committed(path);
            ASSERT_FALSE(committed.isNull()) << path.toStdString();
            EXPECT_EQ(committed.convertToFormat(QImage::Format_RGB32), tile(colours, scale)) << path.toStdString();
        }
    }
}

TEST(Assets, IconsMatchTheGenerator)
{
    for (const int size : IconSizes) {
        const QImage committed(Assets + QStringLiteral("/icons/pellorin-%1.png").arg(size));
        EXPECT_EQ(committed.size(), QSize(size, size));
        EXPECT_EQ(committed.convertToFormat(QImage::Format_RGB32), icon(size)) << size;
    }
}

TEST(Assets, WebIconsMatchTheGeneratorAndTheMaskableOneKeepsToTheSafeCircle)
{
    for (const int size : WebIconSizes) {
        const QImage committed(Assets + QStringLiteral("/icons/pellorin-%1.png").arg(size));
        EXPECT_EQ(committed.convertToFormat(QImage::Format_RGB32), icon(size)) << size;
    }
    const QImage maskable(Assets + QStringLiteral("/icons/pellorin-maskable-512.png"));
    ASSERT_EQ(maskable.convertToFormat(QImage::Format_RGB32), icon(MaskableIconSize, MaskableFill));
    // Every lit pixel lies within the circle a launcher keeps (radius 40 % of
    // the side), and the dots still span most of it.
    double farthest = 0.0;
    for (int y = 0; y < maskable.height(); ++y)
        for (int x = 0; x < maskable.width(); ++x)
            if (maskable.pixel(x, y) != qRgb(0, 0, 0))
                farthest = std::max(farthest, std::hypot(x + 0.5 - 256.0, y + 0.5 - 256.0));
    EXPECT_LE(farthest, 0.40 * 512);
    EXPECT_GT(farthest, 0.35 * 512);
}

TEST(Assets, SoundsMatchTheGenerator)
{
    for (const auto& [name, bytes] :
         {std::pair{"Swap.wav", wavFile(swapSound())}, std::pair{"Bort.wav", wavFile(clearSound())}}) {
        QFile file(Assets + QStringLiteral("/sounds/") + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(file.readAll(), bytes) << name;
    }
}

TEST(Tiles, AreOpaqueBevelledSquaresWithBlackCorners)
{
    for (const TileColours& colours : tileColours()) {
        for (const int scale : TileScales) {
            SCOPED_TRACE(colours.name.toStdString() + " x" + std::to_string(scale));
            const QImage image = tile(colours, scale);
            const int n = 32 * scale;
            ASSERT_EQ(image.size(), QSize(n, n));
            EXPECT_FALSE(image.hasAlphaChannel());
            for (const QPoint corner : {QPoint(0, 0), QPoint(n - 1, 0), QPoint(0, n - 1), QPoint(n - 1, n - 1)})
                EXPECT_EQ(image.pixelColor(corner), QColor(Qt::black));
            const int mid = n / 2 - 2;
            EXPECT_EQ(image.pixelColor(mid, 1), colours.highlight);
            EXPECT_EQ(image.pixelColor(1, mid), colours.highlight);
            EXPECT_EQ(image.pixelColor(mid, n - 2), colours.shadow);
            EXPECT_EQ(image.pixelColor(n - 2, mid), colours.shadow);
            // Below the outline, 3 pixels of highlight and 4 of shadow.
            EXPECT_EQ(image.pixelColor(mid, 3 * scale), colours.highlight);
            EXPECT_EQ(image.pixelColor(mid, 3 * scale + 1), colours.face);
            EXPECT_EQ(image.pixelColor(mid, n - 1 - 4 * scale), colours.shadow);
            EXPECT_NE(image.pixelColor(mid, n - 2 - 4 * scale), colours.shadow);
        }
    }
}

TEST(Sounds, AreShortPlayableWavs)
{
    for (const auto& [samples, seconds] : {std::pair{swapSound(), 0.12}, std::pair{clearSound(), 0.3}}) {
        EXPECT_NEAR(static_cast<double>(samples.size()) / SampleRate, seconds, 0.001);
        const QByteArray file = wavFile(samples);
        const auto pcm = decodeWav(std::as_bytes(std::span(file.constData(), static_cast<std::size_t>(file.size()))));
        ASSERT_TRUE(pcm);
        EXPECT_EQ(pcm->sampleRate, SampleRate);
        EXPECT_EQ(pcm->samples, samples);
        const auto loudest = *std::max_element(samples.begin(), samples.end(),
                                               [](auto a, auto b) { return std::abs(a) < std::abs(b); });
        EXPECT_GT(std::abs(loudest), 3000) << "audible";
        EXPECT_LT(std::abs(samples.back()), 200) << "fades out without a click";
    }
}

} // namespace
} // namespace pellorin::artwork
