// The Board: the 64x48 grid of cell codes, the tile set that paints them, and the
// operations that change and repaint cells on the screen surface.
#pragma once

#include <cstdint>

struct SDL_Surface;

namespace ravela {

constexpr int kBoardRows = 48;
constexpr int kBoardColumns = 64;
constexpr int kCellPixels = 10;
constexpr int kPaletteSize = 18;
constexpr int kTileCount = 80;
constexpr int kTileBytes = kCellPixels * kCellPixels;

// Cell codes with a fixed meaning; snake codes are a colour base plus an offset.
constexpr int8_t kEmpty = 0;
constexpr int8_t kYellowFruit = 1;
constexpr int8_t kGreenFruit = 2;
constexpr int8_t kRedFruit = 3;
constexpr int8_t kWall = 15;
constexpr int8_t kGreyEgg = 78;

struct Board {
    int8_t cells[kBoardRows][kBoardColumns]; // cell code of every cell, row-major
    uint8_t autoPresent;                     // 1: each cell change locks, paints and presents
    uint32_t palette[kPaletteSize];          // tile colours mapped for the surface
    uint8_t tiles[kTileCount][kTileBytes];   // tile n paints code n: palette indexes, row-major
    SDL_Surface *surface;                    // surface the tiles are painted on
};

// The one playfield of the program.
extern Board board;

// Remembers the surface, clears autoPresent, maps the palette and builds the tile set.
void initBoard(Board &board, SDL_Surface *surface);
// Stores a code in a cell and paints its tile; cells outside the grid are ignored.
void setCellAndDraw(Board &board, int8_t code, int row, int col);
// Rebuilds tile 15 as the plain wall ring and clears stray bytes from every tile.
void restoreWallTile(Board &board);
// Repaints every cell, walls with a fresh brick texture, and presents the whole screen.
void redrawBoard(Board &board);
// Draws a two-pixel frame whose outer box is (left, top, width, height).
void drawOutline(int top, int left, int height, int width, uint32_t pixel);

} // namespace ravela
