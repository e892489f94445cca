// The fake platform for driving the game window by hand: scripted random
// values, recorded sound requests and cursor writes, timers ticked by the test.
#pragma once

#include "board/board.h"
#include "fakeplatform.h"
#include "window/form1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string_view>
#include <vector>

namespace pellorin::testing {

class FakeRandom final : public RandomSource {
public:
    void seedFromClock() override { ++seeds; }
    float next() override
    {
        ++draws;
        if (!script.empty()) {
            const float u = script.front();
            script.pop_front();
            return u;
        }
        if (fallback)
            return fallback();
        ADD_FAILURE() << "a random value was drawn that the test did not script (draw " << draws << ")";
        return 0.0f;
    }

    // A value that gives bank index r under the colour rule.
    static float valueFor(int r) { return (static_cast<float>(r) - 0.5f) / board::Colours; }
    void scriptColours(std::initializer_list<int> colours)
    {
        for (const int r : colours)
            script.push_back(valueFor(r));
    }

    std::deque<float> script;
    std::function<float()> fallback; // used once the script runs out
    int seeds = 0;
    int draws = 0;
};

// A game window over the fake platform. Random values not scripted come from
// a fixed cycle that leaves no complete line on a dealt board.
struct Game {
    FakeRandom random;
    FakeSound sound;
    FakeCursor cursor;
    FakeHost host;
    Form1 form{Services{random, sound, cursor, host}};

    // Loads the window with a board on which no line is complete.
    void load()
    {
        random.script.clear();
        for (int k = 1; k <= board::Balls; ++k)
            random.script.push_back(FakeRandom::valueFor(patternColour(k)));
        form.Form_Load();
        sound.requests.clear();
        random.draws = 0;
    }

    // ((row + 2 column) mod 6) + 1: no row, column or main diagonal is uniform.
    static int patternColour(int k)
    {
        const auto [row, column] = board::cellOf(k);
        return (row + 2 * column) % board::Colours + 1;
    }

    // Sets every cell from 64 digits 1..6, row by row; blanks are skipped.
    void paint(std::string_view digits)
    {
        int k = 0;
        for (const char d : digits) {
            if (d < '1' || d > '6')
                continue;
            form.imgBoll[++k].Picture = form.imgBank[d - '0'].Picture;
        }
        ASSERT_EQ(k, board::Balls) << "a board needs 64 cells";
    }

    // The bank index a cell shows, or 0 for no bank picture.
    int colour(int k) const
    {
        for (int r = 1; r <= board::Colours; ++r)
            if (form.imgBoll[k].Picture == form.imgBank[r].Picture)
                return r;
        return 0;
    }

    std::vector<int> colours() const
    {
        std::vector<int> all;
        for (int k = 1; k <= board::Balls; ++k)
            all.push_back(colour(k));
        return all;
    }

    void press(float x, float y, std::int16_t button = 1, std::int16_t shift = 0)
    {
        form.mouseDownAt(button, shift, x, y);
    }
    void move(float x, float y) { form.mouseMoveAt(0, 0, x, y); }

    // One tick of whichever timer runs, as the shell delivers it.
    void tick()
    {
        if (form.Timer1.Enabled)
            form.Timer1_Timer();
        else if (form.Timer2.Enabled)
            form.Timer2_Timer();
    }

    // Ticks until the swap ends; returns the number of ticks it took.
    int finishSwap(int limit = 100)
    {
        int ticks = 0;
        while (form.swapRunning() && ticks < limit) {
            tick();
            ++ticks;
        }
        return ticks;
    }
};

} // namespace pellorin::testing
