// The floor for the whole-program measurements: a bare Qt program with the
// game's window, menu and 64 tiles (from the core's painter, made once at
// start-up), and nothing else. A press on the
// board starts the floor's tick: the area of two neighbouring tiles is
// repainted 11 times at 25 ms, as often and as much as in one of the game's
// swaps, with no rule behind it.
#include "shell/qt/tileimage.h"
#include "support/momentline.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <array>
#include <chrono>

namespace {

constexpr int Pitch = 48;
constexpr int Margin = 24;
constexpr int Tile = 32;
constexpr int TicksPerSwap = 11;
constexpr std::chrono::milliseconds TickInterval{25};
// Row 4 and row 5 of column 4, the pair the measurements swap first.
const QRect SwapArea(Margin + 3 * Pitch, Margin + 3 * Pitch, Tile, Pitch + Tile);

// A moment for the measuring script, when it asks for them.
void report(const char* what)
{
    if (qEnvironmentVariableIsSet("PELLORIN_MEASURE"))
        pellorin::testing::reportMoment(what);
}

class Board final : public QWidget {
public:
    Board()
    {
        setFixedSize(414, 413);
        setAttribute(Qt::WA_OpaquePaintEvent);
        for (std::size_t i = 0; i < m_tiles.size(); ++i)
            m_tiles[i]
                = QPixmap::fromImage(pellorin::tileImage(*pellorin::tiles::paintTile(static_cast<int>(i) + 1, Tile)));
        m_ticker.setTimerType(Qt::PreciseTimer);
        m_ticker.setInterval(TickInterval);
        connect(&m_ticker, &QTimer::timeout, this, [this] {
            update(SwapArea);
            if (++m_ticks == TicksPerSwap) {
                m_ticker.stop();
                report("swap-end");
            }
        });
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::black);
        for (int k = 0; k < 64; ++k) {
            const QRect tile(Margin + Pitch * (k % 8), Margin + Pitch * (k / 8), Tile, Tile);
            if (event->rect().intersects(tile))
                painter.drawPixmap(tile.topLeft(), m_tiles[static_cast<std::size_t>(k * 7 % 6)]);
        }
        if (!m_painted) {
            m_painted = true;
            if (qEnvironmentVariableIsSet("PELLORIN_MEASURE"))
                pellorin::testing::reportFirstPaint();
        }
    }

    void mousePressEvent(QMouseEvent*) override
    {
        if (m_ticker.isActive())
            return;
        m_ticks = 0;
        m_ticker.start();
        report("swap-start");
    }

private:
    std::array<QPixmap, 6> m_tiles;
    QTimer m_ticker;
    int m_ticks = 0;
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
