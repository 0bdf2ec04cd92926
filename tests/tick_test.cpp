// The rules of a match tick, one named test per rule: a position, one matchTick (or a few),
// and the facts that must then hold: a snake's fields, what the status row shows, how many
// fruits or grey eggs lie on the Board, and single cells by their codes' names.

#include <algorithm>
#include <functional>
#include <string>
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

// One fact to read after the ticks: what it is, and how to read it.
struct Probe {
    std::string what;
    std::function<int()> read;
};

// The snakes by who they are in the facts: the three players, then the adversaries.
enum Who { kPlayer1, kPlayer2, kPlayer3, kAdversary1, kAdversary2, kAdversary3 };
std::string nameOf(Who who) {
    return who < kAdversary1 ? "player " + std::to_string(who + 1)
                             : "adversary " + std::to_string(who - kAdversary1 + 1);
}
template <typename T> Probe field(const char *what, Who who, T Snake::*member) {
    return {std::string(what) + " of " + nameOf(who),
            [who, member] { return int(testing::snakeNo(who).*member); }};
}
const auto length = [](Who who) { return field("length", who, &Snake::length); };
const auto growth = [](Who who) { return field("growth", who, &Snake::growth); };
const auto lives = [](Who who) { return field("lives", who, &Snake::lives); };
const auto fruits = [](Who who) { return field("fruits eaten", who, &Snake::levelFruits); };
const auto trail = [](Who who) { return field("trail mode", who, &Snake::trailMode); };
const auto base = [](Who who) { return field("colour base", who, &Snake::colourBase); };
const auto greedy = [](Who who) { return field("greed", who, &Snake::greedy); };
Probe headRowOf(Who who) {
    return {"head row of " + nameOf(who), [who] { return headRow(testing::snakeNo(who)); }};
}
Probe headColumnOf(Who who) {
    return {"head column of " + nameOf(who), [who] { return headColumn(testing::snakeNo(who)); }};
}
// The cells of the snake's colour in rows 1..47: its body and any trail it left.
Probe cellsOf(Who who) {
    return {"cells in the colour of " + nameOf(who), [who] {
                const int8_t colour = testing::snakeNo(who).colourBase;
                return testing::countCells(colour, colour + kSnakeTiles - 1);
            }};
}
// The lives the status row shows for a player.
Probe livesShown(Who who) {
    return {"lives shown for " + nameOf(who), [who] {
                const int8_t *first = board.cells[kStatusRow] + livesColumn(who);
                return kLivesShown - int(std::count(first, first + kLivesShown, kEmpty));
            }};
}
// The yellow fruits on the status row's progress bar.
Probe bar() {
    return {"fruits on the progress bar", [] {
                const int8_t *first = board.cells[kStatusRow] + kProgressFirstColumn;
                return int(std::count(first, first + kFruitsPerLevel, kYellowFruit));
            }};
}
Probe levelCount() {
    return {"the level's yellow fruit count", [] { return int(matchState.levelFruitCount); }};
}
// How many cells of rows 1..47 hold the code.
Probe onBoard(int8_t code) {
    return {"cells holding code " + std::to_string(code),
            [code] { return testing::countCells(code); }};
}
Probe cell(int row, int col) {
    return {"cell " + std::to_string(row) + "," + std::to_string(col),
            [row, col] { return int(board.cells[row][col]); }};
}

struct Rule {
    const char *name;
    void (*arrange)();
    std::vector<std::pair<Probe, int>> facts; // what is read after the ticks, and its value
    int ticks = 1;
};
void PrintTo(const Rule &rule, std::ostream *out) {
    *out << rule.name;
}

