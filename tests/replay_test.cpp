// A recorded match, replayed like a demo: a fixed seed, nine adversaries and scripted key
// presses, tick by tick, through the real loops on a fake clock. The final Board and
// snake records must hash to the digest recorded from a run checked by hand, and the
// invariants of play must hold on every tick along the way.

#include <gtest/gtest.h>

#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "display/board.h"
#include "match/match_loop.h"
#include "match/match_state.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace ravela {
namespace {

constexpr uint32_t kSeed = 20240607;
constexpr int kReplayTicks = 3000;
// Recorded from a run checked by hand: the first level completed on the fifteenth yellow
// fruit, everybody shrank to the head and the next layout came 49 ticks later with lives
// 1, 5, 4 turned into 3, 7, 6; lost lives took back fruit, grey eggs gave lives and
// charged the out players again, and all three players were out before the end.
constexpr uint64_t kRecordedDigest = 0x28fc9e76121e4582ull;

// The key each player presses for each direction, in the order up, down, left, right.
constexpr SDLKey kKeys[3][4] = {
    {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT},
    {SDLK_w, SDLK_s, SDLK_a, SDLK_d},
    {SDLK_i, SDLK_k, SDLK_j, SDLK_l},
};
constexpr int kRowStep[4] = {-1, 1, 0, 0};
constexpr int kColumnStep[4] = {0, 0, -1, 1};

// A few scripted events besides the players' keys: a pause and its end, a focus loss.
struct ScriptedKey {
    int tick;
    SDLKey symbol;
};
constexpr ScriptedKey kScript[] = {
    {700, SDLK_RETURN},
    {712, SDLK_RETURN},
    {1500, SDLK_RETURN},
    {1503, SDLK_RETURN},
};
constexpr int kFocusLossTick = 2600;
constexpr int kFocusReturnTick = 2610;

// What the replay saw on its way, for the checks at the end.
struct ReplayLog {
    int tick;             // ticks started so far
    int levelsCompleted;  // levelType changes seen
    int livesLost;        // decreases of any player's lives between ticks
    int livesWon;         // increases within a level (grey eggs)
    int pausedTicks;      // ticks that began paused
    int greyEggsSeen;     // ticks on which a grey egg lay on the Board
    int8_t lastLevelType; // levelType at the previous tick
    int8_t lastLives[3];  // lives at the previous tick
    int maxAdversaryLength;
    bool invariantBroken; // an invariant failed (reported once)
};

ReplayLog replayLog;

void pushKey(SDLKey symbol) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = symbol;
    SDL_PushEvent(&event);
}

void pushFocus(uint8_t gain) {
    SDL_Event event{};
    event.type = SDL_ACTIVEEVENT;
    event.active.type = SDL_ACTIVEEVENT;
    event.active.gain = gain;
    event.active.state = SDL_APPINPUTFOCUS;
    SDL_PushEvent(&event);
}

bool onGrid(int row, int col) {
    return row >= 1 && row < kBoardRows && col >= 0 && col < kBoardColumns;
}

// Cells the scripted players are willing to enter: empty, yellow and green fruit, and
// grey eggs, which are worth a life.
bool welcome(int row, int col) {
    if (!onGrid(row, col)) return false;
    const int8_t code = board.cells[row][col];
    return code == kEmpty || code == kYellowFruit || code == kGreenFruit || code == kGreyEgg;
}

