// Program entry: start-up, then the screens until the player leaves.

#include <SDL.h>
#include <cstdlib>

#include "display/board.h"
#include "match/startup.h"
#include "snakes/snake.h"

using namespace ravela;

// Until the screens exist: a Board framed by walls that shows every tile once.
static void showTileSheet() {
    for (int row = 0; row < kBoardRows; ++row)
        for (int col = 0; col < kBoardColumns; ++col) {
            const bool border = row == 1 || row == kBoardRows - 1 || col == 0 || col == kBoardColumns - 1;
            board.cells[row][col] = row > 0 && border ? kWall : kEmpty;
        }
    for (int code = 0; code < kTileCount; ++code)
        board.cells[4 + 2 * (code / 16)][6 + 3 * (code % 16)] = static_cast<int8_t>(code);
    board.autoPresent = 1;
    redrawBoard(board);
}

int main(int argc, char **) {
    startUp(argc);
    initAllSnakes();
    showTileSheet();
    SDL_Event event;
    while (SDL_WaitEvent(&event))
        if (event.type == SDL_QUIT || event.type == SDL_KEYDOWN) break;
    std::exit(0);
}
