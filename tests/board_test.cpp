// The Board: tiles built at start, painting at every pixel size, immediate and batch
// modes, the full repaint with its brick texture, and outlines.

#include <array>
#include <cstring>
#include <set>
#include <vector>

#include "common/random.h"
#include "display/surface.h"
#include "tests/fixture.h"

namespace ravela {

using testing::pixelAt;

struct BoardTest : testing::GameTest {
    void SetUp() override { testing::resetGame(surface, 99); }
    SDL_Surface *surface = GameTest::surface();
};

TEST_F(BoardTest, EachTileHoldsOnlyItsOwnColours) {
    for (int code = 0; code < kTileCount; ++code) {
        const std::set<int> seen(std::begin(board.tiles[code]), std::end(board.tiles[code]));
        std::set<int> expected{0}; // codes 4 to 14 are black
        if (code == kEmpty) expected = {0, 16, 17};
        if (code >= kYellowFruit && code <= kRedFruit) expected = {0, 12 + code};
        if (code == kWall) expected = {0, 1};
        if (code >= 16) expected = {0, code / 16 * 2, code / 16 * 2 + 1}; // body and stripe
        EXPECT_EQ(seen, expected) << "code " << code;
    }
}

TEST(BoardPainting, EveryPixelSizeStoresThePaletteEntryLowestByteFirst) {
    for (int bits : {16, 24, 32}) {
        SDL_Surface *s = testing::makeSurface(bits);
        testing::resetGame(s);
        setCellAndDraw(board, 16, 3, 5); // player 1's head facing up: a stripe pixel at (4, 2)
        const uint32_t mask = bits == 32 ? 0xffffffff : (1u << bits) - 1;
        EXPECT_EQ(pixelAt(s, 54, 32), SDL_MapRGB(s->format, 255, 255, 64) & mask) << bits;
        EXPECT_EQ(pixelAt(s, 53, 32), SDL_MapRGB(s->format, 128, 128, 64) & mask) << bits;
        SDL_FreeSurface(s);
    }
}

TEST_F(BoardTest, ImmediateModeLocksPaintsUnlocksAndPresentsBatchModeAndOffGridCallsNothing) {
    surfaceTrace.on = true;
    setCellAndDraw(board, kWall, 7, 9);
    board.autoPresent = 1;
    setCellAndDraw(board, kWall, 7, 9);
    EXPECT_EQ(surfaceTrace.calls, "P"); // a software surface needs no lock
    EXPECT_EQ(std::to_array(surfaceTrace.lastPresent), (std::array{90, 70, 10, 10}));
    surface->flags |= SDL_RLEACCEL; // from here on the surface must be locked
    Board saved;
    std::memcpy(&saved, &board, sizeof board);
    const uint32_t state = randomGenerator.state;
    for (auto [row, col] : {std::pair{48, 0}, {-1, 0}, {0, 64}, {0, -1}, {47, 64}})
        setCellAndDraw(board, kEmpty, row, col); // the one code that draws random numbers
    EXPECT_EQ(std::memcmp(&saved, &board, sizeof board), 0);
    EXPECT_EQ(randomGenerator.state, state);
    setCellAndDraw(board, kGreenFruit, 0, 0);
    board.autoPresent = 0;
    setCellAndDraw(board, kGreenFruit, 0, 0);
    redrawBoard(board);
    board.autoPresent = 1;
    redrawBoard(board); // one lock around the whole repaint, one present of the screen
    EXPECT_EQ(surfaceTrace.calls, "PLUPLUP");
    EXPECT_EQ(std::to_array(surfaceTrace.lastPresent), (std::array{0, 0, 640, 480}));
    EXPECT_EQ(board.autoPresent, 1);
    surface->flags &= ~SDL_RLEACCEL;
}

// The repaint keeps the tile set as it was and draws the wall texture from the shared
// generator, so the same seed paints the same screen.
TEST_F(BoardTest, RedrawKeepsTheTilesAndDrawsTheTextureFromTheSeed) {
    board.cells[0][0] = board.cells[0][1] = board.cells[1][0] = kWall;
    Board before;
    std::memcpy(&before, &board, sizeof board);
    std::vector<uint32_t> pixels[2];
    for (auto &pass : pixels) {
        srand(7);
        redrawBoard(board);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                pass.push_back(pixelAt(surface, x, y));
    }
    EXPECT_EQ(pixels[0], pixels[1]);
    EXPECT_GT(std::set<uint32_t>(pixels[0].begin(), pixels[0].end()).size(), 3u) << "bricks";
    EXPECT_EQ(std::memcmp(before.tiles, board.tiles, sizeof board.tiles), 0);
}

TEST_F(BoardTest, OutlineFillsExactlyItsFrame) {
    const uint32_t white = SDL_MapRGB(surface->format, 255, 255, 255);
    SDL_FillRect(surface, nullptr, 0);
    drawOutline(188, 100, 59, 219, white);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const bool inBox = x >= 100 && x <= 318 && y >= 188 && y <= 246;
            const bool edge = inBox && (x <= 101 || x >= 317 || y <= 189 || y >= 245);
            ASSERT_EQ(pixelAt(surface, x, y), edge ? white : 0u) << x << "," << y;
        }
}

} // namespace ravela
