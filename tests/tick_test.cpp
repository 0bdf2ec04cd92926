// The rules of a match tick: the order in which snakes move, fruit and growth, trail mode,
// swallowed eggs, lost lives and out players, hatching, and the counters that must not
// wrap past the range of a signed byte.

#include <gtest/gtest.h>

#include "display/board.h"
#include "match/level.h"
#include "match/match_state.h"
#include "match/status_row.h"
#include "match/tick.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace ravela {
namespace {

constexpr int8_t kP1 = 16, kP2 = 32, kP3 = 48;

class TickTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { surface = testing::makeSurface(32); }
    void SetUp() override {
        testing::resetGame(surface, 7);
        buildWalls(board, 0);
        matchState.adversaryCount = 0;
        for (int8_t p = 0; p < 3; ++p) {
            parkAsEgg(playerSnake[p], kPlayerBase[p], 4, 13 + 13 * p, -30);
            playerSnake[p].lives = 5;
            drawLives(p);
        }
        drawLevelProgress();
    }

    // A living snake whose head reached (row, col) after `behind` steps in `direction`;
    // it is drawn on the Board and has no growth left.
    static Snake &lay(Snake &snake, int8_t base, int row, int col, int8_t direction, int behind) {
        const int dr = direction == kUp ? -1 : direction == kDown ? 1 : 0;
        const int dc = direction == kLeft ? -1 : direction == kRight ? 1 : 0;
        const int8_t lives = snake.lives;
        initSnake(snake);
        snake.lives = lives;
        snake.colourBase = base;
        snake.direction = direction;
        snake.lastMoves[0] = static_cast<uint8_t>(direction);
        setHeadCell(snake, row - dr * behind, col - dc * behind);
        setCellAndDraw(board, static_cast<int8_t>(base + direction), row - dr * behind,
                       col - dc * behind);
        for (int i = 0; i < behind; ++i)
            advanceHead(snake);
        if (behind > 0)
            setCellAndDraw(board, static_cast<int8_t>(base + 5), row - dr * behind,
                           col - dc * behind);
        snake.growth = 0;
        return snake;
    }

    // An egg of the given colour at (row, col) with the given length (-1 broken).
    static Snake &parkAsEgg(Snake &snake, int8_t base, int row, int col, int32_t length) {
        const int8_t lives = snake.lives;
        initSnake(snake);
        snake.lives = lives;
        snake.colourBase = base;
        snake.direction = kNoDirection;
        setHeadCell(snake, row, col);
        snake.length = length;
        snake.growth = 0;
        setCellAndDraw(board, static_cast<int8_t>(base + (length < -1 ? 15 : 14)), row, col);
        return snake;
    }

    // Walls all round a cell except on the listed open sides (a string of u, d, l, r).
    static void enclose(int row, int col, const char *open) {
        const struct {
            char side;
            int dr, dc;
        } sides[] = {{'u', -1, 0}, {'d', 1, 0}, {'l', 0, -1}, {'r', 0, 1}};
        for (const auto &s : sides) {
            bool isOpen = false;
            for (const char *o = open; *o; ++o)
                isOpen = isOpen || *o == s.side;
            if (!isOpen && board.cells[row + s.dr][col + s.dc] == kEmpty)
                board.cells[row + s.dr][col + s.dc] = kWall;
        }
    }

    static int countCode(int code) {
        int n = 0;
        for (int r = 1; r < kBoardRows; ++r)
            for (int c = 0; c < kBoardColumns; ++c)
                n += board.cells[r][c] == code;
        return n;
    }

    static int countBand(int base) {
        int n = 0;
        for (int r = 1; r < kBoardRows; ++r)
            for (int c = 0; c < kBoardColumns; ++c)
                n += board.cells[r][c] >= base && board.cells[r][c] < base + 16;
        return n;
    }

    // How many of player p's twelve lives cells on the status row show a head.
    static int livesShown(int p) {
        int n = 0;
        for (int i = 0; i < 12; ++i)
            n += board.cells[0][3 + 14 * p + i] != kEmpty;
        return n;
    }

