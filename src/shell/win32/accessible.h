// The board for screen readers through MSAA: the client area is a table named
// as the core names the board, and its 64 cells are its children 1 to 64
// (ROLE_SYSTEM_CELL), each named by the core ("Rad 3, kolumn 5: röd"). The
// table's value is the last thing said (a swap, a line emptied, a deal).
// Where UI Automation cannot carry those words, they are also the description
// of the cell that had the focus when they were said, until the focus moves.
// A cell's default action is a screen reader's activation of it.
// A client may hold the object after the window has gone: it then answers
// every question with CO_E_OBJNOTCONNECTED, as MSAA asks of a server whose
// object has gone.
#pragma once

#include "platform/drawing.h"
#include "window/game.h"

#include <windows.h>

#include <oleacc.h>

#include <string>

namespace pellorin::win32 {

class BoardAccessible final : public IAccessible {
public:
    // The game and the scale belong to the window, which outlives every
    // question asked before disconnect(). An activated cell is posted to the
    // window as ActivateMessage.
    BoardAccessible(HWND window, const Game& game, const DeviceScale& scale);
    // Deleted by its last Release(), never by its owner.
    virtual ~BoardAccessible() = default;
    BoardAccessible(const BoardAccessible&) = delete;
    BoardAccessible& operator=(const BoardAccessible&) = delete;
    BoardAccessible(BoardAccessible&&) = delete;
    BoardAccessible& operator=(BoardAccessible&&) = delete;

    // The window is going: from now on every question is answered with an
    // error.
    void disconnect();
    // The words said last, the table's value.
    void said(const std::string& words) { m_said = words; }
    // The words said last are also the description of this cell, until
    // described(0) or another cell.
    void described(int cell) { m_described = cell; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: not offered; clients use the IAccessible methods themselves.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;
    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    // What a question about a child gets before its answer: S_OK when the
    // object is there and the VARIANT names the table (0) or a cell (1 to
    // 64), which is then in k; CO_E_OBJNOTCONNECTED once the window has
    // gone; E_INVALIDARG for any other child.
    HRESULT check(const VARIANT& child, long& k) const;
    // The start of every question with an answer to write: E_POINTER
    // without a place for it; else the place emptied, and check().
    HRESULT begin(const VARIANT& child, BSTR* out, long& k) const;
    HRESULT begin(const VARIANT& child, VARIANT* out, long& k) const;
    bool hasFocus() const;
    // The cell's tile in client device pixels, or the whole client area for
    // the table.
    RECT area(long k) const;

    ULONG m_references = 1;
    HWND m_window;
    const Game* m_game;
    const DeviceScale* m_scale;
    std::string m_said;
    int m_described = 0;
};

} // namespace pellorin::win32
