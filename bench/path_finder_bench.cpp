// Benchmarks of one path-finder call on three boards: an open layout with one far fruit,
// a crowded board (nine adversaries, three long players), and layout 7 with a long
// snake whose every call runs the escape check. Positions are laid out by real moves.

#include <benchmark/benchmark.h>

#include <random>

#include "display/board.h"
#include "match/level.h"
#include "snakes/path_finder.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace ravela {
namespace {

SDL_Surface *benchSurface() {
    static SDL_Surface *const surface = testing::makeSurface(32);
    return surface;
}

// Starts a snake on (row, col) and walks it `steps` steps with `growth` cells to grow,
// turning at random now and then and taking an open way when the cell ahead blocks; a
// snake with no open way stops where it is.
void walkSnake(std::mt19937 &gen, Snake &snake, int8_t colourBase, int row, int col, int steps,
               int32_t growth) {
    initSnake(snake);
    snake.colourBase = colourBase;
    snake.direction = kUp;
    snake.growth = growth;
    setHeadCell(snake, row, col);
    setCellAndDraw(board, static_cast<int8_t>(colourBase + kUp), row, col);
    for (int step = 0; step < steps; ++step) {
        if (gen() % 6 == 0) {
            const auto turn = static_cast<int8_t>(gen() % 4);
            if ((turn ^ snake.lastMoves[0]) != 1) snake.direction = turn;
        }
        const int first = static_cast<int>(gen() % 4);
        for (int i = 0; i < 4 && lookAhead(snake) >= kWall; ++i) {
            const auto turn = static_cast<int8_t>((first + i) % 4);
            if ((turn ^ snake.lastMoves[0]) != 1 || snake.length == 0) snake.direction = turn;
        }
        if (lookAhead(snake) >= kWall) return;
        stepSnake(snake, 0);
    }
}

void openLayoutFarFruit(benchmark::State &state) {
    testing::resetGame(benchSurface());
    buildWalls(board, 0);
    Snake &adversary = adversarySnake[0];
    initSnake(adversary);
    adversary.colourBase = kAdversaryBase;
    adversary.direction = kUp;
    setHeadCell(adversary, 46, 62);
    for (int step = 0; step < 3; ++step)
        stepSnake(adversary, 0);
    setCellAndDraw(board, kYellowFruit, 2, 1);
    for (auto _ : state) {
        chooseDirection(adversary);
        benchmark::DoNotOptimize(adversary.direction);
    }
    state.counters["length"] = adversary.length;
}

void crowdedBoard(benchmark::State &state) {
    testing::resetGame(benchSurface());
    buildWalls(board, 0);
    std::mt19937 gen(7);
    for (int p = 0; p < kPlayerCount; ++p) {
        walkSnake(gen, playerSnake[p], kPlayerBase[p], 10 + 12 * p, 8 + 20 * p, 220, 200);
    }
    for (int i = 0; i < kMaxAdversaries; ++i) {
        walkSnake(gen, adversarySnake[i], kAdversaryBase, 44, 8 + 6 * i, 60, 30);
    }
    placeFruit(kYellowFruit);
    placeFruit(kYellowFruit);
    placeFruit(kGreenFruit);
    placeFruit(kGreenFruit);
    placeFruit(kRedFruit);
    int next = 0;
    for (auto _ : state) {
        chooseDirection(adversarySnake[next]);
        benchmark::DoNotOptimize(adversarySnake[next].direction);
        next = next == 8 ? 0 : next + 1;
    }
    int32_t cells = 0;
    for (const Snake &snake : playerSnake)
        cells += snake.length + 1;
    state.counters["playerCells"] = cells;
}

// Moves the snake `count` steps in one direction; returns how many of them were blocked.
int sweep(Snake &snake, int8_t direction, int count) {
    int blocked = 0;
    snake.direction = direction;
    for (int step = 0; step < count; ++step)
        blocked += stepSnake(snake, 0) == 2 ? 1 : 0;
    return blocked;
}

void layout7LongSnake(benchmark::State &state) {
    testing::resetGame(benchSurface());
    buildWalls(board, 7);
    Snake &adversary = adversarySnake[0];
    initSnake(adversary);
    adversary.colourBase = kAdversaryBase;
    adversary.growth = 1000;
    setHeadCell(adversary, 2, 31);
    setCellAndDraw(board, kAdversaryBase + kLeft, 2, 31);
    // Back and forth across the open rows 2..9 between the teeth at columns 16 and 32,
    // then down the strip of columns 25..31 beside the tooth that rises at column 24.
    int blocked = 0;
    for (int row = 2; row <= 9; ++row) {
        blocked += sweep(adversary, row % 2 == 0 ? kLeft : kRight, 14);
        if (row < 9) blocked += sweep(adversary, kDown, 1);
    }
    for (int row = 10; row <= 38; ++row) {
        blocked += sweep(adversary, kDown, 1);
        blocked += sweep(adversary, row % 2 == 0 ? kLeft : kRight, 6);
    }
    adversary.growth = 0;
    adversary.greedy = 0; // every call goes through the escape check
    placeFruit(kYellowFruit);
    placeFruit(kYellowFruit);
    for (auto _ : state) {
        chooseDirection(adversary);
        benchmark::DoNotOptimize(adversary.direction);
    }
    state.counters["length"] = adversary.length;
    state.counters["blockedSteps"] = blocked;
}

BENCHMARK(openLayoutFarFruit)->Unit(benchmark::kMicrosecond);
BENCHMARK(crowdedBoard)->Unit(benchmark::kMicrosecond);
BENCHMARK(layout7LongSnake)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace ravela
