// The Board: tiles built at start, painting at every pixel size, immediate and batch
// modes, the full repaint with its brick texture, and outlines.

#include <gtest/gtest.h>

#include <SDL.h>
#include <cstring>
#include <set>

#include "display/board.h"
#include "display/surface.h"
#include "match/match_state.h"
#include "match/random.h"
#include "tests/support.h"

using namespace ravela;
using ravela::testing::makeSurface;
using ravela::testing::pixelAt;
using ravela::testing::resetGame;

namespace {

uint32_t mapped(SDL_Surface *s, int r, int g, int b) { return SDL_MapRGB(s->format, r, g, b); }

// Advances a copy of the generator by n draws, so tests can tell how many were used.
uint32_t stateAfter(uint32_t state, int draws) {
    for (int i = 0; i < draws; ++i) state = state * 22695477u + 1u;
    return state;
}

class BoardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        surface = makeSurface(32);
        resetGame(surface, 99);
    }
    void TearDown() override { SDL_FreeSurface(surface); }
    SDL_Surface *surface = nullptr;
};

} // namespace

TEST_F(BoardTest, TileSetHoldsOnlyTheColoursOfEachTile) {
    for (uint8_t byte : board.tiles[kWall]) EXPECT_TRUE(byte == 0 || byte == 1);
    EXPECT_EQ(board.tiles[kWall][2], 1);  // top of the ring
    EXPECT_EQ(board.tiles[kWall][0], 0);  // rounded corner
    EXPECT_EQ(board.tiles[kWall][55], 0); // hollow middle
    for (int k = 0; k < 4; ++k) {
        std::set<int> seen;
        for (int code = 16 + 16 * k; code < 32 + 16 * k; ++code)
            for (uint8_t byte : board.tiles[code]) seen.insert(byte);
        EXPECT_EQ(seen, (std::set<int>{0, 2 + 2 * k, 3 + 2 * k})) << "colour base " << 16 + 16 * k;
    }
    for (int code = 4; code < 15; ++code)
        for (uint8_t byte : board.tiles[code]) EXPECT_EQ(byte, 0) << "code " << code;
    // Fruit shape in its own colour; empty cells in the two dark colours.
    EXPECT_EQ(board.tiles[kYellowFruit][6], 13);
    EXPECT_EQ(board.tiles[kGreenFruit][50], 14);
    EXPECT_EQ(board.tiles[kRedFruit][99], 0);
    EXPECT_EQ(board.tiles[kEmpty][11], 16);
    EXPECT_EQ(board.tiles[kEmpty][16], 17);
    // Head up of player 2: row 2 is "..bbcbbb..", stripe at column 4.
    EXPECT_EQ(board.tiles[32][24], 5);
    EXPECT_EQ(board.tiles[32][23], 4);
    for (uint8_t byte : board.tiles[64 + 14]) EXPECT_TRUE(byte == 0 || byte == 8 || byte == 9);
}

TEST(BoardPainting, EveryPixelSizeStoresThePaletteEntry) {
    for (int bits : {16, 24, 32}) {
        SDL_Surface *s = makeSurface(bits);
        resetGame(s);
        setCellAndDraw(board, 16, 3, 5); // player 1 head, facing up
        const uint32_t stripe = mapped(s, 255, 255, 64);
        const uint32_t body = mapped(s, 128, 128, 64);
        const uint32_t mask = bits == 16 ? 0xffff : bits == 24 ? 0xffffff : 0xffffffff;
        EXPECT_EQ(pixelAt(s, 54, 32), stripe & mask) << bits << " bits";
        EXPECT_EQ(pixelAt(s, 53, 32), body & mask) << bits << " bits";
        EXPECT_EQ(pixelAt(s, 50, 30), 0u) << bits << " bits";
        if (bits == 24) {
            const uint8_t *p = static_cast<uint8_t *>(s->pixels) + 32 * s->pitch + 54 * 3;
            EXPECT_EQ(p[0], stripe & 0xff);
            EXPECT_EQ(p[1], (stripe >> 8) & 0xff);
            EXPECT_EQ(p[2], (stripe >> 16) & 0xff);
        }
        SDL_FreeSurface(s);
    }
}

TEST(BoardPainting, OneBytePixelsPaintNothingButStoreTheCode) {
    SDL_Surface *s = makeSurface(8);
    resetGame(s);
    std::memset(s->pixels, 0x5a, s->pitch * s->h);
    setCellAndDraw(board, kWall, 2, 2);
    EXPECT_EQ(board.cells[2][2], kWall);
    EXPECT_EQ(static_cast<uint8_t *>(s->pixels)[20 * s->pitch + 20], 0x5a);
    SDL_FreeSurface(s);
}

