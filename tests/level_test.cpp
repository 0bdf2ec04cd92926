// Tests of level setup (wall layouts, starting places, fruit placement and its random
// draws) and of the status row's lives and progress bar.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "display/board.h"
#include "match/level.h"
#include "match/match_state.h"
#include "match/random.h"
#include "match/status_row.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace ravela {
namespace {

// The game's generator, replayed here from its formula to predict its draws.
struct Replay {
    uint32_t state;
    explicit Replay(uint32_t seed) : state(seed) { next(); } // seeding discards one value
    int next() {
        state = state * 22695477u + 1u;
        return static_cast<int>((state >> 16) & 0x7fff);
    }
    void skip(long count) {
        for (long i = 0; i < count; ++i)
            next();
    }
    // One fruit try: a column draw, then a row draw.
    void fruitTry(int &row, int &col) {
        col = next() % 62 + 1;
        row = next() % 45 + 2;
    }
};

int countInFruitRange(int8_t code) {
    int count = 0;
    for (int row = 2; row <= 46; ++row)
        for (int col = 1; col <= 62; ++col)
            count += board.cells[row][col] == code;
    return count;
}

void fillFruitRange(int8_t code) {
    for (int row = 2; row <= 46; ++row)
        std::memset(&board.cells[row][1], code, 62);
}

class LevelTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { surface = testing::makeSurface(32); }
    void SetUp() override { testing::resetGame(surface); }
    static void setup(int8_t type, int8_t adversaries) {
        matchState.levelType = type;
        matchState.adversaryCount = adversaries;
        setupLevel();
    }
    static inline SDL_Surface *surface = nullptr;
};

// ---- wall layouts ----------------------------------------------------------------------

TEST_F(LevelTest, EveryLayoutHasItsBorderAndItsCountOfFreeCells) {
    const int freeCells[8] = {2790, 2730, 2686, 2676, 2702, 2734, 2490, 2531};
    for (int8_t type = -1; type <= 8; ++type) {
        std::memset(board.cells, 5, sizeof board.cells); // leftovers of an earlier screen
        buildWalls(board, type);
        const int expected = type >= 0 && type < 8 ? freeCells[type] : freeCells[0];
        EXPECT_EQ(countInFruitRange(kEmpty), expected) << "layout " << int{type};
        EXPECT_EQ(countInFruitRange(kWall), 45 * 62 - expected);
        for (int col = 0; col < kBoardColumns; ++col) {
            EXPECT_EQ(board.cells[0][col], kEmpty);
            EXPECT_TRUE(board.cells[1][col] == kWall && board.cells[47][col] == kWall);
        }
        for (int row = 2; row <= 46; ++row)
            EXPECT_TRUE(board.cells[row][0] == kWall && board.cells[row][63] == kWall);
    }
    // The ends of a few bars, and the cells just past them.
    const struct {
        int8_t type;
        int row, col;
        int8_t code;
    } ends[] = {{1, 39, 16, kWall}, {1, 40, 16, kEmpty}, {2, 13, 33, kWall}, {2, 13, 32, kEmpty},
                {3, 34, 51, kWall}, {3, 35, 51, kEmpty}, {4, 4, 18, kEmpty}, {4, 46, 44, kWall},
                {5, 37, 57, kWall}, {5, 38, 58, kEmpty}, {6, 36, 47, kWall}, {6, 20, 50, kEmpty},
                {7, 38, 48, kWall}, {7, 9, 8, kEmpty}};
    for (const auto &e : ends) {
        buildWalls(board, e.type);
        EXPECT_EQ(board.cells[e.row][e.col], e.code)
            << int{e.type} << ": " << e.row << "," << e.col;
    }
}

// ---- fruit placement -------------------------------------------------------------------

TEST_F(LevelTest, FruitLandsOnTheCellOfTwoDrawsAndARejectionCostsTwoMore) {
    buildWalls(board, 0);
    Replay replay(4242);
    int firstRow = 0, firstCol = 0, row = 0, col = 0;
    replay.fruitTry(firstRow, firstCol);
    replay.fruitTry(row, col);
    ASSERT_NE(row * 64 + col, firstRow * 64 + firstCol);
    board.cells[firstRow][firstCol] = 32 + 12; // the first try hits a snake
    srand(4242);
    placeFruit(kRedFruit);
    EXPECT_EQ(board.cells[row][col], kRedFruit);
    EXPECT_EQ(countInFruitRange(kRedFruit), 1);
    EXPECT_EQ(matchState.randomState, replay.state); // exactly four draws
}

