// Starts the game: one window, centred, until it is closed.
#include "platform/qt/mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellorin"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.pellorin.Pellorin"));
    QApplication::setWindowIcon(pellorin::MainWindow::applicationIcon());

    pellorin::MainWindow window;
    window.centreOnScreen();
    window.show();
    return QApplication::exec();
}
