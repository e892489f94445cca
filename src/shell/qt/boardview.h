// The window's client area: paints the game in the screen's own pixels,
// delivers presses, moves and the keys that play the board, and shows the
// window's cursor.
#pragma once

#include "window/game.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <optional>

namespace pellorin {

class BoardView final : public QWidget {
    Q_OBJECT

public:
    explicit BoardView(QWidget* parent = nullptr);

    // What paints the client area: the game, at the screen's device pixel
    // ratio, its tiles painted by the core at that ratio's tile size.
    void setGame(const Game* game)
    {
        m_game = game;
        m_tileSize = 0;
    }
    const Game* game() const { return m_game; }

    // The game's last words, which a screen reader reads as the board's
    // notification.
    void say(const QString& words) { m_said = words; }
    const QString& said() const { return m_said; }

    // Device pixels per client pixel on the screen the board shows on now.
    DeviceScale scale() const { return DeviceScale(devicePixelRatioF()); }

    // A screen reader activated cell 1 to 64.
    void activateCell(int cell) { emit activated(cell); }

    // Shows one of the game's cursors over the whole client area.
    void showCursor(CursorCode code) { setCursor(cursorShape(code)); }

    static Qt::CursorShape cursorShape(CursorCode code);
    // The board's key for a key of the keyboard, if it plays the board.
    static std::optional<design::Key> boardKey(int qtKey);

signals:
    void pressed(std::int16_t button, std::int16_t shift, QPointF position);
    void moved(std::int16_t button, std::int16_t shift, QPointF position);
    void keyed(design::Key key, std::int16_t shift, bool repeat);
    void activated(int cell);
    // The board has been painted for the first time: the window shows.
    void firstPainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    class Painter;
    // The six tiles at the tile size of a scale, painted again only when
    // that size changes (another screen, another ratio) or the look differs.
    const std::array<QImage, 6>& tilesFor(const DeviceScale& scale);

    const Game* m_game = nullptr;
    std::array<QImage, 6> m_tiles;
    int m_tileSize = 0;
    QString m_said;
    bool m_painted = false;
};

} // namespace pellorin