TEST_F(BoardTest, EmptyCellsDrawTwoRandomNumbersForTheirDarkColours) {
    uint32_t before = matchState.randomState;
    setCellAndDraw(board, kEmpty, 10, 10);
    setCellAndDraw(board, kEmpty, 10, 10);
    EXPECT_EQ(matchState.randomState, stateAfter(before, 4));

    ravela::srand(5);
    const int r1 = ravela::rand(), r2 = ravela::rand();
    ravela::srand(5);
    setCellAndDraw(board, kEmpty, 1, 1);
    EXPECT_EQ(board.palette[16], mapped(surface, (r1 % 20) * 2, 30, ((r1 / 20) % 20) * 2));
    EXPECT_EQ(board.palette[17],
              mapped(surface, (r2 % 20) * 2, (r2 / 20) % 20, ((r2 / 400) % 20) * 2));
    // Pixel (1,1) of the empty tile is the first dark colour.
    EXPECT_EQ(pixelAt(surface, 11, 11), board.palette[16]);

    before = matchState.randomState;
    setCellAndDraw(board, kYellowFruit, 10, 10);
    EXPECT_EQ(matchState.randomState, before);
}

TEST_F(BoardTest, CallsOutsideTheGridChangeNothing) {
    setCellAndDraw(board, kWall, 5, 5);
    Board saved;
    std::memcpy(&saved, &board, sizeof board);
    std::vector<uint8_t> pixels(static_cast<uint8_t *>(surface->pixels),
                                static_cast<uint8_t *>(surface->pixels) + surface->pitch * 480);
    const uint32_t state = matchState.randomState;
    board.autoPresent = 1;
    saved.autoPresent = 1;
    surfaceTrace.on = true;
    for (auto [row, col] : {std::pair{48, 0}, {-1, 0}, {0, 64}, {0, -1}, {-100, 200}})
        for (int8_t code : {kEmpty, kWall, int8_t{64}}) setCellAndDraw(board, code, row, col);
    // Codes with no tile are refused as well.
    setCellAndDraw(board, 80, 3, 3);
    setCellAndDraw(board, -1, 3, 3);
    EXPECT_EQ(std::memcmp(&saved, &board, sizeof board), 0);
    EXPECT_EQ(std::memcmp(pixels.data(), surface->pixels, pixels.size()), 0);
    EXPECT_EQ(matchState.randomState, state);
    EXPECT_EQ(surfaceTrace.calls, "");
}

TEST_F(BoardTest, ImmediateModeLocksPaintsUnlocksAndPresentsTheCell) {
    surfaceTrace.on = true;
    setCellAndDraw(board, kWall, 7, 9);
    EXPECT_EQ(surfaceTrace.calls, "") << "batch mode neither locks nor presents";

    board.autoPresent = 1;
    setCellAndDraw(board, kWall, 7, 9);
    EXPECT_EQ(surfaceTrace.calls, "P") << "a software surface needs no lock";
    EXPECT_EQ(surfaceTrace.lastPresent[0], 90);
    EXPECT_EQ(surfaceTrace.lastPresent[1], 70);
    EXPECT_EQ(surfaceTrace.lastPresent[2], 10);
    EXPECT_EQ(surfaceTrace.lastPresent[3], 10);

    // A surface that must be locked is locked around the painting, and unlocked before the present.
    surface->flags |= SDL_RLEACCEL;
    ASSERT_TRUE(SDL_MUSTLOCK(surface));
    surfaceTrace.calls.clear();
    setCellAndDraw(board, kGreenFruit, 0, 0);
    EXPECT_EQ(surfaceTrace.calls, "LUP");
    board.autoPresent = 0;
    surfaceTrace.calls.clear();
    setCellAndDraw(board, kGreenFruit, 0, 0);
    EXPECT_EQ(surfaceTrace.calls, "");
    surface->flags &= ~SDL_RLEACCEL;
}

TEST_F(BoardTest, PlainWallTileIsTheGreyRing) {
    setCellAndDraw(board, kWall, 2, 3);
    const uint32_t grey = mapped(surface, 128, 128, 128);
    EXPECT_EQ(pixelAt(surface, 32, 20), grey);
    EXPECT_EQ(pixelAt(surface, 30, 22), grey);
    EXPECT_EQ(pixelAt(surface, 35, 25), 0u);
    setCellAndDraw(board, 9, 2, 4); // a code with no meaning paints black
    for (int y = 20; y < 30; ++y)
        for (int x = 40; x < 50; ++x) ASSERT_EQ(pixelAt(surface, x, y), 0u);
}

// The expected brick texture of the next wall cell, drawn from a copy of the generator.
static void expectedBricks(uint32_t &state, uint8_t out[100]) {
    int r = 0;
    for (int k = 0; k < 100; ++k) {
        if (k % 5 == 0) {
            state = state * 22695477u + 1u;
            r = static_cast<int>((state >> 16) & 0x7fff);
        }
        out[k] = (r & 3) ? 11 : (r & 4) ? 10 : 12;
        r >>= 3;
    }
}

