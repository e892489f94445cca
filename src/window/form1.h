// The game window: its design, its shared state and all of its handlers.
//
// The board is not an array beside the screen: it is the 64 ball sprites
// themselves, and a cell's colour is the bank picture its sprite shows. The
// handlers talk to each other through the window-level variables below, named
// as the rest of the game refers to them. Handlers live in the folder of their
// subsystem (board/, input/, animation/, lines/); this file ties them together.
#pragma once

#include "board/board.h"
#include "design/design.h"
#include "platform/drawing.h"
#include "platform/services.h"
#include "platform/sprite.h"
#include "platform/timer.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace pellorin {

class Form1 {
public:
    explicit Form1(Services services);

    // --- Controls of the design -------------------------------------------
    Timer Timer2;
    Timer Timer1;
    SpriteFamily imgBoll; // 0: hidden template and scratch holder; 1..64: the board
    SpriteFamily imgBank; // 1..6: the six ball pictures, never shown; 0: unused

    // --- Window-level variables -------------------------------------------
    // The handlers share these. Each line says who writes, who reads, and what
    // the variable holds between handlers.
    //
    // Row, Col: written by BuildBoard and CheckLines as their loop counters,
    // read only inside those loops; between handlers they hold where the last
    // loop stopped, which nothing reads.
    double Row = 0;
    double Col = 0;
    // BallNo: written by BuildBoard, mnuNytt_Click, Form_MouseDown and
    // Form_MouseMove as their scan counter; Form_MouseDown leaves the pair's
    // first ball in it and Timer1_Timer/Timer2_Timer read it, so during a swap
    // it names the running pair (a deal or a move during a swap overwrites
    // it, which is why those scans are kept out of a running swap or end it).
    double BallNo = 0;
    // HomeLeft, HomeTop: written once by BuildBoard; read by the ticks and by
    // a deal to put balls home. They hold each ball's home cell, for good.
    std::array<double, 65> HomeLeft{};
    std::array<double, 65> HomeTop{};
    // Flag: two meanings, one per writer. Form_MouseDown sets it False and the
    // ticks set it True at half way: between ticks it says whether the
    // colours have been exchanged yet. Inside CheckLines it says whether every
    // cell of the line so far matches; after CheckLines it is left at the
    // last line's answer, and the next press resets it before any tick reads it.
    bool Flag = false;
    // SoundResult: written by every cue request (a press, a deal, a clear);
    // read by nobody. It holds the last request's result.
    std::int32_t SoundResult = 0;
    // Emptied: CheckLines adds every line it empties, with its number (a
    // column's or row's, 1 for a diagonal); the runner reads and clears it
    // after each handler, for the words a screen reader says.
    struct EmptiedLine {
        board::Line line;
        int number;
        friend bool operator==(const EmptiedLine&, const EmptiedLine&) = default;
    };
    std::vector<EmptiedLine> Emptied;

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
    // input/swipe.cpp: a swipe that starts on a tile and ends beyond it,
    // more than a third of a tile towards a neighbour, stands for a press in
    // the middle of the gap between the two; any other swipe for nothing.
    std::optional<ClientPoint> swipeGap(ClientPoint from, ClientPoint to) const;
    // The middle of the gap between a ball and its right or lower neighbour,
    // as the two stand now: where a press swaps them.
    ClientPoint gapMiddle(int first, int second) const;
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
    void closeWindow();
    bool isClosed() const { return m_closed; }

    bool swapRunning() const { return Timer1.Enabled || Timer2.Enabled; }

    // The bank index, 1 to 6, of the picture ball k shows; 0 for none, or for
    // no such ball.
    int colourOf(int k) const { return imgBoll.exists(k) && imgBoll[k].Picture ? imgBoll[k].Picture->bankIndex : 0; }

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

    using Line = board::Line;
    void checkLine(Line line);
    void placeLineCounters(Line line, int step);
    int lineReferenceCell(Line line) const;

    Services m_services;
    bool m_closed = false;
};

} // namespace pellorin
