// The screens around a match, driven headlessly: events are queued before a screen runs,
// then the result, the Board, the pixels and the lock/present calls are checked. The
// screen loop runs in death-test children fed by a thread that queues events in phases.

#include <gtest/gtest.h>

#include <SDL.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "assets/pictures.h"
#include "display/board.h"
#include "display/picture.h"
#include "display/surface.h"
#include "match/match_state.h"
#include "screens/count_screen.h"
#include "screens/manual_pages.h"
#include "screens/screen_loop.h"
#include "screens/title_menu.h"
#include "snakes/snake.h"
#include "tests/support.h"

using namespace ravela;
using ravela::testing::makeSurface;
using ravela::testing::pixelAt;
using ravela::testing::resetGame;

namespace {

SDL_Event keyEvent(SDLKey key, uint8_t type = SDL_KEYDOWN) {
    SDL_Event event{.type = type};
    event.key.keysym.sym = key;
    return event;
}
SDL_Event motionEvent(int x, int y) {
    SDL_Event event{.type = SDL_MOUSEMOTION};
    event.motion.x = static_cast<Uint16>(x);
    event.motion.y = static_cast<Uint16>(y);
    return event;
}
// Any button will do: the screens look only at the press.
const SDL_Event kClick{.type = SDL_MOUSEBUTTONDOWN};
const SDL_Event kQuit{.type = SDL_QUIT};

void push(std::initializer_list<SDL_Event> events) {
    for (SDL_Event event : events)
        SDL_PushEvent(&event);
}
void flushEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
}

// Presents made while the surface was still locked; the surface protocol forbids any.
int presentsWhileLocked(const std::string &calls) {
    int depth = 0, bad = 0;
    for (char c : calls) {
        if (c == 'L') ++depth;
        if (c == 'U') --depth;
        if (c == 'P' && depth > 0) ++bad;
    }
    return bad;
}

// Pixels in the box that differ between two surfaces of the same format.
int differingPixels(SDL_Surface *a, SDL_Surface *b, int x, int y, int w, int h) {
    int count = 0;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            count += pixelAt(a, col, row) != pixelAt(b, col, row);
    return count;
}

// The next value of a copy of the game's generator.
int nextRandom(uint32_t &state) {
    state = state * 22695477u + 1u;
    return static_cast<int>((state >> 16) & 0x7fff);
}

bool insideArena(int row, int col) {
    return row >= 33 && row <= 46 && col >= 11 && col <= 52;
}

int yellowFruitsOnBoard() {
    int count = 0;
    for (auto &row : board.cells)
        for (int8_t code : row)
            count += code == kYellowFruit;
    return count;
}

class ScreensTest : public ::testing::Test {
  protected:
    void SetUp() override {
        surface = makeSurface(32);
        resetGame(surface, 7);
        flushEvents();
    }
    void TearDown() override {
        flushEvents();
        SDL_FreeSurface(surface);
    }
    // Makes the surface one that SDL says must be locked, and records the calls.
    void traceWithLocking() {
        surface->flags |= SDL_RLEACCEL;
        surfaceTrace.on = true;
    }
    SDL_Surface *surface = nullptr;
};

using TitleMenuTest = ScreensTest;
using CountScreenTest = ScreensTest;
using ManualPagesTest = ScreensTest;
using ScreensDeathTest = ScreensTest;

