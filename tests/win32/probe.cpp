// A Windows program that the Wine tests run beside Pellorin.exe, to read what
// only the Windows API shows: the game window's client area, the words of a
// message box, the resources of an exe, and the board as a screen reader
// reads it through MSAA; and the tiles as the core paints them, to compare
// with the screen. It prints one line per finding.
//
//   pellorin-probe client           the game window's client area: width and height
//   pellorin-probe message TITLE    the texts of the message box with that title
//   pellorin-probe resources EXE    the version record's language, the manifest, the icon's sizes
//   pellorin-probe tiles SIZE LOOK  the six tiles at SIZE pixels, plain or symbols, as hex rows
//   pellorin-probe msaa             the board's table, its 64 cells, the focus, the value, and
//                                   the errors for cells out of range
//   pellorin-probe msaa-close       the same object asked again after the game has ended
#include "tiles/tilepainter.h"

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

void print(std::wstring_view line)
{
    const int size
        = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size, nullptr, nullptr);
    std::printf("%s\n", bytes.c_str());
}

int client()
{
    HWND window = FindWindowW(L"Pellorin", nullptr);
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

int tiles(int size, const wchar_t* look)
{
    const auto asked
        = std::wstring_view(look) == L"symbols" ? pellorin::tiles::Look::Symbols : pellorin::tiles::Look::Plain;
    for (int picture = 1; picture <= 6; ++picture) {
        const auto image = pellorin::tiles::paintTile(picture, size, asked);
        if (!image)
            return 1;
        std::string line = "tile " + std::to_string(picture);
        char hex[8];
        for (int y = 0; y < image->height; ++y) {
            line += ' ';
            for (int x = 0; x < image->width; ++x) {
                const pellorin::Rgb c = image->at(x, y);
                std::snprintf(hex, sizeof(hex), "%02x%02x%02x", c.red, c.green, c.blue);
                line += hex;
            }
        }
        std::printf("%s\n", line.c_str());
    }
    return 0;
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

// A name as a screen reader asks for it: "ok NAME", or the error.
std::wstring nameOf(IAccessible* board, long id)
{
    BSTR name = nullptr;
    const HRESULT hr = board->get_accName(child(id), &name);
    std::wstring result = hr == S_OK && name ? L"ok " + std::wstring(name) : L"error " + hresult(hr);
    SysFreeString(name);
    return result;
}

IAccessible* boardObject()
{
    HWND window = FindWindowW(L"Pellorin", nullptr);
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

int msaa()
{
    IAccessible* board = boardObject();
    if (!board)
        return 1;
    long count = 0;
    const HRESULT counted = board->get_accChildCount(&count);
    print(L"count " + hresult(counted) + L" " + std::to_wstring(count));
    VARIANT role;
    VariantInit(&role);
    board->get_accRole(child(CHILDID_SELF), &role);
    print(L"table " + std::to_wstring(role.vt == VT_I4 ? role.lVal : -1) + L" " + nameOf(board, CHILDID_SELF));
    for (long k = 1; k <= 64; ++k) {
        VariantInit(&role);
        board->get_accRole(child(k), &role);
        print(L"cell " + std::to_wstring(k) + L" " + std::to_wstring(role.vt == VT_I4 ? role.lVal : -1) + L" "
              + nameOf(board, k));
    }
    VARIANT focus;
    VariantInit(&focus);
    const HRESULT hr = board->get_accFocus(&focus);
    print(L"focus " + hresult(hr) + L" " + std::to_wstring(focus.vt == VT_I4 ? focus.lVal : -1));
    BSTR value = nullptr;
    board->get_accValue(child(CHILDID_SELF), &value);
    print(L"value " + std::wstring(value ? value : L""));
    SysFreeString(value);
    for (const long outside : {65L, -1L, 1000L})
        print(L"outside " + std::to_wstring(outside) + L" " + nameOf(board, outside));
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"1");
    BSTR name = nullptr;
    print(L"outside text error " + hresult(board->get_accName(text, &name)));
    VariantClear(&text);
    board->Release();
    return 0;
}

int msaaAfterClose()
{
    HWND window = FindWindowW(L"Pellorin", nullptr);
    IAccessible* board = boardObject();
    if (!board)
        return 1;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE game = OpenProcess(SYNCHRONIZE, FALSE, id);
    PostMessageW(window, WM_CLOSE, 0, 0);
    const bool ended = game && WaitForSingleObject(game, 20'000) == WAIT_OBJECT_0;
    print(std::wstring(L"ended ") + (ended ? L"yes" : L"no"));
    print(L"closed " + nameOf(board, 1));
    long count = 0;
    print(L"closed count " + hresult(board->get_accChildCount(&count)));
    board->Release();
    if (game)
        CloseHandle(game);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring_view command = argc > 1 ? argv[1] : L"";
    if (command == L"client")
        return client();
    if (command == L"message" && argc > 2)
        return message(argv[2]);
    if (command == L"resources" && argc > 2)
        return resources(argv[2]);
    if (command == L"tiles" && argc > 3)
        return tiles(_wtoi(argv[2]), argv[3]);
    if (command == L"msaa" || command == L"msaa-close") {
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
            return 1;
        const int status = command == L"msaa" ? msaa() : msaaAfterClose();
        CoUninitialize();
        return status;
    }
    std::fprintf(stderr,
                 "usage: pellorin-probe client | message TITLE | resources EXE | tiles SIZE LOOK | msaa"
                 " | msaa-close\n");
    return 2;
}
