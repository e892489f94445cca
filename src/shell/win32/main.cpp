// Starts the game on Windows: one window, until it is closed.
#include "failure.h"
#include "gamewindow.h"
#include "minimum.h"
#include "system.h"

#include <objbase.h>

#include <cwchar>

// Shown, without an owner, when the program cannot start: it then ends with
// a non-zero status.
constexpr wchar_t FailureCaption[] = L"Pellorin";

// --symbols on the command line: the tiles show a symbol for each colour.
pellorin::tiles::Look lookAsked(const wchar_t* commandLine)
{
    constexpr wchar_t Option[] = L"--symbols";
    constexpr std::size_t Length = std::size(Option) - 1;
    for (const wchar_t* at = commandLine; (at = std::wcsstr(at, Option)); at += Length) {
        const bool starts = at == commandLine || at[-1] == L' ' || at[-1] == L'\t';
        const bool ends = at[Length] == L'\0' || at[Length] == L' ' || at[Length] == L'\t';
        if (starts && ends)
            return pellorin::tiles::Look::Symbols;
    }
    return pellorin::tiles::Look::Plain;
}

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, PWSTR lpCmdLine, int nShowCmd)
{
    const auto dpi = pellorin::win32::supportedWindows();
    if (!dpi) {
        MessageBoxW(nullptr, pellorin::win32::TooOldMessage, FailureCaption, MB_OK | MB_ICONERROR);
        return 1;
    }
    // The board's object for screen readers is handed over through COM.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
        return 1;
    int status = 1;
    try {
        pellorin::win32::GameWindow window(hInstance, *dpi, lookAsked(lpCmdLine));
        window.open(nShowCmd);
        status = pellorin::win32::GameWindow::run();
    } catch (const pellorin::win32::Failure& failure) {
        MessageBoxW(nullptr, failure.message().c_str(), FailureCaption, MB_OK | MB_ICONERROR);
    }
    CoUninitialize();
    return status;
}
