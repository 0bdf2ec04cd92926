// The rules of a match tick, one named test per rule: a position, one matchTick (or a few),
// and the fields and cells that must then hold, cells by their codes' names. Field names: pN.x for
// player N and aN.x for adversary N (length, growth, lives, shown, fruits, trail, base, row, col,
// greedy, cells: tiles of its colour in rows 1..47), count (the level's yellow fruits), bar (fruits
// left on the status row), yellow, green, red and grey (fruit or grey eggs in rows 1..47) and
// "row,col" for one cell's code.

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

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
    if (trail) put(kPlayerBase[0] + kStraightHorizontal, 30, 5);
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
    std::vector<std::pair<const char *, int>> facts; // field and value after the ticks
    int ticks = 1;
};
void PrintTo(const Rule &rule, std::ostream *out) {
    *out << rule.name;
}

// Colour bases by the fields' player numbers, and the adversaries'.
constexpr int P0 = kPlayerBase[0], P1 = kPlayerBase[1], P2 = kPlayerBase[2], A = kAdversaryBase;
// A head's tile offset is the direction it faces.
constexpr int kIntact = kIntactEggTile, kStraight = kStraightHorizontal;

// clang-format off
const Rule kRules[] = {
    {"AdversariesMoveFirstThenPlayersInOrderYellowGrowsTwiceTheCountPlusTwoOnlyPlayersScore",
     [] {
         setCount(3);
         put(kWall, 9, 10), put(kWall, 11, 10); // the adversary can only go right
         adversary(0, 10, 10, kRight, 2);
         laySnake(0, 9, 11, kDown, 2); // player 1 wants the same fruit
         put(kYellowFruit, 10, 11);
         laySnake(1, 20, 19, kRight, 2), laySnake(2, 20, 21, kLeft, 2);
         put(kYellowFruit, 20, 20);
     },
     {{"a0.col", 11}, {"a0.growth", 7}, {"p0.lives", 4}, {"p1.length", 3}, {"p1.growth", 7},
      {"p1.fruits", 1}, {"p2.lives", 4}, {"count", 4}, {"bar", 11}, {"yellow", 2}}},
    {"RedFruitStartsTrailModeKeepingTwoCellsGrowingTenAndEveryAdversaryTwelve",
     [] {
         adversary(0, 40, 40, kUp, 2), adversary(1, 40, 50, kUp, -1);
         trailing(4, kRedFruit, false);
     },
     {{"p0.trail", 1}, {"p0.length", 3}, {"p0.growth", 9}, {"p0.cells", 6}, {"red", 0},
      {"a0.growth", 12}, {"a1.growth", 12}}},
    {"TrailModeLeavesTheBodyBehindAsThePlayersWall",
     [] { trailing(4, kEmpty, true); },
     {{"p0.trail", 1}, {"p0.length", 3}, {"p0.growth", 9}, {"p0.cells", 7}}},
    {"GreenFruitCutsTrailAndBodyBackToTheHeadAndGrowsEveryAdversary",
     [] {
         adversary(0, 40, 40, kUp, -1);
         trailing(4, kGreenFruit, true);
     },
     {{"p0.trail", 0}, {"p0.length", 1}, {"p0.growth", 1}, {"p0.cells", 2}, {"p0.shown", 5},
      {"green", 0}, {"a0.growth", 12}}},
    {"ALostLifeEndsTrailModeWipesBodyAndTrailAndLaysAnEggOfFifty",
     [] { laySnake(0, 20, 62, kRight, 2).trailMode = 1, put(P0 + kStraight, 30, 5); },
     {{"p0.trail", 0}, {"p0.lives", 4}, {"p0.shown", 4}, {"p0.length", eggLength(50)},
      {"p0.cells", 1}, {"20,62", P0 + kIntact}}},
    {"Player1SwallowsTheBrokenEggOfPlayer2WhoLosesALife",
     [] { trailing(2, kEmpty, false), layEgg(1, 20, 21, -1).lives = 5; },
     {{"p1.lives", 4}, {"p1.shown", 4}, {"p1.length", eggLength(49)}, {"p0.length", 2},
      {"20,21", P0 + kRight}}},
    {"Player2SwallowsTheBrokenEggOfPlayer3",
     [] { laySnake(1, 20, 20, kDown, 2), layEgg(2, 21, 20, -1).lives = 5; },
     {{"p2.lives", 4}, {"p1.lives", 5}, {"p2.length", eggLength(49)}, {"21,20", P1 + kDown}}},
    {"Player3SwallowsTheBrokenEggOfPlayer1",
     [] { laySnake(2, 20, 20, kUp, 2), layEgg(0, 19, 20, -1).lives = 5; },
     {{"p0.lives", 4}, {"p2.lives", 5}, {"p0.length", eggLength(50)}, {"19,20", P2 + kUp}}},
    {"AnAdversarySwallowsAPlayersBrokenEgg",
     [] { adversary(0, 30, 30, kRight, 2), layEgg(1, 30, 31, -1).lives = 5; },
     {{"p1.lives", 4}, {"p1.length", eggLength(49)}, {"a0.col", 31}, {"30,31", A + kRight}}},
    {"TheEggOfAPlayerOnItsLastLifeTurnsGreyBeforeTheAdversarySwallowsIt",
     [] { adversary(0, 30, 30, kRight, 2), layEgg(1, 30, 31, -1).lives = 0; },
     {{"p1.lives", -1}, {"p1.base", A}, {"p1.row", kTopWallRow}, {"p1.col", 0}, {"grey", 0},
      {"30,31", A + kRight}}},
    {"AGreyEggWinsALifeAndTheOutPlayerPaysForItAgain",
     [] {
         trailing(2, kGreyEgg, false);
         out(2, -1), playerSnake[2].levelFruits = 2, setCount(5);
     },
     {{"p0.lives", 6}, {"p0.shown", 6}, {"p0.length", 2}, {"grey", 0}, {"p2.lives", -2},
      {"p2.fruits", 1}, {"count", 3}, {"p2.length", eggLength(49)}, {"1,0", kWall}}},
    {"ACrashOnTheLastLifeLeavesAGreyEggParksTheRecordAndGivesTheFruitsBack",
     [] {
         laySnake(1, 20, 62, kRight, 2).lives = 0;
         playerSnake[1].levelFruits = 3, setCount(5);
     },
     {{"p1.lives", -1}, {"p1.shown", 0}, {"p1.base", A}, {"p1.length", -1}, {"p1.row", 1},
      {"p1.col", 0}, {"p1.fruits", 2}, {"count", 2}, {"bar", 13}, {"20,62", kGreyEgg}}},
    {"TheThirdPlayerOutClearsEveryAdversarysGreedyFlag",
     [] {
         adversary(0, 40, 40, kUp, 2), adversary(1, 40, 50, kUp, -1);
         out(0, -1), out(2, -3);
         laySnake(1, 20, 62, kRight, 2).lives = 0;
     },
     {{"p1.lives", -1}, {"a0.greedy", 0}, {"a1.greedy", 0}, {"a2.greedy", 1}}},
    {"WithAPlayerLeftEvenWithoutLivesTheAdversariesStayGreedy",
     [] {
         adversary(0, 40, 40, kUp, 2);
         out(0, -1), playerSnake[2].lives = 0;
         laySnake(1, 20, 62, kRight, 2).lives = 0;
     },
     {{"p1.lives", -1}, {"a0.greedy", 1}}},
    // Players 1 and 3 are six steps into a countdown of 50, player 3 on its last life;
    // player 2 is one step short.
    {"AnEggWithAKeyHatchesAndStepsOnceSixStepsOfItsCountdownAreDone",
     [] {
         layEgg(0, 20, 20, eggLength(50 - 6)).direction = kRight;
         layEgg(1, 30, 20, eggLength(50 - 5)).direction = kRight;
         layEgg(2, 40, 20, eggLength(50 - 6)).direction = kUp, playerSnake[2].lives = 0;
     },
     {{"p0.length", 1}, {"p0.growth", 1}, {"20,21", P0 + kRight}, {"p1.length", eggLength(50 - 6)},
      {"30,21", kEmpty}, {"p2.length", 1}, {"39,20", P2 + kUp}}},
    {"NoHatchWithoutAKeyForAPlayerWhoIsOutOrUnderAnotherSnake",
     [] {
         layEgg(0, 20, 20, -10);
         layEgg(1, 20, 30, -1).direction = kRight, playerSnake[1].lives = -1;
         layEgg(2, 20, 40, -1).direction = kRight, put(A + kStraight, 20, 40);
     },
     {{"p0.length", -9}, {"p1.length", -1}, {"p2.length", -1}, {"20,31", kEmpty},
      {"20,41", kEmpty}}},
    {"AnIntactEggCountsDownOneATickAndBreaksAfterItsCountdown",
     [] { layEgg(0, 20, 20, -3); },
     {{"p0.length", -1}, {"20,20", P0 + kIntact}}, 2},
    {"GreenFruitAheadOfAnEggThatMayNotHatchYetHatchesItAtOnce",
     [] { layEgg(0, 20, 20, eggLength(50)).direction = kRight, put(kGreenFruit, 20, 21); },
     {{"p0.length", 1}, {"p0.trail", 0}, {"green", 0}, {"20,21", P0 + kRight}}},
    {"AGreyEggAheadOfAnEggThatMayNotHatchYetWinsALifeWithoutMoving",
     [] { layEgg(0, 20, 20, eggLength(50)).direction = kRight, put(kGreyEgg, 20, 21); },
     {{"p0.lives", 6}, {"p0.length", eggLength(49)}, {"grey", 1}}},
    {"ABlockedAdversaryThatIsNotGrowingLosesItsTail",
     [] {
         adversary(0, 20, 61, kRight, 2);
         put(kWall, 19, 61), put(kWall, 21, 61), put(kWall, 20, 62);
     },
     {{"a0.length", 1}, {"a0.col", 61}, {"20,59", kEmpty}, {"20,60", A + kStraight}}},
    {"AnAdversaryShrunkToItsHeadDiesAsAGreyEgg",
     [] { adversary(0, 20, 61, kRight, 0); },
     {{"a0.length", -1}, {"20,61", kGreyEgg}}},
    // Adversary 0 meets a red fruit, adversary 1 a green one.
    {"AnAdversaryTakingRedOrGreenFruitLeavesANewOneAndGainsNothing",
     [] {
         adversary(0, 30, 30, kRight, 2), put(kRedFruit, 30, 31);
         adversary(1, 40, 30, kRight, 2), put(kGreenFruit, 40, 31);
         put(kWall, 29, 30), put(kWall, 31, 30), put(kWall, 39, 30), put(kWall, 41, 30);
     },
     {{"red", 1}, {"green", 1}, {"a0.length", 2}, {"a0.growth", 0}, {"a0.col", 31},
      {"a1.length", 2}, {"a1.col", 31}, {"p0.trail", 0}}},
    {"LivesAndFruitCountersStopAt127",
     [] {
         Snake &s = trailing(2, kGreyEgg, false);
         s.lives = s.levelFruits = 127, setCount(127);
         put(kYellowFruit, 20, 22);
     },
     {{"p0.lives", 127}, {"p0.fruits", 127}, {"count", 127}, {"p0.growth", 255}}, 2},
    {"LivesAndTheLevelsCountStopAtMinus128",
     [] {
         trailing(2, kGreyEgg, false);
         out(2, -128), playerSnake[2].levelFruits = 1, setCount(-127);
     },
     {{"p2.lives", -128}, {"count", -128}}},
};
// clang-format on

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

// One test per rule: the rule's position, its ticks, then every fact.
struct TickRule : TickRules, ::testing::WithParamInterface<Rule> {};

TEST_P(TickRule, ChangesItsFields) {
    GetParam().arrange();
    for (int t = 0; t < GetParam().ticks; ++t)
        matchTick();
    for (const auto &[field, value] : GetParam().facts)
        EXPECT_EQ(probe(field), value) << "field: " << field;
}

INSTANTIATE_TEST_SUITE_P(, TickRule, ::testing::ValuesIn(kRules),
                         [](const auto &rule) { return std::string(rule.param.name); });

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

// The cell a hatching egg leaves is still the hatched snake's tail for a few steps, so
// nobody may walk in. Player 2 hatches upward into a
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
