// The Board and its tile set: the palette, the 80 tiles built from character tables,
// and setCellAndDraw, which stores a cell code and paints its tile.

#include "display/board.h"

#include <SDL.h>
#include <cstring>

#include "display/surface.h"
#include "match/random.h"

namespace ravela {

Board board;

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// Entries 16 and 17 are the dark colours of empty cells, drawn afresh for each one.
constexpr Rgb kPaletteColours[kPaletteSize] = {
    {0, 0, 0},       // black background
    {128, 128, 128}, // plain wall ring
    {128, 128, 64},  // player 1 body
    {255, 255, 64},  // player 1 stripe
    {64, 128, 64},   // player 2 body
    {64, 255, 64},   // player 2 stripe
    {64, 128, 128},  // player 3 body
    {64, 255, 255},  // player 3 stripe
    {96, 96, 96},    // adversary body, dark brick edge
    {224, 224, 224}, // adversary stripe, light brick edge
    {64, 96, 160},   // brick texture
    {128, 128, 192}, // brick texture
    {128, 192, 255}, // brick texture
    {255, 255, 128}, // yellow fruit
    {64, 192, 64},   // green fruit
    {255, 128, 64},  // red fruit
    {0, 0, 0},       // first dark colour of an empty cell
    {0, 0, 0},       // second dark colour of an empty cell
};

// The empty-cell, wall and fruit tiles, side by side: row by row, ten characters each.
// Empty: 'a' and 'b' are the two dark colours. Wall: 'a' is the grey ring. Fruit: 'a' is the fruit
// colour.
constexpr const char *kCellTables[10][3] = {
    {"..........", "..aaaaaa..", "......aa.."}, {".aaaa.bbbb", ".a......a.", ".....aaa.."},
    {".abbab.aab", "a........a", ".....a...."}, {".abbab.aab", "a........a", "...aaaa..."},
    {".a..a.bbbb", "a........a", ".aaaaaaaa."}, {"..aa...aa.", "a........a", "aaaaaaaaaa"},
    {".bbbb.a..a", "a........a", "aaaaaaaaaa"}, {".baa.b.bba", "a........a", "aaaaaaaaaa"},
    {".baa.b.bba", ".a......a.", ".aaaaaaaa."}, {".bbbb.aaaa", "..aaaaaa..", "...aaaa..."},
};

// The sixteen snake tiles in four groups of four, row by row: 'b' is the body colour,
// 'c' the stripe, anything else black.
constexpr const char *kSnakeSheet[4][10][4] = {
    // B+0 head up | B+1 head down | B+2 head left | B+3 head right
    {
        {"..........", ".bcbbbbbb.", "..........", ".........."},
        {"...bbbb...", ".bcbbbbbb.", "...bbbbbbb", "bbbbbbb..."},
        {"..bbcbbb..", ".bcbbbbbb.", "..bbbccccc", "cccccbbb.."},
        {".bb.bb.bb.", ".bcbbbbbb.", ".bb..bbbbb", "bbbbb..bb."},
        {".bb.bb.bb.", ".bcbbbbbb.", ".bcbbbbbbb", "bbbbbbbcb."},
        {".bcbbbbbb.", ".bb.bb.bb.", ".bbbbbbbbb", "bbbbbbbbb."},
        {".bcbbbbbb.", ".bb.bb.bb.", ".bb..bbbbb", "bbbbb..bb."},
        {".bcbbbbbb.", "..bbcbbb..", "..bbbbbbbb", "bbbbbbbb.."},
        {".bcbbbbbb.", "...bbbb...", "...bbbbbbb", "bbbbbbb..."},
        {".bcbbbbbb.", "..........", "..........", ".........."},
    },
    // B+4 tail, tip up | B+5 tail, tip down | B+6 tail, tip left | B+7 tail, tip right
    {
        {"..........", ".bcbbbbbb.", "..........", ".........."},
        {"...bbbb...", ".bcbbbbbb.", "...b.b.bbb", "bbb.b.b..."},
        {"....c.....", ".bcbbbbbb.", "...b.bcccc", "ccccb.b..."},
        {".bbbcbbbb.", "..c.......", ".b.bcc.bbb", "bbb.ccb.b."},
        {"...c......", ".bbcbbbbb.", ".bcc.b.bbb", "bbb.b.ccb."},
        {".bbcbbbbb.", "...c......", ".b.b.b.bbb", "bbb.b.b.b."},
        {"..c.......", ".bbbcbbbb.", ".b.b.b.bbb", "bbb.b.b.b."},
        {".bcbbbbbb.", "....c.....", "...b.b.bbb", "bbb.b.b..."},
        {".bcbbbbbb.", "...bbbb...", "...b.b.bbb", "bbb.b.b..."},
        {".bcbbbbbb.", "..........", "..........", ".........."},
    },
    // B+8 corner left-bottom | B+9 corner top-left | B+10 corner right-bottom | B+11 corner
    // top-right
    {
        {"..........", ".bcbbbbbb.", "..........", ".bcbbbbbb."},
        {"bbbbb.....", "bbcbbbbbb.", ".....bbbbb", ".bcbbbbbbb"},
        {"ccccbbb...", "ccbbbbbbb.", "...bbbcccc", ".bcbbbbbcc"},
        {"bbbbccbb..", "bbbbbbbbb.", "..bbccbbbb", ".bcbbbbbbb"},
        {"bbbbbbbb..", "bbbbbbbbb.", "..bcbbbbbb", ".bbcbbbbbb"},
        {"bbbbbbbbb.", "bbbbbbbb..", ".bbcbbbbbb", "..bcbbbbbb"},
        {"bbbbbbbbb.", "bbbbbbbb..", ".bcbbbbbbb", "..bbbbbbbb"},
        {"bbbbbbbbb.", "bbbbbbb...", ".bcbbbbbbb", "...bbbbbbb"},
        {"bbcbbbbbb.", "bbbbb.....", ".bcbbbbbbb", ".....bbbbb"},
        {".bcbbbbbb.", "..........", ".bcbbbbbb.", ".........."},
    },
    // B+12 straight horizontal | B+13 straight vertical | B+14 broken egg | B+15 intact egg
    {
        {"..........", ".bcbbbbbb.", "...bbbb...", ".........."},
        {"bbbbbbbbbb", ".bcbbbbbb.", "..bcccbb..", "...bbbb..."},
        {"cccccccccc", ".bccbbbbb.", ".bc.bbbbb.", "..bcccbb.."},
        {"bbcbbbbcbb", ".bcbbbbbb.", "...bbbbbb.", ".bcbbbbbb."},
        {"bbbbbbbbbb", ".bcbbbbbb.", ".bc.b..bbb", ".bcbbbbbb."},
        {"bbbbbbbbbb", ".bcbbbbbb.", "bcbb..bbbb", "bcbbbbbbbb"},
        {"bbbbbbbbbb", ".bcbbbbbb.", "bc.bbb..bb", "bcbbbbbbbb"},
        {"bbbbbbbbbb", ".bccbbbbb.", "bcbbb.bb..", "bcbbbbbbbb"},
        {"bbbbbbbbbb", ".bcbbbbbb.", ".bcbb.bbb.", ".bcbbbbbb."},
        {"..........", ".bcbbbbbb.", "..abbbba..", "..abbbba.."},
    },
};

// Snake colour bases 16, 32, 48 and 64. Body and stripe of base 16 are palette 2 and 3
// ('b' - 96 and 'c' - 96); each later base uses the next two entries.
constexpr int kSnakeBases = 4;

void writePixel(uint8_t *at, int bytesPerPixel, uint32_t value) {
    switch (bytesPerPixel) {
    case 2: {
        const uint16_t low = static_cast<uint16_t>(value);
        std::memcpy(at, &low, 2);
        break;
    }
    case 3:
        at[0] = static_cast<uint8_t>(value);
        at[1] = static_cast<uint8_t>(value >> 8);
        at[2] = static_cast<uint8_t>(value >> 16);
        break;
    case 4: std::memcpy(at, &value, 4); break;
    default: break;
    }
}

uint32_t mapColour(SDL_Surface *surface, int r, int g, int b) {
    return SDL_MapRGB(surface->format, static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                      static_cast<uint8_t>(b));
}

} // namespace