// The players' colour bases by their snakes' colours, and the adversaries'.
constexpr int kYellowSnake = kPlayerBase[0], kGreenSnake = kPlayerBase[1],
              kCyanSnake = kPlayerBase[2], kGreySnake = kAdversaryBase;
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
     {{headColumnOf(kAdversary1), 11}, {growth(kAdversary1), 7}, {lives(kPlayer1), 4},
      {length(kPlayer2), 3}, {growth(kPlayer2), 7}, {fruits(kPlayer2), 1}, {lives(kPlayer3), 4},
      {levelCount(), 4}, {bar(), 11}, {onBoard(kYellowFruit), 2}}},
    {"RedFruitStartsTrailModeKeepingTwoCellsGrowingTenAndEveryAdversaryTwelve",
     [] {
         adversary(0, 40, 40, kUp, 2), adversary(1, 40, 50, kUp, -1);
         trailing(4, kRedFruit, false);
     },
     {{trail(kPlayer1), 1}, {length(kPlayer1), 3}, {growth(kPlayer1), 9}, {cellsOf(kPlayer1), 6},
      {onBoard(kRedFruit), 0}, {growth(kAdversary1), 12}, {growth(kAdversary2), 12}}},
    {"TrailModeLeavesTheBodyBehindAsThePlayersWall",
     [] { trailing(4, kEmpty, true); },
     {{trail(kPlayer1), 1}, {length(kPlayer1), 3}, {growth(kPlayer1), 9}, {cellsOf(kPlayer1), 7}}},
    {"GreenFruitCutsTrailAndBodyBackToTheHeadAndGrowsEveryAdversary",
     [] {
         adversary(0, 40, 40, kUp, -1);
         trailing(4, kGreenFruit, true);
     },
     {{trail(kPlayer1), 0}, {length(kPlayer1), 1}, {growth(kPlayer1), 1}, {cellsOf(kPlayer1), 2},
      {livesShown(kPlayer1), 5}, {onBoard(kGreenFruit), 0}, {growth(kAdversary1), 12}}},
    {"ALostLifeEndsTrailModeWipesBodyAndTrailAndLaysAnEggOfFifty",
     [] { laySnake(0, 20, 62, kRight, 2).trailMode = 1, put(kYellowSnake + kStraight, 30, 5); },
     {{trail(kPlayer1), 0}, {lives(kPlayer1), 4}, {livesShown(kPlayer1), 4},
      {length(kPlayer1), eggLength(50)}, {cellsOf(kPlayer1), 1},
      {cell(20, 62), kYellowSnake + kIntact}}},
    {"Player1SwallowsTheBrokenEggOfPlayer2WhoLosesALife",
     [] { trailing(2, kEmpty, false), layEgg(1, 20, 21, -1).lives = 5; },
     {{lives(kPlayer2), 4}, {livesShown(kPlayer2), 4}, {length(kPlayer2), eggLength(49)},
      {length(kPlayer1), 2}, {cell(20, 21), kYellowSnake + kRight}}},
    {"Player2SwallowsTheBrokenEggOfPlayer3",
     [] { laySnake(1, 20, 20, kDown, 2), layEgg(2, 21, 20, -1).lives = 5; },
     {{lives(kPlayer3), 4}, {lives(kPlayer2), 5}, {length(kPlayer3), eggLength(49)},
      {cell(21, 20), kGreenSnake + kDown}}},
    {"Player3SwallowsTheBrokenEggOfPlayer1",
     [] { laySnake(2, 20, 20, kUp, 2), layEgg(0, 19, 20, -1).lives = 5; },
     {{lives(kPlayer1), 4}, {lives(kPlayer3), 5}, {length(kPlayer1), eggLength(50)},
      {cell(19, 20), kCyanSnake + kUp}}},
    {"AnAdversarySwallowsAPlayersBrokenEgg",
     [] { adversary(0, 30, 30, kRight, 2), layEgg(1, 30, 31, -1).lives = 5; },
     {{lives(kPlayer2), 4}, {length(kPlayer2), eggLength(49)}, {headColumnOf(kAdversary1), 31},
      {cell(30, 31), kGreySnake + kRight}}},
    {"TheEggOfAPlayerOnItsLastLifeTurnsGreyBeforeTheAdversarySwallowsIt",
     [] { adversary(0, 30, 30, kRight, 2), layEgg(1, 30, 31, -1).lives = 0; },
     {{lives(kPlayer2), -1}, {base(kPlayer2), kGreySnake}, {headRowOf(kPlayer2), kTopWallRow},
      {headColumnOf(kPlayer2), 0}, {onBoard(kGreyEgg), 0}, {cell(30, 31), kGreySnake + kRight}}},
    {"AGreyEggWinsALifeAndTheOutPlayerPaysForItAgain",
     [] {
         trailing(2, kGreyEgg, false);
         out(2, -1), playerSnake[2].levelFruits = 2, setCount(5);
     },
     {{lives(kPlayer1), 6}, {livesShown(kPlayer1), 6}, {length(kPlayer1), 2},
      {onBoard(kGreyEgg), 0}, {lives(kPlayer3), -2}, {fruits(kPlayer3), 1}, {levelCount(), 3},
      {length(kPlayer3), eggLength(49)}, {cell(1, 0), kWall}}},
    {"ACrashOnTheLastLifeLeavesAGreyEggParksTheRecordAndGivesTheFruitsBack",
     [] {
         laySnake(1, 20, 62, kRight, 2).lives = 0;
         playerSnake[1].levelFruits = 3, setCount(5);
     },
     {{lives(kPlayer2), -1}, {livesShown(kPlayer2), 0}, {base(kPlayer2), kGreySnake},
      {length(kPlayer2), -1}, {headRowOf(kPlayer2), 1}, {headColumnOf(kPlayer2), 0},
      {fruits(kPlayer2), 2}, {levelCount(), 2}, {bar(), 13}, {cell(20, 62), kGreyEgg}}},
    {"TheThirdPlayerOutClearsEveryAdversarysGreedyFlag",
     [] {
         adversary(0, 40, 40, kUp, 2), adversary(1, 40, 50, kUp, -1);
         out(0, -1), out(2, -3);
         laySnake(1, 20, 62, kRight, 2).lives = 0;
     },
     {{lives(kPlayer2), -1}, {greedy(kAdversary1), 0}, {greedy(kAdversary2), 0},
      {greedy(kAdversary3), 1}}},
    {"WithAPlayerLeftEvenWithoutLivesTheAdversariesStayGreedy",
     [] {
         adversary(0, 40, 40, kUp, 2);
         out(0, -1), playerSnake[2].lives = 0;
         laySnake(1, 20, 62, kRight, 2).lives = 0;
     },
     {{lives(kPlayer2), -1}, {greedy(kAdversary1), 1}}},
    // Players 1 and 3 are six steps into a countdown of 50, player 3 on its last life;
    // player 2 is one step short.
    {"AnEggWithAKeyHatchesAndStepsOnceSixStepsOfItsCountdownAreDone",
     [] {
         layEgg(0, 20, 20, eggLength(50 - 6)).direction = kRight;
         layEgg(1, 30, 20, eggLength(50 - 5)).direction = kRight;
         layEgg(2, 40, 20, eggLength(50 - 6)).direction = kUp, playerSnake[2].lives = 0;
     },
     {{length(kPlayer1), 1}, {growth(kPlayer1), 1}, {cell(20, 21), kYellowSnake + kRight},
      {length(kPlayer2), eggLength(50 - 6)}, {cell(30, 21), kEmpty}, {length(kPlayer3), 1},
      {cell(39, 20), kCyanSnake + kUp}}},
    {"NoHatchWithoutAKeyForAPlayerWhoIsOutOrUnderAnotherSnake",
     [] {
         layEgg(0, 20, 20, -10);
         layEgg(1, 20, 30, -1).direction = kRight, playerSnake[1].lives = -1;
         layEgg(2, 20, 40, -1).direction = kRight, put(kGreySnake + kStraight, 20, 40);
     },
     {{length(kPlayer1), -9}, {length(kPlayer2), -1}, {length(kPlayer3), -1},
      {cell(20, 31), kEmpty}, {cell(20, 41), kEmpty}}},
    {"AnIntactEggCountsDownOneATickAndBreaksAfterItsCountdown",
     [] { layEgg(0, 20, 20, -3); },
     {{length(kPlayer1), -1}, {cell(20, 20), kYellowSnake + kIntact}}, 2},
    {"GreenFruitAheadOfAnEggThatMayNotHatchYetHatchesItAtOnce",
     [] { layEgg(0, 20, 20, eggLength(50)).direction = kRight, put(kGreenFruit, 20, 21); },
     {{length(kPlayer1), 1}, {trail(kPlayer1), 0}, {onBoard(kGreenFruit), 0},
      {cell(20, 21), kYellowSnake + kRight}}},
    {"AGreyEggAheadOfAnEggThatMayNotHatchYetWinsALifeWithoutMoving",
     [] { layEgg(0, 20, 20, eggLength(50)).direction = kRight, put(kGreyEgg, 20, 21); },
     {{lives(kPlayer1), 6}, {length(kPlayer1), eggLength(49)}, {onBoard(kGreyEgg), 1}}},
    {"ABlockedAdversaryThatIsNotGrowingLosesItsTail",
     [] {
         adversary(0, 20, 61, kRight, 2);
         put(kWall, 19, 61), put(kWall, 21, 61), put(kWall, 20, 62);
     },
     {{length(kAdversary1), 1}, {headColumnOf(kAdversary1), 61}, {cell(20, 59), kEmpty},
      {cell(20, 60), kGreySnake + kStraight}}},
    {"AnAdversaryShrunkToItsHeadDiesAsAGreyEgg",
     [] { adversary(0, 20, 61, kRight, 0); },
     {{length(kAdversary1), -1}, {cell(20, 61), kGreyEgg}}},
    // Adversary 0 meets a red fruit, adversary 1 a green one.
    {"AnAdversaryTakingRedOrGreenFruitLeavesANewOneAndGainsNothing",
     [] {
         adversary(0, 30, 30, kRight, 2), put(kRedFruit, 30, 31);
         adversary(1, 40, 30, kRight, 2), put(kGreenFruit, 40, 31);
         put(kWall, 29, 30), put(kWall, 31, 30), put(kWall, 39, 30), put(kWall, 41, 30);
     },
     {{onBoard(kRedFruit), 1}, {onBoard(kGreenFruit), 1}, {length(kAdversary1), 2},
      {growth(kAdversary1), 0}, {headColumnOf(kAdversary1), 31}, {length(kAdversary2), 2},
      {headColumnOf(kAdversary2), 31}, {trail(kPlayer1), 0}}},
    {"LivesAndFruitCountersStopAt127",
     [] {
         Snake &s = trailing(2, kGreyEgg, false);
         s.lives = s.levelFruits = 127, setCount(127);
         put(kYellowFruit, 20, 22);
     },
     {{lives(kPlayer1), 127}, {fruits(kPlayer1), 127}, {levelCount(), 127},
      {growth(kPlayer1), 255}}, 2},
    {"LivesAndTheLevelsCountStopAtMinus128",
     [] {
         trailing(2, kGreyEgg, false);
         out(2, -128), playerSnake[2].levelFruits = 1, setCount(-127);
     },
     {{lives(kPlayer3), -128}, {levelCount(), -128}}},
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
    for (const auto &[probe, value] : GetParam().facts)
        EXPECT_EQ(probe.read(), value) << probe.what;
}

INSTANTIATE_TEST_SUITE_P(, TickRule, ::testing::ValuesIn(kRules),
                         [](const auto &rule) { return std::string(rule.param.name); });

TEST_F(TickRules, LivesAtTheEndOfALevel) {
    // Two more lives each; a player at 0 or out comes back with 3.
    const int8_t before[][2] = {{5, 7}, {1, 3}, {0, 3}, {-1, 3}, {-9, 3}, {126, 127}};
    for (const auto &[livesBefore, after] : before) {
        playerSnake[1].lives = livesBefore;
        matchState.levelType = 7, matchState.levelFruitCount = 15;
        completeLevel();
        EXPECT_EQ(playerSnake[1].lives, after)
            << "rule: lives at level end, from " << int{livesBefore};
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
