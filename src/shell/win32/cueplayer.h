// Plays the cues with PlaySoundW from memory, from WAV files looked up beside
// the executable at every request.
#pragma once

#include "sound/cue.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pellorin::win32 {

class CuePlayer {
public:
    // The directory holds the cue files; it ends in a backslash.
    explicit CuePlayer(std::wstring directory) : m_directory(std::move(directory)) {}
    ~CuePlayer();
    CuePlayer(const CuePlayer&) = delete;
    CuePlayer& operator=(const CuePlayer&) = delete;
    CuePlayer(CuePlayer&&) = delete;
    CuePlayer& operator=(CuePlayer&&) = delete;

    // Cuts off whatever plays, then starts the cue and returns at once: 1
    // when it was handed to the system, 0 when the request ends in silence
    // (no file, one that is too large, is no WAV file, or that the system
    // cannot play).
    std::int32_t play(Cue cue);

private:
    // A cue file's bytes, read again whenever its size or time changes.
    struct Clip {
        std::int64_t size = 0;
        FILETIME modified{};
        bool read = false;
        bool playable = false;
        std::vector<std::byte> bytes;
    };
    Clip& clip(Cue cue) { return m_clips[cue == Cue::Clear ? 0 : 1]; }
    static void refresh(Clip& clip, const std::wstring& path);

    std::wstring m_directory;
    // The system plays from these bytes: a clip is replaced only after the
    // sound has been stopped, at the next request.
    std::array<Clip, 2> m_clips;
};

} // namespace pellorin::win32
