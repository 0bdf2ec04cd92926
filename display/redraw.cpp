// Whole-screen repaint of the Board, with a fresh brick texture on every wall cell,
// and the two-pixel outlines of the title menu.

#include "common/random.h"
#include "display/board.h"
#include "display/surface.h"

namespace ravela {

namespace {

constexpr uint8_t kLightEdge = 9;
constexpr uint8_t kDarkEdge = 8;

bool isWall(const Board &target, int row, int col) {
    return target.cells[row][col] == kWall;
}

// Builds the texture of the wall cell at (row, col) into tile 15: twenty random numbers
// colour the bricks five pixels each, then the sides that face no wall get a bevel.
void buildBrickTile(Board &target, int row, int col) {
    const bool wallAbove = row > 0 && isWall(target, row - 1, col);
    const bool wallBelow = row < kBoardRows - 1 && isWall(target, row + 1, col);
    const bool wallLeft = col > 0 && isWall(target, row, col - 1);
    const bool wallRight = col < kBoardColumns - 1 && isWall(target, row, col + 1);

    uint8_t *tile = target.tiles[kWall];
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

void redrawBoard(Board &target) {
    paintBatch(target, [&target] {
        for (int row = 0; row < kBoardRows; ++row) {
            for (int col = 0; col < kBoardColumns; ++col) {
                const int8_t code = target.cells[row][col];
                if (code == kWall) buildBrickTile(target, row, col);
                setCellAndDraw(target, code, row, col);
            }
        }
        restoreWallTile(target);
    });
}

void drawOutline(int top, int left, int height, int width, uint32_t pixel) {
    SDL_Surface *surface = board.surface;
    fillGameRect(surface, left, top, 2, height, pixel);
    fillGameRect(surface, left + width - 2, top, 2, height, pixel);
    fillGameRect(surface, left, top, width, 2, pixel);
    fillGameRect(surface, left, top + height - 2, width, 2, pixel);
}

} // namespace ravela
