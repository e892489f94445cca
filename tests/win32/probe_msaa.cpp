// pellorin-probe's questions to the board's MSAA object: as a screen reader
// reads it, and after its window has gone.
#include "probe.h"

#include <cstdio>
#include <string>

namespace probe {
namespace {

std::wstring roleOf(IAccessible* board, long id)
{
    VARIANT role;
    VariantInit(&role);
    const HRESULT hr = board->get_accRole(child(id), &role);
    return hr == S_OK && role.vt == VT_I4 ? std::to_wstring(role.lVal) : L"error " + hresult(hr);
}

// Whether two interfaces are one object, by COM's rule of identity.
bool sameObject(IUnknown* a, IUnknown* b)
{
    IUnknown* first = nullptr;
    IUnknown* second = nullptr;
    a->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&first));
    b->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&second));
    const bool same = first && first == second;
    if (first)
        first->Release();
    if (second)
        second->Release();
    return same;
}

// What the object answers to what it does not do, and to itself as its
// child: one line "NAME HRESULT" each.
void printRefusals(IAccessible* board, const wchar_t* prefix)
{
    const auto line = [&](const wchar_t* name, HRESULT hr) { print(prefix + std::wstring(name) + L" " + hresult(hr)); };
    VARIANT out;
    VariantInit(&out);
    line(L"accSelect", board->accSelect(SELFLAG_TAKEFOCUS, child(1)));
    line(L"accNavigate", board->accNavigate(NAVDIR_NEXT, child(1), &out));
    VariantClear(&out);
    line(L"get_accSelection", board->get_accSelection(&out));
    VariantClear(&out);
    BSTR text = SysAllocString(L"x");
    line(L"put_accValue", board->put_accValue(child(0), text));
    line(L"put_accName", board->put_accName(child(1), text));
    SysFreeString(text);
    line(L"accDoDefaultAction-table", board->accDoDefaultAction(child(0)));
    BSTR file = nullptr;
    long topic = 0;
    line(L"get_accHelpTopic", board->get_accHelpTopic(&file, child(1), &topic));
    SysFreeString(file);
    BSTR value = nullptr;
    line(L"get_accValue-cell", board->get_accValue(child(1), &value));
    SysFreeString(value);
}

} // namespace

int msaa()
{
    IAccessible* board = boardObject();
    if (!board)
        return 1;
    long count = 0;
    const HRESULT counted = board->get_accChildCount(&count);
    print(L"count " + hresult(counted) + L" " + std::to_wstring(count));
    print(L"table " + roleOf(board, CHILDID_SELF) + L" " + textOf(board, &IAccessible::get_accName, CHILDID_SELF));
    for (long k = 1; k <= 64; ++k)
        print(L"cell " + std::to_wstring(k) + L" " + roleOf(board, k) + L" "
              + textOf(board, &IAccessible::get_accName, k));
    VARIANT focus;
    VariantInit(&focus);
    const HRESULT hr = board->get_accFocus(&focus);
    print(L"focus " + hresult(hr) + L" " + std::to_wstring(focus.vt == VT_I4 ? focus.lVal : -1));
    BSTR value = nullptr;
    board->get_accValue(child(CHILDID_SELF), &value);
    print(L"value " + std::wstring(value ? value : L""));
    SysFreeString(value);
    for (const long outside : {65L, -1L, 1000L})
        print(L"outside " + std::to_wstring(outside) + L" " + textOf(board, &IAccessible::get_accName, outside));
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"1");
    BSTR name = nullptr;
    print(L"outside text error " + hresult(board->get_accName(text, &name)));
    VariantClear(&text);
    IDispatch* self = nullptr;
    const HRESULT got = board->get_accChild(child(CHILDID_SELF), &self);
    print(L"self " + hresult(got) + (self && sameObject(self, board) ? L" same" : L" other"));
    if (self)
        self->Release();
    printRefusals(board, L"refuses ");
    board->Release();
    return 0;
}

int msaaAfterClose()
{
    HWND window = gameWindow();
    IAccessible* board = boardObject();
    if (!board)
        return 1;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE game = OpenProcess(SYNCHRONIZE, FALSE, id);
    PostMessageW(window, WM_CLOSE, 0, 0);
    const bool ended = game && WaitForSingleObject(game, 20'000) == WAIT_OBJECT_0;
    print(std::wstring(L"ended ") + (ended ? L"yes" : L"no"));
    print(L"closed " + textOf(board, &IAccessible::get_accName, 1));
    long count = 0;
    print(L"closed count " + hresult(board->get_accChildCount(&count)));
    board->Release();
    if (game)
        CloseHandle(game);
    return 0;
}

int msaaLive()
{
    IAccessible* board = boardObject();
    if (!board)
        return 1;
    print(L"ready " + textOf(board, &IAccessible::get_accName, 1));
    // The test ends the window now, and says so with a line.
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) {
        board->Release();
        return 1;
    }
    print(L"after name " + textOf(board, &IAccessible::get_accName, 1));
    print(L"after table " + textOf(board, &IAccessible::get_accName, CHILDID_SELF));
    print(L"after description " + textOf(board, &IAccessible::get_accDescription, 1));
    print(L"after value " + textOf(board, &IAccessible::get_accValue, CHILDID_SELF));
    long count = 0;
    print(L"after count " + hresult(board->get_accChildCount(&count)));
    VARIANT out;
    VariantInit(&out);
    print(L"after role " + hresult(board->get_accRole(child(1), &out)));
    VariantClear(&out);
    print(L"after state " + hresult(board->get_accState(child(1), &out)));
    VariantClear(&out);
    print(L"after focus " + hresult(board->get_accFocus(&out)));
    VariantClear(&out);
    print(L"after hittest " + hresult(board->accHitTest(0, 0, &out)));
    VariantClear(&out);
    long left = 0;
    long top = 0;
    long width = 0;
    long height = 0;
    print(L"after location " + hresult(board->accLocation(&left, &top, &width, &height, child(1))));
    print(L"after action " + hresult(board->accDoDefaultAction(child(1))));
    IDispatch* dispatch = nullptr;
    print(L"after parent " + hresult(board->get_accParent(&dispatch)));
    if (dispatch)
        dispatch->Release();
    printRefusals(board, L"after ");
    board->Release();
    return 0;
}

} // namespace probe

namespace probe {

int msaaActivate(long cell)
{
    IAccessible* board = boardObject();
    if (!board)
        return 1;
    print(L"action " + textOf(board, &IAccessible::get_accDefaultAction, cell));
    print(L"activate " + std::to_wstring(cell) + L" " + hresult(board->accDoDefaultAction(child(cell))));
    board->Release();
    return 0;
}

} // namespace probe