TEST_F(BoardTest, RedrawGivesALoneWallBevelsAndBricksInRowMajorOrder) {
    // Two joined walls in the grid's corner and a lone wall at (20, 30); the rest empty.
    std::memset(board.cells, kEmpty, sizeof board.cells);
    board.cells[20][30] = kWall;
    board.cells[0][0] = kWall; // top-left of the grid: no neighbours up or left
    board.cells[0][1] = kWall; // joined to the right of (0, 0)
    uint32_t state = matchState.randomState;
    redrawBoard(board);

    // Row-major: (0,0) wall, (0,1) wall, then empty cells up to (20,30).
    uint8_t bricks[100];
    expectedBricks(state, bricks); // (0, 0)
    uint32_t colours[18];
    std::memcpy(colours, board.palette, sizeof colours);
    EXPECT_EQ(pixelAt(surface, 5, 0), colours[9]) << "light top edge";
    EXPECT_EQ(pixelAt(surface, 5, 9), colours[8]) << "dark bottom edge";
    EXPECT_EQ(pixelAt(surface, 9, 5), colours[bricks[59]]) << "no edge toward the wall on the right";
    EXPECT_EQ(pixelAt(surface, 3, 4), colours[bricks[43]]);
    expectedBricks(state, bricks); // (0, 1)
    EXPECT_EQ(pixelAt(surface, 10, 5), colours[bricks[50]]) << "no edge toward the wall on the left";
    state = stateAfter(state, 2 * (20 * 64 + 30 - 2));
    expectedBricks(state, bricks); // (20, 30)
    for (int k = 11; k < 89; ++k) {
        if (k % 10 == 0 || k % 10 == 9) continue;
        EXPECT_EQ(pixelAt(surface, 300 + k % 10, 200 + k / 10), colours[bricks[k]]) << k;
    }
    EXPECT_EQ(pixelAt(surface, 305, 200), colours[9]);
    EXPECT_EQ(pixelAt(surface, 305, 209), colours[8]);
    EXPECT_EQ(pixelAt(surface, 300, 205), colours[9]);
    EXPECT_EQ(pixelAt(surface, 309, 205), colours[8]);
    EXPECT_EQ(pixelAt(surface, 309, 200), colours[8]) << "top-right corner takes its column";
    EXPECT_EQ(pixelAt(surface, 300, 209), colours[9]) << "bottom-left corner takes its column";
    // The rest of the cells: two numbers per empty cell.
    EXPECT_EQ(matchState.randomState, stateAfter(state, 2 * (48 * 64 - 20 * 64 - 31)));
}

TEST_F(BoardTest, RedrawKeepsCellsAndRestoresTheRingTile) {
    for (int row = 0; row < kBoardRows; ++row)
        for (int col = 0; col < kBoardColumns; ++col)
            board.cells[row][col] = static_cast<int8_t>((row * 7 + col) % 80);
    Board before;
    std::memcpy(&before, &board, sizeof board);
    redrawBoard(board);
    EXPECT_EQ(std::memcmp(before.cells, board.cells, sizeof board.cells), 0);
    EXPECT_EQ(std::memcmp(before.tiles, board.tiles, sizeof board.tiles), 0);
    EXPECT_EQ(board.autoPresent, 0);
    // A wall at the bottom row always gets a dark bottom; one in column 0 a light left side.
    board.cells[47][0] = kWall;
    board.cells[47][1] = kWall;
    board.cells[46][0] = kWall;
    redrawBoard(board);
    EXPECT_EQ(pixelAt(surface, 5, 479), board.palette[8]);
    EXPECT_EQ(pixelAt(surface, 0, 475), board.palette[9]);
    EXPECT_NE(pixelAt(surface, 5, 470), board.palette[9]) << "joined to the wall above";
}

TEST_F(BoardTest, RedrawPresentsOnceOnlyInImmediateMode) {
    surfaceTrace.on = true;
    surface->flags |= SDL_RLEACCEL;
    redrawBoard(board);
    EXPECT_EQ(surfaceTrace.calls, "");
    EXPECT_EQ(board.autoPresent, 0);

    board.autoPresent = 1;
    redrawBoard(board);
    EXPECT_EQ(surfaceTrace.calls, "LUP");
    EXPECT_EQ(surfaceTrace.lastPresent[2], 640);
    EXPECT_EQ(surfaceTrace.lastPresent[3], 480);
    EXPECT_EQ(board.autoPresent, 1);
    surface->flags &= ~SDL_RLEACCEL;
}

TEST_F(BoardTest, OutlineFillsExactlyItsFrame) {
    const uint32_t white = mapped(surface, 255, 255, 255);
    SDL_FillRect(surface, nullptr, 0);
    drawOutline(188, 100, 59, 219, white);
    int painted = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const bool inBox = x >= 100 && x <= 318 && y >= 188 && y <= 246;
            const bool edge = inBox && (x <= 101 || x >= 317 || y <= 189 || y >= 245);
            ASSERT_EQ(pixelAt(surface, x, y), edge ? white : 0u) << x << "," << y;
            painted += edge;
        }
    EXPECT_EQ(painted, 2 * 2 * 59 + 2 * 2 * 215);
}
