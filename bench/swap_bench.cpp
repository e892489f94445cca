// Whole swaps in the real window and event loop, offscreen: the time from the
// press to the return of the line check, and the CPU spent on the way,
// painting included.
#include "shell/qt/mainwindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QPaintEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

namespace pellorin {
namespace {

constexpr int TicksPerSwap = 11;

void reportCpu(benchmark::State& state, double cpuSeconds, int swaps)
{
    state.counters["cpu_ms_per_swap"] = cpuSeconds * 1e3 / swaps;
    state.counters["cpu_ms_per_tick"] = cpuSeconds * 1e3 / swaps / TicksPerSwap;
}

// Each repetition is one swap, timed by hand; the median is the figure.
void oneSwapPerRepetition(benchmark::internal::Benchmark* b)
{
    b->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(25)->ReportAggregatesOnly(true);
}

// Alternates a vertical and a horizontal pair in the middle of the board.
// Returns the process CPU time the swap took, in seconds.
double swapOnce(MainWindow& window, double* wallSeconds = nullptr)
{
    static int swaps = 0;
    const QPoint gap = ++swaps % 2 ? QPoint(184, 208) : QPoint(208, 184);
    // The swap has ended after the tick that stopped its timer.
    QEventLoop loop;
    for (QTimer* timer : window.findChildren<QTimer*>(QRegularExpression(QStringLiteral("^Timer[12]$"))))
        QObject::connect(timer, &QTimer::timeout, &loop, [&loop, timer] {
            if (!timer->isActive())
                loop.quit();
        });
    const std::clock_t cpuStart = std::clock();
    QElapsedTimer wall;
    wall.start();
    QTest::mousePress(window.boardView(), Qt::LeftButton, {}, gap);
    loop.exec();
    if (wallSeconds)
        *wallSeconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    QTest::mouseRelease(window.boardView(), Qt::LeftButton, {}, gap);
    return cpu;
}

// One window for every repetition, shown and warmed up by a few swaps, so
// that loading the sounds and the first paints are not counted.
MainWindow& sharedWindow()
{
    static MainWindow* window = [] {
        auto* w = new MainWindow;
        w->show();
        if (!QTest::qWaitForWindowExposed(w))
            qFatal("the game's window was never exposed");
        for (int i = 0; i < 3; ++i)
            swapOnce(*w);
        return w;
    }();
    return *window;
}

void BM_SwapInEventLoop(benchmark::State& state)
{
    MainWindow& window = sharedWindow();
    int swaps = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        double wallSeconds = 0;
        cpuSeconds += swapOnce(window, &wallSeconds);
        state.SetIterationTime(wallSeconds);
        ++swaps;
    }
    reportCpu(state, cpuSeconds, swaps);
}
BENCHMARK(BM_SwapInEventLoop)->Apply(oneSwapPerRepetition);

// The floor beside it: a bare widget that repaints one tile-sized rectangle
// on each of 11 ticks of a precise 25 ms timer and does nothing else.
class BareBoard final : public QWidget {
public:
    BareBoard() { setFixedSize(414, 413); }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::black);
    }
};

void BM_BareRepaintingTimerFloor(benchmark::State& state)
{
    BareBoard board;
    board.show();
    if (!QTest::qWaitForWindowExposed(&board)) {
        state.SkipWithError("the window was never exposed");
        return;
    }
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    double cpuSeconds = 0;
    int swaps = 0;
    for (auto _ : state) {
        QEventLoop loop;
        int ticks = 0;
        const auto connection = QObject::connect(&timer, &QTimer::timeout, [&] {
            board.update(100 + ticks, 100, 32, 36);
            if (++ticks == TicksPerSwap) {
                timer.stop();
                loop.quit();
            }
        });
        const std::clock_t cpuStart = std::clock();
        QElapsedTimer wall;
        wall.start();
        timer.start(25);
        loop.exec();
        state.SetIterationTime(static_cast<double>(wall.nsecsElapsed()) / 1e9);
        cpuSeconds += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        QObject::disconnect(connection);
        ++swaps;
    }
    reportCpu(state, cpuSeconds, swaps);
}
BENCHMARK(BM_BareRepaintingTimerFloor)->Apply(oneSwapPerRepetition);

} // namespace
} // namespace pellorin

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
