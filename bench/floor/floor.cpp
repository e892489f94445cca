// The floor for the whole-program measurements: a bare Qt program with the
// game's window, menu and 64 painted tiles, and nothing else.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

#include <array>
#include <chrono>
#include <cstdio>

namespace {

class Board final : public QWidget {
public:
    Board()
    {
        setFixedSize(414, 413);
        setAttribute(Qt::WA_OpaquePaintEvent);
        const char* names[] = {"red", "yellow", "green", "blue", "magenta", "orange"};
        for (std::size_t i = 0; i < m_tiles.size(); ++i)
            m_tiles[i].load(QStringLiteral(":/tiles/%1.png").arg(QLatin1String(names[i])));
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::black);
        for (int k = 0; k < 64; ++k)
            painter.drawPixmap(24 + 48 * (k % 8), 24 + 48 * (k / 8), m_tiles[static_cast<std::size_t>(k * 7 % 6)]);
        if (!m_painted && qEnvironmentVariableIsSet("PELLORIN_MEASURE")) {
            m_painted = true;
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::fprintf(stderr, "first-paint %lld\n",
                         static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stderr);
        }
    }

private:
    std::array<QPixmap, 6> m_tiles;
    bool m_painted = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Pellorin floor"));
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("&Meny"));
    menu->addAction(QStringLiteral("&Nytt spel"));
    menu->addSeparator();
    QObject::connect(menu->addAction(QStringLiteral("&Avsluta")), &QAction::triggered, &window, &QWidget::close);
    window.setCentralWidget(new Board);
    window.show();
    return QApplication::exec();
}
