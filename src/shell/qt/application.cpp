// The game as a program: its platform, its one window, and its end.
#include "shell/qt/application.h"

#include "shell/qt/mainwindow.h"
#include "shell/qt/platformchoice.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace pellorin {
namespace {

// For the whole-program measurements only: when PELLORIN_MEASURE is set, the
// moments of the first paint, of each press on the board (as it arrives,
// before any handler) and of each swap's start and end go to the error
// output, on the monotonic clock the measuring scripts read too.
class MomentReporter final : public QObject {
public:
    explicit MomentReporter(MainWindow& window) : QObject(&window)
    {
        window.boardView()->installEventFilter(this);
        connect(&window, &MainWindow::firstPaint, this, [] { report("first-paint"); });
        connect(&window, &MainWindow::swapStarted, this, [] { report("swap-start"); });
        connect(&window, &MainWindow::swapFinished, this, [] { report("swap-end"); });
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            report("press");
        return false;
    }

private:
    static void report(const char* what)
    {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::fprintf(stderr, "%s %lld\n", what,
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stderr);
    }
};

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

int runGame(int argc, char* argv[], std::unique_ptr<RandomSource> random)
{
    const QByteArray platform = preferredPlatform(displayEnvironment(), waylandCompositorDrawsFrames);
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellorin"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.pellorin.Pellorin"));
    QApplication::setWindowIcon(MainWindow::applicationIcon());

    MainWindow window(std::move(random));
    if (qEnvironmentVariableIsSet("PELLORIN_MEASURE"))
        new MomentReporter(window);
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
