// Playing without a mouse, and what a screen reader is told: the board takes
// the keys from the start, the core's frame shows, Shift and an arrow swap,
// and a key held down repeats only as a plain arrow; the board answers as a
// table of 64 cells named by the colours the screen shows, the cursor's cell
// is the focused one, and the names follow swaps and deals; pressing a cell
// holds it and pressing its neighbour swaps the two; a cell asked for out of
// range or after the end is refused, never a crash.
#include "shell/qt/tileimage.h"
#include "shell_support.h"
#include "speech/words.h"

#include <QAccessible>

namespace pellorin::testing {
namespace {

constexpr QRgb White = 0xffffffff;
constexpr QRgb Black = 0xff000000;

struct Active : ::testing::Test {
    void SetUp() override
    {
        if (QGuiApplication::platformName() == "wayland")
            GTEST_SKIP() << "a headless compositor has no seat: no window there is ever active";
        window = patternWindow();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(window->boardView()->hasFocus()) << "the board has the keys from the start";
        table = QAccessible::queryAccessibleInterface(window->boardView());
        ASSERT_NE(table, nullptr);
        ASSERT_NE(table->tableInterface(), nullptr);
    }
    QString nameOf(int row, int column) const
    {
        return table->tableInterface()->cellAt(row - 1, column - 1)->text(QAccessible::Name);
    }
    // The cell's name as a sighted helper would read it off the screen.
    QString seenName(int cell) const
    {
        return QString::fromStdString(words::cell(cell, pictureOf(faceAt(grabBoard(*window), cell))));
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(window->boardView(), key, modifiers);
    }
    // A key held down past the keyboard's repeat delay: one more press.
    void repeatedKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, QString(), true);
        QApplication::sendEvent(window->boardView(), &press);
    }
    QAccessibleActionInterface* cell(int number) const { return table->child(number - 1)->actionInterface(); }

    std::unique_ptr<MainWindow> window;
    QAccessibleInterface* table = nullptr;
};

// A point of the left bar of the frame around a cell, at a width from the
// tile's edge that the bar covers when it is that wide.
QPoint frameOf(int cell, float width = Keyboard::FrameWidth)
{
    const Area tile = cellArea(cell);
    return QPointF(tile.left - Keyboard::FrameGap - width + 0.5f, tile.top + tile.height / 2).toPoint();
}
const QPoint FrameOfCell2 = frameOf(2);

TEST_F(Active, KeysShowTheFrameMoveItAndSwap)
{
    EXPECT_EQ(grabBoard(*window).pixel(FrameOfCell2), Black) << "nothing new before a key";
    key(Qt::Key_Right); // shows the frame on cell 1
    key(Qt::Key_Right);
    EXPECT_EQ(window->game().focusedCell(), 2);
    EXPECT_EQ(grabBoard(*window).pixel(FrameOfCell2), White) << "the frame around cell 2";

    const int two = window->game().colourOf(2);
    const int ten = window->game().colourOf(10);
    ASSERT_NE(two, ten);
    SwapEnds finished(*window);
    key(Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_TRUE(finished.wait());
    EXPECT_EQ(window->game().colourOf(2), ten);
    EXPECT_EQ(window->game().colourOf(10), two);
    EXPECT_EQ(window->game().focusedCell(), 2) << "the cursor stays on its cell";

    // The first move only tells where the pointer is; one that goes
    // somewhere hides the frame. On a real display the pointer itself is
    // moved, and its events come from the server.
    QTest::mouseMove(window->boardView(), QPoint(300, 300));
    QTest::mouseMove(window->boardView(), QPoint(310, 300));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->game().keyboard().shown(); }, SwapDeadlineMs));
    EXPECT_EQ(grabBoard(*window).pixel(FrameOfCell2), Black) << "the mouse hides the frame";
}

TEST_F(Active, AHeldArrowRepeatsAndAHeldSwapOrHoldDoesNot)
{
    key(Qt::Key_Right); // shows the frame on cell 1
    repeatedKey(Qt::Key_Right);
    EXPECT_EQ(grabBoard(*window).pixel(FrameOfCell2), White) << "a held arrow moves on";

    const QImage before = grabBoard(*window);
    repeatedKey(Qt::Key_Down, Qt::ShiftModifier);
    repeatedKey(Qt::Key_Space);
    for (const QTimer* timer : swapTimers(*window))
        EXPECT_FALSE(timer->isActive()) << "a held Shift+arrow starts no swap";
    EXPECT_EQ(grabBoard(*window), before) << "nor does a held Space take the hold";
}

