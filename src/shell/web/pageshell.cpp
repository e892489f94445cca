// The web shell: the game window in a page. The page's script delivers the
// pointer, the keys and the menu through the functions exported at the
// bottom; this side runs the timers and hands the page what to draw, which
// cursor to show, which cue to play and what a screen reader should say.
// Every value the page needs comes from the core (pellorin_design).
#include "design/design.h"
#include "platform/clockrandom.h"
#include "platform/frontend.h"
#include "tiles/tilepainter.h"
#include "window/designjson.h"
#include "window/game.h"

#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

// What the page provides (page-imports.js). Rectangles and positions are in
// the canvas's own pixels, which are device pixels.
extern "C" {
void pellorin_page_begin(int left, int top, int width, int height);
void pellorin_page_fill(int left, int top, int width, int height, int red, int green, int blue);
void pellorin_page_draw_tile(int picture, int left, int top, int size);
void pellorin_page_end();
void pellorin_page_cursor(int code);
void pellorin_page_start_ticking(int timer, int intervalMs);
void pellorin_page_stop_ticking(int timer);
int pellorin_page_play(const char* file);
void pellorin_page_announce(const char* words);
void pellorin_page_focus_cell(int cell);
void pellorin_page_name_cell(int cell, const char* name);
void pellorin_page_close();
}

namespace pellorin {
namespace {

class PageShell final : public Frontend, public Canvas {
public:
    PageShell(std::uint32_t seed, tiles::Look look)
        : m_game(*this, std::make_unique<ClockRandom>(seed ? std::optional<std::uint32_t>(seed) : std::nullopt), look)
    {
    }

    Game& game() { return m_game; }
    const DeviceScale& scale() const { return m_scale; }

    // The page drew its canvas at another scale: what it draws from now on,
    // and a pointer position's client pixels, follow it.
    void setScale(double scale) { m_scale = DeviceScale(scale); }

    // The whole client area, as after the page's canvas was resized.
    void paintAll() { invalidate(Area{0, 0, design::ClientWidth, design::ClientHeight}); }

    // A tile as the game's look paints it, kept until the next one is asked
    // for: the page copies it at once.
    const tiles::Image* tile(int picture, int size)
    {
        m_tile = tiles::paintTile(picture, size, m_game.look());
        return m_tile ? &*m_tile : nullptr;
    }

private:
    // A changed area is drawn at once: the handler has run to its end, so the
    // sprites stand where the screen must show them.
    void invalidate(const Area& area) override { m_game.paint(area, m_scale, *this); }
    void begin(const DeviceRect& clip) override { pellorin_page_begin(clip.left, clip.top, clip.width, clip.height); }
    void fill(const DeviceRect& r, Rgb c) override
    {
        pellorin_page_fill(r.left, r.top, r.width, r.height, c.red, c.green, c.blue);
    }
    void drawTile(int picture, int left, int top) override
    {
        pellorin_page_draw_tile(picture, left, top, m_scale.tileSize());
    }
    void end() override { pellorin_page_end(); }

    void showCursor(CursorCode code) override { pellorin_page_cursor(static_cast<int>(code)); }

    // The page runs the timers on its own clock, so that a late tick never
    // delays the ones after it; it calls pellorin_tick with the timer's place.
    void startTicking(TimerId timer, int intervalMs) override
    {
        pellorin_page_start_ticking(static_cast<int>(timerIndex(timer)), intervalMs);
    }
    void stopTicking(TimerId timer) override { pellorin_page_stop_ticking(static_cast<int>(timerIndex(timer))); }

    std::int32_t play(Cue cue) override { return pellorin_page_play(std::string(cueFileName(cue)).c_str()); }

    void announce(const std::string& words) override { pellorin_page_announce(words.c_str()); }
    void focusCell(int cell) override { pellorin_page_focus_cell(cell); }
    void cellsRenamed(std::span<const int> cells) override
    {
        for (const int cell : cells) {
            if (const auto name = m_game.cellName(cell))
                pellorin_page_name_cell(cell, name->c_str());
        }
    }

    void closeWindow() override { pellorin_page_close(); }

    Game m_game;
    DeviceScale m_scale;
    std::optional<tiles::Image> m_tile;
};

std::unique_ptr<PageShell> g_shell;

// A point in the canvas's device pixels as client pixels.
ClientPoint client(double x, double y)
{
    const DeviceScale& scale = g_shell->scale();
    return {scale.toClient(x), scale.toClient(y)};
}

// The same on the client pixel it lies in: the handlers of a press and a move
// take whole pixels, as a mouse gives them.
ClientPoint clientPixel(double x, double y)
{
    const ClientPoint at = client(x, y);
    return {std::floor(at.x), std::floor(at.y)};
}

} // namespace
} // namespace pellorin

