// Writes the game's pictures, icons and sounds into an assets folder.
// Usage: pellorin-assetgen OUTPUT_DIR
#include "artwork.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

using namespace pellorin::artwork;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    // The image writers are plugins, which need an application to be found.
    QCoreApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = out.mkpath(QStringLiteral("icons")) && out.mkpath(QStringLiteral("sounds"));
    for (const int size : IconSizes)
        ok = ok && icon(size).save(out.filePath(QStringLiteral("icons/pellorin-%1.png").arg(size)));
    for (const int size : WebIconSizes)
        ok = ok && icon(size).save(out.filePath(QStringLiteral("icons/pellorin-%1.png").arg(size)));
    ok = ok
        && icon(MaskableIconSize, MaskableFill)
               .save(out.filePath(QStringLiteral("icons/pellorin-maskable-%1.png").arg(MaskableIconSize)));
    // The Windows executable's own icon, for its resource script.
    ok = ok
        && writeFile(out.filePath(QStringLiteral("icons/pellorin.ico")),
                     icoFile({WindowsIconSizes.begin(), WindowsIconSizes.end()}));
    ok = ok && writeFile(out.filePath(QStringLiteral("sounds/Swap.wav")), wavFile(swapSound()));
    ok = ok && writeFile(out.filePath(QStringLiteral("sounds/Bort.wav")), wavFile(clearSound()));
    if (!ok) {
        std::fprintf(stderr, "could not write every asset into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
