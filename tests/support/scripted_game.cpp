// The real game with its moments reported on the error output (moments.h),
// for the tests and measurements that play the whole program. Given digits
// 1 to 6 on its command line, every deal and refill takes its colours from
// them, one by one, over and over, so that a test knows the board; without
// them the board is random, as in the shipped game.
//   pellorin-scripted [DIGITS]
#include "moments.h"
#include "platform/clockrandom.h"
#include "shell/qt/application.h"
#include "shell/qt/mainwindow.h"
#include "support/cyclerandom.h"

#include <string_view>

int main(int argc, char* argv[])
{
    std::vector<int> colours;
    if (argc > 1)
        for (const char d : std::string_view(argv[argc - 1]))
            if (d >= '1' && d <= '6')
                colours.push_back(d - '0');
    std::unique_ptr<pellorin::RandomSource> random;
    if (colours.empty())
        random = std::make_unique<pellorin::ClockRandom>();
    else
        random = std::make_unique<pellorin::testing::CycleRandom>(std::move(colours));
    return pellorin::runGame(argc, argv, std::move(random),
                             [](pellorin::MainWindow& window) { new pellorin::testing::MomentReporter(window); });
}
