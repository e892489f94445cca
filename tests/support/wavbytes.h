// WAV files made byte by byte, as a test needs them, with no library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pellorin::testing {

// A RIFF/WAVE file: a format chunk, an optional odd-sized LIST chunk of
// listChunk bytes, and frames of silence.
inline std::vector<std::byte> wavBytes(std::uint16_t format, std::uint16_t bits, std::uint32_t rate,
                                       std::uint32_t frames, std::uint16_t channels = 1, std::uint32_t listChunk = 0)
{
    std::vector<std::byte> out;
    const auto u8 = [&](unsigned v) { out.push_back(static_cast<std::byte>(v & 0xFF)); };
    const auto u16 = [&](unsigned v) { u8(v), u8(v >> 8); };
    const auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    const auto tag = [&](std::string_view t) {
        for (const char c : t)
            u8(static_cast<unsigned char>(c));
    };
    const std::uint16_t block = static_cast<std::uint16_t>(channels * ((bits + 7) / 8));
    const std::uint32_t data = frames * block;
    const std::uint32_t list = listChunk ? 8 + listChunk + (listChunk & 1) : 0;
    tag("RIFF"), u32(4 + 8 + 16 + list + 8 + data), tag("WAVE");
    tag("fmt "), u32(16), u16(format), u16(channels), u32(rate), u32(rate * block), u16(block), u16(bits);
    if (listChunk) {
        tag("LIST"), u32(listChunk);
        for (std::uint32_t i = 0; i < listChunk + (listChunk & 1); ++i)
            u8(0);
    }
    tag("data"), u32(data);
    out.resize(out.size() + data);
    return out;
}

} // namespace pellorin::testing