// Steps every other living snake's head needs to reach each cell, through welcome cells.
void rivalDistances(const Snake &self, int16_t distance[kBoardRows][kBoardColumns]) {
    int16_t queue[kBoardRows * kBoardColumns];
    int read = 0, write = 0;
    for (int r = 0; r < kBoardRows; ++r)
        for (int c = 0; c < kBoardColumns; ++c)
            distance[r][c] = INT16_MAX;
    auto seed = [&](const Snake &other) {
        if (&other == &self || other.length < 0) return;
        distance[headRow(other)][headColumn(other)] = 0;
        queue[write++] = static_cast<int16_t>(headRow(other) * kBoardColumns + headColumn(other));
    };
    for (const Snake &other : playerSnake)
        seed(other);
    for (int i = 0; i < matchState.adversaryCount; ++i)
        seed(adversarySnake[i]);
    while (read < write) {
        const int r = queue[read] / kBoardColumns, c = queue[read] % kBoardColumns;
        ++read;
        for (int d = 0; d < 4; ++d) {
            const int nr = r + kRowStep[d], nc = c + kColumnStep[d];
            if (!welcome(nr, nc) || distance[nr][nc] != INT16_MAX) continue;
            distance[nr][nc] = static_cast<int16_t>(distance[r][c] + 1);
            queue[write++] = static_cast<int16_t>(nr * kBoardColumns + nc);
        }
    }
}

// Number of welcome cells reachable from (row, col), counted up to a limit.
int roomFrom(int row, int col, int limit) {
    bool seen[kBoardRows][kBoardColumns] = {};
    int16_t queue[kBoardRows * kBoardColumns];
    int read = 0, write = 0;
    seen[row][col] = true;
    queue[write++] = static_cast<int16_t>(row * kBoardColumns + col);
    while (read < write && write < limit) {
        const int r = queue[read] / kBoardColumns, c = queue[read] % kBoardColumns;
        ++read;
        for (int d = 0; d < 4; ++d) {
            const int nr = r + kRowStep[d], nc = c + kColumnStep[d];
            if (!welcome(nr, nc) || seen[nr][nc]) continue;
            seen[nr][nc] = true;
            queue[write++] = static_cast<int16_t>(nr * kBoardColumns + nc);
        }
    }
    return write;
}

// The players' script: the first step of a shortest way to a yellow fruit or a grey egg
// over cells it reaches before any other snake, when that step leaves room for the body;
// otherwise the roomiest such step, or -1.
int8_t wayToFruit(const Snake &snake) {
    const int roomWanted = snake.length < 20 ? 30 : snake.length > 300 ? 310 : snake.length + 10;
    int16_t rival[kBoardRows][kBoardColumns];
    rivalDistances(snake, rival);
    const int headR = headRow(snake);
    const int headC = headColumn(snake);
    int room[4] = {0, 0, 0, 0};
    for (int8_t d = 0; d < 4; ++d) {
        const int r = headR + kRowStep[d], c = headC + kColumnStep[d];
        if (welcome(r, c) && rival[r][c] > 1) room[d] = roomFrom(r, c, roomWanted);
    }

    int8_t from[kBoardRows][kBoardColumns];
    int16_t steps[kBoardRows][kBoardColumns];
    int16_t queue[kBoardRows * kBoardColumns];
    std::memset(from, -1, sizeof from);
    int read = 0, write = 0;
    for (int8_t d = 0; d < 4; ++d) {
        if (room[d] < roomWanted) continue;
        const int r = headR + kRowStep[d], c = headC + kColumnStep[d];
        from[r][c] = d;
        steps[r][c] = 1;
        queue[write++] = static_cast<int16_t>(r * kBoardColumns + c);
    }
    while (read < write) {
        const int r = queue[read] / kBoardColumns, c = queue[read] % kBoardColumns;
        ++read;
        const int8_t code = board.cells[r][c];
        // A long snake also takes green fruit, which cuts it back to its head.
        if (code == kYellowFruit || code == kGreyEgg || (code == kGreenFruit && snake.length >= 24))
            return from[r][c];
        for (int d = 0; d < 4; ++d) {
            const int nr = r + kRowStep[d], nc = c + kColumnStep[d];
            if (!welcome(nr, nc) || from[nr][nc] >= 0) continue;
            // Near the head, keep out of cells another head may reach first.
            if (steps[r][c] < 3 && rival[nr][nc] <= steps[r][c] + 1) continue;
            from[nr][nc] = from[r][c];
            steps[nr][nc] = static_cast<int16_t>(steps[r][c] + 1);
            queue[write++] = static_cast<int16_t>(nr * kBoardColumns + nc);
        }
    }
    int8_t best = kNoDirection;
    for (int8_t d = 0; d < 4; ++d)
        if (room[d] > 0 && (best < 0 || room[d] > room[best])) best = d;
    return best;
}

