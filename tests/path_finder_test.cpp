// Tests of the adversaries' path-finder. Boards are drawn as small pictures, one group
// per stage of a call: route search, rival flood, shortcuts, escape cell, escape flood
// and choice chain; then the two guards (cells off the grid, a full queue) and a
// property test over random positions laid out by real moves.

#include "snakes/path_finder.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "display/board.h"
#include "match/level.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace ravela {
namespace {

using Picture = std::vector<std::string>;

// What a call leaves when no rule yields a step: the direction it was given.
constexpr int8_t kUnchanged = kNoDirection;

constexpr int8_t kBodyTile = 12;
constexpr int8_t kTailTile = 4;
constexpr int32_t kPictureHeadIndex = 2; // small, so the body wraps round the ring

// Picture legend:
//   #  wall                  .  empty                Y G R  yellow, green, red fruit
//   @  head of the steered adversary (colour base 64)
//   a..z  its body, from the neck (a) to the tail (the last letter used)
//   A V < >  heads of player 1 (another colour) facing up, down, left, right
//   8  a fellow adversary's head (the same colour) facing up
//   E B  player 1's intact and broken egg        Z  an adversary's broken egg
int8_t codeOf(char ch) {
    const int8_t player = kPlayerBase[0];
    switch (ch) {
    case '.': return kEmpty;
    case '#': return kWall;
    case 'Y': return kYellowFruit;
    case 'G': return kGreenFruit;
    case 'R': return kRedFruit;
    case 'A': return player + kUp;
    case 'V': return player + kDown;
    case '<': return player + kLeft;
    case '>': return player + kRight;
    case '8': return kAdversaryBase + kUp;
    case 'E': return player + kIntactEggTile;
    case 'B': return player + kBrokenEggTile;
    case 'Z': return kAdversaryBase + kBrokenEggTile;
    default: ADD_FAILURE() << "unknown picture character '" << ch << "'"; return kWall;
    }
}

class PathFinderTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { surface = testing::makeSurface(32); }
    static void TearDownTestSuite() {
        SDL_FreeSurface(surface);
        surface = nullptr;
    }
    void SetUp() override {
        testing::resetGame(surface);
        std::memset(&snake, 0, sizeof snake);
    }

    // Fills the arena with wall and draws the picture with its top-left corner at row 1,
    // column 0; the steered snake's record is laid out along its lettered body.
    void draw(const Picture &picture, uint8_t greedy = 1, uint8_t followsTail = 1) {
        for (int row = 1; row < kBoardRows; ++row) {
            for (int col = 0; col < kBoardColumns; ++col)
                board.cells[row][col] = kWall;
        }
        int bodyRow[26] = {};
        int bodyCol[26] = {};
        bool seen[26] = {};
        int length = 0;
        int headRowAt = -1;
        int headColAt = -1;
        ASSERT_LE(picture.size(), size_t{kBoardRows - 1});
        for (size_t pr = 0; pr < picture.size(); ++pr) {
            ASSERT_LE(picture[pr].size(), size_t{kBoardColumns});
            for (size_t pc = 0; pc < picture[pr].size(); ++pc) {
                const char ch = picture[pr][pc];
                const int row = static_cast<int>(pr) + 1;
                const int col = static_cast<int>(pc);
                if (ch == '@') {
                    headRowAt = row;
                    headColAt = col;
                } else if (ch >= 'a' && ch <= 'z') {
                    const int k = ch - 'a';
                    bodyRow[k] = row;
                    bodyCol[k] = col;
                    seen[k] = true;
                    if (k + 1 > length) length = k + 1;
                } else {
                    board.cells[row][col] = codeOf(ch);
                }
            }
        }
        ASSERT_GE(headRowAt, 0) << "picture without '@'";
        snake.greedy = greedy;
        snake.followsTail = followsTail;
        snake.colourBase = kAdversaryBase;
        snake.direction = kUp;
        snake.pendingDirection = kNoDirection;
        snake.headIndex = kPictureHeadIndex;
        snake.length = length;
        snake.growth = 0;
        snake.rows[kPictureHeadIndex] = static_cast<uint8_t>(headRowAt);
        snake.columns[kPictureHeadIndex] = static_cast<uint8_t>(headColAt);
        board.cells[headRowAt][headColAt] = kAdversaryBase + kUp;
        for (int k = 1; k <= length; ++k) {
            ASSERT_TRUE(seen[k - 1]) << "body letter '" << char('a' + k - 1) << "' missing";
            const int index = (kPictureHeadIndex - k + kRingSize) % kRingSize;
            snake.rows[index] = static_cast<uint8_t>(bodyRow[k - 1]);
            snake.columns[index] = static_cast<uint8_t>(bodyCol[k - 1]);
            const int8_t tile = k == length ? kTailTile : kBodyTile;
            board.cells[bodyRow[k - 1]][bodyCol[k - 1]] = kAdversaryBase + tile;
        }
    }

