// Tests of level setup (wall layouts, starting places, fruit placement and its random
// draws) and of the status row's lives and progress bar.

#include <algorithm>
#include <cstring>

#include "common/random.h"
#include "match/status_row.h"
#include "tests/fixture.h"

namespace ravela {

struct LevelTest : testing::GameTest {};

static void setup(int8_t type, int8_t adversaries) {
    matchState.levelType = type;
    matchState.adversaryCount = adversaries;
    setupLevel();
}

// Each layout's free cells, and the sums of its wall cells' rows and columns, which move
// when a bar does.
TEST_F(LevelTest, EveryLayoutHasItsBorderAndItsCountOfFreeCells) {
    const int freeCells[10] = {2790, 2790, 2730, 2686, 2676, 2702, 2734, 2490, 2531, 2790};
    const int rowSums[10] = {5232, 5232, 6702, 7728, 7968, 7388, 6548, 12432, 11596, 5232};
    const int columnSums[10] = {6867, 6867, 8727, 10143, 10458, 9595, 8603, 16017, 15155, 6867};
    for (int8_t type = -1; type <= 8; ++type) {          // -1 and 8 are unknown: the bare border
        std::memset(board.cells, 5, sizeof board.cells); // leftovers of an earlier screen
        buildWalls(board, type);
        const int free = freeCells[type + 1];
        const int8_t *cells = &board.cells[0][0];
        EXPECT_EQ(std::count(cells, cells + 64, kEmpty), 64) << "the status row";
        EXPECT_EQ(std::count(cells, cells + 3072, kEmpty), 64 + free) << "layout " << int{type};
        EXPECT_EQ(std::count(cells, cells + 3072, kWall), 3072 - 64 - free); // border and inner
        int rows = 0, columns = 0;
        for (int cell = 0; cell < 3072; ++cell)
            if (cells[cell] == kWall) rows += cell / 64, columns += cell % 64;
        EXPECT_EQ(rows, rowSums[type + 1]) << "wall rows of layout " << int{type};
        EXPECT_EQ(columns, columnSums[type + 1]) << "wall columns of layout " << int{type};
    }
}

// Seed 24, layout 5, lives 5, 0 and 13: the repaint draws 20 numbers per wall cell and 2
// per other cell, the lives 2 per empty cell, then each fruit try a column and a row; the
// red fruit's first try hits the wall at (22, 17).
TEST_F(LevelTest, SetupDrawsTheFruitAfterTheRepaintAndTheLives) {
    testing::resetGame(surface(), 24);
    const int8_t lives[3] = {5, 0, 13};
    for (int p = 0; p < kPlayerCount; ++p)
        playerSnake[p].lives = lives[p];
    setup(5, 9);
    const struct {
        int row, col, code;
    } cells[] = {{31, 40, 1}, {37, 7, 1},  {24, 35, 2},  {18, 33, 2}, {8, 54, 3}, {4, 13, 31},
                 {4, 26, 47}, {4, 39, 63}, {45, 62, 64}, {0, 7, 16},  {0, 8, 0},  {0, 61, 1}};
    for (const auto &c : cells)
        EXPECT_EQ(board.cells[c.row][c.col], c.code) << c.row << "," << c.col;
    EXPECT_EQ(board.autoPresent, 1);
}

// An adversary's start cell is its tail until its second move and must not look free;
// the one that starts inside the comb's wall cannot move and keeps no tail.
TEST_F(LevelTest, AdversaryStartCellShowsItsTailUntilTheTailMoves) {
    setup(0, 9);
    for (int i = 0; i < kMaxAdversaries; ++i)
        EXPECT_EQ(board.cells[46][46 + 2 * i], 64 + 5) << i;
    setup(7, 9);
    EXPECT_EQ(adversarySnake[5].length, 0);
    EXPECT_EQ(board.cells[46][56], kWall);
    EXPECT_EQ(board.cells[46][54], 64 + 5);
}

TEST_F(LevelTest, WhenTheDrawsGiveUpTheFirstFreeCellIsTakenIfAny) {
    buildWalls(board, 3);
    for (int row = 2; row <= 46; ++row)
        std::memset(&board.cells[row][1], kWall, 62);
    int8_t full[kBoardRows][kBoardColumns];
    std::memcpy(full, board.cells, sizeof full);
    placeFruitWithin(kYellowFruit, 5);
    EXPECT_EQ(std::memcmp(full, board.cells, sizeof full), 0); // a full range: nothing placed
    // Two free cells that seed 9's five tries miss: the row-major scan takes the upper one.
    board.cells[46][62] = kEmpty;
    board.cells[30][40] = kEmpty;
    srand(9);
    for (int draw = 0; draw < 2 * 5; ++draw) // a column and a row for each try
        rand();
    const int afterTries = rand();
    srand(9);
    placeFruitWithin(kGreenFruit, 5);
    EXPECT_EQ(board.cells[30][40], kGreenFruit);
    EXPECT_EQ(rand(), afterTries) << "five tries, then the scan";
    placeFruitWithin(kRedFruit, 0);
    EXPECT_EQ(board.cells[46][62], kRedFruit) << "the scan reaches the last inner cell";
}

TEST_F(LevelTest, StatusRowShowsLivesAndTheFruitsStillNeededPackedLeft) {
    playerSnake[1].colourBase = 64; // player 2 is out: grey heads, but only for positive lives
    const struct {
        int8_t lives, eaten;
        int heads, fruits;
    } cases[] = {{-1, -3, 0, 15}, {0, 4, 0, 11}, {5, 15, 5, 0}, {13, 20, 12, 0}};
    for (const auto &c : cases) {
        std::memset(board.cells[0], 4, kBoardColumns); // a marker only a repaint replaces
        playerSnake[1].lives = c.lives;
        matchState.levelFruitCount = c.eaten;
        for (int8_t p : {-1, 1, 3})
            drawLives(p);
        drawLevelProgress();
        for (int col = 0; col < kBoardColumns; ++col) {
            const int life = col - 17, fruit = col - 47;
            int expected = 4;
            if (life >= 0 && life < 12) expected = life < c.heads ? 64 : kEmpty;
            if (fruit >= 0 && fruit < 15) expected = fruit < c.fruits ? kYellowFruit : kEmpty;
            EXPECT_EQ(board.cells[0][col], expected)
                << "lives " << int{c.lives} << " column " << col;
        }
    }
}

} // namespace ravela
