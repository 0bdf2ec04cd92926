// A recorded match, replayed like a demo: a fixed seed, nine adversaries and the scripted
// players, tick by tick through the real loops on a fake clock, through completed levels.
// Each level change is a checkpoint (tick, fruits, layout, lives), and the final Board and
// snake records must hash to the digest recorded from a run checked by hand.

#include <algorithm>
#include <cstddef>
#include <vector>

#include "common/random.h"
#include "match/match_loop.h"
#include "tests/fixture.h"

namespace ravela {
namespace {

constexpr int kReplayTicks = 4000;
constexpr uint64_t kRecordedDigest = 0x35392cd3e8ecc2a6ull;
const std::vector<std::string> kCheckpoints = {
    "tick 1: 0 fruits, layout 0, lives 5 5 5",    "tick 333: 15 fruits, layout 0, lives 5 5 4",
    "tick 486: 0 fruits, layout 1, lives 7 7 6",  "tick 500: 0 fruits, layout 1, lives 7 7 6",
    "tick 1000: 8 fruits, layout 1, lives 7 6 4", "tick 1234: 15 fruits, layout 1, lives 7 6 4",
    "tick 1455: 0 fruits, layout 2, lives 9 8 6", "tick 1500: 0 fruits, layout 2, lives 9 8 6",
    "tick 2000: 1 fruits, layout 2, lives 9 8 5", "tick 2500: 6 fruits, layout 2, lives 8 7 4",
    "tick 3000: 6 fruits, layout 2, lives 5 6 4", "tick 3500: 8 fruits, layout 2, lives -1 6 4",
};

int tick = 0;
uint32_t now = 0; // the fake clock
std::vector<std::string> checkpoints;

// Runs as the clock is read, once before every tick.
uint32_t beforeTick() {
    if (++tick == kReplayTicks) testing::pressKey(SDLK_ESCAPE);
    if (tick >= kReplayTicks) return now;
    // A checkpoint when a level is won, when a layout begins, and every 500 ticks.
    static int last = -1;
    const int stage = (matchState.levelFruitCount >= kFruitsPerLevel) + 2 * matchState.levelType;
    if (stage != last || tick % 500 == 0) {
        checkpoints.push_back(
            "tick " + std::to_string(tick) + ": " + std::to_string(matchState.levelFruitCount) +
            " fruits, layout " + std::to_string(matchState.levelType) + ", lives " +
            std::to_string(playerSnake[0].lives) + " " + std::to_string(playerSnake[1].lives) +
            " " + std::to_string(playerSnake[2].lives));
        last = stage;
    }
    if (tick == 700 || tick == 712) testing::pressKey(SDLK_RETURN); // a short pause
    testing::pressScriptedKeys();
    return now;
}

// 64-bit FNV-1a over the Board, the twelve snake records up to their last field, and the
// generator's state.
uint64_t digest() {
    uint64_t value = 1469598103934665603ull;
    auto add = [&](const void *bytes, size_t size) {
        for (size_t i = 0; i < size; ++i)
            value = (value ^ static_cast<const uint8_t *>(bytes)[i]) * 1099511628211ull;
    };
    add(board.cells, sizeof board.cells);
    for (int i = 0; i < 12; ++i)
        add(&testing::snakeNo(i), offsetof(Snake, trailMode) + 1);
    add(&randomGenerator.state, sizeof randomGenerator.state);
    return value;
}

TEST(Replay, NineAdversariesAndThreeScriptedPlayersReachTheRecordedEnd) {
    testing::resetGame(testing::makeSurface(32), 10);
    matchState.adversaryCount = 9;
    matchClock = {beforeTick, [](uint32_t ms) { now += ms; }};
    playMatch();
    resetMatchClock();
    EXPECT_EQ(tick, kReplayTicks + 1);
    for (size_t i = 0; i < std::max(checkpoints.size(), kCheckpoints.size()); ++i)
        EXPECT_EQ(i < checkpoints.size() ? checkpoints[i] : "(none)",
                  i < kCheckpoints.size() ? kCheckpoints[i] : "(none)")
            << "checkpoint " << i << " drifted";
    EXPECT_EQ(digest(), kRecordedDigest) << std::hex << digest();
}

} // namespace
} // namespace ravela
