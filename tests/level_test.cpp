// Tests of level setup (wall layouts, starting places, fruit placement and its random
// draws) and of the status row's lives and progress bar.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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

// The eight layouts drawn by rows: each line names the rows it draws ("13", "2-12", or
// "3-45/2" for every second row), then their cells, '#' wall and '.' empty. The rows left
// out of 2..46 are walled at columns 0 and 63 only; rows 1 and 47 are wall and the status
// row is empty.
// clang-format off
const std::vector<std::vector<const char *>> kLayouts = {
    // 0: the bare border
    {},
    // 1: two vertical bars
    {"10-39  #...............#.............................#................#"},
    // 2: a pinwheel of four bars, each joined to the border
    {"2-12   #.............#................................................#",
     "13     #.............#..................###############################",
     "14-23  #.............#................................................#",
     "25-34  #................................................#.............#",
     "35     ###############################..................#.............#",
     "36-46  #................................................#.............#"},
    // 3: a box open at its four corners
    {"12     #.............####################################.............#",
     "14-34  #...........#......................................#...........#",
     "36     #.............####################################.............#"},
    // 4: two dotted double columns
    {"3-45/2 #.................##...........................................#",
     "4-46/2 #..........................................##..................#"},
    // 5: two diagonals falling to the right
    {"10     #....#........................#................................#",
     "11     #.....#........................#...............................#",
     "12     #......#........................#..............................#",
     "13     #.......#........................#.............................#",
     "14     #........#........................#............................#",
     "15     #.........#........................#...........................#",
     "16     #..........#........................#..........................#",
     "17     #...........#........................#.........................#",
     "18     #............#........................#........................#",
     "19     #.............#........................#.......................#",
     "20     #..............#........................#......................#",
     "21     #...............#........................#.....................#",
     "22     #................#........................#....................#",
     "23     #.................#........................#...................#",
     "24     #..................#........................#..................#",
     "25     #...................#........................#.................#",
     "26     #....................#........................#................#",
     "27     #.....................#........................#...............#",
     "28     #......................#........................#..............#",
     "29     #.......................#........................#.............#",
     "30     #........................#........................#............#",
     "31     #.........................#........................#...........#",
     "32     #..........................#........................#..........#",
     "33     #...........................#........................#.........#",
     "34     #............................#........................#........#",
     "35     #.............................#........................#.......#",
     "36     #..............................#........................#......#",
     "37     #...............................#........................#.....#"},
    // 6: twelve vertical bars, every third column
    {"12-36  #.............#..#..#..#..#..#..#..#..#..#..#..#...............#"},
    // 7: a comb: teeth from the top border and from the bottom one
    {"2-9    #...............#...............#...............#..............#",
     "10-38  #.......#.......#.......#.......#.......#.......#.......#......#",
     "39-46  #.......#...............#...............#...............#......#"},
};
// clang-format on

TEST_F(LevelTest, EveryLayoutIsItsPicture) {
    for (int8_t type = -1; type <= 8; ++type) {          // -1 and 8 are unknown: the bare border
        std::memset(board.cells, 5, sizeof board.cells); // leftovers of an earlier screen
        buildWalls(board, type);
        std::vector<std::string> picture(kBoardRows, "#" + std::string(62, '.') + "#");
        picture[kStatusRow] = std::string(kBoardColumns, '.');
        picture[kTopWallRow] = picture[kBottomWallRow] = std::string(kBoardColumns, '#');
        for (const char *line : kLayouts[type >= 0 && type < 8 ? type : 0]) {
            int first = 0, last = -1, step = 1;
            std::sscanf(line, "%d-%d/%d", &first, &last, &step);
            for (int row = first; row <= std::max(first, last); row += step)
                picture[row] = line + 7;
        }
        for (int row = 0; row < kBoardRows; ++row) {
            std::string shown;
            for (const int8_t code : board.cells[row])
                shown += code == kWall ? '#' : code == kEmpty ? '.' : '?';
            EXPECT_EQ(shown, picture[row]) << "layout " << int{type} << ", row " << row;
        }
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
    for (const Snake &player : playerSnake)
        EXPECT_EQ(player.length, eggLength(40)) << "players start as eggs counting down from 40";
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
    srand(3);
    for (int draw = 0; draw < 2 * 50000; ++draw)
        rand();
    const int afterAllTries = rand();
    srand(3);
    placeFruit(kYellowFruit);
    EXPECT_EQ(rand(), afterAllTries) << "placeFruit tries 50,000 times before the scan";
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
