// Tests of the Snake operations: stepping, growing and shrinking, the tiles a snake
// leaves on the Board, eggs and hatching, and the limits of the ring.

#include <gtest/gtest.h>

#include "display/board.h"
#include "match/match_state.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace ravela {
namespace {

constexpr int8_t B = 16; // player 1's colour base

class SnakeTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { surface = testing::makeSurface(32); }
    void SetUp() override { testing::resetGame(surface); }

    // Player 1 alive with its head placed at (row, col), growth 2.
    static Snake &place(int row, int col, int8_t direction, int8_t base = B) {
        Snake &snake = playerSnake[0];
        initSnake(snake);
        snake.colourBase = base;
        snake.direction = direction;
        setHeadCell(snake, row, col);
        return snake;
    }
    static int8_t at(int row, int col) { return board.cells[row][col]; }

    static inline SDL_Surface *surface = nullptr;
};

// ---- stepping and the tiles left behind ------------------------------------------------

TEST_F(SnakeTest, ThreeStepsGrowAHeadANeckAndATail) {
    // Per direction: the tail offset for a body continuing that way, and the row/col step.
    const struct {
        int8_t direction, tail, dr, dc;
    } cases[] = {{kUp, 5, -1, 0}, {kDown, 4, 1, 0}, {kLeft, 7, 0, -1}, {kRight, 6, 0, 1}};
    for (const auto &c : cases) {
        testing::resetGame(surface);
        Snake &s = place(20, 30, c.direction);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(stepSnake(s, 0), 0);
        EXPECT_EQ(s.length, 2);
        EXPECT_EQ(at(20 + 3 * c.dr, 30 + 3 * c.dc), B + c.direction);
        EXPECT_EQ(at(20 + 2 * c.dr, 30 + 2 * c.dc), B + (c.dr ? 13 : 12));
        EXPECT_EQ(at(20 + c.dr, 30 + c.dc), B + c.tail) << int{c.direction};
        EXPECT_EQ(at(20, 30), kEmpty);
    }
    // With nothing behind the head and no growth, the old head cell is erased.
    Snake &s = place(20, 20, kUp);
    s.growth = 0;
    board.cells[20][20] = B;
    stepSnake(s, 0);
    EXPECT_EQ(s.length, 0);
    EXPECT_EQ(at(19, 20), B + kUp);
    EXPECT_EQ(at(20, 20), kEmpty);
}

TEST_F(SnakeTest, NeckTileJoinsTheSidesTheBodyEntersAndLeaves) {
    // The body enters a cell opposite its previous move and leaves on the side of the
    // current move; a reversal gets the straight tile of its axis.
    enum { Top = 1, Bottom = 2, Left = 4, Right = 8 };
    const int leave[4] = {Top, Bottom, Left, Right};
    const int enter[4] = {Bottom, Top, Right, Left};
    auto tileFor = [](int sides) {
        switch (sides) {
        case Left | Bottom: return 8;
        case Top | Left: return 9;
        case Right | Bottom: return 10;
        case Top | Right: return 11;
        case Left | Right:
        case Left:
        case Right: return 12;
        default: return 13;
        }
    };
    for (int8_t previous = 0; previous < 4; ++previous) {
        for (int8_t current = 0; current < 4; ++current) {
            Snake &s = place(20, 30, previous, 48);
            advanceHead(s);
            const int row = headRow(s), col = headColumn(s);
            s.direction = current;
            ASSERT_TRUE(advanceHead(s));
            EXPECT_EQ(at(row, col), 48 + tileFor(enter[previous] | leave[current]))
                << int{previous} << " then " << int{current};
            EXPECT_EQ(s.lastMoves[0], current);
            EXPECT_EQ(s.lastMoves[1], previous);
        }
    }
}

TEST_F(SnakeTest, RingWrapsAroundItsEnd) {
    Snake &s = place(30, 5, kRight);
    s.headIndex = kRingSize - 2;
    setHeadCell(s, 30, 5);
    for (int i = 0; i < 6; ++i)
        stepSnake(s, 0);
    EXPECT_EQ(s.headIndex, 4);
    EXPECT_EQ(at(30, 11), B + kRight);
    EXPECT_EQ(at(30, 9), B + 6);
    EXPECT_EQ(at(30, 8), kEmpty);
}

