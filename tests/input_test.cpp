// The input poll: the direction rule with its held second turn, eggs waiting for a key,
// the pause and match keys, focus events, and a quit request in the middle of the queue.
// Events go through SDL's own queue on the dummy video driver.

#include <gtest/gtest.h>

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/board.h"
#include "match/input.h"
#include "match/match_state.h"
#include "snakes/snake.h"
#include "tests/support.h"

namespace ravela {
namespace {

// One queued event: a key press or release, or a focus event with its state bits.
struct Event {
    int value; // the key symbol, or the focus state bits
    uint8_t type = SDL_KEYDOWN, gain = 0;
};

struct InputTest : ::testing::Test {
    void SetUp() override {
        static SDL_Surface *surface = testing::makeSurface(32);
        testing::resetGame(surface, 3);
        for (SDL_Event event; SDL_PollEvent(&event);) {
        }
        matchState.matchRunning = 1;
    }
    // Queues the events and polls once; tells whether the match is paused or has ended.
    static std::string poll(std::initializer_list<Event> events) {
        for (Event e : events) {
            SDL_Event event{};
            if (e.type == SDL_ACTIVEEVENT)
                event.active = {e.type, e.gain, static_cast<uint8_t>(e.value)};
            else
                event.key = {e.type, 0, SDL_PRESSED, {0, SDLKey(e.value), KMOD_NONE, 0}};
            SDL_PushEvent(&event);
        }
        pollInput();
        return std::string(matchState.paused ? "paused" : "playing") +
               (matchState.matchRunning ? "" : ", ended");
    }
    // Player p's direction and the request it holds for the step after.
    static std::string requests(int p) {
        static const char *const names[] = {"none", "up", "down", "left", "right"};
        return std::string(names[playerSnake[p].direction + 1]) + ", " +
               names[playerSnake[p].pendingDirection + 1];
    }
    // Player p alive at (20, 10 + 20p), one cell behind its head, having last moved in d;
    // then the keys, and what they requested.
    static std::string turn(int p, int8_t d, std::initializer_list<Event> keys) {
        Snake &s = playerSnake[p];
        initSnake(s);
        s.colourBase = kPlayerBase[p];
        s.direction = d;
        setHeadCell(s, 20 + (d == kUp) - (d == kDown), 10 + 20 * p + (d == kLeft) - (d == kRight));
        advanceHead(s);
        poll(keys);
        return requests(p);
    }
};

TEST_F(InputTest, ARightAngleKeySteersTheNextStepAndOneAlongTheAxisWaits) {
    EXPECT_EQ(turn(0, kUp, {{SDLK_LEFT}}), "left, none");
    EXPECT_EQ(turn(1, kRight, {{SDLK_w}, {SDLK_s}}), "down, none");        // the later turn wins
    EXPECT_EQ(turn(0, kDown, {{SDLK_UP}}), "down, up");                    // a reverse is held
    EXPECT_EQ(turn(1, kRight, {{SDLK_KP6}, {SDLK_SPACE}}), "right, none"); // not match keys
    // Two turns in one tick are made on two steps: one up, then one left.
    EXPECT_EQ(turn(2, kRight, {{SDLK_i}, {SDLK_j}}), "up, left");
    stepSnake(playerSnake[2], 0);
    stepSnake(playerSnake[2], 0);
    EXPECT_EQ(headRow(playerSnake[2]) * 100 + headColumn(playerSnake[2]), 19 * 100 + 49);
}

TEST_F(InputTest, OnlyEggsLoseTheirDirectionAtEveryPoll) {
    turn(2, kUp, {});
    turnToEgg(playerSnake[2], true, 20);
    setCellAndDraw(board, kEmpty, 20, 50);
    // I is along the egg's last move, yet it steers at once: an egg has no direction.
    EXPECT_EQ(turn(1, kDown, {{SDLK_a}, {SDLK_i}}), "left, none");
    EXPECT_EQ(requests(2), "up, none");
    matchState.paused = 1; // and keys pressed while paused still steer the living
    poll({});
    EXPECT_EQ(requests(1), "left, none");
    EXPECT_EQ(requests(2), "none, none");
    EXPECT_EQ(board.cells[20][50], kPlayerBase[2] + 15); // its bare cell shows the egg again
}

TEST_F(InputTest, ReturnTogglesFocusPausesAndEscapeEndsTheMatch) {
    EXPECT_EQ(poll({{SDLK_RETURN}}), "paused");
    EXPECT_EQ(poll({{SDLK_RETURN}, {SDLK_RETURN}}), "paused"); // two presses cancel out
    EXPECT_EQ(poll({{SDLK_RETURN}}), "playing");
    EXPECT_EQ(poll({{SDLK_KP_ENTER}, {SDLK_RETURN, SDL_KEYUP}}), "playing");
    EXPECT_EQ(poll({{SDL_APPMOUSEFOCUS, SDL_ACTIVEEVENT}}), "playing");
    EXPECT_EQ(poll({{SDL_APPINPUTFOCUS, SDL_ACTIVEEVENT, 1}}), "paused"); // gained, not lost
    EXPECT_EQ(poll({{SDLK_RETURN}, {SDL_APPACTIVE, SDL_ACTIVEEVENT}}), "paused");
    EXPECT_EQ(poll({{SDLK_ESCAPE}, {SDLK_RETURN}}), "playing, ended"); // the queue goes on
}

using InputDeathTest = InputTest;

TEST_F(InputDeathTest, AQuitRequestExitsAtOnceWithoutHandlingTheRestOfTheQueue) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atexit(SDL_Quit); // as in the program; the flags are written first
            std::atexit([] {
                std::fprintf(stderr, "paused %d, running %d\n", matchState.paused,
                             matchState.matchRunning);
            });
            poll({{SDLK_RETURN}, {0, SDL_QUIT}, {SDLK_ESCAPE}, {SDLK_RETURN}});
        },
        ::testing::ExitedWithCode(0), "^paused 1, running 1\n$");
}

} // namespace
} // namespace ravela