    // Runs the path-finder from "no direction" and returns the direction it leaves.
    int8_t steer() {
        snake.direction = kNoDirection;
        chooseDirection(snake);
        return snake.direction;
    }

    static SDL_Surface *surface;
    Snake snake;
};

SDL_Surface *PathFinderTest::surface = nullptr;

// Replaces one character of a picture.
Picture with(Picture picture, int row, int col, char ch) {
    picture[row][col] = ch;
    return picture;
}

// ---------------------------------------------------------------------------------------
// Route search: the board scan, the seeds and the own flood.

using RouteSearch = PathFinderTest;

TEST_F(RouteSearch, GreedySnakeTakesFruitDirectlyAbove) {
    draw({"#####", //
          "#.Y.#", //
          "#.@.#", //
          "#...#", //
          "#####"});
    EXPECT_EQ(steer(), kUp);
}

TEST_F(RouteSearch, GoalsAtEqualDistanceGoToTheEarlierNeighbour) {
    draw({"#######", //
          "#..Y..#", //
          "#.....#", //
          "#..@..#", //
          "#.....#", //
          "#..Y..#", //
          "#######"});
    EXPECT_EQ(steer(), kUp) << "up is queued before down";

    draw({"#######", //
          "#.....#", //
          "#Y.@.Y#", //
          "#.....#", //
          "#######"});
    EXPECT_EQ(steer(), kLeft) << "left is queued before right";
}

TEST_F(RouteSearch, DiagonalSeedGivesTwoBitTagThatEndsHorizontal) {
    const Picture open = {"#######", //
                          "#.....#", //
                          "#.....#", //
                          "#..@..#", //
                          "#.....#", //
                          "#.....#", //
                          "#######"};
    // A fruit one step beyond a diagonal seed is reached first through that seed.
    draw(with(open, 1, 2, 'Y'));
    EXPECT_EQ(steer(), kLeft) << "up-left";
    draw(with(open, 1, 4, 'Y'));
    EXPECT_EQ(steer(), kRight) << "up-right";
    draw(with(open, 5, 2, 'Y'));
    EXPECT_EQ(steer(), kLeft) << "down-left";
    draw(with(open, 5, 4, 'Y'));
    EXPECT_EQ(steer(), kRight) << "down-right";
}

TEST_F(RouteSearch, DiagonalSeedNeedsBothItsSidesOpen) {
    // The wall left of the head stops the up-left seed, so the fruit comes through "up".
    draw({"#######", //
          "#.Y...#", //
          "#.....#", //
          "#.#@..#", //
          "#.....#", //
          "#######"});
    EXPECT_EQ(steer(), kUp);
}

TEST_F(RouteSearch, ShortSnakeWithoutGoalKeepsItsDirectionEvenIntoAWall) {
    draw({"#####", //
          "#.@.#", //
          "#####"});
    snake.direction = kUp;
    chooseDirection(snake);
    EXPECT_EQ(snake.direction, kUp) << "length 0";

    draw({"#####", //
          "#.@a#", //
          "#####"});
    snake.direction = kDown;
    chooseDirection(snake);
    EXPECT_EQ(snake.direction, kDown) << "length 1";
    EXPECT_EQ(steer(), kUnchanged);
}

TEST_F(RouteSearch, OwnColourBrokenEggBlocksAndOtherColourBrokenEggIsAGoal) {
    // Z is an adversary's broken egg (the steered snake's own colour), B player 1's.
    draw({"#######", //
          "#.....#", //
          "#Z.@.B#", //
          "#.....#", //
          "#######"});
    EXPECT_EQ(steer(), kRight);
}

TEST_F(RouteSearch, IntactEggOfAnotherColourFencesOffTheCellsAroundIt) {
    const Picture corridor = {"#########", //
                              "#Y...@..#", //
                              "###E#####", //
                              "#########"};
    draw(corridor);
    EXPECT_EQ(steer(), kUnchanged) << "the corridor cell above the egg is not crossed";
    draw(with(corridor, 2, 3, '#'));
    EXPECT_EQ(steer(), kLeft) << "without the egg the fruit is found";
}

