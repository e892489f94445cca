// Starts the game on Windows: one window, until it is closed.
#include "gamewindow.h"

#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // WIC, which decodes the pictures, is a COM library.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
        return 1;
    int status = 1;
    {
        pellorin::win32::GameWindow window(instance);
        if (window.open(showCommand))
            status = pellorin::win32::GameWindow::run();
    }
    CoUninitialize();
    return status;
}
