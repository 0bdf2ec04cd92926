// The Snake record and the ten operations that move every snake on the Board:
// players, adversaries and the title menu's demo snake alike.
#pragma once

#include <cstdint>
#include <iterator>

#include "display/board.h"

namespace ravela {

constexpr int32_t kRingSize = 2800;
constexpr int kPlayerCount = static_cast<int>(std::size(kPlayerBase)); // a colour band each
constexpr int kMaxAdversaries = 9;
constexpr int8_t kNoDirection = -1; // 255 as a byte: no direction, no request

// Directions; two are opposite when their exclusive-or is 1.
constexpr int8_t kUp = 0;
constexpr int8_t kDown = 1;
constexpr int8_t kLeft = 2;
constexpr int8_t kRight = 3;

// What one move of stepSnake came to.
enum StepResult : int8_t {
    kStepMoved = 0,     // moved, or stayed put as an egg
    kStepAteYellow = 1, // ate a yellow fruit
    kStepBlocked = 2,   // the cell ahead stopped it
};

// The ring slot of index, wrapped into 0 .. kRingSize - 1 from either side.
constexpr int32_t ringSlot(int64_t index) {
    const int64_t wrapped = index % kRingSize;
    return static_cast<int32_t>(wrapped < 0 ? wrapped + kRingSize : wrapped);
}

struct Snake {
    uint8_t greedy;             // path-finder: take a single-step goal at once
    uint8_t followsTail;        // path-finder: prefer the own tail when not growing
    uint8_t columns[kRingSize]; // ring of the columns of the snake's cells
    uint8_t rows[kRingSize];    // ring of the rows; entry i of both is one cell
    int8_t colourBase;          // first cell code of the snake's tiles
    int8_t direction;           // direction of the next move; -1 while an egg waits
    uint8_t lastMoves[3];       // directions of the last three moves, newest first
    int8_t pendingDirection;    // turn requested for after the next step; -1 none
    int32_t headIndex;          // ring index of the head cell
    int32_t length;             // cells behind the head; negative while an egg
    int32_t growth;             // coming steps on which the tail stays put
    int8_t lives;               // players: remaining lives; negative when out
    int8_t levelFruits;         // players: yellow fruits eaten in this level
    uint8_t trailMode;          // players: 1 after a red fruit until green or a lost life
};

// The twelve snakes of the program; adversarySnake[0] is also the title menu's demo snake.
extern Snake playerSnake[kPlayerCount];
extern Snake adversarySnake[kMaxAdversaries];

// Clears the record: alive, length 0, growth 2, no pending turn, both steering flags set.
void initSnake(Snake &snake);
// Runs initSnake on all twelve snakes.
void initAllSnakes();
// Stores a cell at the head's ring index without touching the Board.
void setHeadCell(Snake &snake, int row, int col);
// Erases the tail cell and draws the new tail; false when there is no cell behind the head.
bool dropTail(Snake &snake);
// Moves the head one cell in its direction, drawing the neck and the head; false if it cannot.
bool advanceHead(Snake &snake);
// The cell code one cell ahead of the head; wall outside the grid.
int8_t lookAhead(const Snake &snake);
// One move, growing by yellowGrowth if it eats a yellow fruit.
StepResult stepSnake(Snake &snake, int32_t yellowGrowth);
// Countdown for turnToEgg: a new egg is broken at once, an egg already laid stays as it is.
constexpr int8_t kNoCountdown = -1;
// The length of an egg with a countdown of n steps to go: -1 is broken, below it intact.
constexpr int32_t eggLength(int32_t countdown) {
    return -1 - countdown;
}
// Turns a living snake into an egg (countdown steps intact); false if it already was one.
bool turnToEgg(Snake &snake, bool wipe, int8_t countdown);
// Draws an egg again where its cell is bare or shows the other egg state; an egg covered by
// something else reappears once the cell is empty again.
void repaintEgg(const Snake &snake);
// Starts a fresh adversary-coloured snake heading up from (row, col): its first step is
// taken at once, and a start cell left behind shows the tail that it then is.
void startAdversary(Snake &snake, int row, int col);
// Brings an uncovered egg back to life as a head with growth 2.
bool hatch(Snake &snake);
// True while the snake is an egg.
bool isEgg(const Snake &snake);

// Row and column of the head cell.
inline int headRow(const Snake &snake) {
    return snake.rows[snake.headIndex];
}
inline int headColumn(const Snake &snake) {
    return snake.columns[snake.headIndex];
}
// Ring slot of the tail cell, length cells behind the head.
inline int32_t tailSlot(const Snake &snake) {
    return ringSlot(int64_t{snake.headIndex} - snake.length);
}

} // namespace ravela
