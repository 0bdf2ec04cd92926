// The soak plays match after match through playMatch on a fake clock. The clock is read
// after every level setup and every tick: there the soak checks every rule, keeps its
// tallies and pushes the next keys into SDL's event queue for the input poll. The players
// draw from their own generator, so the game's random sequence stays the game's.

#include "tests/soak.h"

#include <SDL.h>
#include <algorithm>
#include <memory>
#include <random>

#include "display/board.h"
#include "match/match_loop.h"
#include "match/match_state.h"
#include "snakes/path_finder.h"
#include "snakes/snake.h"
#include "tests/board_invariants.h"

namespace ravela::testing {

namespace {

constexpr SDLKey kKeys[3][4] = {{SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT},
                                {SDLK_w, SDLK_s, SDLK_a, SDLK_d},
                                {SDLK_i, SDLK_k, SDLK_j, SDLK_l}};
// Escape ends a match this many ticks after its last player ran out, or once it is this long.
constexpr uint32_t kTicksAllOut = 100;
constexpr uint32_t kLongestMatch = 4000;

struct Soak {
    SoakReport report;   // what happened so far
    uint64_t ticks;      // ticks to play
    uint32_t queueEvery; // ticks between checks of the search queues
    std::mt19937 random; // the players' generator
    uint32_t now;        // the fake clock in milliseconds
    uint32_t matchTicks; // ticks of the match so far
    uint32_t outTicks;   // ticks since the last player ran out
    int8_t levelType;    // the layout being played; -1 before a match's first level
    Counters counters;   // the counters at the last reading
    bool egg[3];         // which players were eggs at the last reading
    int greyEggs;        // grey eggs on the field at the last reading
    Snake copy;          // a player copy for the path-finder to steer
};

Soak *soak = nullptr;

void press(SDLKey key) {
    SDL_Event event{};
    event.type = event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

// Counts what changed since the last reading in the same level.
void tally(Soak &s) {
    for (int p = 0; p < 3; ++p) {
        const int8_t lives = playerSnake[p].lives;
        if (lives < s.counters.value[p]) s.report.livesLost += s.counters.value[p] - lives;
        if (s.egg[p] && !isEgg(playerSnake[p])) ++s.report.hatches;
    }
    int grey = 0;
    for (const auto &row : board.cells) {
        for (const int8_t code : row)
            grey += code == kGreyEgg;
    }
    if (grey < s.greyEggs) s.report.greyEggsSwallowed += s.greyEggs - grey;
    s.greyEggs = grey;
}

// Escape once the match should end; Return now and then for a one-tick pause; and each
// player's key: mostly the way the path-finder would steer it, now and then any way. Eggs
// get a key now and then, which hatches them once they may.
void steer(Soak &s) {
    const int8_t *const lives = s.counters.value; // all out when no player has lives left
    s.outTicks = std::max({lives[0], lives[1], lives[2]}) < 0 ? s.outTicks + 1 : 0;
    if (s.report.ticks >= s.ticks || !s.report.fault.empty() || s.outTicks > kTicksAllOut ||
        s.matchTicks > kLongestMatch)
        return press(SDLK_ESCAPE); // again after each tick until the match ends
    if (matchState.paused || s.random() % 4000 == 0) press(SDLK_RETURN);
    for (int p = 0; p < 3; ++p) {
        const uint32_t roll = s.random();
        Snake &copy = s.copy = playerSnake[p];
        if (copy.lives < 0 || (isEgg(copy) && roll % 8 != 0)) continue;
        int way = static_cast<int>(roll / 8 % 4);
        if (!isEgg(copy) && roll / 32 % 16 != 0) {
            chooseDirection(copy);
            way = copy.direction & 3;
        }
        // Mostly a careful player, who turns from a way that is shut.
        for (int turn = 0; turn < 4 && roll / 4096 % 8 != 0; ++turn, way = (way + 1) & 3) {
            copy.direction = static_cast<int8_t>(way);
            const int8_t ahead = lookAhead(copy);
            if (ahead < kWall || (ahead & 15) == kBrokenEggTile) break;
        }
        if (way != playerSnake[p].direction) press(kKeys[p][way]);
    }
}

// The fake clock's reading, taken after each level setup and each tick.
uint32_t afterTick() {
    Soak &s = *soak;
    if (matchState.levelType != s.levelType) {
        s.report.levelsCompleted += s.levelType >= 0 ? 1 : 0;
        s.report.layouts |= 1u << (matchState.levelType & 7);
        s.levelType = matchState.levelType;
        s.greyEggs = 0;
    } else {
        ++s.report.ticks;
        ++s.matchTicks;
        tally(s);
    }
    const Counters counters = takeCounters();
    std::string fault = findBoardFault(true);
    if (fault.empty()) fault = findCounterWrap(s.counters, counters);
    if (fault.empty() && s.queueEvery != 0 && s.report.ticks % s.queueEvery == 0)
        fault = findQueueOverflow();
    if (!fault.empty() && s.report.fault.empty()) {
        s.report.fault =
            "after tick " + std::to_string(s.report.ticks) + ": " + fault + "\n" + boardAsText();
    }
    s.counters = counters;
    for (int p = 0; p < 3; ++p)
        s.egg[p] = isEgg(playerSnake[p]);
    steer(s);
    return s.now;
}

void advanceClock(uint32_t milliseconds) {
    soak->now += milliseconds;
}

} // namespace

SoakReport runSoak(uint64_t ticks, uint32_t seed, uint32_t queueEvery) {
    const auto state = std::make_unique<Soak>();
    state->ticks = ticks;
    state->queueEvery = queueEvery;
    state->random.seed(seed);
    soak = state.get();
    matchClock = MatchClock{afterTick, advanceClock};
    while (state->report.ticks < ticks && state->report.fault.empty()) {
        for (SDL_Event event; SDL_PollEvent(&event);) { // what the last match left unread
        }
        // Nine adversaries hunt the players down before most levels are won, so every other
        // match has fewer (0, 1, ... 8 in turn): there levels complete and layouts cycle.
        const uint32_t match = state->report.matches++;
        matchState.adversaryCount = static_cast<int8_t>(match % 2 == 1 ? 9 : match / 2 % 9);
        state->levelType = -1;
        state->matchTicks = state->outTicks = 0;
        playMatch();
    }
    resetMatchClock();
    soak = nullptr;
    return state->report;
}

std::string describeSoak(const SoakReport &report) {
    return std::to_string(report.ticks) + " ticks, " + std::to_string(report.matches) +
           " matches, " + std::to_string(report.levelsCompleted) + " levels completed, layouts " +
           std::to_string(report.layouts) + " (bits), " + std::to_string(report.livesLost) +
           " lives lost, " + std::to_string(report.hatches) + " hatches, " +
           std::to_string(report.greyEggsSwallowed) + " grey eggs swallowed\n" + report.fault;
}

} // namespace ravela::testing