TEST_F(TitleMenuTest, SetUpDrawsTheArenaThePicturesAndTheDemoSnake) {
    traceWithLocking();
    const TitleMenuRun menu = setUpTitleMenu();
    surface->flags &= ~SDL_RLEACCEL;
    EXPECT_EQ(presentsWhileLocked(surfaceTrace.calls), 0);
    EXPECT_EQ(menu.selection, 0);
    EXPECT_EQ(menu.fruitsToPlace, 2);

    const Snake &demo = adversarySnake[0];
    EXPECT_EQ(demo.greedy, 0);
    EXPECT_EQ(demo.followsTail, 0);
    EXPECT_EQ(headRow(demo), 41);
    EXPECT_EQ(headColumn(demo), 32);
    for (int row = 0; row < kBoardRows; ++row)
        for (int col = 0; col < kBoardColumns; ++col) {
            const bool border = row >= 32 && col >= 10 && col <= 53 &&
                                (row == 32 || row == 47 || col == 10 || col == 53);
            const int8_t expected = border ? kWall : row == 41 && col == 32 ? int8_t{64} : kEmpty;
            ASSERT_EQ(board.cells[row][col], expected) << row << "," << col;
        }
    // The arena's corners carry the brick bevel: light top-left, dark bottom-right.
    EXPECT_EQ(pixelAt(surface, 100, 320), board.palette[9]);
    EXPECT_EQ(pixelAt(surface, 539, 479), board.palette[8]);

    // The four pictures lie where the same pictures decoded in the same order lie.
    SDL_Surface *reference = makeSurface(32);
    decodeAndBlit(titleLogo.bytes, titleLogo.length, reference, 5, 19);
    decodeAndBlit(authorCredit.bytes, authorCredit.length, reference, 142, 270);
    decodeAndBlit(startLabel.bytes, startLabel.length, reference, 190, 214);
    decodeAndBlit(manualLabel.bytes, manualLabel.length, reference, 250, 227);
    EXPECT_EQ(differingPixels(surface, reference, 19, 5, 602, 150), 0);
    EXPECT_EQ(differingPixels(surface, reference, 270, 142, 99, 15), 0);
    EXPECT_EQ(differingPixels(surface, reference, 214, 190, 212, 55), 0);
    EXPECT_EQ(differingPixels(surface, reference, 227, 250, 185, 47), 0);
    SDL_FreeSurface(reference);
}

TEST_F(TitleMenuTest, PointerZonesLieFourPixelsBelowTheOutlines) {
    TitleMenuRun menu = setUpTitleMenu();
    const struct {
        int x, y;
        int8_t item;
    } points[] = {{300, 190, 0}, {300, 192, 1}, {300, 250, 1}, {300, 251, 0}, {300, 252, 2},
                  {300, 302, 2}, {300, 303, 0}, {211, 200, 0}, {212, 200, 1}, {430, 200, 1},
                  {431, 200, 0}, {224, 260, 0}, {225, 260, 2}, {413, 260, 2}, {414, 260, 0}};
    for (const auto &p : points) {
        push({motionEvent(p.x, p.y)});
        ASSERT_TRUE(runTitleMenuFrame(menu));
        EXPECT_EQ(menu.selection, p.item) << p.x << "," << p.y;
    }
    EXPECT_EQ(menu.result, 0);
}

