// The game as a shell sees it.
#include "window/game.h"

#include "speech/words.h"

#include <algorithm>
#include <utility>

namespace pellorin {

Game::Game(Frontend& frontend, std::unique_ptr<RandomSource> random, tiles::Look look)
    : m_frontend(frontend)
    , m_random(std::move(random))
    , m_look(look)
    , m_form(Services{*m_random, *this, *this, *this})
    , m_runner(m_form, frontend)
{
}

void Game::set(CursorCode code)
{
    m_cursor = code;
    m_frontend.showCursor(code);
}

void Game::hideKeyboard()
{
    if (!m_keyboard.shown())
        return;
    m_keyboard.hide();
    m_frontend.invalidate(m_keyboard.frameArea().grown(ScreenDamage::Margin));
}

void Game::press(std::int16_t button, std::int16_t shift, float x, float y)
{
    if (ended())
        return;
    hideKeyboard();
    m_runner.press(button, shift, x, y);
}

void Game::move(std::int16_t buttons, std::int16_t shift, float x, float y)
{
    if (ended())
        return;
    // A shell may repeat a move where the pointer stands (when a window
    // shows, or a cursor changes); only one that went somewhere hides, and
    // the first move of all, which no repeat can be.
    const ClientPoint at{x, y};
    if (!m_pointer || m_pointer->x != x || m_pointer->y != y)
        hideKeyboard();
    m_pointer = at;
    m_runner.move(buttons, shift, x, y);
}

void Game::swipe(ClientPoint from, ClientPoint to)
{
    if (ended())
        return;
    hideKeyboard();
    if (const auto gap = m_form.swipeGap(from, to))
        m_runner.press(design::LeftButton, 0, gap->x, gap->y);
}

void Game::key(design::Key key, std::int16_t shift, bool repeat)
{
    if (ended())
        return;
    const KeyboardState before = keyboardState();
    act(m_keyboard.key(key, (shift & design::ShiftKey) != 0, repeat), before);
}

void Game::activate(int cell)
{
    if (ended())
        return;
    const KeyboardState before = keyboardState();
    act(m_keyboard.activate(cell), before);
}

void Game::showKeyboard()
{
    if (ended())
        return;
    const KeyboardState before = keyboardState();
    m_keyboard.show();
    act({}, before);
}

Game::KeyboardState Game::keyboardState() const
{
    return {m_keyboard.frameArea(), m_keyboard.shown(), m_keyboard.held(), m_keyboard.cell()};
}

// A move of the cursor is told by the focus alone, which a screen reader
// speaks; the words are for what the focus cannot tell.
void Game::act(const Keyboard::Action& action, const KeyboardState& before)
{
    if (action.swapWith) {
        const int cell = m_keyboard.cell();
        const int first = std::min(cell, *action.swapWith);
        const int second = std::max(cell, *action.swapWith);
        const ClientPoint gap = m_form.gapMiddle(first, second);
        const bool wasRunning = m_form.swapRunning();
        m_runner.press(design::LeftButton, 0, gap.x, gap.y);
        if (!wasRunning && m_form.swapRunning())
            m_keyboard.swapStarted();
    }
    const int cell = m_keyboard.cell();
    if (m_keyboard.shown() != before.shown || m_keyboard.held() != before.held || cell != before.cell) {
        m_frontend.invalidate(before.frame.grown(ScreenDamage::Margin));
        m_frontend.invalidate(m_keyboard.frameArea().grown(ScreenDamage::Margin));
    }
    if (cell != before.cell || (m_keyboard.shown() && !before.shown))
        m_frontend.focusCell(cell);

    if (action.refused)
        m_frontend.announce(words::cell(cell, colourOf(cell)));
    else if (action.tookHold)
        m_frontend.announce(words::held(cell, colourOf(cell)));
    else if (action.letGo)
        m_frontend.announce(words::letGo(cell));
}

void Game::newGame()
{
    if (ended())
        return;
    if (m_keyboard.held()) {
        m_keyboard.letGo();
        m_frontend.invalidate(m_keyboard.frameArea().grown(ScreenDamage::Margin));
    }
    m_runner.newGame();
}

void Game::command(design::Command command)
{
    switch (command) {
    case design::Command::NewGame:
        newGame();
        break;
    case design::Command::Quit:
        quit();
        break;
    case design::Command::None:
        break;
    }
}

void Game::quit()
{
    m_runner.quit();
    if (std::exchange(m_closeAsked, false))
        m_frontend.closeWindow();
}

void Game::paint(const Area& area, const DeviceScale& scale, Canvas& canvas) const
{
    const auto frame = m_keyboard.frame();
    m_runner.paint(area, frame, scale, canvas);
}

std::optional<std::string> Game::cellName(int cell) const
{
    if (ended() || cell < 1 || cell > board::Balls)
        return std::nullopt;
    return words::cell(cell, colourOf(cell));
}

} // namespace pellorin
