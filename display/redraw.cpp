// Whole-screen repaint of the Board, with a fresh brick texture on every wall cell,
// and the two-pixel outlines of the title menu.

#include "display/board.h"
#include "display/platform.h"
#include "display/surface.h"
#include "match/random.h"

namespace ravela {

namespace {

constexpr uint8_t kLightEdge = 9;
constexpr uint8_t kDarkEdge = 8;

bool isWall(const Board &board, int row, int col) {
    return board.cells[row][col] == kWall;
}

// Builds the texture of the wall cell at (row, col) into tile 15: twenty random numbers
// colour the bricks five pixels each, then the sides that face no wall get a bevel.
void buildBrickTile(Board &board, int row, int col) {
    const bool wallAbove = row > 0 && isWall(board, row - 1, col);
    const bool wallBelow = row < kBoardRows - 1 && isWall(board, row + 1, col);
    const bool wallLeft = col > 0 && isWall(board, row, col - 1);
    const bool wallRight = col < kBoardColumns - 1 && isWall(board, row, col + 1);

    uint8_t *tile = board.tiles[kWall];
    int r = 0;
    for (int k = 0; k < kTileBytes; ++k) {
        if (k % 5 == 0) r = rand();
        tile[k] = (r & 3) ? 11 : (r & 4) ? 10 : 12;
        r >>= 3;
    }
    if (!wallAbove)
        for (int k = 0; k < 10; ++k)
            tile[k] = kLightEdge;
    if (!wallBelow)
        for (int k = 90; k < 100; ++k)
            tile[k] = kDarkEdge;
    if (!wallLeft)
        for (int k = 0; k < 100; k += 10)
            tile[k] = kLightEdge;
    if (!wallRight)
        for (int k = 9; k < 100; k += 10)
            tile[k] = kDarkEdge;
}

} // namespace

void redrawBoard(Board &board) {
    const uint8_t present = board.autoPresent;
    board.autoPresent = 0;
    const bool locked = present == 1 && lockSurface(board.surface);

    for (int row = 0; row < kBoardRows; ++row) {
        for (int col = 0; col < kBoardColumns; ++col) {
            const int8_t code = board.cells[row][col];
            if (code == kWall) buildBrickTile(board, row, col);
            setCellAndDraw(board, code, row, col);
        }
    }
    restoreWallTile(board);

    if (present == 1) {
        if (locked) unlockSurface(board.surface);
        presentRect(board.surface, 0, 0, kBoardColumns * kCellPixels, kBoardRows * kCellPixels);
    }
    board.autoPresent = present;
}

void drawOutline(int top, int left, int height, int width, uint32_t pixel) {
    SDL_Surface *surface = board.surface;
    fillRect(surface, left, top, 2, height, pixel);
    fillRect(surface, left + width - 2, top, 2, height, pixel);
    fillRect(surface, left, top, width, 2, pixel);
    fillRect(surface, left, top + height - 2, width, 2, pixel);
}

} // namespace ravela
