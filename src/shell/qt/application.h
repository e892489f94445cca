// The game as a program: its platform, its one window, and its end.
#pragma once

#include "platform/services.h"

#include <functional>
#include <memory>

namespace pellorin {

class MainWindow;

// Runs the game until its window is closed and returns the exit status, or
// ends the process with it where Qt's own teardown is not safe. A program
// built around the game (for tests and measurements) may prepare the window
// before it is shown.
int runGame(int argc, char* argv[], std::unique_ptr<RandomSource> random,
            const std::function<void(MainWindow&)>& prepare = {});

} // namespace pellorin
