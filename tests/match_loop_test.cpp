// The loops of a match on a fake clock: deadline pacing without catch-up, the clock's
// wrap, the quicker wind-down and the 49-tick tail of a completed level, lives and layout
// at a level change, the pause banner, and two matches in a row.

#include <gtest/gtest.h>

#include <SDL.h>
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "display/board.h"
#include "display/surface.h"
#include "match/level.h"
#include "match/match_loop.h"
#include "match/match_state.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace ravela {
namespace {

// A clock that only moves when the loop waits, or when a test says time has passed.
struct FakeClock {
    uint32_t now;                 // the time getTicks reports
    uint32_t oversleep;           // extra milliseconds every delay takes
    std::vector<uint32_t> delays; // every delay asked for, in order
    int calls;                    // getTicks calls so far
    void (*onGetTicks)();         // runs before each getTicks answers: the test's script
};

FakeClock fake;

uint32_t fakeGetTicks() {
    ++fake.calls;
    if (fake.onGetTicks) fake.onGetTicks();
    return fake.now;
}

void fakeDelay(uint32_t milliseconds) {
    fake.delays.push_back(milliseconds);
    fake.now += milliseconds + fake.oversleep;
}

void pushKey(SDLKey symbol) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = symbol;
    SDL_PushEvent(&event);
}

void flushEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
}

class MatchLoopTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { surface = testing::makeSurface(32); }
    void SetUp() override {
        testing::resetGame(surface, 11);
        flushEvents();
        fake = FakeClock{};
        matchClock = MatchClock{fakeGetTicks, fakeDelay};
        matchState.adversaryCount = 0;
        matchState.matchRunning = 1;
    }
    void TearDown() override {
        resetMatchClock();
        flushEvents();
    }

    static inline SDL_Surface *surface = nullptr;
};

TEST_F(MatchLoopTest, TicksFollowAnAccumulatedDeadlineWithNoBurstAfterALateTick) {
    setupLevel();
    fake.now = 1000;
    TickLoop loop{0, 1000};

    ASSERT_TRUE(runTick(loop));
    EXPECT_EQ(loop.tickDeadline, 1120u);
    // The tick took 300 ms: no wait, and the schedule starts again from now.
    fake.now += 300;
    ASSERT_TRUE(runTick(loop));
    EXPECT_EQ(loop.tickDeadline, 1420u);
    ASSERT_TRUE(runTick(loop));
    // A tick of 50 ms waits only for the rest of its period.
    fake.now += 50;
    ASSERT_TRUE(runTick(loop));
    EXPECT_EQ(fake.delays, (std::vector<uint32_t>{120, 120, 70}));
    EXPECT_EQ(fake.now, 1660u);

    // A delay that oversleeps is made up by the next one, so the rate does not drift.
    fake.oversleep = 7;
    fake.delays.clear();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(runTick(loop));
    EXPECT_EQ(fake.delays, (std::vector<uint32_t>{120, 113, 113}));
    EXPECT_EQ(loop.tickDeadline, 1660u + 3 * 120);
}

TEST_F(MatchLoopTest, TheClockWrapNeitherFreezesNorRacesTheGame) {
    setupLevel();
    // The deadline wraps past zero while the clock has not yet.
    fake.now = 0xFFFFFFF0u;
    TickLoop loop{0, 0xFFFFFFF0u};
    ASSERT_TRUE(runTick(loop));
    ASSERT_TRUE(runTick(loop));
    EXPECT_EQ(fake.delays, (std::vector<uint32_t>{120, 120}));
    EXPECT_EQ(loop.tickDeadline, 0xFFFFFFF0u + 240u);

    // The clock wraps past a deadline that has not: the tick is late, not 49 days early.
    fake.delays.clear();
    loop.tickDeadline = 0xFFFFFF00u;
    fake.now = 0x10;
    ASSERT_TRUE(runTick(loop));
    EXPECT_TRUE(fake.delays.empty());
    EXPECT_EQ(loop.tickDeadline, 0x10u);
}

