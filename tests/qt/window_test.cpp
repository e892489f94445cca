// The real window under the offscreen platform: its design, its first frame,
// its menu and the ways it ends.
#include "shell_support.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTimer>

namespace pellorin::testing {
namespace {

// Calls back at every change of a widget's window state, while it lives.
class StateWatch final : public QObject {
public:
    StateWatch(QWidget& widget, std::function<void()> changed) : m_widget(widget), m_changed(std::move(changed))
    {
        widget.installEventFilter(this);
    }
    ~StateWatch() override { m_widget.removeEventFilter(this); }
    Q_DISABLE_COPY_MOVE(StateWatch)

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::WindowStateChange)
            m_changed();
        return false;
    }

private:
    QWidget& m_widget;
    std::function<void()> m_changed;
};

TEST(MainWindow, HasTheTitleTheFixedClientAreaAndTheIcon)
{
    auto window = patternWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(window->windowTitle(), "Pellorin");
    EXPECT_EQ(window->centralWidget()->size(), QSize(design::ClientWidth, design::ClientHeight));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the border must not resize it";

    const QSize before = window->size();
    window->resize(before + QSize(200, 150));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->centralWidget()->size(), QSize(design::ClientWidth, design::ClientHeight));
    EXPECT_EQ(window->size(), before);

    ASSERT_FALSE(window->windowIcon().isNull()) << "an icon from the start";
    // The large sizes come once the first frame shows.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowIcon().availableSizes().contains(QSize(256, 256)); },
                                SwapDeadlineMs));
    const QIcon icon = window->windowIcon();
    for (const int size : {16, 32, 48, 256})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    // The first dot of the 32-pixel icon is red, the space between dots black.
    const QImage small = icon.pixmap(QSize(32, 32), 1.0).toImage();
    EXPECT_EQ(small.pixelColor(5, 5), faceColour(1));
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
    ASSERT_EQ(frame.size(), QSize(design::ClientWidth, design::ClientHeight));
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
    const int first = form(*window).colourOf(1);
    window->menuAction(design::Command::NewGame)->trigger();
    // 64 draws from a cycle of 3 move ball 1 on by one colour of the cycle.
    EXPECT_EQ(form(*window).colourOf(1), first % 3 + 1);
    EXPECT_EQ(faceAt(grabBoard(*window), 1), faceColour(first % 3 + 1));
}

TEST(MainWindow, QuitEndsTheEventLoopWithStatusZero)
{
    auto window = patternWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTimer::singleShot(0, window.get(), [&] { window->menuAction(design::Command::Quit)->trigger(); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(form(*window).isClosed());
}

// A maximise or full-screen request, as Qt's own title bar, a shortcut or the
// compositor makes one, leaves the window as it was.
TEST(MainWindow, StaysAtItsSizeWhenAskedToMaximise)
{
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        GTEST_SKIP() << "a desktop may refuse the request without a word, leaving nothing to wait for; "
                        "the real program's tests ask the window manager and the compositor from outside";
    auto window = patternWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QSize before = window->size();
    for (const Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowFullScreen}) {
        // The window is seen entering the state, and then leaving it.
        bool entered = false;
        StateWatch watch(*window, [&] { entered |= (window->windowState() & state) != 0; });
        window->windowHandle()->setWindowStates(state);
        EXPECT_TRUE(QTest::qWaitFor([&] { return entered && window->windowState() == Qt::WindowNoState; }, 10000))
            << state;
        EXPECT_EQ(window->size(), before) << state;
        EXPECT_EQ(window->centralWidget()->size(), QSize(design::ClientWidth, design::ClientHeight)) << state;
    }
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
}

// Once the window manager has framed the window, centring has nothing left to
// wait for: its timer stops, so that an idle window wakes up no more.
TEST(MainWindow, StopsWaitingForItsFrameOnceFramed)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "only a window manager on X11 frames the window";
    auto window = patternWindow();
    window->centreOnScreen();
    window->show();
    auto* wait = window->findChild<QTimer*>(QStringLiteral("frameWait"));
    ASSERT_NE(wait, nullptr);
    QSignalSpy expired(wait, &QTimer::timeout);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry().size() != window->size(); }, 10000));
    if (expired.count() > 0)
        GTEST_SKIP() << "the window manager framed the window only after the wait had run out";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wait->isActive(); }, 10000));
    EXPECT_EQ(expired.count(), 0) << "stopped once framed, not run out";
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
    QObject::connect(window->menuAction(design::Command::NewGame), &QAction::triggered, [&] { dealt = true; });
    QTest::keyClick(window.get(), Qt::Key_M, Qt::AltModifier);
    QMenu* menu = window->menuBar()->actions()[0]->menu();
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 1000));
    QTest::keyClick(menu, Qt::Key_N);
    EXPECT_TRUE(dealt);
}

} // namespace
} // namespace pellorin::testing
