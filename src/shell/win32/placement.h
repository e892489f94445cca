// Where the window first opens: centred in the work area of its screen, and
// never above or left of it, so that a frame larger than the work area (150 %
// on a 1280x720 screen) keeps its title bar, by which it is moved, on screen.
#pragma once

#include <windows.h>

#include <algorithm>

namespace pellorin::win32 {

inline POINT firstPlacement(const RECT& work, SIZE frame)
{
    return {work.left + std::max(0L, (work.right - work.left - frame.cx) / 2),
            work.top + std::max(0L, (work.bottom - work.top - frame.cy) / 2)};
}

} // namespace pellorin::win32