TEST_F(MatchLoopTest, ACompletedLevelShrinksEverySnakeThenEnds49TicksLater) {
    matchState.adversaryCount = 2;
    setupLevel();
    // Player 1 hatches and grows to two cells behind its head.
    Snake &player = playerSnake[0];
    player.direction = kRight;
    hatch(player);
    for (int i = 0; i < 3; ++i)
        stepSnake(player, 0);
    ASSERT_EQ(player.length, 2);
    for (int i = 0; i < 2; ++i)
        ASSERT_GE(adversarySnake[i].length, 1);
    const int32_t longest =
        std::max({player.length, adversarySnake[0].length, adversarySnake[1].length});
    const int headRowBefore = headRow(player);
    const int headColBefore = headColumn(player);
    const int32_t eggLength = playerSnake[1].length;

    // Paused during the shrink: it goes on all the same, with no match tick.
    matchState.paused = 1;
    matchState.pauseShown = 1;
    matchState.levelFruitCount = 15;
    TickLoop loop{0, 0};
    int ticks = 0;
    while (runTick(loop)) {
        ++ticks;
        ASSERT_LT(ticks, 500);
    }
    ++ticks; // the last tick, which leaves without waiting

    EXPECT_EQ(ticks, longest + 49);
    EXPECT_EQ(loop.levelEndCounter, 50);
    EXPECT_EQ(fake.delays.size(), static_cast<size_t>(ticks - 1));
    for (uint32_t delay : fake.delays)
        EXPECT_EQ(delay, 20u);
    // Everybody is down to the head, which stays on the Board; eggs are left alone.
    EXPECT_EQ(player.length, 0);
    EXPECT_EQ(adversarySnake[0].length, 0);
    EXPECT_EQ(adversarySnake[1].length, 0);
    EXPECT_EQ(board.cells[headRowBefore][headColBefore], kPlayerBase[0] + kRight);
    EXPECT_EQ(playerSnake[1].length, eggLength);
}

TEST_F(MatchLoopTest, TheTickOfTheFifteenthFruitStillMovesThenTheRateDrops) {
    setupLevel();
    const int32_t eggLength = playerSnake[0].length;
    matchState.levelFruitCount = 15;
    TickLoop loop{0, 0};
    ASSERT_TRUE(runTick(loop));
    EXPECT_EQ(playerSnake[0].length, eggLength + 1); // the match tick ran
    EXPECT_EQ(loop.levelEndCounter, 1);
    ASSERT_TRUE(runTick(loop));
    EXPECT_EQ(playerSnake[0].length, eggLength + 1); // and no longer runs
    EXPECT_EQ(fake.delays, (std::vector<uint32_t>{20, 20}));
}

TEST_F(MatchLoopTest, EscapeLetsTheRestOfTheTickRunAndEndsTheLevel) {
    fake.onGetTicks = [] {
        if (fake.calls == 1) pushKey(SDLK_ESCAPE); // before the first tick
    };
    matchState.levelFruitCount = 0;
    EXPECT_FALSE(playLevel());
    EXPECT_EQ(matchState.matchRunning, 0);
    EXPECT_EQ(fake.delays, (std::vector<uint32_t>{120}));
    EXPECT_EQ(playerSnake[0].length, -40); // the egg counted down in that tick
}

TEST_F(MatchLoopTest, ACompletedLevelGivesLivesResetsTheCountAndAdvancesTheLayout) {
    const int8_t before[] = {5, 1, 0, -1, -128, 126, 127};
    const int8_t after[] = {7, 3, 3, 3, 3, 127, 127};
    for (size_t i = 0; i < std::size(before); ++i) {
        playerSnake[i % 3].lives = before[i];
        matchState.levelType = 7;
        matchState.levelFruitCount = 15;
        completeLevel();
        EXPECT_EQ(playerSnake[i % 3].lives, after[i]) << "from " << int(before[i]);
        EXPECT_EQ(matchState.levelFruitCount, 0);
        EXPECT_EQ(matchState.levelType, 0);
    }
    matchState.levelType = 3;
    completeLevel();
    EXPECT_EQ(matchState.levelType, 4);
}

