// The game's window on Windows: a fixed frame with the menu, a client area
// painted double-buffered with GDI, the pointer, the cursor, the timers and
// the sound: the Win32 frontend of the toolkit-free Game.
#pragma once

#include "accessible.h"
#include "cueplayer.h"
#include "platform/frontend.h"
#include "system.h"
#include "ticker.h"
#include "tiles.h"
#include "window/game.h"

#include <windows.h>

#include <memory>

namespace pellorin::win32 {

class GameWindow final : public Frontend {
public:
    GameWindow(HINSTANCE instance, const DpiFunctions& dpi, tiles::Look look);
    ~GameWindow() override;
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;
    GameWindow(GameWindow&&) = delete;
    GameWindow& operator=(GameWindow&&) = delete;

    // Makes the window, deals the board and shows the window centred in the
    // work area of the screen it opens on, its title bar inside it; throws
    // Failure when the window or its timers cannot be made.
    void open(int showCommand);

    // Runs the window's messages until it is gone; returns the exit status.
    static int run();

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

    void paint();
    void pointer(UINT message, WPARAM wParam, LPARAM lParam);
    // The frame's size for a client area of the design at this DPI.
    SIZE frameSize(UINT dpi) const;
    static DeviceScale scaleAt(UINT dpi) { return DeviceScale(dpi / 96.0); }

    HINSTANCE m_instance;
    DpiFunctions m_dpiFunctions;
    tiles::Look m_look;
    HWND m_window = nullptr;
    DeviceScale m_scale;
    CursorCode m_cursor = CursorCode::Default;
    Tiles m_tiles;
    CuePlayer m_cues;
    std::unique_ptr<Ticker> m_ticker;
    std::unique_ptr<Game> m_game;
    // Shared with screen readers, which may hold it after the window has gone.
    BoardAccessible* m_accessible = nullptr;
};

} // namespace pellorin::win32
