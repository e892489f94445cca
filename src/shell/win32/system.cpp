// Checks the Windows version and looks the DPI functions up at run time.
#include "system.h"

#include "minimum.h"

namespace pellorin::win32 {
namespace {

// A function of a system DLL the program has loaded, by name.
template <class Function>
Function lookUp(const wchar_t* module, const char* name)
{
    return procedure<Function>(GetModuleHandleW(module), name);
}

// RtlGetVersion tells the true version: GetVersionEx and VerifyVersionInfo
// answer according to the manifest.
bool recentEnough()
{
    using GetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto getVersion = lookUp<GetVersion>(L"ntdll.dll", "RtlGetVersion");
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!getVersion || getVersion(&version) != 0)
        return false;
    return version.dwMajorVersion > MinimumMajorVersion
        || (version.dwMajorVersion == MinimumMajorVersion && version.dwBuildNumber >= MinimumBuild);
}

} // namespace

std::optional<DpiFunctions> supportedWindows()
{
    if (!recentEnough())
        return std::nullopt;
    const DpiFunctions functions{
        lookUp<decltype(DpiFunctions::dpiForWindow)>(L"user32.dll", "GetDpiForWindow"),
        lookUp<decltype(DpiFunctions::adjustWindowRectExForDpi)>(L"user32.dll", "AdjustWindowRectExForDpi")};
    if (!functions.dpiForWindow || !functions.adjustWindowRectExForDpi)
        return std::nullopt;
    return functions;
}

} // namespace pellorin::win32
