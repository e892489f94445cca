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
};

// How many leading bytes of a file wavFormat() needs to see at most.
inline constexpr std::size_t WavHeaderProbeBytes = 4096;

// The format of an uncompressed PCM WAV whose fmt chunk and a non-empty data
// chunk lie within the given leading bytes of the file, or nothing when the
// bytes are not such a file: empty, truncated, another format or garbage.
bool wavFormat(std::span<const std::byte> head, WavFormat& format);

} // namespace pellorin
