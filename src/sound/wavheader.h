// A quick look at a WAV file's header, to tell a playable cue from a broken one
// before the audio back end is asked to load it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pellorin {

struct WavFormat {
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint32_t dataBytes = 0;
    std::uint64_t dataOffset = 0; // where the samples start in the file
};

// How many leading bytes of a file wavFormat() needs to see at most.
inline constexpr std::size_t WavHeaderProbeBytes = 4096;

// Whether the leading bytes of a file begin an uncompressed PCM WAV whose fmt
// chunk and the header of a non-empty data chunk lie within them; if so, its
// format. Empty, truncated, compressed and garbage files are not such files.
// Whether the whole data chunk is present is for the caller to check against
// the file's size: a decoder waits forever for samples that never come.
bool wavFormat(std::span<const std::byte> head, WavFormat& format);

} // namespace pellorin
