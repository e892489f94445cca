// At every device pixel ratio, 2 and the fractional 1.25 and 1.5 alike, the
// tiles are the core's painter's at that ratio's tile size, unscaled, each on
// whole device pixels with black right up to its edges; moved to a screen of
// another ratio, the board is painted again with tiles of the new size.
#include "shell/qt/tileimage.h"
#include "shell_support.h"

#include <QScreen>
#include <QTemporaryFile>
#include <QWindow>

namespace pellorin::testing {
namespace {

constexpr QRgb Black = 0xff000000;

QImage painted(int picture, int size)
{
    return tileImage(*tiles::paintTile(picture, size));
}

// Whether the board, grabbed at the scale, shows ball k's tile exactly where
// the scale puts it, with black on every side of it.
::testing::AssertionResult tileIsCrisp(const QImage& frame, const MainWindow& window, const DeviceScale& scale, int k)
{
    const Sprite& ball = form(window).imgBoll[k];
    const DeviceRect at = scale.tile(ball.Left, ball.Top);
    const QImage drawn = frame.copy(at.left, at.top, at.width, at.height).convertToFormat(QImage::Format_RGB32);
    if (drawn != painted(window.game().colourOf(k), scale.tileSize()))
        return ::testing::AssertionFailure()
            << "ball " << k << " is not the painter's tile at (" << at.left << ", " << at.top << ")";
    for (int i = 0; i < at.width; ++i) {
        const std::array<QPoint, 4> outside{QPoint(at.left - 1, at.top + i), QPoint(at.right(), at.top + i),
                                            QPoint(at.left + i, at.top - 1), QPoint(at.left + i, at.bottom())};
        for (const QPoint& p : outside)
            if (frame.pixel(p) != Black)
                return ::testing::AssertionFailure()
                    << "ball " << k << ": a soft edge at (" << p.x() << ", " << p.y() << ")";
    }
    return ::testing::AssertionSuccess();
}

TEST(HighDensity, TilesArePaintedAtEachScreensRatioOnWholeDevicePixels)
{
    auto window = patternWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    for (QScreen* screen : QGuiApplication::screens()) {
        const qreal ratio = screen->devicePixelRatio();
        SCOPED_TRACE(ratio);
        window->windowHandle()->setScreen(screen);
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->boardView()->devicePixelRatioF() == ratio; }));
        const DeviceScale scale(ratio);
        const QImage frame = grabBoard(*window);
        ASSERT_EQ(frame.size(), QSize(scale.clientWidth(), scale.clientHeight()));
        for (const int k : {1, 2, 3, 10, 37, 64})
            EXPECT_TRUE(tileIsCrisp(frame, *window, scale, k));
    }
}

} // namespace
} // namespace pellorin::testing

int main(int argc, char* argv[])
{
    // Offscreen screens of ratios 2, 1.25 and 1.5 side by side, described in
    // a file the platform reads.
    QTemporaryFile config;
    config.open();
    config.write(R"({"screens": [
        {"name": "double", "x": 0, "y": 0, "width": 1600, "height": 1200, "logicalDpi": 96, "logicalBpi": 96, "dpr": 2},
        {"name": "laptop", "x": 1600, "y": 0, "width": 1536, "height": 864, "logicalDpi": 96, "logicalBpi": 96, "dpr": 1.25},
        {"name": "common", "x": 3136, "y": 0, "width": 1280, "height": 720, "logicalDpi": 96, "logicalBpi": 96, "dpr": 1.5}]})");
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
