// A quick look at a WAV file's header.
#include "sound/wavheader.h"

#include <cstring>
#include <string_view>

namespace pellorin {
namespace {

constexpr std::uint16_t PcmFormat = 1;

std::uint32_t le32(std::span<const std::byte> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8
         | static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t le16(std::span<const std::byte> b, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned>(b[at]) | static_cast<unsigned>(b[at + 1]) << 8);
}

bool tagAt(std::span<const std::byte> b, std::size_t at, std::string_view tag)
{
    return at + 4 <= b.size() && std::memcmp(b.data() + at, tag.data(), 4) == 0;
}

} // namespace

bool wavFormat(std::span<const std::byte> head, WavFormat& format)
{
    if (!tagAt(head, 0, "RIFF") || !tagAt(head, 8, "WAVE"))
        return false;

    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= head.size()) {
        const std::uint32_t size = le32(head, at + 4);
        const std::size_t body = at + 8;
        if (tagAt(head, at, "fmt ")) {
            if (size < 16 || body + 16 > head.size())
                return false;
            const bool pcm = le16(head, body) == PcmFormat;
            format.channels = le16(head, body + 2);
            format.sampleRate = le32(head, body + 4);
            format.bitsPerSample = le16(head, body + 14);
            const bool supported = pcm && (format.channels == 1 || format.channels == 2)
                && format.sampleRate >= 8000 && format.sampleRate <= 192000
                && (format.bitsPerSample == 8 || format.bitsPerSample == 16);
            if (!supported)
                return false;
            haveFormat = true;
        } else if (tagAt(head, at, "data")) {
            format.dataBytes = size;
            format.dataOffset = body;
            return haveFormat && size > 0;
        }
        // Chunks are padded to an even size.
        at = body + size + (size & 1u);
    }
    return false;
}

} // namespace pellorin