TEST_F(RouteSearch, FloodsOnAfterTheGoalWhileTheTailIsUnreachable) {
    // The fruit below is found first, but the tail is walled in, so the flood goes on
    // round the top and touches body cell c. The escape flood from c reaches only "up".
    const Picture picture = {"##########", //
                             "#........#", //
                             "#......###", //
                             "###@abcd##", //
                             "###.######", //
                             "###Y######", //
                             "##########"};
    draw(picture, 0, 0);
    EXPECT_EQ(steer(), kUp);
    draw(picture, 1, 1);
    EXPECT_EQ(steer(), kDown) << "a greedy snake takes a one-step goal at once";
}

TEST_F(RouteSearch, NeckBlocksTheDiagonalSeedsBesideIt) {
    // The head-front goal right of the neck is three columns and one row away; had the
    // down-right seed been queued its tag would turn the snake down into its own neck.
    draw({"#########", //
          "#.......#", //
          "#.......#", //
          "#..@....#", //
          "#..a...<#", //
          "#.......#", //
          "#########"});
    EXPECT_EQ(steer(), kRight);
}

// ---------------------------------------------------------------------------------------
// Rival flood: reach, corridor walk, narrow cells and fellow heads.

using RivalFlood = PathFinderTest;

// Room A (fruit) and room B (the steered head far right) meet at a door at row 2,
// column 9, a narrow cell. A rival head faces the top wall at `distance` from the door.
Picture doorRooms(int distance) {
    const std::string wall(32, '#');
    const std::string room = "#........#" + std::string(21, '.') + "#";
    Picture picture = {wall, room, "#" + std::string(30, '.') + "#", room, wall};
    picture[1][1] = 'Y';
    picture[2][29] = '@';
    picture[1][8 + distance] = 'A';
    return picture;
}

TEST_F(RivalFlood, SealsNarrowCellsUpToSevenStepsFromTheHead) {
    for (int distance : {2, 7}) {
        draw(doorRooms(distance));
        EXPECT_EQ(steer(), kUnchanged) << "door " << distance << " steps from the rival";
    }
    for (int distance : {8, 9}) {
        draw(doorRooms(distance));
        EXPECT_EQ(steer(), kLeft) << "door " << distance << " steps from the rival";
    }
}

TEST_F(RivalFlood, HeadAtTheEndOfACorridorWalksItWithoutSealing) {
    Picture picture = {"######################", //
                       "#....................#", //
                       "#.................@..#", //
                       "#....................#", //
                       "#####.################", //
                       "#####.################", //
                       "#####Y################", //
                       "#####.################", //
                       "#####.################", //
                       "#####.################", //
                       "#####.################", //
                       "#####.################", //
                       "#####V################", //
                       "######################"};
    draw(picture);
    EXPECT_EQ(steer(), kLeft) << "the fruit inside the corridor stays reachable";

    // The same head in a small room floods the corridor normally and seals it.
    picture[12] = "###..V..##############";
    draw(picture);
    EXPECT_EQ(steer(), kUnchanged);
}

TEST_F(RivalFlood, CorridorWalkCountsTheCellsItWalked) {
    // A rival walks up a three-cell spur into room B; its flood carries on from there at
    // distance 3, so the door is 7 steps away from spur column 12 and 8 from column 13.
    for (int spur : {12, 13}) {
        Picture picture = doorRooms(2);
        picture[1][10] = '.';
        picture.pop_back();
        for (int row = 4; row <= 6; ++row) {
            picture.push_back(std::string(32, '#'));
            picture.back()[spur] = row == 6 ? 'V' : '.';
        }
        picture.push_back(std::string(32, '#'));
        draw(picture);
        EXPECT_EQ(steer(), spur == 12 ? kUnchanged : kLeft) << "spur at column " << spur;
    }
}

TEST_F(RivalFlood, FirstPassClosesCellsNearFellowHeadsSecondPassDoesNot) {
    Picture picture = {"################", //
                       "#..............#", //
                       "#..............#", //
                       "#.Y8...@.......#", //
                       "#..............#", //
                       "#..............#", //
                       "################"};
    draw(picture);
    EXPECT_EQ(steer(), kLeft) << "only goal: the second pass takes the fruit by the fellow";
    draw(with(picture, 3, 14, 'Y'));
    EXPECT_EQ(steer(), kRight) << "the first pass finds the farther fruit instead";
}

