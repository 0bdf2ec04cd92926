// A recorded match, replayed like a demo: a fixed seed, nine adversaries and scripted key
// presses, tick by tick through the real loops on a fake clock, for thousands of ticks and
// through completed levels. The final Board and snake records must hash to the digest
// recorded from a run checked by hand.

#include <gtest/gtest.h>

#include <SDL.h>
#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "display/board.h"
#include "match/match_loop.h"
#include "match/match_state.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace ravela {
namespace {

constexpr uint32_t kSeed = 10;
constexpr int kReplayTicks = 4000, kCells = kBoardRows * kBoardColumns;
// Recorded from a run checked by hand: the first level's fifteenth yellow fruit was eaten
// by tick 333 with lives 5 5 4, and the next layout began by tick 486 with 7 7 6; a
// second level was completed the same way (7 6 4 became 9 8 6) and layout 2 began.
constexpr uint64_t kRecordedDigest = 0x35392cd3e8ecc2a6ull;
// Each player's keys for up, down, left and right.
constexpr SDLKey kKeys[12] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_w, SDLK_s,
                              SDLK_a,  SDLK_d,    SDLK_i,    SDLK_k,     SDLK_j, SDLK_l};

struct Replay : ::testing::Test {
    // Clock reads so far (one before every tick), levels completed, and whether the level
    // was won and its layout at the latest read.
    static inline int tick = 0, levelsCompleted = 0, won = 0, levelType = 0;
    static inline uint32_t now = 0; // the fake clock

    static int8_t at(int cell) { return board.cells[cell / kBoardColumns][cell % kBoardColumns]; }
    // What the scripted players go for: fruit of all three kinds, and grey eggs.
    static bool wanted(int cell) {
        return at(cell) > 0 && (at(cell) <= kRedFruit || at(cell) == kGreyEgg);
    }
    static bool open(int cell) { return at(cell) == kEmpty || wanted(cell); }

    // Breadth-first steps from the first `count` cells of `queue`, at step `first`, through
    // open cells that `rival` does not reach as soon, up to `limit` cells. Gives the cells
    // reached and writes the steps to the nearest wanted cell. Open cells lie inside the
    // border walls, so their neighbours are always on the Board.
    static int flood(int *queue, int count, int16_t first, int16_t *steps, const int16_t *rival,
                     int limit, int &nearest) {
        std::fill(steps, steps + kCells, INT16_MAX);
        for (int i = 0; i < count; ++i)
            steps[queue[i]] = first;
        nearest = INT16_MAX;
        for (int read = 0; read < count && count < limit; ++read) {
            const int cell = queue[read];
            if (wanted(cell)) nearest = std::min<int>(nearest, steps[cell]);
            for (int next : {cell - kBoardColumns, cell + kBoardColumns, cell - 1, cell + 1}) {
                if (!open(next) || steps[next] != INT16_MAX || steps[cell] + 1 >= rival[next])
                    continue;
                steps[next] = static_cast<int16_t>(steps[cell] + 1);
                queue[count++] = next;
            }
        }
        return count;
    }

    // The players' script. Of the steps into cells that no other head can take first, the
    // best leaves room for the body and is nearest to something wanted; failing room, the
    // roomiest. -1 when there is no such step.
    static int8_t steer(const Snake &snake) {
        static int16_t rival[kCells], mine[kCells];
        static int queue[kCells];
        const int head = headRow(snake) * kBoardColumns + headColumn(snake);
        int heads = 0, nearest = 0, bestScore = -1;
        for (int cell = kBoardColumns; cell < kCells; ++cell) // other heads in rows 1..47
            if (at(cell) >= 16 && (at(cell) & 15) < 4 && cell != head) queue[heads++] = cell;
        flood(queue, heads, 0, rival, rival, kCells, nearest); // unreached cells never block
        const int limit = std::max(80, snake.length + 20);
        int8_t best = kNoDirection;
        for (int8_t d = 0; d < 4; ++d) {
            queue[0] = head + (d < 2 ? (d ? kBoardColumns : -kBoardColumns) : (d == 3 ? 1 : -1));
            if (!open(queue[0]) || rival[queue[0]] <= 1) continue;
            const int room = flood(queue, 1, 1, mine, rival, limit, nearest);
            const int score = room >= limit ? 100000 - nearest : room;
            if (score > bestScore) best = d, bestScore = score;
        }
        return best;
    }

    // Runs as the clock is read, once before every tick.
    static void beforeTick() {
        if (++tick == kReplayTicks) pushKey(SDLK_ESCAPE);
        if (tick >= kReplayTicks) return;
        if ((matchState.levelFruitCount >= 15) != won || matchState.levelType != levelType) {
            std::printf("replay before tick %d: %d fruits, layout %d, lives %d %d %d\n", tick,
                        matchState.levelFruitCount, matchState.levelType, playerSnake[0].lives,
                        playerSnake[1].lives, playerSnake[2].lives);
            won = matchState.levelFruitCount >= 15;
            levelsCompleted += matchState.levelType != levelType;
            levelType = matchState.levelType;
        }
        if (tick == 700 || tick == 712) pushKey(SDLK_RETURN); // a short pause
        for (int p = 0; p < 3; ++p) {
            const int8_t way = playerSnake[p].lives < 0 ? kNoDirection : steer(playerSnake[p]);
            // Eggs press a key every tick until they hatch; the living only turn.
            if (way >= 0 && (isEgg(playerSnake[p]) || way != playerSnake[p].direction))
                pushKey(kKeys[4 * p + way]);
        }
    }

    static void pushKey(SDLKey key) {
        SDL_Event event{}; // fields by name: the browser's SDL lays the record out differently
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = key;
        SDL_PushEvent(&event);
    }

    // 64-bit FNV-1a over the Board, the twelve snake records up to their last field, and
    // the generator's state.
    static uint64_t digest() {
        uint64_t value = 1469598103934665603ull;
        auto add = [&](const void *bytes, size_t size) {
            for (size_t i = 0; i < size; ++i)
                value = (value ^ static_cast<const uint8_t *>(bytes)[i]) * 1099511628211ull;
        };
        add(board.cells, sizeof board.cells);
        for (int i = 0; i < 12; ++i)
            add(i < 3 ? &playerSnake[i] : &adversarySnake[i - 3], offsetof(Snake, trailMode) + 1);
        add(&matchState.randomState, sizeof matchState.randomState);
        return value;
    }
};

TEST_F(Replay, NineAdversariesAndThreeScriptedPlayersReachTheRecordedEnd) {
    testing::resetGame(testing::makeSurface(32), kSeed);
    matchState.adversaryCount = 9;
    matchClock = {[] { return beforeTick(), now; }, [](uint32_t ms) { now += ms; }};
    playMatch();
    resetMatchClock();
    EXPECT_EQ(tick, kReplayTicks + 1);
    EXPECT_GE(levelsCompleted, 1);
    EXPECT_EQ(digest(), kRecordedDigest) << std::hex << digest();
}

} // namespace
} // namespace ravela
