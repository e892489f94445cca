// The words for a screen reader as a UI Automation notification.
#include "notifier.h"

#include "system.h"
#include "text.h"

#include <oleauto.h>
#include <uiautomationcore.h>

#include <atomic>

namespace pellorin::win32 {
namespace {

// Windows 10 1709's additions, which the compiler's headers may lack.
enum class NotificationKind { ActionCompleted = 2 };
// Every notification is spoken, in turn, none cutting off the one before:
// a swap's words, then its emptied lines.
enum class NotificationProcessing { All = 2 };
// UIA_E_ELEMENTNOTAVAILABLE, the answer of an element whose window has gone
// (uiautomationcoreapi.h, which a C++ compiler cannot read as mingw-w64 has it).
constexpr auto Gone = static_cast<HRESULT>(0x80040201);
// A name for the kind of message, for readers that tell them apart; not
// spoken.
constexpr wchar_t ActivityId[] = L"Pellorin.Game";

using RaiseNotification
    = HRESULT(WINAPI*)(IRawElementProviderSimple*, NotificationKind, NotificationProcessing, BSTR, BSTR);
using HostProvider = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
using DisconnectProvider = HRESULT(WINAPI*)(IRawElementProviderSimple*);

} // namespace

// The window as UI Automation's element: its properties are the window's
// own, from the host provider; it adds nothing but the events it raises.
class WindowProvider final : public IRawElementProviderSimple {
public:
    WindowProvider(HWND window, HostProvider host) : m_window(window), m_host(host) {}
    virtual ~WindowProvider() = default;
    WindowProvider(const WindowProvider&) = delete;
    WindowProvider& operator=(const WindowProvider&) = delete;
    WindowProvider(WindowProvider&&) = delete;
    WindowProvider& operator=(WindowProvider&&) = delete;

    void disconnect() { m_window = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IRawElementProviderSimple)) {
            *object = static_cast<IRawElementProviderSimple*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override
    {
        if (!options)
            return E_POINTER;
        *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** pattern) override
    {
        if (!pattern)
            return E_POINTER;
        *pattern = nullptr;
        return m_window ? S_OK : Gone;
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID, VARIANT* value) override
    {
        if (!value)
            return E_POINTER;
        VariantInit(value); // empty: the host provider's value stands
        return m_window ? S_OK : Gone;
    }
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** host) override
    {
        if (!host)
            return E_POINTER;
        *host = nullptr;
        return m_window ? m_host(m_window, host) : Gone;
    }

private:
    std::atomic<ULONG> m_references = 1;
    HWND m_window;
    HostProvider m_host;
};

Notifier::Notifier(HWND window)
    : m_library(LoadLibraryExW(L"UIAutomationCore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
{
    const auto host = procedure<HostProvider>(m_library, "UiaHostProviderFromHwnd");
    if (host && procedure<RaiseNotification>(m_library, "UiaRaiseNotificationEvent"))
        m_provider = new WindowProvider(window, host);
}

Notifier::~Notifier()
{
    disconnect();
    if (m_provider)
        m_provider->Release();
    // The library stays loaded: UI Automation may still hold the provider,
    // and frees it through code of the library.
}

bool Notifier::notify(const std::string& words)
{
    const auto raise = procedure<RaiseNotification>(m_library, "UiaRaiseNotificationEvent");
    if (!m_provider || m_disconnected || !raise)
        return false;
    BSTR text = bstr(words);
    BSTR activity = SysAllocString(ActivityId);
    const HRESULT hr = text && activity
        ? raise(m_provider, NotificationKind::ActionCompleted, NotificationProcessing::All, text, activity)
        : E_OUTOFMEMORY;
    SysFreeString(activity);
    SysFreeString(text);
    return SUCCEEDED(hr);
}

void Notifier::disconnect()
{
    if (!m_provider || m_disconnected)
        return;
    m_disconnected = true;
    m_provider->disconnect();
    // Windows 8 and later let go of the clients' references at once.
    if (const auto let = procedure<DisconnectProvider>(m_library, "UiaDisconnectProvider"))
        let(m_provider);
}

} // namespace pellorin::win32
