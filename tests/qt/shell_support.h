// Helpers for driving the real window: a scripted board and pixel checks.
#pragma once

#include "shell/qt/mainwindow.h"
#include "support/cyclerandom.h"
#include "support/gameinspector.h"

#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

// GoogleTest prints a string that differs as its words.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace pellorin::testing {

// How long a test waits for a swap that has started to end. A swap takes
// 275 ms; only a hang reaches this.
constexpr int SwapDeadlineMs = 10000;

// The window's two real timers, the children named Timer1 and Timer2.
inline QList<QTimer*> swapTimers(const MainWindow& window)
{
    return window.findChildren<QTimer*>(QRegularExpression(QStringLiteral("^Timer[12]$")));
}

// Counts the swaps that end in a window: a tick after which its timer has
// stopped. Watched through the timers, in the turn of the last tick.
class SwapEnds final : public QObject {
public:
    explicit SwapEnds(const MainWindow& window, std::function<void()> onEnd = {}) : m_onEnd(std::move(onEnd))
    {
        for (QTimer* timer : swapTimers(window))
            connect(timer, &QTimer::timeout, this, [this, timer] {
                if (timer->isActive())
                    return;
                ++m_count;
                if (m_onEnd)
                    m_onEnd();
            });
    }
    int count() const { return m_count; }
    // Runs the event loop until one more swap has ended; false at the deadline.
    bool wait(int deadlineMs = SwapDeadlineMs)
    {
        const int before = m_count;
        return QTest::qWaitFor([&] { return m_count > before; }, deadlineMs);
    }

private:
    std::function<void()> m_onEnd;
    int m_count = 0;
};

// ((row + 2 column) mod 6) + 1, row by row: no complete line anywhere.
inline std::vector<int> patternColours()
{
    std::vector<int> colours;
    for (int row = 1; row <= 8; ++row)
        for (int column = 1; column <= 8; ++column)
            colours.push_back((row + 2 * column) % 6 + 1);
    return colours;
}

inline std::unique_ptr<MainWindow> patternWindow(tiles::Look look = tiles::Look::Plain)
{
    return std::make_unique<MainWindow>(std::make_unique<CycleRandom>(patternColours()), look);
}

// The window behind the game, which the shell never sees.
inline const Form1& form(const MainWindow& window)
{
    return GameInspector::form(window.game());
}

// The face colour of bank picture 1 to 6, as the core's painter gives it.
inline QColor faceColour(int r)
{
    const Rgb face = tiles::palette()[static_cast<std::size_t>(r - 1)].face;
    return {face.red, face.green, face.blue};
}

// The bank picture, 1 to 6, whose face shows this colour; 0 for none.
inline int pictureOf(const QColor& colour)
{
    for (int r = 1; r <= static_cast<int>(tiles::palette().size()); ++r)
        if (faceColour(r) == colour)
            return r;
    return 0;
}

// The client area as it is painted now, in logical pixels at ratio 1.
inline QImage grabBoard(MainWindow& window)
{
    return window.boardView()->grab().toImage();
}

// Ball k's tile at home, in client pixels.
inline QRect tileRect(int k)
{
    const Area tile = cellArea(k);
    return QRectF(tile.left, tile.top, tile.width, tile.height).toRect();
}

// The colour at the centre-left of ball k's face (left of the diagonal, so
// clear of the faint second tone).
inline QColor faceAt(const QImage& image, int k)
{
    const Area tile = cellArea(k);
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(
        QPointF((tile.left + tile.width * 3 / 8) * ratio, (tile.top + tile.height * 7 / 16) * ratio).toPoint());
}

} // namespace pellorin::testing
