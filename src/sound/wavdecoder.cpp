// Cue files decoded with libsndfile.
#include "sound/wavdecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace pellorin {
namespace {

// libsndfile reads from the bytes in memory through these, so the file is
// read once, by the caller, with whatever path handling its platform needs.
struct Reader {
    std::span<const std::byte> bytes;
    sf_count_t at = 0;
};

SF_VIRTUAL_IO memoryIo()
{
    SF_VIRTUAL_IO io{};
    io.get_filelen
        = [](void* data) -> sf_count_t { return static_cast<sf_count_t>(static_cast<Reader*>(data)->bytes.size()); };
    io.seek = [](sf_count_t offset, int whence, void* data) -> sf_count_t {
        auto* r = static_cast<Reader*>(data);
        const auto size = static_cast<sf_count_t>(r->bytes.size());
        const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? r->at : size;
        r->at = std::clamp<sf_count_t>(base + offset, 0, size);
        return r->at;
    };
    io.read = [](void* out, sf_count_t count, void* data) -> sf_count_t {
        auto* r = static_cast<Reader*>(data);
        const sf_count_t n = std::clamp<sf_count_t>(static_cast<sf_count_t>(r->bytes.size()) - r->at, 0, count);
        if (n > 0)
            std::memcpy(out, r->bytes.data() + static_cast<std::size_t>(r->at), static_cast<std::size_t>(n));
        r->at += n;
        return n;
    };
    io.write = [](const void*, sf_count_t, void*) -> sf_count_t { return 0; };
    io.tell = [](void* data) -> sf_count_t { return static_cast<Reader*>(data)->at; };
    return io;
}

bool wavFamily(int format)
{
    const int type = format & SF_FORMAT_TYPEMASK;
    return type == SF_FORMAT_WAV || type == SF_FORMAT_WAVEX || type == SF_FORMAT_RF64;
}

// Floating-point files may hold anything, infinities and NaNs included.
std::int16_t toInt16(float x)
{
    if (!std::isfinite(x))
        return 0;
    return static_cast<std::int16_t>(std::lround(std::clamp(x, -1.0f, 1.0f) * 32767.0f));
}

} // namespace

std::optional<Pcm> decodeWav(std::span<const std::byte> file)
{
    Reader reader{file};
    SF_VIRTUAL_IO io = memoryIo();
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> sound(sf_open_virtual(&io, SFM_READ, &info, &reader), &sf_close);
    if (!sound || !wavFamily(info.format) || info.channels < 1 || info.samplerate < 1)
        return std::nullopt;

    Pcm pcm;
    pcm.sampleRate = info.samplerate;
    pcm.channels = info.channels <= 2 ? info.channels : 1;
    // Read in blocks rather than trusting the header's frame count: what is
    // kept is what the file really holds.
    constexpr sf_count_t BlockFrames = 4096;
    std::vector<float> block(static_cast<std::size_t>(BlockFrames * info.channels));
    while (const sf_count_t frames = sf_readf_float(sound.get(), block.data(), BlockFrames)) {
        for (sf_count_t f = 0; f < frames; ++f) {
            const float* frame = block.data() + f * info.channels;
            if (info.channels <= 2) {
                for (int c = 0; c < info.channels; ++c)
                    pcm.samples.push_back(toInt16(frame[c]));
            } else {
                float sum = 0.0f;
                for (int c = 0; c < info.channels; ++c)
                    sum += frame[c];
                pcm.samples.push_back(toInt16(sum / static_cast<float>(info.channels)));
            }
        }
    }
    if (pcm.samples.empty())
        return std::nullopt;
    return pcm;
}

} // namespace pellorin
