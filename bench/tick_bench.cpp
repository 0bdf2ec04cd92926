// Cost of one match tick with 0, 1, 3, 6 and 9 adversaries on a mid-level position of
// the pinwheel layout, 32-bit surface, cells presented as in play. Each tick is timed on
// its own; the position is restored every 32 ticks so every run sees the same stretch.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "common/random.h"
#include "display/board.h"
#include "match/level.h"
#include "match/match_state.h"
#include "match/tick.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace {

using namespace ravela;

constexpr int kWarmUpTicks = 150;
constexpr int kTicksPerRestore = 32;

// The records a tick reads and writes, saved once the position has been played up.
struct Position {
    int8_t cells[kBoardRows][kBoardColumns];
    Snake players[kPlayerCount];
    Snake adversaries[kMaxAdversaries];
    MatchState match;
    RandomGenerator random;
};

Position saved;

void save() {
    std::memcpy(saved.cells, board.cells, sizeof saved.cells);
    std::memcpy(saved.players, playerSnake, sizeof saved.players);
    std::memcpy(saved.adversaries, adversarySnake, sizeof saved.adversaries);
    saved.match = matchState;
    saved.random = randomGenerator;
}

void restore() {
    std::memcpy(board.cells, saved.cells, sizeof saved.cells);
    std::memcpy(playerSnake, saved.players, sizeof saved.players);
    std::memcpy(adversarySnake, saved.adversaries, sizeof saved.adversaries);
    matchState = saved.match;
    randomGenerator = saved.random;
}

void matchTickBench(benchmark::State &state) {
    static SDL_Surface *surface = testing::makeSurface(32);
    testing::resetGame(surface, 2024);
    matchState.levelType = 2;
    matchState.adversaryCount = static_cast<int8_t>(state.range(0));
    for (Snake &player : playerSnake)
        player.lives = 5;
    setupLevel();
    // Halfway through the level: yellow fruit gives 16 cells of growth, and the
    // adversaries have had time to grow and spread.
    matchState.levelFruitCount = 7;
    for (int i = 0; i < kWarmUpTicks; ++i)
        matchTick();
    save();

    std::vector<double> samples;
    int sinceRestore = 0;
    for (auto _ : state) {
        if (sinceRestore == kTicksPerRestore) {
            restore();
            sinceRestore = 0;
        }
        ++sinceRestore;
        const auto start = std::chrono::steady_clock::now();
        matchTick();
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        samples.push_back(seconds);
    }
    restore();

    if (!samples.empty()) {
        std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
        state.counters["median_us"] = samples[samples.size() / 2] * 1e6;
    }
}

BENCHMARK(matchTickBench)
    ->Arg(0)
    ->Arg(1)
    ->Arg(3)
    ->Arg(6)
    ->Arg(9)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace
