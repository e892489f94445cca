// The game's window on Windows: what a screen reader is told, and what it
// asks of the board.
#include "gamewindow.h"

namespace pellorin::win32 {

LRESULT GameWindow::accessibleObject(WPARAM wParam, LPARAM lParam)
{
    // The board for screen readers; the window's other objects are the
    // system's.
    if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT) && m_accessible)
        return LresultFromObject(__uuidof(IAccessible), wParam, m_accessible);
    return DefWindowProcW(m_window, WM_GETOBJECT, wParam, lParam);
}

void GameWindow::announce(const std::string& words)
{
    if (!m_accessible)
        return;
    m_accessible->said(words);
    if (m_notifier && m_notifier->notify(words))
        return;
    // Without UI Automation's notifications a reader speaks what changes on
    // the object it has in focus, and nothing of others: the words become
    // the focused cell's description.
    const int cell = m_game->focusedCell();
    m_accessible->described(cell);
    if (GetFocus() == m_window)
        NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, m_window, OBJID_CLIENT, cell);
}

void GameWindow::focusCell(int cell)
{
    // A description said on the cell before is not the next cell's, nor the
    // same cell's once the focus comes back to it.
    if (m_accessible)
        m_accessible->described(0);
    if (GetFocus() == m_window)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, m_window, OBJID_CLIENT, cell);
}

void GameWindow::focusRegained()
{
    // Windows has just said that the window has the focus: within it, the
    // focus is on the cursor's cell, as get_accFocus says.
    focusCell(m_game->focusedCell());
}

void GameWindow::cellsRenamed(std::span<const int> cells)
{
    for (const int cell : cells)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_window, OBJID_CLIENT, cell);
}

void GameWindow::activated(int cell)
{
    m_game->activate(cell);
}

void GameWindow::disconnectReaders()
{
    if (m_accessible)
        m_accessible->disconnect();
    if (m_notifier)
        m_notifier->disconnect();
}

} // namespace pellorin::win32
