// The window's client area: paints the visible sprites on black, delivers
// presses and moves in client pixels, and shows the window's cursor.
#pragma once

#include "platform/services.h"
#include "window/formrunner.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <vector>

namespace pellorin {

class BoardView final : public QWidget, public WindowCursor {
    Q_OBJECT

public:
    explicit BoardView(QWidget* parent = nullptr);

    // What paints the client area: the game window's sprites on black.
    void setRunner(const FormRunner* runner) { m_runner = runner; }

    // Makes a picture drawable; its renderings load when first drawn.
    void addPicture(const PictureRef& picture);

    CursorCode get() const override { return m_cursor; }
    void set(CursorCode code) override;

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

    const FormRunner* m_runner = nullptr;
    std::vector<Renderings> m_pictures;
    CursorCode m_cursor = CursorCode::Default;
};

} // namespace pellorin
