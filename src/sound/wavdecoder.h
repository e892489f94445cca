// Cue files decoded with libsndfile into 16-bit samples that any audio
// output takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pellorin {

// Interleaved 16-bit samples, one or two channels.
struct Pcm {
    int sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;

    std::size_t frames() const { return channels ? samples.size() / static_cast<std::size_t>(channels) : 0; }
};

// Decodes a whole file held in memory, when it is of the WAV family (RIFF
// WAVE, WAVE_FORMAT_EXTENSIBLE or RF64) in any encoding libsndfile reads:
// 8- to 32-bit integers, floats, mu-law, A-law, ADPCM and so on. More than
// two channels are mixed down to one. Anything else, a file without a single
// sample among them, is nothing.
std::optional<Pcm> decodeWav(std::span<const std::byte> file);

} // namespace pellorin
