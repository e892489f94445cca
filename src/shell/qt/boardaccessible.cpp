// The board as an accessible table of 64 cells, with names and focus from
// the core.
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
class BoardCell final : public QAccessibleInterface, public QAccessibleTableCellInterface {
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
        const auto left = static_cast<int>(board::homeLeft(columnIndex() + 1));
        const auto top = static_cast<int>(board::homeTop(rowIndex() + 1));
        const auto side = static_cast<int>(board::TileSize);
        return {m_view->mapToGlobal(QPoint(left, top)), QSize(side, side)};
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
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return (m_number - 1) % board::Columns; }
    int rowIndex() const override { return (m_number - 1) / board::Columns; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<BoardView> m_view;
    int m_number;
};

// The board: a table whose 64 cells are made when first asked for and
// registered with Qt, which hands them out by id; they go with the board.
class BoardTable final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit BoardTable(BoardView* view) : QAccessibleWidget(view, QAccessible::Table) {}
    ~BoardTable() override
    {
        for (const QAccessible::Id id : m_cells)
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
        case QAccessible::Description:
            return view()->said();
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
};

QAccessibleInterface* boardFactory(const QString&, QObject* object)
{
    if (auto* view = qobject_cast<BoardView*>(object))
        return new BoardTable(view);
    return nullptr;
}

BoardTable* tableOf(BoardView& view)
{
    return static_cast<BoardTable*>(QAccessible::queryAccessibleInterface(&view));
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
    if (!QAccessible::isActive())
        return;
    if (QAccessibleInterface* focused = tableOf(view)->cell(cell)) {
        QAccessibleEvent event(focused, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

void renameBoardCells(BoardView& view, std::span<const int> cells)
{
    if (!QAccessible::isActive())
        return;
    for (const int cell : cells) {
        if (QAccessibleInterface* renamed = tableOf(view)->cell(cell)) {
            QAccessibleEvent event(renamed, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
    }
}

void announceOnBoard(BoardView& view, const QString& words)
{
    view.say(words);
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(&view, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace pellorin
