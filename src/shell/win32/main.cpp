// Starts the game on Windows: one window, until it is closed.
#include "failure.h"
#include "gamewindow.h"
#include "minimum.h"
#include "system.h"

#include <objbase.h>

// Shown, without an owner, when the program cannot start: it then ends with
// a non-zero status.
constexpr wchar_t FailureCaption[] = L"Pellorin";

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, PWSTR /*lpCmdLine*/, int nShowCmd)
{
    const auto dpi = pellorin::win32::supportedWindows();
    if (!dpi) {
        MessageBoxW(nullptr, pellorin::win32::TooOldMessage, FailureCaption, MB_OK | MB_ICONERROR);
        return 1;
    }
    // WIC, which decodes the pictures, is a COM library.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
        return 1;
    int status = 1;
    try {
        pellorin::win32::GameWindow window(hInstance, *dpi);
        window.open(nShowCmd);
        status = pellorin::win32::GameWindow::run();
    } catch (const pellorin::win32::Failure& failure) {
        MessageBoxW(nullptr, failure.message().c_str(), FailureCaption, MB_OK | MB_ICONERROR);
    }
    CoUninitialize();
    return status;
}