    // Yellow fruits left on the progress bar.
    static int barFruits() {
        int n = 0;
        for (int i = 0; i < 15; ++i)
            n += board.cells[0][47 + i] == kYellowFruit;
        return n;
    }

    static inline SDL_Surface *surface = nullptr;
};

TEST_F(TickTest, AdversariesMoveBeforePlayersAndTheirYellowFruitDoesNotCount) {
    // Both reach for the same yellow fruit at (10, 11); the adversary has no other way out.
    matchState.adversaryCount = 1;
    matchState.levelFruitCount = 3;
    Snake &adversary = lay(adversarySnake[0], kAdversaryBase, 10, 10, kRight, 2);
    enclose(10, 10, "lr");
    Snake &player = lay(playerSnake[0], kP1, 9, 11, kDown, 2);
    setCellAndDraw(board, kYellowFruit, 10, 11);

    matchTick();

    EXPECT_EQ(headRow(adversary), 10);
    EXPECT_EQ(headColumn(adversary), 11);
    EXPECT_EQ(adversary.growth, 2 * 3 + 2 - 1); // grew by the fruit, spent one step of it
    EXPECT_EQ(countCode(kYellowFruit), 1);      // the eaten fruit came back elsewhere
    EXPECT_EQ(matchState.levelFruitCount, 3);
    // The player met the adversary's new head instead of the fruit and lost a life.
    EXPECT_TRUE(isEgg(player));
    EXPECT_EQ(player.lives, 4);
    EXPECT_EQ(board.cells[9][11], kP1 + 15);
    EXPECT_EQ(livesShown(0), 4);
}

TEST_F(TickTest, PlayersMoveInOrderAndEachSeesTheBoardTheOneBeforeLeft) {
    // Player 1 and player 2 both head for (20, 20); player 1 moves first and gets there.
    Snake &first = lay(playerSnake[0], kP1, 20, 19, kRight, 2);
    Snake &second = lay(playerSnake[1], kP2, 20, 21, kLeft, 2);
    matchTick();
    EXPECT_FALSE(isEgg(first));
    EXPECT_EQ(headColumn(first), 20);
    EXPECT_TRUE(isEgg(second));
    EXPECT_EQ(second.lives, 4);
}

TEST_F(TickTest, YellowFruitGrowsByTwiceTheCountPlusTwoAndScoresForTheLevel) {
    matchState.levelFruitCount = 5;
    Snake &player = lay(playerSnake[0], kP1, 20, 20, kRight, 3);
    playerSnake[0].levelFruits = 2;
    setCellAndDraw(board, kYellowFruit, 20, 21);
    setCellAndDraw(board, kYellowFruit, 30, 30);

    matchTick();

    EXPECT_EQ(player.growth, 2 * 5 + 2 - 1);
    EXPECT_EQ(player.length, 4);
    EXPECT_EQ(matchState.levelFruitCount, 6);
    EXPECT_EQ(player.levelFruits, 3);
    EXPECT_EQ(barFruits(), 9);
    EXPECT_EQ(countCode(kYellowFruit), 2);
}

