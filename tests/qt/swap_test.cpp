// Playing in the real window: a press in a gap swaps the pair on screen,
// a press on a tile does nothing, and closing stops a running swap.
#include "shell_support.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>

namespace pellorin::testing {
namespace {

struct Shown : ::testing::Test {
    void SetUp() override
    {
        window = patternWindow();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    std::unique_ptr<MainWindow> window;
};

TEST_F(Shown, APressInTheGapBelowBallOneSwapsItWithBallNine)
{
    const QImage before = grabBoard(*window);
    const QColor one = faceAt(before, 1);
    const QColor nine = faceAt(before, 9);
    ASSERT_NE(one, nine);
    SwapEnds finished(*window);
    QTest::mousePress(window->boardView(), Qt::LeftButton, {}, QPoint(40, 64));
    QTest::mouseRelease(window->boardView(), Qt::LeftButton, {}, QPoint(40, 64));
    ASSERT_TRUE(finished.wait(SwapDeadlineMs));
    EXPECT_EQ(finished.count(), 1);
    const QImage after = grabBoard(*window);
    EXPECT_EQ(faceAt(after, 1), nine);
    EXPECT_EQ(faceAt(after, 9), one);
    EXPECT_EQ(after.pixelColor(40, 64), QColor(0, 0, 0)) << "both tiles are home again";
    EXPECT_EQ(window->game().cursor(), CursorCode::SizeNS);
}

TEST_F(Shown, EachTickIsOnScreenBeforeTheNext)
{
    const QColor black(0, 0, 0);
    ASSERT_EQ(grabBoard(*window).pixelColor(68, 40), black);
    // The frame is taken in the turn of the first tick, right after it, so
    // that no second tick can come between.
    auto* timer = window->findChild<QTimer*>(QStringLiteral("Timer2"));
    ASSERT_NE(timer, nullptr);
    float left = 0;
    QImage frame;
    const auto connection = QObject::connect(timer, &QTimer::timeout, [&] {
        if (frame.isNull()) {
            left = form(*window).imgBoll[2].Left;
            frame = grabBoard(*window);
        }
    });
    SwapEnds finished(*window);
    QTest::mousePress(window->boardView(), Qt::RightButton, {}, QPoint(64, 40));
    ASSERT_TRUE(finished.wait(SwapDeadlineMs));
    QObject::disconnect(connection);
    // After the first tick ball 2 has come 4 pixels left: its left edge at 68.
    EXPECT_EQ(left, 68.0f);
    EXPECT_NE(frame.pixelColor(68, 40), black) << "the moved tile shows at its new place";
    EXPECT_EQ(frame.pixelColor(101, 40), black) << "its old right edge is repainted black";
}

TEST_F(Shown, APressOnATileOrAMarginChangesNothing)
{
    const QImage before = grabBoard(*window);
    for (const QPoint at : {QPoint(40, 40), QPoint(60, 60), QPoint(10, 10), QPoint(400, 40)}) {
        QTest::mouseClick(window->boardView(), Qt::LeftButton, {}, at);
        EXPECT_FALSE(form(*window).swapRunning()) << at.x() << "," << at.y();
    }
    EXPECT_EQ(grabBoard(*window), before);
}

TEST_F(Shown, MovesSetTheCursorShapes)
{
    const struct {
        QPoint at;
        Qt::CursorShape shape;
    } moves[] = {{{40, 64}, Qt::SizeVerCursor}, {{64, 40}, Qt::SizeHorCursor}, {{60, 60}, Qt::ForbiddenCursor},
                 {{64, 40}, Qt::SizeHorCursor}, {{64, 10}, Qt::SizeHorCursor}, {{40, 40}, Qt::ForbiddenCursor}};
    for (const auto& move : moves) {
        QTest::mouseMove(window->boardView(), move.at);
        EXPECT_EQ(window->boardView()->cursor().shape(), move.shape) << move.at.x() << "," << move.at.y();
    }
}

TEST_F(Shown, ClosingDuringASwapStopsItWhereItStands)
{
    QTest::mouseClick(window->boardView(), Qt::LeftButton, {}, QPoint(40, 64));
    const float home = form(*window).imgBoll[1].Top;
    ASSERT_TRUE(QTest::qWaitFor([&] { return form(*window).imgBoll[1].Top != home; }, SwapDeadlineMs));
    SwapEnds finished(*window);
    window->close();
    const float top = form(*window).imgBoll[1].Top;
    // With both real timers stopped no tick can come any more.
    for (const auto* timer : swapTimers(*window))
        EXPECT_FALSE(timer->isActive()) << timer->objectName().toStdString();
    QCoreApplication::processEvents();
    EXPECT_EQ(form(*window).imgBoll[1].Top, top);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_FALSE(form(*window).swapRunning());
}

} // namespace
} // namespace pellorin::testing
