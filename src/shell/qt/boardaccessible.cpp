// The board as an accessible grid of 64 cells, with names and focus from the
// core, and the game's words as notifications.
#include "shell/qt/boardaccessible.h"

#include "board/board.h"
#include "shell/qt/boardview.h"
#include "speech/words.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <array>

namespace pellorin {
namespace {

bool onBoard(int row, int column)
{
    return row >= 0 && row < board::Rows && column >= 0 && column < board::Columns;
}

// One cell, known by its number 1 to 64. It reaches the board through a
// guarded pointer: asked after the window has gone, or once the game has
// ended, it is no longer valid and has no name.
class BoardCell final : public QAccessibleInterface,
                        public QAccessibleTableCellInterface,
                        public QAccessibleActionInterface {
public:
    BoardCell(BoardView* view, int number) : m_view(view), m_number(number) {}

    bool isValid() const override { return m_view && m_view->game() && m_view->game()->cellName(m_number); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override
    {
        return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !m_view || !m_view->game())
            return {};
        const auto name = m_view->game()->cellName(m_number);
        return name ? QString::fromStdString(*name) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    // The cell's tile at home, on the screen.
    QRect rect() const override
    {
        if (!m_view)
            return {};
        const Area area = cellArea(m_number);
        return {m_view->mapToGlobal(QPointF(area.left, area.top).toPoint()), QSizeF(area.width, area.height).toSize()};
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focusable = true;
        state.invalid = !isValid();
        state.focused = isValid() && m_view->hasFocus() && m_view->game()->focusedCell() == m_number;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    // Pressing a cell, as a screen reader's activation does: the game holds
    // it, or swaps it with the held neighbour.
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && isValid())
            m_view->activateCell(m_number);
    }
    // The action as a reader says it, in the game's words: its localized
    // name, and its description, which is what Qt 6.4 hands AT-SPI.
    QString localizedActionName(const QString& name) const override { return cellAction(name); }
    QString localizedActionDescription(const QString& name) const override { return cellAction(name); }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return board::cellOf(m_number).column - 1; }
    int rowIndex() const override { return board::cellOf(m_number).row - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    static QString cellAction(const QString& name)
    {
        return name == pressAction()
            ? QString::fromUtf8(words::CellAction.data(), static_cast<qsizetype>(words::CellAction.size()))
            : QString();
    }

    QPointer<BoardView> m_view;
    int m_number;
};

// The game's spoken words: a status bar of the board's own, never drawn,
// whose one notification carries the last words said. Orca speaks a
// notification as it shows, whichever object has the focus, and leaves out
// its role's name inside a status bar; a change of the board's description,
// or of the focused cell's, it does not speak.
class BoardNotice final : public QAccessibleInterface {
public:
    BoardNotice(BoardView* view, QAccessible::Role role) : m_view(view), m_role(role) {}

    bool isValid() const override { return m_view; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override { return m_role == QAccessible::StatusBar ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child == this->child(0) ? 0 : -1;
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && m_role == QAccessible::Notification && m_view ? m_view->said() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return m_role; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invalid = !isValid();
        return state;
    }

private:
    QPointer<BoardView> m_view;
    QAccessible::Role m_role;
};

// The board's role: a grouping (a "panel" to Orca) that answers as a table of
// rows and columns. Orca reads the whole row, eight cells, whenever the focus
// enters a new row of anything with the table role in a program's window;
// only its own setting turns that off, and nothing a table exposes through
// Qt does. As a grouping, each move is heard as its one cell, whose name says
// its row and column.
constexpr QAccessible::Role BoardRole = QAccessible::Grouping;

// The board: a table whose 64 cells are made when first asked for and
// registered with Qt, which hands them out by id; they go with the board.
class BoardTable final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit BoardTable(BoardView* view) : QAccessibleWidget(view, BoardRole) {}
    ~BoardTable() override
    {
        for (const QAccessible::Id id : m_cells)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        for (const QAccessible::Id id : {m_status, m_notice})
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }
    Q_DISABLE_COPY_MOVE(BoardTable)

