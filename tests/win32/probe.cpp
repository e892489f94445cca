// A Windows program that the Wine tests run beside Pellorin.exe, to read what
// only the Windows API shows: the game window's client area, the words of a
// message box, the resources of an exe, the board as a screen reader reads it
// through MSAA and the events it is sent; and the tiles and the icon as the
// core paints them, to compare with the screen. It prints one line per
// finding.
//
//   pellorin-probe design           the core's design values as JSON, which the tests read
//                                   rather than type again
//   pellorin-probe client           the game window's client area: width and height
//   pellorin-probe message TITLE    the texts of the message box with that title
//   pellorin-probe resources EXE    the version record's language, the manifest, the icon's sizes
//   pellorin-probe tiles SIZE LOOK  the six tiles at SIZE pixels, plain or symbols, as hex rows
//   pellorin-probe icon SIZE        the icon at SIZE pixels, as hex rows
//   pellorin-probe msaa             the board's table, its 64 cells, the focus, the value, and
//                                   the errors for cells out of range and for what it does not do
//   pellorin-probe msaa-close       the same object asked again after the game has ended
//   pellorin-probe msaa-live        the object held until a line comes on standard input, then
//                                   asked again: "ready", then the answers
//   pellorin-probe input KEY...     keys as input to the window that has the focus, each
//                                   "down:NAME" or "up:NAME" (shift, left, right, up, down, space,
//                                   return, escape): a key pressed while down is a repeat
//   pellorin-probe msaa-activate K  cell K's default action, as a screen reader's activation
//   pellorin-probe listen           the board's WinEvents as they come, each with what its object
//                                   says then, until standard input ends: "listening", then one
//                                   line per event
#include "probe.h"

#include "tiles/tilepainter.h"
#include "window/designjson.h"

#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace probe {

void print(std::wstring_view line)
{
    const int size
        = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size, nullptr, nullptr);
    std::printf("%s\n", bytes.c_str());
    std::fflush(stdout);
}

std::wstring hresult(HRESULT hr)
{
    wchar_t text[16];
    swprintf(text, 16, L"%08lx", static_cast<unsigned long>(hr));
    return text;
}

VARIANT child(long id)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

HWND gameWindow()
{
    return FindWindowW(L"Pellorin", nullptr);
}

IAccessible* boardObject()
{
    HWND window = gameWindow();
    IAccessible* board = nullptr;
    if (!window) {
        std::fprintf(stderr, "no game window\n");
        return nullptr;
    }
    const HRESULT hr = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                  reinterpret_cast<void**>(&board));
    if (FAILED(hr)) {
        std::fprintf(stderr, "AccessibleObjectFromWindow: %08lx\n", static_cast<unsigned long>(hr));
        return nullptr;
    }
    return board;
}

std::wstring textOf(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long id)
{
    BSTR text = nullptr;
    const HRESULT hr = (object->*get)(child(id), &text);
    std::wstring result = hr == S_OK && text ? L"ok " + std::wstring(text)
        : hr == S_FALSE                      ? std::wstring(L"none")
                                             : L"error " + hresult(hr);
    SysFreeString(text);
    return result;
}

} // namespace probe

namespace {

using probe::print;

int client()
{
    HWND window = probe::gameWindow();
    RECT area{};
    if (!window || !GetClientRect(window, &area))
        return 1;
    print(L"client " + std::to_wstring(area.right) + L" " + std::to_wstring(area.bottom));
    return 0;
}

BOOL CALLBACK printStatic(HWND child, LPARAM)
{
    wchar_t kind[32]{};
    GetClassNameW(child, kind, 32);
    if (std::wstring_view(kind) == L"Static") {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(child, text.data(), static_cast<int>(text.size()))));
        if (!text.empty())
            print(L"text " + text);
    }
    return TRUE;
}

int message(const wchar_t* title)
{
    HWND box = FindWindowW(L"#32770", title);
    if (!box)
        return 1;
    EnumChildWindows(box, &printStatic, 0);
    return 0;
}

int resources(const wchar_t* path)
{
    HMODULE exe = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!exe)
        return 1;
    // The version record: its translation, and the block of strings under it.
    HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16)); // RT_VERSION
    if (found) {
        const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(exe, found)));
        std::vector<BYTE> copy(data, data + SizeofResource(exe, found));
        WORD* translation = nullptr;
        UINT size = 0;
        if (VerQueryValueW(copy.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &size)
            && size >= 4) {
            wchar_t block[9];
            swprintf(block, 9, L"%04X%04X", translation[0], translation[1]);
            wchar_t* product = nullptr;
            const std::wstring key = std::wstring(L"\\StringFileInfo\\") + block + L"\\ProductName";
            const bool named = VerQueryValueW(copy.data(), key.c_str(), reinterpret_cast<void**>(&product), &size);
            print(std::wstring(L"version ") + block + L" " + (named ? product : L"-"));
        }
    }
    // The icon's images, by the sizes its group lists.
    found = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    if (found) {
        const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(exe, found)));
        const int count = group[4] | (group[5] << 8);
        std::wstring sizes = L"icon";
        for (int i = 0; i < count; ++i) {
            const int width = group[6 + 14 * i]; // 0 stands for 256
            sizes += L" " + std::to_wstring(width ? width : 256);
        }
        print(sizes);
    }
    // The manifest, on one line.
    found = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    if (found) {
        const auto* text = static_cast<const char*>(LockResource(LoadResource(exe, found)));
        std::string manifest(text, SizeofResource(exe, found));
        for (char& c : manifest)
            if (c == '\n' || c == '\r')
                c = ' ';
        std::printf("manifest %s\n", manifest.c_str());
    }
    FreeLibrary(exe);
    return 0;
}

