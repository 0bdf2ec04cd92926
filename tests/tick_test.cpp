// The rules of a match tick: who moves first, yellow growth and scoring, lost lives,
// swallowed eggs and out players, and the counters that must stop at the ends of a signed
// byte instead of wrapping. Trail mode and hatching are played through in the replay test.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "display/board.h"
#include "match/level.h"
#include "match/match_state.h"
#include "match/status_row.h"
#include "match/tick.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace ravela {
namespace {

struct TickTest : ::testing::Test {
    void SetUp() override {
        static SDL_Surface *surface = testing::makeSurface(32);
        testing::resetGame(surface, 7);
        buildWalls(board, 0);
        matchState.adversaryCount = 0;
        for (int8_t p = 0; p < 3; ++p) {
            egg(p, 4, 13 + 13 * p, -30).lives = 5;
            drawLives(p);
        }
        setCount(0);
    }
    static void setCount(int8_t n) { matchState.levelFruitCount = n, drawLevelProgress(); }

    // Snake i (players 0..2, then adversaries) moved to (row, col) as an egg of the given
    // length (-1: broken; 0: a bare head).
    static Snake &egg(int i, int row, int col, int32_t length) {
        Snake &s = i < 3 ? playerSnake[i] : adversarySnake[i - 3];
        if (isEgg(s)) setCellAndDraw(board, kEmpty, headRow(s), headColumn(s));
        s.colourBase = i < 3 ? kPlayerBase[i] : kAdversaryBase;
        s.length = length, s.growth = 0, s.direction = kNoDirection;
        setHeadCell(s, row, col);
        setCellAndDraw(board, static_cast<int8_t>(s.colourBase + (length < -1 ? 15 : 14)), row,
                       col);
        return s;
    }
    // Snake i drawn with its head at (row, col) after `behind` steps in direction d.
    static Snake &lay(int i, int row, int col, int8_t d, int behind) {
        const int dr = (d == kDown) - (d == kUp), dc = (d == kRight) - (d == kLeft);
        Snake &s = egg(i, row - dr * behind, col - dc * behind, 0);
        s.direction = d;
        setCellAndDraw(board, static_cast<int8_t>(s.colourBase + d), headRow(s), headColumn(s));
        for (int k = 0; k < behind; ++k)
            advanceHead(s);
        return s;
    }
    // Cells in rows 1..47 holding a code from lo to hi.
    static int count(int lo, int hi = -1) {
        int n = 0;
        for (int r = 1; r < kBoardRows; ++r)
            n += std::count_if(board.cells[r], board.cells[r] + kBoardColumns,
                               [&](int8_t c) { return c >= lo && c <= std::max(lo, hi); });
        return n;
    }
    // What the rules change on player p, with the level's count and the status row.
    static std::string facts(int p) {
        const Snake &s = playerSnake[p];
        const int8_t *row = board.cells[0];
        std::ostringstream out;
        out << "lives " << int(s.lives) << " ("
            << 12 - std::count(row + 3 + 14 * p, row + 15 + 14 * p, 0) << " shown), length "
            << s.length << ", growth " << s.growth << ", fruits " << int(s.levelFruits) << " of "
            << int(matchState.levelFruitCount) << " (bar "
            << std::count(row + 47, row + 62, kYellowFruit) << ")";
        return out.str();
    }
};

TEST_F(TickTest, AdversariesMoveFirstThenThePlayersInOrder) {
    // An adversary, walled in but for the way ahead, and player 1 reach for the same yellow
    // fruit; the adversary gets it, and player 1 runs into its head.
    matchState.adversaryCount = 1;
    setCount(3);
    board.cells[9][10] = board.cells[11][10] = kWall;
    Snake &adversary = lay(3, 10, 10, kRight, 2);
    lay(0, 9, 11, kDown, 2);
    setCellAndDraw(board, kYellowFruit, 10, 11);
    // Players 2 and 3 reach for another one; player 2 gets it and player 3 runs into it.
    lay(1, 20, 19, kRight, 2);
    lay(2, 20, 21, kLeft, 2);
    setCellAndDraw(board, kYellowFruit, 20, 20);
    matchTick();
    EXPECT_EQ(headColumn(adversary), 11);
    EXPECT_EQ(adversary.growth, 2 * 3 + 2 - 1); // it grew by the fruit, less this step
    EXPECT_EQ(facts(0), "lives 4 (4 shown), length -51, growth 0, fruits 0 of 4 (bar 11)");
    EXPECT_EQ(facts(1), "lives 5 (5 shown), length 3, growth 7, fruits 1 of 4 (bar 11)");
    EXPECT_EQ(facts(2), "lives 4 (4 shown), length -51, growth 0, fruits 0 of 4 (bar 11)");
    EXPECT_EQ(count(kYellowFruit), 2); // both were replaced
}

TEST_F(TickTest, AnOutPlayerLeavesAGreyEggAndPaysAgainWheneverOneIsSwallowed) {
    Snake &loser = lay(1, 20, 62, kRight, 2); // faces the border
    loser.lives = 0;
    loser.levelFruits = 3;
    setCount(5);
    matchTick();
    // One fruit goes back with the life, the other two with the player.
    EXPECT_EQ(facts(1), "lives -1 (0 shown), length -1, growth 0, fruits 2 of 2 (bar 13)");
    EXPECT_EQ(board.cells[20][62], kGreyEgg);
    EXPECT_EQ(count(32, 47), 0);
    EXPECT_EQ(headRow(loser) * 100 + headColumn(loser), 100); // parked on the wall (1, 0)

    // Player 1 swallows the grey egg: a life for it, another charge for the out player,
    // whose lives and the level's count stop at -128.
    lay(0, 21, 62, kUp, 2);
    loser.lives = -128;
    setCount(-127);
    matchTick();
    EXPECT_EQ(facts(0), "lives 6 (6 shown), length 2, growth 0, fruits 0 of -128 (bar 15)");
    EXPECT_EQ(facts(1), "lives -128 (0 shown), length -50, growth 0, fruits 1 of -128 (bar 15)");
    EXPECT_EQ(board.cells[1][0], kWall); // nothing hatches or is drawn where it is parked
}

TEST_F(TickTest, GreedyFlagsClearOnlyWhenTheThirdPlayerIsOut) {
    matchState.adversaryCount = 2;
    for (int8_t p = 0; p < 3; ++p) {
        EXPECT_EQ(adversarySnake[0].greedy, 1);
        playerSnake[p].lives = 0;
        loseLife(p);
    }
    EXPECT_EQ(adversarySnake[0].greedy + adversarySnake[1].greedy, 0);
    EXPECT_EQ(adversarySnake[2].greedy, 1); // not in play
}

TEST_F(TickTest, LivesAndFruitCountersStopAt127) {
    Snake &eater = lay(0, 20, 20, kRight, 2);
    eater.lives = eater.levelFruits = 127;
    setCount(127);
    setCellAndDraw(board, kGreyEgg, 20, 21);
    setCellAndDraw(board, kYellowFruit, 20, 22);
    matchTick();
    matchTick();
    EXPECT_EQ(facts(0), "lives 127 (12 shown), length 3, growth 255, fruits 127 of 127 (bar 0)");
}

} // namespace
} // namespace ravela
