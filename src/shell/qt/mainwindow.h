// The game's top-level window: the menu, the client area, the real timers and
// the services the game window needs, around the toolkit-free Form1.
#pragma once

#include "platform/clockrandom.h"
#include "shell/qt/boardview.h"
#include "shell/qt/qtsoundplayer.h"
#include "window/form1.h"
#include "window/formrunner.h"

#include <QIcon>
#include <QMainWindow>
#include <QTimer>

#include <memory>

class QAction;

namespace pellorin {

class MainWindow final : public QMainWindow, private WindowHost, private ShellPort {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // The random source may be replaced, for tests that need a known board.
    explicit MainWindow(std::unique_ptr<RandomSource> random = std::make_unique<ClockRandom>(),
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    // The game's icon at every size it is drawn in.
    static QIcon applicationIcon();

    // Places the whole window, its frame included, in the middle of its
    // screen: the client area at once, and the frame as soon as the window
    // manager has framed the window and its size is known. Not for Wayland,
    // where the compositor places windows.
    void centreOnScreen();

    const Form1& form() const { return *m_form; }
    BoardView* boardView() const { return m_view; }
    QAction* newGameAction() const { return m_newGame; }
    QAction* quitAction() const { return m_quit; }

signals:
    // A press has started a swap.
    void swapStarted();
    // A swap has ended: its line check has returned.
    void swapFinished();
    // The first frame has been painted.
    void firstPaint();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void unload() override;
    void invalidate(const Area& area) override;
    void startTicking(TimerId id, int intervalMs) override;
    void stopTicking(TimerId id) override;
    QTimer& timer(TimerId id) { return id == TimerId::Timer1 ? m_timer1 : m_timer2; }

    // First, as event() reads it while the children below are being made.
    bool m_centringFrame = false; // centreOnScreen() waits for the frame's size
    std::unique_ptr<RandomSource> m_random;
    QtSoundPlayer m_sound;
    BoardView* m_view = nullptr;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<FormRunner> m_runner;
    QTimer m_timer1;
    QTimer m_timer2;
    QTimer m_frameWait; // how long centreOnScreen() waits for a frame at most
    QAction* m_newGame = nullptr;
    QAction* m_quit = nullptr;
};

} // namespace pellorin
