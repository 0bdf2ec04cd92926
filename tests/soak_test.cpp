// The soak: match after match through playMatch on a fake clock, the scripted players
// against up to nine adversaries, every rule checked after every level setup and tick.
// RAVELA_SOAK_TICKS sets its length (`make soak` plays a million ticks). Then proof that its
// checks bite: each corruption a faulty rule could leave behind must be reported.

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>

#include "match/match_loop.h"
#include "match/status_row.h"
#include "tests/board_invariants.h"
#include "tests/fixture.h"

namespace ravela::testing {
namespace {

struct Soak {
    uint64_t ticks = 0, wanted = 0;
    uint32_t now = 0, matchTicks = 0, outTicks = 0, matches = 0;
    uint32_t levelsCompleted = 0, layouts = 0, livesLost = 0, hatches = 0, greyEggsSwallowed = 0;
    int8_t levelType = -1;
    int greyEggs = 0;
    bool egg[3] = {};
    Counters counters{};
    std::mt19937 random{20240601};
    std::string fault;
} soak;

void tally() {
    for (int p = 0; p < kPlayerCount; ++p) {
        const int8_t lives = playerSnake[p].lives;
        if (lives < soak.counters.value[p]) soak.livesLost += soak.counters.value[p] - lives;
        soak.hatches += soak.egg[p] && !isEgg(playerSnake[p]);
    }
    const int grey = countCells(kGreyEgg);
    if (grey < soak.greyEggs) soak.greyEggsSwallowed += soak.greyEggs - grey;
    soak.greyEggs = grey;
}

// The fake clock's reading, taken after each level setup and each tick: the checks, the
// tallies, then the keys for the next tick.
uint32_t afterTick() {
    if (matchState.levelType != soak.levelType) {
        soak.levelsCompleted += soak.levelType >= 0;
        soak.layouts |= 1u << (matchState.levelType & 7);
        soak.levelType = matchState.levelType;
        soak.greyEggs = countCells(kGreyEgg);
    } else {
        ++soak.ticks, ++soak.matchTicks;
        tally();
    }
    const Counters counters = takeCounters();
    std::string fault = findBoardFault(true);
    if (fault.empty()) fault = findCounterWrap(soak.counters, counters);
    if (fault.empty() && soak.ticks % 16 == 0) fault = findQueueOverflow();
    if (!fault.empty() && soak.fault.empty())
        soak.fault =
            "after tick " + std::to_string(soak.ticks) + ": " + fault + "\n" + boardAsText();
    soak.counters = counters;
    for (int p = 0; p < kPlayerCount; ++p)
        soak.egg[p] = isEgg(playerSnake[p]);
    // Escape a while after the last player ran out, or once a match runs long.
    const int8_t *lives = counters.value;
    soak.outTicks = std::max({lives[0], lives[1], lives[2]}) < 0 ? soak.outTicks + 1 : 0;
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
    matchClock = MatchClock{afterTick, [](uint32_t ms) { soak.now += ms; }};
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
    std::printf("%llu ticks, %u matches, %u levels, layouts %x, %u lives lost, %u hatches, %u grey "
                "eggs swallowed\n",
                static_cast<unsigned long long>(soak.ticks), soak.matches, soak.levelsCompleted,
                soak.layouts, soak.livesLost, soak.hatches, soak.greyEggsSwallowed);
    EXPECT_EQ(soak.fault, "");
    // The run went through what it claims to cover.
    EXPECT_GE(soak.levelsCompleted, 2u);
    EXPECT_GE(std::popcount(soak.layouts), 3);
    EXPECT_GT(soak.livesLost, 10u);
    EXPECT_GT(soak.hatches, 10u);
    EXPECT_GT(soak.greyEggsSwallowed, 0u);
}

TEST_F(GameTest, SoakChecksCatchEachCorruption) {
    const auto cell = [](const Snake &snake, int k) -> int8_t & {
        const int at = ringSlot(int64_t{snake.headIndex} - k);
        return board.cells[snake.rows[at]][snake.columns[at]];
    };
    const std::function<void()> corruptions[] = {
        [] { board.cells[20][30] = 9; },                               // a code with no tile
        [] { board.cells[47][10] = kEmpty; },                          // a hole in the border
        [&] { cell(adversarySnake[3], 0) = kEmpty; },                  // a head gone
        [&] { cell(adversarySnake[4], 1) = kEmpty; },                  // a tail gone
        [&] { cell(adversarySnake[0], 1) = kAdversaryBase + 13; },     // a straight for a corner
        [] { ++adversarySnake[2].rows[adversarySnake[2].headIndex]; }, // ring moved, Board not
        [] { board.cells[30][30] = kAdversaryBase + 12; },             // a body nobody owns
        [] { board.cells[30][30] = kPlayerBase[1] + 13; },             // player 2 is an egg
        [] { playerSnake[2].lives = 4; },                              // lives not redrawn
        [] { playerSnake[1].lives = -1, drawLives(1); },               // out, but not parked
        [] { placeFruit(kYellowFruit); },                              // a third yellow fruit
    };
    for (const auto &corrupt : corruptions) {
        resetGame(surface(), 7);
        for (Snake &player : playerSnake)
            player.lives = 5;
        matchState.adversaryCount = 9;
        setupLevel();
        adversarySnake[0].direction = kLeft;
        stepSnake(adversarySnake[0], 0); // a neck to check: head, corner, tail
        ASSERT_EQ(findBoardFault(true), "");
        corrupt();
        EXPECT_NE(findBoardFault(true), "") << "corruption " << &corrupt - corruptions;
    }
    const Counters before{{127, 5, -128, 0, 14, 0, -128}};
    const int8_t afters[][2] = {{0, -128}, {2, 127}, {6, 127}, {0, 126}, {2, 3}, {6, 0}};
    for (int row = 0; row < 6; ++row) {
        Counters after = before;
        after.value[afters[row][0]] = afters[row][1];
        EXPECT_EQ(findCounterWrap(before, after).empty(), row >= 3) << "counter change " << row;
    }
}

} // namespace
} // namespace ravela::testing