// ---------------------------------------------------------------------------------------
// Shortcuts: the greedy step and the head-front goal.

using Shortcuts = PathFinderTest;

// The head sits at row 3, column 5; the goal cell is reached first by the down-left seed.
Picture headFrontRoom(int goalRow, int goalCol, char goal) {
    Picture picture = {"##########", //
                       "#........#", //
                       "#........#", //
                       "#....@...#", //
                       "#........#", //
                       "#........#", //
                       "#........#", //
                       "##########"};
    picture[goalRow][goalCol - 1] = '>';
    picture[goalRow][goalCol] = goal;
    return picture;
}

TEST_F(Shortcuts, FreeCellAheadOfARivalHeadIsAGoalButFruitAndWallKeepTheirMarks) {
    for (char goal : {'.', 'G', 'R'}) {
        draw(headFrontRoom(4, 2, goal));
        EXPECT_EQ(steer(), kDown) << "head-front goal on '" << goal << "'";
    }
    draw(headFrontRoom(4, 2, 'Y'));
    EXPECT_EQ(steer(), kLeft) << "a yellow fruit stays a plain goal: down-left applied whole";
    draw(headFrontRoom(4, 2, '#'));
    EXPECT_EQ(steer(), kUnchanged) << "a wall stays an obstacle";
}

TEST_F(Shortcuts, HeadFrontGoalWinsOverAnEggSideWhicheverIsScannedFirst) {
    draw(with(headFrontRoom(4, 2, '.'), 5, 2, 'E'));
    EXPECT_EQ(steer(), kDown) << "egg below the goal cell";
    draw(with(headFrontRoom(4, 2, '.'), 3, 2, 'E'));
    EXPECT_EQ(steer(), kDown) << "egg above the goal cell";
}

TEST_F(Shortcuts, HeadFrontGoalStepsAlongTheAxisOnWhichItIsFarther) {
    draw(headFrontRoom(4, 2, '.'));
    EXPECT_EQ(steer(), kDown) << "1 row, 3 columns: vertical step";
    draw(headFrontRoom(5, 3, '.'));
    EXPECT_EQ(steer(), kLeft) << "2 rows, 2 columns: horizontal step";
    draw(headFrontRoom(6, 4, '.'));
    EXPECT_EQ(steer(), kLeft) << "3 rows, 1 column: horizontal step";
}

// ---------------------------------------------------------------------------------------
// Escape cell: the scan of the body from the tail.

using EscapeCell = PathFinderTest;

TEST_F(EscapeCell, NoneWhenTheOnlyTouchedCellNextToTheHeadIsFiveBack) {
    // Only e (k = 5, above the head) was touched: no escape cell, the goal's step stands.
    draw({"########", //
          "#hg#####", //
          "##fedc##", //
          "###@ab##", //
          "###..###", //
          "###.Y###", //
          "########"},
         0, 0);
    EXPECT_EQ(steer(), kDown);
}

TEST_F(EscapeCell, FirstCellNextToTheHeadFixesAShortWindow) {
    // i (k = 9) and g (k = 7) lie next to the head; d (k = 4) was touched beyond the fruit.
    // The window after i ends at k = 6, so g is the escape cell: walled in, it confirms
    // nothing. Starting from d would have confirmed the step right.
    const Picture picture = {"##########", //
                             "##########", //
                             "#####k####", //
                             "#####j####", //
                             "####hi####", //
                             "###fg@.###", //
                             "###e#a.###", //
                             "###dcb.###", //
                             "###.Y..###", //
                             "##########"};
    draw(picture, 0, 0);
    EXPECT_EQ(steer(), kUnchanged);
    draw(picture, 1, 0);
    EXPECT_EQ(steer(), kRight) << "greedy takes the one-step goal without the check";
}

// ---------------------------------------------------------------------------------------
// Escape flood: arrivals at the head's neighbours.

using EscapeFlood = PathFinderTest;

TEST_F(EscapeFlood, DiagonalCellsAreEnteredOnlyWhenNothingElseIsLeft) {
    // "up" can be reached only through the head's up-right diagonal, three steps from
    // the tail; "down" lies five steps away. Held back, the diagonal lets "down" arrive
    // first, so "up" is the last arrival.
    draw({"#########", //
          "#########", //
          "#########", //
          "####....#", //
          "####@abc#", //
          "####.#..#", //
          "####....#", //
          "#########"},
         0, 0);
    EXPECT_EQ(steer(), kUp);
}

TEST_F(EscapeFlood, DiagonalsReleasedTogetherDoNotHoldEachOtherBack) {
    // Both right-hand diagonals are held until the tail's side is exhausted, then let go
    // together: "up" and "down" arrive next and "left", at the end of the long way round
    // from "up", comes third.
    draw({"##########", //
          "##########", //
          "##...#####", //
          "##.#.....#", //
          "##..@abc.#", //
          "####.....#", //
          "##########"},
         0, 0);
    EXPECT_EQ(steer(), kLeft);
}

// ---------------------------------------------------------------------------------------
// Choice chain: what is applied after the escape flood.

using ChoiceChain = PathFinderTest;

// The fruit lies in a pocket left of the head that the tail's side cannot reach.
const Picture kPocket = {"#########", //
                         "####....#", //
                         "#Y..@a..#", //
                         "####.b..#", //
                         "####.c..#", //
                         "####.d..#", //
                         "#########"};

TEST_F(ChoiceChain, DemoSnakeAvoidsAPocketAndTakesTheLastArrival) {
    draw(kPocket, 0, 0);
    EXPECT_EQ(steer(), kUp) << "down arrives first, up (through the diagonal) last";
    draw(kPocket, 1, 1);
    EXPECT_EQ(steer(), kLeft) << "a greedy snake goes for the fruit";
}

TEST_F(ChoiceChain, DemoSnakeTakesTheFruitStepOnceTheEscapeFloodArrivesThere) {
    draw({"#########", //
          "####....#", //
          "#Y..@a..#", //
          "#.##.b..#", //
          "#.##.c..#", //
          "#....d..#", //
          "#########"},
         0, 0);
    EXPECT_EQ(steer(), kLeft);
}

TEST_F(ChoiceChain, GreedySnakeAppliesAnUnconfirmedDiagonalTagWhole) {
    const Picture picture = {"#######", //
                             "##Y.###", //
                             "##..###", //
                             "##.@a.#", //
                             "###.b.#", //
                             "###.c.#", //
                             "###.d.#", //
                             "###...#", //
                             "#######"};
    draw(picture, 1, 1);
    EXPECT_EQ(steer(), kLeft) << "up-left applied whole: the horizontal step";
    draw(picture, 0, 0);
    EXPECT_EQ(steer(), kDown) << "the demo snake takes the only arrival";
}

// An open room; the escape flood from the tail c arrives up, then down, then left.
Picture openRoom(int row, int col, char ch) {
    Picture picture = {"###########", //
                       "#.........#", //
                       "#.........#", //
                       "#.........#", //
                       "#...@abc..#", //
                       "#.........#", //
                       "#.........#", //
                       "#.........#", //
                       "###########"};
    picture[row][col] = ch;
    return picture;
}

TEST_F(ChoiceChain, ChosenTagIsMatchedAgainstTheLastArrivalFirst) {
    // The up-left tag holds both "up" (first arrival) and "left" (third).
    draw(openRoom(2, 3, 'Y'));
    EXPECT_EQ(steer(), kLeft);
}

TEST_F(ChoiceChain, EggSideConfirmedByTheEscapeFloodComesBeforeTheTail) {
    // "down" leads to the side of player 1's egg; without the egg the tail (reached
    // through "up") would win.
    draw(openRoom(7, 4, 'E'));
    EXPECT_EQ(steer(), kDown);
}

TEST_F(ChoiceChain, TailStepOnlyWhenFollowingTheTailAndNotGrowing) {
    draw(openRoom(1, 1, '.'));
    EXPECT_EQ(steer(), kUp) << "the tail was reached through up";
    draw(openRoom(1, 1, '.'));
    snake.growth = 1;
    EXPECT_EQ(steer(), kLeft) << "growing: the last arrival";
    draw(openRoom(1, 1, '.'), 1, 0);
    EXPECT_EQ(steer(), kLeft) << "not following the tail: the last arrival";
}

TEST_F(ChoiceChain, BrokenEggNextToTheHeadCountsAsEnterable) {
    // The tail is reached through player 1's broken egg above the head. The escape flood
    // cannot enter the egg, but the tail step may still go onto it.
    draw(openRoom(3, 4, 'B'), 0, 1);
    EXPECT_EQ(steer(), kUp);
}

