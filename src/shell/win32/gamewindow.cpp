// The game's window on Windows.
#include "gamewindow.h"

#include "failure.h"
#include "placement.h"
#include "platform/clockrandom.h"
#include "resource.h"
#include "window/design.h"

#include <windowsx.h>

#include <cmath>
#include <string>

namespace pellorin::win32 {
namespace {

constexpr wchar_t ClassName[] = L"Pellorin";
constexpr UINT TickMessage = WM_APP + 1;
// Fixed: no sizing border and no maximise box.
constexpr DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD ExStyle = 0;

// The folder of the running program, with a trailing backslash.
std::wstring executableDirectory()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

LPCWSTR cursorResource(CursorCode code)
{
    switch (code) {
    case CursorCode::SizeNS:
        return IDC_SIZENS;
    case CursorCode::SizeWE:
        return IDC_SIZEWE;
    case CursorCode::NoDrop:
        return IDC_NO;
    case CursorCode::Default:
        break;
    }
    return IDC_ARROW;
}

int timerIndex(TimerId timer)
{
    return timer == TimerId::Timer1 ? 0 : 1;
}

// The modifier keys, as the handlers take them.
std::int16_t shiftCode(WPARAM wParam)
{
    return static_cast<std::int16_t>((wParam & MK_SHIFT ? design::ShiftKey : 0)
                                     | (wParam & MK_CONTROL ? design::ControlKey : 0)
                                     | (GetKeyState(VK_MENU) < 0 ? design::AltKey : 0));
}

// The buttons held, as the handlers take them.
std::int16_t buttonsCode(WPARAM wParam)
{
    return static_cast<std::int16_t>((wParam & MK_LBUTTON ? design::LeftButton : 0)
                                     | (wParam & MK_RBUTTON ? design::RightButton : 0)
                                     | (wParam & MK_MBUTTON ? design::MiddleButton : 0));
}

// The game's canvas on a memory device context that holds part of the
// client area, from its device pixel origin on; client pixels are scaled.
class Painter final : public Canvas {
public:
    Painter(HDC target, double scale, Tiles& tiles, const Game& game)
        : m_target(target)
        , m_scale(scale)
        , m_rendering(renderingScale(scale))
        , m_tiles(tiles)
        , m_game(game)
        , m_source(CreateCompatibleDC(target))
    {
        SetStretchBltMode(m_target, HALFTONE);
        SetBrushOrgEx(m_target, 0, 0, nullptr);
    }
    ~Painter() override { DeleteDC(m_source); }
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;
    Painter(Painter&&) = delete;
    Painter& operator=(Painter&&) = delete;

