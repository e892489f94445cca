// The game's top-level window: the menu, the client area, the real timers,
// the cursor and the sound: the Qt frontend of the toolkit-free Game.
#pragma once

#include "platform/clockrandom.h"
#include "platform/frontend.h"
#include "shell/qt/boardview.h"
#include "shell/qt/lazysound.h"
#include "window/game.h"

#include <QIcon>
#include <QMainWindow>
#include <QTimer>

#include <array>
#include <memory>

class QAction;

namespace pellorin {

class MainWindow final : public QMainWindow, private Frontend {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // The random source may be replaced, for tests that need a known board;
    // the tiles are plain or carry their colour's symbol.
    explicit MainWindow(std::unique_ptr<RandomSource> random = std::make_unique<ClockRandom>(),
                        tiles::Look look = tiles::Look::Plain, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The game's icon at every size it is drawn in, and at the small sizes a
    // title bar shows, which the core paints at once.
    static QIcon applicationIcon();
    static QIcon titleBarIcon();

    // Places the whole window, its frame included, in the middle of its
    // screen: the client area at once, and the frame as soon as the window
    // manager has framed the window and its size is known. Not for Wayland,
    // where the compositor places windows.
    void centreOnScreen();

    const Game& game() const { return *m_game; }
    BoardView* boardView() const { return m_view; }
    // The sound module is in, once the first frame has shown.
    bool soundLoaded() const { return m_sound.loaded(); }
    // The menu's item that runs a command.
    QAction* menuAction(design::Command command) const;

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
    void announce(const std::string& words) override;
    void focusCell(int cell) override;
    void cellsRenamed(std::span<const int> cells) override;
    QTimer& timer(TimerId id) { return m_timers[timerIndex(id)]; }
    void buildMenu();
    void firstFrameShown();

    // First, as event() reads it while the children below are being made.
    bool m_centringFrame = false; // centreOnScreen() waits for the frame's size
    LazySoundPlayer m_sound;
    BoardView* m_view = nullptr;
    std::unique_ptr<Game> m_game;
    std::array<QTimer, AllTimers.size()> m_timers;
    QTimer m_frameWait; // how long centreOnScreen() waits for a frame at most
};

} // namespace pellorin
