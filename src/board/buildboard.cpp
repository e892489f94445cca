// Building the board once at load, and dealing a new one from the menu.
#include "window/form1.h"

#include "board/board.h"

namespace pellorin {

void Form1::BuildBoard()
{
    // BallNo is not reset: this runs once, from the load handler, while the
    // counter still holds its initial 0, so it rises to the row-major index.
    for (Row = 1; Row <= board::Rows; Row += 1) {
        for (Col = 1; Col <= board::Columns; Col += 1) {
            BallNo += 1;
            const int k = toIndex(BallNo);
            imgBoll.load(k);
            Sprite& ball = imgBoll[k];
            // The home arrays keep what the sprite reports, not the expression,
            // so every later comparison with the sprite is exact.
            ball.Left = static_cast<float>((Col - 1) * board::Pitch + board::Margin);
            HomeLeft.at(k) = ball.Left;
            ball.Top = static_cast<float>((Row - 1) * board::Pitch + board::Margin);
            HomeTop.at(k) = ball.Top;
        }
    }
    mnuNytt_Click();
}

void Form1::mnuNytt_Click()
{
    // The deal reuses BallNo as its counter, which a running swap reads on
    // every tick, so a swap in progress is stopped first, its pair at home.
    if (swapRunning())
        abandonSwap();

    playCue(Cue::Clear);
    for (BallNo = 1; BallNo <= board::Balls; BallNo += 1) {
        Sprite& ball = imgBoll[toIndex(BallNo)];
        ball.Picture = imgBank[board::colourOf(m_services.random.next())].Picture;
        ball.Visible = true;
    }
}

} // namespace pellorin
