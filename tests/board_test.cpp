// The Board: tiles built at start, painting at every pixel size, immediate and batch
// modes, the full repaint with its brick texture, and outlines; and what each tile, each
// wall's bevel and the status row look like, read back from the pixels against the
// real-window suite's own palette and tiles.

#include <array>
#include <cstring>
#include <set>
#include <vector>

#include "common/random.h"
#include "display/picture.h"
#include "display/surface.h"
#include "match/controls.h"
#include "tests/drawn.h"
#include "tests/fixture.h"

namespace ravela {

using testing::pixelAt;

struct BoardTest : testing::GameTest {
    void SetUp() override { testing::resetGame(surface, 99); }
    SDL_Surface *surface = GameTest::surface();
};

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

// A surface n times as wide and high shows each game pixel as an n x n block: tiles, empty
// cells, outlines and pictures alike; and the pointer's window pixels are read back as game
// pixels.
TEST(BoardPainting, ATwiceAsLargeSurfaceShowsEachGamePixelAsATwoByTwoBlock) {
    SDL_Surface *small = testing::makeSurface(32), *large = testing::makeSurface(32, 1280, 960);
    for (SDL_Surface *s : {small, large}) {
        testing::resetGame(s, 5);
        SDL_FillRect(s, nullptr, 0);
        setCellAndDraw(board, kPlayerBase[1] + kCornerTopLeft, 3, 5);
        setCellAndDraw(board, kEmpty, 4, 5);
        drawOutline(100, 100, 20, 30, SDL_MapRGB(s->format, 255, 255, 255));
        decodeAndBlit(startLabel.bytes, startLabel.length, s, 200, 300);
        decodeAndBlit(startLabel.bytes, startLabel.length, s, 300, -100); // cut on the left
    }
    SDL_Event motion{.motion = {SDL_MOUSEMOTION, 0, 0, 1279, 959, 0, 0}};
    EXPECT_EQ(readEvent(motion).pointer.x, 639);
    EXPECT_EQ(readEvent(motion).pointer.y, 479);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            for (int k = 0; k < 4; ++k)
                ASSERT_EQ(pixelAt(large, 2 * x + k % 2, 2 * y + k / 2), pixelAt(small, x, y))
                    << x << "," << y;
    SDL_FreeSurface(small);
    SDL_FreeSurface(large);
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

// The repaint keeps the tile set as it was and draws each wall's texture from the shared
// generator, cell after cell in row-major order: one number for every five pixels, three
// bits a pixel from the lowest, either of the two lower bits set giving the middle colour,
// else the third bit the dark one, else the light one. Here every cell is wall, so the cell
// (1, 1) has no bevel and takes the numbers after those of the 65 cells before it.
TEST_F(BoardTest, RedrawDrawsEachWallsTextureFromTheSharedGenerator) {
    std::memset(board.cells, kWall, sizeof board.cells);
    Board before;
    std::memcpy(&before, &board, sizeof board);
    srand(7);
    redrawBoard(board);
    srand(7);
    for (int k = 0; k < 65 * 20; ++k)
        rand();
    const harness::Rgb light = harness::kPalette[12], middle = harness::kPalette[11],
                       dark = harness::kPalette[10];
    for (int k = 0, r = 0; k < kTileBytes; ++k, r >>= 3) {
        if (k % 5 == 0) r = rand();
        const harness::Rgb want = r & 3 ? middle : r & 4 ? dark : light;
        const harness::Rgb shown = testing::colourAt(surface, 10 + k % 10, 10 + k / 10);
        ASSERT_TRUE(shown.r == want.r && shown.g == want.g && shown.b == want.b) << "pixel " << k;
    }
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

// Every code painted on its own, read back from the pixels.
TEST_F(BoardTest, EveryCodePaintsTheTileThePlayerKnowsIt) {
    for (int code = 0; code < kTileCount; ++code) {
        const int row = 2 + code / 16, col = 2 + 2 * (code % 16);
        setCellAndDraw(board, static_cast<int8_t>(code), row, col);
        const int shown = testing::shownCode(surface, row, col);
        if (code == kEmpty)
            EXPECT_EQ(shown, kEmpty) << "an empty cell shows its two dark colours";
        else if (code == kWall)
            EXPECT_EQ(shown, testing::kRingTile) << "a wall painted alone is the grey ring";
        else if (code > kRedFruit && code < kWall)
            for (int k = 0; k < kTileBytes; ++k)
                ASSERT_EQ(testing::colourAt(surface, 10 * col + k % 10, 10 * row + k / 10).g, 0)
                    << "code " << code << " has no meaning and paints black";
        else
            EXPECT_EQ(shown, code) << "fruit and snake codes show their own tile";
    }
    setCellAndDraw(board, kTileCount, 2, 2), setCellAndDraw(board, -1, 2, 2);
    EXPECT_EQ(board.cells[2][2], kEmpty) << "a code without a tile is never stored";
}

// Each empty cell painted takes its two dark colours from the next two random numbers r1, r2:
// red (r1 mod 20) x 2, green 30, blue ((r1 / 20) mod 20) x 2 on its 'a', and red (r2 mod 20)
// x 2, green (r2 / 20) mod 20, blue ((r2 / 400) mod 20) x 2 on its 'b'.
TEST_F(BoardTest, AnEmptyCellTakesItsDarkColoursFromTheNextTwoRandomNumbers) {
    using Colours = std::array<int, 6>; // red, green, blue on 'a', then on 'b'
    for (int cell = 0; cell < 200; ++cell) {
        const int row = 5 + cell / 64, col = cell % 64;
        const uint32_t state = randomGenerator.state;
        const int r1 = rand(), r2 = rand();
        randomGenerator.state = state;
        setCellAndDraw(board, kEmpty, row, col);
        const harness::Rgb a = testing::colourAt(surface, 10 * col + 1, 10 * row + 1);
        const harness::Rgb b = testing::colourAt(surface, 10 * col + 2, 10 * row + 2);
        const Colours want = {r1 % 20 * 2, 30,           r1 / 20 % 20 * 2,
                              r2 % 20 * 2, r2 / 20 % 20, r2 / 400 % 20 * 2};
        ASSERT_EQ((Colours{a.r, a.g, a.b, b.r, b.g, b.b}), want) << "cell " << cell;
    }
}

// A wall cell's bevels face exactly the sides that are not wall, whatever the neighbours; a
// side beyond the edge of the Board is open.
struct Bevel {
    std::string name;
    int row, col;
    bool wallAbove, wallBelow, wallLeft, wallRight;
};
struct BevelTest : BoardTest, ::testing::WithParamInterface<Bevel> {};

TEST_P(BevelTest, FacesTheOpenSides) {
    const Bevel &b = GetParam();
    const std::pair<bool, std::pair<int, int>> neighbours[] = {{b.wallAbove, {-1, 0}},
                                                               {b.wallBelow, {1, 0}},
                                                               {b.wallLeft, {0, -1}},
                                                               {b.wallRight, {0, 1}}};
    board.cells[b.row][b.col] = kWall;
    bool open[4];
    for (int side = 0; side < 4; ++side) {
        const auto [wall, step] = neighbours[side];
        const int row = b.row + step.first, col = b.col + step.second;
        open[side] = !wall;
        if (wall) board.cells[row][col] = kWall;
    }
    board.autoPresent = 1;
    redrawBoard(board);
    EXPECT_TRUE(testing::showsBrick(surface, b.row, b.col, open))
        << "shown: " << testing::shownCode(surface, b.row, b.col);
}

std::vector<Bevel> bevels() {
    std::vector<Bevel> all;
    for (int m = 0; m < 16; ++m) { // every set of wall neighbours in the middle of the Board
        const auto yesNo = [m](int bit) { return m & bit ? "Yes" : "No"; };
        all.push_back({std::string("WallAbove") + yesNo(1) + "Below" + yesNo(2) + "Left" +
                           yesNo(4) + "Right" + yesNo(8),
                       20, 20, bool(m & 1), bool(m & 2), bool(m & 4), bool(m & 8)});
    }
    all.push_back({"TopRowIsOpenAbove", 0, 20, false, true, true, true});
    all.push_back({"BottomRowIsOpenBelow", 47, 20, true, false, true, true});
    all.push_back({"LeftColumnIsOpenOnTheLeft", 20, 0, true, true, false, true});
    all.push_back({"RightColumnIsOpenOnTheRight", 20, 63, true, true, true, false});
    return all;
}
INSTANTIATE_TEST_SUITE_P(, BevelTest, ::testing::ValuesIn(bevels()),
                         [](const auto &bevel) { return bevel.param.name; });

// A fresh first level shows five lives per player and the full progress bar on row 0.
TEST_F(BoardTest, TheStatusRowOfAFreshLevelShowsLivesAndTheFullBar) {
    for (Snake &player : playerSnake)
        player.lives = 5;
    setupLevel();
    int8_t expected[kBoardRows][kBoardColumns];
    std::memset(expected, -1, sizeof expected);
    std::memcpy(expected[0], harness::kLevelStartStatusRow, kBoardColumns);
    EXPECT_EQ(testing::cellsThatDiffer(surface, expected), "");
}

} // namespace ravela
