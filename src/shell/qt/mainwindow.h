// The game's top-level window: the menu, the client area, the real timers,
// the cursor and the sound: the Qt frontend of the toolkit-free Game.
#pragma once

#include "platform/clockrandom.h"
#include "platform/frontend.h"
#include "shell/qt/boardview.h"
#include "shell/qt/qtsoundplayer.h"
#include "window/game.h"

#include <QIcon>
#include <QMainWindow>
#include <QTimer>

#include <memory>

class QAction;

namespace pellorin {

class MainWindow final : public QMainWindow, private Frontend {
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

    const Game& game() const { return *m_game; }
    const Form1& form() const { return m_game->form(); }
    BoardView* boardView() const { return m_view; }
    QAction* newGameAction() const { return m_newGame; }
    QAction* quitAction() const { return m_quit; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void invalidate(const Area& area) override;
    void showCursor(CursorCode code) override;
    void startTicking(TimerId id, int intervalMs) override;
    void stopTicking(TimerId id) override;
    std::int32_t play(Cue cue) override { return m_sound.play(cue); }
    void closeWindow() override { close(); }
    QTimer& timer(TimerId id) { return id == TimerId::Timer1 ? m_timer1 : m_timer2; }

    // First, as event() reads it while the children below are being made.
    bool m_centringFrame = false; // centreOnScreen() waits for the frame's size
    QtSoundPlayer m_sound;
    BoardView* m_view = nullptr;
    std::unique_ptr<Game> m_game;
    QTimer m_timer1;
    QTimer m_timer2;
    QTimer m_frameWait; // how long centreOnScreen() waits for a frame at most
    QAction* m_newGame = nullptr;
    QAction* m_quit = nullptr;
};

} // namespace pellorin
