// The position builder of tests/positions.h. Every snake is laid by the game's own steps,
// so the Board shows each one tile by tile as play would have drawn it.

#include "tests/positions.h"

#include "common/random.h"
#include "display/board.h"
#include "match/level.h"
#include "match/match_state.h"
#include "match/status_row.h"
#include "snakes/snake.h"

namespace ravela::testing {

namespace {

constexpr int kFieldCells = 45 * 62; // rows 2..46, columns 1..62: inside the wall ring
// The tail tile offset of a start cell left by a move up, down, left, right.
constexpr int8_t kTailBehind[4] = {kTailTipDown, kTailTipUp, kTailTipRight, kTailTipLeft};

// The first empty cell inside the ring at or after one the bytes pick; false when none is.
bool emptyCell(Bytes &bytes, int &row, int &col) {
    const int first = bytes.next() * 256 + bytes.next();
    for (int n = 0; n < kFieldCells; ++n) {
        row = 2 + (first + n) % kFieldCells / 62;
        col = 1 + (first + n) % kFieldCells % 62;
        if (board.cells[row][col] == kEmpty) return true;
    }
    return false;
}

// A fresh record of the given colour on a free cell; false when none is left.
bool placeSnake(Snake &snake, int8_t base, Bytes &bytes) {
    int row = 0;
    int col = 0;
    if (!emptyCell(bytes, row, col)) return false;
    initSnake(snake);
    snake.colourBase = base;
    setHeadCell(snake, row, col);
    return true;
}

// A living snake laid by real steps from a free cell, growing all the way; its start cell
// shows its tail. A snake that cannot move is a head alone.
bool laySnake(Snake &snake, int8_t base, Bytes &bytes) {
    if (!placeSnake(snake, base, bytes)) return false;
    const int row = headRow(snake);
    const int col = headColumn(snake);
    setCellAndDraw(board, base, row, col); // facing up, the last move of a fresh record
    snake.growth = 1 << 20;
    for (int steps = bytes.next(4) == 0 ? bytes.next() * 4 : bytes.next(48); steps > 0; --steps) {
        snake.direction = static_cast<int8_t>(bytes.next(4));
        if (lookAhead(snake) != kEmpty) continue;
        stepSnake(snake, 0);
        if (snake.length == 1)
            setCellAndDraw(board, static_cast<int8_t>(base + kTailBehind[snake.lastMoves[0]]), row,
                           col);
    }
    snake.growth = bytes.next() - 32; // a negative fruit count makes growth negative
    snake.direction = static_cast<int8_t>(snake.lastMoves[0]); // straight on; keys may turn it
    return true;
}

// A player alive (in trail mode or not), an egg intact or broken, or out.
void placePlayer(int8_t p, Bytes &bytes) {
    Snake &snake = playerSnake[p];
    const int mode = bytes.next(4); // 0 alive, 1 egg, 2 out, 3 trail mode
    if (mode % 3 == 0 && laySnake(snake, kPlayerBase[p], bytes)) {
        // Trail mode: everything beyond two cells behind the head stays as the player's wall.
        snake.trailMode = mode == 3;
        if (mode == 3 && snake.length > 2) snake.length = 2;
    } else if (mode != 2 && placeSnake(snake, kPlayerBase[p], bytes)) {
        turnToEgg(snake, false, static_cast<int8_t>(bytes.next(3) == 0 ? -1 : bytes.next(128)));
        snake.direction = kNoDirection;
    } else { // out: a grey egg record parked on the wall
        initSnake(snake);
        snake.colourBase = kAdversaryBase;
        snake.length = -1;
        setHeadCell(snake, 1, 0);
    }
    snake.lives = static_cast<int8_t>(snake.colourBase == kAdversaryBase ? -1 - bytes.next(128)
                                                                         : bytes.next(128));
    snake.levelFruits = static_cast<int8_t>(bytes.next(128));
    drawLives(p);
}

} // namespace

void buildPosition(Bytes &bytes) {
    initAllSnakes();
    resetMatchState();
    ravela::srand(static_cast<uint32_t>(bytes.next()));
    const int layout = bytes.next(16);
    matchState.levelType = static_cast<int8_t>(layout & 7);
    buildWalls(board, matchState.levelType);
    // Over half the layouts, bars: crowded enough and fruit placement must scan for room.
    for (int bars = layout < 8 ? 0 : bytes.next(64); bars > 0; --bars) {
        int row = 2 + bytes.next(45);
        int col = 1 + bytes.next(62);
        const int direction = bytes.next(4);
        for (int n = 1 + bytes.next(32); n > 0 && row >= 2 && row <= 46 && col >= 1 && col <= 62;
             --n) {
            board.cells[row][col] = kWall;
            row += (direction == kDown) - (direction == kUp);
            col += (direction == kRight) - (direction == kLeft);
        }
    }
    matchState.adversaryCount = static_cast<int8_t>(bytes.next(10));
    matchState.levelFruitCount = static_cast<int8_t>(bytes.next());
    int row = 0;
    int col = 0;
    for (int i = 0; i < matchState.adversaryCount; ++i) {
        Snake &snake = adversarySnake[i];
        const int flags = bytes.next();
        if (flags % 8 != 0 && laySnake(snake, kAdversaryBase, bytes)) {
            snake.greedy = static_cast<uint8_t>(flags >> 3 & 1);
            snake.followsTail = static_cast<uint8_t>(flags >> 4 & 1);
        } else if (placeSnake(snake, kAdversaryBase, bytes)) {
            turnToEgg(snake, false, kNoCountdown); // dead: a grey egg
        } else {
            matchState.adversaryCount = static_cast<int8_t>(i); // the field is full
        }
    }
    for (int8_t p = 0; p < kPlayerCount; ++p)
        placePlayer(p, bytes);
    for (const int8_t code : {kYellowFruit, kGreenFruit, kRedFruit, kGreyEgg}) {
        for (int n = bytes.next(4); n > 0 && emptyCell(bytes, row, col); --n)
            setCellAndDraw(board, code, row, col);
    }
    drawLevelProgress();
}

std::string gameState() {
    std::string state(reinterpret_cast<const char *>(board.cells), sizeof board.cells);
    state.append(reinterpret_cast<const char *>(playerSnake), sizeof playerSnake);
    state.append(reinterpret_cast<const char *>(adversarySnake), sizeof adversarySnake);
    return state + std::to_string(randomGenerator.state) + ' ' +
           std::to_string(matchState.levelFruitCount);
}

} // namespace ravela::testing
