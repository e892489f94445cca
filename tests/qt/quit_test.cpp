// Quitting at any moment ends the event loop at once with status 0, and no
// tick and no line check runs after it.
#include "shell_support.h"

#include <QAction>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>

#include <memory>

namespace pellorin::testing {
namespace {

struct Snapshot {
    std::vector<float> positions;
    std::vector<int> colours;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const Form1& form)
{
    Snapshot s;
    for (int k = 0; k <= 64; ++k) {
        s.positions.push_back(form.imgBoll[k].Left);
        s.positions.push_back(form.imgBoll[k].Top);
        s.colours.push_back(form.colourOf(k));
    }
    return s;
}

enum class Moment { RightAfterStartUp, DuringASwap, RightAfterAClear };
enum class Way { Menu, CloseButton };

struct QuitCase {
    Moment moment;
    Way way;
    friend void PrintTo(const QuitCase& c, std::ostream* os)
    {
        *os << static_cast<int>(c.moment) << "/" << static_cast<int>(c.way);
    }
};

class Quitting : public ::testing::TestWithParam<QuitCase> {};

TEST_P(Quitting, EndsAtOnceWithStatusZeroAndNothingRunsAfter)
{
    // Column 1 comes out complete in colour 1 when balls 9 and 10 swap:
    // 1,2,1 down the column with 1 at ball 10.
    std::vector<int> colours = patternColours();
    for (int row = 1; row <= 8; ++row)
        colours[static_cast<std::size_t>((row - 1) * 8)] = 1;
    colours[8] = 2;
    colours[9] = 1;
    auto window = std::make_unique<MainWindow>(std::make_unique<CycleRandom>(colours));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    const auto quit = [&] {
        if (GetParam().way == Way::Menu)
            window->menuAction(design::Command::Quit)->trigger();
        else
            window->windowHandle()->close(); // what the window manager's close button does
    };
    // After a clear, the quit comes in the turn of the swap's last tick.
    const bool afterClear = GetParam().moment == Moment::RightAfterAClear;
    SwapEnds finished(*window, afterClear ? std::function<void()>(quit) : nullptr);
    switch (GetParam().moment) {
    case Moment::RightAfterStartUp:
        QTimer::singleShot(0, window.get(), quit);
        break;
    case Moment::DuringASwap: {
        // From the event loop right after the swap's third tick, before the
        // fourth, as a player's choice would come.
        QTest::mouseClick(window->boardView(), Qt::LeftButton, {}, QPoint(64, 88));
        auto* timer = window->findChild<QTimer*>(QStringLiteral("Timer2")); // a horizontal pair
        ASSERT_TRUE(timer && timer->isActive());
        auto ticks = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, window.get(), [ticks, quit, &window] {
            if (++*ticks == 3)
                QMetaObject::invokeMethod(window.get(), quit, Qt::QueuedConnection);
        });
        break;
    }
    case Moment::RightAfterAClear:
        QTest::mouseClick(window->boardView(), Qt::LeftButton, {}, QPoint(64, 88));
        break;
    }
    // Only a loop that never ends reaches the watchdog, whose status fails.
    QTimer watchdog;
    watchdog.callOnTimeout([] { QApplication::exit(99); });
    watchdog.start(SwapDeadlineMs);
    EXPECT_EQ(QApplication::exec(), 0);
    watchdog.stop();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(form(*window).swapRunning());

    // With both real timers stopped, no tick and no line check can come.
    const Snapshot atQuit = snapshot(form(*window));
    for (const auto* timer : swapTimers(*window))
        EXPECT_FALSE(timer->isActive()) << timer->objectName().toStdString();
    QCoreApplication::processEvents();
    EXPECT_EQ(snapshot(form(*window)), atQuit) << "a tick or a line check ran after quitting";
    EXPECT_EQ(finished.count(), afterClear ? 1 : 0);
    if (GetParam().moment == Moment::RightAfterAClear) {
        // Ball 9 took colour 1 in the swap; the refill gave it another.
        EXPECT_NE(form(*window).colourOf(9), 1) << "the column was cleared before the quit";
    }
}

INSTANTIATE_TEST_SUITE_P(Moments, Quitting,
                         ::testing::Values(QuitCase{Moment::RightAfterStartUp, Way::Menu},
                                           QuitCase{Moment::RightAfterStartUp, Way::CloseButton},
                                           QuitCase{Moment::DuringASwap, Way::Menu},
                                           QuitCase{Moment::DuringASwap, Way::CloseButton},
                                           QuitCase{Moment::RightAfterAClear, Way::Menu},
                                           QuitCase{Moment::RightAfterAClear, Way::CloseButton}));

} // namespace
} // namespace pellorin::testing
