// The line check on scripted boards: which lines clear, in what order the
// cells are emptied and refilled, and what waits for the next call.
#include "fakes.h"

namespace pellorin::testing {
namespace {

// No complete line anywhere: rows, columns and both diagonals all vary.
constexpr const char* Pattern = "24624624"
                                "35135135"
                                "46246246"
                                "51351351"
                                "62462462"
                                "13513513"
                                "24624624"
                                "35135135";

struct LinesGame : Game {
    LinesGame() { load(); }
};

TEST(CheckLines, ABoardWithoutACompleteLineIsLeftAlone)
{
    for (const char* board : {Pattern,
                              // seven of eight equal, in a column, a row and both diagonals
                              "13333331"
                              "14444415"
                              "15111511"
                              "11515111"
                              "11151111"
                              "11511511"
                              "15111151"
                              "21111112"}) {
        LinesGame game;
        game.paint(board);
        const std::vector<int> before = game.colours();
        game.form.CheckLines();
        EXPECT_EQ(game.colours(), before);
        EXPECT_TRUE(game.sound.requests.empty());
        EXPECT_EQ(game.random.draws, 0);
    }
}

TEST(CheckLines, ACompleteColumnIsEmptiedTopToBottomThenRefilledTopToBottom)
{
    LinesGame game;
    game.paint("24124624"
               "35135135"
               "46146246"
               "51151351"
               "62162462"
               "13113513"
               "24124624"
               "35135135");
    std::vector<std::vector<int>> columnAtRequest;
    game.sound.onRequest = [&](Cue) {
        std::vector<int> column;
        for (int row = 1; row <= 8; ++row)
            column.push_back(game.colour(board::ballIndex(row, 3)));
        columnAtRequest.push_back(column);
    };
    game.random.scriptColours({6, 5, 4, 3, 2, 6, 5, 4});
    game.form.CheckLines();

    ASSERT_EQ(columnAtRequest.size(), 8u);
    for (int request = 0; request < 8; ++request) {
        for (int row = 1; row <= 8; ++row)
            EXPECT_EQ(columnAtRequest[request][row - 1], row <= request ? 0 : 1)
                << "request " << request + 1 << ", row " << row;
    }
    const int refill[] = {6, 5, 4, 3, 2, 6, 5, 4};
    for (int row = 1; row <= 8; ++row)
        EXPECT_EQ(game.colour(board::ballIndex(row, 3)), refill[row - 1]);
    EXPECT_EQ(game.random.draws, 8);
}

struct CrossingCase {
    int freshCorner; // the first draw, given to the crossing cell
    int requests;
    friend void PrintTo(const CrossingCase& c, std::ostream* os) { *os << "corner " << c.freshCorner; }
};

class ColumnCrossingRow : public ::testing::TestWithParam<CrossingCase> {};

// Column 1 and row 1 are both complete in colour 1. The column goes first;
// the row is then examined with a fresh ball at the crossing.
TEST_P(ColumnCrossingRow, ClearsTheRowOnlyIfTheFreshCornerMatches)
{
    LinesGame game;
    game.paint("11111111"
               "15135135"
               "16246246"
               "11351351"
               "12462462"
               "13513513"
               "14624624"
               "15135135");
    game.random.script.push_back(FakeRandom::valueFor(GetParam().freshCorner));
    game.random.scriptColours({2, 3, 4, 5, 6, 2, 3});
    game.random.fallback = [] { return FakeRandom::valueFor(4); };
    game.form.CheckLines();
    EXPECT_EQ(game.sound.count(Cue::Clear), GetParam().requests);
    EXPECT_EQ(game.random.draws, GetParam().requests);
}

INSTANTIATE_TEST_SUITE_P(Corner, ColumnCrossingRow, ::testing::Values(CrossingCase{2, 8}, CrossingCase{1, 16}));

TEST(CheckLines, AColumnRefillCanCompleteARowExaminedLater)
{
    LinesGame game;
    game.paint("13333333"
               "15135135"
               "16246246"
               "11351351"
               "12462462"
               "13513513"
               "14624624"
               "15135135");
    game.random.scriptColours({3, 2, 4, 5, 6, 2, 3, 4}); // row 1 becomes all 3
    game.random.scriptColours({6, 5, 4, 3, 2, 6, 5, 4}); // its refill
    game.form.CheckLines();
    EXPECT_EQ(game.sound.count(Cue::Clear), 16);
    EXPECT_EQ(game.random.draws, 16);
    EXPECT_EQ(game.colour(1), 6);
    EXPECT_EQ(game.colour(8), 4);
}

// Column 1 is complete; its last refilled ball completes the anti-diagonal.
TEST(CheckLines, AColumnRefillCanCompleteTheAntiDiagonal)
{
    LinesGame game;
    game.paint("14624625"
               "15135155"
               "16246546"
               "11355351"
               "12452462"
               "13513513"
               "15624624"
               "15135135");
    game.random.scriptColours({2, 3, 4, 6, 2, 3, 4, 5});
    game.random.scriptColours({1, 2, 3, 4, 5, 6, 1, 2});
    game.form.CheckLines();
    EXPECT_EQ(game.sound.count(Cue::Clear), 16);
    EXPECT_EQ(game.random.draws, 16);
    const int antiDiagonal[] = {8, 15, 22, 29, 36, 43, 50, 57};
    const int refill[] = {1, 2, 3, 4, 5, 6, 1, 2};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(game.colour(antiDiagonal[i]), refill[i]) << antiDiagonal[i];
}

// A row refill that completes column 2 leaves it for the next call.
TEST(CheckLines, ARowRefillCompletingAnEarlierColumnWaitsForTheNextCall)
{
    LinesGame game;
    game.paint("55555555"
               "34135135"
               "44246246"
               "54351351"
               "64462462"
               "14513513"
               "24624624"
               "34135135");
    game.random.scriptColours({1, 4, 6, 1, 2, 3, 1, 2});
    game.form.CheckLines();
    EXPECT_EQ(game.sound.count(Cue::Clear), 8);
    for (int row = 1; row <= 8; ++row)
        EXPECT_EQ(game.colour(board::ballIndex(row, 2)), 4) << row;

    game.random.scriptColours({3, 5, 6, 2, 3, 6, 2, 3});
    game.form.CheckLines();
    EXPECT_EQ(game.sound.count(Cue::Clear), 16);
    EXPECT_EQ(game.colour(board::ballIndex(1, 2)), 3);
    EXPECT_EQ(game.random.draws, 16);
}

TEST(CheckLines, AnAllEqualBoardClearsTheColumnsThenExaminesTheFreshRows)
{
    LinesGame game;
    game.paint(std::string(64, '2'));
    // The refills rebuild the board column by column as the pattern.
    for (int column = 1; column <= 8; ++column)
        for (int row = 1; row <= 8; ++row)
            game.random.script.push_back(FakeRandom::valueFor(Pattern[(row - 1) * 8 + column - 1] - '0'));
    game.form.CheckLines();
    EXPECT_EQ(game.sound.count(Cue::Clear), 64);
    EXPECT_EQ(game.random.draws, 64);
    for (int k = 1; k <= 64; ++k)
        EXPECT_EQ(game.colour(k), Pattern[k - 1] - '0') << k;
}

TEST(CheckLines, ClearsAtMostEighteenLinesInOneCall)
{
    LinesGame game;
    game.paint(std::string(64, '6'));
    game.random.fallback = [] { return FakeRandom::valueFor(6); };
    game.form.CheckLines();
    EXPECT_EQ(game.sound.count(Cue::Clear), 144);
    EXPECT_EQ(game.random.draws, 144);
    EXPECT_EQ(game.colours(), std::vector<int>(64, 6));
}

TEST(CheckLines, EveryCellShowsABankPictureAfterwards)
{
    LinesGame game;
    game.paint(std::string(64, '3'));
    game.random.fallback = [] { return 0.999f; };
    game.form.CheckLines();
    for (int k = 1; k <= 64; ++k)
        EXPECT_EQ(game.colour(k), 6);
}

} // namespace
} // namespace pellorin::testing
