// The window's menu bar, made from the core's design.
#pragma once

#include <windows.h>

namespace pellorin::win32 {

// The menu bar: the design's one menu, its items with their access keys and
// the separator, each item's command above CommandBase. Throws Failure when
// Windows cannot make it.
HMENU makeMenu();

} // namespace pellorin::win32
