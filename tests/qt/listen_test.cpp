// What the board tells a screen reader as it happens, heard through Qt's
// accessibility events while a reader listens (the suite on X11 runs with an
// accessibility bus): a move focuses its cell and says nothing more; the
// game's words show as a notification in a status bar, the colours in them
// those the screen showed; the cursor's cell is focused again when the board
// takes the focus back; and a reader that asks about the cells while the
// window goes gets no answer from the game that has gone.
#include "shell_support.h"
#include "speech/words.h"

#include <QAccessible>

#include <algorithm>

namespace pellorin::testing {
namespace {

struct Heard {
    QAccessible::Event type;
    QAccessible::Role role;
    QString name;
    QAccessible::Role parentRole;
};

// The events as a reader gets them, with what it reads of their objects at
// once; while asking, it also reads every cell of the board, as a reader that
// refreshes what it knows does.
struct Reader {
    std::vector<Heard> heard;
    bool asking = false;
    int answers = 0; // names the cells gave while asking

    static Reader*& current()
    {
        static Reader* reader = nullptr;
        return reader;
    }
    static void listen(QAccessibleEvent* event)
    {
        QAccessibleInterface* source = event->accessibleInterface();
        Reader* reader = current();
        if (!reader || !source)
            return;
        QAccessibleInterface* parent = source->parent();
        reader->heard.push_back({event->type(), source->role(), source->text(QAccessible::Name),
                                 parent ? parent->role() : QAccessible::NoRole});
        if (reader->asking && source->tableInterface())
            for (int i = 0; i < source->childCount(); ++i)
                if (QAccessibleInterface* cell = source->child(i); cell && !cell->text(QAccessible::Name).isEmpty())
                    ++reader->answers;
    }
    // What was heard of one kind since a mark.
    std::vector<Heard> since(std::size_t mark, QAccessible::Event type) const
    {
        std::vector<Heard> found;
        for (std::size_t i = mark; i < heard.size(); ++i)
            if (heard[i].type == type)
                found.push_back(heard[i]);
        return found;
    }
};

struct Listening : ::testing::Test {
    void SetUp() override
    {
        // Qt joins the accessibility bus once its event loop has turned.
        if (!qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
            GTEST_SKIP() << "no screen reader's bus: accessibility is off";
        ASSERT_TRUE(QTest::qWaitFor([] { return QAccessible::isActive(); }, SwapDeadlineMs))
            << "Qt never joined the accessibility bus";
        Reader::current() = &reader;
        QAccessible::installUpdateHandler(&Reader::listen);
        window = patternWindow();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override
    {
        window.reset();
        QAccessible::installUpdateHandler(nullptr);
        Reader::current() = nullptr;
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(window->boardView(), key, modifiers);
    }
    int colourOnScreen(int cell) const { return pictureOf(faceAt(grabBoard(*window), cell)); }
    QString cellOnScreen(int cell) const { return QString::fromStdString(words::cell(cell, colourOnScreen(cell))); }

    Reader reader;
    std::unique_ptr<MainWindow> window;
};

TEST_F(Listening, AMoveFocusesItsCellAndSaysNothingMore)
{
    const std::size_t mark = reader.heard.size();
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    const auto focused = reader.since(mark, QAccessible::Focus);
    ASSERT_EQ(focused.size(), 2U);
    EXPECT_EQ(focused[0].name, cellOnScreen(1));
    EXPECT_EQ(focused[1].name, cellOnScreen(9));
    EXPECT_TRUE(reader.since(mark, QAccessible::ObjectShow).empty()) << "no words beside the focus";
}

TEST_F(Listening, TheWordsShowAsANotificationInAStatusBar)
{
    key(Qt::Key_Right);
    const int one = colourOnScreen(1);
    const int nine = colourOnScreen(9);
    const std::size_t mark = reader.heard.size();
    SwapEnds finished(*window);
    key(Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_TRUE(finished.wait());
    const auto shown = reader.since(mark, QAccessible::ObjectShow);
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].role, QAccessible::Notification);
    EXPECT_EQ(shown[0].parentRole, QAccessible::StatusBar);
    EXPECT_EQ(shown[0].name.toStdString(), words::swapped(one, nine));
    std::vector<QString> renamed;
    for (const Heard& heard : reader.since(mark, QAccessible::NameChanged))
        if (heard.role == QAccessible::Cell)
            renamed.push_back(heard.name);
    std::sort(renamed.begin(), renamed.end());
    std::vector<QString> seen{cellOnScreen(1), cellOnScreen(9)};
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(renamed, seen);
}

TEST_F(Listening, TheCursorsCellIsFocusedAgainWhenTheBoardTakesTheFocusBack)
{
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    window->boardView()->clearFocus();
    const std::size_t mark = reader.heard.size();
    window->boardView()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reader.since(mark, QAccessible::Focus).size() >= 2; }, SwapDeadlineMs));
    const auto focused = reader.since(mark, QAccessible::Focus);
    EXPECT_EQ(focused.front().role, QAccessible::Grouping) << "Qt tells of the board first";
    EXPECT_EQ(focused.back().name, cellOnScreen(2));
}

TEST_F(Listening, AReaderAskingAsTheWindowGoesGetsNoAnswerFromTheGame)
{
    key(Qt::Key_Right);
    reader.asking = true;
    window.reset();
    EXPECT_EQ(reader.answers, 0);
}

} // namespace
} // namespace pellorin::testing
