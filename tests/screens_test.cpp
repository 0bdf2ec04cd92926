// The screens around a match, driven headlessly: events are queued before a screen runs,
// then the result, the Board and the lock/present calls are checked on a surface that SDL
// says must be locked.

#include <algorithm>
#include <vector>

#include "display/platform.h"
#include "display/surface.h"
#include "screens/count_screen.h"
#include "screens/title_menu.h"
#include "tests/fixture.h"

using namespace ravela;
using ravela::testing::keyEvent;
using ravela::testing::pixelAt;
using ravela::testing::queue;
using Events = std::vector<SDL_Event>;

namespace {

SDL_Event motion(int x, int y) {
    SDL_Event event{.type = SDL_MOUSEMOTION};
    event.motion.x = Uint16(x);
    event.motion.y = Uint16(y);
    return event;
}
const SDL_Event kClick{.type = SDL_MOUSEBUTTONDOWN}; // the screens look at no button
class ScreensTest : public ravela::testing::GameTest {
  protected:
    void SetUp() override {
        ravela::testing::resetGame(surface, 7);
        surface->flags |= SDL_RLEACCEL; // SDL_MUSTLOCK holds
        surfaceTrace.on = true;
    }
    void TearDown() override { surface->flags &= ~SDL_RLEACCEL; }
    SDL_Surface *surface = GameTest::surface();
};

// One frame per row: nothing to confirm at first; each pointer zone is its outline moved 4
// pixels down, so (300, 190) lies in the outline of "Começar" but above its zone; Tab and
// the arrows alternate; leaving both zones clears the keyboard's choice; a click confirms it
// anywhere. The selected item's outline is
// white, the other's black.
TEST_F(ScreensTest, KeyboardAndPointerShareTheSelection) {
    // clang-format off
    const struct { Events events; int selection, result; } frames[] = {
        {{keyEvent(SDLK_RETURN), kClick, keyEvent(SDLK_KP_ENTER)}, 0, 0},
        {{motion(300, 190)}, 0, 0}, {{motion(300, 192)}, 1, 0}, {{motion(300, 252)}, 2, 0},
        {{motion(300, 303)}, 0, 0}, {{motion(225, 260)}, 2, 0}, {{motion(431, 200)}, 0, 0},
        {{keyEvent(SDLK_TAB)}, 1, 0}, {{keyEvent(SDLK_UP)}, 2, 0}, {{keyEvent(SDLK_DOWN)}, 1, 0},
        {{keyEvent(SDLK_LEFT)}, 2, 0}, {{keyEvent(SDLK_RIGHT)}, 1, 0},
        {{motion(10, 10), kClick}, 0, 0}, {{keyEvent(SDLK_TAB), kClick}, 1, kTitleStart}};
    // clang-format on
    const uint32_t white = SDL_MapRGB(surface->format, 255, 255, 255);
    const uint32_t black = SDL_MapRGB(surface->format, 0, 0, 0);
    TitleMenuRun menu = setUpTitleMenu();
    int drawn = -1;
    for (const auto &f : frames) {
        queue(f.events);
        EXPECT_TRUE(runTitleMenuFrame(menu));
        EXPECT_EQ(menu.selection, f.selection) << &f - frames;
        EXPECT_EQ(menu.result, f.result) << &f - frames;
        EXPECT_EQ(pixelAt(surface, 212, 188), f.selection == 1 ? white : black) << &f - frames;
        EXPECT_EQ(pixelAt(surface, 225, 248), f.selection == 2 ? white : black) << &f - frames;
        const std::string &calls = surfaceTrace.calls; // a new outline is unlocked, then presented
        EXPECT_EQ(calls.substr(calls.size() - 2 - (f.selection != drawn)),
                  f.selection != drawn ? "LUP" : "LU");
        drawn = f.selection;
    }
    queue({keyEvent(SDLK_TAB), keyEvent(SDLK_ESCAPE)});
    EXPECT_FALSE(runTitleMenuFrame(menu = setUpTitleMenu()));
    EXPECT_EQ(menu.result, 0);
    queue({keyEvent(SDLK_TAB), keyEvent(SDLK_TAB), keyEvent(SDLK_RETURN)});
    EXPECT_EQ(titleMenu(), kTitleManual);
}

// The arena is walled and the snake starts inside, its start cell drawn as its tail so that
// no fruit lands there. Two fruits are out after two frames,
// placed one per frame and replaced when eaten; each grows the snake by ten cells, and it
// never leaves the arena.
TEST_F(ScreensTest, DemoSnakeHuntsTwoFruitsInsideTheArena) {
    TitleMenuRun menu = setUpTitleMenu();
    for (int row = 0; row < kBoardRows; ++row)
        for (int col = 0; col < kBoardColumns; ++col)
            ASSERT_EQ(board.cells[row][col] == kWall,
                      row >= 32 && col >= 10 && col <= 53 &&
                          (row == 32 || row == 47 || col == 10 || col == 53))
                << row << "," << col;
    EXPECT_EQ(board.cells[41][32], 64);
    EXPECT_EQ(board.cells[42][32], 64 + 5);
    const Snake &demo = adversarySnake[0];
    int eaten = 0, fruits = 0;
    for (int frame = 0; frame < 3000; ++frame) {
        const int32_t size = demo.length + demo.growth;
        runTitleMenuFrame(menu);
        const int row = headRow(demo), col = headColumn(demo);
        ASSERT_TRUE(row >= 33 && row <= 46 && col >= 11 && col <= 52) << frame;
        const bool ate = demo.length + demo.growth > size; // else it keeps or loses a cell
        const int now = ravela::testing::countCells(kYellowFruit);
        ASSERT_EQ(now + menu.fruitsToPlace, 2) << frame;
        ASSERT_LE(now - fruits + ate, 1) << frame << ": one placed a frame";
        ASSERT_TRUE(frame != 1 || now == 2);
        EXPECT_TRUE(!ate || demo.length + demo.growth == size + 10) << frame;
        fruits = now;
        eaten += ate;
    }
    EXPECT_GE(eaten, 5);
}

// Moving within one item redraws nothing; moving across items redraws the old one plain
// and the new one highlighted, each presenting after its unlock.
TEST_F(ScreensTest, HoverRedrawsOnlyTheOldAndTheNewItem) {
    queue({motion(100, 100), motion(200, 150), motion(400, 200), motion(330, 239),
           keyEvent(SDLK_ESCAPE)});
    EXPECT_FALSE(adversaryCountScreen());
    EXPECT_EQ(surfaceTrace.calls, "LUPLUP" /* lay-out, header */ "LUP" /* 0 */ "LUPLUP" /* 0, 3 */);
    EXPECT_EQ(matchState.adversaryCount, 3);
    for (int n = 0; n < 10; ++n) // the top-left corner tile shows the colour
        EXPECT_EQ(board.cells[8 + 8 * (n / 2)][32 * (n % 2)], n == 3 ? 16 + 10 : 64 + 10) << n;
}

// One screen per row. Above y 80 there is no item; below, the left half holds the even
// counts. A digit starts a match whatever is highlighted, 0 one without adversaries; a click
// starts one only over an item, also none after leaving an item upwards. Other keys do nothing
// here. A pad's d-pad or stick moves the highlight over two columns of five boxes, starting on
// the box for 1 and stopping at the edges; A starts with the box highlighted (with none yet it
// shows the first), B and Back go back; a pad no player holds does nothing.
TEST_F(ScreensTest, ClickDigitOrPadStartsTheMatch) {
    ravela::testing::givePads({5});
    const PadButtons &b = kPadButtons;
    const auto pad = [](uint8_t button, int device = 5) {
        return ravela::testing::padButton(device, button);
    };
    const auto stick = [](uint8_t axis, int value) {
        return ravela::testing::padAxis(5, axis, value);
    };
    // clang-format off
    const struct { Events events; int starts, count; } runs[] = {
        {{motion(300, 79)}, 0, -1}, {{motion(319, 80)}, 0, 0}, {{motion(320, 80)}, 0, 1},
        {{motion(400, 280), kClick}, 1, 5}, {{motion(10, 250), keyEvent(SDLK_a), keyEvent(SDLK_7)}, 1, 7},
        {{keyEvent(SDLK_0)}, 1, 0}, {{kClick}, 0, -1}, {{motion(10, 250), motion(10, 79), kClick}, 0, -1},
        {{pad(b.a), pad(b.b)}, 0, 1}, {{pad(b.left), pad(b.left), pad(b.a)}, 1, 0},
        {{pad(b.down), pad(b.down), pad(b.down), pad(b.down), pad(b.down), pad(b.down), pad(b.a)}, 1, 9},
        {{stick(1, -30000), stick(0, 30000), stick(1, 0), stick(0, 0), stick(1, 30000), pad(b.back)}, 0, 3},
        {{pad(b.right), pad(b.up), pad(b.a)}, 1, 1},
        {{keyEvent(SDLK_RETURN), keyEvent(SDLK_UP), keyEvent(SDLK_TAB), keyEvent(SDLK_KP_ENTER), pad(b.down, 4),
          pad(b.a, 4)}, 0, -1}};
    // clang-format on
    for (const auto &r : runs) {
        queue(r.events);
        queue({keyEvent(SDLK_ESCAPE)}); // ends the screen if nothing before it did
        EXPECT_EQ(adversaryCountScreen(), r.starts) << &r - runs;
        EXPECT_EQ(matchState.adversaryCount, r.count) << &r - runs;
        for (SDL_Event e; SDL_PollEvent(&e);) {
        }
    }
    EXPECT_EQ(board.cells[24][0], 64 + 10) << "the item left is plain again";
}

} // namespace