    void begin(const Area& area) override
    {
        m_saved = SaveDC(m_target);
        const RECT rect = device(area);
        IntersectClipRect(m_target, rect.left, rect.top, rect.right, rect.bottom);
        FillRect(m_target, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    void draw(const PictureData& picture, const Area& area) override
    {
        HBITMAP bitmap = m_tiles.bitmap(m_game.pictureIndex(&picture), m_rendering);
        if (!bitmap)
            return;
        const RECT to = device(area);
        const int size = static_cast<int>(std::lround(area.width * m_rendering));
        HGDIOBJ old = SelectObject(m_source, bitmap);
        if (to.right - to.left == size && to.bottom - to.top == size)
            BitBlt(m_target, to.left, to.top, size, size, m_source, 0, 0, SRCCOPY);
        else
            StretchBlt(m_target, to.left, to.top, to.right - to.left, to.bottom - to.top, m_source, 0, 0, size, size,
                       SRCCOPY);
        SelectObject(m_source, old);
    }
    void end() override { RestoreDC(m_target, m_saved); }

private:
    RECT device(const Area& area) const
    {
        return {static_cast<LONG>(std::lround(area.left * m_scale)), static_cast<LONG>(std::lround(area.top * m_scale)),
                static_cast<LONG>(std::lround(area.right() * m_scale)),
                static_cast<LONG>(std::lround(area.bottom() * m_scale))};
    }

    HDC m_target;
    double m_scale;
    int m_rendering;
    Tiles& m_tiles;
    const Game& m_game;
    HDC m_source;
    int m_saved = 0;
};

} // namespace

GameWindow::GameWindow(HINSTANCE instance, const DpiFunctions& dpi)
    : m_instance(instance)
    , m_dpiFunctions(dpi)
    , m_cues(executableDirectory())
{
}

GameWindow::~GameWindow()
{
    // Still there only when the start failed: its messages no longer reach
    // this object, and its end posts no quit message.
    if (m_window) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
}

SIZE GameWindow::frameSize(UINT dpi) const
{
    RECT rect{0, 0, MulDiv(design::ClientWidth, static_cast<int>(dpi), 96),
              MulDiv(design::ClientHeight, static_cast<int>(dpi), 96)};
    m_dpiFunctions.adjustWindowRectExForDpi(&rect, Style, TRUE, ExStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

void GameWindow::open(int showCommand)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &GameWindow::windowProc;
    windowClass.hInstance = m_instance;
    windowClass.hIcon = LoadIconW(m_instance, MAKEINTRESOURCEW(IDI_PELLORIN));
    windowClass.hIconSm
        = static_cast<HICON>(LoadImageW(m_instance, MAKEINTRESOURCEW(IDI_PELLORIN), IMAGE_ICON,
                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = nullptr; // set at every WM_SETCURSOR
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDM_MAIN);
    windowClass.lpszClassName = ClassName;
    if (!RegisterClassExW(&windowClass))
        throw Failure(L"en fönsterklass", GetLastError());

    // Made hidden at the design's size, then sized for the DPI of the screen
    // it lands on and placed in that screen's work area.
    const SIZE initial = frameSize(96);
    m_window = CreateWindowExW(ExStyle, ClassName, L"Pellorin", Style, CW_USEDEFAULT, CW_USEDEFAULT, initial.cx,
                               initial.cy, nullptr, nullptr, m_instance, this);
    if (!m_window)
        throw Failure(L"ett fönster", GetLastError());
    m_dpi = m_dpiFunctions.dpiForWindow(m_window);
    const SIZE frame = frameSize(m_dpi);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const POINT at = firstPlacement(monitor.rcWork, frame);
    SetWindowPos(m_window, nullptr, at.x, at.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);

    m_ticker = std::make_unique<Ticker>(
        [window = m_window](int timer) { return PostMessageW(window, TickMessage, timer, 0) != 0; });
    m_game = std::make_unique<Game>(*this, std::make_unique<ClockRandom>());
    // The board is dealt before the window is first shown, so the first
    // frame already shows it.
    m_game->load();
    ShowWindow(m_window, showCommand);
    UpdateWindow(m_window);
}

int GameWindow::run()
{
    MSG message{};
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1)
            return 1;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK GameWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<GameWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<GameWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_NCDESTROY)
        self->m_window = nullptr;
    if (!self || !self->m_game)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT GameWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // every paint covers its whole region
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, cursorResource(m_cursor)));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        pointer(message, wParam, lParam);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_NEW)
            m_game->newGame();
        else if (LOWORD(wParam) == IDM_QUIT)
            m_game->quit();
        return 0;
    case TickMessage: {
        const int k = static_cast<int>(wParam);
        m_ticker->handled(k);
        const TimerId timer = k == 0 ? TimerId::Timer1 : TimerId::Timer2;
        // A tick posted just before its timer stopped is not the game's.
        if (m_game->timerRunning(timer))
            m_game->tick(timer);
        return 0;
    }
    case WM_GETDPISCALEDSIZE:
        // Asked before a move to a screen of another DPI: the frame there is
        // the design's client area at that DPI, not this frame scaled.
        *reinterpret_cast<SIZE*>(lParam) = frameSize(LOWORD(wParam));
        return TRUE;
    case WM_DPICHANGED: {
        // The suggested rectangle has the size answered above, and a place
        // that keeps the window under the pointer while it is dragged.
        m_dpi = HIWORD(wParam);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(m_window, nullptr, FALSE);
        return 0;
    }
    case WM_CLOSE:
        // The window manager's close: the same end as the menu's.
        m_game->closed();
        DestroyWindow(m_window);
        return 0;
    case WM_DESTROY:
        m_ticker.reset();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

// Presses of any button and moves, in client pixels. While a button is held
// the window keeps the mouse, so that moves outside it still arrive.
void GameWindow::pointer(UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto x = static_cast<float>(GET_X_LPARAM(lParam) / scale());
    const auto y = static_cast<float>(GET_Y_LPARAM(lParam) / scale());
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        SetCapture(m_window);
        const std::int16_t button = message == WM_LBUTTONDOWN ? design::LeftButton
            : message == WM_RBUTTONDOWN                       ? design::RightButton
                                                              : design::MiddleButton;
        m_game->press(button, shiftCode(wParam), x, y);
        break;
    }
    case WM_MOUSEMOVE:
        m_game->move(buttonsCode(wParam), shiftCode(wParam), x, y);
        break;
    default: // a button let go
        if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)))
            ReleaseCapture();
        break;
    }
}

