// The Board and its tile set: the palette, the 80 tiles built from character tables,
// and setCellAndDraw, which stores a cell code and paints its tile.

#include "display/board.h"

#include <SDL.h>
#include <cstring>
#include <iterator>

#include "common/random.h"
#include "display/surface.h"

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

// Body and stripe of the first colour base are palette 2 and 3 ('b' - 96 and 'c' - 96);
// each later base uses the next two entries.
// Palette indexes of the two dark colours of an empty cell, and of the three fruits.
constexpr uint8_t kFirstDarkColour = 16;
constexpr uint8_t kSecondDarkColour = 17;
constexpr uint8_t kFirstFruitColour = 13;

uint32_t mapColour(SDL_Surface *surface, int r, int g, int b) {
    return SDL_MapRGB(surface->format, static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                      static_cast<uint8_t>(b));
}

// The character of a table at pixel p (row-major) of its tile.
char emptyAt(int p) {
    return kCellTables[p / kCellPixels][0][p % kCellPixels];
}
char wallAt(int p) {
    return kCellTables[p / kCellPixels][1][p % kCellPixels];
}
char fruitAt(int p) {
    return kCellTables[p / kCellPixels][2][p % kCellPixels];
}
char snakeAt(int offset, int p) {
    return kSnakeSheet[offset / 4][p / kCellPixels][offset % 4][p % kCellPixels];
}

// The empty-cell tile and the three fruit tiles; the wall tile comes from restoreWallTile.
void buildCellTiles(Board &target) {
    for (int p = 0; p < kTileBytes; ++p) {
        const char empty = emptyAt(p);
        target.tiles[kEmpty][p] = empty == 'a'   ? kFirstDarkColour
                                  : empty == 'b' ? kSecondDarkColour
                                                 : 0;
        if (fruitAt(p) != 'a') continue;
        for (int8_t fruit = kYellowFruit; fruit <= kRedFruit; ++fruit)
            target.tiles[fruit][p] = static_cast<uint8_t>(kFirstFruitColour + fruit - kYellowFruit);
    }
}

// The sixteen tiles of every colour base, each base in its own two palette entries.
void buildSnakeTiles(Board &target) {
    for (int offset = 0; offset < kSnakeTiles; ++offset) {
        for (int p = 0; p < kTileBytes; ++p) {
            const char ch = snakeAt(offset, p);
            if (ch != 'b' && ch != 'c') continue;
            for (int band = 0; band < static_cast<int>(std::size(kColourBases)); ++band)
                target.tiles[kColourBases[band] + offset][p] =
                    static_cast<uint8_t>(ch - 96 + 2 * band);
        }
    }
}

} // namespace

void restoreWallTile(Board &target) {
    for (int p = 0; p < kTileBytes; ++p)
        target.tiles[kWall][p] = wallAt(p) == 'a' ? 1 : 0;
}

void initBoard(Board &target, SDL_Surface *surface) {
    target.surface = surface;
    target.autoPresent = 0;
    for (int i = 0; i < kPaletteSize; ++i)
        target.palette[i] =
            mapColour(surface, kPaletteColours[i].r, kPaletteColours[i].g, kPaletteColours[i].b);
    std::memset(target.tiles, 0, sizeof target.tiles);
    buildCellTiles(target);
    buildSnakeTiles(target);
    restoreWallTile(target);
}

void setCellAndDraw(Board &target, int8_t code, int row, int col) {
    if (!onGrid(row, col)) return;
    if (code < 0 || code >= kTileCount) return; // no tile paints it: never store it
    SDL_Surface *surface = target.surface;
    const bool locked = target.autoPresent == 1 && lockSurface(surface);

    target.cells[row][col] = code;
    if (code == kEmpty) {
        const int r1 = rand();
        const int r2 = rand();
        target.palette[kFirstDarkColour] =
            mapColour(surface, (r1 % 20) * 2, 30, ((r1 / 20) % 20) * 2);
        target.palette[kSecondDarkColour] =
            mapColour(surface, (r2 % 20) * 2, (r2 / 20) % 20, ((r2 / 400) % 20) * 2);
    }

    // Each tile pixel is an n x n block: a row of blocks is painted once, then copied
    // down n - 1 times.
    const int n = pixelScale(surface);
    const int side = kCellPixels * n;
    const int bytesPerPixel = surface->format->BytesPerPixel;
    uint8_t *line = static_cast<uint8_t *>(surface->pixels) + row * side * surface->pitch +
                    col * side * bytesPerPixel;
    const uint8_t *tile = target.tiles[static_cast<uint8_t>(code)];
    for (int y = 0; y < kCellPixels; ++y) {
        uint8_t *p = line;
        for (int x = 0; x < kCellPixels; ++x) {
            const uint32_t value = target.palette[tile[y * kCellPixels + x]];
            for (int k = 0; k < n; ++k, p += bytesPerPixel)
                storePixel(p, bytesPerPixel, value);
        }
        for (int k = 1; k < n; ++k)
            std::memcpy(line + k * surface->pitch, line, static_cast<size_t>(side * bytesPerPixel));
        line += n * surface->pitch;
    }

    if (target.autoPresent == 1) {
        if (locked) unlockSurface(surface);
        presentRect(surface, col * kCellPixels, row * kCellPixels, kCellPixels, kCellPixels);
    }
}

void paintBatch(Board &target, const std::function<void()> &paint) {
    const uint8_t present = target.autoPresent;
    target.autoPresent = 0;
    const bool locked = present == 1 && lockSurface(target.surface);
    paint();
    if (present == 1) {
        if (locked) unlockSurface(target.surface);
        presentRect(target.surface, 0, 0, kBoardColumns * kCellPixels, kBoardRows * kCellPixels);
    }
    target.autoPresent = present;
}

} // namespace ravela
