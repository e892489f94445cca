// Cue files decoded with libsndfile.
#include "sound/wavdecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>

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

bool tagAt(std::span<const std::byte> bytes, std::size_t at, std::string_view tag)
{
    return bytes.size() >= at + tag.size() && std::memcmp(bytes.data() + at, tag.data(), tag.size()) == 0;
}

// libsndfile 1.2.0 (Debian 12's) can loop for good over a LIST chunk whose
// entries claim sizes the chunk cannot hold, and no chunk but those that
// describe and carry the samples matters to a cue. So the library is handed
// a copy of a RIFF or RF64 WAVE file with those chunks only, each as far as
// the file holds it; anything else is not handed on at all.
std::optional<std::vector<std::byte>> soundChunksOnly(std::span<const std::byte> file)
{
    constexpr std::array<std::string_view, 4> Kept{"fmt ", "fact", "ds64", "data"};
    const bool rf64 = tagAt(file, 0, "RF64");
    if (!(tagAt(file, 0, "RIFF") || rf64) || !tagAt(file, 8, "WAVE"))
        return std::nullopt;
    std::vector<std::byte> kept(file.begin(), file.begin() + 12);
    for (std::size_t at = 12; at + 8 <= file.size();) {
        std::uint32_t declared = 0;
        for (std::size_t i = 0; i < 4; ++i)
            declared |= std::to_integer<std::uint32_t>(file[at + 4 + i]) << (8 * i);
        const std::size_t body = at + 8;
        const std::size_t held = std::min<std::size_t>(declared, file.size() - body);
        if (std::any_of(Kept.begin(), Kept.end(), [&](std::string_view tag) { return tagAt(file, at, tag); }))
            kept.insert(kept.end(), file.begin() + static_cast<std::ptrdiff_t>(at),
                        file.begin() + static_cast<std::ptrdiff_t>(body + held));
        at = body + held + (declared & 1U); // chunks are padded to an even size
    }
    // The RIFF size counts what follows it; an RF64 file keeps its own mark.
    if (!rf64) {
        const auto size = static_cast<std::uint32_t>(kept.size() - 8);
        for (std::size_t i = 0; i < 4; ++i)
            kept[4 + i] = static_cast<std::byte>(size >> (8 * i));
    }
    return kept;
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
    const auto sound = soundChunksOnly(file);
    if (!sound)
        return std::nullopt;
    Reader reader{*sound};
    SF_VIRTUAL_IO io = memoryIo();
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> decoder(sf_open_virtual(&io, SFM_READ, &info, &reader),
                                                              &sf_close);
    if (!decoder || !wavFamily(info.format) || info.channels < 1 || info.samplerate < 1)
        return std::nullopt;

    Pcm pcm;
    pcm.sampleRate = info.samplerate;
    pcm.channels = info.channels <= 2 ? info.channels : 1;
    // Read in blocks rather than trusting the header's frame count: what is
    // kept is what the file really holds.
    constexpr sf_count_t BlockFrames = 4096;
    std::vector<float> block(static_cast<std::size_t>(BlockFrames * info.channels));
    while (const sf_count_t frames = sf_readf_float(decoder.get(), block.data(), BlockFrames)) {
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