TEST_F(TickTest, RedFruitLeavesATrailThatGreenFruitWipesWithTheBody) {
    matchState.adversaryCount = 2;
    Snake &player = lay(playerSnake[0], kP1, 20, 20, kRight, 4);
    // Adversary eggs still grow when a player meets red or green fruit.
    parkAsEgg(adversarySnake[0], kAdversaryBase, 40, 10, -1);
    parkAsEgg(adversarySnake[1], kAdversaryBase, 40, 12, -1);
    setCellAndDraw(board, kRedFruit, 20, 21);

    matchTick();
    EXPECT_EQ(player.trailMode, 1);
    EXPECT_EQ(player.length, 3); // cut to 2 before the step, then one more cell
    EXPECT_EQ(player.growth, 9);
    EXPECT_EQ(adversarySnake[0].growth, 12);
    EXPECT_EQ(adversarySnake[1].growth, 12);
    EXPECT_EQ(countCode(kRedFruit), 0); // a player's red fruit is not replaced

    // Every step leaves one more cell of wall behind.
    const int band = countBand(kP1);
    for (int i = 1; i <= 5; ++i) {
        matchTick();
        EXPECT_EQ(countBand(kP1), band + i);
        EXPECT_EQ(player.length, 3);
    }
    EXPECT_EQ(board.cells[20][16], kP1 + 5); // the first tail cell is still there

    // Green fruit: body and trail vanish at once, the head goes on, the lives stay shown.
    setCellAndDraw(board, kGreenFruit, 20, 27);
    matchTick();
    EXPECT_EQ(player.trailMode, 0);
    EXPECT_EQ(player.length, 1);
    EXPECT_EQ(player.growth, 1);
    EXPECT_EQ(headColumn(player), 27);
    EXPECT_EQ(countBand(kP1), 1); // only the head; the old head cell is bare underneath
    EXPECT_EQ(board.cells[20][27], kP1 + kRight);
    EXPECT_EQ(livesShown(0), 5);
    EXPECT_EQ(adversarySnake[0].growth, 24);
    EXPECT_EQ(countCode(kGreenFruit), 0);
}

TEST_F(TickTest, SwallowingAnotherPlayersBrokenEggCostsItsOwnerALife) {
    for (int8_t owner = 0; owner < 3; ++owner) {
        SetUp();
        const int8_t eater = static_cast<int8_t>((owner + 1) % 3);
        Snake &egg = parkAsEgg(playerSnake[owner], kPlayerBase[owner], 30, 31, -1);
        egg.lives = 3;
        egg.levelFruits = 2;
        matchState.levelFruitCount = 4;
        Snake &snake = lay(playerSnake[eater], kPlayerBase[eater], 30, 30, kRight, 2);

        matchTick();

        SCOPED_TRACE(::testing::Message() << "owner " << int(owner));
        EXPECT_EQ(headColumn(snake), 31);
        EXPECT_EQ(board.cells[30][31], kPlayerBase[eater] + kRight);
        EXPECT_EQ(egg.lives, 2);
        EXPECT_EQ(livesShown(owner), 2);
        // Restarted as an intact egg (50) and counted down once on its own turn...
        EXPECT_EQ(egg.length, owner < eater ? -51 : -50);
        // ...and one of its fruits of this level is taken back.
        EXPECT_EQ(egg.levelFruits, 1);
        EXPECT_EQ(matchState.levelFruitCount, 3);
        EXPECT_EQ(barFruits(), 12);
    }
}

TEST_F(TickTest, AnAdversarySwallowingAPlayersLastEggSwallowsAGreyEgg) {
    matchState.adversaryCount = 1;
    Snake &adversary = lay(adversarySnake[0], kAdversaryBase, 10, 10, kRight, 2);
    enclose(10, 10, "lr");
    Snake &egg = parkAsEgg(playerSnake[1], kP2, 10, 11, -1);
    egg.lives = 0;

    matchTick();

    EXPECT_EQ(egg.lives, -1);
    EXPECT_EQ(egg.colourBase, kAdversaryBase);
    EXPECT_EQ(headRow(egg), 1);
    EXPECT_EQ(headColumn(egg), 0);
    EXPECT_EQ(headColumn(adversary), 11);
    EXPECT_EQ(board.cells[10][11], kAdversaryBase + kRight);
}

