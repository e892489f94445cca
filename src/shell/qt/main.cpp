// Starts the game: one window, centred, until it is closed.
#include "shell/qt/mainwindow.h"

#include <QApplication>

#include <chrono>
#include <cstdio>

namespace {

// For the whole-program measurements only: when PELLORIN_MEASURE is set, the
// moments of the first paint and of each swap's start and end go to the error
// output, on the monotonic clock the measuring script reads too.
void reportMoments(pellorin::MainWindow& window)
{
    const auto report = [](const char* what) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::fprintf(stderr, "%s %lld\n", what,
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stderr);
    };
    QObject::connect(&window, &pellorin::MainWindow::firstPaint, [report] { report("first-paint"); });
    QObject::connect(&window, &pellorin::MainWindow::swapStarted, [report] { report("swap-start"); });
    QObject::connect(&window, &pellorin::MainWindow::swapFinished, [report] { report("swap-end"); });
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellorin"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.pellorin.Pellorin"));
    QApplication::setWindowIcon(pellorin::MainWindow::applicationIcon());

    pellorin::MainWindow window;
    if (qEnvironmentVariableIsSet("PELLORIN_MEASURE"))
        reportMoments(window);
    window.centreOnScreen();
    window.show();
    return QApplication::exec();
}