void restoreWallTile(Board &board) {
    for (int row = 0; row < kCellPixels; ++row)
        for (int col = 0; col < kCellPixels; ++col)
            board.tiles[kWall][row * kCellPixels + col] =
                static_cast<uint8_t>(kCellTables[row][1][col] - 96);
    // Anything above 30 came from a character that is not a colour.
    for (auto &tile : board.tiles)
        for (uint8_t &byte : tile)
            if (byte > 30) byte = 0;
}

void initBoard(Board &board, SDL_Surface *surface) {
    board.surface = surface;
    board.autoPresent = 0;
    for (int i = 0; i < kPaletteSize; ++i)
        board.palette[i] =
            mapColour(surface, kPaletteColours[i].r, kPaletteColours[i].g, kPaletteColours[i].b);
    std::memset(board.tiles, 0, sizeof board.tiles);

    for (int row = 0; row < kCellPixels; ++row) {
        for (int col = 0; col < kCellPixels; ++col) {
            const int p = row * kCellPixels + col;
            const char empty = kCellTables[row][0][col];
            board.tiles[kEmpty][p] = empty == 'a' ? 16 : empty == 'b' ? 17 : 0;
            if (kCellTables[row][2][col] == 'a') {
                board.tiles[kYellowFruit][p] = 13;
                board.tiles[kGreenFruit][p] = 14;
                board.tiles[kRedFruit][p] = 15;
            }
        }
    }

    for (int group = 0; group < 4; ++group) {
        for (int row = 0; row < kCellPixels; ++row) {
            for (int i = 0; i < 4; ++i) {
                const int offset = group * 4 + i;
                for (int col = 0; col < kCellPixels; ++col) {
                    const char ch = kSnakeSheet[group][row][i][col];
                    if (ch != 'b' && ch != 'c') continue;
                    for (int base = 0; base < kSnakeBases; ++base)
                        board.tiles[16 * (base + 1) + offset][row * kCellPixels + col] =
                            static_cast<uint8_t>(ch - 96 + 2 * base);
                }
            }
        }
    }
    restoreWallTile(board);
}