void reportInvariant(const char *what) {
    if (replayLog.invariantBroken) return;
    replayLog.invariantBroken = true;
    ADD_FAILURE() << "tick " << replayLog.tick << ": " << what;
}

int countOnBoard(int8_t code) {
    int n = 0;
    for (int r = 1; r < kBoardRows; ++r)
        for (int c = 0; c < kBoardColumns; ++c)
            n += board.cells[r][c] == code;
    return n;
}

// What must hold between any two ticks of a level.
void checkInvariants() {
    // Every yellow fruit eaten is replaced at once, and nothing else removes one.
    if (countOnBoard(kYellowFruit) != 2) reportInvariant("not two yellow fruits");
    // A snake with cells behind its head shows its head where it is.
    auto headShown = [](const Snake &s) {
        return s.length < 1 ||
               board.cells[headRow(s)][headColumn(s)] == s.colourBase + (s.lastMoves[0] & 3);
    };
    for (const Snake &s : playerSnake)
        if (!headShown(s)) reportInvariant("a player's head is not on the Board");
    for (int i = 0; i < matchState.adversaryCount; ++i) {
        if (!headShown(adversarySnake[i])) reportInvariant("an adversary's head is off");
        if (adversarySnake[i].length > replayLog.maxAdversaryLength)
            replayLog.maxAdversaryLength = adversarySnake[i].length;
    }
    // The status row agrees with the lives and the level's fruit count.
    for (int p = 0; p < 3; ++p) {
        int shown = 0;
        for (int i = 0; i < 12; ++i)
            shown += board.cells[0][3 + 14 * p + i] != kEmpty;
        const int lives = playerSnake[p].lives;
        if (shown != (lives < 0 ? 0 : lives > 12 ? 12 : lives))
            reportInvariant("lives display is out of date");
    }
    int bar = 0;
    for (int i = 0; i < 15; ++i)
        bar += board.cells[0][47 + i] == kYellowFruit;
    const int needed = 15 - matchState.levelFruitCount;
    if (bar != (needed < 0 ? 0 : needed > 15 ? 15 : needed))
        reportInvariant("progress bar is out of date");
}

// Runs as the clock is read, which happens exactly once before every tick: at the start
// of each level and in the wait at the end of each tick.
void beforeTick() {
    ReplayLog &log = replayLog;
    ++log.tick;
    if (log.tick > kReplayTicks) return; // the match is ending
    if (log.tick == kReplayTicks) {
        pushKey(SDLK_ESCAPE);
        return;
    }

    if (matchState.levelType != log.lastLevelType) {
        ++log.levelsCompleted;
        log.lastLevelType = matchState.levelType;
    } else {
        for (int p = 0; p < 3; ++p) {
            if (playerSnake[p].lives < log.lastLives[p])
                log.livesLost += log.lastLives[p] - playerSnake[p].lives;
            if (playerSnake[p].lives > log.lastLives[p])
                log.livesWon += playerSnake[p].lives - log.lastLives[p];
        }
    }
    for (int p = 0; p < 3; ++p)
        log.lastLives[p] = playerSnake[p].lives;
    if (matchState.paused) ++log.pausedTicks;
    if (countOnBoard(kGreyEgg) > 0) ++log.greyEggsSeen;
    checkInvariants();

    for (const ScriptedKey &key : kScript)
        if (key.tick == log.tick) pushKey(key.symbol);
    if (log.tick == kFocusLossTick) pushFocus(0);
    if (log.tick == kFocusReturnTick) pushKey(SDLK_RETURN);

    for (int p = 0; p < 3; ++p) {
        const Snake &snake = playerSnake[p];
        if (snake.lives < 0) continue;
        const int8_t way = wayToFruit(snake);
        if (way < 0) continue;
        // Eggs press their key every tick until they hatch; living players only turn.
        if (isEgg(snake) || way != snake.direction) pushKey(kKeys[p][way]);
    }
}

