// The short soak inside the unit suite, and proof that its checks bite: each corruption a
// faulty rule could leave behind is planted by hand and must be reported.

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <functional>

#include "display/board.h"
#include "match/level.h"
#include "match/match_state.h"
#include "match/status_row.h"
#include "snakes/snake.h"
#include "tests/board_invariants.h"
#include "tests/soak.h"
#include "tests/support.h"

namespace ravela::testing {
namespace {

TEST(SoakTest, ShortPlayKeepsEveryRule) {
    static SDL_Surface *const surface = makeSurface(32);
    resetGame(surface, 7);
    const SoakReport report = runSoak(15000, 7, 1);
    std::printf("%s", describeSoak(report).c_str());
    EXPECT_EQ(report.fault, "");
    EXPECT_GE(report.ticks, 15000u);
    // The run went through what it claims to cover.
    EXPECT_GE(report.levelsCompleted, 2u);
    EXPECT_GE(std::popcount(report.layouts), 3);
    EXPECT_GT(report.livesLost, 10u);
    EXPECT_GT(report.hatches, 10u);
    EXPECT_GT(report.greyEggsSwallowed, 0u);
}

TEST(SoakTest, ChecksCatchEachCorruption) {
    const auto cell = [](const Snake &snake, int k) -> int8_t & {
        const int at = (snake.headIndex - k + kRingSize) % kRingSize;
        return board.cells[snake.rows[at]][snake.columns[at]];
    };
    const std::function<void()> corruptions[] = {
        [] { board.cells[20][30] = 9; },                               // a code with no tile
        [] { board.cells[47][10] = kEmpty; },                          // a hole in the border
        [&] { cell(adversarySnake[3], 0) = kEmpty; },                  // a head gone
        [&] { cell(adversarySnake[4], 1) = kEmpty; },                  // a tail gone
        [&] { cell(adversarySnake[0], 1) = kAdversaryBase + 13; },     // a straight for a corner
        [] { ++adversarySnake[2].rows[adversarySnake[2].headIndex]; }, // ring moved, Board not
        [] { board.cells[30][30] = kAdversaryBase + 12; },             // a body nobody owns
        [] { board.cells[30][30] = kPlayerBase[1] + 13; },             // player 2 is an egg
        [] { playerSnake[2].lives = 4; },                              // lives not redrawn
        [] { playerSnake[1].lives = -1, drawLives(1); },               // out, but not parked
        [] { placeFruit(kYellowFruit); },                              // a third yellow fruit
    };
    static SDL_Surface *const surface = makeSurface(32);
    for (const auto &corrupt : corruptions) {
        resetGame(surface, 7);
        for (Snake &player : playerSnake)
            player.lives = 5;
        matchState.adversaryCount = 9;
        setupLevel();
        adversarySnake[0].direction = kLeft;
        stepSnake(adversarySnake[0], 0); // a neck to check: head, corner, tail
        ASSERT_EQ(findBoardFault(true), "");
        corrupt();
        EXPECT_NE(findBoardFault(true), "") << &corrupt - corruptions;
    }
}

TEST(SoakTest, CounterWrapIsAJumpAcrossTheRange) {
    const Counters before{{127, 5, -128, 0, 14, 0, -128}};
    const int8_t afters[][2] = {{0, -128}, {2, 127}, {6, 127}, {0, 126}, {2, 3}, {6, 0}};
    for (int row = 0; row < 6; ++row) {
        Counters after = before;
        after.value[afters[row][0]] = afters[row][1];
        EXPECT_EQ(findCounterWrap(before, after).empty(), row >= 3) << row;
    }
}

} // namespace
} // namespace ravela::testing