TEST_F(SnakeTest, FruitAndBlockedSteps) {
    Snake &s = place(20, 20, kRight);
    s.growth = 0;
    setCellAndDraw(board, kYellowFruit, 20, 21);
    setCellAndDraw(board, kRedFruit, 20, 22);
    EXPECT_EQ(stepSnake(s, 3), 1);
    EXPECT_EQ(s.growth, 2); // three added, one spent on this step
    EXPECT_EQ(stepSnake(s, 3), 0);
    setCellAndDraw(board, kWall, 20, 23);
    EXPECT_EQ(stepSnake(s, 0), 2); // blocked while growing: stays, growth counts down
    EXPECT_EQ(s.growth, 0);
    EXPECT_EQ(s.length, 2);
    EXPECT_EQ(stepSnake(s, 0), 2); // blocked, not growing: loses its tail
    EXPECT_EQ(s.length, 1);
    EXPECT_EQ(headColumn(s), 22);
    EXPECT_EQ(at(20, 21), B + 12); // the last body cell keeps its tile
    EXPECT_EQ(at(20, 23), kWall);
}

TEST_F(SnakeTest, BrokenEggsOfEveryColourAreSwallowedAndIntactOnesBlock) {
    for (int8_t base : {16, 32, 48, 64}) {
        Snake &s = place(20, 20, kDown, 64);
        setCellAndDraw(board, static_cast<int8_t>(base + kBrokenEggTile), 21, 20);
        setCellAndDraw(board, static_cast<int8_t>(base + kIntactEggTile), 22, 20);
        EXPECT_EQ(stepSnake(s, 0), 0) << int{base};
        EXPECT_EQ(at(21, 20), 64 + kDown);
        EXPECT_EQ(stepSnake(s, 0), 2) << int{base};
        EXPECT_EQ(headRow(s), 21);
    }
}

TEST_F(SnakeTest, LookAheadReadsPastTheGridAsWallAndRowZeroAsItIs) {
    EXPECT_EQ(lookAhead(place(0, 5, kUp)), kWall);
    EXPECT_EQ(lookAhead(place(47, 5, kDown)), kWall);
    EXPECT_EQ(lookAhead(place(5, 0, kLeft)), kWall);
    EXPECT_EQ(lookAhead(place(5, 63, kRight)), kWall);
    board.cells[0][9] = 32;
    board.cells[1][9] = kGreenFruit;
    EXPECT_EQ(lookAhead(place(1, 9, kUp)), 32);
    EXPECT_EQ(lookAhead(place(1, 9, kNoDirection)), kGreenFruit); // its own cell
}

TEST_F(SnakeTest, PendingReversalIsDroppedAndATurnWaitsOneStep) {
    Snake &s = place(10, 20, kDown);
    s.pendingDirection = kUp;
    stepSnake(s, 0);
    EXPECT_EQ(s.direction, kDown);
    EXPECT_EQ(s.pendingDirection, kNoDirection);
    s.pendingDirection = kLeft;
    stepSnake(s, 0);
    EXPECT_EQ(headRow(s), 12); // this step still goes down
    stepSnake(s, 0);
    EXPECT_EQ(headRow(s), 12);
    EXPECT_EQ(headColumn(s), 19);
}

TEST_F(SnakeTest, HeadStopsAtTheLongestLength) {
    Snake &s = place(10, 10, kRight);
    for (int32_t i = 0; i < kRingSize; ++i) { // a body laid row by row over the arena
        s.rows[i] = static_cast<uint8_t>(2 + i / 62 % 45);
        s.columns[i] = static_cast<uint8_t>(1 + i % 62);
    }
    setHeadCell(s, 10, 10);
    s.length = kRingSize - 1;
    s.growth = 3;
    EXPECT_EQ(stepSnake(s, 0), 0);
    EXPECT_EQ(s.growth, 2);
    EXPECT_EQ(s.length, kRingSize - 1);
    EXPECT_EQ(at(10, 11), kEmpty);
    s.growth = 0;
    stepSnake(s, 0);
    EXPECT_EQ(s.length, kRingSize - 2);
    EXPECT_TRUE(advanceHead(s));
}

// ---- eggs and hatching -----------------------------------------------------------------

