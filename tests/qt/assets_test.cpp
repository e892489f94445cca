// The committed assets are exactly what the generator draws and synthesises,
// the painter draws the tiles as their files did, and the drawings keep the
// shapes they are described by.
#include "artwork.h"

#include "design/design.h"

#include "sound/wavdecoder.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

namespace pellorin::artwork {
namespace {

const QString Assets = QStringLiteral(PELLORIN_ASSETS_DIR);
const QString TestData = QStringLiteral(PELLORIN_TEST_DATA_DIR);

QImage tile(int picture, int scale, tiles::Look look = tiles::Look::Plain)
{
    return toQImage(*tiles::paintTile(picture, 32 * scale, look));
}

// The tiles were once drawn into files at 1, 2 and 3 device pixels per
// client pixel; the painter draws the same pixels, to the last bit of every
// channel.
TEST(Tiles, AreTheRenderingsTheyReplaced)
{
    constexpr int Tolerance = 0; // the largest difference of a channel
    for (int picture = 1; picture <= 6; ++picture) {
        for (const int scale : {1, 2, 3}) {
            const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
            const QString name = QString::fromUtf8(design::Pictures[static_cast<std::size_t>(picture - 1)].data());
            const QString path = TestData + QStringLiteral("/tiles/%1%2.png").arg(name, suffix);
            const QImage before = QImage(path).convertToFormat(QImage::Format_RGB32);
            ASSERT_FALSE(before.isNull()) << path.toStdString();
            const QImage now = tile(picture, scale);
            ASSERT_EQ(now.size(), before.size());
            int largest = 0;
            for (int y = 0; y < now.height(); ++y)
                for (int x = 0; x < now.width(); ++x) {
                    const QRgb a = now.pixel(x, y);
                    const QRgb b = before.pixel(x, y);
                    largest = std::max({largest, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                        std::abs(qBlue(a) - qBlue(b))});
                }
            EXPECT_LE(largest, Tolerance) << path.toStdString();
        }
    }
}

// The Windows icon holds every size Windows asks for, as the painter draws
// it, read back by Qt's own ICO reader: DIBs below 256 pixels and PNG at 256,
// the colours in their own channels.
TEST(Assets, TheWindowsIconHoldsEverySize)
{
    QFile file(Assets + QStringLiteral("/icons/pellorin.ico"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    EXPECT_EQ(ico, icoFile({WindowsIconSizes.begin(), WindowsIconSizes.end()}));
    QBuffer buffer;
    buffer.setData(ico);
    QImageReader reader(&buffer, "ico");
    ASSERT_EQ(reader.imageCount(), static_cast<int>(WindowsIconSizes.size()));
    for (std::size_t i = 0; i < WindowsIconSizes.size(); ++i) {
        const int size = WindowsIconSizes[i];
        SCOPED_TRACE(size);
        ASSERT_TRUE(reader.jumpToImage(static_cast<int>(i)));
        EXPECT_EQ(reader.read().convertToFormat(QImage::Format_RGB32), icon(size));
        // Where the entry's bytes start: a PNG's signature, or a DIB's header
        // of 40 bytes.
        const auto at = qFromLittleEndian<quint32>(ico.constData() + 6 + 16 * i + 12);
        const bool png = ico.mid(static_cast<qsizetype>(at), 4) == QByteArray("\x89PNG");
        EXPECT_EQ(png, size >= 256);
        if (!png) {
            EXPECT_EQ(qFromLittleEndian<quint32>(ico.constData() + at), 40u);
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
    const auto qcolor = [](Rgb c) { return QColor(c.red, c.green, c.blue); };
    for (int picture = 1; picture <= 6; ++picture) {
        const auto& painted = tiles::palette()[static_cast<std::size_t>(picture - 1)];
        const struct {
            QColor face, highlight, shadow;
        } colours{qcolor(painted.face), qcolor(painted.highlight), qcolor(painted.shadow)};
        for (const int scale : {1, 2, 3}) {
            SCOPED_TRACE(std::to_string(picture) + " x" + std::to_string(scale));
            const QImage image = tile(picture, scale);
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
