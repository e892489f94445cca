// The game's top-level window: the menu, the client area, the real timers,
// the cursor and the sound: the Qt frontend of the toolkit-free Game.
#include "shell/qt/mainwindow.h"

#include "shell/qt/boardaccessible.h"
#include "shell/qt/tileimage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>

#include <chrono>

namespace pellorin {
namespace {
constexpr Qt::WindowStates EnlargedStates = Qt::WindowMaximized | Qt::WindowFullScreen;
// How long a window manager may take to frame the window at start-up.
constexpr std::chrono::milliseconds FrameWait{2000};

// A rectangle of the given size in the middle of the widget's screen.
QRect centredOnScreen(const QWidget& widget, QSize size)
{
    return QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, widget.screen()->availableGeometry());
}
} // namespace

MainWindow::MainWindow(std::unique_ptr<RandomSource> random, tiles::Look look, QWidget* parent)
    : QMainWindow(parent)
    , m_view(new BoardView(this))
{
    setWindowTitle(QStringLiteral("Pellorin"));
    setWindowIcon(titleBarIcon());
    // A fixed window: no maximise button where the platform draws one from
    // these hints, and minimum and maximum sizes that are the same, which
    // tells the desktop not to offer a resizing border.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setCentralWidget(m_view);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_game = std::make_unique<Game>(static_cast<Frontend&>(*this), std::move(random), look);
    m_view->setGame(m_game.get());
    m_view->setFocus(); // the keys that play the board go to it from the start
    buildMenu();

    m_frameWait.setParent(this);
    m_frameWait.setObjectName(QStringLiteral("frameWait"));
    m_frameWait.setSingleShot(true);
    connect(&m_frameWait, &QTimer::timeout, this, [this] { m_centringFrame = false; });

    for (const TimerId id : AllTimers) {
        // Children known by the names of the window's timers, for a test that
        // acts in the same turn as a tick.
        timer(id).setParent(this);
        timer(id).setObjectName(id == TimerId::Timer1 ? QStringLiteral("Timer1") : QStringLiteral("Timer2"));
        timer(id).setTimerType(Qt::PreciseTimer);
        connect(&timer(id), &QTimer::timeout, this, [this, id] { m_game->tick(id); });
    }

    connect(m_view, &BoardView::keyed, this,
            [this](design::Key key, std::int16_t shift, bool repeat) { m_game->key(key, shift, repeat); });
    connect(m_view, &BoardView::activated, this, [this](int cell) { m_game->activate(cell); });
    connect(m_view, &BoardView::pressed, this, [this](std::int16_t button, std::int16_t shift, QPointF at) {
        m_game->press(button, shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
    });
    connect(m_view, &BoardView::moved, this, [this](std::int16_t button, std::int16_t shift, QPointF at) {
        m_game->move(button, shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
    });

    connect(m_view, &BoardView::firstPainted, this, &MainWindow::firstFrameShown, Qt::QueuedConnection);

    // The board is built before the window is first shown, so the first frame
    // already shows it.
    m_game->load();
}

// The board leaves the game before the game goes: a screen reader may still
// ask the board's cells about it until the board itself is destroyed.
MainWindow::~MainWindow()
{
    m_view->setGame(nullptr);
}

// The menu as the core designs it: captions with their access keys, the
// separator, and the commands the items run.
void MainWindow::buildMenu()
{
    const auto text = [](std::string_view caption) {
        return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    };
    QMenu* menu = menuBar()->addMenu(text(design::Menu.caption));
    menu->setObjectName(text(design::Menu.name));
    for (const design::MenuItem& item : design::MenuItems) {
        QAction* action
            = item.command == design::Command::None ? menu->addSeparator() : menu->addAction(text(item.caption));
        action->setObjectName(text(item.name));
        action->setData(static_cast<int>(item.command));
        if (item.command != design::Command::None)
            connect(action, &QAction::triggered, this, [this, command = item.command] { m_game->command(command); });
    }
}

QAction* MainWindow::menuAction(design::Command command) const
{
    for (QAction* action : findChildren<QAction*>())
        if (!action->isSeparator() && action->data() == static_cast<int>(command))
            return action;
    return nullptr;
}

QIcon MainWindow::applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/pellorin-%1.png").arg(size), QSize(size, size));
    return icon;
}

// The sizes a title bar and a task bar show at ratio 1, painted by the core
// as they are in the files: a few hundred microseconds, where reading the
// files first loads Qt's image readers.
QIcon MainWindow::titleBarIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48})
        if (const auto painted = tiles::paintIcon(size))
            icon.addPixmap(QPixmap::fromImage(tileImage(*painted)));
    return icon;
}

// What the first frame does not need waits until it shows: the sound, whose
// first cue (the deal's) plays now, and the icon's large sizes, for window
// switchers and screens of high density.
void MainWindow::firstFrameShown()
{
    m_sound.load();
    const QIcon icon = applicationIcon();
    QApplication::setWindowIcon(icon);
    setWindowIcon(icon);
}

void MainWindow::centreOnScreen()
{
    adjustSize();
    setGeometry(centredOnScreen(*this, size()));
    m_centringFrame = true;
    m_frameWait.start(FrameWait);
}

// A reparenting window manager frames the window as it first shows it, and
// the frame's size is known from then on, by the first paint at the latest:
// the window is then placed again so that the frame stands centred. Without
// such a manager there is nothing to wait for, and the waiting ends.
bool MainWindow::event(QEvent* event)
{
    if (m_centringFrame && frameGeometry().size() != size()) {
        m_centringFrame = false;
        m_frameWait.stop(); // nothing left to wait for: an idle window wakes up no more
        move(centredOnScreen(*this, frameGeometry().size()).topLeft());
    }
    return QMainWindow::event(event);
}

void MainWindow::invalidate(const Area& area)
{
    m_view->update(QRectF(area.left, area.top, area.width, area.height).toAlignedRect());
}

void MainWindow::announce(const std::string& words)
{
    announceOnBoard(*m_view, QString::fromStdString(words));
}

void MainWindow::focusCell(int cell)
{
    focusBoardCell(*m_view, cell);
}

void MainWindow::cellsRenamed(std::span<const int> cells)
{
    renameBoardCells(*m_view, cells);
}

void MainWindow::showCursor(CursorCode code)
{
    m_view->showCursor(code);
}

// A timer that is switched on starts counting now, so its first tick comes
// one interval after the handler enabled it.
void MainWindow::startTicking(TimerId id, int intervalMs)
{
    timer(id).start(intervalMs);
}

void MainWindow::stopTicking(TimerId id)
{
    timer(id).stop();
}

// A maximise or full-screen request may still arrive: from a title bar that
// Qt draws itself, from a keyboard shortcut, from the compositor. The window
// leaves that state at once, so that it never claims a size it does not have.
void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & EnlargedStates))
        QMetaObject::invokeMethod(
            this, [this] { setWindowState(windowState() & ~EnlargedStates); }, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_game->closed();
    event->accept();
}

} // namespace pellorin
