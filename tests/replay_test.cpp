// A recorded match, replayed like a demo: a fixed seed, nine adversaries and the scripted
// players, tick by tick through the real loops on a fake clock, through completed levels.
// Each level change is a checkpoint (tick, fruits, layout, lives), and the final cells and
// snakes must hash to the digest recorded from a run checked by hand.

#include <algorithm>
#include <vector>

#include "common/random.h"
#include "match/match_loop.h"
#include "tests/fixture.h"

namespace ravela {
namespace {

constexpr int kReplayTicks = 4000;
constexpr uint64_t kRecordedDigest = 0x37cf6fd1279e1b68ull;
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

// 64-bit FNV-1a over what the game shows and uses: every cell, each snake's fields and the
// cells of its ring from the head back to the tail, and the generator's state. A value
// counts as its eight bytes, lowest first, so the layout of the records does not matter.
uint64_t digest() {
    uint64_t value = 1469598103934665603ull;
    const auto add = [&value](int64_t number) {
        for (int byte = 0; byte < 8; ++byte)
            value =
                (value ^ ((static_cast<uint64_t>(number) >> (8 * byte)) & 0xff)) * 1099511628211ull;
    };
    for (const auto &row : board.cells)
        for (const int8_t code : row)
            add(code);
    for (int i = 0; i < kPlayerCount + kMaxAdversaries; ++i) {
        const Snake &s = testing::snakeNo(i);
        const std::initializer_list<int64_t> fields = {
            s.greedy,       s.followsTail,  s.colourBase,       s.direction, s.lastMoves[0],
            s.lastMoves[1], s.lastMoves[2], s.pendingDirection, s.headIndex, s.length,
            s.growth,       s.lives,        s.levelFruits,      s.trailMode};
        for (const int64_t field : fields)
            add(field);
        for (int32_t k = 0; k <= std::max(s.length, 0); ++k) {
            const int32_t slot = ringSlot(int64_t{s.headIndex} - k);
            add(s.rows[slot]), add(s.columns[slot]);
        }
    }
    add(randomGenerator.state);
    return value;
}

TEST(Replay, NineAdversariesAndThreeScriptedPlayersReachTheRecordedEnd) {
    testing::resetGame(testing::makeSurface(32), 10);
    matchState.adversaryCount = 9;
    const auto wait = [](uint32_t ms) { now += ms; };
    matchClock = {beforeTick, wait, wait};
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
