// Random play through the game window and the fake platform, checking every
// invariant of the board after every event: the engine of the random play
// test and of the events fuzzer.
#pragma once

#include "fakeplatform.h"
#include "invariants.h"

#include "platform/clockrandom.h"
#include "support/gameinspector.h"
#include "window/game.h"

#include <algorithm>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

namespace pellorin::testing {

// The game's own draws, from a seed. A narrow palette makes complete lines
// common, so the line check gets its share of the play.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint32_t seed) : m_engine(seed) {}
    void seedFromClock() override {}
    float next() override
    {
        const float u = ClockRandom::toUnit(static_cast<std::uint32_t>(m_engine()));
        return u * static_cast<float>(palette) / board::Colours;
    }
    int palette = board::Colours; // draws fall in bank indices 1..palette

private:
    std::mt19937 m_engine;
};

// Where the play's choices come from: a seeded generator for the random
// play test, the input's bytes for the fuzzer.
class Choices {
public:
    virtual ~Choices() = default;
    // A whole number in [lo, hi].
    virtual int uniform(int lo, int hi) = 0;
    // True once there is nothing left to choose from; the play then ends.
    virtual bool exhausted() const { return false; }
};

// A random source that lends another, which outlives the games it serves.
class LentRandom final : public RandomSource {
public:
    explicit LentRandom(RandomSource& random) : m_random(random) {}
    void seedFromClock() override { m_random.seedFromClock(); }
    float next() override { return m_random.next(); }

private:
    RandomSource& m_random;
};

// A frontend that keeps what a shell is told: the cues asked for, the
// closes, and the timers it runs.
struct PlayFrontend final : Frontend {
    void invalidate(const Area&) override {}
    void showCursor(CursorCode) override {}
    void startTicking(TimerId, int) override {}
    void stopTicking(TimerId) override {}
    std::int32_t play(Cue cue) override
    {
        cues.push_back(cue);
        return 1;
    }
    void closeWindow() override { ++closes; }
    int count(Cue cue) const { return static_cast<int>(std::count(cues.begin(), cues.end(), cue)); }

    std::vector<Cue> cues;
    int closes = 0;
};

// Plays events chosen by a Choices through a game over a fake frontend, its
// keyboard included, and checks every invariant after each one.
class PlayRun {
public:
    PlayRun(std::uint32_t seed, Choices& choices) : m_seed(seed), m_events(choices), m_gameRandom(seed ^ 0x9e3779b9u)
    {
        restart();
    }

    // Plays up to count events; returns the first broken invariant, or "".
    std::string play(long count)
    {
        for (m_event = 1; m_event <= count && !m_events.exhausted(); ++m_event) {
            try {
                step();
                check();
            } catch (const std::exception& e) {
                fail(std::string("exception: ") + e.what());
            }
            if (!m_failure.empty())
                return m_failure;
        }
        return {};
    }

    long swapsFinished = 0;
    long swapsAbandoned = 0;
    long linesCleared = 0;

private:
    struct Window {
        PlayFrontend frontend;
        std::unique_ptr<pellorin::Game> game;
    };

    void restart()
    {
        m_window = std::make_unique<Window>();
        m_window->game
            = std::make_unique<pellorin::Game>(m_window->frontend, std::make_unique<LentRandom>(m_gameRandom));
        game().load();
        m_bank.clear();
        for (int r = 0; r <= board::Colours; ++r)
            m_bank.push_back(form().imgBank[r]);
        m_swap = {};
    }

    pellorin::Game& game() { return *m_window->game; }
    const Form1& form() { return GameInspector::form(game()); }

    int uniform(int lo, int hi) { return m_events.uniform(lo, hi); }

    // Points weighted towards the edges of the gaps, their crossings and the
    // board's rim, where the strict comparisons decide.
    std::pair<float, float> point()
    {
        const auto near = [&](int cell) {
            // A gap or tile edge of a cell 0..8, give or take two pixels.
            const int edges[] = {24, 55, 56, 57, 71, 72};
            return cell * 48 + edges[uniform(0, 5)] - 24 + uniform(-2, 2);
        };
        float x, y;
        switch (uniform(0, 3)) {
        case 0:
            x = static_cast<float>(uniform(0, 413));
            y = static_cast<float>(uniform(0, 412));
            break;
        case 1:
            x = static_cast<float>(near(uniform(0, 8)) + 24);
            y = static_cast<float>(near(uniform(0, 8)) + 24);
            break;
        case 2: // the rim of the board and the window
            x = static_cast<float>(uniform(0, 1) ? uniform(0, 30) : uniform(385, 413));
            y = static_cast<float>(uniform(0, 412));
            if (uniform(0, 1))
                std::swap(x, y);
            break;
        default:
            x = static_cast<float>(uniform(0, 413)) + 0.5f;
            y = static_cast<float>(uniform(0, 412)) + 0.25f;
            break;
        }
        return {x, y};
    }

