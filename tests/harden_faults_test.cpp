// Faults the soak and the fuzz target found, replayed through the real input poll and match
// tick. Both came from the cell a hatching egg leaves: it is still the hatched snake's tail
// for a few steps, and once the Board showed it empty, others could walk in.

#include <gtest/gtest.h>

#include "display/board.h"
#include "match/input.h"
#include "match/level.h"
#include "match/match_state.h"
#include "match/status_row.h"
#include "match/tick.h"
#include "snakes/snake.h"
#include "tests/board_invariants.h"
#include "tests/support.h"

namespace ravela {
namespace {

class HardenFaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static SDL_Surface *const surface = testing::makeSurface(32);
        testing::resetGame(surface, 3);
        buildWalls(board, 0);
        matchState.adversaryCount = 0;
        drawLevelProgress();
    }

    // Player p with five lives and its head at (row, col) after `steps` steps to the right;
    // then, unless countdown is -2, an egg with that countdown.
    static void place(int8_t p, int row, int col, int steps, int8_t countdown) {
        Snake &player = playerSnake[p];
        initSnake(player);
        player.lives = 5;
        player.colourBase = kPlayerBase[p];
        player.direction = kRight;
        setHeadCell(player, row, col - steps);
        setCellAndDraw(board, static_cast<int8_t>(player.colourBase + 6), row, col - steps);
        for (int k = 0; k < steps; ++k)
            stepSnake(player, 0);
        if (countdown > -2) turnToEgg(player, false, countdown);
        drawLives(p);
    }
};

// A player hatches onto a yellow fruit, so its tail stays on the egg cell for more than three
// steps, and turns round in a square back into that cell. The cell is still its tail, so the
// step is blocked; when the Board showed it empty, the head moved in and the ring held the
// cell twice.
TEST_F(HardenFaultTest, HatchedPlayerCannotWalkBackIntoItsOwnEggCell) {
    place(0, 10, 10, 0, 0); // broken at once: it hatches on the first key
    place(1, 4, 26, 0, 40);
    place(2, 4, 39, 0, 40);
    setCellAndDraw(board, kYellowFruit, 10, 11);
    for (const int8_t way : {kRight, kDown, kLeft, kUp}) {
        pollInput(); // a tick as the tick loop runs it, with the key for player 1
        requestDirection(playerSnake[0], way);
        matchTick();
        EXPECT_EQ(testing::findBoardFault(false), "") << "after moving " << int{way};
    }
    EXPECT_TRUE(isEgg(playerSnake[0])); // crashed into its own tail
}

// Player 2's egg hatches toward a wall in the tick in which player 1, moving first, steps
// into the egg's cell. When the Board showed the cell empty, player 1 moved in, player 2
// crashed, and its new egg was drawn over player 1's head.
TEST_F(HardenFaultTest, CrashRightAfterHatchingLeavesNoHeadUnderAnEgg) {
    place(0, 10, 9, 2, -2);
    place(1, 10, 10, 0, 0);
    place(2, 4, 39, 0, 40);
    board.cells[9][10] = kWall; // player 2 will hatch upward into this
    pollInput();
    requestDirection(playerSnake[1], kUp);
    matchTick();
    EXPECT_EQ(testing::findBoardFault(false), "");
    EXPECT_TRUE(isEgg(playerSnake[0]) && isEgg(playerSnake[1])); // both crashed
}

} // namespace
} // namespace ravela