TEST_F(Active, PressingACellHoldsItAndPressingItsNeighbourSwaps)
{
    const QColor two = faceAt(grabBoard(*window), 2);
    const QColor ten = faceAt(grabBoard(*window), 10);
    ASSERT_NE(two, ten);
    ASSERT_EQ(cell(2)->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    cell(2)->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(grabBoard(*window).pixel(frameOf(2, Keyboard::HeldFrameWidth)), White) << "cell 2 is held";

    SwapEnds finished(*window);
    cell(10)->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(finished.wait());
    EXPECT_EQ(faceAt(grabBoard(*window), 2), ten);
    EXPECT_EQ(faceAt(grabBoard(*window), 10), two);
    EXPECT_EQ(grabBoard(*window).pixel(frameOf(2, Keyboard::HeldFrameWidth)), Black) << "the swap lets go";
}

TEST_F(Active, TheBoardAnswersAsATableOf64CellsNamedByTheirColours)
{
    EXPECT_EQ(table->text(QAccessible::Name).toStdString(), words::Board);
    EXPECT_EQ(table->childCount(), 64);
    EXPECT_EQ(table->tableInterface()->rowCount(), 8);
    EXPECT_EQ(table->tableInterface()->columnCount(), 8);
    for (int row = 1; row <= 8; ++row)
        for (int column = 1; column <= 8; ++column) {
            const int cell = (row - 1) * 8 + column;
            QAccessibleInterface* child = table->child(cell - 1);
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(child->role(), QAccessible::Cell);
            EXPECT_EQ(child->text(QAccessible::Name), seenName(cell));
            EXPECT_EQ(nameOf(row, column), seenName(cell));
            EXPECT_EQ(table->indexOfChild(child), cell - 1);
            EXPECT_EQ(child->tableCellInterface()->rowIndex(), row - 1);
            EXPECT_EQ(child->tableCellInterface()->columnIndex(), column - 1);
        }
    EXPECT_EQ(table->child(64), nullptr);
    EXPECT_EQ(table->child(-1), nullptr);
    EXPECT_EQ(table->tableInterface()->cellAt(8, 0), nullptr);
    EXPECT_EQ(table->tableInterface()->cellAt(0, -1), nullptr);
}

TEST_F(Active, TheCursorsCellIsFocusedAndNamesFollowSwapsAndDeals)
{
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Right); // row 2, column 2
    QAccessibleInterface* focused = table->focusChild();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(table->indexOfChild(focused), 9);
    EXPECT_TRUE(focused->state().focused);
    EXPECT_FALSE(table->child(0)->state().focused);

    const QString left = nameOf(2, 1);
    SwapEnds finished(*window);
    key(Qt::Key_Left, Qt::ShiftModifier);
    ASSERT_TRUE(finished.wait());
    EXPECT_EQ(nameOf(2, 2), seenName(10));
    EXPECT_EQ(nameOf(2, 2).section(QLatin1Char(':'), 1), left.section(QLatin1Char(':'), 1))
        << "cell 10 now shows the colour cell 9 had";

    window->menuAction(design::Command::NewGame)->trigger();
    for (int cell = 1; cell <= 64; ++cell)
        EXPECT_EQ(table->child(cell - 1)->text(QAccessible::Name), seenName(cell));
}

TEST_F(Active, ACellAskedForAfterTheEndIsRefused)
{
    QAccessibleInterface* cell = table->child(0);
    ASSERT_TRUE(cell->isValid());
    const QAccessible::Id id = QAccessible::uniqueId(cell);
    window->close();
    EXPECT_FALSE(cell->isValid());
    EXPECT_TRUE(cell->text(QAccessible::Name).isEmpty());
    window.reset();
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr) << "the cells go with the board";
}

TEST(Symbols, TheTilesCarryTheirSymbols)
{
    auto window = patternWindow(tiles::Look::Symbols);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QImage frame = grabBoard(*window);
    for (const int k : {1, 2, 3, 4, 5, 6}) {
        const int side = tileRect(k).width();
        const QImage symbol = tileImage(*tiles::paintTile(window->game().colourOf(k), side, tiles::Look::Symbols));
        const QImage plain = tileImage(*tiles::paintTile(window->game().colourOf(k), side));
        const QImage drawn = frame.copy(tileRect(k)).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(drawn, symbol) << k;
        EXPECT_NE(drawn, plain) << k;
    }
}

} // namespace
} // namespace pellorin::testing
