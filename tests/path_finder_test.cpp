// Tests of the adversaries' path-finder. Boards are drawn as small pictures, a few tests
// per stage of a call: route search, rival flood, shortcuts, escape cell, escape flood
// and choice chain; then the two guards (cells off the grid, a full queue) and a
// property test over random positions laid out by real moves.

#include "snakes/path_finder.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "display/board.h"
#include "match/level.h"
#include "snakes/snake.h"
#include "tests/fixture.h"
#include "tests/positions.h"

namespace ravela {
namespace {

using Picture = std::vector<std::string>;
using Cell = std::pair<int, int>;
using Marks = std::initializer_list<std::tuple<int, int, char>>;

// Picture legend:
//   #  wall                  .  empty                Y G R  yellow, green, red fruit
//   @  head of the steered adversary (colour base 64)
//   a..z  its body, from the neck (a) to the tail (the last letter used)
//   A V < >  heads of player 1 (another colour) facing up, down, left, right
//   8  a fellow adversary's head (the same colour) facing up
//   E B  player 1's intact and broken egg        Z  an adversary's broken egg
// Player 1's colour base is 16 and the adversaries' 64; heads face up, down, left, right
// at offsets 0 to 3, and eggs are broken at 14 and intact at 15.
constexpr char kChars[] = ".#YGRAV<>8EBZ";
constexpr int8_t kCodes[] = {0, 15, 1, 2, 3, 16, 17, 18, 19, 64, 31, 30, 78};

Picture with(Picture picture, Marks marks) {
    for (const auto &[row, col, ch] : marks)
        picture[row][col] = ch;
    return picture;
}
// An open room of empty cells with some characters placed.
Picture room(int rows, int cols, Marks marks) {
    return with(Picture(rows, std::string(cols, '.')), marks);
}

class PathFinderTest : public testing::GameTest {
  protected:
    // Fills the grid with `fill`, draws the picture with its top-left corner at `at`, and
    // lays the steered adversary along '@' and its letters, the head at ring index 0 so
    // that the body wraps round the ring.
    void draw(Picture pic, int greedy = 1, int follows = 1, Cell at = {2, 1}, int fill = 15) {
        std::memset(board.cells, fill, sizeof board.cells);
        std::map<char, Cell> body; // the head, then the letters in order
        for (int r = 0; r < static_cast<int>(pic.size()); ++r) {
            for (int c = 0; c < static_cast<int>(pic[r].size()); ++c) {
                const char ch = pic[r][c], *legend = std::strchr(kChars, ch);
                const Cell cell{at.first + r, at.second + c};
                board.cells[cell.first][cell.second] = legend ? kCodes[legend - kChars] : 0;
                if (!legend) body[ch] = cell;
            }
        }
        snake = Snake{};
        snake.greedy = greedy;
        snake.followsTail = follows;
        snake.colourBase = kAdversaryBase;
        snake.length = static_cast<int32_t>(body.size()) - 1;
        for (int k = 0; const auto &[ch, cell] : body) {
            snake.rows[ringSlot(-k)] = static_cast<uint8_t>(cell.first);
            snake.columns[ringSlot(-k)] = static_cast<uint8_t>(cell.second);
            const int tile = k == 0 ? kUp : k == snake.length ? 4 : 12; // head, tail, body
            board.cells[cell.first][cell.second] = static_cast<int8_t>(kAdversaryBase + tile);
            ++k;
        }
    }
    // Runs a call from "no direction" (through chooseDirection unless a queue capacity is
    // given) and returns the direction it leaves.
    int8_t steer(int32_t capacity = 0) {
        snake.direction = kNoDirection;
        if (capacity > 0) chooseDirectionWithQueueCapacity(snake, capacity);
        if (capacity == 0) chooseDirection(snake);
        return snake.direction;
    }
    int8_t steered(const Picture &picture, int greedy = 1, int follows = 1) {
        draw(picture, greedy, follows);
        return steer();
    }