TEST_F(LevelTest, WhenTheDrawsGiveUpTheFirstFreeCellIsTakenIfAny) {
    // A full range: the bounded draws, then nothing placed.
    buildWalls(board, 3);
    fillFruitRange(kWall);
    srand(77);
    Replay replay(77);
    replay.skip(2L * kFruitDrawLimit);
    placeFruit(kYellowFruit);
    EXPECT_EQ(countInFruitRange(kWall), 45 * 62);
    EXPECT_EQ(matchState.randomState, replay.state);

    // Two free cells that five tries miss: the row-major scan takes the upper one.
    board.cells[46][62] = kEmpty;
    board.cells[30][40] = kEmpty;
    srand(9);
    Replay five(9);
    for (int i = 0; i < 5; ++i) {
        int row = 0, col = 0;
        five.fruitTry(row, col);
        ASSERT_NE(board.cells[row][col], kEmpty) << "try " << i;
    }
    placeFruitWithin(kGreenFruit, 5);
    EXPECT_EQ(board.cells[30][40], kGreenFruit);
    EXPECT_EQ(board.cells[46][62], kEmpty);
    EXPECT_EQ(matchState.randomState, five.state);
}

// ---- level setup -----------------------------------------------------------------------

TEST_F(LevelTest, SetupPlacesEggsAdversariesFruitAndStatusRow) {
    const int8_t lives[3] = {5, 0, -1};
    for (int p = 0; p < 3; ++p)
        playerSnake[p].lives = lives[p];
    playerSnake[0].trailMode = 1;
    adversarySnake[3].greedy = 0;
    setup(0, 9);
    EXPECT_EQ(board.autoPresent, 1);
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(playerSnake[p].lives, lives[p]);
        EXPECT_EQ(playerSnake[p].length, -41);
        EXPECT_EQ(board.cells[4][13 + 13 * p], 16 + 16 * p + kIntactEggTile);
    }
    EXPECT_EQ(playerSnake[0].trailMode, 0);
    EXPECT_EQ(adversarySnake[3].greedy, 1);
    EXPECT_EQ(board.cells[0][7], 16);
    EXPECT_EQ(board.cells[0][8], kEmpty);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(board.cells[45][46 + 2 * i], 64 + kUp) << i;
    EXPECT_EQ(countInFruitRange(kYellowFruit), 2);
    EXPECT_EQ(countInFruitRange(kGreenFruit), 2);
    EXPECT_EQ(countInFruitRange(kRedFruit), 1);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(board.cells[0][47 + i], kYellowFruit);
}