    void step()
    {
        const int roll = uniform(0, 999);
        const auto button = static_cast<std::int16_t>(uniform(0, 7));
        const auto shift = static_cast<std::int16_t>(uniform(0, 7));
        const bool running = form().swapRunning();
        if (roll < 200) {
            const auto [x, y] = point();
            game().press(button, shift, x, y);
        } else if (roll < 400) {
            const auto [x, y] = point();
            game().move(button, shift, x, y);
        } else if (roll < 430) {
            // Over the middle of a tile, wherever it stands now.
            const Sprite& ball = form().imgBoll[uniform(1, 64)];
            game().move(button, shift, ball.Left + 16, ball.Top + 16);
        } else if (roll < 520) {
            // Any key the board knows, with any modifiers, and some it does
            // not; a fifth of them the keyboard's own repeats.
            game().key(static_cast<design::Key>(uniform(0, static_cast<int>(design::Keys.size()) + 1)), shift,
                       uniform(1, 5) == 1);
        } else if (roll < 530) {
            // A screen reader's activation of any cell, and of none.
            game().activate(uniform(0, board::Balls + 1));
        } else if (roll < 985) {
            tick();
        } else if (roll < 995) {
            game().newGame();
            if (running)
                ++swapsAbandoned;
            m_swap = {};
        } else if (roll < 999) {
            m_gameRandom.palette = std::array{1, 2, 3, 6, 6, 6}[static_cast<std::size_t>(uniform(0, 5))];
        } else {
            quit();
            return;
        }
        noteSwapStart();
    }

    void tick()
    {
        if (!form().swapRunning())
            return; // the real timers tick only while enabled
        const int clearsBefore = m_window->frontend.count(Cue::Clear);
        // Now and then the stopped timer's tick comes late too, and must do
        // nothing.
        if (uniform(0, 9) == 0)
            game().tick(form().Timer1.Enabled ? TimerId::Timer2 : TimerId::Timer1);
        game().tick(form().Timer1.Enabled ? TimerId::Timer1 : TimerId::Timer2);
        ++m_swap.ticks;
        if (form().swapRunning()) {
            if (m_swap.ticks >= 11)
                fail("a swap is still running after 11 ticks");
            return;
        }
        if (m_swap.ticks != 11)
            fail("a swap ended after " + std::to_string(m_swap.ticks) + " ticks");
        const int clears = m_window->frontend.count(Cue::Clear) - clearsBefore;
        linesCleared += clears / 8;
        if (clears % 8 != 0)
            fail("a line check made " + std::to_string(clears) + " clear requests");
        const bool exchanged = form().imgBoll[m_swap.first].Picture == m_swap.partnerPicture
            && form().imgBoll[m_swap.partner].Picture == m_swap.firstPicture;
        if (clears == 0 && !exchanged)
            fail("a swap ended without exchanging its pictures");
        ++swapsFinished;
        m_swap = {};
    }

    void quit()
    {
        game().quit();
        if (m_window->frontend.closes != 1 || form().swapRunning() || !game().ended())
            fail("quitting left the window running");
        game().key(design::Key::Space, 0, false);
        game().activate(1);
        if (game().cellName(1))
            fail("a closed window still names its cells");
        restart();
    }

    void noteSwapStart()
    {
        if (!form().swapRunning() || m_swap.first != 0)
            return;
        m_swap.first = Form1::toIndex(form().BallNo);
        m_swap.partner = m_swap.first + (form().Timer1.Enabled ? board::BelowOffset : board::RightOffset);
        m_swap.firstPicture = form().imgBoll[m_swap.first].Picture;
        m_swap.partnerPicture = form().imgBoll[m_swap.partner].Picture;
    }

    void check()
    {
        const std::string broken = brokenInvariant(form(), m_bank, game().cursor());
        if (!broken.empty())
            return fail(broken);
        const Keyboard& keys = game().keyboard();
        if (keys.row() < 1 || keys.row() > board::Rows || keys.column() < 1 || keys.column() > board::Columns)
            return fail("the keyboard's cursor left the board");
        if (keys.held() && !keys.shown())
            return fail("a tile is held by a hidden cursor");
        if (!game().cellName(keys.cell()))
            return fail("the focused cell has no name");
        if (form().swapRunning() && Form1::toIndex(form().BallNo) != m_swap.first)
            fail("BallNo changed during a swap");
    }

    void fail(const std::string& what)
    {
        if (!m_failure.empty())
            return;
        std::ostringstream message;
        message << "seed " << m_seed << ", event " << m_event << ": " << what
                << " (replay with PELLORIN_PLAY_SEED=" << m_seed << " PELLORIN_PLAY_EVENTS=" << m_event << ")";
        m_failure = message.str();
    }

    struct SwapWatch {
        int first = 0;
        int partner = 0;
        PictureRef firstPicture;
        PictureRef partnerPicture;
        int ticks = 0;
    };

    std::uint32_t m_seed;
    Choices& m_events;
    SeededRandom m_gameRandom;
    std::unique_ptr<Window> m_window;
    std::vector<Sprite> m_bank;
    SwapWatch m_swap;
    long m_event = 0;
    std::string m_failure;
};

} // namespace pellorin::testing
