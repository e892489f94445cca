// Cue files in every WAV encoding, written with libsndfile, for the tests and
// benchmarks of the decoder and of the sound heard.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace pellorin::testing {

struct WavEncoding {
    std::string_view name;
    int format; // libsndfile's container | encoding
};

// The encodings a player may drop beside the game, the shipped 16-bit PCM
// first, and a few that are not WAV at all. Functions, so that they are
// there for the registrations of tests and benchmarks at start-up.
const std::vector<WavEncoding>& wavEncodings();
const std::vector<WavEncoding>& otherContainers();
const WavEncoding* findEncoding(std::string_view name);

// Interleaved samples in [-1, 1] written as a whole file; empty on failure.
std::vector<std::byte> encodeSound(std::span<const float> samples, int channels, int sampleRate, int format);

} // namespace pellorin::testing
