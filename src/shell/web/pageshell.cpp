// The web shell: the game window in a page. The page's script delivers the
// pointer and the menu through the functions exported at the bottom; this
// side runs the handlers, the timers and the drawing order, and hands the
// page what to draw, which cursor to show and which cue to play.
#include "platform/clockrandom.h"
#include "sound/cue.h"
#include "window/form1.h"
#include "window/formrunner.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// What the page provides (page-imports.js).
extern "C" {
void pellorin_page_picture(int index, const char* name);
void pellorin_page_clear(float left, float top, float width, float height);
void pellorin_page_draw(int picture, float left, float top, float width, float height);
void pellorin_page_done();
void pellorin_page_cursor(int code);
int pellorin_page_play(const char* file);
void pellorin_page_ticking(int running);
void pellorin_page_unload();
}

namespace pellorin {
namespace {

class PageShell final : public ShellPort, public SoundPlayer, public WindowCursor, public WindowHost, public Canvas {
public:
    explicit PageShell(std::uint32_t seed)
        : m_random(seed ? std::optional<std::uint32_t>(seed) : std::nullopt)
        , m_form(Services{m_random, *this, *this, *this})
        , m_runner(m_form, *this)
    {
        // The page knows a picture by its index in the bank, 1 to 6.
        for (int k = 1; k <= m_form.imgBank.highestIndex(); ++k)
            pellorin_page_picture(k, m_form.imgBank[k].Picture->name.c_str());
    }

    FormRunner& runner() { return m_runner; }
    const Form1& form() const { return m_form; }

    // The whole client area, as after the page's canvas was resized.
    void paintAll() { invalidate(Area{0, 0, Form1::ClientWidth, Form1::ClientHeight}); }

    int pictureIndex(const PictureData* picture) const
    {
        for (int k = 1; k <= m_form.imgBank.highestIndex(); ++k)
            if (m_form.imgBank[k].Picture.get() == picture)
                return k;
        return 0;
    }

private:
    // A changed area is drawn at once: the handler has run to its end, so the
    // sprites stand where the screen must show them.
    void invalidate(const Area& area) override
    {
        m_runner.paint(area, *this);
        pellorin_page_done();
    }
    void clear(const Area& a) override { pellorin_page_clear(a.left, a.top, a.width, a.height); }
    void draw(const PictureData& picture, const Area& a) override
    {
        pellorin_page_draw(pictureIndex(&picture), a.left, a.top, a.width, a.height);
    }

    void startTicking(TimerId timer, int intervalMs) override
    {
        // The interval hands back which timer it is.
        void* which = const_cast<TimerId*>(&Timers[slot(timer)]);
        m_intervals[slot(timer)] = emscripten_set_interval(&PageShell::onTick, intervalMs, which);
        pellorin_page_ticking(1);
    }
    void stopTicking(TimerId timer) override
    {
        emscripten_clear_interval(m_intervals[slot(timer)]);
        pellorin_page_ticking(0);
    }
    static std::size_t slot(TimerId timer) { return timer == TimerId::Timer1 ? 0 : 1; }
    static constexpr std::array<TimerId, 2> Timers{TimerId::Timer1, TimerId::Timer2};
    static void onTick(void* which);

    std::int32_t play(Cue cue) override { return pellorin_page_play(std::string(cueFileName(cue)).c_str()); }

    CursorCode get() const override { return m_cursor; }
    void set(CursorCode code) override
    {
        m_cursor = code;
        pellorin_page_cursor(static_cast<int>(code));
    }

    void unload() override { pellorin_page_unload(); }

    ClockRandom m_random;
    Form1 m_form;
    FormRunner m_runner;
    CursorCode m_cursor = CursorCode::Default;
    std::array<long, 2> m_intervals{};
};

std::unique_ptr<PageShell> g_shell;

void PageShell::onTick(void* which)
{
    g_shell->runner().tick(*static_cast<const TimerId*>(which));
}

} // namespace
} // namespace pellorin

using pellorin::g_shell;

extern "C" {

// Creates the game window, with a fixed seed when seed is not 0, and names
// its pictures to the page, which loads them before it asks for the board.
EMSCRIPTEN_KEEPALIVE void pellorin_create(std::uint32_t seed)
{
    g_shell = std::make_unique<pellorin::PageShell>(seed);
}

// Loads the window: the board is dealt and drawn.
EMSCRIPTEN_KEEPALIVE void pellorin_load()
{
    g_shell->runner().load();
}

EMSCRIPTEN_KEEPALIVE void pellorin_press(int button, int shift, float x, float y)
{
    g_shell->runner().press(static_cast<std::int16_t>(button), static_cast<std::int16_t>(shift), x, y);
}

EMSCRIPTEN_KEEPALIVE void pellorin_move(int buttons, int shift, float x, float y)
{
    g_shell->runner().move(static_cast<std::int16_t>(buttons), static_cast<std::int16_t>(shift), x, y);
}

EMSCRIPTEN_KEEPALIVE void pellorin_new_game()
{
    g_shell->runner().newGame();
}

EMSCRIPTEN_KEEPALIVE void pellorin_quit()
{
    g_shell->runner().quit();
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
    const auto& balls = g_shell->form().imgBoll;
    return balls.exists(k) ? g_shell->pictureIndex(balls[k].Picture.get()) : 0;
}

} // extern "C"
