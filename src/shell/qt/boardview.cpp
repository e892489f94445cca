// The window's client area: paints the visible sprites on black, delivers
// presses and moves in client pixels, and shows the window's cursor.
#include "shell/qt/boardview.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace pellorin {
namespace {

// Mouse buttons and modifier keys as the handlers receive them.
std::int16_t buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

std::int16_t buttonsCode(Qt::MouseButtons buttons)
{
    return static_cast<std::int16_t>((buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
                                     | (buttons & Qt::MiddleButton ? 4 : 0));
}

std::int16_t shiftCode(Qt::KeyboardModifiers modifiers)
{
    return static_cast<std::int16_t>((modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
                                     | (modifiers & Qt::AltModifier ? 4 : 0));
}

} // namespace

BoardView::BoardView(QWidget* parent) : QWidget(parent)
{
    setFixedSize(Form1::ClientWidth, Form1::ClientHeight);
    setAttribute(Qt::WA_OpaquePaintEvent); // every paint covers its whole region
    setMouseTracking(true);                // moves without a button held too
    setCursor(cursorShape(m_cursor));
}

void BoardView::addPicture(const PictureRef& picture)
{
    m_pictures.push_back(Renderings{picture.get(), {}});
}

const QPixmap* BoardView::pixmapFor(const PictureData* picture, qreal devicePixelRatio)
{
    const auto found = std::find_if(m_pictures.begin(), m_pictures.end(),
                                    [picture](const Renderings& r) { return r.picture == picture; });
    if (found == m_pictures.end())
        return nullptr;
    const int scale = renderingScale(devicePixelRatio);
    QPixmap& pixmap = found->byScale[static_cast<std::size_t>(scale - 1)];
    if (pixmap.isNull()) {
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
        pixmap.load(QStringLiteral(":/tiles/%1%2.png").arg(QString::fromStdString(picture->name), suffix));
        pixmap.setDevicePixelRatio(scale);
    }
    return &pixmap;
}

// The game's canvas on a QPainter: tiles drawn from the rendering that suits
// the screen's pixel density.
class BoardView::Painter final : public Canvas {
public:
    Painter(BoardView& view, QPainter& painter) : m_view(view), m_painter(painter) {}

    void clear(const Area& area) override
    {
        m_painter.fillRect(QRectF(area.left, area.top, area.width, area.height), Qt::black);
    }
    void draw(const PictureData& picture, const Area& area) override
    {
        if (const QPixmap* pixmap = m_view.pixmapFor(&picture, m_view.devicePixelRatioF()))
            m_painter.drawPixmap(QPointF(area.left, area.top), *pixmap);
    }

private:
    BoardView& m_view;
    QPainter& m_painter;
};

void BoardView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect dirty = event->rect();
    const Area area{static_cast<float>(dirty.x()), static_cast<float>(dirty.y()), static_cast<float>(dirty.width()),
                    static_cast<float>(dirty.height())};
    if (!m_runner) {
        painter.fillRect(dirty, Qt::black);
        return;
    }
    Painter canvas(*this, painter);
    m_runner->paint(area, canvas);
}

void BoardView::mousePressEvent(QMouseEvent* event)
{
    emit pressed(buttonCode(event->button()), shiftCode(event->modifiers()), event->position());
}

void BoardView::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(buttonsCode(event->buttons()), shiftCode(event->modifiers()), event->position());
}

void BoardView::set(CursorCode code)
{
    m_cursor = code;
    setCursor(cursorShape(code));
}

Qt::CursorShape BoardView::cursorShape(CursorCode code)
{
    switch (code) {
    case CursorCode::SizeNS:
        return Qt::SizeVerCursor;
    case CursorCode::SizeWE:
        return Qt::SizeHorCursor;
    case CursorCode::NoDrop:
        return Qt::ForbiddenCursor;
    case CursorCode::Default:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace pellorin
