// The title menu: lays out the demo arena and the four pictures, then runs frames that
// read the menu keys and the pointer, move the demo snake, feed it fruit and mark the
// selected item with a white outline.

#include "screens/title_menu.h"

#include <SDL.h>
#include <cstring>

#include "assets/pictures.h"
#include "common/random.h"
#include "display/board.h"
#include "display/picture.h"
#include "display/platform.h"
#include "display/surface.h"
#include "match/controls.h"
#include "match/match_loop.h"
#include "snakes/path_finder.h"
#include "snakes/snake.h"

namespace ravela {

namespace {

// The demo arena: a wall rectangle whose inside is 14 rows by 42 columns.
constexpr int kArenaTop = 32;
constexpr int kArenaBottom = 47;
constexpr int kArenaLeft = 10;
constexpr int kArenaRight = 53;

// The demo snake starts at this cell facing up and eats fruit worth ten cells.
constexpr int kDemoStartRow = 42;
constexpr int kDemoStartColumn = 32;
constexpr int32_t kDemoFruitGrowth = 10;
// The arena's inside, where the demo fruit lands.
constexpr int kArenaInsideRows = kArenaBottom - kArenaTop - 1;
constexpr int kArenaInsideColumns = kArenaRight - kArenaLeft - 1;

// Milliseconds between two frames of the title menu.
constexpr uint32_t kTitleFrameDelay = 60;

// The pictures' top edges; each picture is centred across the screen. The credit is
// centred as if it were one pixel wider than it is (100 for 99) on purpose: that fixes
// its left edge at x 270. It lies over the bottom rows of the logo.
constexpr int kLogoTop = 5;
constexpr int kCreditTop = 142;
constexpr int kCreditCentringWidth = kAuthorCreditSize.width + 1;
constexpr int kStartLabelTop = 190;
constexpr int kManualLabelTop = 250;

// An item's outline, in pixels: its label with a margin of two pixels all round; the
// outline of "Começar" is three pixels wider still on the right, on purpose. The item's
// pointer zone is the same box four pixels lower.
struct Frame {
    int top, left, height, width;
};
constexpr int kOutlineMargin = 2;
constexpr int kStartOutlineExtraWidth = 3;
constexpr int kZoneDrop = 4;

int centredLeft(int surfaceWidth, int width) {
    return (surfaceWidth - width) / 2;
}

Frame outlineAround(int labelTop, int labelLeft, PictureSize label, int extraWidth) {
    return {labelTop - kOutlineMargin, labelLeft - kOutlineMargin,
            label.height + 2 * kOutlineMargin, label.width + 2 * kOutlineMargin + extraWidth};
}

Frame startOutline(int surfaceWidth) {
    return outlineAround(kStartLabelTop, centredLeft(surfaceWidth, kStartLabelSize.width),
                         kStartLabelSize, kStartOutlineExtraWidth);
}
Frame manualOutline(int surfaceWidth) {
    return outlineAround(kManualLabelTop, centredLeft(surfaceWidth, kManualLabelSize.width),
                         kManualLabelSize, 0);
}

bool inZone(const Frame &outline, int x, int y) {
    const int top = outline.top + kZoneDrop;
    return x >= outline.left && x < outline.left + outline.width && y >= top &&
           y < top + outline.height;
}

int8_t itemAtPointer(int x, int y) {
    const int width = kBoardColumns * kCellPixels;
    int8_t item = 0;
    if (inZone(startOutline(width), x, y)) item = kTitleStart;
    if (inZone(manualOutline(width), x, y)) item = kTitleManual;
    return item;
}

void writeArena() {
    std::memset(board.cells, kEmpty, sizeof board.cells);
    for (int col = kArenaLeft; col <= kArenaRight; ++col) {
        board.cells[kArenaTop][col] = kWall;
        board.cells[kArenaBottom][col] = kWall;
    }
    for (int row = kArenaTop; row <= kArenaBottom; ++row) {
        board.cells[row][kArenaLeft] = kWall;
        board.cells[row][kArenaRight] = kWall;
    }
}

// The demo snake is adversary 0, grey, steered without greed or tail-following.
void startDemoSnake() {
    Snake &demo = adversarySnake[0];
    startAdversary(demo, kDemoStartRow, kDemoStartColumn);
    demo.greedy = 0;
    demo.followsTail = 0;
}

// Handles one input; false when it was Escape, which ends the menu at once.
bool handleInput(TitleMenuRun &menu, const Input &input) {
    if (pointerMoved(menu.pointer, input))
        menu.selection = itemAtPointer(input.pointer.x, input.pointer.y);
    if (input.has(kLeave)) return false;
    if (input.has(kMoveSelection)) menu.selection = static_cast<int8_t>(menu.selection % 2 + 1);
    if (input.has(kConfirm) || input.has(kPointerPress))
        if (menu.selection != 0) menu.result = menu.selection;
    return true;
}

// Puts a yellow fruit on a random cell inside the arena; a taken cell waits for the next frame.
void placeDemoFruit(TitleMenuRun &menu) {
    const int col = rand() % kArenaInsideColumns + kArenaLeft + 1;
    const int row = rand() % kArenaInsideRows + kArenaTop + 1;
    if (board.cells[row][col] != kEmpty) return;
    setCellAndDraw(board, kYellowFruit, row, col);
    --menu.fruitsToPlace;
}

// Redraws both outlines when the selection changed: white around the selected item,
// black around the other. The surface is unlocked before it is presented.
void drawOutlines(TitleMenuRun &menu) {
    SDL_Surface *surface = board.surface;
    const bool locked = lockSurface(surface);
    const bool changed = menu.selection != menu.drawnSelection;
    if (changed) {
        const uint32_t white = SDL_MapRGB(surface->format, 255, 255, 255);
        const uint32_t black = SDL_MapRGB(surface->format, 0, 0, 0);
        menu.drawnSelection = menu.selection;
        const Frame start = startOutline(kBoardColumns * kCellPixels);
        const Frame manual = manualOutline(kBoardColumns * kCellPixels);
        drawOutline(start.top, start.left, start.height, start.width,
                    menu.selection == kTitleStart ? white : black);
        drawOutline(manual.top, manual.left, manual.height, manual.width,
                    menu.selection == kTitleManual ? white : black);
    }
    if (locked) unlockSurface(surface);
    if (changed) presentRect(surface, 0, 0, 0, 0);
}

} // namespace

TitleMenuRun setUpTitleMenu() {
    board.autoPresent = 0;
    writeArena();
    board.autoPresent = 1;
    redrawBoard(board);

    const int width = kBoardColumns * kCellPixels;
    showPictures({
        {&titleLogo, kLogoTop, centredLeft(width, kTitleLogoSize.width)},
        {&authorCredit, kCreditTop, centredLeft(width, kCreditCentringWidth)},
        {&startLabel, kStartLabelTop, centredLeft(width, kStartLabelSize.width)},
        {&manualLabel, kManualLabelTop, centredLeft(width, kManualLabelSize.width)},
    });

    startDemoSnake();
    return TitleMenuRun{
        .selection = 0,
        .drawnSelection = -1,
        .result = 0,
        .fruitsToPlace = 2,
        .pointer = pointerNow(),
    };
}

bool runTitleMenuFrame(TitleMenuRun &menu) {
    Input input{};
    while (pollWords(input))
        if (!handleInput(menu, input)) return false;

    showCursor(false);
    Snake &demo = adversarySnake[0];
    chooseDirection(demo);
    if (stepSnake(demo, kDemoFruitGrowth) == kStepAteYellow) ++menu.fruitsToPlace;
    if (menu.fruitsToPlace > 0) placeDemoFruit(menu);
    drawOutlines(menu);
    showCursor(true);
    return true;
}

int8_t titleMenu() {
    TitleMenuRun menu = setUpTitleMenu();
    for (;;) {
        if (!runTitleMenuFrame(menu)) return kTitleQuit;
        matchClock.delay(kTitleFrameDelay);
        if (menu.result != 0) {
            showCursor(false);
            return menu.result;
        }
    }
}

} // namespace ravela
