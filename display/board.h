// The Board: the 64x48 grid of cell codes, the tile set that paints them, the words for
// the codes and tiles, and the operations that change and repaint cells on the screen.
#pragma once

#include <cstdint>
#include <functional>

struct SDL_Surface;

namespace ravela {

constexpr int kBoardRows = 48;
constexpr int kBoardColumns = 64;
constexpr int kCellPixels = 10;
constexpr int kPaletteSize = 18;
constexpr int kTileCount = 80;
constexpr int kTileBytes = kCellPixels * kCellPixels;

// Row 0 is the status row; the playfield below it is walled in by rows 1 and 47 and
// columns 0 and 63 in every layout, and its inner cells lie inside those walls.
constexpr int kStatusRow = 0;
constexpr int kTopWallRow = 1;
constexpr int kBottomWallRow = kBoardRows - 1;
constexpr int kInnerTopRow = kTopWallRow + 1;
constexpr int kInnerBottomRow = kBottomWallRow - 1;
constexpr int kLeftWallColumn = 0;
constexpr int kRightWallColumn = kBoardColumns - 1;
constexpr int kInnerLeftColumn = kLeftWallColumn + 1;
constexpr int kInnerRightColumn = kRightWallColumn - 1;

// Cell codes with a fixed meaning; snake codes are a colour base plus a tile offset.
constexpr int8_t kEmpty = 0;
constexpr int8_t kYellowFruit = 1;
constexpr int8_t kGreenFruit = 2;
constexpr int8_t kRedFruit = 3;
constexpr int8_t kWall = 15; // codes from here on stop a snake, except broken eggs

// Snake tiles: four colour bands of sixteen tiles each. A colour base is the first code of
// a band: one band per player, then the one every adversary (and a player who is out) wears.
constexpr int kSnakeTiles = 16;
constexpr int8_t kPlayerBase[] = {16, 32, 48};
constexpr int8_t kAdversaryBase = 64;
constexpr int8_t kColourBases[] = {kPlayerBase[0], kPlayerBase[1], kPlayerBase[2], kAdversaryBase};

// Tile offsets from a colour base. A head's offset is the direction it faces (up, down,
// left, right); a tail's names where its tip points, so the body lies the other way; a
// corner's names the two sides of the cell the body leaves through.
constexpr int8_t kHeadUpTile = 0;
constexpr int8_t kHeadRightTile = 3;
constexpr int8_t kTailTipUp = 4;
constexpr int8_t kTailTipDown = 5;
constexpr int8_t kTailTipLeft = 6;
constexpr int8_t kTailTipRight = 7;
constexpr int8_t kCornerLeftBottom = 8;
constexpr int8_t kCornerTopLeft = 9;
constexpr int8_t kCornerRightBottom = 10;
constexpr int8_t kCornerTopRight = 11;
constexpr int8_t kStraightHorizontal = 12;
constexpr int8_t kStraightVertical = 13;
constexpr int8_t kBrokenEggTile = 14;
constexpr int8_t kIntactEggTile = 15;

// The grey egg: an adversary's broken egg, which a player swallows for a life.
constexpr int8_t kGreyEgg = kAdversaryBase + kBrokenEggTile;

// Whether (row, col) is a cell of the grid.
constexpr bool onGrid(int row, int col) {
    return row >= 0 && row < kBoardRows && col >= 0 && col < kBoardColumns;
}
// Whether the code is one of the sixteen tiles of the colour base.
constexpr bool inColourBand(int8_t code, int colourBase) {
    return code >= colourBase && code < colourBase + kSnakeTiles;
}
// Whether the code is any snake's tile.
constexpr bool isSnakeCode(int8_t code) {
    return code >= kPlayerBase[0];
}
// The tile offset of a snake code within its colour band.
constexpr int tileOffset(int8_t code) {
    return code & (kSnakeTiles - 1);
}
// Whether the code is a snake's broken egg, of any colour: passable, so a step swallows it.
constexpr bool isBrokenEggCode(int8_t code) {
    return isSnakeCode(code) && tileOffset(code) == kBrokenEggTile;
}
// Whether the code is a snake's head, facing any way.
constexpr bool isHeadCode(int8_t code) {
    return isSnakeCode(code) && tileOffset(code) <= kHeadRightTile;
}

struct Board {
    int8_t cells[kBoardRows][kBoardColumns]; // cell code of every cell, row-major
    uint8_t autoPresent;                     // 1: each cell change locks, paints and presents
    uint32_t palette[kPaletteSize];          // tile colours mapped for the surface
    uint8_t tiles[kTileCount][kTileBytes];   // tile n paints code n: palette indexes, row-major
    SDL_Surface *surface;                    // the screen surface: 640x480 game pixels
};

// The one playfield of the program. The operations below take the Board they work on;
// the program passes this one.
extern Board board;

// Remembers the surface, clears autoPresent, maps the palette and builds the tile set.
void initBoard(Board &target, SDL_Surface *surface);
// Stores a code in a cell and paints its tile; cells outside the grid are ignored.
void setCellAndDraw(Board &target, int8_t code, int row, int col);
// setCellAndDraw on the program's Board: how the game and the screens write a cell.
inline void drawCell(int8_t code, int row, int col) {
    setCellAndDraw(board, code, row, col);
}
// Rebuilds the wall tile as the plain grey ring.
void restoreWallTile(Board &target);
// Paints a batch of cells with autoPresent off and, when it was on, inside one lock,
// presenting the whole Board once at the end; autoPresent is then as before.
void paintBatch(Board &target, const std::function<void()> &paint);
// Repaints every cell, walls with a fresh brick texture, and presents the whole screen.
void redrawBoard(Board &target);
// Draws a two-pixel frame on the Board's surface whose outer box has its top-left
// corner at (left, top) and is height pixels tall and width pixels wide.
void drawOutline(int top, int left, int height, int width, uint32_t pixel);

} // namespace ravela
