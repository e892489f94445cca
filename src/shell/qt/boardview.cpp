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
        return design::LeftButton;
    case Qt::RightButton:
        return design::RightButton;
    case Qt::MiddleButton:
        return design::MiddleButton;
    default:
        return 0;
    }
}

std::int16_t buttonsCode(Qt::MouseButtons buttons)
{
    return static_cast<std::int16_t>((buttons & Qt::LeftButton ? design::LeftButton : 0)
                                     | (buttons & Qt::RightButton ? design::RightButton : 0)
                                     | (buttons & Qt::MiddleButton ? design::MiddleButton : 0));
}

std::int16_t shiftCode(Qt::KeyboardModifiers modifiers)
{
    return static_cast<std::int16_t>((modifiers & Qt::ShiftModifier ? design::ShiftKey : 0)
                                     | (modifiers & Qt::ControlModifier ? design::ControlKey : 0)
                                     | (modifiers & Qt::AltModifier ? design::AltKey : 0));
}

} // namespace

BoardView::BoardView(QWidget* parent) : QWidget(parent)
{
    setFixedSize(design::ClientWidth, design::ClientHeight);
    setAttribute(Qt::WA_OpaquePaintEvent); // every paint covers its whole region
    setMouseTracking(true);                // moves without a button held too
    showCursor(CursorCode::Default);
}

void BoardView::setGame(const Game* game)
{
    m_game = game;
    m_pictures.clear();
    if (!game)
        return;
    const SpriteFamily& bank = game->form().imgBank;
    for (int k = 1; k <= bank.highestIndex(); ++k)
        m_pictures.push_back(Renderings{bank[k].Picture.get(), {}});
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
        pixmap.load(QStringLiteral(":/") + QString::fromStdString(design::renderingPath(picture->name, scale)));
        pixmap.setDevicePixelRatio(scale);
    }
    return &pixmap;
}

// The game's canvas on a QPainter: tiles drawn from the rendering that suits
// the screen's pixel density. It serves one paint event, whose own region
// already clips the painter, and begins only with that event's rectangle, so
// begin() adds no clip of its own.
class BoardView::Painter final : public Canvas {
public:
    Painter(BoardView& view, QPainter& painter) : m_view(view), m_painter(painter), m_ratio(view.devicePixelRatioF())
    {
        // Only a rendering shown at another density than its own is scaled.
        if (renderingScale(m_ratio) != m_ratio)
            m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
    }

    void begin(const Area& area) override
    {
        m_painter.fillRect(QRectF(area.left, area.top, area.width, area.height), Qt::black);
    }
    void draw(const PictureData& picture, const Area& area) override
    {
        if (const QPixmap* pixmap = m_view.pixmapFor(&picture, m_ratio))
            m_painter.drawPixmap(QPointF(area.left, area.top), *pixmap);
    }
    void end() override {}

private:
    BoardView& m_view;
    QPainter& m_painter;
    const qreal m_ratio;
};

void BoardView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    if (!m_game) {
        painter.fillRect(dirty, Qt::black);
        return;
    }
    const Area area{static_cast<float>(dirty.x()), static_cast<float>(dirty.y()), static_cast<float>(dirty.width()),
                    static_cast<float>(dirty.height())};
    Painter canvas(*this, painter);
    m_game->paint(area, canvas);
}

void BoardView::mousePressEvent(QMouseEvent* event)
{
    emit pressed(buttonCode(event->button()), shiftCode(event->modifiers()), event->position());
}

void BoardView::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(buttonsCode(event->buttons()), shiftCode(event->modifiers()), event->position());
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
