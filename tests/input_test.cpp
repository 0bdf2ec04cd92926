// The input poll: the direction rule as a table, the twelve steering keys, eggs waiting for
// a key, the pause and match keys, focus events, and a quit request in the middle of the
// queue. Events go through SDL's own queue on the dummy video driver.

#include <cstdio>
#include <cstdlib>

#include "display/surface.h"
#include "match/input.h"
#include "tests/fixture.h"

namespace ravela {
namespace {

using testing::pressKey;

struct InputTest : testing::GameTest {
    // Queues a focus event with the given state bits.
    static void focus(uint8_t state, uint8_t gain = 0) {
        SDL_Event event{};
        event.active = {SDL_ACTIVEEVENT, gain, state};
        SDL_PushEvent(&event);
    }
    static std::string poll() {
        pollInput();
        return std::string(matchState.paused ? "paused" : "playing") +
               (matchState.matchRunning ? "" : ", ended");
    }
};

TEST_F(InputTest, DirectionRule) {
    constexpr int8_t N = kNoDirection;
    // The last move, the direction before the key, the key; then direction and request.
    const int8_t rows[][5] = {
        {kLeft, kLeft, kUp, kUp, N},
        {kRight, kRight, kDown, kDown, N}, // vertical, right angle
        {kUp, N, kDown, kDown, N},
        {kDown, N, kUp, kUp, N}, // vertical, no direction
        {kUp, kUp, kUp, kUp, kUp},
        {kUp, kRight, kDown, kRight, kDown}, // vertical, held
        {kUp, kUp, kLeft, kLeft, N},
        {kDown, kDown, kRight, kRight, N}, // horizontal, right angle
        {kLeft, N, kRight, kRight, N},
        {kRight, N, kLeft, kLeft, N}, // horizontal, none
        {kLeft, kLeft, kRight, kLeft, kRight},
        {kRight, kUp, kRight, kUp, kRight}, // held
    };
    for (const auto &row : rows) {
        Snake &s = playerSnake[0];
        s.lastMoves[0] = static_cast<uint8_t>(row[0]);
        s.direction = row[1], s.pendingDirection = N;
        requestDirection(s, row[2]);
        EXPECT_EQ(s.direction, row[3]) << "direction rule, row " << &row - rows << ": direction";
        EXPECT_EQ(s.pendingDirection, row[4])
            << "direction rule, row " << &row - rows << ": pendingDirection";
    }
}

TEST_F(InputTest, TwelveKeysSteerThreePlayersAndTwoQuickTurnsTakeTwoSteps) {
    for (int8_t d = 0; d < 4; ++d) {
        for (int p = 0; p < kPlayerCount; ++p)
            testing::layEgg(p, 20, 10 + 20 * p, -1);
        for (int p = 0; p < kPlayerCount; ++p)
            pressKey(testing::kPlayerKeys[4 * p + d]);
        pressKey(SDLK_KP8), pressKey(SDLK_SPACE), pressKey(SDLK_w, SDL_KEYUP); // not match keys
        pollInput();
        for (int p = 0; p < kPlayerCount; ++p)
            EXPECT_EQ(playerSnake[p].direction, d) << "key for player " << p << ", way " << int{d};
    }
    // Moving down, Left then Up within one tick: one step left, then one up; the Up is spent
    // then, and does not come back after a later Right.
    Snake &s = testing::laySnake(2, 20, 50, kDown, 1);
    pressKey(SDLK_j), pressKey(SDLK_i);
    pollInput();
    stepSnake(s, 0), stepSnake(s, 0);
    EXPECT_EQ(testing::cellsOf(s), "19,49 20,49");
    pressKey(SDLK_l);
    pollInput();
    stepSnake(s, 0), stepSnake(s, 0);
    EXPECT_EQ(testing::cellsOf(s), "19,51 19,50");
}

TEST_F(InputTest, OnlyEggsLoseTheirDirectionAndAreRepaintedAtEveryPoll) {
    Snake &living = testing::laySnake(1, 20, 10, kDown, 1);
    pressKey(SDLK_a);
    Snake &egg = testing::layEgg(2, 20, 50, -2); // the last length that shows it intact
    egg.direction = kUp;
    setCellAndDraw(board, kEmpty, 20, 50); // uncovered again after a snake passed
    matchState.paused = 1;                 // keys pressed while paused still steer the living
    poll();
    EXPECT_EQ(living.direction, kLeft);
    EXPECT_EQ(egg.direction, kNoDirection);
    EXPECT_EQ(board.cells[20][50], kPlayerBase[2] + kIntactEggTile);
    egg.length = -1; // its countdown has run out: the poll shows it broken
    poll();
    EXPECT_EQ(board.cells[20][50], kPlayerBase[2] + kBrokenEggTile);
}

TEST_F(InputTest, ReturnTogglesFocusPausesAndEscapeEndsTheMatch) {
    SDL_Event expose{};
    expose.type = SDL_VIDEOEXPOSE;
    SDL_PushEvent(&expose);
    surfaceTrace.on = true;
    EXPECT_EQ(poll(), "playing");
    EXPECT_EQ(surfaceTrace.calls, "P") << "an uncovered window shows the screen again";
    pressKey(SDLK_RETURN);
    EXPECT_EQ(poll(), "paused");
    pressKey(SDLK_RETURN), pressKey(SDLK_RETURN);
    EXPECT_EQ(poll(), "paused") << "two presses cancel out";
    pressKey(SDLK_RETURN);
    EXPECT_EQ(poll(), "playing");
    pressKey(SDLK_KP_ENTER), pressKey(SDLK_RETURN, SDL_KEYUP), focus(SDL_APPMOUSEFOCUS);
    EXPECT_EQ(poll(), "playing");
    focus(SDL_APPINPUTFOCUS, 1);
    EXPECT_EQ(poll(), "paused") << "focus gained pauses";
    pressKey(SDLK_RETURN), focus(SDL_APPACTIVE);
    EXPECT_EQ(poll(), "paused") << "focus lost pauses";
    pressKey(SDLK_ESCAPE), pressKey(SDLK_RETURN);
    EXPECT_EQ(poll(), "playing, ended") << "the queue goes on after Escape";
}

using InputDeathTest = InputTest;

TEST_F(InputDeathTest, AQuitRequestExitsAtOnceWithoutHandlingTheRestOfTheQueue) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atexit([] {
                std::fprintf(stderr, "paused %d, running %d\n", matchState.paused,
                             matchState.matchRunning);
            });
            pressKey(SDLK_RETURN);
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            pressKey(SDLK_ESCAPE);
            pollInput();
        },
        ::testing::ExitedWithCode(0), "^paused 1, running 1\n$");
}

} // namespace
} // namespace ravela