using pellorin::g_shell;

extern "C" {

// The design values as JSON: client size, button, key and cursor codes, the
// board's keys, the pictures, the cues and the menu.
EMSCRIPTEN_KEEPALIVE const char* pellorin_design()
{
    static const std::string json = pellorin::design::json();
    return json.c_str();
}

// Creates the game window, with a fixed seed when seed is not 0, its tiles
// with symbols when symbols is not 0. The page sets the scale before it asks
// for the board.
EMSCRIPTEN_KEEPALIVE void pellorin_create(std::uint32_t seed, int symbols)
{
    g_shell = std::make_unique<pellorin::PageShell>(
        seed, symbols ? pellorin::tiles::Look::Symbols : pellorin::tiles::Look::Plain);
}

// Loads the window: the board is dealt and drawn.
EMSCRIPTEN_KEEPALIVE void pellorin_load()
{
    g_shell->game().load();
}

// The canvas's device pixels per client pixel, any fraction. The page then
// sizes its canvas and keeps its tiles at the sizes below.
EMSCRIPTEN_KEEPALIVE void pellorin_scale(double scale)
{
    g_shell->setScale(scale);
}

EMSCRIPTEN_KEEPALIVE int pellorin_canvas_width()
{
    return g_shell->scale().clientWidth();
}

EMSCRIPTEN_KEEPALIVE int pellorin_canvas_height()
{
    return g_shell->scale().clientHeight();
}

EMSCRIPTEN_KEEPALIVE int pellorin_tile_size()
{
    return g_shell->scale().tileSize();
}

// Picture 1 to 6 painted size pixels square, as RGBA bytes row by row in the
// module's memory; valid until the next call. Null for a picture or size the
// painter refuses.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* pellorin_tile(int picture, int size)
{
    const pellorin::tiles::Image* image = g_shell->tile(picture, size);
    return image ? image->rgba.data() : nullptr;
}

// Pointer positions come in the canvas's device pixels.
EMSCRIPTEN_KEEPALIVE void pellorin_press(int button, int shift, double x, double y)
{
    const auto at = pellorin::clientPixel(x, y);
    g_shell->game().press(static_cast<std::int16_t>(button), static_cast<std::int16_t>(shift), at.x, at.y);
}

EMSCRIPTEN_KEEPALIVE void pellorin_move(int buttons, int shift, double x, double y)
{
    const auto at = pellorin::clientPixel(x, y);
    g_shell->game().move(static_cast<std::int16_t>(buttons), static_cast<std::int16_t>(shift), at.x, at.y);
}

// A finger's stroke from where it went down to where it lifted.
EMSCRIPTEN_KEEPALIVE void pellorin_swipe(double fromX, double fromY, double toX, double toY)
{
    g_shell->game().swipe(pellorin::client(fromX, fromY), pellorin::client(toX, toY));
}

// A key of the board (design boardKeys) with the modifier keys held, and
// whether it is the keyboard's own repeat.
EMSCRIPTEN_KEEPALIVE void pellorin_key(int key, int shift, int repeat)
{
    g_shell->game().key(static_cast<pellorin::design::Key>(key), static_cast<std::int16_t>(shift), repeat != 0);
}

// A screen reader activated cell 1 to 64 (a click on its grid cell).
EMSCRIPTEN_KEEPALIVE void pellorin_activate(int cell)
{
    g_shell->game().activate(cell);
}

// The board got the keyboard's focus by a key, not by a press.
EMSCRIPTEN_KEEPALIVE void pellorin_show_keyboard()
{
    g_shell->game().showKeyboard();
}

// A menu item's command (design menuItems).
EMSCRIPTEN_KEEPALIVE void pellorin_command(int command)
{
    g_shell->game().command(static_cast<pellorin::design::Command>(command));
}

// A tick of the timer at this place (0 or 1), which the page runs.
EMSCRIPTEN_KEEPALIVE void pellorin_tick(int timer)
{
    if (timer >= 0 && static_cast<std::size_t>(timer) < pellorin::AllTimers.size())
        g_shell->game().tick(pellorin::AllTimers[static_cast<std::size_t>(timer)]);
}

// Draws the whole board again, after the page changed its canvas.
EMSCRIPTEN_KEEPALIVE void pellorin_repaint()
{
    g_shell->paintAll();
}

// The bank picture, 1 to 6, that ball k shows, or 0: for looking at a game
// from outside.
EMSCRIPTEN_KEEPALIVE int pellorin_colour(int k)
{
    return g_shell->game().colourOf(k);
}

} // extern "C"
