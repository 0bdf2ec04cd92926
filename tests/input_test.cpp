// The controls and the input poll: what each event says, the direction rule as a table, the
// twelve steering keys, two pads and a keyboard at once, eggs waiting for a key, the pause
// and match keys, focus events, and a quit request in the middle of the queue. Events go
// through SDL's own queue on the dummy video driver; SDL's joystick list is answered here, as
// if pads were plugged in, to see which pads the players get.

#include <array>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "display/platform.h"
#include "display/surface.h"
#include "match/controls.h"
#include "match/input.h"
#include "match/match_loop.h"
#include "screens/screen_loop.h"
#include "tests/fixture.h"

namespace {

struct {
    int plugged;           // pads in SDL's list
    bool refuses[8];       // the pads that fail to open
    int opened, closed[8]; // calls to open any pad, and to close each
} fakePads;
char padRecords[8]; // what SDL_JoystickOpen hands out: pad n is padRecords + n

} // namespace

// The program's calls to SDL's joystick list reach these instead of SDL's own.
extern "C" {
int SDL_NumJoysticks() {
    return fakePads.plugged;
}
SDL_Joystick *SDL_JoystickOpen(int device) {
    ++fakePads.opened;
    return fakePads.refuses[device] ? nullptr
                                    : reinterpret_cast<SDL_Joystick *>(padRecords + device);
}
void SDL_JoystickClose(SDL_Joystick *pad) {
    ++fakePads.closed[reinterpret_cast<char *>(pad) - padRecords];
}
}

