// Play by keyboard.
#include "input/keyboard.h"

#include <cstdlib>

namespace pellorin {

std::optional<int> Keyboard::neighbour(design::Key key) const
{
    switch (key) {
    case design::Key::Left:
        return m_column > 1 ? std::optional(cell() - board::RightOffset) : std::nullopt;
    case design::Key::Right:
        return m_column < board::Columns ? std::optional(cell() + board::RightOffset) : std::nullopt;
    case design::Key::Up:
        return m_row > 1 ? std::optional(cell() - board::BelowOffset) : std::nullopt;
    case design::Key::Down:
        return m_row < board::Rows ? std::optional(cell() + board::BelowOffset) : std::nullopt;
    default:
        return std::nullopt;
    }
}

void Keyboard::moveTo(int cell)
{
    const board::Cell place = board::cellOf(cell);
    m_row = place.row;
    m_column = place.column;
}

Keyboard::Action Keyboard::key(design::Key key, bool shift, bool repeat)
{
    const bool arrow
        = key == design::Key::Left || key == design::Key::Right || key == design::Key::Up || key == design::Key::Down;
    const bool hold = key == design::Key::Space || key == design::Key::Enter;
    Action action;
    if (repeat && (!arrow || shift || m_held))
        return action;
    if (!m_shown) {
        // The first key only shows the cursor, where it was last.
        m_shown = arrow || hold;
        return action;
    }
    if (arrow) {
        const std::optional<int> next = neighbour(key);
        if (!next)
            action.refused = true;
        else if (shift || m_held)
            action.swapWith = next;
        else
            moveTo(*next);
    } else if (hold || (key == design::Key::Escape && m_held)) {
        m_held = hold && !m_held;
        action.tookHold = m_held;
        action.letGo = !m_held;
    }
    return action;
}

Keyboard::Action Keyboard::activate(int cell)
{
    Action action;
    if (cell < 1 || cell > board::Balls)
        return action;
    if (m_shown && m_held && cell == this->cell()) {
        m_held = false;
        action.letGo = true;
        return action;
    }
    const board::Cell place = board::cellOf(cell);
    const int apart = std::abs(place.row - m_row) + std::abs(place.column - m_column);
    if (m_shown && m_held && apart == 1) {
        action.swapWith = cell;
        return action;
    }
    moveTo(cell);
    m_shown = true;
    m_held = true;
    action.tookHold = true;
    return action;
}

void Keyboard::hide()
{
    m_shown = false;
    m_held = false;
}

std::array<Fill, 4> Keyboard::frame() const
{
    if (!m_shown)
        return {};
    const auto left = static_cast<float>(board::homeLeft(m_column));
    const auto top = static_cast<float>(board::homeTop(m_row));
    const float width = m_held ? HeldFrameWidth : FrameWidth;
    const float out = FrameGap + width; // from the tile to the frame's outer edge
    const float side = board::TileSize + 2 * out;
    const float inner = board::TileSize + 2 * FrameGap;
    return {{
        {{left - out, top - out, side, width}, FrameColour},                              // above
        {{left - out, top + board::TileSize + FrameGap, side, width}, FrameColour},       // below
        {{left - out, top - FrameGap, width, inner}, FrameColour},                        // left
        {{left + board::TileSize + FrameGap, top - FrameGap, width, inner}, FrameColour}, // right
    }};
}

Area Keyboard::frameArea() const
{
    const auto left = static_cast<float>(board::homeLeft(m_column));
    const auto top = static_cast<float>(board::homeTop(m_row));
    return Area{left, top, board::TileSize, board::TileSize}.grown(FrameGap + HeldFrameWidth);
}

} // namespace pellorin
