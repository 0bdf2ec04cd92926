// Tests of the Snake operations: stepping, growing and shrinking, eggs and hatching,
// and the tail drop that must not erase what is no longer the snake's own.

#include "tests/fixture.h"

namespace ravela {

constexpr int8_t B = 16; // player 1's colour base

struct SnakeTest : testing::GameTest {};

// Player 1 alive at (row, col) with growth 2. The head starts in the ring's last slot, so
// every test also crosses the ring's wrap.
static Snake &place(int row, int col, int8_t direction, int8_t base = B) {
    Snake &s = playerSnake[0];
    initSnake(s);
    s.colourBase = base;
    s.direction = direction;
    s.headIndex = kRingSize - 1;
    setHeadCell(s, row, col);
    return s;
}

// Steps n times without yellow growth; the result of the last step.
static int steps(Snake &s, int n) {
    for (int i = 1; i < n; ++i)
        stepSnake(s, 0);
    return stepSnake(s, 0);
}

// Expects the codes on the cells from (row, col) on, one step of (dr, dc) apart.
static void expectLine(int row, int col, int dr, int dc, std::initializer_list<int> codes) {
    for (int i = 0; i < static_cast<int>(codes.size()); ++i)
        EXPECT_EQ(board.cells[row + i * dr][col + i * dc], codes.begin()[i]) << "cell " << i;
}

TEST_F(SnakeTest, StepsGrowAHeadANeckACornerAndATailAndShrinkWithoutGrowth) {
    const int tail[4] = {kTailTipDown, kTailTipUp, kTailTipRight, kTailTipLeft},
              dr[4] = {-1, 1, 0, 0}, dc[4] = {0, 0, -1, 1};
    const int corner[4] = {kCornerLeftBottom, kCornerTopRight, kCornerTopRight, kCornerLeftBottom};
    for (int8_t d = 0; d < 4; ++d) {
        Snake &s = place(20, 30, d);
        setCellAndDraw(board, static_cast<int8_t>(B + d), 20, 30);
        EXPECT_EQ(steps(s, 3), 0);
        EXPECT_EQ(s.length, 2);
        expectLine(20, 30, dr[d], dc[d], {kEmpty, B + tail[d], B + (d < 2 ? 13 : 12), B + d});
        s.pendingDirection = static_cast<int8_t>(d ^ 2); // up-left, down-right, left-up, right-down
        steps(s, 2);
        EXPECT_EQ(board.cells[20 + 4 * dr[d]][30 + 4 * dc[d]], B + corner[d]) << int{d};
    }
    Snake &s = place(10, 10, kUp); // nothing behind the head and no growth
    s.growth = 0;
    setCellAndDraw(board, B, 10, 10);
    EXPECT_EQ(steps(s, 1), 0);
    EXPECT_EQ(s.length, 0);
    expectLine(10, 10, -1, 0, {kEmpty, B + kUp});
}

TEST_F(SnakeTest, WhatLiesAheadDecidesTheStep) {
    Snake &s = place(20, 20, kRight);
    s.growth = 0;
    s.pendingDirection = kLeft; // a reversal: dropped
    setCellAndDraw(board, kYellowFruit, 20, 21);
    setCellAndDraw(board, kRedFruit, 20, 22);
    setCellAndDraw(board, kWall, 20, 23);
    EXPECT_EQ(stepSnake(s, 3), kStepAteYellow);
    EXPECT_EQ(s.growth, 2); // three added, one spent on this step
    EXPECT_EQ(stepSnake(s, 3), kStepMoved);
    EXPECT_EQ(stepSnake(s, 0), kStepBlocked); // blocked while growing: stays, growth counts down
    EXPECT_EQ(s.growth, 0);
    expectLine(20, 20, 0, 1, {kEmpty, B + 12, B + kRight, kWall}); // its first cell was never drawn
    Snake &head = place(10, 10, kUp); // blocked and not growing, but with no tail to lose
    head.growth = 0;
    setCellAndDraw(board, B + kUp, 10, 10);
    setCellAndDraw(board, kWall, 9, 10);
    EXPECT_EQ(stepSnake(head, 0), kStepBlocked);
    EXPECT_EQ(head.length, 0);
    EXPECT_EQ(board.cells[10][10], B + kUp);
    EXPECT_EQ(lookAhead(place(0, 5, kUp)), kWall);
    EXPECT_EQ(lookAhead(place(5, 63, kRight)), kWall);
}

TEST_F(SnakeTest, HeadStopsAtTheLongestLength) {
    Snake &s = place(10, 10, kRight);
    s.length = kRingSize - 1; // the stale ring cells all lie at (0, 0)
    EXPECT_EQ(steps(s, 1), 0);
    EXPECT_EQ(s.growth, 1);
    EXPECT_EQ(s.length, kRingSize - 1);
    EXPECT_FALSE(advanceHead(s)) << "a full ring moves no head";
    EXPECT_EQ(s.length, kRingSize - 1);
    s.growth = 0;
    steps(s, 1); // the tail still goes
    EXPECT_EQ(s.length, kRingSize - 2);
    EXPECT_TRUE(advanceHead(s));
}

// A wiped snake leaves nothing of its colour below the status row, however far from the head;
// without the wipe only its body goes, and the rest of its colour stays.
TEST_F(SnakeTest, WipeClearsTheColourEverywhereButTheStatusRowAndNoWipeOnlyTheBody) {
    const int before[5] = {B, B + 12, 32, B + 13, kWall};
    for (int row = 0; row < 5; ++row)
        board.cells[row][5] = static_cast<int8_t>(before[row]);
    board.cells[1][0] = board.cells[47][63] = B + kIntactEggTile; // its first and last cell
    ASSERT_TRUE(turnToEgg(place(10, 10, kRight), true, kNoCountdown));
    expectLine(0, 5, 1, 0, {B, kEmpty, 32, kEmpty, kWall});
    EXPECT_EQ(board.cells[1][0], kEmpty);
    EXPECT_EQ(board.cells[47][63], kEmpty);
    EXPECT_EQ(board.cells[10][10], B + kBrokenEggTile);

    Snake &s = place(20, 10, kRight);
    setCellAndDraw(board, B + kRight, 20, 10);
    steps(s, 3);
    board.cells[30][30] = B + 12; // a trail wall
    ASSERT_TRUE(turnToEgg(s, false, kNoCountdown));
    expectLine(20, 10, 0, 1, {kEmpty, kEmpty, kEmpty, B + kBrokenEggTile});
    EXPECT_EQ(board.cells[30][30], B + 12);
}

// The hatched egg's cell is empty on the Board while it is still the snake's tail: a fruit
// placed there in that time must survive the tail drop.
TEST_F(SnakeTest, AnEggRestartsOnlyOnACountdownHatchesUncoveredAndItsTailSparesWhatLandsThere) {
    EXPECT_FALSE(hatch(place(10, 10, kNoDirection))) << "a head alone on a bare cell is no egg";
    Snake &s = place(10, 10, kNoDirection);
    turnToEgg(s, false, 40);
    EXPECT_FALSE(advanceHead(s)) << "an egg does not move";
    board.cells[10][10] = 64 + kLeft; // an adversary lies on the egg
    EXPECT_FALSE(turnToEgg(s, false, kNoCountdown));
    EXPECT_EQ(s.length, eggLength(40)) << "an egg keeps its countdown when given none";
    EXPECT_FALSE(turnToEgg(s, false, 0));
    EXPECT_EQ(s.length, eggLength(0)) << "a countdown of 0 restarts it, broken at once";
    EXPECT_FALSE(hatch(s));
    EXPECT_EQ(board.cells[10][10], 64 + kLeft);
    setCellAndDraw(board, B + kIntactEggTile, 10, 10);
    const uint32_t eggPixel = testing::pixelAt(surface(), 103, 105);
    ASSERT_TRUE(hatch(s));
    // The egg's cell is the new snake's tail: stored as one, still showing the egg.
    EXPECT_EQ(board.cells[10][10], B + 6);
    EXPECT_EQ(testing::pixelAt(surface(), 103, 105), eggPixel);
    EXPECT_FALSE(hatch(s));
    setCellAndDraw(board, kYellowFruit, 10, 10);
    steps(s, 3); // to the right, as an egg without direction hatches
    expectLine(10, 10, 0, 1, {kYellowFruit, B + 6, B + 12, B + kRight});
}

} // namespace ravela
