// The core's hot handlers: the scans of a press and a move, one animation
// tick, the line check and a deal, over a platform that does nothing; and the
// painting of the six tiles that a shell does when its scale changes.
#include "tiles/tilepainter.h"
#include "window/form1.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace pellorin {
namespace {

// A cheap deterministic generator, so the figures measure the game's code.
class XorShiftRandom final : public RandomSource {
public:
    void seedFromClock() override {}
    float next() override
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<float>(m_state >> 8) * 0x1p-24f;
    }

private:
    std::uint32_t m_state = 2463534242u;
};

class SilentSound final : public SoundPlayer {
public:
    std::int32_t play(Cue) override { return 1; }
};

class PlainCursor final : public WindowCursor {
public:
    CursorCode get() const override { return m_code; }
    void set(CursorCode code) override { m_code = code; }

private:
    CursorCode m_code = CursorCode::Default;
};

class NoHost final : public WindowHost {
public:
    void closeWindow() override {}
};

struct Bench {
    XorShiftRandom random;
    SilentSound sound;
    PlainCursor cursor;
    NoHost host;
    Form1 form{Services{random, sound, cursor, host}};
    Bench() { form.Form_Load(); }
};

// A point in the top margin passes no test: every pair is scanned.
void BM_MouseMoveMissingEveryGap(benchmark::State& state)
{
    Bench b;
    for (auto _ : state) {
        b.form.mouseMoveAt(0, 0, 200.0f, 10.0f);
        benchmark::DoNotOptimize(b.form.BallNo);
    }
}
BENCHMARK(BM_MouseMoveMissingEveryGap);

void BM_MouseDownMissingEveryGap(benchmark::State& state)
{
    Bench b;
    for (auto _ : state) {
        b.form.mouseDownAt(1, 0, 200.0f, 10.0f);
        benchmark::DoNotOptimize(b.form.BallNo);
    }
}
BENCHMARK(BM_MouseDownMissingEveryGap);

// One tick, averaged over the eleven ticks of a swap of the last pair.
void BM_AnimationTick(benchmark::State& state)
{
    Bench b;
    // A board without lines: the line check at the finish examines all 18.
    for (int k = 1; k <= 64; ++k) {
        const int row = (k - 1) / 8 + 1;
        const int column = (k - 1) % 8 + 1;
        b.form.imgBoll[k].Picture = b.form.imgBank[(row + 2 * column) % 6 + 1].Picture;
    }
    for (auto _ : state) {
        if (!b.form.swapRunning())
            b.form.mouseDownAt(1, 0, 376.0f, 352.0f);
        b.form.Timer1_Timer();
    }
}
BENCHMARK(BM_AnimationTick);

void BM_CheckLinesWithoutACompleteLine(benchmark::State& state)
{
    Bench b;
    for (int k = 1; k <= 64; ++k)
        b.form.imgBoll[k].Picture = b.form.imgBank[(k + (k - 1) / 8) % 6 + 1].Picture;
    for (auto _ : state)
        b.form.CheckLines();
}
BENCHMARK(BM_CheckLinesWithoutACompleteLine);

void BM_CheckLinesOnAnAllEqualBoard(benchmark::State& state)
{
    Bench b;
    for (auto _ : state) {
        state.PauseTiming();
        for (int k = 1; k <= 64; ++k)
            b.form.imgBoll[k].Picture = b.form.imgBank[1].Picture;
        state.ResumeTiming();
        b.form.CheckLines();
    }
}
BENCHMARK(BM_CheckLinesOnAnAllEqualBoard);

void BM_Deal(benchmark::State& state)
{
    Bench b;
    for (auto _ : state)
        b.form.mnuNytt_Click();
}
BENCHMARK(BM_Deal);

// The six tiles at one side in device pixels: 32 at 1x, 40 at 1.25x, 84 on a
// phone at 2.625x, 127 on a tablet at 3.96x; the second argument 1 for the
// symbols.
void BM_PaintSixTiles(benchmark::State& state)
{
    const auto size = static_cast<int>(state.range(0));
    const auto look = state.range(1) ? tiles::Look::Symbols : tiles::Look::Plain;
    for (auto _ : state) {
        for (int picture = 1; picture <= 6; ++picture)
            benchmark::DoNotOptimize(tiles::paintTile(picture, size, look));
    }
}
BENCHMARK(BM_PaintSixTiles)->ArgsProduct({{32, 40, 84, 127}, {0, 1}})->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace pellorin
