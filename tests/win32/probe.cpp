// A Windows program that the Wine tests run beside Pellorin.exe, to read what
// only the Windows API shows: the game window's client area, the words of a
// message box, and the resources of an exe. It prints one line per finding.
//
//   pellorin-probe client          the game window's client area: width and height
//   pellorin-probe message TITLE   the texts of the message box with that title
//   pellorin-probe resources EXE   the version record's language, the manifest
#include <windows.h>

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
    std::fprintf(stderr, "usage: pellorin-probe client | message TITLE | resources EXE\n");
    return 2;
}
