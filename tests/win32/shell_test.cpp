// The Win32 shell's own rules, under Wine: the ticker on Windows' real timers,
// and the window's first place on its screen.
#include "placement.h"
#include "ticker.h"

#include <gtest/gtest.h>

#include <atomic>

namespace pellorin::win32 {
namespace {

constexpr DWORD Deadline = 20'000; // ms; only a hang waits this long

// A tick that the window's queue refused is tried again: a failed post never
// stops a timer for good.
TEST(Ticker, TicksGoOnAfterPostsThatFailed)
{
    for (const int timer : {0, 1}) {
        SCOPED_TRACE(timer);
        HANDLE posted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::atomic<int> refused = 0;
        std::atomic<int> wrongTimer = 0;
        {
            Ticker ticker([&](int k) {
                if (k != timer)
                    ++wrongTimer;
                if (refused < 3) { // a full queue, three ticks in a row
                    ++refused;
                    return false;
                }
                SetEvent(posted);
                return true;
            });
            ticker.start(timer, 5);
            EXPECT_EQ(WaitForSingleObject(posted, Deadline), WAIT_OBJECT_0);
        }
        EXPECT_EQ(refused, 3);
        EXPECT_EQ(wrongTimer, 0);
        CloseHandle(posted);
    }
}

TEST(FirstPlacement, CentredInTheWorkAreaWithTheTitleBarOnScreen)
{
    struct Case {
        RECT work;
        SIZE frame;
        POINT expected;
    };
    const Case cases[] = {
        // 100 % on 1280x720 above a 48-pixel taskbar: centred.
        {{0, 0, 1280, 672}, {430, 491}, {425, 90}},
        // 150 % above a 72-pixel taskbar: Windows' frame is taller than the
        // work area, and starts at its top; it stays centred across.
        {{0, 0, 1280, 648}, {643, 706}, {318, 0}},
        // A second screen left of the first, its taskbar at the top.
        {{-1920, 40, 0, 1080}, {643, 706}, {-1282, 207}},
        // A screen narrower than the frame as well.
        {{0, 0, 600, 500}, {643, 706}, {0, 0}},
    };
    for (const Case& c : cases) {
        const POINT at = firstPlacement(c.work, c.frame);
        EXPECT_EQ(at.x, c.expected.x);
        EXPECT_EQ(at.y, c.expected.y);
    }
}

} // namespace
} // namespace pellorin::win32
