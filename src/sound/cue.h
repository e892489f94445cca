// The two sound cues and the files that carry them.
#pragma once

#include <filesystem>
#include <string_view>

namespace pellorin {

enum class Cue {
    Clear, // a new board is dealt, or a cell of a complete line is emptied
    Swap,  // a press in a gap starts a swap
};

// The cue's file name, looked up in the executable's directory.
std::string_view cueFileName(Cue cue);

// The full path of a cue's file. Formed afresh for every request, so a file
// that appears, disappears or changes while the game runs is picked up.
std::filesystem::path cuePath(const std::filesystem::path& executableDir, Cue cue);

} // namespace pellorin