TEST_F(TickTest, AnOutPlayerLeavesAGreyEggAndPaysAgainWheneverOneIsSwallowed) {
    Snake &loser = lay(playerSnake[1], kP2, 20, 62, kRight, 2); // faces the border
    loser.lives = 0;
    loser.levelFruits = 3;
    matchState.levelFruitCount = 5;

    matchTick();

    EXPECT_EQ(loser.lives, -1);
    EXPECT_EQ(loser.colourBase, kAdversaryBase);
    EXPECT_EQ(board.cells[20][62], kGreyEgg);
    EXPECT_EQ(countBand(kP2), 0);
    EXPECT_EQ(loser.levelFruits, 2);
    EXPECT_EQ(matchState.levelFruitCount, 2); // one, then the remaining two
    EXPECT_EQ(livesShown(1), 0);
    EXPECT_EQ(headRow(loser), 1);
    EXPECT_EQ(headColumn(loser), 0);

    // Player 1 swallows the grey egg: one life for it, another charge for the out player.
    Snake &eater = lay(playerSnake[0], kP1, 21, 62, kUp, 2);
    matchTick();
    EXPECT_EQ(headRow(eater), 20);
    EXPECT_EQ(eater.lives, 6);
    EXPECT_EQ(livesShown(0), 6);
    EXPECT_EQ(loser.lives, -2);
    EXPECT_EQ(loser.levelFruits, 1);
    EXPECT_EQ(matchState.levelFruitCount, 0);
    EXPECT_EQ(board.cells[1][0], kWall); // nothing hatches or is drawn where it is parked
    EXPECT_EQ(livesShown(1), 0);
}

TEST_F(TickTest, GreedyFlagsClearOnlyWhenTheThirdPlayerIsOut) {
    matchState.adversaryCount = 2;
    for (int i = 0; i < 3; ++i)
        parkAsEgg(adversarySnake[i], kAdversaryBase, 40, 10 + 2 * i, -1);
    playerSnake[0].lives = 0;
    playerSnake[1].lives = 0;
    playerSnake[2].lives = 0;
    loseLife(0);
    loseLife(1);
    EXPECT_EQ(adversarySnake[0].greedy, 1);
    EXPECT_EQ(adversarySnake[1].greedy, 1);
    loseLife(2);
    EXPECT_EQ(adversarySnake[0].greedy, 0);
    EXPECT_EQ(adversarySnake[1].greedy, 0);
    EXPECT_EQ(adversarySnake[2].greedy, 1); // not in play
    EXPECT_EQ(adversarySnake[0].followsTail, 1);
}

TEST_F(TickTest, AnEggWhoseKeyPointsAtAGreyEggWinsALifeWithoutMoving) {
    Snake &egg = parkAsEgg(playerSnake[0], kP1, 20, 20, -50);
    egg.direction = kUp;
    setCellAndDraw(board, kGreyEgg, 19, 20);
    matchTick();
    EXPECT_TRUE(isEgg(egg));
    EXPECT_EQ(egg.length, -49);
    EXPECT_EQ(egg.lives, 6);
    EXPECT_EQ(livesShown(0), 6);
    EXPECT_EQ(board.cells[19][20], kGreyEgg);
    EXPECT_EQ(board.cells[20][20], kP1 + 15);
}

TEST_F(TickTest, AnEggWhoseKeyPointsAtGreenFruitHatchesWhateverItsCountdown) {
    Snake &egg = parkAsEgg(playerSnake[0], kP1, 20, 20, -50);
    egg.direction = kRight;
    setCellAndDraw(board, kGreenFruit, 20, 21);
    matchTick();
    EXPECT_FALSE(isEgg(egg));
    EXPECT_EQ(headColumn(egg), 21);
    EXPECT_EQ(egg.length, 1);
    EXPECT_EQ(countCode(kGreenFruit), 0);
}

