// Cue files: where they are looked for, and what decodes from them.
#include "sound/cue.h"
#include "sound/wavdecoder.h"
#include "support/wavencode.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin::testing {
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

// A sine of amplitude 0.5 at 22050 Hz, 2205 frames, in every channel.
std::vector<float> tone(int channels)
{
    std::vector<float> samples;
    for (int f = 0; f < 2205; ++f)
        for (int c = 0; c < channels; ++c)
            samples.push_back(0.5f * static_cast<float>(std::sin(2 * std::numbers::pi * 441 * f / 22050.0)));
    return samples;
}

double rms(const Pcm& pcm)
{
    double sum = 0;
    for (const std::int16_t s : pcm.samples)
        sum += (s / 32768.0) * (s / 32768.0);
    return std::sqrt(sum / static_cast<double>(pcm.samples.size()));
}

class Encodings : public ::testing::TestWithParam<WavEncoding> {};

// Every encoding of the WAV family decodes to the same sound: its rate, its
// length and its loudness, within what the lossy encodings give away.
TEST_P(Encodings, DecodeToTheSameSound)
{
    const std::vector<std::byte> file = encodeSound(tone(1), 1, 22050, GetParam().format);
    ASSERT_FALSE(file.empty());
    const auto pcm = decodeWav(file);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->sampleRate, 22050);
    EXPECT_EQ(pcm->channels, 1);
    // ADPCM fills its last block with silence.
    EXPECT_GE(pcm->frames(), 2205u);
    EXPECT_LE(pcm->frames(), 2205u + 1024u);
    EXPECT_NEAR(rms(*pcm) * std::sqrt(static_cast<double>(pcm->frames()) / 2205.0), 0.5 / std::sqrt(2.0), 0.01);
}

INSTANTIATE_TEST_SUITE_P(Wav, Encodings, ::testing::ValuesIn(wavEncodings()), [](const auto& info) {
    std::string name(info.param.name);
    std::erase(name, '-');
    return name;
});

TEST(DecodeWav, KeepsStereoAndMixesMoreChannelsDownToOne)
{
    const auto stereo = decodeWav(encodeSound(tone(2), 2, 22050, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    ASSERT_TRUE(stereo);
    EXPECT_EQ(stereo->channels, 2);
    EXPECT_EQ(stereo->frames(), 2205u);

    std::vector<float> six = tone(6);
    for (std::size_t i = 3; i < six.size(); i += 6)
        six[i] = -six[i]; // one channel in opposite phase
    const auto mixed = decodeWav(encodeSound(six, 6, 22050, SF_FORMAT_WAVEX | SF_FORMAT_PCM_24));
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->channels, 1);
    EXPECT_EQ(mixed->frames(), 2205u);
    EXPECT_NEAR(rms(*mixed), 4.0 / 6.0 * 0.5 / std::sqrt(2.0), 0.01);
}

// Whatever is not a WAV with samples in it is nothing: no other container,
// no damaged header, no file without a sample.
TEST(DecodeWav, RefusesWhatHoldsNoWavSound)
{
    const std::vector<std::byte> good = encodeSound(tone(1), 1, 22050, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const std::span<const std::byte> bytes(good);
    struct Case {
        std::string name;
        std::vector<std::byte> file;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"cut in the header", {bytes.begin(), bytes.begin() + 30}},
        {"header only", encodeSound({}, 1, 22050, SF_FORMAT_WAV | SF_FORMAT_PCM_16)},
        {"not RIFF", good},
        {"zero channels", good},
    };
    cases[3].file[0] = std::byte{'X'};
    cases[4].file[22] = std::byte{0};
    for (const WavEncoding& other : otherContainers())
        cases.push_back({std::string(other.name), encodeSound(tone(1), 1, 22050, other.format)});
    for (const Case& c : cases)
        EXPECT_FALSE(decodeWav(c.file)) << c.name;
}

TEST(DecodeWav, ACutDataChunkGivesTheSamplesThatAreThere)
{
    const std::vector<std::byte> good = encodeSound(tone(1), 1, 22050, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    // Of the 4410 bytes of samples, 2205 are cut: 1102 whole frames remain.
    const auto half = decodeWav(std::span(good).first(good.size() - 2205));
    ASSERT_TRUE(half);
    EXPECT_EQ(half->frames(), 1102u);
}

// Chunks besides those of the sound are passed over, even one that keeps
// libsndfile 1.2.0 looping for good: a LIST of 92 bytes, as the fuzzer made
// it, whose INFO entries claim sizes far beyond it.
TEST(DecodeWav, ChunksBesidesTheSoundsAreLeftOut)
{
    const std::vector<std::byte> good = encodeSound(tone(1), 1, 22050, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const auto data = std::search(good.begin(), good.end(), std::begin("data"), std::end("data") - 1,
                                  [](std::byte b, char c) { return b == static_cast<std::byte>(c); });
    ASSERT_NE(data, good.end());
    std::vector<std::byte> list(8 + 92, std::byte{0xff});
    const std::string_view head("LIST\x5c\0\0\0INFOII", 14);
    std::transform(head.begin(), head.end(), list.begin(), [](char c) { return static_cast<std::byte>(c); });
    list[8 + 79] = std::byte{0x1b};
    list[8 + 88] = std::byte{0xf7};
    std::vector<std::byte> listed(good.begin(), data);
    listed.insert(listed.end(), list.begin(), list.end());
    listed.insert(listed.end(), data, good.end());
    const auto riffSize = static_cast<std::uint32_t>(listed.size() - 8);
    for (std::size_t i = 0; i < 4; ++i)
        listed[4 + i] = static_cast<std::byte>(riffSize >> (8 * i));

    const auto plain = decodeWav(good);
    const auto withList = decodeWav(listed);
    ASSERT_TRUE(plain && withList);
    EXPECT_EQ(withList->samples, plain->samples);
    EXPECT_EQ(withList->sampleRate, 22050);
}

TEST(DecodeWav, RandomBytesAreNeverASound)
{
    std::mt19937 engine(12345);
    std::vector<std::byte> bytes(512);
    for (int round = 0; round < 2000; ++round) {
        for (std::byte& b : bytes)
            b = static_cast<std::byte>(engine());
        ASSERT_FALSE(decodeWav(bytes)) << "round " << round;
    }
    // The same with a RIFF WAVE header in front of the noise.
    const std::vector<std::byte> good = encodeSound(tone(1), 1, 22050, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::byte> noisy(good.begin(), good.begin() + 12);
        for (int i = 0; i < 200; ++i)
            noisy.push_back(static_cast<std::byte>(engine()));
        // Whatever libsndfile makes of it, no crash, no hang, and never a
        // sound outside what the player can take.
        if (const auto pcm = decodeWav(noisy)) {
            EXPECT_TRUE(pcm->channels == 1 || pcm->channels == 2);
            EXPECT_FALSE(pcm->samples.empty());
        }
    }
}

} // namespace
} // namespace pellorin::testing
