// The window's two periodic timers, kept to their interval. SetTimer rounds
// up to the system's clock tick (15.6 ms by default), so a 25 ms timer would
// tick every 31 ms and a swap take 340 ms instead of 275. These timers are
// high-resolution waitable timers, waited on by a thread of their own that
// posts each tick to the window as a message: the ticks go on inside the
// modal loops of an open menu or a moved window, and while no timer runs the
// thread sleeps without waking at all.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <thread>

namespace pellorin::win32 {

class Ticker {
public:
    // Each tick of timer k (0 or 1) arrives as message, with wParam k.
    Ticker(HWND window, UINT message);
    ~Ticker();
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;

    // The first tick comes one interval from now.
    void start(int timer, int intervalMs);
    // No tick of the timer is posted from now on; one already posted may
    // still arrive, and is to be ignored.
    void stop(int timer);
    // The tick's message has been handled: the next may be posted. Ticks
    // that fall due while one waits are merged into it, never queued up.
    void handled(int timer) { m_posted[static_cast<std::size_t>(timer)] = false; }

private:
    void run();

    HWND m_window;
    UINT m_message;
    bool m_highResolution = true;
    std::array<HANDLE, 2> m_timers{};
    std::array<bool, 2> m_raised{};
    std::array<std::atomic<bool>, 2> m_posted{};
    HANDLE m_wake = nullptr; // set to end the thread
    std::thread m_thread;
};

} // namespace pellorin::win32
