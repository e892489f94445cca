// The board for screen readers through MSAA.
#include "accessible.h"

#include "board/board.h"
#include "speech/words.h"

#include <string_view>

namespace pellorin::win32 {
namespace {

constexpr long Table = CHILDID_SELF;

// The UTF-8 words of the core as a BSTR; nullptr when they are empty.
BSTR toBstr(std::string_view text)
{
    if (text.empty())
        return nullptr;
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (result)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result, length);
    return result;
}

HRESULT answer(BSTR* out, std::string_view text)
{
    *out = toBstr(text);
    return *out ? S_OK : S_FALSE;
}

void setLong(VARIANT* out, long value)
{
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
}

} // namespace

BoardAccessible::BoardAccessible(HWND window, const Game& game, const DeviceScale& scale)
    : m_window(window)
    , m_game(&game)
    , m_scale(&scale)
{
}

void BoardAccessible::disconnect()
{
    m_game = nullptr;
    m_scale = nullptr;
    m_window = nullptr;
}

long BoardAccessible::childOf(const VARIANT& child) const
{
    if (!m_game || child.vt != VT_I4 || child.lVal < Table || child.lVal > board::Balls)
        return -1;
    return child.lVal;
}

HRESULT BoardAccessible::noText(const VARIANT& child, BSTR* out) const
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return childOf(child) < 0 ? E_INVALIDARG : S_FALSE;
}

bool BoardAccessible::hasFocus() const
{
    return m_window && GetFocus() == m_window;
}

HRESULT BoardAccessible::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG BoardAccessible::AddRef()
{
    return ++m_references;
}

ULONG BoardAccessible::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT BoardAccessible::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT BoardAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

HRESULT BoardAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT BoardAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

HRESULT BoardAccessible::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!m_window)
        return E_FAIL;
    // The window's own object, as the system makes it.
    return AccessibleObjectFromWindow(m_window, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                      reinterpret_cast<void**>(parent));
}

HRESULT BoardAccessible::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    if (!m_game)
        return E_FAIL;
    *count = board::Balls;
    return S_OK;
}

HRESULT BoardAccessible::get_accChild(VARIANT child, IDispatch** dispatch)
{
    if (!dispatch)
        return E_POINTER;
    *dispatch = nullptr;
    // The cells are simple elements, asked about through the table.
    return childOf(child) > Table ? S_FALSE : E_INVALIDARG;
}

HRESULT BoardAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = nullptr;
    const long k = childOf(child);
    if (k == Table)
        return answer(name, words::Board);
    if (k < 0)
        return E_INVALIDARG;
    const auto cell = m_game->cellName(static_cast<int>(k));
    return cell ? answer(name, *cell) : E_INVALIDARG;
}

HRESULT BoardAccessible::get_accValue(VARIANT child, BSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    const long k = childOf(child);
    if (k < 0)
        return E_INVALIDARG;
    return k == Table ? answer(value, m_said) : S_FALSE;
}

HRESULT BoardAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    return noText(child, description);
}

HRESULT BoardAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (!role)
        return E_POINTER;
    VariantInit(role);
    const long k = childOf(child);
    if (k < 0)
        return E_INVALIDARG;
    setLong(role, k == Table ? ROLE_SYSTEM_TABLE : ROLE_SYSTEM_CELL);
    return S_OK;
}

HRESULT BoardAccessible::get_accState(VARIANT child, VARIANT* state)
{
    if (!state)
        return E_POINTER;
    VariantInit(state);
    const long k = childOf(child);
    if (k < 0)
        return E_INVALIDARG;
    long flags = STATE_SYSTEM_FOCUSABLE;
    if (k != Table && hasFocus() && k == m_game->focusedCell())
        flags |= STATE_SYSTEM_FOCUSED;
    setLong(state, flags);
    return S_OK;
}

HRESULT BoardAccessible::get_accHelp(VARIANT child, BSTR* help)
{
    return noText(child, help);
}

HRESULT BoardAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic)
{
    if (file)
        *file = nullptr;
    if (topic)
        *topic = 0;
    return S_FALSE;
}

HRESULT BoardAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    return noText(child, shortcut);
}

HRESULT BoardAccessible::get_accFocus(VARIANT* child)
{
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!m_game)
        return E_FAIL;
    // The cell under the keyboard's cursor, while the window has the focus.
    if (!hasFocus())
        return S_FALSE;
    setLong(child, m_game->focusedCell());
    return S_OK;
}

HRESULT BoardAccessible::get_accSelection(VARIANT* children)
{
    if (!children)
        return E_POINTER;
    VariantInit(children);
    return m_game ? S_FALSE : E_FAIL;
}

HRESULT BoardAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    return noText(child, action);
}

HRESULT BoardAccessible::accSelect(long, VARIANT)
{
    return E_NOTIMPL;
}

HRESULT BoardAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    const long k = childOf(child);
    if (k < 0)
        return E_INVALIDARG;
    RECT area{0, 0, m_scale->clientWidth(), m_scale->clientHeight()};
    if (k != Table) {
        // The cell's tile at its home, where the screen shows it between swaps.
        const int row = static_cast<int>((k - 1) / board::Columns) + 1;
        const int column = static_cast<int>((k - 1) % board::Columns) + 1;
        const DeviceRect tile
            = m_scale->tile(static_cast<float>(board::homeLeft(column)), static_cast<float>(board::homeTop(row)));
        area = {tile.left, tile.top, tile.right(), tile.bottom()};
    }
    MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    *left = area.left;
    *top = area.top;
    *width = area.right - area.left;
    *height = area.bottom - area.top;
    return S_OK;
}

HRESULT BoardAccessible::accNavigate(long, VARIANT, VARIANT* end)
{
    if (end)
        VariantInit(end);
    return E_NOTIMPL;
}

HRESULT BoardAccessible::accHitTest(long left, long top, VARIANT* child)
{
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!m_game)
        return E_FAIL;
    POINT at{left, top};
    ScreenToClient(m_window, &at);
    RECT client{};
    GetClientRect(m_window, &client);
    if (!PtInRect(&client, at))
        return S_FALSE;
    for (long k = 1; k <= board::Balls; ++k) {
        long x = 0;
        long y = 0;
        long w = 0;
        long h = 0;
        VARIANT cell{};
        setLong(&cell, k);
        if (SUCCEEDED(accLocation(&x, &y, &w, &h, cell)) && left >= x && left < x + w && top >= y && top < y + h) {
            setLong(child, k);
            return S_OK;
        }
    }
    setLong(child, Table);
    return S_OK;
}

HRESULT BoardAccessible::accDoDefaultAction(VARIANT)
{
    return E_NOTIMPL;
}

HRESULT BoardAccessible::put_accName(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

HRESULT BoardAccessible::put_accValue(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

} // namespace pellorin::win32
