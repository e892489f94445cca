// The web shell: the game window in a page. The page's script delivers the
// pointer and the menu through the functions exported at the bottom; this
// side runs the timers and hands the page what to draw, which cursor to show
// and which cue to play. Every value the page needs comes from the core
// (pellorin_design).
#include "platform/clockrandom.h"
#include "platform/frontend.h"
#include "window/design.h"
#include "window/game.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// What the page provides (page-imports.js).
extern "C" {
void pellorin_page_begin(float left, float top, float width, float height);
void pellorin_page_draw(int picture, float left, float top, float width, float height);
void pellorin_page_end();
void pellorin_page_cursor(int code);
int pellorin_page_play(const char* file);
void pellorin_page_close();
}

namespace pellorin {
namespace {

class PageShell final : public Frontend, public Canvas {
public:
    explicit PageShell(std::uint32_t seed)
        : m_game(*this, std::make_unique<ClockRandom>(seed ? std::optional<std::uint32_t>(seed) : std::nullopt))
    {
    }

    Game& game() { return m_game; }

    // The whole client area, as after the page's canvas was resized.
    void paintAll() { invalidate(Area{0, 0, design::ClientWidth, design::ClientHeight}); }

private:
    // A changed area is drawn at once: the handler has run to its end, so the
    // sprites stand where the screen must show them.
    void invalidate(const Area& area) override { m_game.paint(area, *this); }
    void begin(const Area& a) override { pellorin_page_begin(a.left, a.top, a.width, a.height); }
    // The page knows a picture by its index in the bank, 1 to 6.
    void draw(const PictureData& picture, const Area& a) override
    {
        pellorin_page_draw(m_game.pictureIndex(&picture), a.left, a.top, a.width, a.height);
    }
    void end() override { pellorin_page_end(); }

    void showCursor(CursorCode code) override { pellorin_page_cursor(static_cast<int>(code)); }

    void startTicking(TimerId timer, int intervalMs) override
    {
        // The interval hands back which timer it is.
        void* which = const_cast<TimerId*>(&Timers[slot(timer)]);
        m_intervals[slot(timer)] = emscripten_set_interval(&PageShell::onTick, intervalMs, which);
    }
    void stopTicking(TimerId timer) override { emscripten_clear_interval(m_intervals[slot(timer)]); }
    static std::size_t slot(TimerId timer) { return timer == TimerId::Timer1 ? 0 : 1; }
    static constexpr std::array<TimerId, 2> Timers{TimerId::Timer1, TimerId::Timer2};
    static void onTick(void* which);

    std::int32_t play(Cue cue) override { return pellorin_page_play(std::string(cueFileName(cue)).c_str()); }

    void closeWindow() override { pellorin_page_close(); }

    Game m_game;
    std::array<long, 2> m_intervals{};
};

std::unique_ptr<PageShell> g_shell;

void PageShell::onTick(void* which)
{
    g_shell->game().tick(*static_cast<const TimerId*>(which));
}

} // namespace
} // namespace pellorin

using pellorin::g_shell;

extern "C" {

// The design values as JSON: client size, button, key and cursor codes, and
// the pictures with the files of their renderings.
EMSCRIPTEN_KEEPALIVE const char* pellorin_design()
{
    static const std::string json = pellorin::design::json();
    return json.c_str();
}

// Creates the game window, with a fixed seed when seed is not 0. The page
// loads the pictures before it asks for the board.
EMSCRIPTEN_KEEPALIVE void pellorin_create(std::uint32_t seed)
{
    g_shell = std::make_unique<pellorin::PageShell>(seed);
}

// Loads the window: the board is dealt and drawn.
EMSCRIPTEN_KEEPALIVE void pellorin_load()
{
    g_shell->game().load();
}

EMSCRIPTEN_KEEPALIVE void pellorin_press(int button, int shift, float x, float y)
{
    g_shell->game().press(static_cast<std::int16_t>(button), static_cast<std::int16_t>(shift), x, y);
}

EMSCRIPTEN_KEEPALIVE void pellorin_move(int buttons, int shift, float x, float y)
{
    g_shell->game().move(static_cast<std::int16_t>(buttons), static_cast<std::int16_t>(shift), x, y);
}

// A finger's stroke from where it went down to where it lifted.
EMSCRIPTEN_KEEPALIVE void pellorin_swipe(float fromX, float fromY, float toX, float toY)
{
    g_shell->game().swipe({fromX, fromY}, {toX, toY});
}

EMSCRIPTEN_KEEPALIVE void pellorin_new_game()
{
    g_shell->game().newGame();
}

EMSCRIPTEN_KEEPALIVE void pellorin_quit()
{
    g_shell->game().quit();
}

// Draws the whole board again, after the page changed its canvas.
EMSCRIPTEN_KEEPALIVE void pellorin_repaint()
{
    g_shell->paintAll();
}

// Which rendering of the pictures, 1x, 2x or 3x, suits the page's pixel ratio.
EMSCRIPTEN_KEEPALIVE int pellorin_rendering_scale(double devicePixelRatio)
{
    return pellorin::renderingScale(devicePixelRatio);
}

// The bank picture, 1 to 6, that ball k shows, or 0: for looking at a game
// from outside.
EMSCRIPTEN_KEEPALIVE int pellorin_colour(int k)
{
    return g_shell->game().colourOf(k);
}

} // extern "C"
