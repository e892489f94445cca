// The board for screen readers through MSAA.
#include "accessible.h"

#include "board/board.h"
#include "messages.h"
#include "speech/words.h"
#include "text.h"

namespace pellorin::win32 {
namespace {

constexpr long Table = CHILDID_SELF;
// The object is there but its window has gone.
constexpr HRESULT Gone = CO_E_OBJNOTCONNECTED;

HRESULT answer(BSTR* out, std::string_view words)
{
    *out = bstr(words);
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

HRESULT BoardAccessible::check(const VARIANT& child, long& k) const
{
    if (!m_game)
        return Gone;
    if (child.vt != VT_I4 || child.lVal < Table || child.lVal > board::Balls)
        return E_INVALIDARG;
    k = child.lVal;
    return S_OK;
}

HRESULT BoardAccessible::begin(const VARIANT& child, BSTR* out, long& k) const
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return check(child, k);
}

HRESULT BoardAccessible::begin(const VARIANT& child, VARIANT* out, long& k) const
{
    if (!out)
        return E_POINTER;
    VariantInit(out);
    return check(child, k);
}

bool BoardAccessible::hasFocus() const
{
    return m_window && GetFocus() == m_window;
}

RECT BoardAccessible::area(long k) const
{
    if (k == Table)
        return {0, 0, m_scale->clientWidth(), m_scale->clientHeight()};
    // The cell's tile at its home, where the screen shows it between swaps.
    const DeviceRect tile = m_scale->cell(static_cast<int>(k));
    return {tile.left, tile.top, tile.right(), tile.bottom()};
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
        return Gone;
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
        return Gone;
    *count = board::Balls;
    return S_OK;
}

HRESULT BoardAccessible::get_accChild(VARIANT child, IDispatch** dispatch)
{
    if (!dispatch)
        return E_POINTER;
    *dispatch = nullptr;
    long k = 0;
    if (const HRESULT hr = check(child, k); hr != S_OK)
        return hr;
    if (k != Table)
        return S_FALSE; // the cells are simple elements, asked about through the table
    *dispatch = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

HRESULT BoardAccessible::get_accName(VARIANT child, BSTR* name)
{
    long k = 0;
    if (const HRESULT hr = begin(child, name, k); hr != S_OK)
        return hr;
    if (k == Table)
        return answer(name, words::Board);
    const auto cell = m_game->cellName(static_cast<int>(k));
    return cell ? answer(name, *cell) : Gone;
}

HRESULT BoardAccessible::get_accValue(VARIANT child, BSTR* value)
{
    long k = 0;
    if (const HRESULT hr = begin(child, value, k); hr != S_OK)
        return hr;
    return k == Table ? answer(value, m_said) : DISP_E_MEMBERNOTFOUND;
}

HRESULT BoardAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    long k = 0;
    if (const HRESULT hr = begin(child, description, k); hr != S_OK)
        return hr;
    return k != Table && k == m_described ? answer(description, m_said) : S_FALSE;
}

HRESULT BoardAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    long k = 0;
    if (const HRESULT hr = begin(child, role, k); hr != S_OK)
        return hr;
    setLong(role, k == Table ? ROLE_SYSTEM_TABLE : ROLE_SYSTEM_CELL);
    return S_OK;
}

HRESULT BoardAccessible::get_accState(VARIANT child, VARIANT* state)
{
    long k = 0;
    if (const HRESULT hr = begin(child, state, k); hr != S_OK)
        return hr;
    long flags = STATE_SYSTEM_FOCUSABLE;
    if (k != Table && hasFocus() && k == m_game->focusedCell())
        flags |= STATE_SYSTEM_FOCUSED;
    setLong(state, flags);
    return S_OK;
}

HRESULT BoardAccessible::get_accHelp(VARIANT child, BSTR* help)
{
    long k = 0;
    const HRESULT hr = begin(child, help, k);
    return hr == S_OK ? S_FALSE : hr;
}

HRESULT BoardAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic)
{
    if (!file || !topic)
        return E_POINTER;
    *topic = -1;
    long k = 0;
    const HRESULT hr = begin(child, file, k);
    return hr == S_OK ? DISP_E_MEMBERNOTFOUND : hr;
}

HRESULT BoardAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    long k = 0;
    const HRESULT hr = begin(child, shortcut, k);
    return hr == S_OK ? S_FALSE : hr;
}

HRESULT BoardAccessible::get_accFocus(VARIANT* child)
{
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!m_game)
        return Gone;
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
    return m_game ? DISP_E_MEMBERNOTFOUND : Gone;
}

HRESULT BoardAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    long k = 0;
    const HRESULT hr = begin(child, action, k);
    if (hr != S_OK)
        return hr;
    return k == Table ? DISP_E_MEMBERNOTFOUND : answer(action, words::CellAction);
}

HRESULT BoardAccessible::accSelect(long, VARIANT child)
{
    long k = 0;
    const HRESULT hr = check(child, k);
    return hr == S_OK ? DISP_E_MEMBERNOTFOUND : hr;
}

HRESULT BoardAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    long k = 0;
    if (const HRESULT hr = check(child, k); hr != S_OK)
        return hr;
    RECT rect = area(k);
    MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
}

HRESULT BoardAccessible::accNavigate(long, VARIANT start, VARIANT* end)
{
    long k = 0;
    const HRESULT hr = begin(start, end, k);
    return hr == S_OK ? DISP_E_MEMBERNOTFOUND : hr;
}

HRESULT BoardAccessible::accHitTest(long left, long top, VARIANT* child)
{
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!m_game)
        return Gone;
    POINT at{left, top};
    ScreenToClient(m_window, &at);
    const RECT client = area(Table);
    if (!PtInRect(&client, at))
        return S_FALSE;
    for (long k = 1; k <= board::Balls; ++k) {
        const RECT cell = area(k);
        if (PtInRect(&cell, at)) {
            setLong(child, k);
            return S_OK;
        }
    }
    setLong(child, Table);
    return S_OK;
}

HRESULT BoardAccessible::accDoDefaultAction(VARIANT child)
{
    long k = 0;
    if (const HRESULT hr = check(child, k); hr != S_OK)
        return hr;
    if (k == Table)
        return DISP_E_MEMBERNOTFOUND;
    // Done once this call has returned, as MSAA asks: the activation may
    // swap, and the client's call should not wait for that.
    return PostMessageW(m_window, ActivateMessage, static_cast<WPARAM>(k), 0) ? S_OK : E_FAIL;
}

HRESULT BoardAccessible::put_accName(VARIANT, BSTR)
{
    // As MSAA's documentation asks of every server.
    return m_game ? E_NOTIMPL : Gone;
}

HRESULT BoardAccessible::put_accValue(VARIANT child, BSTR)
{
    long k = 0;
    const HRESULT hr = check(child, k);
    return hr == S_OK ? DISP_E_MEMBERNOTFOUND : hr;
}

} // namespace pellorin::win32