TEST_F(TitleMenuTest, KeyboardAndPointerShareTheSelection) {
    TitleMenuRun menu = setUpTitleMenu();
    push({keyEvent(SDLK_RETURN), kClick, keyEvent(SDLK_KP_ENTER)});
    runTitleMenuFrame(menu);
    EXPECT_EQ(menu.result, 0) << "nothing selected, nothing confirmed";

    // Tab and every arrow go none -> "Começar" -> "Manual" -> "Começar".
    const SDLKey keys[] = {SDLK_TAB, SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
    const int8_t expected[] = {1, 2, 1, 2, 1};
    for (int i = 0; i < 5; ++i) {
        push({keyEvent(keys[i])});
        runTitleMenuFrame(menu);
        EXPECT_EQ(menu.selection, expected[i]);
    }
    // The pointer leaving both zones clears a keyboard selection, so a click does nothing.
    push({motionEvent(10, 10), kClick});
    runTitleMenuFrame(menu);
    EXPECT_EQ(menu.result, 0);
    // A click confirms what the keyboard selected, wherever the pointer is.
    push({keyEvent(SDLK_TAB), kClick});
    runTitleMenuFrame(menu);
    EXPECT_EQ(menu.result, kTitleStart);

    // Events behind a confirming one are still handled.
    TitleMenuRun second = setUpTitleMenu();
    push({keyEvent(SDLK_TAB), keyEvent(SDLK_RETURN), keyEvent(SDLK_TAB), keyEvent(SDLK_KP_ENTER)});
    EXPECT_TRUE(runTitleMenuFrame(second));
    EXPECT_EQ(second.result, kTitleManual);
}

TEST_F(TitleMenuTest, OutlinesFollowTheSelectionAndAreUnlockedBeforePresenting) {
    TitleMenuRun menu = setUpTitleMenu();
    const uint32_t white = SDL_MapRGB(surface->format, 255, 255, 255);
    const uint32_t black = SDL_MapRGB(surface->format, 0, 0, 0);
    runTitleMenuFrame(menu);
    EXPECT_EQ(pixelAt(surface, 212, 188), black);
    EXPECT_EQ(pixelAt(surface, 225, 248), black);

    traceWithLocking();
    push({keyEvent(SDLK_TAB)});
    runTitleMenuFrame(menu);
    EXPECT_EQ(pixelAt(surface, 212, 188), white);
    EXPECT_EQ(pixelAt(surface, 430, 246), white);
    EXPECT_EQ(pixelAt(surface, 225, 248), black);
    EXPECT_EQ(presentsWhileLocked(surfaceTrace.calls), 0);
    ASSERT_GE(surfaceTrace.calls.size(), 3u);
    EXPECT_EQ(surfaceTrace.calls.substr(surfaceTrace.calls.size() - 3), "LUP");
    EXPECT_EQ(surfaceTrace.lastPresent[2], 0) << "a new selection presents the whole screen";

    // An unchanged selection redraws and presents no outline.
    runTitleMenuFrame(menu);
    surface->flags &= ~SDL_RLEACCEL;
    EXPECT_EQ(surfaceTrace.lastPresent[2], kCellPixels);
    EXPECT_EQ(surfaceTrace.calls.substr(surfaceTrace.calls.size() - 2), "LU");
}

TEST_F(TitleMenuTest, EscapeEndsTheMenuBeforeTheSnakeMoves) {
    TitleMenuRun menu = setUpTitleMenu();
    int8_t before[kBoardRows][kBoardColumns];
    std::memcpy(before, board.cells, sizeof before);
    push({keyEvent(SDLK_TAB), keyEvent(SDLK_ESCAPE), keyEvent(SDLK_RETURN)});
    EXPECT_FALSE(runTitleMenuFrame(menu));
    EXPECT_EQ(menu.result, 0);
    EXPECT_EQ(std::memcmp(before, board.cells, sizeof before), 0) << "the demo snake stays put";
    SDL_Event left;
    ASSERT_EQ(SDL_PollEvent(&left), 1) << "events behind Escape stay queued";
    EXPECT_EQ(left.key.keysym.sym, SDLK_RETURN);

    push({keyEvent(SDLK_ESCAPE)});
    EXPECT_EQ(titleMenu(), kTitleQuit);
    push({keyEvent(SDLK_TAB), keyEvent(SDLK_TAB), keyEvent(SDLK_RETURN)});
    EXPECT_EQ(titleMenu(), kTitleManual);
}

// Fruit: two at a time, one placed per frame at most. The snake grows ten cells per
// fruit and stays inside the arena however long it hunts.
TEST_F(TitleMenuTest, DemoSnakeHuntsTwoFruitsInsideTheArena) {
    TitleMenuRun menu = setUpTitleMenu();
    int8_t start[kBoardRows][kBoardColumns];
    std::memcpy(start, board.cells, sizeof start);
    const Snake &demo = adversarySnake[0];
    // The first fruit's column is drawn before its row.
    uint32_t state = matchState.randomState;
    const int firstColumn = nextRandom(state) % 42 + 11;
    const int firstRow = nextRandom(state) % 14 + 33;
    int eaten = 0, previousFruits = 0;
    for (int frame = 0; frame < 3000; ++frame) {
        int8_t before[kBoardRows][kBoardColumns];
        std::memcpy(before, board.cells, sizeof before);
        const int32_t size = demo.length + demo.growth;
        runTitleMenuFrame(menu);

        const int row = headRow(demo), col = headColumn(demo);
        ASSERT_TRUE(insideArena(row, col)) << "frame " << frame;
        const int fruits = yellowFruitsOnBoard();
        ASSERT_EQ(fruits + menu.fruitsToPlace, 2) << "frame " << frame;
        const bool ate = before[row][col] == kYellowFruit;
        ASSERT_LE(fruits - previousFruits + (ate ? 1 : 0), 1) << "one fruit per frame";
        if (ate) {
            EXPECT_EQ(demo.length + demo.growth, size + 10) << "frame " << frame;
        }
        previousFruits = fruits;
        eaten += ate;
        if (frame == 0) {
            EXPECT_EQ(board.cells[firstRow][firstColumn], kYellowFruit);
        }
        if (frame == 1) {
            EXPECT_EQ(fruits, 2) << "both fruits are out after two frames";
        }
    }
    EXPECT_GE(eaten, 5);
    for (int row = 0; row < kBoardRows; ++row) {
        for (int col = 0; col < kBoardColumns; ++col) {
            ASSERT_TRUE(insideArena(row, col) || board.cells[row][col] == start[row][col])
                << row << "," << col;
        }
    }
}

TEST_F(CountScreenTest, DrawMenuItemPaintsTheBoxAndPresentsOnlyInImmediateMode) {
    // Item 9: top row 40, left column 32, nine adversaries in pairs.
    std::memset(board.cells, kGreenFruit, sizeof board.cells);
    surfaceTrace.on = true;
    drawMenuItem(9, kPlainItem);
    EXPECT_EQ(surfaceTrace.calls, "");
    EXPECT_EQ(board.cells[40][32], 74);
    EXPECT_EQ(board.cells[40][63], 72);
    EXPECT_EQ(board.cells[47][32], 75);
    EXPECT_EQ(board.cells[47][63], 73);
    EXPECT_EQ(board.cells[40][33], 76);
    EXPECT_EQ(board.cells[47][62], 76);
    EXPECT_EQ(board.cells[41][32], 77);
    EXPECT_EQ(board.cells[46][63], 77);
    for (int p = 1; p <= 3; ++p) {
        EXPECT_EQ(board.cells[43][37 + p], 16 * p);
        EXPECT_EQ(board.cells[44][37 + p], 16 * p + 1);
    }
    std::vector<int> adversaryColumns;
    for (int col = 33; col < 63; ++col)
        if (board.cells[43][col] == 64 && board.cells[44][col] == 65)
            adversaryColumns.push_back(col);
    EXPECT_EQ(adversaryColumns, (std::vector<int>{44, 45, 47, 48, 50, 51, 53, 54, 56}));
    EXPECT_EQ(board.cells[41][33], kGreenFruit) << "the interior is left alone";
    EXPECT_EQ(board.cells[39][32], kGreenFruit);

    // Highlighted item 0 in immediate mode: one lock, unlock, whole-screen present.
    traceWithLocking();
    board.autoPresent = 1;
    surfaceTrace.calls.clear();
    drawMenuItem(0, kHighlightedItem);
    surface->flags &= ~SDL_RLEACCEL;
    EXPECT_EQ(surfaceTrace.calls, "LUP");
    EXPECT_EQ(surfaceTrace.lastPresent[2], 640);
    EXPECT_EQ(surfaceTrace.lastPresent[3], 480);
    EXPECT_EQ(board.autoPresent, 1);
    EXPECT_EQ(board.cells[8][0], 26);
    EXPECT_EQ(board.cells[11][12], kGreenFruit) << "no adversaries in item 0";
    EXPECT_EQ(board.cells[11][6], 16);

    int8_t saved[kBoardRows][kBoardColumns];
    std::memcpy(saved, board.cells, sizeof saved);
    drawMenuItem(10, kPlainItem);
    drawMenuItem(-1, kPlainItem);
    EXPECT_EQ(std::memcmp(saved, board.cells, sizeof saved), 0);
}

TEST_F(CountScreenTest, LaysOutTheBoxesUnderTheHeader) {
    traceWithLocking();
    push({keyEvent(SDLK_ESCAPE)});
    EXPECT_FALSE(adversaryCountScreen());
    surface->flags &= ~SDL_RLEACCEL;
    EXPECT_EQ(matchState.adversaryCount, -1);
    EXPECT_EQ(surfaceTrace.calls, "LUPLUP");
    EXPECT_EQ(surfaceTrace.lastPresent[3], 80) << "the header presents only its band";
    for (int col = 0; col < kBoardColumns; ++col)
        for (int row = 0; row < 8; ++row)
            ASSERT_EQ(board.cells[row][col], kEmpty);
    for (int n = 0; n < 10; ++n) {
        const int top = 8 + 8 * (n / 2), left = 32 * (n % 2);
        EXPECT_EQ(board.cells[top][left], 74) << n;
        EXPECT_EQ(board.cells[top + 3][left + 12], n > 0 ? 64 : 0) << n;
    }
    SDL_Surface *reference = makeSurface(32);
    decodeAndBlit(countHeader.bytes, countHeader.length, reference, 6, 27);
    EXPECT_EQ(differingPixels(surface, reference, 27, 6, 585, 67), 0);
    SDL_FreeSurface(reference);
}

TEST_F(CountScreenTest, HoverRedrawsOnlyTheOldAndTheNewItem) {
    surfaceTrace.on = true;
    // Item 0, item 0 again, item 3, item 3 again.
    push({motionEvent(100, 100), motionEvent(200, 150), motionEvent(400, 200),
          motionEvent(330, 239), keyEvent(SDLK_ESCAPE)});
    EXPECT_FALSE(adversaryCountScreen());
    // Two presents lay out the screen, one highlights item 0, two move the highlight.
    EXPECT_EQ(std::count(surfaceTrace.calls.begin(), surfaceTrace.calls.end(), 'P'), 5);
    EXPECT_EQ(matchState.adversaryCount, 3);
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(board.cells[8 + 8 * (n / 2)][32 * (n % 2)], n == 3 ? 26 : 74) << n;
}

TEST_F(CountScreenTest, PointerPositionsMapToItems) {
    const struct {
        int x, y;
        int8_t item;
    } points[] = {{300, 79, -1}, {319, 80, 0},  {320, 80, 1}, {0, 159, 0},
                  {0, 160, 2},   {639, 479, 9}, {0, 479, 8},  {639, 0, -1}};
    for (const auto &p : points) {
        push({motionEvent(p.x, p.y), keyEvent(SDLK_ESCAPE)});
        adversaryCountScreen();
        EXPECT_EQ(matchState.adversaryCount, p.item) << p.x << "," << p.y;
    }
}

TEST_F(CountScreenTest, ClickOrDigitStartsTheMatch) {
    push({motionEvent(400, 280), kClick});
    EXPECT_TRUE(adversaryCountScreen());
    EXPECT_EQ(matchState.adversaryCount, 5);

    // A digit wins over the highlighted item; 0 means a match without adversaries.
    push({motionEvent(10, 250), keyEvent(SDLK_a), keyEvent(SDLK_7)});
    EXPECT_TRUE(adversaryCountScreen());
    EXPECT_EQ(matchState.adversaryCount, 7);
    push({keyEvent(SDLK_0)});
    EXPECT_TRUE(adversaryCountScreen());
    EXPECT_EQ(matchState.adversaryCount, 0);

    // A click with nothing under the pointer goes back, also after leaving an item upwards.
    push({kClick});
    EXPECT_FALSE(adversaryCountScreen());
    push({motionEvent(10, 250), motionEvent(10, 50), kClick});
    EXPECT_FALSE(adversaryCountScreen());
    EXPECT_EQ(matchState.adversaryCount, -1);
    EXPECT_EQ(board.cells[24][0], 74) << "the item left is plain again";
}

TEST_F(ManualPagesTest, OnlyKeyAndButtonPressesTurnThePages) {
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 1, 2, 3));
    const uint32_t before = pixelAt(surface, 0, 0);
    traceWithLocking();
    push({keyEvent(SDLK_ESCAPE), motionEvent(5, 5), keyEvent(SDLK_a, SDL_KEYUP), kClick,
          keyEvent(SDLK_SPACE), keyEvent(SDLK_x)});
    manualPages();
    surface->flags &= ~SDL_RLEACCEL;
    EXPECT_EQ(surfaceTrace.calls, "LUPLUPLUP");
    SDL_Event left;
    ASSERT_EQ(SDL_PollEvent(&left), 1);
    EXPECT_EQ(left.key.keysym.sym, SDLK_x) << "three presses turned three pages";

    SDL_Surface *reference = makeSurface(32);
    decodeAndBlit(manualPage3.bytes, manualPage3.length, reference, 175, 20);
    EXPECT_EQ(differingPixels(surface, reference, 20, 175, 600, 300), 0);
    SDL_FreeSurface(reference);
    for (auto [x, y] : {std::pair{19, 300}, {620, 300}, {300, 174}, {300, 475}})
        EXPECT_EQ(pixelAt(surface, x, y), before) << x << "," << y;
}