uint32_t replayNow = 0;
uint32_t replayGetTicks() {
    beforeTick();
    return replayNow;
}
void replayDelay(uint32_t milliseconds) {
    replayNow += milliseconds;
}

// 64-bit FNV-1a over the bytes the game keeps.
struct Digest {
    uint64_t value = 1469598103934665603ull;
    void add(uint8_t byte) {
        value ^= byte;
        value *= 1099511628211ull;
    }
    void add32(int32_t word) {
        for (int i = 0; i < 4; ++i)
            add(static_cast<uint8_t>(static_cast<uint32_t>(word) >> (8 * i)));
    }
    void add(const Snake &s) {
        add(s.greedy);
        add(s.followsTail);
        add(static_cast<uint8_t>(s.colourBase));
        add(static_cast<uint8_t>(s.direction));
        for (uint8_t move : s.lastMoves)
            add(move);
        add(static_cast<uint8_t>(s.pendingDirection));
        add32(s.headIndex);
        add32(s.length);
        add32(s.growth);
        add(static_cast<uint8_t>(s.lives));
        add(static_cast<uint8_t>(s.levelFruits));
        add(s.trailMode);
        // The cells it covers, head first.
        const int32_t covered = s.length < 0 ? 1 : s.length + 1;
        for (int32_t k = 0; k < covered; ++k) {
            const int32_t i = (s.headIndex - k + kRingSize) % kRingSize;
            add(s.rows[i]);
            add(s.columns[i]);
        }
    }
};

uint64_t gameDigest() {
    Digest digest;
    for (const auto &row : board.cells)
        for (int8_t code : row)
            digest.add(static_cast<uint8_t>(code));
    for (const Snake &s : playerSnake)
        digest.add(s);
    for (const Snake &s : adversarySnake)
        digest.add(s);
    digest.add(static_cast<uint8_t>(matchState.levelFruitCount));
    digest.add(static_cast<uint8_t>(matchState.levelType));
    digest.add(matchState.paused);
    digest.add32(static_cast<int32_t>(matchState.randomState));
    return digest.value;
}

TEST(Replay, NineAdversariesAndThreeScriptedPlayersReachTheRecordedEnd) {
    SDL_Surface *surface = testing::makeSurface(32);
    testing::resetGame(surface, kSeed);
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
    matchState.adversaryCount = 9;
    replayLog = ReplayLog{};
    replayLog.lastLevelType = matchState.levelType;
    for (int p = 0; p < 3; ++p)
        replayLog.lastLives[p] = 5;
    replayNow = 0;
    matchClock = MatchClock{replayGetTicks, replayDelay};

    playMatch();

    resetMatchClock();
    while (SDL_PollEvent(&event)) {
    }
    const ReplayLog &log = replayLog;
    std::printf("replay: %d ticks, %d levels completed, %d lives lost, %d won, %d paused ticks, "
                "%d ticks with a grey egg, longest adversary %d, levelType %d\n",
                log.tick, log.levelsCompleted, log.livesLost, log.livesWon, log.pausedTicks,
                log.greyEggsSeen, log.maxAdversaryLength, matchState.levelType);
    EXPECT_EQ(matchState.matchRunning, 0);
    EXPECT_EQ(log.tick, kReplayTicks + 1);
    EXPECT_GE(log.levelsCompleted, 1);
    EXPECT_GT(log.livesLost, 0);
    EXPECT_GT(log.pausedTicks, 0);
    EXPECT_FALSE(log.invariantBroken);
    EXPECT_EQ(gameDigest(), kRecordedDigest) << std::hex << gameDigest();
    SDL_FreeSurface(surface);
}

} // namespace
} // namespace ravela
