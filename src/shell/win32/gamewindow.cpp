// The game's window on Windows: making it, placing it, its messages, its
// timers and its end.
#include "gamewindow.h"

#include "menu.h"
#include "messages.h"
#include "placement.h"
#include "platform/clockrandom.h"
#include "resource.h"

namespace pellorin::win32 {
namespace {

constexpr wchar_t ClassName[] = L"Pellorin";
// Fixed: no sizing border and no maximise box.
constexpr DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD ExStyle = 0;
// A timer that Windows would not start is tried this many times in all
// before the game ends with a message.
constexpr int TimerAttempts = 2;

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

} // namespace

GameWindow::GameWindow(HINSTANCE instance, const DpiFunctions& dpi, tiles::Look look, int timerRefusals)
    : m_instance(instance)
    , m_dpiFunctions(dpi)
    , m_look(look)
    , m_timerRefusals(timerRefusals)
    , m_tiles(look)
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
    disconnectReaders();
    if (m_accessible)
        m_accessible->Release();
}

SIZE GameWindow::frameSize(UINT dpi) const
{
    const DeviceScale scale = scaleAt(dpi);
    RECT rect{0, 0, scale.clientWidth(), scale.clientHeight()};
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
    windowClass.lpszClassName = ClassName;
    if (!RegisterClassExW(&windowClass))
        throw Failure(L"en fönsterklass", GetLastError());

    // Made hidden at the design's size, then sized for the DPI of the screen
    // it lands on and placed in that screen's work area.
    HMENU menu = makeMenu();
    const SIZE initial = frameSize(96);
    m_window = CreateWindowExW(ExStyle, ClassName, L"Pellorin", Style, CW_USEDEFAULT, CW_USEDEFAULT, initial.cx,
                               initial.cy, nullptr, menu, m_instance, this);
    if (!m_window) {
        const DWORD error = GetLastError();
        DestroyMenu(menu);
        throw Failure(L"ett fönster", error);
    }
    const UINT dpi = m_dpiFunctions.dpiForWindow(m_window);
    m_scale = scaleAt(dpi);
    const SIZE frame = frameSize(dpi);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        throw Failure::starting(L"läsa skärmens mått", GetLastError());
    const POINT at = firstPlacement(monitor.rcWork, frame);
    SetWindowPos(m_window, nullptr, at.x, at.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);

    m_ticker = std::make_unique<Ticker>(
        [window = m_window](int timer) { return PostMessageW(window, TickMessage, timer, 0) != 0; });
    m_game = std::make_unique<Game>(*this, std::make_unique<ClockRandom>(), m_look);
    m_accessible = new BoardAccessible(m_window, *m_game, m_scale);
    m_notifier = std::make_unique<Notifier>(m_window);
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
    if (message == WM_NCDESTROY && self) {
        // The window's last message: it goes to the system's own handling
        // below, with the window it is about.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_window = nullptr;
        self = nullptr;
    }
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
    case WM_KEYDOWN:
        // Keys reach the window only while no menu is open: an open menu
        // takes them itself.
        if (keyDown(wParam, lParam))
            return 0;
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && LOWORD(wParam) > CommandBase)
            m_game->command(static_cast<design::Command>(LOWORD(wParam) - CommandBase));
        return 0;
    case WM_GETOBJECT:
        return accessibleObject(wParam, lParam);
    case WM_SETFOCUS:
        focusRegained();
        return 0;
    case ActivateMessage:
        activated(static_cast<int>(wParam));
        return 0;
    case TickMessage:
        if (wParam < AllTimers.size()) {
            m_ticker->handled(static_cast<int>(wParam));
            m_game->tick(AllTimers[wParam]);
        }
        return 0;
    case FailedMessage:
        // Shown by main() once the window has gone, as a failed start is.
        DestroyWindow(m_window);
        return 0;
    case WM_GETDPISCALEDSIZE:
        // Asked before a move to a screen of another DPI: the frame there is
        // the design's client area at that DPI, not this frame scaled.
        *reinterpret_cast<SIZE*>(lParam) = frameSize(LOWORD(wParam));
        return TRUE;
    case WM_DPICHANGED: {
        // The suggested rectangle has the size answered above, and a place
        // that keeps the window under the pointer while it is dragged.
        m_scale = scaleAt(HIWORD(wParam));
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
        disconnectReaders();
        PostQuitMessage(m_failure ? 1 : 0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void GameWindow::fail(Failure failure)
{
    if (m_failure)
        return;
    m_failure = std::move(failure);
    // Posted: the core is inside a handler now, and the window must not go
    // from under it.
    PostMessageW(m_window, FailedMessage, 0, 0);
}

void GameWindow::invalidate(const Area& area)
{
    const DeviceRect device = m_scale.clip(area);
    const RECT rect{device.left, device.top, device.right(), device.bottom()};
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
    DWORD error = 0;
    for (int attempt = 0; attempt < TimerAttempts; ++attempt) {
        if (m_timerRefusals > 0) {
            --m_timerRefusals;
            error = ERROR_NOT_ENOUGH_MEMORY;
            continue;
        }
        error = m_ticker->start(timerIndex(timer), intervalMs);
        if (error == 0)
            return;
    }
    // Without its ticks the board would wait for ever on a swap and ignore
    // every later press.
    fail(Failure::playing(L"starta en timer", error));
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
