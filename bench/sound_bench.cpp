// How long a sound request holds up the event thread: for a good cue file
// in each WAV encoding and for each kind of broken one, once with the file as
// the player last saw it, and once with the file changed since, so that it
// is read and decoded anew.
#include "shell/qt/qtsoundplayer.h"

#include "artwork.h"
#include "wavencode.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace pellorin {
namespace {

enum class Kind { Good, Missing, Empty, HeaderOnly, RandomBytes, VeryLarge, Directory };

void makeFile(const QString& path, Kind kind)
{
    const QByteArray good = artwork::wavFile(artwork::clearSound());
    QFile file(path);
    switch (kind) {
    case Kind::Missing:
        return;
    case Kind::Directory:
        QDir().mkpath(path);
        return;
    default:
        break;
    }
    file.open(QIODevice::WriteOnly);
    switch (kind) {
    case Kind::Good:
        file.write(good);
        break;
    case Kind::HeaderOnly:
        file.write(good.left(44));
        break;
    case Kind::RandomBytes: {
        std::mt19937 engine(1);
        QByteArray noise(20000, '\0');
        for (char& c : noise)
            c = static_cast<char>(engine());
        file.write(noise);
        break;
    }
    case Kind::VeryLarge:
        file.write(good);
        file.resize(qint64(1) << 30);
        break;
    default:
        break;
    }
}

// Requests the clear cue from a folder holding path's file, touching the file
// before each request when it is to be read anew.
void requestAgainAndAgain(benchmark::State& state, const QTemporaryDir& dir, const QString& path, bool changedEachTime)
{
    QtSoundPlayer player([&] { return dir.path(); });
    player.play(Cue::Clear);
    int flip = 0;
    for (auto _ : state) {
        if (changedEachTime && QFileInfo(path).isFile()) {
            state.PauseTiming();
            // A new modification time makes the player read the file again.
            QFile file(path);
            file.open(QIODevice::ReadWrite);
            file.setFileTime(QDateTime::currentDateTime().addSecs(++flip), QFileDevice::FileModificationTime);
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(player.play(Cue::Clear));
    }
}

void BM_SoundRequest(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Bort.wav");
    makeFile(path, static_cast<Kind>(state.range(0)));
    requestAgainAndAgain(state, dir, path, state.range(1) != 0);
}

// The clear cue in each WAV encoding: "first" reads and decodes the file, as
// at the first request after it changed; "repeated" finds it unchanged.
void BM_SoundRequestByEncoding(benchmark::State& state)
{
    const testing::WavEncoding& encoding = testing::wavEncodings().at(static_cast<std::size_t>(state.range(0)));
    state.SetLabel(std::string(encoding.name) + (state.range(1) ? " first" : " repeated"));
    std::vector<float> samples;
    for (const std::int16_t s : artwork::clearSound())
        samples.push_back(static_cast<float>(s) / 32768.0f);
    const auto bytes = testing::encodeSound(samples, 1, artwork::SampleRate, encoding.format);
    QTemporaryDir dir;
    const QString path = dir.filePath("Bort.wav");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    file.close();
    requestAgainAndAgain(state, dir, path, state.range(1) != 0);
}
BENCHMARK(BM_SoundRequestByEncoding)
    ->ArgNames({"encoding", "first"})
    ->ArgsProduct({benchmark::CreateDenseRange(0, static_cast<int>(testing::wavEncodings().size()) - 1, 1), {1, 0}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SoundRequest)
    ->ArgNames({"kind", "changed"})
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace pellorin

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
