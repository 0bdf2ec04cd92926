// The soak: match after match through playMatch on a fake clock, the scripted players
// against up to nine adversaries, every rule checked after every level setup and tick.
// RAVELA_SOAK_TICKS sets its length (`make soak` plays a million ticks). Then proof that its
// checks bite: each corruption a faulty rule could leave behind must be reported.

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <utility>

#include "match/match_loop.h"
#include "tests/board_invariants.h"
#include "tests/fixture.h"

namespace ravela::testing {
namespace {

struct Soak {
    uint64_t ticks = 0, wanted = 0;
    uint32_t now = 0, matchTicks = 0, outTicks = 0, matches = 0;
    uint32_t levelsCompleted = 0, layouts = 0, deaths = 0, hatches = 0;
    int8_t levelType = -1;
    bool egg[3] = {};
    std::mt19937 random{20240601};
    std::string fault;
} soak;

// The fake clock's reading, taken after each level setup and each tick: the tallies, the
// checks, then the keys for the next tick.
uint32_t afterTick() {
    if (matchState.levelType != soak.levelType) {
        soak.levelsCompleted += soak.levelType >= 0;
        soak.layouts |= 1u << (matchState.levelType & 7);
        soak.levelType = matchState.levelType;
    } else {
        ++soak.ticks, ++soak.matchTicks;
        for (int p = 0; p < kPlayerCount; ++p) {
            soak.deaths += !soak.egg[p] && isEgg(playerSnake[p]);
            soak.hatches += soak.egg[p] && !isEgg(playerSnake[p]);
        }
    }
    for (int p = 0; p < kPlayerCount; ++p)
        soak.egg[p] = isEgg(playerSnake[p]);
    const std::string fault = findBoardFault(true);
    if (!fault.empty() && soak.fault.empty())
        soak.fault = "after tick " + std::to_string(soak.ticks) + ": " + fault;
    // Escape a while after the last player ran out, or once a match runs long.
    const Snake *const p = playerSnake;
    soak.outTicks = std::max({p[0].lives, p[1].lives, p[2].lives}) < 0 ? soak.outTicks + 1 : 0;
    if (soak.ticks >= soak.wanted || !soak.fault.empty() || soak.outTicks > 100 ||
        soak.matchTicks > 4000) {
        pressKey(SDLK_ESCAPE); // again after each tick until the match ends
    } else {
        if (matchState.paused || soak.random() % 4000 == 0) pressKey(SDLK_RETURN);
        pressScriptedKeys(&soak.random);
    }
    return soak.now;
}

TEST(Soak, PlayKeepsEveryRule) {
    const char *ticks = std::getenv("RAVELA_SOAK_TICKS");
    soak.wanted = ticks ? std::strtoull(ticks, nullptr, 10) : 15000;
    resetGame(makeSurface(32), 7);
    const auto wait = [](uint32_t ms) { soak.now += ms; };
    matchClock = MatchClock{afterTick, wait, wait};
    while (soak.ticks < soak.wanted && soak.fault.empty()) {
        // Nine adversaries hunt the players down before most levels are won, so every other
        // match has fewer (0, 1, ... 8 in turn): there levels complete and layouts cycle.
        const uint32_t match = soak.matches++;
        matchState.adversaryCount = static_cast<int8_t>(match % 2 == 1 ? 9 : match / 2 % 9);
        soak.levelType = -1;
        soak.matchTicks = soak.outTicks = 0;
        playMatch();
        for (SDL_Event event; SDL_PollEvent(&event);) { // what the match left unread
        }
    }
    resetMatchClock();
    std::printf("%llu ticks, %u matches, %u levels, layouts %x, %u deaths, %u hatches\n",
                static_cast<unsigned long long>(soak.ticks), soak.matches, soak.levelsCompleted,
                soak.layouts, soak.deaths, soak.hatches);
    EXPECT_EQ(soak.fault, "");
    // The run went through what it claims to cover.
    EXPECT_GE(soak.levelsCompleted, 2u);
    EXPECT_GE(std::popcount(soak.layouts), 3);
    EXPECT_GT(soak.deaths, 10u);
    EXPECT_GT(soak.hatches, 10u);
}

TEST_F(GameTest, SoakChecksCatchEachCorruption) {
    const auto cell = [](const Snake &snake, int k) -> int8_t & {
        const int at = ringSlot(int64_t{snake.headIndex} - k);
        return board.cells[snake.rows[at]][snake.columns[at]];
    };
    const std::pair<const char *, std::function<void()>> corruptions[] = {
        {"a code with no tile", [] { board.cells[20][30] = 9; }},
        {"a hole in the border", [] { board.cells[47][10] = kEmpty; }},
        {"a head gone", [&] { cell(adversarySnake[3], 0) = kEmpty; }},
        {"a tail gone", [&] { cell(adversarySnake[4], 1) = kEmpty; }},
        {"a straight for a corner", [&] { cell(adversarySnake[0], 1) = kAdversaryBase + 13; }},
        {"the ring moved, the Board not",
         [] { ++adversarySnake[2].rows[adversarySnake[2].headIndex]; }},
        {"a body nobody owns", [] { board.cells[30][30] = kAdversaryBase + 12; }},
        {"player 2 is an egg", [] { board.cells[30][30] = kPlayerBase[1] + 13; }},
        {"a third yellow fruit", [] { placeFruit(kYellowFruit); }},
        {"two snakes on the same cells",
         [&] {
             for (int k = 0; k <= adversarySnake[5].length; ++k)
                 cell(adversarySnake[5], k) = kEmpty;
             adversarySnake[5] = adversarySnake[6];
         }},
    };
    for (const auto &[corruption, corrupt] : corruptions) {
        resetGame(surface(), 7);
        for (Snake &player : playerSnake)
            player.lives = 5;
        matchState.adversaryCount = 9;
        setupLevel();
        adversarySnake[0].direction = kLeft;
        stepSnake(adversarySnake[0], 0); // a neck to check: head, corner, tail
        ASSERT_EQ(findBoardFault(true), "");
        corrupt();
        EXPECT_NE(findBoardFault(true), "") << corruption;
    }
}

} // namespace
} // namespace ravela::testing
