// A swipe on a touch screen, as the press it stands for.
//
// A finger covers more than a gap is wide, so a player may instead put it on
// a tile and draw it towards a neighbour. That is the press in the middle of
// the gap between the two, under the same rules as any press.
#include "window/form1.h"

#include "board/board.h"

#include <cmath>

namespace pellorin {

namespace {

bool covers(const Sprite& ball, float x, float y)
{
    return ball.Left <= x && x < ball.Left + ball.Width && ball.Top <= y && y < ball.Top + ball.Height;
}

} // namespace

std::optional<ClientPoint> Form1::swipeGap(ClientPoint from, ClientPoint to) const
{
    int start = 0;
    for (int k = 1; k <= board::Balls && start == 0; ++k) {
        if (imgBoll.exists(k) && imgBoll[k].Visible && covers(imgBoll[k], from.x, from.y))
            start = k;
    }
    if (start == 0 || covers(imgBoll[start], to.x, to.y))
        return std::nullopt;

    // The longer of the two strokes gives the direction; one of equal length
    // points at no neighbour.
    const float dx = to.x - from.x;
    const float dy = to.y - from.y;
    const bool across = std::abs(dx) > std::abs(dy);
    const float length = across ? std::abs(dx) : std::abs(dy);
    if (std::abs(dx) == std::abs(dy) || !(length > board::TileSize / 3))
        return std::nullopt;

    const auto [row, column] = board::cellOf(start);
    int first = 0; // the pair's upper or left ball
    int second = 0;
    if (across && dx > 0 && column < board::Columns)
        first = start, second = start + board::RightOffset;
    else if (across && dx < 0 && column > 1)
        first = start - board::RightOffset, second = start;
    else if (!across && dy > 0 && row < board::Rows)
        first = start, second = start + board::BelowOffset;
    else if (!across && dy < 0 && row > 1)
        first = start - board::BelowOffset, second = start;
    else
        return std::nullopt;

    return gapMiddle(first, second);
}

ClientPoint Form1::gapMiddle(int first, int second) const
{
    const Sprite& a = imgBoll[first];
    const Sprite& b = imgBoll[second];
    if (second - first == board::RightOffset)
        return ClientPoint{(a.Left + a.Width + b.Left) / 2, a.Top + a.Height / 2};
    return ClientPoint{a.Left + a.Width / 2, (a.Top + a.Height + b.Top) / 2};
}

} // namespace pellorin
