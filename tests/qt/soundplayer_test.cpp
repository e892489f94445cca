// The real sound player: cue files looked up at every request, silence for
// anything it cannot play, and recovery once a broken file is mended.
#include "platform/qt/qtsoundplayer.h"
#include "shell_support.h"

#include "artwork.h"

#include <QDir>
#include <QFile>
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

TEST_F(SoundFiles, AMissingFileIsSilent)
{
    EXPECT_EQ(player.play(Cue::Clear), 0);
    EXPECT_EQ(player.play(Cue::Swap), 0);
}

TEST_F(SoundFiles, BrokenFilesAreSilent)
{
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919) >> 3);
    const QByteArray header = chime().left(44);
    QByteArray floatWav = chime();
    floatWav[20] = 3; // IEEE float, which the header promises but the data is not
    for (const QByteArray& bytes : {QByteArray(), header, chime().left(30), chime().left(1000), noise, floatWav}) {
        write("Bort.wav", bytes);
        EXPECT_EQ(player.play(Cue::Clear), 0) << bytes.size() << " bytes";
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
    write("Bort.wav", chime());
    EXPECT_EQ(player.play(Cue::Clear), 1);
    write("Bort.wav", "garbage");
    EXPECT_EQ(player.play(Cue::Clear), 0);
    write("Bort.wav", chime() + QByteArray(2, '\0'));
    EXPECT_EQ(player.play(Cue::Clear), 1);
    QFile::remove(dir.filePath("Bort.wav"));
    EXPECT_EQ(player.play(Cue::Clear), 0);
    write("Bort.wav", chime());
    EXPECT_EQ(player.play(Cue::Clear), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.play(Cue::Clear) == 1; }, 1000));
}

TEST(SoundResult, HoldsWhatTheLastRequestGave)
{
    // The game's own sounds are copied beside this test program.
    auto window = patternWindow();
    EXPECT_EQ(window->form().SoundResult, 1) << "the clear sound of the first deal";
}

} // namespace
} // namespace pellorin::testing