// A painted picture as one line: its name, then its rows of hex pixels.
void printImage(const std::string& name, const pellorin::tiles::Image& image)
{
    std::string line = name;
    char hex[8];
    for (int y = 0; y < image.height; ++y) {
        line += ' ';
        for (int x = 0; x < image.width; ++x) {
            const pellorin::Rgb c = image.at(x, y);
            std::snprintf(hex, sizeof(hex), "%02x%02x%02x", c.red, c.green, c.blue);
            line += hex;
        }
    }
    std::printf("%s\n", line.c_str());
}

int tiles(int size, const wchar_t* look)
{
    const auto asked
        = std::wstring_view(look) == L"symbols" ? pellorin::tiles::Look::Symbols : pellorin::tiles::Look::Plain;
    for (int picture = 1; picture <= 6; ++picture) {
        const auto image = pellorin::tiles::paintTile(picture, size, asked);
        if (!image)
            return 1;
        printImage("tile " + std::to_string(picture), *image);
    }
    return 0;
}

int icon(int size)
{
    const auto image = pellorin::tiles::paintIcon(size);
    if (!image)
        return 1;
    printImage("icon " + std::to_string(size), *image);
    return 0;
}

WORD virtualKey(std::wstring_view name)
{
    constexpr std::pair<std::wstring_view, WORD> Keys[]{
        {L"shift", VK_SHIFT}, {L"left", VK_LEFT},   {L"right", VK_RIGHT},   {L"up", VK_UP},
        {L"down", VK_DOWN},   {L"space", VK_SPACE}, {L"return", VK_RETURN}, {L"escape", VK_ESCAPE}};
    for (const auto& [known, key] : Keys)
        if (known == name)
            return key;
    return 0;
}

// Sent through the system's input queue, as a keyboard's keys are: the
// window's key state follows them, and a key pressed again before it is let
// go comes as a repeat (bit 30 of lParam).
int input(int count, wchar_t** keys)
{
    std::vector<INPUT> inputs;
    for (int i = 0; i < count; ++i) {
        const std::wstring_view key = keys[i];
        const bool up = key.starts_with(L"up:");
        const WORD code = virtualKey(key.substr(key.find(L':') + 1));
        if (!code || (!up && !key.starts_with(L"down:")))
            return 2;
        INPUT one{};
        one.type = INPUT_KEYBOARD;
        one.ki.wVk = code;
        one.ki.wScan = static_cast<WORD>(MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
        const bool extended = code >= VK_LEFT && code <= VK_DOWN;
        one.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(one);
    }
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return sent == inputs.size() ? 0 : 1;
}

// Runs a part that speaks COM to the game.
int withCom(const std::function<int()>& part)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    const int status = part();
    CoUninitialize();
    return status;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring_view command = argc > 1 ? argv[1] : L"";
    if (command == L"design") {
        std::printf("%s\n", pellorin::design::json().c_str());
        return 0;
    }
    if (command == L"client")
        return client();
    if (command == L"message" && argc > 2)
        return message(argv[2]);
    if (command == L"resources" && argc > 2)
        return resources(argv[2]);
    if (command == L"tiles" && argc > 3)
        return tiles(_wtoi(argv[2]), argv[3]);
    if (command == L"icon" && argc > 2)
        return icon(_wtoi(argv[2]));
    if (command == L"input" && argc > 2)
        return input(argc - 2, argv + 2);
    if (command == L"msaa")
        return withCom(&probe::msaa);
    if (command == L"msaa-close")
        return withCom(&probe::msaaAfterClose);
    if (command == L"msaa-live")
        return withCom(&probe::msaaLive);
    if (command == L"msaa-activate" && argc > 2) {
        const long cell = _wtol(argv[2]);
        return withCom([cell] { return probe::msaaActivate(cell); });
    }
    if (command == L"listen")
        return withCom(&probe::listen);
    std::fprintf(stderr,
                 "usage: pellorin-probe design | client | message TITLE | resources EXE | tiles SIZE LOOK | icon SIZE"
                 " | input KEY... | msaa | msaa-close | msaa-live | msaa-activate K | listen\n");
    return 2;
}
