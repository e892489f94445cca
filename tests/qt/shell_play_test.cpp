// Random play through the real window: real mouse events into the board
// view, the menu, and the real timers, with the board's invariants read from
// the window after every event.
#include "../invariants.h"
#include "shell_support.h"

#include <QAction>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>

#include <random>

namespace pellorin::testing {
namespace {

TEST(ShellRandomPlay, KeepsEveryInvariantWithRealEventsAndTimers)
{
    constexpr std::uint32_t Seed = 7;
    constexpr int Events = 1200;
    std::mt19937 events(Seed);
    const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(events); };

    MainWindow window(std::make_unique<CycleRandom>(std::vector<int>{1, 1, 1, 2, 1, 1, 3, 1, 4, 5, 1, 6}));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    std::vector<Sprite> bank;
    for (int r = 0; r <= 6; ++r)
        bank.push_back(form(window).imgBank[r]);
    SwapEnds finished(window);
    QWidget* view = window.boardView();
    const QList<QTimer*> timers = swapTimers(window);
    ASSERT_EQ(timers.size(), 2);

    const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    const Qt::KeyboardModifiers modifiers[]
        = {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier | Qt::ShiftModifier};
    for (int event = 1; event <= Events; ++event) {
        // Half the points on gap and tile edges, half anywhere.
        const auto coordinate = [&](int limit) {
            constexpr int pitch = static_cast<int>(board::Pitch);
            constexpr int tile = static_cast<int>(board::TileSize);
            constexpr std::array edges{0, tile - 1, tile, tile + 1, (tile + pitch) / 2, pitch - 1};
            return uniform(0, 1) ? uniform(0, limit)
                                 : uniform(0, 8) * pitch + static_cast<int>(board::Margin)
                    + edges[static_cast<std::size_t>(uniform(0, 5))] + uniform(-1, 1);
        };
        const int right = design::ClientWidth - 1;
        const int bottom = design::ClientHeight - 1;
        const QPoint at(std::clamp(coordinate(right), 0, right), std::clamp(coordinate(bottom), 0, bottom));
        const Qt::MouseButton button = buttons[uniform(0, 2)];
        const Qt::KeyboardModifiers keys = modifiers[uniform(0, 3)];
        // A new game now and then, rarely enough that most swaps can finish.
        const int roll = uniform(0, 999);
        if (roll < 350) {
            QTest::mousePress(view, button, keys, at);
            QTest::mouseRelease(view, button, keys, at);
        } else if (roll < 600) {
            QTest::mouseMove(view, at);
        } else if (roll < 750) {
            // The board's keys, and one it does not use.
            constexpr std::array boardKeys{Qt::Key_Left,   Qt::Key_Right, Qt::Key_Up,     Qt::Key_Down, Qt::Key_Space,
                                           Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_A};
            QTest::keyClick(
                view, boardKeys[static_cast<std::size_t>(uniform(0, static_cast<int>(boardKeys.size()) - 1))], keys);
        } else if (roll < 753) {
            window.menuAction(design::Command::NewGame)->trigger();
        } else {
            // Time passes as ticks of the running swap, counted rather than
            // waited for, so that the same seed plays the same game on any
            // machine.
            for (QTimer* timer : timers)
                if (timer->isActive()) {
                    QSignalSpy ticked(timer, &QTimer::timeout);
                    const int ticks = uniform(1, 11);
                    while (ticked.count() < ticks && timer->isActive())
                        ASSERT_TRUE(ticked.wait(SwapDeadlineMs)) << "event " << event;
                }
        }
        const std::string broken = brokenInvariant(form(window), bank, window.game().cursor());
        ASSERT_EQ(broken, "") << "seed " << Seed << ", event " << event;
        ASSERT_EQ(view->cursor().shape(), BoardView::cursorShape(window.game().cursor())) << "event " << event;
    }
    std::printf("%d events, %d swaps finished\n", Events, static_cast<int>(finished.count()));
    EXPECT_GT(finished.count(), 5) << "the play must finish some swaps";
}

} // namespace
} // namespace pellorin::testing
