// Which bytes a system's player may be handed as a cue: whole WAV files only.
#include "sound/cue.h"
#include "support/wavbytes.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace pellorin::testing {
namespace {

TEST(WavFile, AcceptsWholeFilesOfTheWavFamily)
{
    EXPECT_TRUE(isWavFile(wavBytes(1, 16, 8000, 100)));
    EXPECT_TRUE(isWavFile(wavBytes(7, 8, 8000, 1))) // mu-law, one sample
        << "one block is enough";
    EXPECT_TRUE(isWavFile(wavBytes(0xFFFE, 24, 48000, 10, 2))); // extensible, stereo
    auto listed = wavBytes(1, 16, 8000, 10, 1, /*listChunk=*/3);
    EXPECT_TRUE(isWavFile(listed)) << "an odd chunk before the data is padded and skipped";
}

TEST(WavFile, RefusesWhatASystemPlayerShouldNotBeHanded)
{
    const std::vector<std::byte> good = wavBytes(1, 16, 8000, 100);
    EXPECT_FALSE(isWavFile({}));
    EXPECT_FALSE(isWavFile(std::vector<std::byte>(good.begin(), good.begin() + 11)));
    EXPECT_FALSE(isWavFile(std::vector<std::byte>(good.begin(), good.end() - 1))) << "a cut file";
    auto notWave = good;
    notWave[8] = std::byte{'A'};
    EXPECT_FALSE(isWavFile(notWave));
    auto rf64 = good;
    rf64[0] = std::byte{'X'};
    EXPECT_FALSE(isWavFile(rf64));
    EXPECT_FALSE(isWavFile(wavBytes(1, 16, 8000, 0))) << "no sample at all";
    EXPECT_FALSE(isWavFile(wavBytes(1, 16, 0, 10))) << "no rate";
    EXPECT_FALSE(isWavFile(wavBytes(1, 16, 8000, 10, 0))) << "no channel";
    auto hugeChunk = good;
    hugeChunk[16] = std::byte{0xFF}; // the format chunk claims to run past the file
    hugeChunk[19] = std::byte{0x7F};
    EXPECT_FALSE(isWavFile(hugeChunk));
    auto noData = good;
    noData[36] = std::byte{'x'};
    EXPECT_FALSE(isWavFile(noData)) << "no data chunk";
    std::vector<std::byte> large(static_cast<std::size_t>(MaxCueBytes) + 1);
    const auto header = wavBytes(1, 16, 8000, 1);
    std::copy(header.begin(), header.end(), large.begin());
    EXPECT_FALSE(isWavFile(large)) << "larger than a cue may be";
}

} // namespace
} // namespace pellorin::testing
