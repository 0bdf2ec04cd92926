// The status row: up to twelve up-facing heads per player for the lives left, and a bar
// of yellow fruits for the fruits the level still needs. Both repaint every one of their
// cells, empty ones included.

#include "match/status_row.h"

#include "display/board.h"
#include "match/level.h"
#include "match/match_state.h"
#include "snakes/snake.h"

namespace ravela {

void drawLives(int8_t player) {
    if (player < 0 || player >= kPlayerCount) return;
    const Snake &snake = playerSnake[player];
    const int first = livesColumn(player);
    for (int i = 0; i < kLivesShown; ++i) {
        const int8_t code = i < snake.lives ? snake.colourBase : kEmpty;
        setCellAndDraw(board, code, kStatusRow, first + i);
    }
}

void drawLevelProgress() {
    const int stillNeeded = kFruitsPerLevel - matchState.levelFruitCount;
    for (int i = 0; i < kFruitsPerLevel; ++i) {
        const int8_t code = i < stillNeeded ? kYellowFruit : kEmpty;
        setCellAndDraw(board, code, kStatusRow, kProgressFirstColumn + i);
    }
}

} // namespace ravela