void GameWindow::paint()
{
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(m_window, &ps);
    const RECT& dirty = ps.rcPaint;
    const int width = dirty.right - dirty.left;
    const int height = dirty.bottom - dirty.top;
    if (width > 0 && height > 0) {
        // Drawn off screen, then copied in one go: no flicker.
        HDC buffer = CreateCompatibleDC(screen);
        HBITMAP pixels = CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ old = SelectObject(buffer, pixels);
        SetViewportOrgEx(buffer, -dirty.left, -dirty.top, nullptr);
        {
            // The client pixels that reach into the dirty device pixels.
            const double s = scale();
            const auto left = static_cast<float>(std::floor(dirty.left / s));
            const auto top = static_cast<float>(std::floor(dirty.top / s));
            const Area area{left, top, static_cast<float>(std::ceil(dirty.right / s)) - left,
                            static_cast<float>(std::ceil(dirty.bottom / s)) - top};
            Painter canvas(buffer, s, m_tiles, *m_game);
            m_game->paint(area, canvas);
        }
        SetViewportOrgEx(buffer, 0, 0, nullptr);
        BitBlt(screen, dirty.left, dirty.top, width, height, buffer, 0, 0, SRCCOPY);
        SelectObject(buffer, old);
        DeleteObject(pixels);
        DeleteDC(buffer);
    }
    EndPaint(m_window, &ps);
}

void GameWindow::invalidate(const Area& area)
{
    const double s = scale();
    const RECT rect{static_cast<LONG>(std::floor(area.left * s)), static_cast<LONG>(std::floor(area.top * s)),
                    static_cast<LONG>(std::ceil(area.right() * s)), static_cast<LONG>(std::ceil(area.bottom() * s))};
    InvalidateRect(m_window, &rect, FALSE);
}

void GameWindow::showCursor(CursorCode code)
{
    m_cursor = code;
    // Shown at once where the pointer is over the client area.
    POINT at;
    RECT client;
    if (GetCursorPos(&at) && WindowFromPoint(at) == m_window && ScreenToClient(m_window, &at)
        && GetClientRect(m_window, &client) && PtInRect(&client, at))
        SetCursor(LoadCursorW(nullptr, cursorResource(code)));
}

void GameWindow::startTicking(TimerId timer, int intervalMs)
{
    m_ticker->start(timerIndex(timer), intervalMs);
}

void GameWindow::stopTicking(TimerId timer)
{
    if (m_ticker)
        m_ticker->stop(timerIndex(timer));
}

void GameWindow::closeWindow()
{
    DestroyWindow(m_window);
}

} // namespace pellorin::win32
