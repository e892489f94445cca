// Writes a cue file again in another WAV encoding, for the tests that play
// the real program with files a player might drop beside it.
//   pellorin-encode-cue IN OUT ENCODING      e.g. ENCODING = mulaw, pcm24, float
#include "sound/wavdecoder.h"
#include "wavencode.h"

#include <cstdio>
#include <fstream>
#include <iterator>

int main(int argc, char* argv[])
{
    using namespace pellorin;
    const testing::WavEncoding* encoding = argc == 4 ? testing::findEncoding(argv[3]) : nullptr;
    if (!encoding) {
        std::fprintf(stderr, "usage: %s IN OUT ENCODING\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<char> raw{std::istreambuf_iterator<char>(in), {}};
    const auto pcm = decodeWav(std::as_bytes(std::span(raw)));
    if (!pcm) {
        std::fprintf(stderr, "%s: not a sound\n", argv[1]);
        return 1;
    }
    std::vector<float> samples;
    for (const std::int16_t s : pcm->samples)
        samples.push_back(static_cast<float>(s) / 32768.0f);
    const auto bytes = testing::encodeSound(samples, pcm->channels, pcm->sampleRate, encoding->format);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes.empty() || !out ? 1 : 0;
}
