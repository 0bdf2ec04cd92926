// The screens around a match, driven headlessly: events are queued before a screen runs,
// then the result, the Board, the lock/present calls and the pixels are checked on a surface
// that SDL says must be locked. What the screens show is read back against the real-window
// suite's own tiles and layouts; what they hear is every kind of event the controls read.

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <unistd.h>
#include <vector>

#include "display/platform.h"
#include "display/surface.h"
#include "match/match_loop.h"
#include "screens/count_screen.h"
#include "screens/manual_pages.h"
#include "screens/screen_loop.h"
#include "screens/title_menu.h"
#include "tests/drawn.h"
#include "tests/fixture.h"

using namespace ravela;
namespace rt = ravela::testing;
using rt::keyEvent;
using rt::motion;
using rt::pixelAt;
using rt::queue;
using Events = std::vector<SDL_Event>;

namespace {

const SDL_Event kClick = rt::buttonDown(SDL_BUTTON_LEFT);
// A turn of the wheel, a notch each way.
const SDL_Event kWheelUp = rt::buttonDown(SDL_BUTTON_WHEELUP);
const SDL_Event kWheelDown = rt::buttonDown(SDL_BUTTON_WHEELDOWN);
const SDL_Event kButtonUp{.type = SDL_MOUSEBUTTONUP};
const SDL_Event kFocusLost{.active = {SDL_ACTIVEEVENT, 0, SDL_APPINPUTFOCUS}};
const SDL_Event kExpose{.type = SDL_VIDEOEXPOSE};
SDL_Event keyUp(SDLKey key) {
    return keyEvent(key, SDL_KEYUP);
}
// Player 1's pad is the platform's number 5; number 4 is a pad that nobody holds.
constexpr int kPlayerPad = 5, kStrayPad = 4;
SDL_Event pad(uint8_t button, int device = kPlayerPad) {
    return rt::padButton(device, button);
}
SDL_Event stick(uint8_t axis, int value) {
    return rt::padAxis(kPlayerPad, axis, value);
}
const PadButtons &b = kPadButtons;

// Whether every pixel of the two-pixel frame round the rectangle has that value.
bool outlineIs(SDL_Surface *surface, harness::Rect o, uint32_t pixel) {
    for (int y = o.y; y < o.y + o.h; ++y)
        for (int x = o.x; x < o.x + o.w; ++x)
            if ((x < o.x + 2 || x >= o.x + o.w - 2 || y < o.y + 2 || y >= o.y + o.h - 2) &&
                pixelAt(surface, x, y) != pixel)
                return false;
    return true;
}

bool cursorShown() {
    return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
}

// A clock that moves only when the program waits. Each wait (a title menu frame's, or a match
// tick's) records its length and queues the next batch of events, as if the player pressed
// them meanwhile: the title menu and the match read every queued event at once.
struct {
    uint32_t now;
    std::vector<uint32_t> waits;
    std::vector<Events> batches;
} fake;
void wait(uint32_t ms) {
    fake.now += ms;
    fake.waits.push_back(ms);
    if (fake.waits.size() < fake.batches.size()) queue(fake.batches[fake.waits.size()]);
}

class ScreensTest : public rt::GameTest {
  protected:
    void SetUp() override {
        rt::resetGame(surface, 7);
        fake = {};
        matchClock = {[] { return fake.now; }, wait, wait};
        rt::givePads({kPlayerPad});
        surface->flags |= SDL_RLEACCEL; // SDL_MUSTLOCK holds
        surfaceTrace.on = true;
        showCursor(false);
        alarm(60); // a screen still waiting by then never got the events that end it
    }
    void TearDown() override {
        alarm(0);
        surface->flags &= ~SDL_RLEACCEL;
    }
    SDL_Surface *surface = GameTest::surface();
};

// One frame per row, in order: each pointer zone is its outline moved 4 pixels down; Tab and
// the arrows alternate; leaving both zones clears the keyboard's choice; a click confirms it
// anywhere. The selected item's outline is white, the other's black, and a changed outline
// is presented after the unlock.
TEST_F(ScreensTest, KeyboardAndPointerShareTheSelection) {
    // clang-format off
    const struct { const char *rule; Events events; int selection, result; } frames[] = {
        {"nothing to confirm at first", {keyEvent(SDLK_RETURN), kClick, keyEvent(SDLK_KP_ENTER)}, 0, 0},
        {"the outline's top lies above the zone", {motion(300, 190)}, 0, 0},
        {"the zone of Começar starts 4 below its outline", {motion(300, 192)}, 1, 0},
        {"the zone of Manual starts at y 252", {motion(300, 252)}, 2, 0},
        {"the zone of Manual ends before y 303", {motion(300, 303)}, 0, 0},
        {"the zone of Manual starts at x 225", {motion(225, 260)}, 2, 0},
        {"the zone of Começar ends before x 431", {motion(431, 200)}, 0, 0},
        {"the zone of Começar reaches x 430", {motion(430, 200)}, 1, 0},
        {"the zone of Começar starts at x 212", {motion(211, 200), motion(212, 200)}, 1, 0},
        {"the zone of Manual ends before x 414", {motion(414, 260)}, 0, 0},
        {"Tab from none selects Começar", {keyEvent(SDLK_TAB)}, 1, 0},
        {"Up moves on to Manual", {keyEvent(SDLK_UP)}, 2, 0},
        {"Down moves back to Começar", {keyEvent(SDLK_DOWN)}, 1, 0},
        {"Left moves on to Manual", {keyEvent(SDLK_LEFT)}, 2, 0},
        {"Right moves back to Começar", {keyEvent(SDLK_RIGHT)}, 1, 0},
        {"leaving both zones clears the selection", {motion(10, 10), kClick}, 0, 0},
        {"a click confirms the keyboard's choice", {keyEvent(SDLK_TAB), kClick}, 1, kTitleStart}};
    // clang-format on
    const uint32_t white = SDL_MapRGB(surface->format, 255, 255, 255);
    const uint32_t black = SDL_MapRGB(surface->format, 0, 0, 0);
    TitleMenuRun menu = setUpTitleMenu();
    int drawn = -1;
    for (const auto &f : frames) {
        SCOPED_TRACE(f.rule);
        queue(f.events);
        EXPECT_TRUE(runTitleMenuFrame(menu));
        EXPECT_EQ(menu.selection, f.selection);
        EXPECT_EQ(menu.result, f.result);
        EXPECT_TRUE(outlineIs(surface, harness::kStartOutline, f.selection == 1 ? white : black));
        EXPECT_TRUE(outlineIs(surface, harness::kManualOutline, f.selection == 2 ? white : black));
        const std::string &calls = surfaceTrace.calls;
        EXPECT_EQ(calls.substr(calls.size() - 2 - (f.selection != drawn)),
                  f.selection != drawn ? "LUP" : "LU");
        if (f.selection != drawn) {
            EXPECT_EQ(std::to_array(surfaceTrace.lastPresent), (std::array{0, 0, 0, 0}));
        }
        drawn = f.selection;
    }
    queue({keyEvent(SDLK_TAB), keyEvent(SDLK_TAB), keyEvent(SDLK_RETURN)});
    EXPECT_EQ(titleMenu(), kTitleManual);
    EXPECT_FALSE(cursorShown()) << "the menu hides the cursor when it ends";
    EXPECT_EQ(fake.waits, std::vector<uint32_t>{60}) << "each frame ends with a wait of 60 ms";
}

// A case of one screen: its name, the events it hears, and two figures of what follows.
struct Case {
    std::string name;
    Events events;
    int first, second;
};
void PrintTo(const Case &c, std::ostream *out) {
    *out << c.name;
}
std::string caseName(const ::testing::TestParamInfo<Case> &info) {
    return info.param.name;
}
struct ScreenCase : ScreensTest, ::testing::WithParamInterface<Case> {};

// The title menu from a fresh start, one frame: the selection after it (first) and the result
// (second; -1 when Escape ended the menu).
using TitleMenuHears = ScreenCase;
TEST_P(TitleMenuHears, WhatItsControlsSay) {
    TitleMenuRun menu = setUpTitleMenu();
    queue(GetParam().events);
    const bool goesOn = runTitleMenuFrame(menu);
    EXPECT_EQ(goesOn ? menu.result : -1, GetParam().second);
    if (goesOn) {
        EXPECT_EQ(menu.selection, GetParam().first);
        EXPECT_TRUE(cursorShown()) << "the cursor shows between frames";
    }
}
// clang-format off
INSTANTIATE_TEST_SUITE_P(, TitleMenuHears, ::testing::Values(
    Case{"KeypadEnterConfirmsTheSelection", {keyEvent(SDLK_TAB), keyEvent(SDLK_TAB), keyEvent(SDLK_KP_ENTER)}, 2, 2},
    Case{"AnyButtonConfirmsTheSelection", {keyEvent(SDLK_DOWN), rt::buttonDown(SDL_BUTTON_RIGHT)}, 1, 1},
    Case{"TheWheelConfirmsNothing", {keyEvent(SDLK_DOWN), kWheelUp, kWheelDown}, 1, 0},
    Case{"TheWheelOverAnItemChoosesNothing", {motion(300, 200), kWheelDown}, 1, 0},
    Case{"EventsAfterAConfirmAreStillHandled", {keyEvent(SDLK_TAB), keyEvent(SDLK_RETURN), keyEvent(SDLK_TAB)}, 2, 1},
    Case{"EscapeEndsTheMenuAtOnce", {keyEvent(SDLK_TAB), keyEvent(SDLK_ESCAPE), keyEvent(SDLK_RETURN)}, 0, -1},
    Case{"OtherKeysDoNothing", {keyEvent(SDLK_a), keyEvent(SDLK_5), keyEvent(SDLK_SPACE), keyEvent(SDLK_KP8)}, 0, 0},
    Case{"MotionToWhereThePointerAlreadyIsChangesNothing", {keyEvent(SDLK_TAB), motion(0, 0)}, 1, 0},
    Case{"ReleasesDoNothing", {keyUp(SDLK_TAB), keyEvent(SDLK_TAB), keyUp(SDLK_RETURN), kButtonUp}, 1, 0},
    Case{"FocusAndExposeDoNothing", {kFocusLost, kExpose}, 0, 0},
    Case{"APadsDirectionMovesTheSelection", {pad(b.down)}, 1, 0},
    Case{"APadsAConfirms", {pad(b.left), pad(b.a)}, 1, 1},
    Case{"APadsBackEndsTheMenu", {pad(b.back)}, 0, -1},
    Case{"APadsBAndStartDoNothing", {pad(b.b), pad(b.start), pad(2)}, 0, 0},
    Case{"TheLeftStickMovesTheSelection", {stick(1, -30000)}, 1, 0},
    Case{"TheRightStickDoesNothing", {stick(2, -30000), stick(3, 30000), stick(4, 30000)}, 0, 0},
    Case{"APadNobodyHoldsDoesNothing", {pad(b.down, kStrayPad), pad(b.back, kStrayPad)}, 0, 0}),
    caseName);
// clang-format on

// The adversary-count screen until it returns, Escape queued behind the case: whether it
// starts a match (first) and the count it leaves (second).
using CountScreenHears = ScreenCase;
TEST_P(CountScreenHears, WhatItsControlsSay) {
    queue(GetParam().events);
    queue({keyEvent(SDLK_ESCAPE)}); // ends the screen if nothing before it did
    const bool starts = adversaryCountScreen();
    EXPECT_EQ(starts, GetParam().first != 0);
    EXPECT_EQ(matchState.adversaryCount, GetParam().second);
    EXPECT_EQ(cursorShown(), !starts) << "the cursor shows until a match starts";
}
// clang-format off
INSTANTIATE_TEST_SUITE_P(, CountScreenHears, ::testing::Values(
    Case{"AboveTheBoxesNothingIsHighlighted", {motion(300, 79)}, 0, -1},
    Case{"TheLeftHalfHoldsTheEvenCounts", {motion(319, 80)}, 0, 0},
    Case{"TheRightHalfHoldsTheOddCounts", {motion(320, 80)}, 0, 1},
    Case{"EachRowOfBoxesIsEightyPixelsHigh", {motion(639, 479)}, 0, 9},
    Case{"AClickOverABoxStartsWithItsCount", {motion(400, 280), kClick}, 1, 5},
    Case{"AClickOverTheBoxForZeroStartsWithoutAdversaries", {motion(0, 80), kClick}, 1, 0},
    Case{"TheMiddleButtonOverABoxStarts", {motion(400, 280), rt::buttonDown(SDL_BUTTON_MIDDLE)}, 1, 5},
    Case{"TheWheelOverABoxStartsNothing", {motion(400, 280), kWheelUp, kWheelDown}, 0, 5},
    Case{"TheWheelOverNoBoxDoesNotGoBack", {kWheelDown, motion(400, 280), kClick}, 1, 5},
    Case{"ADigitStartsWhateverIsHighlighted", {motion(10, 250), keyEvent(SDLK_a), keyEvent(SDLK_7)}, 1, 7},
    Case{"ZeroStartsWithoutAdversaries", {keyEvent(SDLK_0)}, 1, 0},
    Case{"AClickOverNoBoxGoesBack", {kClick}, 0, -1},
    Case{"AClickAfterLeavingTheBoxesUpwardsGoesBack", {motion(10, 250), motion(10, 79), kClick}, 0, -1},
    Case{"MenuKeysAndReleasesDoNothing", {keyEvent(SDLK_RETURN), keyEvent(SDLK_UP), keyEvent(SDLK_TAB),
                                          keyEvent(SDLK_KP_ENTER), keyUp(SDLK_5), kButtonUp, kFocusLost}, 0, -1},
    Case{"APadsFirstAShowsTheBoxForOne", {pad(b.a)}, 0, 1},
    Case{"MotionToWhereThePointerAlreadyIsChangesNothing", {pad(b.a), motion(0, 0), pad(b.a)}, 1, 1},
    Case{"APadsBGoesBack", {pad(b.a), pad(b.b), pad(b.a)}, 0, 1},
    Case{"APadsBackGoesBack", {pad(b.right), pad(b.back), pad(b.a)}, 0, 1},
    Case{"APadsAStartsWithTheHighlightedBox", {pad(b.left), pad(b.left), pad(b.a)}, 1, 0},
    Case{"APadStopsAtTheBottomRow", {pad(b.down), pad(b.down), pad(b.down), pad(b.down), pad(b.down),
                                     pad(b.down), pad(b.a)}, 1, 9},
    Case{"APadsUpMovesOneRowUp", {pad(b.a), pad(b.down), pad(b.up), pad(b.a)}, 1, 1},
    Case{"APadStopsAtTheTopRowAndTheRightColumn", {pad(b.right), pad(b.up), pad(b.right), pad(b.a)}, 1, 1},
    Case{"APadsStartAndOtherButtonsDoNothing", {pad(b.start), pad(2), pad(3)}, 0, -1},
    Case{"TheLeftStickMovesTheHighlightOncePerPush",
         {stick(1, -30000), stick(0, 30000), stick(1, 0), stick(0, 0), stick(1, 30000), pad(b.back)}, 0, 3},
    Case{"TheRightStickDoesNothing", {stick(2, 30000), stick(3, -30000), stick(5, 30000)}, 0, -1},
    Case{"APadNobodyHoldsDoesNothing", {pad(b.down, kStrayPad), pad(b.a, kStrayPad)}, 0, -1}),
    caseName);
// clang-format on

// The manual with the case's events queued before four key presses: how many pages the
// case's events turn (first), seen from how many presses are left once the third page
// is turned.
using ManualHears = ScreenCase;
TEST_P(ManualHears, WhatTurnsAPage) {
    queue(GetParam().events);
    for (int k = 0; k < 4; ++k)
        rt::pressKey(SDLK_SPACE);
    manualPages();
    int left = 0;
    for (SDL_Event e; SDL_PollEvent(&e);)
        ++left;
    EXPECT_EQ(left, 1 + GetParam().first);
    EXPECT_FALSE(cursorShown()) << "the manual hides the cursor when it ends";
}
// clang-format off
INSTANTIATE_TEST_SUITE_P(, ManualHears, ::testing::Values(
    Case{"AnyKeyTurnsAPage", {keyEvent(SDLK_a)}, 1, 0},
    Case{"EscapeTurnsAPageAndDoesNotLeaveEarly", {keyEvent(SDLK_ESCAPE)}, 1, 0},
    Case{"AMouseButtonTurnsAPage", {kClick}, 1, 0},
    Case{"TheWheelDoesNotTurn", {kWheelUp, kWheelDown}, 0, 0},
    Case{"APadsButtonTurnsAPage", {pad(b.start)}, 1, 0},
    Case{"ReleasesMotionAndFocusDoNotTurn", {keyUp(SDLK_a), kButtonUp, motion(5, 5), kFocusLost, kExpose}, 0, 0},
    Case{"AStickDoesNotTurn", {stick(0, 30000), stick(2, 30000)}, 0, 0},
    Case{"APadNobodyHoldsDoesNotTurn", {pad(b.a, kStrayPad)}, 0, 0}),
    caseName);
// clang-format on

// The title menu shows its four pictures at their places, black outlines round both items,
// the arena walls in bricks bevelled toward their open sides, and nothing but empty cells
// around them; inside the arena only the grey demo snake and yellow fruit.
TEST_F(ScreensTest, TheTitleMenuShowsItsPicturesOutlinesAndArena) {
    TitleMenuRun menu = setUpTitleMenu();
    EXPECT_EQ(surfaceTrace.calls, "LUPLUP"
                                  "LUPLUP")
        << "the laid-out screen, the pictures, then the demo snake's two cells one by one";
    EXPECT_EQ(std::to_array(surfaceTrace.lastPresent), (std::array{320, 420, 10, 10}));
    runTitleMenuFrame(menu);
    using namespace ravela::harness;
    const Rect logoAboveCredit = {kLogo.x, kLogo.y, kLogo.w, kCredit.y - kLogo.y};
    for (const auto &[picture, rect] : {std::pair{&titleLogo, logoAboveCredit},
                                        {&authorCredit, kCredit},
                                        {&startLabel, kStartLabel},
                                        {&manualLabel, kManualLabel}})
        EXPECT_EQ(rt::picturePixelsThatDiffer(surface, *picture, rect), 0)
            << "picture at " << rect.x << "," << rect.y;
    EXPECT_TRUE(outlineIs(surface, kStartOutline, 0) && outlineIs(surface, kManualOutline, 0));

    bool wall[kBoardRows + 2][kBoardColumns + 2] = {};
    for (const auto &[row, col] : kTitleWalls)
        wall[row + 1][col + 1] = true;
    const Rect drawn[] = {kLogo, kCredit, kStartLabel, kManualLabel, kStartOutline, kManualOutline};
    for (int row = 0; row < kBoardRows; ++row)
        for (int col = 0; col < kBoardColumns; ++col) {
            SCOPED_TRACE("cell " + std::to_string(row) + "," + std::to_string(col));
            const int code = rt::shownCode(surface, row, col);
            if (wall[row + 1][col + 1]) {
                const bool open[4] = {!wall[row][col + 1], !wall[row + 2][col + 1],
                                      !wall[row + 1][col], !wall[row + 1][col + 2]};
                EXPECT_TRUE(rt::showsBrick(surface, row, col, open));
            } else if (row > 32 && row < 47 && col > 10 && col < 53) {
                EXPECT_TRUE(code == kEmpty || code == kYellowFruit || inColourBand(code, 64));
            } else if (std::none_of(std::begin(drawn), std::end(drawn), [&](const Rect &r) {
                           return 10 * col < r.x + r.w && r.x < 10 * col + 10 &&
                                  10 * row < r.y + r.h && r.y < 10 * row + 10;
                       })) {
                EXPECT_EQ(code, kEmpty);
            }
        }
}

// The count screen shows its ten boxes, the one under the pointer in player 1's colours,
// empty cells between them and beside the header, and the header picture at its place.
struct CountScreenShows : ScreensTest, ::testing::WithParamInterface<int> {};
TEST_P(CountScreenShows, ItsBoxesAndHeader) {
    const int highlighted = GetParam();
    if (highlighted >= 0) queue({motion(320 * (highlighted % 2) + 5, 80 * (highlighted / 2) + 85)});
    queue({keyEvent(SDLK_ESCAPE)});
    EXPECT_FALSE(adversaryCountScreen());
    if (highlighted < 0) {
        EXPECT_EQ(std::to_array(surfaceTrace.lastPresent), (std::array{0, 0, 640, 80}))
            << "the header presents only its band";
    }
    EXPECT_EQ(rt::cellsThatDiffer(surface, harness::kCountScreenCells[highlighted + 1]), "");
    EXPECT_EQ(rt::picturePixelsThatDiffer(surface, countHeader, harness::kCountHeader), 0);
}
INSTANTIATE_TEST_SUITE_P(, CountScreenShows, ::testing::Range(-1, 10), [](const auto &box) {
    return box.param < 0 ? std::string("NothingHighlighted")
                         : "Box" + std::to_string(box.param) + "Highlighted";
});

// The snake starts inside the arena, its start cell drawn as its tail so that no fruit lands
// there. Two fruits are out after two frames, placed one per frame and
// replaced when eaten; each grows the snake by ten cells, and it never leaves the arena.
TEST_F(ScreensTest, DemoSnakeHuntsTwoFruitsInsideTheArena) {
    TitleMenuRun menu = setUpTitleMenu();
    EXPECT_EQ(board.cells[41][32], 64);
    EXPECT_EQ(board.cells[42][32], 64 + 5);
    const Snake &demo = adversarySnake[0];
    EXPECT_FALSE(demo.greedy || demo.followsTail) << "steered without greed or tail-following";
    int eaten = 0, fruits = 0;
    for (int frame = 0; frame < 3000; ++frame) {
        const int32_t size = demo.length + demo.growth;
        runTitleMenuFrame(menu);
        const int row = headRow(demo), col = headColumn(demo);
        ASSERT_TRUE(row >= 33 && row <= 46 && col >= 11 && col <= 52) << frame;
        const bool ate = demo.length + demo.growth > size; // else it keeps or loses a cell
        const int now = rt::countCells(kYellowFruit);
        ASSERT_EQ(now + menu.fruitsToPlace, 2) << frame;
        ASSERT_LE(now - fruits + ate, 1) << frame << ": one placed a frame";
        ASSERT_TRUE(frame != 1 || now == 2);
        EXPECT_TRUE(!ate || demo.length + demo.growth == size + 10) << frame;
        fruits = now;
        eaten += ate;
    }
    EXPECT_GE(eaten, 5);
    // A fruit lands on any row and any column inside the arena, and only there.
    std::set<int> rows, columns, inside[2];
    menu = setUpTitleMenu(); // a short snake again, which leaves the arena all but free
    for (int frame = 0; frame < 1000; ++frame) {
        menu.fruitsToPlace = 1;
        runTitleMenuFrame(menu);
        for (int cell = 0; cell < kBoardRows * kBoardColumns; ++cell)
            if (int8_t &code = board.cells[cell / kBoardColumns][cell % kBoardColumns];
                code == kYellowFruit)
                rows.insert(cell / 64), columns.insert(cell % 64), code = kEmpty;
    }
    for (int v = 0; v < 42; ++v)
        inside[0].insert(33 + v % 14), inside[1].insert(11 + v);
    EXPECT_EQ(rows, inside[0]);
    EXPECT_EQ(columns, inside[1]);
}

// Moving within one item redraws nothing; moving across items redraws the old one plain
// and the new one highlighted, each presenting after its unlock.
TEST_F(ScreensTest, HoverRedrawsOnlyTheOldAndTheNewItem) {
    board.autoPresent = 1; // as the title menu and a match leave it: still one lay-out present
    queue({motion(100, 100), motion(200, 150), motion(400, 200), motion(330, 239),
           keyEvent(SDLK_ESCAPE)});
    EXPECT_FALSE(adversaryCountScreen());
    EXPECT_EQ(surfaceTrace.calls, "LUPLUP" /* lay-out, header */ "LUP" /* 0 */ "LUPLUP" /* 0, 3 */);
    EXPECT_EQ(matchState.adversaryCount, 3);
}

// The screen loop from the start: the title menu, the manual, the count screen and a match,
// each batch of events pressed during one wait; where the program is when it ends.
struct Road {
    std::string name;
    std::vector<Events> batches;
    const char *endsOn;
};
void PrintTo(const Road &road, std::ostream *out) {
    *out << road.name;
}
struct ScreenLoopDeathTest : ScreensTest, ::testing::WithParamInterface<Road> {};
TEST_P(ScreenLoopDeathTest, EndsWhereTheScreensLead) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const SDL_Event quit{.type = SDL_QUIT};
    fake.batches = GetParam().batches;
    fake.batches.back().push_back(quit);
    EXPECT_EXIT(
        {
            std::atexit([] {
                const Picture *pages[] = {&manualPage1, &manualPage2, &manualPage3};
                for (int page = 0; page < 3; ++page)
                    if (rt::picturePixelsThatDiffer(board.surface, *pages[page],
                                                    harness::kManualPage) == 0)
                        return void(std::fprintf(stderr, "on manual page %d, cursor %s\n", page + 1,
                                                 cursorShown() ? "shown" : "hidden"));
                const bool title = board.cells[32][10] == kWall; // the demo arena's corner
                const bool count = board.cells[8][0] == kAdversaryBase + kCornerRightBottom;
                std::fprintf(stderr, "on the %s\n", title ? "title" : count ? "count" : "other");
            });
            queue(fake.batches[0]);
            runScreens();
        },
        ::testing::ExitedWithCode(0), std::string("^on ") + GetParam().endsOn + "\n$");
}
const Events kStart = {keyEvent(SDLK_TAB), keyEvent(SDLK_RETURN)};
const Events kManual = {keyEvent(SDLK_TAB), keyEvent(SDLK_TAB), keyEvent(SDLK_RETURN)};
const SDL_Event kA = keyEvent(SDLK_a), kEscape = keyEvent(SDLK_ESCAPE);
INSTANTIATE_TEST_SUITE_P(
    , ScreenLoopDeathTest,
    ::testing::Values(
        Road{"EscapeOnTheTitleMenuEndsTheProgram", {{kEscape}}, "the title"},
        Road{"TheManualShowsItsFirstPageWithTheCursor",
             {kManual, {}},
             "manual page 1, cursor shown"},
        Road{"AKeyTurnsToTheSecondPage", {kManual, {kA}}, "manual page 2, cursor shown"},
        Road{"AnotherKeyTurnsToTheThirdPage", {kManual, {kA, kA}}, "manual page 3, cursor shown"},
        Road{"TheManualLeadsBackToTheTitleMenu", {kManual, {kA, kA, kA}}, "the title"},
        Road{"StartLeadsToTheCountScreen", {kStart, {}}, "the count"},
        Road{"EscapeOnTheCountScreenLeadsBackToTheTitleMenu", {kStart, {kEscape}}, "the title"},
        Road{"AMatchEndsOnTheCountScreen", {kStart, {keyEvent(SDLK_0), kEscape}, {}}, "the count"}),
    [](const auto &road) { return road.param.name; });

} // namespace
