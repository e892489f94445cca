// The core's words are UTF-8; Windows takes UTF-16. The one conversion.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>

namespace pellorin::win32 {

// UTF-8 as a wide string; bytes that are no UTF-8 become U+FFFD.
inline std::wstring wide(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), length);
    return result;
}

// UTF-8 as a BSTR for COM, owned by the caller; nullptr for no words or when
// there is no memory for them.
inline BSTR bstr(std::string_view text)
{
    if (text.empty())
        return nullptr;
    const std::wstring words = wide(text);
    return SysAllocStringLen(words.data(), static_cast<UINT>(words.size()));
}

} // namespace pellorin::win32
