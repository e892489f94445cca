// The two sound cues and the files that carry them.
#include "sound/cue.h"

namespace pellorin {

std::string_view cueFileName(Cue cue)
{
    switch (cue) {
    case Cue::Clear:
        return "Bort.wav";
    case Cue::Swap:
        break;
    }
    return "Swap.wav";
}

std::filesystem::path cuePath(const std::filesystem::path& executableDir, Cue cue)
{
    return executableDir / cueFileName(cue);
}

} // namespace pellorin
