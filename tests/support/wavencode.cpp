// Cue files in every WAV encoding, written with libsndfile into memory.
#include "wavencode.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace pellorin::testing {

const std::vector<WavEncoding>& wavEncodings()
{
    static const std::vector<WavEncoding> encodings = {
        {"pcm16", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
        {"pcm8", SF_FORMAT_WAV | SF_FORMAT_PCM_U8},
        {"pcm24", SF_FORMAT_WAV | SF_FORMAT_PCM_24},
        {"pcm32", SF_FORMAT_WAV | SF_FORMAT_PCM_32},
        {"float", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
        {"double", SF_FORMAT_WAV | SF_FORMAT_DOUBLE},
        {"mulaw", SF_FORMAT_WAV | SF_FORMAT_ULAW},
        {"alaw", SF_FORMAT_WAV | SF_FORMAT_ALAW},
        {"ima-adpcm", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM},
        {"ms-adpcm", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM},
        {"extensible16", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16},
        {"extensible24", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24},
        {"extensible-float", SF_FORMAT_WAVEX | SF_FORMAT_FLOAT},
        {"rf64", SF_FORMAT_RF64 | SF_FORMAT_PCM_16},
    };
    return encodings;
}

const std::vector<WavEncoding>& otherContainers()
{
    static const std::vector<WavEncoding> containers = {
        {"aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
        {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
        {"au", SF_FORMAT_AU | SF_FORMAT_PCM_16},
    };
    return containers;
}

const WavEncoding* findEncoding(std::string_view name)
{
    for (const auto* list : {&wavEncodings(), &otherContainers()})
        for (const WavEncoding& e : *list)
            if (e.name == name)
                return &e;
    return nullptr;
}

namespace {

struct Writer {
    std::vector<std::byte> bytes;
    sf_count_t at = 0;
};

SF_VIRTUAL_IO memoryWriter()
{
    SF_VIRTUAL_IO io{};
    io.get_filelen
        = [](void* d) -> sf_count_t { return static_cast<sf_count_t>(static_cast<Writer*>(d)->bytes.size()); };
    io.seek = [](sf_count_t offset, int whence, void* d) -> sf_count_t {
        auto* w = static_cast<Writer*>(d);
        const sf_count_t base = whence == SEEK_SET ? 0
            : whence == SEEK_CUR                   ? w->at
                                                   : static_cast<sf_count_t>(w->bytes.size());
        w->at = std::max<sf_count_t>(0, base + offset);
        return w->at;
    };
    io.read = [](void* out, sf_count_t count, void* d) -> sf_count_t {
        auto* w = static_cast<Writer*>(d);
        const sf_count_t n = std::clamp<sf_count_t>(static_cast<sf_count_t>(w->bytes.size()) - w->at, 0, count);
        if (n > 0)
            std::memcpy(out, w->bytes.data() + w->at, static_cast<std::size_t>(n));
        w->at += n;
        return n;
    };
    io.write = [](const void* in, sf_count_t count, void* d) -> sf_count_t {
        auto* w = static_cast<Writer*>(d);
        const auto end = static_cast<std::size_t>(w->at + count);
        if (w->bytes.size() < end)
            w->bytes.resize(end);
        if (count > 0)
            std::memcpy(w->bytes.data() + w->at, in, static_cast<std::size_t>(count));
        w->at += count;
        return count;
    };
    io.tell = [](void* d) -> sf_count_t { return static_cast<Writer*>(d)->at; };
    return io;
}

} // namespace

std::vector<std::byte> encodeSound(std::span<const float> samples, int channels, int sampleRate, int format)
{
    Writer writer;
    SF_VIRTUAL_IO io = memoryWriter();
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &writer);
    if (!file)
        return {};
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
    sf_close(file);
    return std::move(writer.bytes);
}

} // namespace pellorin::testing
