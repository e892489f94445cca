// Starts the game on Windows: one window, until it is closed.
#include "design/design.h"
#include "failure.h"
#include "gamewindow.h"
#include "minimum.h"
#include "system.h"
#include "text.h"

#include <objbase.h>

#include <cwchar>
#include <cwctype>

namespace {

// Shown, without an owner, when the program cannot start or go on: it then
// ends with a non-zero status.
constexpr wchar_t FailureCaption[] = L"Pellorin";
// For the tests of a timer that Windows will not start: the number of starts
// to refuse. Nothing sets it in play.
constexpr wchar_t TimerRefusalsVariable[] = L"PELLORIN_REFUSE_TIMERS";

int fail(const pellorin::win32::Failure& failure)
{
    MessageBoxW(nullptr, failure.message().c_str(), FailureCaption, MB_OK | MB_ICONERROR);
    return 1;
}

// The symbols option on the command line: the tiles show a symbol for each
// colour.
pellorin::tiles::Look lookAsked(const wchar_t* commandLine)
{
    const std::wstring option = pellorin::win32::wide(pellorin::design::SymbolsOption);
    const std::size_t length = option.size();
    for (const wchar_t* at = commandLine; (at = std::wcsstr(at, option.c_str())); at += length) {
        const bool starts = at == commandLine || std::iswspace(at[-1]);
        const bool ends = at[length] == L'\0' || std::iswspace(at[length]);
        if (starts && ends)
            return pellorin::tiles::Look::Symbols;
    }
    return pellorin::tiles::Look::Plain;
}

int timerRefusals()
{
    wchar_t value[16]{};
    const DWORD length = GetEnvironmentVariableW(TimerRefusalsVariable, value, 16);
    return length > 0 && length < 16 ? _wtoi(value) : 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, PWSTR lpCmdLine, int nShowCmd)
{
    const auto dpi = pellorin::win32::supportedWindows();
    if (!dpi) {
        MessageBoxW(nullptr, pellorin::win32::TooOldMessage, FailureCaption, MB_OK | MB_ICONERROR);
        return 1;
    }
    // The board's object for screen readers is handed over through COM.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(com))
        return fail(pellorin::win32::Failure(L"kopplingen till skärmläsare", static_cast<DWORD>(com)));
    int status = 1;
    try {
        pellorin::win32::GameWindow window(hInstance, *dpi, lookAsked(lpCmdLine), timerRefusals());
        window.open(nShowCmd);
        status = window.run();
        // Shown while the window's objects still answer a screen reader that
        // holds them: with errors, the window having gone.
        if (window.failure())
            status = fail(*window.failure());
    } catch (const pellorin::win32::Failure& failure) {
        status = fail(failure);
    }
    CoUninitialize();
    return status;
}