namespace ravela {
namespace {

using testing::buttonDown;
using testing::keyEvent;
using testing::padAxis;
using testing::padButton;
using testing::pressKey;
using testing::queue;

// An input as text: its words, then the way, player, digit and pad it names.
std::string said(const Input &input) {
    const char *names[] = {"steer", "select", "confirm", "pause", "leave",  "back", "digit",
                           "page",  "move",   "press",   "quit",  "expose", "focus"}; // by bit
    std::string text;
    for (int bit = 0; bit < 13; ++bit)
        if (input.words >> bit & 1) text += std::string(text.empty() ? "" : " ") + names[bit];
    if (input.direction != kNoDirection) text += std::string(" ") + "udlr"[input.direction];
    if (input.has(kSteer) || input.fromPad) text += " p" + std::to_string(input.player + 1);
    if (input.has(kDigit)) text += " " + std::to_string(input.digit);
    if (input.has(kPointerMove))
        text += " " + std::to_string(input.pointer.x) + "," + std::to_string(input.pointer.y);
    return text + (input.fromPad ? " pad" : "");
}

struct InputTest : testing::GameTest {
    void SetUp() override {
        GameTest::SetUp();
        fakePads = {};
    }
    static std::string poll() {
        pollInput();
        return std::string(matchState.paused ? "paused" : "playing") +
               (matchState.matchRunning ? "" : ", ended");
    }
};

// What one event says, by rule.
struct Said {
    const char *rule;
    SDL_Event event;
    const char *words;
};
void expectSaid(std::initializer_list<Said> rows) {
    for (const Said &row : rows)
        EXPECT_EQ(said(readEvent(row.event)), row.words) << "rule: " << row.rule;
}

// Keys by symbol: the arrows steer player 1 and move a menu's selection, as Tab does;
// Return confirms and pauses, the keypad's Enter only confirms, Escape leaves and goes back;
// every key turns a page, and releases say nothing. The pointer, the window and focus.
TEST_F(InputTest, KeysPointerAndWindowSayTheirWords) {
    SDL_Event focused{.type = SDL_ACTIVEEVENT}, pointed = focused;
    focused.active.state = SDL_APPINPUTFOCUS, pointed.active.state = SDL_APPMOUSEFOCUS;
    // clang-format off
    expectSaid({
        {"player 1's arrows also move a menu's selection", keyEvent(SDLK_UP), "steer select page u p1"},
        {"player 2 steers with W A S D", keyEvent(SDLK_d), "steer page r p2"},
        {"player 3 steers with I J K L", keyEvent(SDLK_k), "steer page d p3"},
        {"Tab moves the selection", keyEvent(SDLK_TAB), "select page"},
        {"Return confirms and pauses", keyEvent(SDLK_RETURN), "confirm pause page"},
        {"the keypad's Enter only confirms", keyEvent(SDLK_KP_ENTER), "confirm page"},
        {"Escape leaves and goes back", keyEvent(SDLK_ESCAPE), "leave back page"},
        {"0 is the first digit", keyEvent(SDLK_0), "digit page 0"},
        {"9 is the last digit", keyEvent(SDLK_9), "digit page 9"},
        {"any other key only turns a page", keyEvent(SDLK_KP8), "page"},
        {"a key release says nothing", keyEvent(SDLK_RETURN, SDL_KEYUP), ""},
        {"motion says where the pointer is", testing::motion(639, 7), "move 639,7"},
        {"the left button presses and turns a page", buttonDown(SDL_BUTTON_LEFT), "page press"},
        {"so does the middle button", buttonDown(SDL_BUTTON_MIDDLE), "page press"},
        {"so does the right button", buttonDown(SDL_BUTTON_RIGHT), "page press"},
        {"a wheel notch up is no press", buttonDown(SDL_BUTTON_WHEELUP), ""},
        {"a wheel notch down is no press", buttonDown(SDL_BUTTON_WHEELDOWN), ""},
        {"a button release says nothing", {.type = SDL_MOUSEBUTTONUP}, ""},
        {"closing the window quits", {.type = SDL_QUIT}, "quit"},
        {"an expose shows the screen again", {.type = SDL_VIDEOEXPOSE}, "expose"},
        {"keyboard focus changes", focused, "focus"},
        {"mouse focus alone says nothing", pointed, ""}});
    // clang-format on
}

// Pads by the platform's numbers, here 4 for player 1 and 0 for player 2; another pad says
// nothing. Each button turns a page; the d-pad steers and selects. The left stick asks for a
// way once it is pushed far enough, and clearly more along one axis than the other, and
// only once until it points elsewhere or comes back to the middle. Read in order.
TEST_F(InputTest, PadsSayTheirWordsAndTheStickAsksOncePerWay) {
    testing::givePads({4, 0});
    const PadButtons &b = kPadButtons;
    // clang-format off
    expectSaid({
        {"A confirms", padButton(4, b.a), "confirm page p1 pad"},
        {"B goes back", padButton(4, b.b), "back page p1 pad"},
        {"Back leaves and goes back", padButton(0, b.back), "leave back page p2 pad"},
        {"Start pauses", padButton(0, b.start), "pause page p2 pad"},
        {"the d-pad steers and selects", padButton(0, b.up), "steer select page u p2 pad"},
        {"each pad steers its own player", padButton(4, b.right), "steer select page r p1 pad"},
        {"any other button only turns a page", padButton(4, 2), "page p1 pad"},
        {"a pad nobody holds says nothing", padButton(7, b.a), ""},
        {"a push short of half way asks nothing", padAxis(0, 0, 16383), ""},
        {"a push half way asks", padAxis(0, 0, 16384), "steer select r p2 pad"},
        {"pushing on asks nothing more", padAxis(0, 0, 32767), ""},
        {"easing off asks nothing more", padAxis(0, 0, 16384), ""},
        {"neither way twice as far as the other asks nothing", padAxis(0, 1, 20000), ""},
        {"the way the stick clearly points is asked", padAxis(0, 0, 8000), "steer select d p2 pad"},
        {"the same way again asks nothing", padAxis(0, 1, 32767), ""},
        {"above the release distance it is not centred", padAxis(0, 1, 12000), ""},
        {"near the middle it is centred", padAxis(0, 1, 8191), ""},
        {"after centring the same way asks again", padAxis(0, 1, 16384), "steer select d p2 pad"},
        {"the other way along one axis asks", padAxis(0, 1, -32768), "steer select u p2 pad"},
        {"left is negative", padAxis(4, 0, -20000), "steer select l p1 pad"},
        {"the right stick says nothing", padAxis(0, 2, 32767), ""},
        {"a stick nobody holds says nothing", padAxis(7, 0, -20000), ""}});
    // Player 1 pushes every axis beyond the left stick; player 2's stick, barely moved, still
    // asks for nothing.
    expectSaid({{"player 2's stick is centred", padAxis(0, 1, 0), ""}});
    for (uint8_t axis = 2; axis < 6; ++axis)
        expectSaid({{"axes beyond the left stick say nothing", padAxis(4, axis, 32767), ""}});
    expectSaid({{"another pad's axes never move this stick", padAxis(0, 1, 100), ""},
                {"nor this pad's own", padAxis(4, 1, 100), ""}});
    closePads();
    expectSaid({{"closed pads say nothing", padButton(4, b.a), ""}});
    // clang-format on
}

// The last move, the direction before the key, the key; then direction and request.
TEST_F(InputTest, DirectionRule) {
    constexpr int8_t N = kNoDirection;
    const struct {
        const char *rule;
        int8_t last, before, key, direction, pending;
    } rows[] = {
        {"vertical key after a horizontal move: at once", kLeft, kLeft, kUp, kUp, N},
        {"vertical key after a horizontal move, down", kRight, kRight, kDown, kDown, N},
        {"vertical key with no direction: at once", kUp, N, kDown, kDown, N},
        {"vertical key with no direction, up", kDown, N, kUp, kUp, N},
        {"vertical key after a vertical move: held", kUp, kUp, kUp, kUp, kUp},
        {"vertical key while a turn waits: held", kUp, kRight, kDown, kRight, kDown},
        {"horizontal key after a vertical move: at once", kUp, kUp, kLeft, kLeft, N},
        {"horizontal key after a vertical move, right", kDown, kDown, kRight, kRight, N},
        {"horizontal key with no direction: at once", kLeft, N, kRight, kRight, N},
        {"horizontal key with no direction, left", kRight, N, kLeft, kLeft, N},
        {"horizontal key after a horizontal move: held", kLeft, kLeft, kRight, kLeft, kRight},
        {"horizontal key while a turn waits: held", kRight, kUp, kRight, kUp, kRight},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.rule);
        Snake &s = playerSnake[0];
        s.lastMoves[0] = static_cast<uint8_t>(row.last);
        s.direction = row.before, s.pendingDirection = N;
        requestDirection(s, row.key);
        EXPECT_EQ(s.direction, row.direction);
        EXPECT_EQ(s.pendingDirection, row.pending);
    }
}

TEST_F(InputTest, TwelveKeysSteerThreePlayersAndTwoQuickTurnsTakeTwoSteps) {
    for (int8_t d = 0; d < 4; ++d) {
        for (int p = 0; p < kPlayerCount; ++p)
            testing::layEgg(p, 20, 10 + 20 * p, -1);
        for (int p = 0; p < kPlayerCount; ++p)
            pressKey(testing::kPlayerKeys[4 * p + d]);
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

// Player 1 by a pad's d-pad, player 2 by another pad's stick and player 3 by its keys, in
// one tick; Start pauses and resumes as Return does.
TEST_F(InputTest, TwoPadsAndTheKeyboardSteerTogether) {
    testing::givePads({1, 0});
    for (int p = 0; p < kPlayerCount; ++p)
        testing::layEgg(p, 20, 10 + 20 * p, -1);
    const PadButtons &b = kPadButtons;
    queue({padButton(1, b.right), padAxis(0, 1, -30000), padButton(0, b.start)});
    pressKey(SDLK_j);
    EXPECT_EQ(poll(), "paused");
    for (int p = 0; p < kPlayerCount; ++p)
        EXPECT_EQ(playerSnake[p].direction, (std::array<int8_t, 3>{kRight, kUp, kLeft}[p])) << p;
    Snake &s = testing::laySnake(1, 20, 50, kUp, 1);
    queue({padAxis(0, 0, -30000), padAxis(0, 1, 0), padButton(1, b.start)});
    EXPECT_EQ(poll(), "playing");
    EXPECT_EQ(s.direction, kLeft);
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
    queue({{.type = SDL_VIDEOEXPOSE}});
    surfaceTrace.on = true;
    EXPECT_EQ(poll(), "playing");
    EXPECT_EQ(surfaceTrace.calls, "P") << "an uncovered window shows the screen again";
    queue({{.type = SDL_MOUSEBUTTONDOWN},
           keyEvent(SDLK_KP_ENTER),
           keyEvent(SDLK_TAB),
           keyEvent(SDLK_5),
           keyEvent(SDLK_RETURN, SDL_KEYUP)});
    EXPECT_EQ(poll(), "playing") << "a click, the keypad's Enter, Tab, digits, releases: nothing";
    pressKey(SDLK_RETURN);
    EXPECT_EQ(poll(), "paused");
    pressKey(SDLK_RETURN), pressKey(SDLK_RETURN);
    EXPECT_EQ(poll(), "paused") << "two presses cancel out";
    pressKey(SDLK_RETURN);
    EXPECT_EQ(poll(), "playing");
    queue({{.active = {SDL_ACTIVEEVENT, 1, SDL_APPINPUTFOCUS}}});
    EXPECT_EQ(poll(), "paused") << "focus gained pauses";
    pressKey(SDLK_RETURN), queue({{.active = {SDL_ACTIVEEVENT, 0, SDL_APPACTIVE}}});
    EXPECT_EQ(poll(), "paused") << "focus lost pauses";
    pressKey(SDLK_ESCAPE), pressKey(SDLK_RETURN);
    EXPECT_EQ(poll(), "playing, ended") << "the queue goes on after Escape";
}

using InputDeathTest = InputTest;

// Pads take players 1 to 3 in the platform's order; one that fails to open takes no player,
// and a fourth is left alone.
TEST_F(InputTest, PlayersTakeThePadsThatOpenInThePlatformsOrder) {
    fakePads.plugged = 5, fakePads.refuses[1] = true;
    openPads();
    EXPECT_EQ(std::vector<int>(pads.device, pads.device + 3), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(fakePads.opened, 4);
    EXPECT_EQ(readEvent(padButton(2, kPadButtons.a)).player, 1);
    EXPECT_EQ(readEvent(padButton(4, kPadButtons.a)).words, 0);
}

// Opening again closes every open pad first; a closed pad says nothing, and both axes of its
// stick start again from the middle.
TEST_F(InputTest, ClosedPadsSayNothingAndTheirSticksStartAgain) {
    fakePads.plugged = 1;
    openPads();
    EXPECT_TRUE(readEvent(padAxis(0, 0, 30000)).has(kSteer));
    openPads();
    EXPECT_EQ(fakePads.closed[0], 1) << "opening again closes the pad first";
    EXPECT_EQ(readEvent(padAxis(0, 1, 100)).words, 0) << "the stick starts from the middle";
    EXPECT_TRUE(readEvent(padAxis(0, 0, 30000)).has(kSteer)) << "the stick asks again";
    readEvent(padAxis(0, 1, -30000));
    openPads();
    EXPECT_EQ(readEvent(padAxis(0, 0, 100)).words, 0)
        << "the other axis starts from the middle too";
    closePads();
    EXPECT_EQ(fakePads.closed[0], 3);
    EXPECT_EQ(readEvent(padButton(0, kPadButtons.a)).words, 0);
    closePads();
    EXPECT_EQ(fakePads.closed[0], 3) << "a closed pad is not closed twice";
}

// The title menu and the count screen each open the pads plugged in by then.
TEST_F(InputDeathTest, EachMenuOpensThePadsPluggedInByThen) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            fakePads.plugged = 1;
            alarm(60); // a screen still waiting by then never got the events that end it
            std::atexit([] { std::fprintf(stderr, "opened %d\n", fakePads.opened); });
            matchClock.delay = [](uint32_t) { testing::queue({{.type = SDL_QUIT}}); };
            testing::queue({testing::keyEvent(SDLK_TAB), testing::keyEvent(SDLK_RETURN)});
            runScreens(); // the title menu starts; the quit comes on the count screen
        },
        ::testing::ExitedWithCode(0), "^opened 2\n$");
}

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