TEST_F(TickTest, AnEggHatchesOnAKeyFromSixStepsAfterALostLife) {
    Snake &ready = parkAsEgg(playerSnake[0], kP1, 20, 20, -45);
    Snake &early = parkAsEgg(playerSnake[1], kP2, 20, 30, -46);
    Snake &noKey = parkAsEgg(playerSnake[2], kP3, 20, 40, -10);
    ready.direction = kDown;
    early.direction = kDown;
    matchTick();
    EXPECT_FALSE(isEgg(ready));
    EXPECT_EQ(headRow(ready), 21);
    EXPECT_TRUE(isEgg(early));
    EXPECT_EQ(early.length, -45);
    EXPECT_TRUE(isEgg(noKey));

    // An out player never hatches, and neither does a covered egg.
    Snake &covered = parkAsEgg(playerSnake[1], kP2, 30, 30, -1);
    covered.direction = kDown;
    setCellAndDraw(board, kAdversaryBase + 12, 30, 30);
    Snake &out = parkAsEgg(playerSnake[2], kP3, 30, 40, -1);
    out.lives = -1;
    out.direction = kDown;
    matchTick();
    EXPECT_TRUE(isEgg(covered));
    EXPECT_TRUE(isEgg(out));
}

TEST_F(TickTest, AdversaryMealsOfRedOrGreenAreReplacedAndGiveItNothing) {
    matchState.adversaryCount = 1;
    for (int8_t fruit : {kRedFruit, kGreenFruit}) {
        SetUp();
        matchState.adversaryCount = 1;
        Snake &adversary = lay(adversarySnake[0], kAdversaryBase, 10, 10, kRight, 2);
        enclose(10, 10, "lr");
        setCellAndDraw(board, fruit, 10, 11);

        matchTick();

        SCOPED_TRACE(::testing::Message() << "fruit " << int(fruit));
        EXPECT_EQ(headColumn(adversary), 11);
        EXPECT_EQ(countCode(fruit), 1);
        EXPECT_EQ(board.cells[10][11], kAdversaryBase + kRight);
        EXPECT_EQ(adversary.length, 2);
        EXPECT_EQ(adversary.growth, 0);
        EXPECT_EQ(adversary.trailMode, 0);
    }
}

TEST_F(TickTest, AnAdversaryDownToItsHeadDiesAsAGreyEgg) {
    matchState.adversaryCount = 1;
    Snake &adversary = lay(adversarySnake[0], kAdversaryBase, 25, 25, kUp, 0);
    matchTick();
    EXPECT_EQ(adversary.length, -1);
    EXPECT_EQ(board.cells[25][25], kGreyEgg);
    matchTick(); // an adversary egg stays as it is
    EXPECT_EQ(adversary.length, -1);
}

TEST_F(TickTest, LivesAndFruitCountersSaturateInsteadOfWrapping) {
    // A grey egg swallowed at 127 lives keeps 127.
    Snake &eater = lay(playerSnake[0], kP1, 20, 20, kRight, 2);
    eater.lives = 127;
    setCellAndDraw(board, kGreyEgg, 20, 21);
    matchTick();
    EXPECT_EQ(eater.lives, 127);
    EXPECT_EQ(livesShown(0), 12);

    // A yellow fruit at 127 keeps both counts at 127.
    eater.levelFruits = 127;
    matchState.levelFruitCount = 127;
    setCellAndDraw(board, kYellowFruit, 20, 22);
    matchTick();
    EXPECT_EQ(eater.levelFruits, 127);
    EXPECT_EQ(matchState.levelFruitCount, 127);

    // An out player charged again and again stops at -128 lives.
    Snake &out = playerSnake[1];
    out.lives = -127;
    out.colourBase = kAdversaryBase;
    setHeadCell(out, 1, 0);
    out.length = -1;
    out.levelFruits = 5;
    matchState.levelFruitCount = -120;
    for (int i = 0; i < 4; ++i)
        loseLife(1);
    EXPECT_EQ(out.lives, -128);
    EXPECT_EQ(matchState.levelFruitCount, -128);
    EXPECT_EQ(out.levelFruits, 1);
    EXPECT_EQ(barFruits(), 15);

    EXPECT_EQ(saturatingAdd(100, 27), 127);
    EXPECT_EQ(saturatingAdd(-100, -28), -128);
    EXPECT_EQ(saturatingAdd(-3, 2), -1);
}

} // namespace
} // namespace ravela
