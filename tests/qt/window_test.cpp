// The real window under the offscreen platform: its design, its first frame,
// its menu and the ways it ends.
#include "shell_support.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace pellorin::testing {
namespace {

TEST(MainWindow, HasTheTitleTheFixedClientAreaAndTheIcon)
{
    auto window = patternWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(window->windowTitle(), "Pellorin");
    EXPECT_EQ(window->centralWidget()->size(), QSize(414, 413));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the border must not resize it";

    const QSize before = window->size();
    window->resize(before + QSize(200, 150));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->centralWidget()->size(), QSize(414, 413));
    EXPECT_EQ(window->size(), before);

    const QIcon icon = window->windowIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 32, 48, 256})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    // The first dot of the 32-pixel icon is red, the space between dots black.
    const QImage small = icon.pixmap(QSize(32, 32), 1.0).toImage();
    EXPECT_EQ(small.pixelColor(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(small.pixelColor(1, 1), QColor(0, 0, 0));
    EXPECT_EQ(small.pixelColor(5 + 14, 5), faceColour(2));
}

TEST(MainWindow, HasTheSwedishMenuWithItsAccessKeys)
{
    auto window = patternWindow();
    const QList<QAction*> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), 1);
    EXPECT_EQ(bar[0]->text(), "&Meny");
    const QList<QAction*> items = bar[0]->menu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), "&Nytt spel");
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), "&Avsluta");
    EXPECT_EQ(QKeySequence::mnemonic(bar[0]->text()), QKeySequence(Qt::ALT | Qt::Key_M));
    EXPECT_EQ(QKeySequence::mnemonic(items[0]->text()), QKeySequence(Qt::ALT | Qt::Key_N));
    EXPECT_EQ(QKeySequence::mnemonic(items[2]->text()), QKeySequence(Qt::ALT | Qt::Key_A));
}

TEST(MainWindow, TheFirstFrameShowsTheDealtBoardOnBlack)
{
    auto window = patternWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QImage frame = grabBoard(*window);
    ASSERT_EQ(frame.size(), QSize(414, 413));
    const std::vector<int> expected = patternColours();
    for (int k = 1; k <= 64; ++k)
        EXPECT_EQ(faceAt(frame, k), faceColour(expected[static_cast<std::size_t>(k - 1)])) << "ball " << k;
    const QColor black(0, 0, 0);
    for (const QPoint gap : {QPoint(60, 60), QPoint(40, 64), QPoint(64, 40), QPoint(5, 5), QPoint(410, 410),
                             QPoint(200, 400), QPoint(400, 200), QPoint(24, 24), QPoint(55, 55)})
        EXPECT_EQ(frame.pixelColor(gap), black) << gap.x() << "," << gap.y();
}

TEST(MainWindow, NewGameDealsAFreshBoard)
{
    auto window = std::make_unique<MainWindow>(std::make_unique<CycleRandom>(std::vector<int>{1, 2, 3}));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const int first = colourOf(window->form(), 1);
    window->newGameAction()->trigger();
    // 64 draws from a cycle of 3 move ball 1 on by one colour of the cycle.
    EXPECT_EQ(colourOf(window->form(), 1), first % 3 + 1);
    EXPECT_EQ(faceAt(grabBoard(*window), 1), faceColour(first % 3 + 1));
}

TEST(MainWindow, QuitEndsTheEventLoopWithStatusZero)
{
    auto window = patternWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTimer::singleShot(0, window.get(), [&] { window->quitAction()->trigger(); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->form().isUnloaded());
}

// A maximise or full-screen request, as Qt's own title bar, a shortcut or the
// compositor makes one, leaves the window as it was.
TEST(MainWindow, StaysAtItsSizeWhenAskedToMaximise)
{
    auto window = patternWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QSize before = window->size();
    for (const Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowFullScreen}) {
        window->windowHandle()->setWindowStates(state);
        QTest::qWait(100);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->windowState() == Qt::WindowNoState; }, 2000)) << state;
        EXPECT_EQ(window->size(), before) << state;
        EXPECT_EQ(window->centralWidget()->size(), QSize(414, 413)) << state;
    }
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST(MainWindow, TheAccessKeysReachTheMenuItems)
{
    if (QGuiApplication::platformName() == "wayland")
        GTEST_SKIP() << "a headless compositor has no seat: no window there is ever active";
    auto window = patternWindow();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    bool dealt = false;
    QObject::connect(window->newGameAction(), &QAction::triggered, [&] { dealt = true; });
    QTest::keyClick(window.get(), Qt::Key_M, Qt::AltModifier);
    QMenu* menu = window->menuBar()->actions()[0]->menu();
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 1000));
    QTest::keyClick(menu, Qt::Key_N);
    EXPECT_TRUE(dealt);
}

} // namespace
} // namespace pellorin::testing