void setCellAndDraw(Board &board, int8_t code, int row, int col) {
    if (col < 0 || col >= kBoardColumns || row < 0 || row >= kBoardRows) return;
    if (code < 0 || code >= kTileCount) return; // no tile paints it: never store it
    SDL_Surface *surface = board.surface;
    const bool locked = board.autoPresent == 1 && lockSurface(surface);

    board.cells[row][col] = code;
    if (code == kEmpty) {
        const int r1 = rand();
        const int r2 = rand();
        board.palette[16] = mapColour(surface, (r1 % 20) * 2, 30, ((r1 / 20) % 20) * 2);
        board.palette[17] =
            mapColour(surface, (r2 % 20) * 2, (r2 / 20) % 20, ((r2 / 400) % 20) * 2);
    }

    const int bytesPerPixel = surface->format->BytesPerPixel;
    uint8_t *line = static_cast<uint8_t *>(surface->pixels) + row * kCellPixels * surface->pitch +
                    col * kCellPixels * bytesPerPixel;
    const uint8_t *tile = board.tiles[static_cast<uint8_t>(code)];
    for (int y = 0; y < kCellPixels; ++y, line += surface->pitch)
        for (int x = 0; x < kCellPixels; ++x)
            writePixel(line + x * bytesPerPixel, bytesPerPixel,
                       board.palette[tile[y * kCellPixels + x]]);

    if (board.autoPresent == 1) {
        if (locked) unlockSurface(surface);
        presentRect(surface, col * kCellPixels, row * kCellPixels, kCellPixels, kCellPixels);
    }
}

} // namespace ravela
