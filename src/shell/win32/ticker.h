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
#include <functional>
#include <memory>
#include <thread>

namespace pellorin::win32 {

class Ticker {
public:
    // Called on the ticker's thread for each tick of timer k (0 or 1); it
    // posts the tick to the window and says whether that worked.
    using Post = std::function<bool(int timer)>;

    // Throws Failure when a timer, the event or the thread cannot be made.
    explicit Ticker(Post post);
    ~Ticker();
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;
    Ticker(Ticker&&) = delete;
    Ticker& operator=(Ticker&&) = delete;

    // The first tick comes one interval from now. Returns 0, or the
    // system's error code when the timer could not be set: no tick comes then.
    DWORD start(int timer, int intervalMs);
    // No tick of the timer is posted from now on; one already posted may
    // still arrive.
    void stop(int timer);
    // The tick's message has been handled: the next may be posted. Ticks
    // that fall due while one waits are merged into it, never queued up.
    void handled(int timer) { m_posted[static_cast<std::size_t>(timer)] = false; }

private:
    struct Closer {
        void operator()(HANDLE handle) const { ::CloseHandle(handle); }
    };
    using Handle = std::unique_ptr<void, Closer>;

    void run();

    Post m_post;
    bool m_highResolution = true;
    std::array<Handle, 2> m_timers;
    std::array<bool, 2> m_raised{};
    std::array<std::atomic<bool>, 2> m_posted{};
    Handle m_wake; // set to end the thread
    std::thread m_thread;
};

} // namespace pellorin::win32
