// A step that Windows refused: the program shows it in a message box and ends
// with a non-zero status, instead of running without it.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>

namespace pellorin::win32 {

class Failure {
public:
    // At start-up: what could not be made ("en timer"), and the system's
    // error code or COM's HRESULT.
    Failure(const wchar_t* what, DWORD code) : Failure(L"starta", std::wstring(L"skapa ") + what, code) {}
    // At start-up, another step than making something ("läsa skärmens mått").
    static Failure starting(const wchar_t* doing, DWORD code) { return {L"starta", doing, code}; }
    // During the game ("starta en timer").
    static Failure playing(const wchar_t* doing, DWORD code) { return {L"fortsätta", doing, code}; }

    const std::wstring& message() const { return m_message; }

private:
    Failure(const wchar_t* stopped, const std::wstring& doing, DWORD code)
    {
        // An HRESULT reads in hexadecimal, as Windows' documentation lists
        // them; a system error code in decimal.
        wchar_t number[16];
        std::swprintf(number, 16, code > 0xFFFF ? L"0x%08lX" : L"%lu", static_cast<unsigned long>(code));
        m_message = std::wstring(L"Pellorin kan inte ") + stopped + L": Windows kunde inte " + doing + L" (felkod "
            + number + L").";
    }

    std::wstring m_message;
};

} // namespace pellorin::win32
