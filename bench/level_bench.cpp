// Cost of laying out a level: walls, full repaint, eggs, nine adversaries, five fruits
// and the status row, on a 32-bit surface, for each of the eight layouts.

#include <benchmark/benchmark.h>

#include "display/board.h"
#include "match/level.h"
#include "match/match_state.h"
#include "tests/support.h"

namespace {

void setupLevelBench(benchmark::State &state) {
    static SDL_Surface *surface = ravela::testing::makeSurface(32);
    ravela::testing::resetGame(surface, 1);
    ravela::matchState.levelType = static_cast<int8_t>(state.range(0));
    ravela::matchState.adversaryCount = 9;
    for (auto _ : state) {
        ravela::setupLevel();
        benchmark::DoNotOptimize(ravela::board.cells);
    }
}

BENCHMARK(setupLevelBench)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

} // namespace