TEST_F(ChoiceChain, BoxedInSnakeTurnsTowardsItsTailNextToTheHead) {
    draw({"######", //
          "#@abc#", //
          "#gfed#", //
          "######"});
    EXPECT_EQ(steer(), kDown) << "tail seven back, escape cell with no arrivals";

    draw({"####", //
          "#@a#", //
          "#cb#", //
          "####"});
    EXPECT_EQ(steer(), kUnchanged) << "tail three back is no escape cell";
}

// ---------------------------------------------------------------------------------------
// Guards: cells off the grid and a full queue.

class Guards : public PathFinderTest {
  protected:
    // Clears the whole grid (no walls) and lays the steered adversary along `body`.
    void place(int headRow, int headCol, const std::vector<std::pair<int, int>> &body) {
        std::memset(board.cells, 0, sizeof board.cells);
        snake.greedy = 1;
        snake.followsTail = 1;
        snake.colourBase = kAdversaryBase;
        snake.headIndex = kPictureHeadIndex;
        snake.length = static_cast<int32_t>(body.size());
        snake.rows[kPictureHeadIndex] = static_cast<uint8_t>(headRow);
        snake.columns[kPictureHeadIndex] = static_cast<uint8_t>(headCol);
        if (headRow >= 0 && headRow < kBoardRows && headCol >= 0 && headCol < kBoardColumns) {
            board.cells[headRow][headCol] = kAdversaryBase + kUp;
        }
        for (size_t k = 1; k <= body.size(); ++k) {
            const int index = (kPictureHeadIndex - static_cast<int>(k) + kRingSize) % kRingSize;
            snake.rows[index] = static_cast<uint8_t>(body[k - 1].first);
            snake.columns[index] = static_cast<uint8_t>(body[k - 1].second);
            board.cells[body[k - 1].first][body[k - 1].second] =
                kAdversaryBase + (k == body.size() ? kTailTile : kBodyTile);
        }
    }

    // Whether the direction leads from the head to a cell on the grid.
    bool pointsOnGrid(int8_t direction) const {
        int row = headRow(snake);
        int col = headColumn(snake);
        row += direction == kUp ? -1 : direction == kDown ? 1 : 0;
        col += direction == kLeft ? -1 : direction == kRight ? 1 : 0;
        return row >= 0 && row < kBoardRows && col >= 0 && col < kBoardColumns;
    }
};

TEST_F(Guards, NeighbourPastTheLastColumnIsAnObstacleNotTheNextRow) {
    // Read row-major without a bound, "right" of column 63 would be column 0 of the next
    // row, where the fruit is. On the grid the nearest way is down-left, 62 steps.
    place(10, 63, {});
    board.cells[11][0] = kYellowFruit;
    EXPECT_EQ(steer(), kLeft);
}

TEST_F(Guards, SnakesOnTheEdgesOfAnUnwalledGridStayOnIt) {
    const int corners[4][2] = {{0, 0}, {0, 63}, {47, 0}, {47, 63}};
    for (const auto &corner : corners) {
        place(corner[0], corner[1], {});
        board.cells[24][32] = kYellowFruit;
        const int8_t direction = steer();
        EXPECT_TRUE(pointsOnGrid(direction)) << corner[0] << "," << corner[1];
    }
    // A long body along the bottom row, with a fruit above it, needs the escape flood.
    std::vector<std::pair<int, int>> body;
    for (int col = 11; col <= 30; ++col)
        body.push_back({47, col});
    place(47, 10, body);
    board.cells[40][20] = kYellowFruit;
    snake.greedy = 0;
    EXPECT_TRUE(pointsOnGrid(steer()));
    // A ring that places the head off the grid altogether leaves nothing to steer by.
    place(60, 70, {});
    EXPECT_EQ(steer(), kUnchanged);
}

TEST_F(Guards, TailOnTheGridEdgeIsNotMarkedButStillCounts) {
    // A boxed-in loop in the bottom-right corner with its tail below the head on row 47:
    // the tail cell gets no tail mark, yet the snake has a tail to wait for, so the last
    // rule applies a tail tag of 0 and the direction stays.
    place(46, 60, {{46, 61}, {46, 62}, {46, 63}, {47, 63}, {47, 62}, {47, 61}, {47, 60}});
    for (int col = 59; col <= 63; ++col)
        board.cells[45][col] = kWall;
    board.cells[46][59] = kWall;
    board.cells[47][59] = kWall;
    EXPECT_EQ(steer(), kUnchanged);
}