// An adversary's start cell is its tail until its second move; it must not look free.
// Only the adversary that starts inside the comb's wall cannot move and keeps no tail.
TEST_F(LevelTest, AdversaryStartCellShowsItsTailUntilTheTailMoves) {
    setup(0, 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(board.cells[46][46 + 2 * i], 64 + 5) << i;
    Snake &a = adversarySnake[0];
    stepSnake(a, 0);
    EXPECT_EQ(board.cells[46][46], 64 + 5);
    stepSnake(a, 0);
    EXPECT_EQ(board.cells[46][46], kEmpty);
    EXPECT_EQ(board.cells[45][46], 64 + 5);

    setup(7, 9);
    EXPECT_EQ(adversarySnake[5].length, 0);
    EXPECT_EQ(headRow(adversarySnake[5]), 46);
    EXPECT_EQ(headColumn(adversarySnake[5]), 56);
    EXPECT_EQ(board.cells[46][56], kWall);
    EXPECT_EQ(board.cells[46][54], 64 + 5);
}

TEST_F(LevelTest, AdversaryCountsOutsideOneToNine) {
    for (int8_t count : {0, -1, 100}) {
        testing::resetGame(surface);
        setup(2, count);
        int heads = 0, fruit = 0;
        for (int col = 0; col < kBoardColumns; ++col)
            heads += board.cells[45][col] == 64;
        for (int8_t code : {1, 2, 3})
            fruit += countInFruitRange(code);
        EXPECT_EQ(heads, count > 0 ? 9 : 0) << int{count};
        EXPECT_EQ(fruit, 5);
    }
}

// The repaint, the status row and the fruit share one generator in a fixed order: 20
// numbers per wall cell and 2 per empty cell painted, then two per fruit try.
TEST_F(LevelTest, SetupDrawsFruitAfterTheRepaintAndTheLives) {
    for (int8_t type : {0, 5, 7}) {
        const uint32_t seed = 1000u + static_cast<uint32_t>(type);
        testing::resetGame(surface, seed);
        const int8_t lives[3] = {5, 0, 13};
        for (int p = 0; p < 3; ++p)
            playerSnake[p].lives = lives[p];
        setup(type, 9);

        int8_t cells[kBoardRows][kBoardColumns];
        std::memcpy(cells, board.cells, sizeof cells);
        long walls = 0;
        for (int row = 0; row < kBoardRows; ++row) {
            for (int col = 0; col < kBoardColumns; ++col) {
                walls += cells[row][col] == kWall;
                if (row >= 2 && cells[row][col] >= 1 && cells[row][col] <= 3)
                    cells[row][col] = kEmpty; // the Board as the first fruit found it
            }
        }
        Replay replay(seed);
        replay.skip(20 * walls + 2 * (kBoardRows * kBoardColumns - walls));
        for (int p = 0; p < 3; ++p)
            replay.skip(2 * (12 - std::clamp<int>(lives[p], 0, 12)));
        for (int8_t code : {1, 1, 2, 2, 3}) {
            int row = 0, col = 0;
            do
                replay.fruitTry(row, col);
            while (cells[row][col] != kEmpty);
            cells[row][col] = code;
            EXPECT_EQ(board.cells[row][col], code) << "layout " << int{type};
        }
        EXPECT_EQ(matchState.randomState, replay.state) << "layout " << int{type};
    }
}

// ---- status row ------------------------------------------------------------------------

TEST_F(LevelTest, LivesFillUpToTwelveCellsOfTheirOwnBlock) {
    const int8_t lives[] = {-1, 0, 5, 12, 13};
    for (int8_t p = -1; p <= 3; ++p) {
        for (int8_t n : lives) {
            testing::resetGame(surface);
            std::memset(board.cells[0], 4, kBoardColumns); // a marker no repaint writes
            const bool real = p >= 0 && p <= 2;
            const int heads = real ? std::clamp<int>(n, 0, 12) : 0;
            if (real) playerSnake[p].colourBase = p == 1 ? 64 : 16 + 16 * p; // 2 is out
            if (real) playerSnake[p].lives = n;
            Replay replay(1);
            if (real) replay.skip(2 * (12 - heads)); // empty cells get fresh dark colours
            drawLives(p);
            for (int col = 0; col < kBoardColumns; ++col) {
                const int i = col - (3 + 14 * p);
                int8_t expected = 4;
                if (real && i >= 0 && i < 12) expected = i < heads ? playerSnake[p].colourBase : 0;
                EXPECT_EQ(board.cells[0][col], expected)
                    << "player " << int{p} << " lives " << int{n} << " column " << col;
            }
            EXPECT_EQ(matchState.randomState, replay.state);
        }
    }
}

TEST_F(LevelTest, ProgressBarShowsTheFruitsStillNeededPackedLeft) {
    const struct {
        int8_t eaten;
        int shown;
    } cases[] = {{-3, 15}, {0, 15}, {4, 11}, {15, 0}, {20, 0}};
    for (const auto &c : cases) {
        std::memset(board.cells[0], 4, kBoardColumns);
        matchState.levelFruitCount = c.eaten;
        drawLevelProgress();
        for (int col = 0; col < kBoardColumns; ++col) {
            int8_t expected = 4;
            if (col >= 47 && col <= 61) expected = col - 47 < c.shown ? kYellowFruit : kEmpty;
            EXPECT_EQ(board.cells[0][col], expected) << int{c.eaten} << " column " << col;
        }
    }
}

} // namespace
} // namespace ravela
