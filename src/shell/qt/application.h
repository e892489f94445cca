// The game as a program: its platform, its one window, and its end.
#pragma once

#include "platform/services.h"

#include <memory>

namespace pellorin {

// Runs the game until its window is closed and returns the exit status, or
// ends the process with it where Qt's own teardown is not safe.
int runGame(int argc, char* argv[], std::unique_ptr<RandomSource> random);

} // namespace pellorin
