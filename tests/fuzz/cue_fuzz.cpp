// Fuzz target for the cue reader: whatever bytes a player puts in place of a
// cue file, decoding ends without a fault, and a sound it accepts is one the
// audio output can take.
#include "sound/wavdecoder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto pcm = pellorin::decodeWav(std::as_bytes(std::span(data, size)));
    if (!pcm)
        return 0;
    const bool wellFormed = pcm->sampleRate > 0 && (pcm->channels == 1 || pcm->channels == 2) && !pcm->samples.empty()
        && pcm->samples.size() % static_cast<std::size_t>(pcm->channels) == 0;
    if (!wellFormed) {
        std::fprintf(stderr, "decoded a malformed sound: %d Hz, %d channels, %zu samples\n", pcm->sampleRate,
                     pcm->channels, pcm->samples.size());
        std::abort();
    }
    return 0;
}