TEST_F(MatchLoopTest, ThePauseBannerShowsOnceAndTheBoardComesBackWhenThePauseEnds) {
    setupLevel();
    setCellAndDraw(board, kYellowFruit, 20, 30); // inside the banner's rectangle
    auto fruitPixels = [&] {
        std::vector<uint32_t> pixels;
        for (int y = 200; y < 210; ++y)
            for (int x = 300; x < 310; ++x)
                pixels.push_back(testing::pixelAt(surface, x, y));
        return pixels;
    };
    const std::vector<uint32_t> fruit = fruitPixels();
    const uint32_t outside = testing::pixelAt(surface, 20, 20);

    surfaceTrace.on = true;
    matchState.paused = 1;
    updatePauseBanner();
    EXPECT_EQ(matchState.pauseShown, 1);
    EXPECT_NE(surfaceTrace.calls.find('P'), std::string::npos);
    EXPECT_EQ(surfaceTrace.lastPresent[0], 0);
    EXPECT_EQ(surfaceTrace.lastPresent[1], 0);
    EXPECT_EQ(surfaceTrace.lastPresent[2], 0);
    EXPECT_EQ(surfaceTrace.lastPresent[3], 0);
    EXPECT_NE(fruitPixels(), fruit);
    EXPECT_EQ(testing::pixelAt(surface, 20, 20), outside);

    // Nothing more is drawn while the pause lasts.
    surfaceTrace.calls.clear();
    updatePauseBanner();
    EXPECT_TRUE(surfaceTrace.calls.empty());

    matchState.paused = 0;
    updatePauseBanner();
    EXPECT_EQ(matchState.pauseShown, 0);
    EXPECT_EQ(fruitPixels(), fruit);
}

TEST_F(MatchLoopTest, TwoReturnsInOneTickLeaveTheBannerAlone) {
    setupLevel();
    surfaceTrace.on = true;
    pushKey(SDLK_RETURN);
    pushKey(SDLK_RETURN);
    TickLoop loop{0, 0};
    ASSERT_TRUE(runTick(loop));
    EXPECT_EQ(matchState.paused, 0);
    EXPECT_EQ(matchState.pauseShown, 0);
    EXPECT_TRUE(surfaceTrace.calls.empty()); // no banner, and no repaint to take it away
}

// Script of the first match: the level is won after its second tick, and the match ends
// paused on the first tick of the next level.
void firstMatchScript() {
    if (matchState.levelType == 0 && fake.calls == 3) matchState.levelFruitCount = 15;
    if (matchState.levelType == 1 && matchState.matchRunning && matchState.pauseShown == 0 &&
        !matchState.paused) {
        pushKey(SDLK_RETURN);
        pushKey(SDLK_ESCAPE);
    }
}

// Script of the second match: it ends on its first tick.
void secondMatchScript() {
    if (fake.calls == 1) pushKey(SDLK_ESCAPE);
}

TEST_F(MatchLoopTest, TwoMatchesInARowKeepTheLayoutAndStartAgainUnpaused) {
    for (Snake &player : playerSnake)
        player.lives = 1;
    fake.onGetTicks = firstMatchScript;
    playMatch();
    EXPECT_EQ(matchState.matchRunning, 0);
    EXPECT_EQ(matchState.paused, 1);
    EXPECT_EQ(matchState.pauseShown, 1);
    EXPECT_EQ(matchState.levelType, 1);
    EXPECT_EQ(matchState.levelFruitCount, 0);
    for (const Snake &player : playerSnake)
        EXPECT_EQ(player.lives, 7); // 5, then +2
    // 2 ticks, then 50 of wind-down of which the last does not wait, then 1 tick.
    EXPECT_EQ(fake.delays.size(), 2u + 49u + 1u);

    fake.calls = 0;
    fake.delays.clear();
    fake.onGetTicks = secondMatchScript;
    playMatch();
    EXPECT_EQ(matchState.levelType, 1);
    EXPECT_EQ(board.cells[10][16], kWall); // the bars of layout 1
    EXPECT_EQ(board.cells[39][46], kWall);
    EXPECT_EQ(matchState.paused, 0);
    EXPECT_EQ(matchState.pauseShown, 0);
    for (const Snake &player : playerSnake)
        EXPECT_EQ(player.lives, 5);
    EXPECT_EQ(fake.delays.size(), 1u);
}

} // namespace
} // namespace ravela