    // Cell 1 to 64, or nothing.
    QAccessibleInterface* cell(int number) const
    {
        if (number < 1 || number > board::Balls)
            return nullptr;
        QAccessible::Id& id = m_cells[static_cast<std::size_t>(number - 1)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new BoardCell(view(), number));
        return QAccessible::accessibleInterface(id);
    }

    // The status bar that holds the spoken words, and its notification.
    QAccessibleInterface* notices(QAccessible::Role role) const
    {
        QAccessible::Id& id = role == QAccessible::StatusBar ? m_status : m_notice;
        if (!id)
            id = QAccessible::registerAccessibleInterface(new BoardNotice(view(), role));
        return QAccessible::accessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    int childCount() const override { return board::Balls; }
    QAccessibleInterface* child(int index) const override { return cell(index + 1); }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int number = 1; number <= board::Balls; ++number)
            if (m_cells[static_cast<std::size_t>(number - 1)] && cell(number) == child)
                return number - 1;
        return -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        const Game* game = view()->game();
        return view()->hasFocus() && game && !game->ended() ? cell(game->focusedCell()) : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int number = 1; number <= board::Balls; ++number)
            if (cell(number)->rect().contains(x, y))
                return cell(number);
        return nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return QString::fromUtf8(words::Board.data(), static_cast<qsizetype>(words::Board.size()));
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        return onBoard(row, column) ? cell(board::ballIndex(row + 1, column + 1)) : nullptr;
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int) const override { return {}; }
    int columnCount() const override { return board::Columns; }
    QString rowDescription(int) const override { return {}; }
    int rowCount() const override { return board::Rows; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    BoardView* view() const { return static_cast<BoardView*>(widget()); }

    mutable std::array<QAccessible::Id, board::Balls> m_cells{};
    mutable QAccessible::Id m_status = 0;
    mutable QAccessible::Id m_notice = 0;
};

QAccessibleInterface* boardFactory(const QString&, QObject* object)
{
    if (auto* view = qobject_cast<BoardView*>(object))
        return new BoardTable(view);
    return nullptr;
}

// The board's interface, or none: Qt has none for a view being destroyed.
BoardTable* tableOf(BoardView& view)
{
    return dynamic_cast<BoardTable*>(QAccessible::queryAccessibleInterface(&view));
}

QAccessibleInterface* BoardNotice::parent() const
{
    BoardTable* table = m_view ? tableOf(*m_view) : nullptr;
    if (!table)
        return nullptr;
    return m_role == QAccessible::StatusBar ? table : table->notices(QAccessible::StatusBar);
}

QAccessibleInterface* BoardNotice::child(int index) const
{
    BoardTable* table = m_view ? tableOf(*m_view) : nullptr;
    return table && index == 0 && m_role == QAccessible::StatusBar ? table->notices(QAccessible::Notification)
                                                                   : nullptr;
}

// The board's interface while a screen reader listens, or none.
BoardTable* listenedTo(BoardView& view)
{
    return QAccessible::isActive() ? tableOf(view) : nullptr;
}

void send(QAccessibleInterface* source, QAccessible::Event type)
{
    QAccessibleEvent event(source, type);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void installBoardAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(boardFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void focusBoardCell(BoardView& view, int cell)
{
    if (BoardTable* table = listenedTo(view); table && table->cell(cell))
        send(table->cell(cell), QAccessible::Focus);
}

void renameBoardCells(BoardView& view, std::span<const int> cells)
{
    if (BoardTable* table = listenedTo(view))
        for (const int cell : cells)
            if (table->cell(cell))
                send(table->cell(cell), QAccessible::NameChanged);
}

// The notification is renamed first, so that a reader that keeps names hears
// the new words when it shows.
void announceOnBoard(BoardView& view, const QString& words)
{
    view.say(words);
    if (BoardTable* table = listenedTo(view)) {
        send(table->notices(QAccessible::Notification), QAccessible::NameChanged);
        send(table->notices(QAccessible::Notification), QAccessible::ObjectShow);
    }
}

} // namespace pellorin