// Border walls, `heads` heads of player 1 packed row after row from the top-left, and
// the steered adversary's head at row 40 with a fruit right above it.
void packedHeads(int heads) {
    for (int row = 1; row < kBoardRows; ++row) {
        for (int col = 0; col < kBoardColumns; ++col) {
            const bool border =
                row == 1 || row == kBoardRows - 1 || col == 0 || col == kBoardColumns - 1;
            board.cells[row][col] = border ? kWall : kEmpty;
        }
    }
    int placed = 0;
    for (int row = 2; placed < heads; ++row) {
        for (int col = 1; col <= 62 && placed < heads; ++col, ++placed) {
            board.cells[row][col] = kPlayerBase[0] + kUp;
        }
    }
    board.cells[40][30] = kAdversaryBase + kUp;
    board.cells[39][30] = kYellowFruit;
}

TEST_F(Guards, FullQueueDropsNewEntriesAndKeepsTheQueuedOnes) {
    // The queue holds 999 entries. After 997 rival heads the "up" seed still fits and is
    // handled in its turn; after 999 heads no seed fits and nothing is found.
    place(40, 30, {});
    packedHeads(997);
    EXPECT_EQ(steer(), kUp);
    place(40, 30, {});
    packedHeads(999);
    EXPECT_EQ(steer(), kUnchanged);
}

TEST_F(Guards, SmallQueueKeepsOnlyWhatFits) {
    const Picture room = {"#######", //
                          "#.....#", //
                          "#.....#", //
                          "#..@..#", //
                          "#.....#", //
                          "#######"};
    const auto steerWithQueue = [this](int32_t capacity) {
        snake.direction = kNoDirection;
        chooseDirectionWithQueueCapacity(snake, capacity);
        return snake.direction;
    };
    // Capacity 2 holds one entry: the "up" seed, then one cell at a time straight up.
    draw(with(room, 2, 3, 'Y'));
    EXPECT_EQ(steerWithQueue(2), kUp);
    draw(with(room, 3, 2, 'Y'));
    EXPECT_EQ(steerWithQueue(2), kUnchanged);
    EXPECT_EQ(steerWithQueue(1000), kLeft);
    // Capacity 1 holds nothing at all.
    draw(with(room, 2, 3, 'Y'));
    EXPECT_EQ(steerWithQueue(1), kUnchanged);
}

// ---------------------------------------------------------------------------------------
// Property: on random positions a call is deterministic, changes nothing but the
// steered snake's direction, never turns onto the neck, and stays on the grid.

using RandomPositions = PathFinderTest;

constexpr int kPositions = 2000;

// A random empty cell inside the border; false if none turns up.
bool randomEmptyCell(std::mt19937 &gen, int &row, int &col) {
    std::uniform_int_distribution<int> rows(2, kBoardRows - 2);
    std::uniform_int_distribution<int> cols(1, kBoardColumns - 2);
    for (int tries = 0; tries < 200; ++tries) {
        row = rows(gen);
        col = cols(gen);
        if (board.cells[row][col] == kEmpty) return true;
    }
    return false;
}

// Lays a snake out by real moves: a head on an empty cell, then steps that turn now and
// then and look for an open way when the cell ahead blocks.
bool laySnake(std::mt19937 &gen, Snake &snake, int8_t colourBase) {
    initSnake(snake);
    snake.colourBase = colourBase;
    int row = 0;
    int col = 0;
    if (!randomEmptyCell(gen, row, col)) return false;
    setHeadCell(snake, row, col);
    snake.direction = static_cast<int8_t>(gen() % 4);
    setCellAndDraw(board, static_cast<int8_t>(colourBase + snake.direction), row, col);
    snake.growth = static_cast<int32_t>(gen() % 60);
    const int steps = static_cast<int>(gen() % 70);
    for (int step = 0; step < steps; ++step) {
        for (int tries = 0; tries < 6; ++tries) {
            const int8_t ahead = lookAhead(snake);
            const bool open = ahead < kWall || (ahead & 15) == kBrokenEggTile;
            if (open && (tries > 0 || gen() % 5 != 0)) break;
            const auto turn = static_cast<int8_t>(gen() % 4);
            if ((turn ^ snake.lastMoves[0]) != 1) snake.direction = turn;
        }
        stepSnake(snake, 3);
    }
    return true;
}

