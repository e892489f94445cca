// One moment for the scripts that watch a running program: "NAME NUMBER" on
// the error output, a line at once. The number is nanoseconds on the
// monotonic clock the scripts read too, or of the CPU the process has spent.
#pragma once

#include <chrono>
#include <cstdio>
#include <ctime>

namespace pellorin::testing {

inline void writeMoment(const char* what, long long number)
{
    std::fprintf(stderr, "%s %lld\n", what, number);
    std::fflush(stderr);
}

inline void reportMoment(const char* what)
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    writeMoment(what, static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

// The first frame, with the CPU every thread has spent until it: the figure
// a start-up is measured by, free of whatever the process does after it.
inline void reportFirstPaint()
{
    reportMoment("first-paint");
    writeMoment("first-paint-cpu", static_cast<long long>(std::clock()) * (1'000'000'000LL / CLOCKS_PER_SEC));
}

} // namespace pellorin::testing
