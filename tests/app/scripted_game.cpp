// The game with a known board, for the tests that play the real program and
// need a line to clear: every deal and refill takes its colours, one by one,
// from the digits 1 to 6 given on the command line, over and over.
//   pellorin-scripted DIGITS
#include "shell/qt/application.h"
#include "support/cyclerandom.h"

#include <string_view>

int main(int argc, char* argv[])
{
    std::vector<int> colours;
    for (const char d : std::string_view(argc > 1 ? argv[argc - 1] : "1"))
        if (d >= '1' && d <= '6')
            colours.push_back(d - '0');
    if (colours.empty())
        colours.push_back(1);
    return pellorin::runGame(argc, argv, std::make_unique<pellorin::testing::CycleRandom>(std::move(colours)));
}
