// The two sound cues and the files that carry them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

namespace pellorin {

enum class Cue {
    Clear, // a new board is dealt, or a cell of a complete line is emptied
    Swap,  // a press in a gap starts a swap
};
inline constexpr std::array<Cue, 2> AllCues{Cue::Clear, Cue::Swap};

// The cue's file name, looked up in the executable's directory.
std::string_view cueFileName(Cue cue);

// The full path of a cue's file. Formed afresh for every request, so a file
// that appears, disappears or changes while the game runs is picked up.
std::filesystem::path cuePath(const std::filesystem::path& executableDir, Cue cue);

// A cue file larger than this is not a short cue: it is left silent rather
// than read into memory.
inline constexpr std::int64_t MaxCueBytes = std::int64_t{4} * 1024 * 1024;

// Whether the bytes are a whole file of the WAV family, fit to be handed as
// they are to a system's player: a RIFF container of type WAVE whose chunks
// all lie within it, with a format chunk that names channels, a rate and a
// block size, followed by a data chunk that holds at least one block.
bool isWavFile(std::span<const std::byte> bytes);

} // namespace pellorin
