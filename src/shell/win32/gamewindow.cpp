// The game's window on Windows.
#include "gamewindow.h"

#include "design/design.h"
#include "failure.h"
#include "placement.h"
#include "platform/clockrandom.h"
#include "resource.h"

#include <windowsx.h>

#include <optional>
#include <string>

namespace pellorin::win32 {
namespace {

constexpr wchar_t ClassName[] = L"Pellorin";
constexpr UINT TickMessage = WM_APP + 1;
// The menu's command identifiers: the design's commands above this base.
constexpr UINT CommandBase = 100;
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

// The keys that play the board, as the core takes them.
std::optional<design::Key> boardKey(WPARAM virtualKey)
{
    switch (virtualKey) {
    case VK_LEFT:
        return design::Key::Left;
    case VK_RIGHT:
        return design::Key::Right;
    case VK_UP:
        return design::Key::Up;
    case VK_DOWN:
        return design::Key::Down;
    case VK_SPACE:
        return design::Key::Space;
    case VK_RETURN:
        return design::Key::Enter;
    case VK_ESCAPE:
        return design::Key::Escape;
    default:
        return std::nullopt;
    }
}

// The modifier keys held now, for a key.
std::int16_t keyboardShift()
{
    return static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? design::ShiftKey : 0)
                                     | (GetKeyState(VK_CONTROL) < 0 ? design::ControlKey : 0)
                                     | (GetKeyState(VK_MENU) < 0 ? design::AltKey : 0));
}

// The core's UTF-8 words as a wide string.
std::wstring wide(std::string_view text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
    return result;
}

// The menu bar from the core's design: its one menu, the items with their
// access keys, the separator.
HMENU makeMenu()
{
    HMENU bar = CreateMenu();
    HMENU menu = CreatePopupMenu();
    for (const design::MenuItem& item : design::MenuItems) {
        if (item.command == design::Command::None)
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu, MF_STRING, CommandBase + static_cast<UINT>(item.command), wide(item.caption).c_str());
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), wide(design::Menu.caption).c_str());
    return bar;
}

// The game's canvas on a memory device context that holds part of the
// client area, in device pixels.
class Painter final : public Canvas {
public:
    Painter(HDC target, int tileSize, Tiles& tiles)
        : m_target(target)
        , m_tileSize(tileSize)
        , m_tiles(tiles)
        , m_source(CreateCompatibleDC(target))
    {
    }
    ~Painter() override { DeleteDC(m_source); }
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;
    Painter(Painter&&) = delete;
    Painter& operator=(Painter&&) = delete;

    void begin(const DeviceRect& clip) override
    {
        m_saved = SaveDC(m_target);
        IntersectClipRect(m_target, clip.left, clip.top, clip.right(), clip.bottom());
        fill(clip, Rgb{});
    }
    void fill(const DeviceRect& rect, Rgb colour) override
    {
        const RECT area{rect.left, rect.top, rect.right(), rect.bottom()};
        SetDCBrushColor(m_target, RGB(colour.red, colour.green, colour.blue));
        FillRect(m_target, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    void drawTile(int picture, int left, int top) override
    {
        HBITMAP bitmap = m_tiles.bitmap(picture, m_tileSize);
        if (!bitmap)
            return;
        HGDIOBJ old = SelectObject(m_source, bitmap);
        BitBlt(m_target, left, top, m_tileSize, m_tileSize, m_source, 0, 0, SRCCOPY);
        SelectObject(m_source, old);
    }
    void end() override { RestoreDC(m_target, m_saved); }

private:
    HDC m_target;
    int m_tileSize;
    Tiles& m_tiles;
    HDC m_source;
    int m_saved = 0;
};

} // namespace

GameWindow::GameWindow(HINSTANCE instance, const DpiFunctions& dpi, tiles::Look look)
    : m_instance(instance)
    , m_dpiFunctions(dpi)
    , m_look(look)
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
    const SIZE initial = frameSize(96);
    m_window = CreateWindowExW(ExStyle, ClassName, L"Pellorin", Style, CW_USEDEFAULT, CW_USEDEFAULT, initial.cx,
                               initial.cy, nullptr, makeMenu(), m_instance, this);
    if (!m_window)
        throw Failure(L"ett fönster", GetLastError());
    const UINT dpi = m_dpiFunctions.dpiForWindow(m_window);
    m_scale = scaleAt(dpi);
    const SIZE frame = frameSize(dpi);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const POINT at = firstPlacement(monitor.rcWork, frame);
    SetWindowPos(m_window, nullptr, at.x, at.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);

    m_ticker = std::make_unique<Ticker>(
        [window = m_window](int timer) { return PostMessageW(window, TickMessage, timer, 0) != 0; });
    m_game = std::make_unique<Game>(*this, std::make_unique<ClockRandom>(), m_look);
    m_accessible = new BoardAccessible(m_window, *m_game, m_scale);
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
    case WM_KEYDOWN:
        // Keys reach the window only while no menu is open: an open menu
        // takes them itself.
        if (const auto key = boardKey(wParam)) {
            // Bit 30 of lParam: the key was down already, an auto-repeat.
            m_game->key(*key, keyboardShift(), (lParam & (LPARAM{1} << 30)) != 0);
            return 0;
        }
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && LOWORD(wParam) > CommandBase)
            m_game->command(static_cast<design::Command>(LOWORD(wParam) - CommandBase));
        return 0;
    case WM_GETOBJECT:
        // The board for screen readers; the window's other objects are the
        // system's.
        if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT) && m_accessible)
            return LresultFromObject(__uuidof(IAccessible), wParam, m_accessible);
        break;
    case TickMessage:
        if (wParam < AllTimers.size()) {
            m_ticker->handled(static_cast<int>(wParam));
            m_game->tick(AllTimers[wParam]);
        }
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
        if (m_accessible)
            m_accessible->disconnect();
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
    const float x = m_scale.toClient(GET_X_LPARAM(lParam));
    const float y = m_scale.toClient(GET_Y_LPARAM(lParam));
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
            Painter canvas(buffer, m_scale.tileSize(), m_tiles);
            m_game->paint(m_scale.toClient(DeviceRect{dirty.left, dirty.top, width, height}), m_scale, canvas);
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

void GameWindow::announce(const std::string& words)
{
    if (!m_accessible)
        return;
    m_accessible->said(words);
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, m_window, OBJID_CLIENT, CHILDID_SELF);
}

void GameWindow::focusCell(int cell)
{
    if (GetFocus() == m_window)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, m_window, OBJID_CLIENT, cell);
}

void GameWindow::cellsRenamed(std::span<const int> cells)
{
    for (const int cell : cells)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_window, OBJID_CLIENT, cell);
}

} // namespace pellorin::win32
