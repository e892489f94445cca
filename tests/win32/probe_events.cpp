// pellorin-probe listen: the WinEvents the game sends about its board, as a
// screen reader hooks them (out of context), each with what its object says
// when the event is handled.
#include "probe.h"

#include <cstdio>
#include <deque>
#include <string>

namespace probe {
namespace {

HWND listenedWindow = nullptr;
DWORD mainThread = 0;

struct Heard {
    DWORD event;
    LONG child;
};
// Events wait here while one is read: reading asks the game through COM,
// whose wait lets the next event's callback in, which would otherwise print
// before the one it interrupted.
std::deque<Heard> waiting;
bool reading = false;

const wchar_t* eventName(DWORD event)
{
    switch (event) {
    case EVENT_OBJECT_FOCUS:
        return L"focus";
    case EVENT_OBJECT_NAMECHANGE:
        return L"name";
    case EVENT_OBJECT_DESCRIPTIONCHANGE:
        return L"description";
    case EVENT_OBJECT_VALUECHANGE:
        return L"value";
    default:
        return nullptr;
    }
}

// "EVENT CHILD TEXT": the child's name for a focus or a name change, its
// description or value for a change of those.
void read(DWORD event, LONG childId)
{
    const wchar_t* name = eventName(event);
    HWND window = listenedWindow;
    const LONG object = OBJID_CLIENT;
    IAccessible* accessible = nullptr;
    VARIANT which;
    VariantInit(&which);
    const HRESULT hr = AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(childId),
                                                 &accessible, &which);
    std::wstring line = std::wstring(name) + L" " + std::to_wstring(childId) + L" ";
    if (FAILED(hr) || !accessible) {
        print(line + L"error " + hresult(hr));
        return;
    }
    // The object the event names: the table with the child's id, or the
    // child's own object with CHILDID_SELF.
    const long id = which.vt == VT_I4 ? which.lVal : CHILDID_SELF;
    const auto get = event == EVENT_OBJECT_DESCRIPTIONCHANGE ? &IAccessible::get_accDescription
        : event == EVENT_OBJECT_VALUECHANGE                  ? &IAccessible::get_accValue
                                                             : &IAccessible::get_accName;
    print(line + textOf(accessible, get, id));
    accessible->Release();
}

void CALLBACK heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG childId, DWORD, DWORD)
{
    if (!eventName(event) || window != listenedWindow || object != OBJID_CLIENT)
        return;
    waiting.push_back({event, childId});
    if (reading)
        return;
    reading = true;
    while (!waiting.empty()) {
        const Heard next = waiting.front();
        waiting.pop_front();
        read(next.event, next.child);
    }
    reading = false;
}

// Standard input ends when the test is done listening.
DWORD WINAPI untilInputEnds(void*)
{
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, stdin)) {}
    PostThreadMessageW(mainThread, WM_QUIT, 0, 0);
    return 0;
}

} // namespace

int listen()
{
    listenedWindow = gameWindow();
    if (!listenedWindow) {
        std::fprintf(stderr, "no game window\n");
        return 1;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(listenedWindow, &process);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, &heard, process, 0,
                                         WINEVENT_OUTOFCONTEXT);
    if (!hook) {
        std::fprintf(stderr, "SetWinEventHook: %lu\n", GetLastError());
        return 1;
    }
    mainThread = GetCurrentThreadId();
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue, for the quit to come
    HANDLE reader = CreateThread(nullptr, 0, &untilInputEnds, nullptr, 0, nullptr);
    print(L"listening");
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    UnhookWinEvent(hook);
    if (reader)
        CloseHandle(reader);
    return 0;
}

} // namespace probe
