// The window's two periodic timers, kept to their interval.
#include "ticker.h"

#include <mmsystem.h>

#include <cstdint>

// Windows 10 1803 and later; older systems, and Wine, refuse the flag.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace pellorin::win32 {

Ticker::Ticker(HWND window, UINT message) : m_window(window), m_message(message)
{
    for (HANDLE& timer : m_timers) {
        timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
        if (!timer) {
            // Without it a waitable timer keeps to the system's clock tick,
            // which start() then raises to 1 ms while the timer runs.
            m_highResolution = false;
            timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        }
    }
    m_wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = std::thread([this] { run(); });
}

Ticker::~Ticker()
{
    SetEvent(m_wake);
    m_thread.join();
    for (int timer = 0; timer < 2; ++timer)
        stop(timer);
    for (HANDLE timer : m_timers)
        CloseHandle(timer);
    CloseHandle(m_wake);
}

void Ticker::start(int timer, int intervalMs)
{
    const auto k = static_cast<std::size_t>(timer);
    if (!m_highResolution && !m_raised[k])
        m_raised[k] = timeBeginPeriod(1) == TIMERR_NOERROR;
    m_posted[k] = false;
    LARGE_INTEGER due;
    due.QuadPart = -std::int64_t{intervalMs} * 10'000; // relative, in 100 ns
    SetWaitableTimer(m_timers[k], &due, intervalMs, nullptr, nullptr, FALSE);
}

void Ticker::stop(int timer)
{
    const auto k = static_cast<std::size_t>(timer);
    CancelWaitableTimer(m_timers[k]);
    if (m_raised[k]) {
        timeEndPeriod(1);
        m_raised[k] = false;
    }
}

void Ticker::run()
{
    const std::array<HANDLE, 3> handles{m_wake, m_timers[0], m_timers[1]};
    for (;;) {
        const DWORD woke = WaitForMultipleObjects(3, handles.data(), FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED)
            return;
        const std::size_t k = woke - WAIT_OBJECT_0 - 1;
        if (k < 2 && !m_posted[k].exchange(true))
            PostMessageW(m_window, m_message, k, 0);
    }
}

} // namespace pellorin::win32
