// The window's client area: paints the visible sprites on black, delivers
// presses and moves in client pixels, and shows the window's cursor.
#pragma once

#include "window/game.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <vector>

namespace pellorin {

class BoardView final : public QWidget {
    Q_OBJECT

public:
    explicit BoardView(QWidget* parent = nullptr);

    // What paints the client area: the game window's sprites on black. The
    // bank's pictures are made drawable; their renderings load when first
    // drawn.
    void setGame(const Game* game);

    // Shows one of the game's cursors over the whole client area.
    void showCursor(CursorCode code) { setCursor(cursorShape(code)); }

    static Qt::CursorShape cursorShape(CursorCode code);

signals:
    void pressed(std::int16_t button, std::int16_t shift, QPointF position);
    void moved(std::int16_t button, std::int16_t shift, QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // A picture drawn at 1, 2 or 3 device pixels per logical pixel. Only the
    // scales that a screen asks for are ever loaded.
    struct Renderings {
        const PictureData* picture = nullptr;
        std::array<QPixmap, 3> byScale;
    };
    const QPixmap* pixmapFor(const PictureData* picture, qreal devicePixelRatio);
    class Painter;

    const Game* m_game = nullptr;
    std::vector<Renderings> m_pictures;
};

} // namespace pellorin
