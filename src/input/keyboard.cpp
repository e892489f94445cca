// Play by keyboard.
#include "input/keyboard.h"

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

Keyboard::Action Keyboard::key(design::Key key, bool shift)
{
    const bool arrow
        = key == design::Key::Left || key == design::Key::Right || key == design::Key::Up || key == design::Key::Down;
    const bool hold = key == design::Key::Space || key == design::Key::Enter;
    Action action;
    if (!m_shown) {
        // The first key only shows the cursor, where it was last.
        if (arrow || hold) {
            m_shown = true;
            action.sayCell = true;
        }
        return action;
    }
    if (arrow) {
        const std::optional<int> next = neighbour(key);
        if (shift || m_held) {
            // A swap with the neighbour; at the edge nothing happens.
            action.swapWith = next;
        } else if (next) {
            m_row = (*next - 1) / board::Columns + 1;
            m_column = (*next - 1) % board::Columns + 1;
            action.sayCell = true;
        } else {
            action.sayCell = true;
        }
    } else if (hold || (key == design::Key::Escape && m_held)) {
        m_held = hold && !m_held;
        action.tookHold = m_held;
        action.letGo = !m_held;
    }
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
