// Starts the game: one window, until it is closed.
#include "platform/clockrandom.h"
#include "shell/qt/application.h"

int main(int argc, char* argv[])
{
    return pellorin::runGame(argc, argv, std::make_unique<pellorin::ClockRandom>());
}
