// The twelve Snake records and the operations that move them. A snake has no picture of
// its own: every cell it occupies, leaves or turns into an egg is written to the Board
// through setCellAndDraw, and the Board is also what it collides with.

#include "snakes/snake.h"

#include <algorithm>
#include <cstring>

#include "display/board.h"

namespace ravela {

Snake playerSnake[kPlayerCount];
Snake adversarySnake[kMaxAdversaries];

namespace {

// Body tile offsets for the cell a head leaves, indexed by previous move * 4 + current move.
// Rows: previous move up, down, left, right; columns: current move in the same order.
constexpr int8_t kNeckTiles[] = {
    kStraightVertical, kStraightVertical,  kCornerLeftBottom,   kCornerRightBottom,  //
    kStraightVertical, kStraightVertical,  kCornerTopLeft,      kCornerTopRight,     //
    kCornerTopRight,   kCornerRightBottom, kStraightHorizontal, kStraightHorizontal, //
    kCornerTopLeft,    kCornerLeftBottom,  kStraightHorizontal, kStraightHorizontal, //
};

// The tail whose body continues in a direction (up, down, left, right): its tip points
// the other way.
constexpr int8_t kTailToward[] = {kTailTipDown, kTailTipUp, kTailTipRight, kTailTipLeft};

// The longest a snake can be behind its head: one ring slot is always the head's.
constexpr int32_t kMaxLength = kRingSize - 1;

// The code of a cell; anything off the grid reads as wall.
int8_t cellAt(int row, int col) {
    return onGrid(row, col) ? board.cells[row][col] : kWall;
}

// The cell one step from (row, col) in a direction; other values stay put.
void moveCell(int8_t direction, int &row, int &col) {
    switch (direction) {
    case kUp: --row; break;
    case kDown: ++row; break;
    case kLeft: --col; break;
    case kRight: ++col; break;
    default: break;
    }
}

// The egg tile that matches the egg's state: intact while counting down, broken after.
int8_t eggTile(const Snake &snake) {
    const int offset = snake.length < -1 ? kIntactEggTile : kBrokenEggTile;
    return static_cast<int8_t>(snake.colourBase + offset);
}

} // namespace

void initSnake(Snake &snake) {
    std::memset(&snake, 0, sizeof snake);
    snake.headIndex = 1;
    snake.growth = 2;
    snake.pendingDirection = kNoDirection;
    snake.greedy = 1;
    snake.followsTail = 1;
}

void initAllSnakes() {
    for (Snake &snake : playerSnake)
        initSnake(snake);
    for (Snake &snake : adversarySnake)
        initSnake(snake);
}

void setHeadCell(Snake &snake, int row, int col) {
    snake.rows[snake.headIndex] = static_cast<uint8_t>(row);
    snake.columns[snake.headIndex] = static_cast<uint8_t>(col);
}

bool dropTail(Snake &snake) {
    if (snake.length <= 0) return false;
    const int32_t tail = tailSlot(snake);
    const int tailRow = snake.rows[tail];
    const int tailCol = snake.columns[tail];
    // Only erase what is still ours: a hatched egg's cell may meanwhile hold a fruit or
    // another snake, and wiping those would leave the Board out of step with the game.
    const int8_t held = cellAt(tailRow, tailCol);
    if (held == kEmpty || inColourBand(held, snake.colourBase)) drawCell(kEmpty, tailRow, tailCol);

    --snake.length;
    // With one cell left behind the head, that cell keeps its body tile.
    if (snake.length < 2) return true;

    const int32_t newTail = ringSlot(tail + 1);
    const int32_t next = ringSlot(newTail + 1);
    // Ring cells in a row are neighbours: the next one lies one step from the new tail.
    int8_t offset = kTailToward[kLeft];
    if (snake.rows[next] == snake.rows[newTail] + 1) {
        offset = kTailToward[kDown];
    } else if (snake.rows[next] + 1 == snake.rows[newTail]) {
        offset = kTailToward[kUp];
    } else if (snake.columns[next] == snake.columns[newTail] + 1) {
        offset = kTailToward[kRight];
    }
    drawCell(static_cast<int8_t>(snake.colourBase + offset), snake.rows[newTail],
             snake.columns[newTail]);
    return true;
}

bool advanceHead(Snake &snake) {
    if (snake.length >= kMaxLength || snake.length < 0) return false;
    int row = headRow(snake);
    int col = headColumn(snake);
    // A snake with nothing behind its head leaves its old cell as it is.
    if (onGrid(row, col) && snake.length >= 1) {
        const int index = (snake.lastMoves[0] & 3) * 4 + (snake.direction & 3);
        drawCell(static_cast<int8_t>(snake.colourBase + kNeckTiles[index]), row, col);
    }
    moveCell(snake.direction, row, col);
    drawCell(static_cast<int8_t>(snake.colourBase + (snake.direction & 3)), row, col);

    snake.headIndex = ringSlot(snake.headIndex + 1);
    setHeadCell(snake, row, col);
    ++snake.length;

    snake.lastMoves[2] = snake.lastMoves[1];
    snake.lastMoves[1] = snake.lastMoves[0];
    snake.lastMoves[0] = static_cast<uint8_t>(snake.direction);
    return true;
}

int8_t lookAhead(const Snake &snake) {
    int row = headRow(snake);
    int col = headColumn(snake);
    moveCell(snake.direction, row, col);
    return cellAt(row, col);
}

StepResult stepSnake(Snake &snake, int32_t yellowGrowth) {
    int8_t ahead = lookAhead(snake);
    if (snake.length < -1) ++snake.length; // an intact egg counts down
    if (snake.length < 0) return kStepMoved;

    if (ahead == kYellowFruit) snake.growth += yellowGrowth;
    if (isBrokenEggCode(ahead)) ahead = kEmpty; // swallowed like an empty cell
    if (ahead < kWall) advanceHead(snake);

    // A blocked snake that is not growing still loses its tail.
    if (snake.growth > 0) {
        --snake.growth;
    } else {
        dropTail(snake);
    }

    // A requested turn applies from the next step on; a reversal is dropped.
    if (snake.pendingDirection >= 0 && (snake.pendingDirection ^ snake.direction) != 1) {
        snake.direction = snake.pendingDirection;
    }
    snake.pendingDirection = kNoDirection;

    if (ahead == kYellowFruit) return kStepAteYellow;
    if (ahead >= kWall) return kStepBlocked;
    return kStepMoved;
}

void repaintEgg(const Snake &snake) {
    const int row = headRow(snake);
    const int col = headColumn(snake);
    const int8_t held = cellAt(row, col);
    const int8_t otherState = static_cast<int8_t>(
        snake.colourBase + (snake.length == -1 ? kIntactEggTile : kBrokenEggTile));
    if (held == kEmpty || held == otherState) drawCell(eggTile(snake), row, col);
}

bool turnToEgg(Snake &snake, bool wipe, int8_t countdown) {
    if (snake.length < 0) {
        repaintEgg(snake);
        if (countdown >= 0) snake.length = eggLength(countdown);
        return false;
    }
    const int row = headRow(snake);
    const int col = headColumn(snake);

    if (wipe) {
        // Every tile of this colour goes, trail walls included; the status row stays.
        for (int r = kTopWallRow; r <= kBottomWallRow; ++r) {
            for (int c = 0; c < kBoardColumns; ++c) {
                if (inColourBand(board.cells[r][c], snake.colourBase)) drawCell(kEmpty, r, c);
            }
        }
    } else {
        while (snake.length > 0)
            dropTail(snake);
    }
    snake.length = eggLength(std::max<int32_t>(countdown, 0));
    snake.growth = 0;
    drawCell(eggTile(snake), row, col);
    return true;
}

void startAdversary(Snake &snake, int row, int col) {
    initSnake(snake);
    snake.colourBase = kAdversaryBase;
    snake.direction = kUp;
    setHeadCell(snake, row, col);
    stepSnake(snake, 0);
    // Nothing may take the start cell for free space: it is the tail until the tail moves.
    if (snake.length == 1)
        drawCell(static_cast<int8_t>(kAdversaryBase + kTailToward[kUp]), row, col);
}

bool hatch(Snake &snake) {
    if (snake.length >= 0) return false;
    const int row = headRow(snake);
    const int col = headColumn(snake);
    const int8_t held = cellAt(row, col);
    if (held != kEmpty && held != snake.colourBase + kBrokenEggTile &&
        held != snake.colourBase + kIntactEggTile) {
        return false; // another snake lies on the egg
    }
    snake.length = 0;
    snake.growth = 2;
    snake.direction = static_cast<int8_t>(snake.direction & 3); // no direction becomes right
    // The egg stays on screen until the new tail passes over its cell and erases it. Until
    // then the cell is the snake's tail and is stored as one, unpainted: no fruit lands
    // there, and neither another snake nor the snake itself can walk in.
    if (onGrid(row, col))
        board.cells[row][col] =
            static_cast<int8_t>(snake.colourBase + kTailToward[snake.direction]);
    return true;
}

bool isEgg(const Snake &snake) {
    return snake.length < 0;
}

} // namespace ravela
