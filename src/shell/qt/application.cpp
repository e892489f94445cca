// The game as a program: its platform, its one window, and its end.
#include "shell/qt/application.h"

#include "shell/qt/mainwindow.h"
#include "shell/qt/platformchoice.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace pellorin {
namespace {

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

int runGame(int argc, char* argv[], std::unique_ptr<RandomSource> random,
            const std::function<void(MainWindow&)>& prepare)
{
    const QByteArray platform = preferredPlatform(displayEnvironment(), waylandCompositorDrawsFrames);
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellorin"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.pellorin.Pellorin"));

    // --symbols: every tile carries its colour's symbol, for players who do
    // not tell the colours apart.
    const bool symbols = QApplication::arguments().contains(
        QString::fromUtf8(design::SymbolsOption.data(), static_cast<qsizetype>(design::SymbolsOption.size())));
    MainWindow window(std::move(random), symbols ? tiles::Look::Symbols : tiles::Look::Plain);
    if (prepare)
        prepare(window);
    // A Wayland compositor places windows itself.
    if (!onWayland())
        window.centreOnScreen();
    window.show();
    const int status = QApplication::exec();

    // Qt 6.4's Wayland teardown can wait forever: the main thread joins Qt's
    // Wayland event thread while that thread waits inside libwayland for a
    // read that the main thread will never make. By now the window is gone
    // and the game keeps nothing, so the process ends here, without that
    // teardown; the compositor and the sound server drop our connections.
    if (onWayland()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

} // namespace pellorin
