// What the parts of pellorin-probe share: printing a finding as one line of
// UTF-8, and finding the game's window and its board's MSAA object.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <string_view>

namespace probe {

// One line on standard output, at once: a test may be waiting for it.
void print(std::wstring_view line);
// An HRESULT as eight hexadecimal digits.
std::wstring hresult(HRESULT hr);
// A VARIANT naming child id of an MSAA object.
VARIANT child(long id);
// The game's window, or nullptr.
HWND gameWindow();
// The board's object as a screen reader gets it, or nullptr (told on stderr).
IAccessible* boardObject();
// A text of an object's child as a screen reader asks for it: "ok TEXT",
// "none" for S_FALSE, or "error HRESULT".
std::wstring textOf(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long id);

int msaa();
int msaaAfterClose();
int msaaLive();
int msaaActivate(long cell);
int listen();

} // namespace probe
