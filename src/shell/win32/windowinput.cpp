// The game's window on Windows: the pointer and the keys, as the core takes
// them.
#include "gamewindow.h"

#include <windowsx.h>

#include <optional>

namespace pellorin::win32 {
namespace {

// The modifier keys held, as the handlers take them. The state read is the
// one at the time of the message being handled, for a key as for a click.
std::int16_t modifiers()
{
    return static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? design::ShiftKey : 0)
                                     | (GetKeyState(VK_CONTROL) < 0 ? design::ControlKey : 0)
                                     | (GetKeyState(VK_MENU) < 0 ? design::AltKey : 0));
}

// The buttons held, as the handlers take them.
std::int16_t buttonsCode(WPARAM wParam)
{
    return static_cast<std::int16_t>((wParam & MK_LBUTTON ? design::LeftButton : 0)
                                     | (wParam & MK_RBUTTON ? design::RightButton : 0)
                                     | (wParam & MK_MBUTTON ? design::MiddleButton : 0));
}

// The keys that play the board, as the core takes them.
std::optional<design::Key> boardKey(WPARAM virtualKey)
{
    switch (virtualKey) {
    case VK_LEFT:
        return design::Key::Left;
    case VK_RIGHT:
        return design::Key::Right;
    case VK_UP:
        return design::Key::Up;
    case VK_DOWN:
        return design::Key::Down;
    case VK_SPACE:
        return design::Key::Space;
    case VK_RETURN:
        return design::Key::Enter;
    case VK_ESCAPE:
        return design::Key::Escape;
    default:
        return std::nullopt;
    }
}

// Bit 30 of a key's lParam: the key was already down, so this press is the
// keyboard's auto-repeat.
constexpr LPARAM RepeatBit = LPARAM{1} << 30;

} // namespace

// Presses of any button and moves, in client pixels. While a button is held
// the window keeps the mouse, so that moves outside it still arrive.
void GameWindow::pointer(UINT message, WPARAM wParam, LPARAM lParam)
{
    const float x = m_scale.toClient(GET_X_LPARAM(lParam));
    const float y = m_scale.toClient(GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        SetCapture(m_window);
        const std::int16_t button = message == WM_LBUTTONDOWN ? design::LeftButton
            : message == WM_RBUTTONDOWN                       ? design::RightButton
                                                              : design::MiddleButton;
        m_game->press(button, modifiers(), x, y);
        break;
    }
    case WM_MOUSEMOVE:
        m_game->move(buttonsCode(wParam), modifiers(), x, y);
        break;
    default: // a button let go
        if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)))
            ReleaseCapture();
        break;
    }
}

bool GameWindow::keyDown(WPARAM virtualKey, LPARAM lParam)
{
    const auto key = boardKey(virtualKey);
    if (!key)
        return false;
    m_game->key(*key, modifiers(), (lParam & RepeatBit) != 0);
    return true;
}

} // namespace pellorin::win32
