// On a screen of device pixel ratio 2 the tiles are drawn from their native
// 2x renderings, one to one: a one-device-pixel outline, no blur.
#include "shell_support.h"

#include <QScreen>
#include <QTemporaryFile>

namespace pellorin::testing {
namespace {

TEST(HighDensity, TilesAreDrawnFromTheirNative2xRenderings)
{
    ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), 2.0);
    auto window = patternWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QImage frame = grabBoard(*window);
    ASSERT_EQ(frame.size(), QSize(828, 826));

    for (const int k : {1, 2, 3, 10, 64}) {
        SCOPED_TRACE(k);
        const int r = colourOf(window->form(), k);
        const QImage native(
            QStringLiteral(":/tiles/%1@2x.png").arg(QString::fromStdString(window->form().imgBank[r].Picture->name)));
        ASSERT_EQ(native.size(), QSize(64, 64));
        const QPoint origin(static_cast<int>(window->form().imgBoll[k].Left) * 2,
                            static_cast<int>(window->form().imgBoll[k].Top) * 2);
        const QImage drawn = frame.copy(QRect(origin, QSize(64, 64))).convertToFormat(native.format());
        EXPECT_EQ(drawn, native);
        // One device pixel of outline, then the highlight at once.
        const QColor outline = drawn.pixelColor(32, 0);
        EXPECT_NE(outline, drawn.pixelColor(32, 1));
        EXPECT_EQ(drawn.pixelColor(32, 1), drawn.pixelColor(32, 6));
        EXPECT_NE(drawn.pixelColor(32, 1), drawn.pixelColor(32, 7)) << "the 2x highlight is six device pixels deep";
    }
}

} // namespace
} // namespace pellorin::testing

int main(int argc, char* argv[])
{
    // An offscreen screen of ratio 2, described in a file the platform reads.
    QTemporaryFile config;
    config.open();
    config.write(R"({"screens": [{"name": "hidpi", "x": 0, "y": 0, "width": 1600, "height": 1200,
                     "logicalDpi": 96, "logicalBpi": 96, "dpr": 2}]})");
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
