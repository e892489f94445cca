// The tests' own view of a game: the window behind it, which no shell sees.
#pragma once

#include "window/game.h"

namespace pellorin {

class GameInspector {
public:
    static const Form1& form(const Game& game) { return game.m_form; }
};

} // namespace pellorin
