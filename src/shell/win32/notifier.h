// The words for a screen reader as a UI Automation notification, which NVDA
// and Narrator speak whatever has the focus (Windows 10 version 1709 and
// later). UIAutomationCore.dll is loaded at run time, so that the program's
// imports stay those every Windows has, and a Windows without the
// notification is told so rather than refusing to start.
//
// The window's provider only raises the notifications: it is not handed out
// for WM_GETOBJECT, since a window that answers UI Automation itself is
// asked nothing more through MSAA, and the board's MSAA table serves every
// client (UI Automation's clients through its MSAA proxy).
#pragma once

#include <windows.h>

#include <string>

namespace pellorin::win32 {

class WindowProvider;

class Notifier {
public:
    explicit Notifier(HWND window);
    ~Notifier();
    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;
    Notifier(Notifier&&) = delete;
    Notifier& operator=(Notifier&&) = delete;

    // Raises the words as a notification from the window; false when this
    // Windows has no notifications or refused this one.
    bool notify(const std::string& words);
    // The window is going: clients that hold its provider are let go.
    void disconnect();

private:
    HMODULE m_library = nullptr;
    WindowProvider* m_provider = nullptr;
    bool m_disconnected = false;
};

} // namespace pellorin::win32
