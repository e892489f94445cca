// The game window: its design, its shared state and all of its handlers.
//
// The board is not an array beside the screen: it is the 64 ball sprites
// themselves, and a cell's colour is the bank picture its sprite shows. The
// handlers talk to each other through the window-level variables below, named
// as the rest of the game refers to them. Handlers live in the folder of their
// subsystem (board/, input/, animation/, lines/); this file ties them together.
#pragma once

#include "platform/services.h"
#include "platform/sprite.h"
#include "platform/timer.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace pellorin {

class Form1 {
public:
    explicit Form1(Services services);

    // The client area, in pixels: the black ground the sprites stand on.
    static constexpr int ClientWidth = 414;
    static constexpr int ClientHeight = 413;

    // --- Controls of the design -------------------------------------------
    Timer Timer2;
    Timer Timer1;
    SpriteFamily imgBoll; // 0: hidden template and scratch holder; 1..64: the board
    SpriteFamily imgBank; // 1..6: the six ball pictures, never shown; 0: unused

    // --- Window-level variables -------------------------------------------
    double Row = 0;
    double Col = 0;
    double BallNo = 0; // loop counter; during a swap, the pair's first ball
    std::array<double, 65> HomeLeft{};
    std::array<double, 65> HomeTop{};
    bool Flag = false;
    std::int32_t SoundResult = 0;

    // --- Handlers, by the file that holds them -----------------------------
    // window/form1.cpp
    void Form_Load();
    void mnuAvsluta_Click();
    // board/buildboard.cpp
    void BuildBoard();
    void mnuNytt_Click();
    // input/form_mousedown.cpp
    void Form_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    // input/form_mousemove.cpp
    void Form_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void imgBoll_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X, float Y);
    // animation/timer_timer.cpp
    void Timer1_Timer();
    void Timer2_Timer();
    // lines/checklines.cpp
    void CheckLines();

    // --- Event routing ------------------------------------------------------
    // A point covered by a visible sprite belongs to that sprite's family;
    // every other point of the client area belongs to the window.
    void mouseDownAt(std::int16_t button, std::int16_t shift, float x, float y);
    void mouseMoveAt(std::int16_t button, std::int16_t shift, float x, float y);

    // The window is destroyed: its timers stop and no handler runs again.
    void unloadWindow();
    bool isUnloaded() const { return m_unloaded; }

    bool swapRunning() const { return Timer1.Enabled || Timer2.Enabled; }

    // Whole-number counters held in doubles become indices by rounding.
    static int toIndex(double counter) { return static_cast<int>(std::lround(counter)); }

private:
    enum class Axis { Vertical, Horizontal };

    void swapTick(Axis axis);
    void abandonSwap();
    void moveBy(int ball, Axis axis, float delta);
    void setCursorUnlessAlready(CursorCode code);
    void startSwap(Timer& timer);
    void playCue(Cue cue);

    enum class Gap { None, Vertical, Horizontal };
    Gap findGap(float X, float Y);
    bool verticalGapHit(float X, float Y) const;
    bool horizontalGapHit(float X, float Y) const;
    bool betweenRowsOutsideColumn(float X, float Y) const;
    bool betweenRows(float Y) const;

    enum class Line { Column, Row, MainDiagonal, AntiDiagonal };
    void checkLine(Line line);
    void placeLineCounters(Line line, int step);
    int lineReferenceCell(Line line) const;

    Services m_services;
    bool m_unloaded = false;
};

} // namespace pellorin
