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

namespace {

std::uint32_t le32(std::span<const std::byte> bytes, std::size_t at)
{
    return std::to_integer<std::uint32_t>(bytes[at]) | std::to_integer<std::uint32_t>(bytes[at + 1]) << 8
        | std::to_integer<std::uint32_t>(bytes[at + 2]) << 16 | std::to_integer<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t le16(std::span<const std::byte> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[at])
                                      | std::to_integer<unsigned>(bytes[at + 1]) << 8);
}

bool tagAt(std::span<const std::byte> bytes, std::size_t at, std::string_view tag)
{
    for (std::size_t i = 0; i < tag.size(); ++i)
        if (std::to_integer<char>(bytes[at + i]) != tag[i])
            return false;
    return true;
}

} // namespace

bool isWavFile(std::span<const std::byte> bytes)
{
    if (bytes.size() < 12 || static_cast<std::int64_t>(bytes.size()) > MaxCueBytes || !tagAt(bytes, 0, "RIFF")
        || !tagAt(bytes, 8, "WAVE"))
        return false;
    // The RIFF size counts from after itself and must fit in the file.
    const std::uint64_t end = std::uint64_t{le32(bytes, 4)} + 8;
    if (end > bytes.size())
        return false;
    std::uint16_t blockAlign = 0;
    for (std::uint64_t at = 12; at + 8 <= end;) {
        const std::uint64_t size = le32(bytes, static_cast<std::size_t>(at) + 4);
        const std::uint64_t body = at + 8;
        if (body + size > end)
            return false;
        const auto chunk = static_cast<std::size_t>(at);
        if (tagAt(bytes, chunk, "fmt ")) {
            if (size < 16)
                return false;
            const auto b = static_cast<std::size_t>(body);
            const std::uint16_t channels = le16(bytes, b + 2);
            const std::uint32_t rate = le32(bytes, b + 4);
            blockAlign = le16(bytes, b + 12);
            if (channels == 0 || rate == 0 || blockAlign == 0)
                return false;
        } else if (tagAt(bytes, chunk, "data")) {
            return blockAlign != 0 && size >= blockAlign;
        }
        at = body + size + (size & 1); // chunks are padded to an even size
    }
    return false;
}

std::filesystem::path cuePath(const std::filesystem::path& executableDir, Cue cue)
{
    return executableDir / cueFileName(cue);
}

} // namespace pellorin
