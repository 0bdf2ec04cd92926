// The loops of a match on a fake clock: deadline pacing without catch-up, the clock's
// wrap, the pause banner, the quicker wind-down and the 49-tick tail of a completed level,
// lives and layout at a level change and into the next match.

#include <vector>

#include "display/surface.h"
#include "match/match_loop.h"
#include "tests/drawn.h"
#include "tests/fixture.h"

namespace ravela {
namespace {

using Delays = std::vector<uint32_t>;

// A clock that moves only when the loop waits or a test says time has passed; `script`
// runs whenever the loop reads it, which it does once before every tick.
struct {
    uint32_t now;
    Delays delays, rests;
    void (*script)();
} fake;

struct MatchLoopTest : testing::GameTest {
    void SetUp() override {
        GameTest::SetUp();
        fake = {};
        // Reading the clock runs the test's script first; a wait only moves the time on.
        const auto wait = [](uint32_t ms) { fake.delays.push_back(ms), fake.now += ms; };
        matchClock = {[] { return fake.script ? fake.script() : void(), fake.now; }, wait,
                      [](uint32_t ms) { fake.rests.push_back(ms), fake.now += ms; }};
        setupLevel();
    }
    // Runs n ticks that must not end the level.
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(runTick(loop));
    }
    TickLoop loop{0, 0};
};

TEST_F(MatchLoopTest, TicksFollowAnAccumulatedDeadlineWithNoBurstEvenAcrossTheClockWrap) {
    board.autoPresent = 0; // as a screen's batch paint may leave it
    surfaceTrace.on = true;
    testing::laySnake(0, 20, 20, kRight, 2);
    fake.now = loop.tickDeadline = 1000;
    ticks(1);
    fake.now += 300; // a tick of 300 ms: no wait, and the schedule starts again from now
    ticks(2);
    fake.now += 50; // a tick of 50 ms waits only for the rest of its period
    ticks(1);
    fake.now += 119; // even when only its last millisecond is left
    ticks(1);
    EXPECT_EQ(loop.tickDeadline, 1780u);
    // Across the clock's wrap: first the deadline wraps, then the clock, with a tick late.
    fake.now = loop.tickDeadline = 0xFFFFFFF0u;
    ticks(2);
    loop.tickDeadline = 0xFFFFFF00u;
    fake.now = 0x10;
    ticks(1);
    EXPECT_EQ(fake.delays, (Delays{120, 120, 70, 1, 120, 120}));
    EXPECT_EQ(loop.tickDeadline, 0x10u);
    EXPECT_EQ(surfaceTrace.calls.substr(0, 3), "PPP") << "a tick shows the cells it changes";
}

// A paused match moves nothing, so its ticks rest until input instead of keeping the
// schedule; the schedule starts again where the last rest ends, so the tick that resumes
// comes at once and is followed by a whole period, never by a second step at once.
// A won level shrinks on the clock, paused or not.
TEST_F(MatchLoopTest, APausedMatchRestsUntilInputButAWonLevelWindsDownOnTheClock) {
    testing::laySnake(0, 20, 20, kRight, 2);
    const int32_t head = playerSnake[0].headIndex;
    fake.now = loop.tickDeadline = 1000;
    matchState.paused = 1;
    ticks(2);
    EXPECT_EQ(fake.rests, (Delays{120, 120}));
    EXPECT_TRUE(fake.delays.empty());
    EXPECT_EQ(playerSnake[0].headIndex, head) << "nothing moves while paused";

    testing::pressKey(SDLK_RETURN);
    ticks(2);
    EXPECT_EQ(matchState.paused, 0);
    EXPECT_EQ(fake.delays, (Delays{120, 120})) << "the tick that resumes waits a whole period";
    EXPECT_EQ(loop.tickDeadline, 1480u);
    EXPECT_EQ(fake.rests.size(), 2u);

    matchState.paused = 1;
    matchState.levelFruitCount = kFruitsPerLevel;
    ticks(2);
    EXPECT_EQ(fake.delays, (Delays{120, 120, 20, 20}));
    EXPECT_EQ(fake.rests.size(), 2u);
}

// A pause shows the banner over the middle of the Board, once; the tick that resumes paints
// the cells back over it (an egg there shows again, pixel for pixel).
TEST_F(MatchLoopTest, APauseShowsTheBannerUntilTheTickThatResumes) {
    testing::layEgg(0, 24, 32, -30);
    const auto egg = [] {
        std::vector<uint32_t> pixels;
        for (int y = 240; y < 250; ++y) {
            for (int x = 320; x < 330; ++x)
                pixels.push_back(testing::pixelAt(surface(), x, y));
        }
        return pixels;
    };
    ticks(1);
    const std::vector<uint32_t> shown = egg();
    testing::pressKey(SDLK_RETURN);
    ticks(1);
    ASSERT_TRUE(matchState.paused);
    EXPECT_NE(egg(), shown) << "the banner";
    EXPECT_EQ(testing::picturePixelsThatDiffer(surface(), pauseBanner, harness::kPauseBanner), 0);
    surfaceTrace.on = true; // a focus change while the banner shows leaves the screen alone
    testing::queue({{.active = {SDL_ACTIVEEVENT, 0, SDL_APPINPUTFOCUS}}});
    ticks(1);
    EXPECT_EQ(surfaceTrace.calls, "");
    testing::pressKey(SDLK_RETURN);
    ticks(1);
    EXPECT_EQ(egg(), shown) << "the egg again";
}

TEST_F(MatchLoopTest, ACompletedLevelWindsDownThenLivesAndLayoutCarryIntoTheNextMatch) {
    matchState.adversaryCount = 2;
    fake.script = [] {
        if (fake.delays.size() > 100) { // a level that never winds down
            testing::pressKey(SDLK_ESCAPE);
        } else if (matchState.levelType == 0) {
            if (matchState.levelFruitCount == 0) testing::laySnake(0, 20, 20, kRight, 4);
            matchState.levelFruitCount = 15; // won on the first tick
            playerSnake[1].lives = 0;
            playerSnake[2].lives = -1;
        } else if (!matchState.paused) {
            EXPECT_EQ(SDL_EventState(SDL_MOUSEMOTION, SDL_QUERY), SDL_IGNORE);
            testing::pressKey(SDLK_RETURN); // the next level starts, and the match ends paused
            testing::pressKey(SDLK_ESCAPE);
        }
    };
    playMatch();
    // Pointer motion stays out of the queue during a match only.
    EXPECT_EQ(SDL_EventState(SDL_MOUSEMOTION, SDL_QUERY), SDL_ENABLE);
    // Player 1, four cells behind its head, shrinks to its head in the first four ticks, the
    // adversaries in two; 49 more ticks, the last without a wait, end the level. The next
    // level's first tick pauses, and a paused tick rests.
    EXPECT_EQ(fake.delays, Delays(4 + 48, 20));
    EXPECT_EQ(fake.rests, Delays{120});
    EXPECT_EQ(matchState.paused + matchState.pauseShown, 2);

    fake = {};
    testing::pressKey(SDLK_ESCAPE);
    playMatch();
    EXPECT_EQ(matchState.levelType, 1);
    EXPECT_EQ(board.cells[10][16], kWall); // the bars of layout 1
    EXPECT_EQ(matchState.paused + matchState.pauseShown, 0);
    EXPECT_EQ(playerSnake[2].lives, 5);
    // Escape let the rest of its tick run: the match tick counted the egg down, then the wait.
    EXPECT_EQ(playerSnake[0].length, -40);
    EXPECT_EQ(fake.delays, Delays{120});
}

} // namespace
} // namespace ravela
