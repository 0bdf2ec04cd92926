// Whole-screen repaint of the Board, with a fresh brick texture on every wall cell,
// and the two-pixel outlines of the title menu.

#include "common/random.h"
#include "display/board.h"
#include "display/surface.h"

namespace ravela {

namespace {

// Palette indexes of the brick texture, and of the bevel on the sides that face no wall.
constexpr uint8_t kBrickDark = 10;
constexpr uint8_t kBrickMid = 11;
constexpr uint8_t kBrickLight = 12;
constexpr uint8_t kDarkEdge = 8;
constexpr uint8_t kLightEdge = 9;
// Each random number colours this many pixels, three bits each, low bits first.
constexpr int kPixelsPerDraw = 5;
constexpr int kBitsPerPixel = 3;
constexpr int kLastLine = kCellPixels - 1; // the last pixel row or column of a tile

bool isWall(const Board &target, int row, int col) {
    return target.cells[row][col] == kWall;
}

// Builds the texture of the wall cell at (row, col) into the wall tile: random colours for
// the bricks, then a bevel on the sides that face no wall: light above and on the left,
// dark below and on the right, painted in that order.
void buildBrickTile(Board &target, int row, int col) {
    const bool wallAbove = row > 0 && isWall(target, row - 1, col);
    const bool wallBelow = row < kBoardRows - 1 && isWall(target, row + 1, col);
    const bool wallLeft = col > 0 && isWall(target, row, col - 1);
    const bool wallRight = col < kBoardColumns - 1 && isWall(target, row, col + 1);

    uint8_t *tile = target.tiles[kWall];
    int r = 0;
    for (int k = 0; k < kTileBytes; ++k) {
        if (k % kPixelsPerDraw == 0) r = rand();
        tile[k] = (r & 3) ? kBrickMid : (r & 4) ? kBrickDark : kBrickLight;
        r >>= kBitsPerPixel;
    }
    // A line of the tile from its first pixel, one pixel apart (a row) or a row apart.
    const auto bevel = [tile](int first, int step, uint8_t colour) {
        for (int i = 0; i < kCellPixels; ++i)
            tile[first + i * step] = colour;
    };
    if (!wallAbove) bevel(0, 1, kLightEdge);
    if (!wallBelow) bevel(kLastLine * kCellPixels, 1, kDarkEdge);
    if (!wallLeft) bevel(0, kCellPixels, kLightEdge);
    if (!wallRight) bevel(kLastLine, kCellPixels, kDarkEdge);
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
