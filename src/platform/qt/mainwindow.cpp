// The game's top-level window: the menu, the client area, the real timers and
// the services the game window needs, around the toolkit-free Form1.
#include "platform/qt/mainwindow.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>

namespace pellorin {

MainWindow::MainWindow(std::unique_ptr<RandomSource> random, QWidget* parent)
    : QMainWindow(parent)
    , m_random(std::move(random))
    , m_view(new BoardView(this))
{
    setWindowTitle(QStringLiteral("Pellorin"));
    setWindowIcon(applicationIcon());
    setCentralWidget(m_view);
    layout()->setSizeConstraint(QLayout::SetFixedSize); // the border cannot resize it

    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Meny"));
    menu->setObjectName(QStringLiteral("mnuMeny"));
    m_newGame = menu->addAction(QStringLiteral("&Nytt spel"));
    m_newGame->setObjectName(QStringLiteral("mnuNytt"));
    menu->addSeparator()->setObjectName(QStringLiteral("mnuTomt"));
    m_quit = menu->addAction(QStringLiteral("&Avsluta"));
    m_quit->setObjectName(QStringLiteral("mnuAvsluta"));

    m_form = std::make_unique<Form1>(Services{*m_random, m_sound, *m_view, *this});
    m_view->setFamilies({&m_form->imgBank, &m_form->imgBoll});
    for (int k = 1; k <= m_form->imgBank.highestIndex(); ++k)
        m_view->addPicture(m_form->imgBank[k].Picture);
    m_view->installEventFilter(this);

    for (QTimer* timer : {&m_timer1, &m_timer2})
        timer->setTimerType(Qt::PreciseTimer);
    connect(&m_timer1, &QTimer::timeout, this, [this] { onTick(m_timer1, &Form1::Timer1_Timer); });
    connect(&m_timer2, &QTimer::timeout, this, [this] { onTick(m_timer2, &Form1::Timer2_Timer); });

    connect(m_newGame, &QAction::triggered, this, [this] { dispatch([this] { m_form->mnuNytt_Click(); }); });
    connect(m_quit, &QAction::triggered, this, [this] { dispatch([this] { m_form->mnuAvsluta_Click(); }); });
    connect(m_view, &BoardView::pressed, this, [this](std::int16_t button, std::int16_t shift, QPointF at) {
        dispatch([&] { m_form->mouseDownAt(button, shift, static_cast<float>(at.x()), static_cast<float>(at.y())); });
    });
    connect(m_view, &BoardView::moved, this, [this](std::int16_t button, std::int16_t shift, QPointF at) {
        dispatch([&] { m_form->mouseMoveAt(button, shift, static_cast<float>(at.x()), static_cast<float>(at.y())); });
    });

    // The board is built before the window is first shown, so the first frame
    // already shows it.
    dispatch([this] { m_form->Form_Load(); });
}

MainWindow::~MainWindow() = default;

QIcon MainWindow::applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/pellorin-%1.png").arg(size), QSize(size, size));
    return icon;
}

void MainWindow::centreOnScreen()
{
    adjustSize();
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen()->availableGeometry()));
}

void MainWindow::dispatch(const std::function<void()>& handler)
{
    if (m_form->isUnloaded())
        return;
    handler();
    repaintChanges();
    syncTimer(m_timer1, m_form->Timer1);
    syncTimer(m_timer2, m_form->Timer2);
}

void MainWindow::onTick(QTimer& real, void (Form1::*handler)())
{
    dispatch([this, handler] { (m_form.get()->*handler)(); });
    if (!real.isActive())
        emit swapFinished();
}

// A timer that is switched on starts counting now, so its first tick comes
// one interval after the handler enabled it.
void MainWindow::syncTimer(QTimer& real, const Timer& wanted)
{
    if (wanted.Enabled && !real.isActive()) {
        real.start(wanted.Interval);
        emit swapStarted();
    }
    else if (!wanted.Enabled && real.isActive())
        real.stop();
}

MainWindow::Shown MainWindow::shown(const Sprite& sprite) const
{
    if (!sprite.Visible || !sprite.Picture)
        return {};
    return {QRectF(sprite.Left, sprite.Top, sprite.Width, sprite.Height), sprite.Picture.get()};
}

// Only the sprites whose place or picture changed are repainted, in their old
// and new places; Qt merges the rectangles into one paint.
void MainWindow::repaintChanges()
{
    const SpriteFamily& balls = m_form->imgBoll;
    m_onScreen.resize(static_cast<std::size_t>(balls.highestIndex()) + 1);
    for (int k = 0; k <= balls.highestIndex(); ++k) {
        const Shown now = balls.exists(k) ? shown(balls[k]) : Shown{};
        Shown& before = m_onScreen[static_cast<std::size_t>(k)];
        if (now == before)
            continue;
        // A step of a few pixels: one rectangle covers both places.
        m_view->update(before.area.united(now.area).toAlignedRect());
        before = now;
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Watches the board only until its first paint.
    if (watched == m_view && event->type() == QEvent::Paint) {
        m_view->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &MainWindow::firstPaint, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::unload()
{
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_form->unloadWindow();
    m_timer1.stop();
    m_timer2.stop();
    event->accept();
}

} // namespace pellorin
