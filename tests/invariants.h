// The invariants of the board that hold after every event, whatever the
// player does: shared by the random play through the core and through the
// real window.
#pragma once

#include "board/board.h"
#include "window/form1.h"

#include <string>
#include <vector>

namespace pellorin::testing {

inline bool isBankPicture(const std::vector<Sprite>& bank, const PictureRef& picture)
{
    for (int r = 1; r <= board::Colours; ++r)
        if (picture && picture == bank[static_cast<std::size_t>(r)].Picture)
            return true;
    return false;
}

// What is broken, or "" when all holds. bank is the picture bank as the
// window was created.
inline std::string brokenInvariant(const Form1& f, const std::vector<Sprite>& bank, CursorCode cursor)
{
    if (f.Timer1.Enabled && f.Timer2.Enabled)
        return "both timers are enabled";
    if (cursor != CursorCode::Default && cursor != CursorCode::SizeNS && cursor != CursorCode::SizeWE
        && cursor != CursorCode::NoDrop)
        return "cursor code " + std::to_string(static_cast<int>(cursor));

    int first = 0, partner = 0;
    if (f.swapRunning()) {
        first = Form1::toIndex(f.BallNo);
        const bool vertical = f.Timer1.Enabled;
        const bool onBoard = vertical ? first >= 1 && first <= 56 : first >= 1 && first <= 63 && first % 8 != 0;
        if (!onBoard || f.BallNo != first)
            return "a swap runs with BallNo " + std::to_string(f.BallNo);
        partner = first + (vertical ? board::BelowOffset : board::RightOffset);
        const Sprite& a = f.imgBoll[first];
        const Sprite& b = f.imgBoll[partner];
        const auto offset = [&](const Sprite& s, int k, bool alongAxis) {
            return (vertical == alongAxis) ? s.Top - static_cast<float>(f.HomeTop[k])
                                           : s.Left - static_cast<float>(f.HomeLeft[k]);
        };
        const float alongA = offset(a, first, true);
        const float alongB = offset(b, partner, true);
        if (alongA != -alongB || alongA < 0 || alongA > 20 || offset(a, first, false) != 0
            || offset(b, partner, false) != 0)
            return "the swapping pair is out of step";
        if (!a.Visible || !b.Visible || !isBankPicture(bank, a.Picture) || !isBankPicture(bank, b.Picture))
            return "a swapping ball is hidden or shows no bank picture";
    }
    for (int k = 1; k <= board::Balls; ++k) {
        if (k == first || k == partner)
            continue;
        const Sprite& ball = f.imgBoll[k];
        if (ball.Left != board::homeLeft((k - 1) % 8 + 1) || ball.Top != board::homeTop((k - 1) / 8 + 1))
            return "ball " + std::to_string(k) + " is away from home";
        if (!ball.Visible || !isBankPicture(bank, ball.Picture))
            return "ball " + std::to_string(k) + " is hidden or empty at rest";
    }
    for (int k = 1; k <= board::Balls; ++k)
        if (f.HomeLeft[k] != board::homeLeft((k - 1) % 8 + 1) || f.HomeTop[k] != board::homeTop((k - 1) / 8 + 1))
            return "the home of ball " + std::to_string(k) + " changed";
    const Sprite& scratch = f.imgBoll[0];
    if (scratch.Visible || scratch.Picture || scratch.Left != 261.0f || scratch.Top != 500.0f)
        return "sprite 0 was shown, moved or left holding a picture";
    for (int r = 0; r <= board::Colours; ++r)
        if (!(f.imgBank[r] == bank[static_cast<std::size_t>(r)]))
            return "bank sprite " + std::to_string(r) + " changed";
    return {};
}

} // namespace pellorin::testing
