// The game's window on Windows: a fixed frame with the menu, a client area
// painted double-buffered with GDI, the pointer, the keys, the timers, the
// sound and the screen reader's objects: the Win32 frontend of the
// toolkit-free Game. Its parts live in files by what they do: the window and
// its placement (gamewindow.cpp), input (windowinput.cpp), painting
// (windowpaint.cpp) and what a screen reader is told (windowreader.cpp).
#pragma once

#include "accessible.h"
#include "cueplayer.h"
#include "failure.h"
#include "notifier.h"
#include "platform/frontend.h"
#include "system.h"
#include "ticker.h"
#include "tiles.h"
#include "window/game.h"

#include <windows.h>

#include <memory>
#include <optional>

namespace pellorin::win32 {

class GameWindow final : public Frontend {
public:
    // timerRefusals: how many timer starts to refuse as if Windows refused
    // them, for the tests of that failure; 0 in play.
    GameWindow(HINSTANCE instance, const DpiFunctions& dpi, tiles::Look look, int timerRefusals = 0);
    ~GameWindow() override;
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;
    GameWindow(GameWindow&&) = delete;
    GameWindow& operator=(GameWindow&&) = delete;

    // Makes the window, deals the board and shows the window centred in the
    // work area of the screen it opens on, its title bar inside it; throws
    // Failure when the window, its menu or its timers cannot be made, or its
    // screen cannot be read.
    void open(int showCommand);

    // Runs the window's messages until it is gone; returns the exit status.
    // A failure that ended the game is then in failure().
    int run();
    const std::optional<Failure>& failure() const { return m_failure; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Frontend
    void invalidate(const Area& area) override;
    void showCursor(CursorCode code) override;
    void startTicking(TimerId timer, int intervalMs) override;
    void stopTicking(TimerId timer) override;
    std::int32_t play(Cue cue) override { return m_cues.play(cue); }
    void closeWindow() override;
    void announce(const std::string& words) override;
    void focusCell(int cell) override;
    void cellsRenamed(std::span<const int> cells) override;

    // windowinput.cpp
    void pointer(UINT message, WPARAM wParam, LPARAM lParam);
    bool keyDown(WPARAM virtualKey, LPARAM lParam);
    // windowpaint.cpp
    void paint();
    // windowreader.cpp: the board's object for MSAA, the focus given back to
    // the cursor's cell, a cell activated by a screen reader.
    LRESULT accessibleObject(WPARAM wParam, LPARAM lParam);
    void focusRegained();
    void activated(int cell);
    void disconnectReaders();

    // The game ends with a message instead of going on without something it
    // needs: the window goes, and the message is shown once it has.
    void fail(Failure failure);
    // The frame's size for a client area of the design at this DPI.
    SIZE frameSize(UINT dpi) const;
    static DeviceScale scaleAt(UINT dpi) { return DeviceScale(dpi / 96.0); }

    HINSTANCE m_instance;
    DpiFunctions m_dpiFunctions;
    tiles::Look m_look;
    int m_timerRefusals;
    HWND m_window = nullptr;
    DeviceScale m_scale;
    CursorCode m_cursor = CursorCode::Default;
    Tiles m_tiles;
    CuePlayer m_cues;
    std::unique_ptr<Ticker> m_ticker;
    std::unique_ptr<Game> m_game;
    // Shared with screen readers, which may hold them after the window has
    // gone.
    BoardAccessible* m_accessible = nullptr;
    std::unique_ptr<Notifier> m_notifier;
    std::optional<Failure> m_failure;
};

} // namespace pellorin::win32
