// The game as a shell sees it.
#include "window/game.h"

#include <utility>

namespace pellorin {

Game::Game(Frontend& frontend, std::unique_ptr<RandomSource> random)
    : m_frontend(frontend)
    , m_random(std::move(random))
    , m_form(Services{*m_random, *this, *this, *this})
    , m_runner(m_form, frontend)
{
}

void Game::set(CursorCode code)
{
    m_cursor = code;
    m_frontend.showCursor(code);
}

void Game::swipe(ClientPoint from, ClientPoint to)
{
    if (const auto gap = m_form.swipeGap(from, to))
        press(design::LeftButton, 0, gap->x, gap->y);
}

void Game::quit()
{
    m_runner.quit();
    if (std::exchange(m_closeAsked, false))
        m_frontend.closeWindow();
}

int Game::pictureIndex(const PictureData* picture) const
{
    for (int r = 1; r <= m_form.imgBank.highestIndex(); ++r)
        if (picture && m_form.imgBank[r].Picture.get() == picture)
            return r;
    return 0;
}

int Game::colourOf(int k) const
{
    return m_form.imgBoll.exists(k) ? pictureIndex(m_form.imgBoll[k].Picture.get()) : 0;
}

} // namespace pellorin
