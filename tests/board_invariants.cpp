// Checks that the Board and the snakes agree: every cell code has a tile, the wall ring is
// whole, each living snake's ring shows on the Board tile by tile and no snake tile lies
// where no snake is. The status row and the out players' records are the tick tests' own.

#include "tests/board_invariants.h"

#include <cstring>

#include "display/board.h"
#include "match/match_state.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace ravela::testing {

namespace {

// The body tile of a cell entered by one move and left by the next, at [in * 4 + out].
constexpr int8_t kNeckTiles[16] = {13, 13, 8, 10, 13, 13, 9, 11, 11, 10, 12, 12, 9, 8, 12, 12};

int owner[kBoardRows][kBoardColumns]; // the snake that covers each cell, -1 for none

// Snakes 0..2 are the players, 3..11 the adversaries.
std::string snakeName(int s) {
    return s < 3 ? "player " + std::to_string(s + 1) : "adversary " + std::to_string(s - 2);
}

std::string cellText(int row, int col) {
    return " at (" + std::to_string(row) + ", " + std::to_string(col) + ")";
}

bool insideRing(int row, int col) {
    return row >= 2 && row < kBoardRows - 1 && col >= 1 && col < kBoardColumns - 1;
}

// The ring slot of the cell k places behind the head.
int slot(const Snake &snake, int32_t k) {
    return ringSlot(int64_t{snake.headIndex} - k);
}

// The move from the cell in slot a to the cell in slot b, or -1 when they are not neighbours.
int moveBetween(const Snake &snake, int a, int b) {
    const int d = (snake.rows[b] - snake.rows[a]) * 128 + snake.columns[b] - snake.columns[a];
    return d == -128 ? kUp : d == 128 ? kDown : d == -1 ? kLeft : d == 1 ? kRight : -1;
}

// A living snake from head to tail: every cell inside the wall ring, next to the one before,
// covered by no other snake, and showing the head, the body tile its two moves give, or at
// the tail any of the snake's own tiles.
std::string walkSnake(const Snake &snake, int id) {
    const int base = snake.colourBase;
    for (int32_t k = 0; k <= snake.length; ++k) {
        const int at = slot(snake, k);
        const int row = snake.rows[at];
        const int col = snake.columns[at];
        const bool inside = insideRing(row, col);
        const int8_t code = inside ? board.cells[row][col] : kWall;
        // Layout 7 starts an adversary inside a wall; it stays there, bodiless, until it dies.
        if (inside && snake.length == 0 && code == kWall) return {};
        const int owned = inside ? owner[row][col] : -1;
        const int out = k == 0 ? 0 : moveBetween(snake, at, slot(snake, k - 1));
        const int in = k < snake.length ? moveBetween(snake, slot(snake, k + 1), at) : -1;
        const int want = k == 0                ? base + (snake.lastMoves[0] & 3)
                         : in >= 0 && out >= 0 ? base + kNeckTiles[in * 4 + out]
                                               : -1;
        const bool shows = want >= 0 ? code == want : code >= base && code < base + 16;
        if (!inside || out < 0 || !shows || owned >= 0) {
            return snakeName(id) + "'s cell " + std::to_string(k) + cellText(row, col) +
                   " is out of step: code " + std::to_string(code) + ", move " +
                   std::to_string(out) + ", covered by " + std::to_string(owned);
        }
        owner[row][col] = id;
    }
    return {};
}

} // namespace

std::string findBoardFault(bool inPlay) {
    std::memset(owner, -1, sizeof owner);
    std::string fault;
    for (int s = 0; s < 3 + adversariesInPlay() && fault.empty(); ++s)
        if (!isEgg(snakeNo(s))) fault = walkSnake(snakeNo(s), s);
    int fruits[4] = {};
    for (int row = 1; row < kBoardRows && fault.empty(); ++row) {
        for (int col = 0; col < kBoardColumns && fault.empty(); ++col) {
            const int8_t code = board.cells[row][col];
            if (code < 0 || code >= kTileCount || (code > kRedFruit && code < kWall))
                fault = "code " + std::to_string(code) + " has no tile";
            else if (!insideRing(row, col) && code != kWall)
                fault = "code " + std::to_string(code) + " breaks the wall ring";
            else if (isSnakeCode(code) && tileOffset(code) < kBrokenEggTile &&
                     owner[row][col] < 0 &&
                     !(code < kAdversaryBase && playerSnake[code / 16 - 1].trailMode))
                fault = "snake tile " + std::to_string(code) + " belongs to no snake";
            else if (code >= kYellowFruit && code <= kRedFruit)
                ++fruits[code];
            if (!fault.empty()) fault += cellText(row, col);
        }
    }
    if (fault.empty() && inPlay && (fruits[1] != 2 || fruits[2] > 2 || fruits[3] > 1)) {
        fault = std::to_string(fruits[1]) + " yellow, " + std::to_string(fruits[2]) +
                " green and " + std::to_string(fruits[3]) + " red fruits on the field";
    }
    return fault;
}

} // namespace ravela::testing
