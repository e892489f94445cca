// A start-up step that Windows refused: the program shows it in a message box
// and ends with a non-zero status, instead of running without it.
#pragma once

#include <windows.h>

#include <string>

namespace pellorin::win32 {

class Failure {
public:
    // What could not be made ("en timer"), and the system's error code.
    Failure(const wchar_t* what, DWORD code)
        : m_message(std::wstring(L"Pellorin kan inte starta: Windows kunde inte skapa ") + what + L" (felkod "
                    + std::to_wstring(code) + L").")
    {
    }
    const std::wstring& message() const { return m_message; }

private:
    std::wstring m_message;
};

} // namespace pellorin::win32
