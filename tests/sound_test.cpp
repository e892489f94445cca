// Cue files: where they are looked for, and which headers count as playable.
#include "sound/cue.h"
#include "sound/wavheader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pellorin {
using namespace std::string_literals;

namespace {

TEST(CuePath, JoinsTheExecutablesDirectoryAndTheCueFile)
{
    const std::filesystem::path dir = std::filesystem::path("games") / "pellorin";
    EXPECT_EQ(cuePath(dir, Cue::Clear), dir / "Bort.wav");
    EXPECT_EQ(cuePath(dir, Cue::Swap), dir / "Swap.wav");
    EXPECT_EQ(cuePath(dir / "", Cue::Swap), dir / "Swap.wav") << "a trailing separator is not doubled";
    EXPECT_EQ(cuePath(dir, Cue::Swap).filename(), "Swap.wav");
    EXPECT_EQ(cuePath(dir, Cue::Swap).parent_path(), dir);
}

// A WAV header built field by field, so each case can break one field.
struct Header {
    std::string riff = "RIFF";
    std::string wave = "WAVE";
    std::string fmtTag = "fmt ";
    std::uint32_t fmtSize = 16;
    std::uint16_t format = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
    std::string extraChunk; // inserted between fmt and data
    std::uint32_t dataSize = 4;
    std::size_t keep = std::string::npos; // truncate the bytes to this length

    std::vector<std::byte> bytes() const
    {
        std::string s = riff + "\x24\0\0\0"s + wave + fmtTag;
        const auto put = [&s](std::uint64_t v, int n) {
            for (int i = 0; i < n; ++i)
                s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        };
        put(fmtSize, 4);
        put(format, 2);
        put(channels, 2);
        put(rate, 4);
        put(rate * channels * bits / 8, 4);
        put(channels * bits / 8, 2);
        put(bits, 2);
        s += extraChunk;
        s += "data";
        put(dataSize, 4);
        s += std::string(4, '\0');
        s = s.substr(0, std::min(keep, s.size()));
        std::vector<std::byte> out;
        for (const char c : s)
            out.push_back(static_cast<std::byte>(c));
        return out;
    }
};

struct HeaderCase {
    const char* name;
    Header header;
    bool playable;
    friend void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }
};

class WavHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(WavHeader, TellsPlayableFromBroken)
{
    WavFormat format;
    const std::vector<std::byte> bytes = GetParam().header.bytes();
    EXPECT_EQ(wavFormat(bytes, format), GetParam().playable);
}

Header with(auto change)
{
    Header h;
    change(h);
    return h;
}

INSTANTIATE_TEST_SUITE_P(Cases, WavHeader,
    ::testing::Values(
        HeaderCase{"Mono16", Header{}, true},
        HeaderCase{"Stereo8", with([](Header& h) { h.channels = 2; h.bits = 8; }), true},
        HeaderCase{"ListChunkBeforeData", with([](Header& h) { h.extraChunk = "LIST\x03\0\0\0abc\0"s; }), true},
        HeaderCase{"Empty", with([](Header& h) { h.keep = 0; }), false},
        HeaderCase{"HeaderOnlyNoData", with([](Header& h) { h.dataSize = 0; }), false},
        HeaderCase{"TruncatedInFmt", with([](Header& h) { h.keep = 30; }), false},
        HeaderCase{"TruncatedBeforeData", with([](Header& h) { h.keep = 36; }), false},
        HeaderCase{"NotRiff", with([](Header& h) { h.riff = "RIFX"; }), false},
        HeaderCase{"NotWave", with([](Header& h) { h.wave = "AVI "; }), false},
        HeaderCase{"Float", with([](Header& h) { h.format = 3; h.bits = 32; }), false},
        HeaderCase{"MuLaw", with([](Header& h) { h.format = 7; h.bits = 8; }), false},
        HeaderCase{"TwentyFourBit", with([](Header& h) { h.bits = 24; }), false},
        HeaderCase{"SixChannels", with([](Header& h) { h.channels = 6; }), false},
        HeaderCase{"ZeroRate", with([](Header& h) { h.rate = 0; }), false},
        HeaderCase{"ShortFmt", with([](Header& h) { h.fmtSize = 8; }), false},
        HeaderCase{"HugeChunkSkipsPastTheEnd", with([](Header& h) { h.extraChunk = "junk\xff\xff\xff\x7f"s; }), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WavHeaderNoise, RandomBytesAreNeverPlayable)
{
    std::uint32_t state = 12345;
    std::vector<std::byte> bytes(512);
    for (int round = 0; round < 2000; ++round) {
        for (std::byte& b : bytes) {
            state = state * 1664525u + 1013904223u;
            b = static_cast<std::byte>(state >> 24);
        }
        WavFormat format;
        ASSERT_FALSE(wavFormat(bytes, format)) << "round " << round;
    }
}

} // namespace
} // namespace pellorin
