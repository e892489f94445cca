// The window's client area: paints the game in device pixels, delivers
// presses, moves and keys, and shows the window's cursor.
#include "shell/qt/boardview.h"

#include "shell/qt/boardaccessible.h"
#include "shell/qt/tileimage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

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

QRect toQRect(const DeviceRect& rect)
{
    return {rect.left, rect.top, rect.width, rect.height};
}

} // namespace

BoardView::BoardView(QWidget* parent) : QWidget(parent)
{
    setFixedSize(design::ClientWidth, design::ClientHeight);
    setAttribute(Qt::WA_OpaquePaintEvent); // every paint covers its whole region
    setMouseTracking(true);                // moves without a button held too
    setFocusPolicy(Qt::StrongFocus);       // the keys that play the board come here
    showCursor(CursorCode::Default);
    installBoardAccessibility();
}

const std::array<QImage, 6>& BoardView::tilesFor(const DeviceScale& scale)
{
    if (scale.tileSize() != m_tileSize) {
        m_tileSize = scale.tileSize();
        for (int picture = 1; picture <= static_cast<int>(m_tiles.size()); ++picture) {
            const auto tile = tiles::paintTile(picture, m_tileSize, m_game->look());
            m_tiles[static_cast<std::size_t>(picture - 1)] = tile ? tileImage(*tile) : QImage();
        }
    }
    return m_tiles;
}

// The game's canvas on a QPainter whose high-density scaling is undone, so
// that it draws in the screen's own pixels: every tile unscaled at a whole
// device pixel, and so crisp at any ratio.
class BoardView::Painter final : public Canvas {
public:
    Painter(QPainter& painter, const DeviceScale& scale, const std::array<QImage, 6>& tiles)
        : m_painter(painter)
        , m_tiles(tiles)
    {
        m_painter.setWorldTransform(QTransform::fromScale(1 / scale.value(), 1 / scale.value()));
    }

    void begin(const DeviceRect& clip) override
    {
        m_painter.setClipRect(toQRect(clip), Qt::IntersectClip);
        m_painter.fillRect(toQRect(clip), Qt::black);
    }
    void fill(const DeviceRect& rect, Rgb colour) override
    {
        m_painter.fillRect(toQRect(rect), QColor(colour.red, colour.green, colour.blue));
    }
    void drawTile(int picture, int left, int top) override
    {
        if (picture >= 1 && picture <= static_cast<int>(m_tiles.size()))
            m_painter.drawImage(QPoint(left, top), m_tiles[static_cast<std::size_t>(picture - 1)]);
    }
    void end() override { m_painter.setClipping(false); }

private:
    QPainter& m_painter;
    const std::array<QImage, 6>& m_tiles;
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
    const DeviceScale deviceScale = scale();
    Painter canvas(painter, deviceScale, tilesFor(deviceScale));
    m_game->paint(area, deviceScale, canvas);
    if (!m_painted) {
        m_painted = true;
        emit firstPainted();
    }
}

void BoardView::mousePressEvent(QMouseEvent* event)
{
    emit pressed(buttonCode(event->button()), shiftCode(event->modifiers()), event->position());
}

void BoardView::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(buttonsCode(event->buttons()), shiftCode(event->modifiers()), event->position());
}

void BoardView::keyPressEvent(QKeyEvent* event)
{
    const auto key = boardKey(event->key());
    if (!key) {
        QWidget::keyPressEvent(event);
        return;
    }
    emit keyed(*key, shiftCode(event->modifiers()), event->isAutoRepeat());
}

// The board takes the focus back (the window active again, a menu closed):
// a screen reader is told of the cursor's cell after the board itself, so
// that it stands on the cell the keys play, as it did before. Qt tells of
// the board once this handler has returned, hence the queued call.
void BoardView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (hasFocus() && m_game && m_game->keyboard().shown())
                focusBoardCell(*this, m_game->focusedCell());
        },
        Qt::QueuedConnection);
}

std::optional<design::Key> BoardView::boardKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Left:
        return design::Key::Left;
    case Qt::Key_Right:
        return design::Key::Right;
    case Qt::Key_Up:
        return design::Key::Up;
    case Qt::Key_Down:
        return design::Key::Down;
    case Qt::Key_Space:
        return design::Key::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return design::Key::Enter;
    case Qt::Key_Escape:
        return design::Key::Escape;
    default:
        return std::nullopt;
    }
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
