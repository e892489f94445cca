// The window's own messages and the menu's command numbers, shared by the
// parts of the window that post them and the one that handles them.
#pragma once

#include <windows.h>

namespace pellorin::win32 {

// A tick of timer wParam, posted by the ticker's thread.
inline constexpr UINT TickMessage = WM_APP + 1;
// The game cannot go on (GameWindow::fail): the window goes.
inline constexpr UINT FailedMessage = WM_APP + 2;
// A screen reader activated cell wParam; done after its call has returned.
inline constexpr UINT ActivateMessage = WM_APP + 3;

// The menu's command identifiers: the design's commands above this base.
inline constexpr UINT CommandBase = 100;

} // namespace pellorin::win32