// Fills the board with a layout, up to three players and nine adversaries (some of
// them turned into eggs, intact or broken) and fruit of all three kinds.
void layRandomPosition(std::mt19937 &gen, int8_t levelType, bool placed[12]) {
    buildWalls(board, levelType);
    for (int i = 0; i < 12; ++i) {
        Snake &snake = i < 3 ? playerSnake[i] : adversarySnake[i - 3];
        placed[i] = gen() % 4 != 0 && laySnake(gen, snake, i < 3 ? kPlayerBase[i] : kAdversaryBase);
        if (placed[i] && gen() % 5 == 0) {
            const auto countdown = static_cast<int8_t>(static_cast<int>(gen() % 52) - 1);
            turnToEgg(snake, i < 3 && gen() % 2 == 0, countdown);
        }
    }
    const int fruits = static_cast<int>(gen() % 12);
    for (int i = 0; i < fruits; ++i) {
        int row = 0;
        int col = 0;
        if (randomEmptyCell(gen, row, col)) {
            setCellAndDraw(board, static_cast<int8_t>(kYellowFruit + gen() % 3), row, col);
        }
    }
}

// Steers one snake of the position and checks every promise of a call; false on the
// first broken one.
bool checkCall(std::mt19937 &gen, Snake &snake) {
    snake.greedy = static_cast<uint8_t>(gen() % 2);
    snake.followsTail = static_cast<uint8_t>(gen() % 2);
    const auto start = static_cast<int8_t>(static_cast<int>(gen() % 5) - 1);
    snake.direction = start;

    static Board boardBefore;
    static Snake playersBefore[3];
    static Snake adversariesBefore[9];
    std::memcpy(&boardBefore, &board, sizeof board);
    std::memcpy(playersBefore, playerSnake, sizeof playerSnake);
    std::memcpy(adversariesBefore, adversarySnake, sizeof adversarySnake);

    chooseDirection(snake);
    const int8_t chosen = snake.direction;
    EXPECT_TRUE(chosen == start || (chosen >= kUp && chosen <= kRight)) << int{chosen};
    EXPECT_EQ(std::memcmp(&boardBefore, &board, sizeof board), 0) << "the board changed";
    snake.direction = start;
    EXPECT_EQ(std::memcmp(playersBefore, playerSnake, sizeof playerSnake), 0);
    EXPECT_EQ(std::memcmp(adversariesBefore, adversarySnake, sizeof adversarySnake), 0)
        << "a record changed beyond the direction";

    chooseDirection(snake);
    EXPECT_EQ(snake.direction, chosen) << "a second call chose differently";

    if (chosen != start && snake.length >= 1) {
        const int neck = (snake.headIndex - 1 + kRingSize) % kRingSize;
        int row = headRow(snake);
        int col = headColumn(snake);
        row += chosen == kUp ? -1 : chosen == kDown ? 1 : 0;
        col += chosen == kLeft ? -1 : chosen == kRight ? 1 : 0;
        EXPECT_FALSE(row == snake.rows[neck] && col == snake.columns[neck]) << "onto the neck";
    }

    // A cramped queue drops entries but must still stay within its storage.
    snake.direction = start;
    chooseDirectionWithQueueCapacity(snake, static_cast<int32_t>(1 + gen() % 64));
    EXPECT_EQ(std::memcmp(&boardBefore, &board, sizeof board), 0);
    snake.direction = start;
    return !::testing::Test::HasFailure();
}

TEST_F(RandomPositions, CallsAreDeterministicAndWriteOnlyTheDirection) {
    int calls = 0;
    for (int position = 0; position < kPositions; ++position) {
        testing::resetGame(surface, static_cast<uint32_t>(position + 1));
        std::mt19937 gen(static_cast<uint32_t>(position));
        bool placed[12] = {};
        layRandomPosition(gen, static_cast<int8_t>(position % 8), placed);
        // Up to three of the living snakes are steered, starting from a random one.
        const int first = static_cast<int>(gen() % 12);
        int steered = 0;
        for (int n = 0; n < 12 && steered < 3; ++n) {
            const int i = (first + n) % 12;
            Snake &snake = i < 3 ? playerSnake[i] : adversarySnake[i - 3];
            if (!placed[i] || snake.length < 0) continue;
            ++steered;
            ++calls;
            if (!checkCall(gen, snake)) {
                FAIL() << "position " << position << ", snake " << i;
            }
        }
    }
    RecordProperty("calls", calls);
    EXPECT_GT(calls, kPositions * 2);
}

} // namespace
} // namespace ravela
