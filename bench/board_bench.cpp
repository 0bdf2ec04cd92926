// Cost of painting the Board on a 32-bit 640x480 surface: one setCellAndDraw of a wall,
// an empty and a snake cell, in batch mode (paint only) and in immediate mode (lock,
// paint, present), also on the dummy driver's screen, and a whole-screen redrawBoard of
// each level layout.

#include <benchmark/benchmark.h>

#include <SDL.h>

#include "display/board.h"
#include "match/level.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace {

using namespace ravela;

SDL_Surface *benchSurface() {
    static SDL_Surface *const surface = testing::makeSurface(32);
    return surface;
}

// The cell that is painted over and over: in the arena, away from the border.
constexpr int kRow = 24;
constexpr int kColumn = 32;
// A body cell of player 1: the horizontal straight.
constexpr int8_t kSnakeBody = kPlayerBase[0] + kStraightHorizontal;

// range(0): the cell code; range(1): the autoPresent flag.
void setCellAndDrawBench(benchmark::State &state) {
    testing::resetGame(benchSurface(), 1);
    const auto code = static_cast<int8_t>(state.range(0));
    board.autoPresent = static_cast<uint8_t>(state.range(1));
    for (auto _ : state) {
        setCellAndDraw(board, code, kRow, kColumn);
        benchmark::ClobberMemory();
    }
    board.autoPresent = 0;
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(setCellAndDrawBench)
    ->ArgNames({"code", "autoPresent"})
    ->ArgsProduct({{kWall, kEmpty, kSnakeBody}, {0, 1}})
    ->Unit(benchmark::kNanosecond);

// The same in immediate mode on the screen surface of SDL's dummy video driver, where each
// present goes through SDL's own screen update (the 32-bit surface above is not the screen,
// so SDL_UpdateRect does nothing there).
void setCellAndDrawOnScreenBench(benchmark::State &state) {
    benchSurface(); // starts SDL video on the dummy driver
    static SDL_Surface *const screen = SDL_SetVideoMode(640, 480, 32, SDL_SWSURFACE);
    if (screen == nullptr) {
        state.SkipWithError("no video mode on the dummy driver");
        return;
    }
    testing::resetGame(screen, 1);
    const auto code = static_cast<int8_t>(state.range(0));
    board.autoPresent = 1;
    for (auto _ : state) {
        setCellAndDraw(board, code, kRow, kColumn);
        benchmark::ClobberMemory();
    }
    board.autoPresent = 0;
    testing::resetGame(benchSurface(), 1);
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(setCellAndDrawOnScreenBench)
    ->ArgName("code")
    ->Arg(kWall)
    ->Arg(kEmpty)
    ->Arg(kSnakeBody)
    ->Unit(benchmark::kNanosecond);

// range(0): the wall layout. Every layout has the border; some add many inner walls,
// and each wall cell costs twenty random numbers for its brick texture.
void redrawBoardBench(benchmark::State &state) {
    testing::resetGame(benchSurface(), 1);
    buildWalls(board, static_cast<int8_t>(state.range(0)));
    board.autoPresent = 1;
    for (auto _ : state) {
        redrawBoard(board);
        benchmark::ClobberMemory();
    }
    board.autoPresent = 0;
    state.SetItemsProcessed(state.iterations() * kBoardRows * kBoardColumns);
}

BENCHMARK(redrawBoardBench)->ArgName("layout")->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

} // namespace
