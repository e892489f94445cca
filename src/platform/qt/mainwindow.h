// The game's top-level window: the menu, the client area, the real timers and
// the services the game window needs, around the toolkit-free Form1.
#pragma once

#include "platform/clockrandom.h"
#include "platform/qt/boardview.h"
#include "platform/qt/qtsoundplayer.h"
#include "window/form1.h"

#include <QIcon>
#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QAction;

namespace pellorin {

class MainWindow final : public QMainWindow, private WindowHost {
    Q_OBJECT

public:
    // The random source may be replaced, for tests that need a known board.
    explicit MainWindow(std::unique_ptr<RandomSource> random = std::make_unique<ClockRandom>(),
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    // The game's icon at every size it is drawn in.
    static QIcon applicationIcon();

    // Places the window in the middle of its screen.
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
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void unload() override;

    // Runs one handler of the game window, then brings the screen and the
    // real timers in line with what it changed.
    void dispatch(const std::function<void()>& handler);
    void repaintChanges();
    void syncTimer(QTimer& real, const Timer& wanted);
    void onTick(QTimer& real, void (Form1::*handler)());

    // What the screen shows of a sprite, for telling what a handler changed.
    struct Shown {
        QRectF area;
        const PictureData* picture = nullptr;
        bool operator==(const Shown&) const = default;
    };
    Shown shown(const Sprite& sprite) const;

    std::unique_ptr<RandomSource> m_random;
    QtSoundPlayer m_sound;
    BoardView* m_view = nullptr;
    std::unique_ptr<Form1> m_form;
    QTimer m_timer1;
    QTimer m_timer2;
    QAction* m_newGame = nullptr;
    QAction* m_quit = nullptr;
    std::vector<Shown> m_onScreen;
};

} // namespace pellorin
