// Plays the cues with PlaySoundW from memory.
#include "cueplayer.h"

#include <mmsystem.h>

#include <string_view>

namespace pellorin::win32 {

CuePlayer::~CuePlayer()
{
    PlaySoundW(nullptr, nullptr, 0); // no sound may outlive its bytes
}

void CuePlayer::refresh(Clip& clip, const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) { // none, a folder, or unreadable
        clip = Clip{};
        return;
    }
    LARGE_INTEGER size{};
    FILETIME modified{};
    if (!GetFileSizeEx(file, &size) || !GetFileTime(file, nullptr, nullptr, &modified)) {
        CloseHandle(file);
        clip = Clip{};
        return;
    }
    if (clip.read && clip.size == size.QuadPart && CompareFileTime(&clip.modified, &modified) == 0) {
        CloseHandle(file);
        return;
    }
    clip = Clip{size.QuadPart, modified, true, false, {}};
    if (size.QuadPart <= MaxCueBytes) { // a larger one is not read at all
        clip.bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        const bool whole = ReadFile(file, clip.bytes.data(), static_cast<DWORD>(clip.bytes.size()), &got, nullptr)
            && got == clip.bytes.size();
        clip.playable = whole && isWavFile(clip.bytes);
    }
    if (!clip.playable)
        clip.bytes.clear();
    CloseHandle(file);
}

std::int32_t CuePlayer::play(Cue cue)
{
    // A newer cue cuts off the older, even when the newer one is silent;
    // only then may the bytes the older one plays from change.
    PlaySoundW(nullptr, nullptr, 0);
    Clip& wanted = clip(cue);
    const std::string_view name = cueFileName(cue);
    refresh(wanted, m_directory + std::wstring(name.begin(), name.end()));
    if (!wanted.playable)
        return 0;
    const auto* bytes = reinterpret_cast<LPCWSTR>(wanted.bytes.data());
    return PlaySoundW(bytes, nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT) ? 1 : 0;
}

} // namespace pellorin::win32