TEST_F(SnakeTest, EggCountdownsBreakTheShellAfterThatManySteps) {
    Snake &s = place(10, 10, kRight);
    s.growth = 3;
    for (int i = 0; i < 3; ++i)
        stepSnake(s, 0);
    ASSERT_TRUE(turnToEgg(s, false, 50)); // shrinks to the head first
    for (int col = 10; col < 13; ++col)
        EXPECT_EQ(at(10, col), kEmpty);
    EXPECT_EQ(at(10, 13), B + kIntactEggTile);
    for (int i = 0; i < 49; ++i)
        EXPECT_EQ(stepSnake(s, 0), 0);
    EXPECT_EQ(s.length, -2);
    stepSnake(s, 0);
    EXPECT_EQ(s.length, -1);
    stepSnake(s, 0);
    EXPECT_EQ(s.length, -1);                   // a broken egg stays broken
    EXPECT_EQ(at(10, 13), B + kIntactEggTile); // repainted only on the next refresh
    EXPECT_FALSE(turnToEgg(s, false, -1));
    EXPECT_EQ(at(10, 13), B + kBrokenEggTile);

    for (int8_t countdown : {0, -1, -100}) {
        Snake &t = place(10, 10, kRight);
        turnToEgg(t, false, countdown);
        EXPECT_EQ(t.length, -1) << int{countdown};
        EXPECT_EQ(at(10, 10), B + kBrokenEggTile);
    }
}

TEST_F(SnakeTest, WipeClearsTheColourEverywhereButTheStatusRow) {
    Snake &s = place(10, 10, kRight);
    board.cells[0][3] = B;
    board.cells[1][0] = B + 12;
    board.cells[47][63] = B + 15;
    board.cells[25][25] = 32;
    board.cells[25][26] = kWall;
    ASSERT_TRUE(turnToEgg(s, true, 40));
    EXPECT_EQ(at(0, 3), B);
    EXPECT_EQ(at(1, 0), kEmpty);
    EXPECT_EQ(at(47, 63), kEmpty);
    EXPECT_EQ(at(25, 25), 32);
    EXPECT_EQ(at(25, 26), kWall);
    EXPECT_EQ(at(10, 10), B + kIntactEggTile);
}

TEST_F(SnakeTest, TurnToEggOnAnEggRepaintsOnlyABareOrStaleCell) {
    Snake &s = place(10, 10, kRight);
    turnToEgg(s, false, 3);
    board.cells[10][10] = kEmpty;
    EXPECT_FALSE(turnToEgg(s, true, -1));
    EXPECT_EQ(at(10, 10), B + kIntactEggTile);
    EXPECT_EQ(s.length, -4);          // a negative countdown keeps the count
    board.cells[10][10] = 64 + kLeft; // covered by an adversary
    EXPECT_FALSE(turnToEgg(s, false, 0));
    EXPECT_EQ(at(10, 10), 64 + kLeft);
    EXPECT_EQ(s.length, -1);
    board.cells[10][10] = B + kIntactEggTile;
    turnToEgg(s, false, -1);
    EXPECT_EQ(at(10, 10), B + kBrokenEggTile);
}

TEST_F(SnakeTest, HatchClearsTheCellWithoutPaintingAndFailsWhenCovered) {
    Snake &s = place(10, 10, kRight);
    turnToEgg(s, false, 40);
    s.direction = kNoDirection;
    const uint32_t eggPixel = testing::pixelAt(surface, 105, 105);

    board.cells[10][10] = 32 + 12;
    EXPECT_FALSE(hatch(s));
    EXPECT_EQ(s.length, -41);
    board.cells[10][10] = B + kIntactEggTile;
    const uint32_t randomBefore = matchState.randomState;
    ASSERT_TRUE(hatch(s));
    EXPECT_EQ(s.length, 0);
    EXPECT_EQ(s.growth, 2);
    EXPECT_EQ(s.direction, kRight); // no direction becomes right
    EXPECT_EQ(at(10, 10), kEmpty);
    EXPECT_EQ(matchState.randomState, randomBefore);          // nothing was painted
    EXPECT_EQ(testing::pixelAt(surface, 105, 105), eggPixel); // the egg still shows
    EXPECT_FALSE(hatch(s));
}

// A hatched egg's cell is empty on the Board while it is still the snake's tail; whatever
// lands there in that time must survive the tail drop.
TEST_F(SnakeTest, TailDropSparesWhatLandedOnAHatchedEgg) {
    for (int8_t visitor : {kYellowFruit, int8_t{64 + kUp}, kEmpty}) {
        testing::resetGame(surface);
        Snake &s = place(10, 10, kRight);
        turnToEgg(s, false, 40);
        ASSERT_TRUE(hatch(s));
        setCellAndDraw(board, visitor, 10, 10);
        for (int i = 0; i < 3; ++i)
            stepSnake(s, 0);
        EXPECT_EQ(at(10, 10), visitor);
        EXPECT_EQ(s.length, 2);
        EXPECT_EQ(at(10, 11), B + 6); // the new tail is still drawn
    }
}

} // namespace
} // namespace ravela
