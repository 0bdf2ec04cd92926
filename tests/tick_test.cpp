// The rules of a match tick, one table row per rule: a position, one matchTick (or a few),
// and the fields and cells that must then hold. A failing row names its rule and the field.
// Field names: pN.x for player N and aN.x for adversary N (length, growth, lives, shown,
// fruits, trail, base, row, col, greedy, cells: tiles of its colour in rows 1..47), count
// (the level's yellow fruits), bar (fruits left on the status row), yellow, green, red and
// grey (fruit or grey eggs in rows 1..47) and "row,col" for one cell's code.

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "match/match_loop.h"
#include "match/status_row.h"
#include "match/tick.h"
#include "tests/board_invariants.h"
#include "tests/fixture.h"
#include "tests/positions.h"

namespace ravela {
namespace {

using testing::layEgg;
using testing::laySnake;

void setCount(int8_t n) {
    matchState.levelFruitCount = n;
    drawLevelProgress();
}
void put(int8_t code, int row, int col) {
    setCellAndDraw(board, code, row, col);
}
// Player p out of the match as loseLife leaves it: grey, parked on the wall cell (1, 0).
void out(int p, int8_t lives) {
    Snake &s = layEgg(p, 1, 0, -1);
    s.colourBase = kAdversaryBase;
    s.lives = lives;
    put(kWall, 1, 0);
    drawLives(static_cast<int8_t>(p));
}
// Adversary i in play, laid as laySnake lays it or, when `behind` is -1, as an egg.
Snake &adversary(int i, int row, int col, int8_t d, int behind) {
    if (matchState.adversaryCount <= i) matchState.adversaryCount = static_cast<int8_t>(i + 1);
    return behind < 0 ? layEgg(3 + i, row, col, -1) : laySnake(3 + i, row, col, d, behind);
}
// Player 0 heading right at (20, 20) with `behind` cells, in trail mode or not, and a stray
// trail cell of its colour at (30, 5).
Snake &trailing(int behind, int8_t ahead, bool trail) {
    Snake &s = laySnake(0, 20, 20, kRight, behind);
    s.trailMode = trail;
    put(ahead, 20, 21);
    if (trail) put(kPlayerBase[0] + 12, 30, 5);
    return s;
}

int probe(const std::string &field) {
    int row = 0, col = 0;
    if (std::sscanf(field.c_str(), "%d,%d", &row, &col) == 2) return board.cells[row][col];
    if (field[0] == 'p' || field[0] == 'a') {
        const int n = field[1] - '0';
        const Snake &s = field[0] == 'p' ? playerSnake[n] : adversarySnake[n];
        const std::string f = field.substr(3);
        const int8_t *status = board.cells[0] + 3 + 14 * n;
        if (f == "length") return s.length;
        if (f == "growth") return s.growth;
        if (f == "lives") return s.lives;
        if (f == "shown") return 12 - static_cast<int>(std::count(status, status + 12, kEmpty));
        if (f == "fruits") return s.levelFruits;
        if (f == "trail") return s.trailMode;
        if (f == "base") return s.colourBase;
        if (f == "row") return headRow(s);
        if (f == "col") return headColumn(s);
        if (f == "greedy") return s.greedy;
        if (f == "cells") return testing::countCells(s.colourBase, s.colourBase + 15);
    }
    if (field == "count") return matchState.levelFruitCount;
    if (field == "bar")
        return static_cast<int>(std::count(board.cells[0] + 47, board.cells[0] + 62, 1));
    const char *const kinds[] = {"", "yellow", "green", "red"};
    for (int8_t code = 1; code <= 3; ++code)
        if (field == kinds[code]) return testing::countCells(code);
    if (field == "grey") return testing::countCells(kGreyEgg);
    ADD_FAILURE() << "no such field: " << field;
    return 0;
}

struct Rule {
    const char *name;
    void (*arrange)();
    const char *facts; // "field=value ..." after the ticks
    int ticks = 1;
};

const Rule kRules[] = {
    {"adversaries move first, then players 1, 2, 3; yellow fruit gives 2 x count + 2, and "
     "only a player's counts",
     [] {
         setCount(3);
         put(kWall, 9, 10), put(kWall, 11, 10); // the adversary can only go right
         adversary(0, 10, 10, kRight, 2);
         laySnake(0, 9, 11, kDown, 2); // player 1 wants the same fruit
         put(kYellowFruit, 10, 11);
         laySnake(1, 20, 19, kRight, 2), laySnake(2, 20, 21, kLeft, 2);
         put(kYellowFruit, 20, 20);
     },
     "a0.col=11 a0.growth=7 p0.lives=4 p1.length=3 p1.growth=7 p1.fruits=1 p2.lives=4 count=4 "
     "bar=11 yellow=2"},
    {"red fruit: a player turns trail mode on, keeps two cells and grows 10; every adversary +12",
     [] {
         adversary(0, 40, 40, kUp, 2), adversary(1, 40, 50, kUp, -1);
         trailing(4, kRedFruit, false);
     },
     "p0.trail=1 p0.length=3 p0.growth=9 p0.cells=6 red=0 a0.growth=12 a1.growth=12"},
    {"trail mode is kept: the body stays behind as the player's wall",
     [] { trailing(4, kEmpty, true); }, "p0.trail=1 p0.length=3 p0.growth=9 p0.cells=7"},
    {"green fruit: trail and body cut back to the head, trail mode off; every adversary +12",
     [] {
         adversary(0, 40, 40, kUp, -1);
         trailing(4, kGreenFruit, true);
     },
     "p0.trail=0 p0.length=1 p0.growth=1 p0.cells=2 p0.shown=5 green=0 a0.growth=12"},
    {"a lost life clears trail mode and wipes body and trail; the egg counts 50",
     [] { laySnake(0, 20, 62, kRight, 2).trailMode = 1, put(kPlayerBase[0] + 12, 30, 5); },
     "p0.trail=0 p0.lives=4 p0.shown=4 p0.length=-51 p0.cells=1 20,62=31"},
    {"player 1 swallows player 2's broken egg: player 2 loses a life and its egg restarts",
     [] { trailing(2, kEmpty, false), layEgg(1, 20, 21, -1).lives = 5; },
     "p1.lives=4 p1.shown=4 p1.length=-50 p0.length=2 20,21=19"},
    {"player 2 swallows player 3's broken egg",
     [] { laySnake(1, 20, 20, kDown, 2), layEgg(2, 21, 20, -1).lives = 5; },
     "p2.lives=4 p1.lives=5 p2.length=-50 21,20=33"},
    {"player 3 swallows player 1's broken egg",
     [] { laySnake(2, 20, 20, kUp, 2), layEgg(0, 19, 20, -1).lives = 5; },
     "p0.lives=4 p2.lives=5 p0.length=-51 19,20=48"},
    {"an adversary swallows player 2's broken egg",
     [] { adversary(0, 30, 30, kRight, 2), layEgg(1, 30, 31, -1).lives = 5; },
     "p1.lives=4 p1.length=-50 a0.col=31 30,31=67"},
    {"an adversary swallows the broken egg of a player on its last life: grey, then eaten",
     [] { adversary(0, 30, 30, kRight, 2), layEgg(1, 30, 31, -1).lives = 0; },
     "p1.lives=-1 p1.base=64 p1.row=1 p1.col=0 grey=0 30,31=67"},
    {"a player swallows a grey egg and wins a life; an out player pays again for it",
     [] {
         trailing(2, kGreyEgg, false);
         out(2, -1), playerSnake[2].levelFruits = 2, setCount(5);
     },
     "p0.lives=6 p0.shown=6 p0.length=2 grey=0 p2.lives=-2 p2.fruits=1 count=3 p2.length=-50 "
     "1,0=15"},
    {"a crash on the last life puts the player out: a grey egg, the record parked, fruits back",
     [] {
         laySnake(1, 20, 62, kRight, 2).lives = 0;
         playerSnake[1].levelFruits = 3, setCount(5);
     },
     "p1.lives=-1 p1.shown=0 p1.base=64 p1.length=-1 p1.row=1 p1.col=0 p1.fruits=2 count=2 "
     "bar=13 20,62=78"},
    {"the third player out clears every adversary's greedy flag",
     [] {
         adversary(0, 40, 40, kUp, 2), adversary(1, 40, 50, kUp, -1);
         out(0, -1), out(2, -3);
         laySnake(1, 20, 62, kRight, 2).lives = 0;
     },
     "p1.lives=-1 a0.greedy=0 a1.greedy=0 a2.greedy=1"},
    {"with a player left the adversaries stay greedy",
     [] {
         adversary(0, 40, 40, kUp, 2);
         out(0, -1);
         laySnake(1, 20, 62, kRight, 2).lives = 0;
     },
     "p1.lives=-1 a0.greedy=1"},
    {"an egg with a key hatches from length -45 and steps (p0), below it counts down (p1)",
     [] {
         layEgg(0, 20, 20, -45).direction = kRight;
         layEgg(1, 30, 20, -46).direction = kRight;
     },
     "p0.length=1 p0.growth=1 20,21=19 p1.length=-45 30,21=0"},
    {"no hatch for an egg without a key (p0), an out player's (p1) or a covered one (p2)",
     [] {
         layEgg(0, 20, 20, -10);
         layEgg(1, 20, 30, -1).direction = kRight, playerSnake[1].lives = -1;
         layEgg(2, 20, 40, -1).direction = kRight, put(kAdversaryBase + 12, 20, 40);
     },
     "p0.length=-9 p1.length=-1 p2.length=-1 20,31=0 20,41=0"},
    {"an intact egg counts down one a tick and breaks after its countdown",
     [] { layEgg(0, 20, 20, -3); }, "p0.length=-1 20,20=31", 2},
    {"green fruit ahead of an egg that may not hatch yet hatches it at once",
     [] { layEgg(0, 20, 20, -51).direction = kRight, put(kGreenFruit, 20, 21); },
     "p0.length=1 p0.trail=0 green=0 20,21=19"},
    {"grey egg ahead of an egg that may not hatch yet: a life without moving",
     [] { layEgg(0, 20, 20, -51).direction = kRight, put(kGreyEgg, 20, 21); },
     "p0.lives=6 p0.length=-50 grey=1"},
    {"a blocked adversary that is not growing loses its tail",
     [] {
         adversary(0, 20, 61, kRight, 2);
         put(kWall, 19, 61), put(kWall, 21, 61), put(kWall, 20, 62);
     },
     "a0.length=1 a0.col=61 20,59=0 20,60=76"},
    {"an adversary shrunk to its head dies as a grey egg", [] { adversary(0, 20, 61, kRight, 0); },
     "a0.length=-1 20,61=78"},
    {"an adversary takes a red (a0) or green (a1) fruit: a new one is placed, it gains nothing",
     [] {
         adversary(0, 30, 30, kRight, 2), put(kRedFruit, 30, 31);
         adversary(1, 40, 30, kRight, 2), put(kGreenFruit, 40, 31);
         put(kWall, 29, 30), put(kWall, 31, 30), put(kWall, 39, 30), put(kWall, 41, 30);
     },
     "red=1 green=1 a0.length=2 a0.growth=0 a0.col=31 a1.length=2 a1.col=31 p0.trail=0"},
    {"lives and fruit counters stop at 127",
     [] {
         Snake &s = trailing(2, kGreyEgg, false);
         s.lives = s.levelFruits = 127, setCount(127);
         put(kYellowFruit, 20, 22);
     },
     "p0.lives=127 p0.fruits=127 count=127 p0.growth=255", 2},
    {"lives and the level's count stop at -128",
     [] {
         trailing(2, kGreyEgg, false);
         out(2, -128), playerSnake[2].levelFruits = 1, setCount(-127);
     },
     "p2.lives=-128 count=-128"},
};

struct TickRules : testing::GameTest {
    void SetUp() override {
        GameTest::SetUp();
        for (int8_t p = 0; p < kPlayerCount; ++p) { // waiting eggs, out of the way
            layEgg(p, 4, 13 + 13 * p, -30).lives = 5;
            drawLives(p);
        }
        setCount(0);
    }
};

TEST_F(TickRules, EachRuleChangesItsFields) {
    for (const Rule &rule : kRules) {
        SetUp();
        rule.arrange();
        for (int t = 0; t < rule.ticks; ++t)
            matchTick();
        std::istringstream facts(rule.facts);
        for (std::string fact; facts >> fact;) {
            const std::string field = fact.substr(0, fact.find('='));
            EXPECT_EQ(probe(field), std::stoi(fact.substr(field.size() + 1)))
                << "rule: " << rule.name << "\n  field: " << field;
        }
    }
}

TEST_F(TickRules, LivesAtTheEndOfALevel) {
    // Two more lives each; a player at 0 or out comes back with 3.
    const int8_t before[][2] = {{5, 7}, {1, 3}, {0, 3}, {-1, 3}, {-9, 3}, {126, 127}};
    for (const auto &[lives, after] : before) {
        playerSnake[1].lives = lives;
        matchState.levelType = 7, matchState.levelFruitCount = 15;
        completeLevel();
        EXPECT_EQ(playerSnake[1].lives, after) << "rule: lives at level end, from " << int{lives};
        EXPECT_EQ(matchState.levelType, 0) << "rule: the layout advances modulo 8";
        EXPECT_EQ(matchState.levelFruitCount, 0) << "rule: a new level's fruit count";
    }
}

TEST_F(TickRules, PlayerNumbersOutsideZeroToTwoChangeNothing) {
    const std::string before = testing::gameState();
    for (const int8_t p : {-1, 3})
        loseLife(p), drawLives(p);
    EXPECT_EQ(testing::gameState(), before) << "rule: only players 0 to 2 lose lives";
}

// A fault the soak and the fuzz target found: the cell a hatching egg leaves is still the
// hatched snake's tail for a few steps, so nobody may walk in. Player 2 hatches upward into a
// wall while player 1, moving first, reaches its egg cell.
TEST_F(TickRules, TheHatchedEggCellStaysTheTailUntilTheTailMoves) {
    laySnake(0, 10, 9, kRight, 2);
    layEgg(1, 10, 10, -1).direction = kUp;
    put(kWall, 9, 10);
    matchTick();
    EXPECT_EQ(testing::findBoardFault(false), "");
    EXPECT_TRUE(isEgg(playerSnake[0]) && isEgg(playerSnake[1])) << "both crashed";
}

} // namespace
} // namespace ravela