    Snake snake;
};

TEST_F(PathFinderTest, RouteSearchTiesGoToTheEarlierEntryAndDiagonalSeedsGiveTwoBitTags) {
    EXPECT_EQ(steered({".Y.", ".@.", ".Y."}), kUp) << "up is queued before down";
    EXPECT_EQ(steered({"Y@Y"}), kLeft) << "left is queued before right";
    // A fruit one step beyond a diagonal seed is reached through it; with two bits the
    // horizontal one wins.
    const Picture open = room(5, 5, {{2, 2, '@'}});
    for (const auto &[row, col] : {Cell{0, 1}, Cell{0, 3}, Cell{4, 1}, Cell{4, 3}})
        EXPECT_EQ(steered(with(open, {{row, col, 'Y'}})), col == 1 ? kLeft : kRight) << row;
    EXPECT_EQ(steered(with(open, {{0, 1, 'Y'}, {2, 1, '#'}})), kUp) << "a side closed: no seed";
    EXPECT_EQ(steered(with(open, {{0, 1, 'Y'}, {2, 0, 'E'}})), kUp) << "an egg side: no seed";
    // A snake shorter than 2 without a goal keeps the direction it had.
    EXPECT_EQ(steered({".@a"}), kNoDirection);
}

TEST_F(PathFinderTest, RouteSearchEggsTheNeckAndAnUnreachableTail) {
    // Z, an adversary's broken egg, is an obstacle; B, player 1's, is a goal.
    EXPECT_EQ(steered({".....", "Z.@.B", "....."}), kRight);
    // The cell above player 1's intact egg is an egg side that the flood does not cross.
    EXPECT_EQ(steered({"Y...@..", "##E"}), kNoDirection);
    EXPECT_EQ(steered({"Y...@.."}), kLeft);
    // Had the neck not blocked the down-right seed, the head-front goal would turn the
    // snake down into its own neck.
    EXPECT_EQ(steered({".......", ".......", "..@....", "..a...<", "......."}), kRight);
    // The fruit below is found first, but the tail is walled in, so the flood goes on
    // round the top and touches body cell c. The escape flood from c reaches only "up".
    const Picture walledTail = {"........", "......", "##@abcd", "##.", "##Y"};
    EXPECT_EQ(steered(walledTail, 0, 0), kUp);
    EXPECT_EQ(steered(walledTail, 1, 1), kDown) << "greedy takes a one-step goal at once";
}

// Rooms joined by a narrow door at row 1, column 8: the fruit in the left room, the
// steered head far right, and a rival head facing the wall `distance` steps from the door.
Picture doorRooms(int distance) {
    const std::string side = "........#" + std::string(21, '.');
    return with({side, std::string(30, '.'), side},
                {{0, 0, 'Y'}, {1, 28, '@'}, {0, 7 + distance, 'A'}});
}

TEST_F(PathFinderTest, RivalFloodSealsNarrowCellsUpToSevenStepsFromTheHead) {
    for (const int distance : {2, 7, 8, 9}) {
        EXPECT_EQ(steered(doorRooms(distance)), distance <= 7 ? kNoDirection : kLeft) << distance;
        // The same door in a floor between two rooms: a cell closed left and right.
        const Picture floor = room(
            30, 3, {{0, 0, 'Y'}, {8, 0, '#'}, {8, 2, '#'}, {28, 1, '@'}, {7 + distance, 0, '<'}});
        EXPECT_EQ(steered(floor), distance <= 7 ? kNoDirection : kUp) << "floor " << distance;
    }
    // A dead end near a rival is sealed as a door is: it is closed on both sides of an axis.
    EXPECT_EQ(steered({"#Y#######", "A.......@", "........."}), kNoDirection);
    // A rival that first walks up a three-cell spur floods on at distance 3: the door is
    // then 7 steps away from spur column 11 and 8 from column 12.
    for (const int spur : {11, 12}) {
        Picture picture = with(doorRooms(2), {{0, 9, '.'}});
        for (const char ch : {'.', '.', 'V'})
            picture.push_back(with({std::string(30, '#')}, {{0, spur, ch}})[0]);
        EXPECT_EQ(steered(picture), spur == 11 ? kNoDirection : kLeft) << spur;
    }
}

TEST_F(PathFinderTest, RivalFloodCorridorsAndFellowHeads) {
    // A rival at the closed end of a corridor walks it without sealing it; with room to
    // turn it floods the corridor normally and seals it.
    const Picture corridor = {"...........@", "#.##########", "#.##########", "#.....Y...>"};
    EXPECT_EQ(steered(corridor), kLeft);
    EXPECT_EQ(steered(with(corridor, {{2, 9, '.'}, {2, 10, '.'}})), kNoDirection);
    // The fruit two cells from a fellow's head is closed in the first pass only.
    const Picture fellow = room(7, 16, {{3, 1, 'Y'}, {3, 3, '8'}, {3, 6, '@'}});
    EXPECT_EQ(steered(fellow), kLeft) << "the only goal: the second pass takes it";
    EXPECT_EQ(steered(with(fellow, {{3, 15, 'Y'}})), kRight) << "the first pass goes right";
}

TEST_F(PathFinderTest, ShortcutsHeadFrontGoal) {
    const auto front = [](int row, int col, char goal, Marks more = {}) {
        return with(room(6, 8, {{2, 4, '@'}, {row, col - 1, '>'}, {row, col, goal}}), more);
    };
    EXPECT_EQ(steered(front(3, 1, 'Y')), kLeft) << "a plain goal: the down-left tag whole";
    EXPECT_EQ(steered(front(3, 1, '#')), kNoDirection) << "a wall stays an obstacle";
    // 1 row and 3 columns away: vertical. The head front beats a later egg side and an
    // earlier one.
    EXPECT_EQ(steered(front(3, 1, '.', {{4, 1, 'E'}})), kDown) << "a later egg side";
    EXPECT_EQ(steered(front(3, 1, '.', {{2, 1, 'E'}})), kDown) << "an earlier egg side";
    EXPECT_EQ(steered(front(4, 2, '.')), kLeft) << "2 rows, 2 columns: horizontal";
    EXPECT_EQ(steered(front(5, 3, '.')), kLeft) << "3 rows, 1 column: horizontal";
    EXPECT_EQ(steered(front(1, 2, '.', {{0, 4, 'E'}})), kLeft) << "egg side above: no up-left seed";
    // A one-bit tag is applied whole on either axis, even by a snake that is not greedy.
    // The rival above sits in a pocket that only the cell above the head leads into: the
    // escape flood never arrives there, yet meeting the rival head-on still goes up.
    EXPECT_EQ(steered(front(2, 2, '.'), 0), kLeft);
    const Picture pocket = {"###V###", "##...##", "###.###", "...@...", "...a...", "...b..."};
    EXPECT_EQ(steered(pocket, 0, 0), kUp);
}

TEST_F(PathFinderTest, EscapeCellTouchedCellsNextToTheHead) {
    // Only e (k = 5, above the head) was touched: no escape cell, the goal's step stands.
    EXPECT_EQ(steered({"hg", "#fedc", "##@ab", "##..", "##.Y"}, 0, 0), kDown);
    // i (k = 9) and g (k = 7) lie next to the head; d (k = 4) was touched beyond the fruit.
    // The window after i ends at k = 6, so g is the escape cell: walled in, it confirms
    // nothing. Starting from d would have confirmed the step right.
    const Picture window = {"##k", "##j", "#hi", "fg@.", "e#a.", "dcb.", ".Y.."};
    EXPECT_EQ(steered(window, 0, 0), kNoDirection);
    EXPECT_EQ(steered(window, 1, 0), kRight) << "greedy takes the one-step goal unchecked";
    // Three positions after the tail g lies d, touched and not next to the head: the escape
    // cell, from which the flood reaches "right". From g it would reach nothing.
    EXPECT_EQ(steered({"fg@.", "e#a.", "dcb.", "...."}), kRight);
    // The window after g (k = 7) ends at k = 4, before c (k = 3, below the head), so g is the
    // escape cell and the snake turns to its tail. Reaching c, the window would leave the
    // snake no escape cell and its direction as it was.
    EXPECT_EQ(steered({"fg@a", "edcb", "#..#", "..Y."}, 0, 0), kLeft);
}

TEST_F(PathFinderTest, EscapeFloodDiagonalCellsAreHeldBackUntilNothingElseIsLeft) {
    // "up" is reached only through the head's up-right diagonal, three steps from the
    // tail; "down" is five away but arrives first, so "up" is the last arrival.
    EXPECT_EQ(steered({"....", "@abc", ".#..", "...."}, 0, 0), kUp);
    // Both right-hand diagonals are let go together: "up" and "down" arrive next, and
    // "left", at the end of the long way round from "up", comes third.
    EXPECT_EQ(steered({"...", ".#.....", "..@abc.", "##....."}, 0, 0), kLeft);
}

TEST_F(PathFinderTest, ChoiceChainFruitStepOnlyWhenConfirmedUnlessGreedy) {
    // The fruit lies in a pocket left of the head that the tail's side cannot reach.
    const Picture pocket = {"###....", "Y..@a..", "###.b..", "###.c..", "###.d.."};
    EXPECT_EQ(steered(pocket, 0, 0), kUp) << "down arrives first, up (the diagonal) last";
    EXPECT_EQ(steered(pocket, 1, 1), kLeft) << "a greedy snake goes for the fruit";
    // A diagonal tag is checked for a greedy snake too: it keeps the bit the flood confirms.
    const Picture below = room(7, 9, {{3, 3, '@'}, {4, 3, 'a'}, {5, 3, 'b'}, {6, 3, 'c'}});
    const Picture above = room(7, 9, {{3, 3, '@'}, {2, 3, 'a'}, {1, 3, 'b'}, {0, 3, 'c'}});
    for (const int greedy : {0, 1}) {
        for (const int col : {1, 5}) {
            EXPECT_EQ(steered(with(below, {{1, col, 'Y'}}), greedy), kUp) << greedy << col;
            EXPECT_EQ(steered(with(above, {{5, col, 'Y'}}), greedy), kDown) << greedy << col;
        }
    }
    // A way round from the fruit to the tail's side confirms the step left.
    const Picture loop = {"###....", "Y..@a..", ".##.b..", ".##.c..", "....d.."};
    EXPECT_EQ(steered(loop, 0, 0), kLeft);
    // An up-left tag that the flood does not confirm: greedy applies it whole.
    const Picture corner = {"#Y.", "#..", "#.@a.", "##.b.", "##.c.", "##.d.", "##..."};
    EXPECT_EQ(steered(corner, 1, 1), kLeft);
    EXPECT_EQ(steered(corner, 0, 0), kDown) << "the demo snake takes the only arrival";
}

TEST_F(PathFinderTest, ChoiceChainLaterRulesInTheirOrder) {
    // An open room; the escape flood from the tail c arrives up, then down, then left.
    const Picture open = room(7, 9, {{3, 3, '@'}, {3, 4, 'a'}, {3, 5, 'b'}, {3, 6, 'c'}});
    EXPECT_EQ(steered(with(open, {{1, 2, 'Y'}})), kLeft) << "up-left matched, last arrival first";
    EXPECT_EQ(steered(with(open, {{6, 3, 'E'}})), kDown) << "a confirmed egg side before the tail";
    EXPECT_EQ(steered(with(open, {{1, 3, 'E'}})), kUp) << "an egg side the first arrival confirms";
    EXPECT_EQ(steered(with(open, {{0, 3, 'Y'}}), 0, 0), kUp) << "a goal the first arrival confirms";
    EXPECT_EQ(steered(open), kUp) << "the tail, reached through up";
    EXPECT_EQ(steered(open, 1, 0), kLeft) << "not following the tail: the last arrival";
    draw(open);
    snake.growth = 1;
    EXPECT_EQ(steer(), kLeft) << "growing: the last arrival";
    // The tail is reached through player 1's broken egg above the head, which the
    // escape flood cannot enter but the step may.
    EXPECT_EQ(steered(with(open, {{2, 3, 'B'}}), 0, 1), kUp);
}

TEST_F(PathFinderTest, GuardsNeighboursOffTheGridAreObstacles) {
    // Read row-major without a bound, "right" of column 63 would be column 0 of the next
    // row, where the fruit is. On the grid the nearest way is down-left, 62 steps.
    draw({"@"}, 1, 1, {10, 63}, kEmpty);
    board.cells[11][0] = kYellowFruit;
    EXPECT_EQ(steer(), kLeft);
    // In the corners of an unwalled grid the diagonal seed inside reaches the far fruit.
    for (const Cell &corner : {Cell{0, 0}, Cell{0, 63}, Cell{47, 0}, Cell{47, 63}}) {
        draw({"@"}, 1, 1, corner, kEmpty);
        board.cells[24][32] = kYellowFruit;
        EXPECT_EQ(steer(), corner.second == 0 ? kRight : kLeft) << corner.first;
    }
    // A wall beside the head is no way out, though the escape flood arrives at one on row 0.
    draw({"#..", "@ab", "dc."}, 1, 1, {0, 5});
    EXPECT_EQ(steer(), kDown);
    // Walled in, the fruit further down column 0 is out of reach: no way runs round the grid.
    draw({".@"}, 1, 1, {10, 0}, kWall);
    board.cells[30][0] = kYellowFruit;
    EXPECT_EQ(steer(), kNoDirection);
}

TEST_F(PathFinderTest, ChoiceChainBoxedInSnakeTurnsToItsTailUnlessItLiesOnTheGridEdge) {
    // The tail seven back is an escape cell with no arrivals, so the last rule turns the
    // snake to its tail; three back it is no escape cell and the direction stays.
    EXPECT_EQ(steered({"@abc", "gfed"}), kDown);
    EXPECT_EQ(steered({"@a", "cb"}), kNoDirection);
    // Two back, the tail lies diagonal to the head: an escape cell, and the snake turns to it.
    EXPECT_EQ(steered({"@a", ".b"}), kDown);
    // Without arrivals the snake turns the tail's way, not to any free cell: the tail lies
    // beyond player 1's broken egg, which the step may take and the escape flood may not
    // cross, and the dead end below stays unchosen.
    EXPECT_EQ(steered({"#c.#", "#bB#", "#a@#", "##.#"}, 0, 0), kUp);
    // On row 47 the tail gets no tail mark, yet the tail tag is 0, and the last rule
    // applies that: the direction stays.
    draw({"@abc", "gfed"}, 1, 1, {46, 60});
    EXPECT_EQ(steer(), kNoDirection);
    // On row 1 it does get the mark, and the snake turns up to its tail.
    draw({"gfed", "@abc"}, 1, 1, {1, 20});
    EXPECT_EQ(steer(), kUp);
}

// A snake without a tail to look for (fewer than two cells behind its head) ends its
// search at the first goal it meets, so few entries ever wait in the queue; a flood of the whole
// room queues many more, and the most that wait at once is the same count whether or not the
// queue's indexes wrap round. An egg does not search at all.
TEST_F(PathFinderTest, AShortSnakeEndsItsSearchAtTheFirstGoal) {
    for (const char *body : {"", "a"}) {
        draw(room(15, 15, {{7, 7, '@'}, {7, 6, 'Y'}, {8, 7, body[0] ? body[0] : '.'}}));
        snake.direction = kNoDirection;
        EXPECT_LE(chooseDirectionWithQueueCapacity(snake, 1000), 9) << "length " << snake.length;
        EXPECT_EQ(snake.direction, kLeft);
    }
    // So does one whose only body cell lies on the bottom row, where no tail mark goes,
    // even with the whole board open beyond the goal.
    draw({"Y@", ".a"}, 1, 1, {46, 30}, 0);
    snake.direction = kNoDirection;
    EXPECT_LE(chooseDirectionWithQueueCapacity(snake, 1000), 9) << "tail on the bottom row";
    EXPECT_EQ(snake.direction, kLeft);
    draw(room(15, 15, {{7, 7, '@'}}));
    const int32_t peak = chooseDirectionWithQueueCapacity(snake, 1000);
    EXPECT_GT(peak, 9);
    EXPECT_EQ(chooseDirectionWithQueueCapacity(snake, 64), peak) << "225 cells through 63 slots";
    snake.length = eggLength(0);
    snake.direction = kNoDirection;
    EXPECT_EQ(chooseDirectionWithQueueCapacity(snake, 1000), 0) << "an egg queues nothing";
    EXPECT_EQ(snake.direction, kNoDirection);
}

TEST_F(PathFinderTest, GuardsFullQueueDropsNewEntriesAndKeepsTheQueuedOnes) {
    // Capacity 2 holds one entry: the "up" seed, then one cell at a time straight up.
    const Picture open = room(4, 5, {{2, 2, '@'}});
    draw(with(open, {{1, 2, 'Y'}}));
    EXPECT_EQ(steer(2), kUp);
    EXPECT_EQ(steer(1), kNoDirection) << "capacity 1 holds nothing";
    // A capacity below 1 is taken as 1: every entry is dropped, and the direction stays.
    for (const int32_t capacity : {0, -1}) {
        snake.direction = kNoDirection;
        EXPECT_EQ(chooseDirectionWithQueueCapacity(snake, capacity), 1) << capacity;
        EXPECT_EQ(snake.direction, kNoDirection) << capacity;
    }
    draw(with(open, {{2, 1, 'Y'}}));
    EXPECT_EQ(steer(2), kNoDirection);
    EXPECT_EQ(steer(1000), kLeft);
    // A dropped cell stays unseen, so it is queued once there is room.
    draw(with(open, {{1, 1, 'Y'}}));
    EXPECT_EQ(steer(4), kLeft);
    // The frame below the bottom row takes no room, so three entries still reach the fruit.
    draw({"@...Y"}, 1, 1, {47, 0});
    EXPECT_EQ(steer(4), kRight);
    // Nor do the walls and body cells beside the escape flood: from the tail b it runs
    // along the row above the snake to "up" with room for four entries.
    draw({"...", "@ab"}, 1, 1, {46, 0});
    EXPECT_EQ(steer(5), kUp);
    // In play the queue holds 999 entries: after 998 rival heads the "up" seed just fits
    // and finds the fruit; after 999 heads no seed fits.
    for (const int heads : {998, 999}) {
        draw(room(45, 62, {{38, 29, '@'}, {37, 29, 'Y'}}));
        for (int i = 0; i < heads; ++i)
            board.cells[2 + i / 62][1 + i % 62] = kPlayerBase[0] + kUp;
        EXPECT_EQ(steer(), heads == 998 ? kUp : kNoDirection) << heads;
    }
}

// Property: on positions laid out by real moves from seeded random bytes, a call is
// deterministic, changes nothing but the steered snake's direction, never fills the play
// queue and never leads off the grid or onto the neck; a cramped queue keeps within its
// storage too.
TEST_F(PathFinderTest, RandomPositionsKeepEveryPromise) {
    std::mt19937 gen(1);
    std::vector<uint8_t> data(1024);
    int calls = 0;
    for (int position = 0; position < 300; ++position) {
        for (uint8_t &byte : data)
            byte = static_cast<uint8_t>(gen());
        testing::Bytes bytes{data.data(), data.size()};
        testing::buildPosition(bytes);
        for (int i = 0; i < 3 + adversariesInPlay(); ++i) {
            Snake &s = testing::snakeNo(i);
            if (isEgg(s)) continue;
            s.greedy = gen() % 2;
            s.followsTail = gen() % 2;
            const int8_t start = s.direction = static_cast<int8_t>(gen() % 5 - 1); // -1 to 3
            const std::string before = testing::gameState();
            ASSERT_LT(chooseDirectionWithQueueCapacity(s, 1000), 999) << "full, " << position;
            const int8_t chosen = s.direction;
            chooseDirection(s);
            ASSERT_EQ(s.direction, chosen) << "a second call chose differently, " << position;
            chooseDirectionWithQueueCapacity(s, 1 + gen() % 64);
            s.direction = start;
            ASSERT_EQ(testing::gameState(), before) << position;
            ++calls;
            if (chosen == start) continue;
            const int row = headRow(s) + (chosen == kDown) - (chosen == kUp);
            const int col = headColumn(s) + (chosen == kRight) - (chosen == kLeft);
            const int neck = ringSlot(s.headIndex - 1);
            ASSERT_TRUE(chosen >= kUp && chosen <= kRight) << position;
            ASSERT_TRUE(onGrid(row, col)) << "off the grid, " << position;
            ASSERT_FALSE(s.length > 0 && row == s.rows[neck] && col == s.columns[neck]) << "neck";
        }
    }
    EXPECT_GT(calls, 1500);
}

} // namespace
} // namespace ravela
