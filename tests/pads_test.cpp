// Opening and closing the pads. SDL's joystick list is answered here, as if pads were plugged
// in, so the tests see which pads the players get, in which order, and what a closed pad says;
// the screen loop opens the pads afresh before each menu.

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "display/platform.h"
#include "match/controls.h"
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
int SDL_JoystickEventState(int) {
    return 1;
}
}

namespace ravela {
namespace {

using testing::padAxis;
using testing::padButton;

struct PadsTest : testing::GameTest {
    void SetUp() override {
        GameTest::SetUp();
        fakePads = {};
    }
};

// Pads take players 1 to 3 in the platform's order; one that fails to open takes no player,
// and a fourth is left alone.
TEST_F(PadsTest, PlayersTakeThePadsThatOpenInThePlatformsOrder) {
    fakePads.plugged = 5, fakePads.refuses[1] = true;
    openPads();
    EXPECT_EQ(std::vector<int>(pads.device, pads.device + 3), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(fakePads.opened, 4);
    EXPECT_EQ(readEvent(padButton(2, kPadButtons.a)).player, 1);
    EXPECT_EQ(readEvent(padButton(4, kPadButtons.a)).words, 0);
}

// Opening again closes every open pad first; a closed pad says nothing, and its stick starts
// again from the middle.
TEST_F(PadsTest, ClosedPadsSayNothingAndTheirSticksStartAgain) {
    fakePads.plugged = 1;
    openPads();
    EXPECT_TRUE(readEvent(padAxis(0, 0, 30000)).has(kSteer));
    openPads();
    EXPECT_EQ(fakePads.closed[0], 1) << "opening again closes the pad first";
    EXPECT_TRUE(readEvent(padAxis(0, 0, 30000)).has(kSteer)) << "the stick asks again";
    closePads();
    EXPECT_EQ(fakePads.closed[0], 2);
    EXPECT_EQ(readEvent(padButton(0, kPadButtons.a)).words, 0);
    closePads();
    EXPECT_EQ(fakePads.closed[0], 2) << "a closed pad is not closed twice";
}

// The title menu and the count screen each open the pads plugged in by then.
using PadsDeathTest = PadsTest;
TEST_F(PadsDeathTest, EachMenuOpensThePadsPluggedInByThen) {
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

} // namespace
} // namespace ravela
