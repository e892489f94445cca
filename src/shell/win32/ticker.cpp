// The window's two periodic timers, kept to their interval.
#include "ticker.h"

#include "failure.h"

#include <mmsystem.h>

#include <cstdint>
#include <system_error>

// Windows 10 1803 and later; older systems, and Wine, refuse the flag.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace pellorin::win32 {

Ticker::Ticker(Post post) : m_post(std::move(post))
{
    for (Handle& timer : m_timers) {
        timer.reset(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS));
        if (!timer) {
            // Without it a waitable timer keeps to the system's clock tick,
            // which start() then raises to 1 ms while the timer runs.
            m_highResolution = false;
            timer.reset(CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS));
        }
        if (!timer)
            throw Failure(L"en timer", GetLastError());
    }
    m_wake.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_wake)
        throw Failure(L"en händelse", GetLastError());
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error& error) {
        throw Failure(L"en tråd", static_cast<DWORD>(error.code().value()));
    }
}

Ticker::~Ticker()
{
    SetEvent(m_wake.get());
    m_thread.join();
    for (int timer = 0; timer < 2; ++timer)
        stop(timer);
}

DWORD Ticker::start(int timer, int intervalMs)
{
    const auto k = static_cast<std::size_t>(timer);
    if (!m_highResolution && !m_raised[k])
        m_raised[k] = timeBeginPeriod(1) == TIMERR_NOERROR;
    m_posted[k] = false;
    LARGE_INTEGER due;
    due.QuadPart = -std::int64_t{intervalMs} * 10'000; // relative, in 100 ns
    if (!SetWaitableTimer(m_timers[k].get(), &due, intervalMs, nullptr, nullptr, FALSE)) {
        const DWORD error = GetLastError();
        stop(timer);
        return error;
    }
    return 0;
}

void Ticker::stop(int timer)
{
    const auto k = static_cast<std::size_t>(timer);
    CancelWaitableTimer(m_timers[k].get());
    if (m_raised[k]) {
        timeEndPeriod(1);
        m_raised[k] = false;
    }
}

void Ticker::run()
{
    const std::array<HANDLE, 3> handles{m_wake.get(), m_timers[0].get(), m_timers[1].get()};
    for (;;) {
        const DWORD woke = WaitForMultipleObjects(3, handles.data(), FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED)
            return;
        const std::size_t k = woke - WAIT_OBJECT_0 - 1;
        // A tick that could not be posted (a full queue) is not waiting to be
        // handled: the timer's next tick tries again.
        if (k < 2 && !m_posted[k].exchange(true) && !m_post(static_cast<int>(k)))
            m_posted[k] = false;
    }
}

} // namespace pellorin::win32
