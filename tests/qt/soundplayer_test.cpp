// The real sound player: cue files looked up at every request, silence for
// anything it cannot play, and recovery once a broken file is mended. Where
// the machine has no audio output every request is silent, so whether a
// file is playable is read from the player itself.
#include "shell/qt/qtsoundplayer.h"
#include "shell_support.h"

#include "artwork.h"

#include <QAudioDevice>
#include <QDir>
#include <QFile>
#include <QMediaDevices>
#include <QTemporaryDir>

namespace pellorin::testing {
namespace {

struct SoundFiles : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void write(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    static QByteArray chime() { return artwork::wavFile(artwork::clearSound()); }

    QTemporaryDir dir;
    QtSoundPlayer player{[this] { return dir.path(); }};
};

// What a request for a playable file returns on this machine.
std::int32_t playedHere()
{
    return QMediaDevices::defaultAudioOutput().isNull() ? 0 : 1;
}

TEST_F(SoundFiles, AMissingFileIsSilent)
{
    EXPECT_EQ(player.play(Cue::Clear), 0);
    EXPECT_EQ(player.play(Cue::Swap), 0);
    EXPECT_FALSE(player.playable(Cue::Clear));
}

TEST_F(SoundFiles, BrokenFilesAreSilent)
{
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919) >> 3);
    const QByteArray header = chime().left(44);
    for (const QByteArray& bytes : {QByteArray(), header, chime().left(30), noise}) {
        write("Bort.wav", bytes);
        EXPECT_EQ(player.play(Cue::Clear), 0) << bytes.size() << " bytes";
        EXPECT_FALSE(player.playable(Cue::Clear)) << bytes.size() << " bytes";
    }
}

TEST_F(SoundFiles, ADirectoryInPlaceOfTheFileIsSilent)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("Bort.wav"));
    EXPECT_EQ(player.play(Cue::Clear), 0);
}

TEST_F(SoundFiles, AnOversizedFileIsNotRead)
{
    QFile file(dir.filePath("Swap.wav"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(chime().left(44));
    ASSERT_TRUE(file.resize(QtSoundPlayer::MaxCueBytes + 1));
    file.close();
    EXPECT_EQ(player.play(Cue::Swap), 0);
}

TEST_F(SoundFiles, AGoodFilePlaysAndAMendedFileRecovers)
{
    const auto expectPlayable = [&](bool playable) {
        EXPECT_EQ(player.play(Cue::Clear), playable ? playedHere() : 0);
        EXPECT_EQ(player.playable(Cue::Clear), playable);
    };
    write("Bort.wav", chime());
    expectPlayable(true);
    expectPlayable(true);
    write("Bort.wav", "garbage");
    expectPlayable(false);
    write("Bort.wav", chime() + QByteArray(2, '\0'));
    expectPlayable(true);
    write("Bort.wav", chime().left(1000)); // a cut file plays what it holds
    expectPlayable(true);
    QFile::remove(dir.filePath("Bort.wav"));
    expectPlayable(false);
    write("Bort.wav", chime());
    expectPlayable(true);
    EXPECT_FALSE(player.playable(Cue::Swap)) << "the other cue has its own file";
}

TEST(SoundResult, HoldsWhatTheLastRequestGave)
{
    // The game's own sounds and its sound module are copied beside this test
    // program.
    auto window = patternWindow();
    EXPECT_EQ(form(*window).SoundResult, 1) << "the first deal's clear sound, taken to play with the first frame";
    window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->soundLoaded(); }, SwapDeadlineMs));
    window->menuAction(design::Command::NewGame)->trigger();
    EXPECT_EQ(form(*window).SoundResult, playedHere()) << "a new deal's, as the player gave it";
}

} // namespace
} // namespace pellorin::testing
