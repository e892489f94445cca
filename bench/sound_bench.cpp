// How long a sound request holds up the event thread, for a good cue file and
// for each kind of broken one: once with the file as the player last saw it,
// and once with the file changed since, so that it is read and checked anew.
#include "shell/qt/qtsoundplayer.h"

#include "artwork.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

void BM_SoundRequest(benchmark::State& state)
{
    const auto kind = static_cast<Kind>(state.range(0));
    const bool changedEachTime = state.range(1) != 0;
    QTemporaryDir dir;
    const QString path = dir.filePath("Bort.wav");
    makeFile(path, kind);
    QtSoundPlayer player([&] { return dir.path(); });
    player.play(Cue::Clear);
    int flip = 0;
    for (auto _ : state) {
        if (changedEachTime && (kind == Kind::Good || kind == Kind::HeaderOnly || kind == Kind::RandomBytes)) {
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
