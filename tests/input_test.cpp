// The input poll: the direction rule with its held second turn, the pause and match keys,
// focus events, keys that must do nothing, the players' eggs, and a quit request.
// Events are pushed into SDL's queue on the dummy video driver.

#include <gtest/gtest.h>

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

#include "display/board.h"
#include "match/input.h"
#include "match/level.h"
#include "match/match_state.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace ravela {
namespace {

constexpr int8_t kP1 = 16, kP2 = 32, kP3 = 48;

void pushKey(SDLKey symbol, SDLMod mod = KMOD_NONE, uint8_t type = SDL_KEYDOWN) {
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = symbol;
    event.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void pushFocus(uint8_t gain, uint8_t state) {
    SDL_Event event{};
    event.type = SDL_ACTIVEEVENT;
    event.active.type = SDL_ACTIVEEVENT;
    event.active.gain = gain;
    event.active.state = state;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void pushQuit() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

int pendingEvents() {
    SDL_Event event;
    int n = 0;
    while (SDL_PollEvent(&event))
        ++n;
    return n;
}

class InputTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (surface == nullptr) surface = testing::makeSurface(32);
    }
    void SetUp() override {
        testing::resetGame(surface, 3);
        buildWalls(board, 0);
        pendingEvents(); // start from an empty queue
        matchState.matchRunning = 1;
    }
    void TearDown() override { pendingEvents(); }

    // A living snake of one cell behind the head at (row, col), last moved in `direction`.
    static Snake &moving(int p, int row, int col, int8_t direction) {
        Snake &snake = playerSnake[p];
        initSnake(snake);
        snake.colourBase = kPlayerBase[p];
        snake.lives = 5;
        snake.growth = 0;
        snake.direction = direction;
        const int dr = direction == kUp ? -1 : direction == kDown ? 1 : 0;
        const int dc = direction == kLeft ? -1 : direction == kRight ? 1 : 0;
        setHeadCell(snake, row - dr, col - dc);
        advanceHead(snake);
        return snake;
    }

    static inline SDL_Surface *surface = nullptr;
};

TEST_F(InputTest, KeyTableSteersEachPlayerByItsOwnKeys) {
    // Every player last moved up, so each horizontal key steers the next step at once.
    moving(0, 20, 10, kUp);
    moving(1, 20, 20, kUp);
    moving(2, 20, 30, kUp);
    pushKey(SDLK_LEFT);
    pushKey(SDLK_d);
    pushKey(SDLK_j);
    pollInput();
    EXPECT_EQ(playerSnake[0].direction, kLeft);
    EXPECT_EQ(playerSnake[1].direction, kRight);
    EXPECT_EQ(playerSnake[2].direction, kLeft);

    // And after a horizontal move each vertical key does.
    moving(0, 20, 10, kRight);
    moving(1, 20, 20, kRight);
    moving(2, 20, 30, kRight);
    pushKey(SDLK_DOWN);
    pushKey(SDLK_w);
    pushKey(SDLK_k);
    pollInput();
    EXPECT_EQ(playerSnake[0].direction, kDown);
    EXPECT_EQ(playerSnake[1].direction, kUp);
    EXPECT_EQ(playerSnake[2].direction, kDown);
    for (const Snake &snake : playerSnake)
        EXPECT_EQ(snake.pendingDirection, kNoDirection);
}

TEST_F(InputTest, TwoTurnsInOneTickAreMadeOnTwoConsecutiveSteps) {
    Snake &snake = moving(0, 20, 20, kRight);
    pushKey(SDLK_UP);
    pushKey(SDLK_LEFT);
    pollInput();
    EXPECT_EQ(snake.direction, kUp);
    EXPECT_EQ(snake.pendingDirection, kLeft);

    stepSnake(snake, 0);
    EXPECT_EQ(headRow(snake), 19);
    EXPECT_EQ(headColumn(snake), 20);
    stepSnake(snake, 0);
    EXPECT_EQ(headRow(snake), 19);
    EXPECT_EQ(headColumn(snake), 19);
}

TEST_F(InputTest, ALaterRightAngleKeyOverridesAndAReverseIsHeldThenDropped) {
    Snake &snake = moving(0, 20, 20, kRight);
    pushKey(SDLK_UP);
    pushKey(SDLK_DOWN);
    pollInput();
    EXPECT_EQ(snake.direction, kDown);
    EXPECT_EQ(snake.pendingDirection, kNoDirection);

    moving(0, 20, 20, kRight);
    pushKey(SDLK_LEFT);
    pollInput();
    EXPECT_EQ(snake.direction, kRight);
    EXPECT_EQ(snake.pendingDirection, kLeft);
    stepSnake(snake, 0);
    EXPECT_EQ(headColumn(snake), 21);
    EXPECT_EQ(snake.direction, kRight);
    EXPECT_EQ(snake.pendingDirection, kNoDirection);
}

TEST_F(InputTest, ALivingPlayerKeepsItsDirectionAcrossPolls) {
    // Keys pressed while paused still steer the first step after the pause.
    Snake &snake = moving(1, 20, 20, kDown);
    matchState.paused = 1;
    pushKey(SDLK_a);
    pollInput();
    pollInput();
    EXPECT_EQ(snake.direction, kLeft);
}

TEST_F(InputTest, EggsWaitForAKeyEveryPollAndAnyOfTheirKeysSetsTheDirection) {
    Snake &egg = playerSnake[2];
    initSnake(egg);
    egg.colourBase = kP3;
    setHeadCell(egg, 10, 10);
    egg.length = -20;
    egg.direction = kUp;
    egg.lastMoves[0] = kUp;

    pollInput();
    EXPECT_EQ(egg.direction, kNoDirection);
    EXPECT_EQ(board.cells[10][10], kP3 + 15); // its empty cell shows the egg again

    // Along the axis of the last move, yet straight into direction: the egg has none.
    pushKey(SDLK_i);
    pollInput();
    EXPECT_EQ(egg.direction, kUp);
    EXPECT_EQ(egg.pendingDirection, kNoDirection);
    pollInput();
    EXPECT_EQ(egg.direction, kNoDirection);
}

TEST_F(InputTest, EggUpkeepShowsABrokenEggAndLeavesACoveredOneAlone) {
    Snake &broken = playerSnake[0];
    initSnake(broken);
    broken.colourBase = kP1;
    setHeadCell(broken, 10, 10);
    broken.length = -1;
    setCellAndDraw(board, kP1 + 15, 10, 10); // it broke on its last step

    Snake &covered = playerSnake[1];
    initSnake(covered);
    covered.colourBase = kP2;
    setHeadCell(covered, 10, 20);
    covered.length = -30;
    setCellAndDraw(board, kAdversaryBase + 13, 10, 20);

    pollInput();
    EXPECT_EQ(board.cells[10][10], kP1 + 14);
    EXPECT_EQ(board.cells[10][20], kAdversaryBase + 13);
    EXPECT_EQ(broken.length, -1);
    EXPECT_EQ(covered.length, -30);
}

TEST_F(InputTest, ReturnTogglesThePauseAndTwoPressesCancelOut) {
    pushKey(SDLK_RETURN);
    pollInput();
    EXPECT_EQ(matchState.paused, 1);
    pushKey(SDLK_RETURN);
    pollInput();
    EXPECT_EQ(matchState.paused, 0);
    pushKey(SDLK_RETURN);
    pushKey(SDLK_RETURN);
    pollInput();
    EXPECT_EQ(matchState.paused, 0);
    EXPECT_EQ(matchState.matchRunning, 1);
}

TEST_F(InputTest, FocusLostOrGainedPausesAndOnlyReturnResumes) {
    pushFocus(0, SDL_APPINPUTFOCUS);
    pollInput();
    EXPECT_EQ(matchState.paused, 1);
    pushFocus(1, SDL_APPINPUTFOCUS);
    pollInput();
    EXPECT_EQ(matchState.paused, 1);
    pushKey(SDLK_RETURN);
    pollInput();
    EXPECT_EQ(matchState.paused, 0);

    pushFocus(1, SDL_APPACTIVE);
    pollInput();
    EXPECT_EQ(matchState.paused, 1);

    matchState.paused = 0;
    pushFocus(0, SDL_APPMOUSEFOCUS);
    pollInput();
    EXPECT_EQ(matchState.paused, 0);
}

TEST_F(InputTest, EscapeEndsTheMatchAndOtherKeysOrEventsDoNothing) {
    Snake &snake = moving(0, 20, 20, kRight);
    pushKey(SDLK_KP_ENTER);
    pushKey(SDLK_RETURN, KMOD_NONE, SDL_KEYUP);
    pushKey(SDLK_UP, KMOD_NONE, SDL_KEYUP);
    pushKey(SDLK_SPACE);
    pushKey(SDLK_KP8);
    pollInput();
    EXPECT_EQ(matchState.paused, 0);
    EXPECT_EQ(matchState.matchRunning, 1);
    EXPECT_EQ(snake.direction, kRight);
    EXPECT_EQ(snake.pendingDirection, kNoDirection);

    // Escape does not stop the rest of the queue from being handled.
    pushKey(SDLK_ESCAPE);
    pushKey(SDLK_RETURN);
    pollInput();
    EXPECT_EQ(matchState.matchRunning, 0);
    EXPECT_EQ(matchState.paused, 1);
    EXPECT_EQ(pendingEvents(), 0);
}

TEST_F(InputTest, LetterKeysWorkWithShiftAndCapsLock) {
    Snake &snake = moving(1, 20, 20, kRight);
    pushKey(SDLK_s, static_cast<SDLMod>(KMOD_LSHIFT));
    pollInput();
    EXPECT_EQ(snake.direction, kDown);
    moving(1, 20, 20, kRight);
    pushKey(SDLK_w, static_cast<SDLMod>(KMOD_CAPS));
    pollInput();
    EXPECT_EQ(snake.direction, kUp);
}

// Writes the flags the poll has set by the time the program exits.
void reportFlagsAtExit() {
    std::fprintf(stderr, "paused=%d running=%d\n", matchState.paused, matchState.matchRunning);
}

using InputDeathTest = InputTest;

TEST_F(InputDeathTest, AQuitRequestExitsAtOnceWithoutHandlingTheRestOfTheQueue) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            matchState.matchRunning = 1;
            matchState.paused = 0;
            // As in the program, SDL is shut down at exit; the flags are written first.
            std::atexit(SDL_Quit);
            std::atexit(reportFlagsAtExit);
            pushKey(SDLK_RETURN);
            pushQuit();
            pushKey(SDLK_ESCAPE);
            pushKey(SDLK_RETURN);
            pollInput();
            std::fprintf(stderr, "poll returned\n");
        },
        ::testing::ExitedWithCode(0), "^paused=1 running=1\n$");
}

} // namespace
} // namespace ravela