// A quit request ends the program with status 0 from every screen and every page.
TEST_F(ScreensDeathTest, QuitRequestExitsWithZeroEverywhere) {
    EXPECT_EXIT((push({kQuit}), titleMenu()), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT((push({motionEvent(100, 100), kQuit}), adversaryCountScreen()),
                ::testing::ExitedWithCode(0), "");
    for (int page = 0; page < 3; ++page) {
        EXPECT_EXIT(
            {
                for (int i = 0; i < page; ++i)
                    push({keyEvent(SDLK_SPACE)});
                push({kQuit});
                manualPages();
            },
            ::testing::ExitedWithCode(0), "");
    }
}

// The screen loop runs in a child process. Phase 0 is queued first; a helper thread
// queues each later phase once the screens have taken every event of the one before,
// plus a pause that lets a title menu finish the frame it is in. At exit the child
// writes what it saw, so the test can tell which way the loop went.
std::atomic<int> phasesQueued{0};

void reportAtExit() {
    SDL_Event pending;
    std::fprintf(stderr, "phases=%d left=%d count=%d lives=%d arena=%d\n", phasesQueued.load(),
                 SDL_PeepEvents(&pending, 1, SDL_PEEKEVENT, SDL_ALLEVENTS),
                 matchState.adversaryCount, playerSnake[0].lives, board.cells[32][10] == kWall);
}

[[noreturn]] void runScript(std::vector<std::vector<SDL_Event>> phases) {
    alarm(20); // a wrong turn leaves a screen waiting: end the child instead of hanging
    std::atexit(reportAtExit);
    for (SDL_Event event : phases[0])
        SDL_PushEvent(&event);
    phasesQueued = 1;
    std::thread([phases] {
        for (size_t i = 1; i < phases.size(); ++i) {
            SDL_Event pending;
            while (SDL_PeepEvents(&pending, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0)
                SDL_Delay(5);
            SDL_Delay(300);
            for (SDL_Event event : phases[i])
                SDL_PushEvent(&event);
            ++phasesQueued;
        }
    }).detach();
    runScreens();
}

TEST_F(ScreensDeathTest, ScreenLoopEscapeOnTheTitleEndsTheProgram) {
    EXPECT_EXIT(runScript({{keyEvent(SDLK_ESCAPE)}}), ::testing::ExitedWithCode(0),
                "phases=1 left=0 count=1 lives=0 arena=1");
}

TEST_F(ScreensDeathTest, ScreenLoopManualReturnsToTheTitle) {
    // Three Tabs turn the pages; were the manual skipped, the title would start instead.
    EXPECT_EXIT(runScript({{keyEvent(SDLK_TAB), keyEvent(SDLK_TAB), keyEvent(SDLK_RETURN)},
                           {keyEvent(SDLK_TAB), keyEvent(SDLK_TAB), keyEvent(SDLK_TAB),
                            keyEvent(SDLK_RETURN)},
                           {keyEvent(SDLK_ESCAPE)}}),
                ::testing::ExitedWithCode(0), "phases=3 left=0 count=1 lives=0 arena=1");
}

TEST_F(ScreensDeathTest, ScreenLoopMatchEndsOnTheCountScreen) {
    // Start, back to the title, start, a match without adversaries, then Escape on the
    // count screen and on the title.
    EXPECT_EXIT(runScript({{keyEvent(SDLK_TAB), keyEvent(SDLK_RETURN)},
                           {keyEvent(SDLK_ESCAPE)},
                           {keyEvent(SDLK_TAB), keyEvent(SDLK_RETURN)},
                           {keyEvent(SDLK_0)},
                           {keyEvent(SDLK_ESCAPE)},
                           {keyEvent(SDLK_ESCAPE), keyEvent(SDLK_ESCAPE)}}),
                ::testing::ExitedWithCode(0), "phases=6 left=0 count=-1 lives=5 arena=1");
}

} // namespace
