// A stand-in for UIAutomationCore.dll that the Wine tests put in the prefix's
// system folder, since Wine's own has no UiaRaiseNotificationEvent: it
// records what the game asks of UI Automation, one line each, in the file
// that PELLORIN_UIA_RECORD names, so that a test can read what Windows would
// have been told.
//
//   notification KIND PROCESSING OPTIONS CLASS ACTIVITY: WORDS
//       a notification, with the provider's options and the class of the
//       window its host provider was asked for
//   disconnect    the provider let go
#include <windows.h>

#include <oleauto.h>
#include <uiautomationcore.h>

#include <cstdio>
#include <string>

namespace {

HWND hostWindow = nullptr;

void record(const std::wstring& line)
{
    wchar_t path[MAX_PATH]{};
    if (!GetEnvironmentVariableW(L"PELLORIN_UIA_RECORD", path, MAX_PATH))
        return;
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    if (FILE* file = _wfopen(path, L"ab")) {
        std::fprintf(file, "%s\n", bytes.c_str());
        std::fclose(file);
    }
}

} // namespace

extern "C" {

__declspec(dllexport) HRESULT WINAPI UiaHostProviderFromHwnd(HWND window, IRawElementProviderSimple** host)
{
    hostWindow = window;
    *host = nullptr;
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI
    UiaRaiseNotificationEvent(IRawElementProviderSimple* provider, int kind, int processing, BSTR words, BSTR activity)
{
    ProviderOptions options{};
    provider->get_ProviderOptions(&options);
    hostWindow = nullptr;
    IRawElementProviderSimple* host = nullptr;
    provider->get_HostRawElementProvider(&host);
    wchar_t windowClass[64] = L"-";
    if (hostWindow)
        GetClassNameW(hostWindow, windowClass, 64);
    record(L"notification " + std::to_wstring(kind) + L" " + std::to_wstring(processing) + L" "
           + std::to_wstring(static_cast<int>(options)) + L" " + windowClass + L" " + (activity ? activity : L"-")
           + L": " + (words ? words : L""));
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI UiaDisconnectProvider(IRawElementProviderSimple*)
{
    record(L"disconnect");
    return S_OK;
}

} // extern "C"
