// What the program needs of Windows beyond what every version has: the
// per-monitor DPI functions, looked up at run time, so that an older Windows
// gets a message in words instead of the loader's missing-entry-point error.
#pragma once

#include <windows.h>

#include <optional>

namespace pellorin::win32 {

// A function of a loaded DLL by name, cast to its type; nullptr when the DLL
// or the function is absent.
template <class Function>
Function procedure(HMODULE library, const char* name)
{
    FARPROC found = library ? GetProcAddress(library, name) : nullptr;
    // Through the generic function type, as GetProcAddress's result is meant to be cast.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

struct DpiFunctions {
    UINT(WINAPI* dpiForWindow)(HWND);
    BOOL(WINAPI* adjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT);
};

// The DPI functions, or nothing when this Windows is older than the lowest
// version the program supports (or lacks one of them all the same).
std::optional<DpiFunctions> supportedWindows();

} // namespace pellorin::win32
