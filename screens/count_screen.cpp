// The adversary-count screen. Each count 0..9 is a box of 32x8 cells framed by a snake
// body, holding the three players and that many grey adversaries as upright two-cell
// figures. Even counts lie in the left column of boxes, odd ones in the right.

#include "screens/count_screen.h"

#include <SDL.h>
#include <cstring>

#include "assets/pictures.h"
#include "display/board.h"
#include "display/picture.h"
#include "display/platform.h"
#include "display/surface.h"
#include "match/match_state.h"
#include "screens/pointer.h"
#include "snakes/snake.h"

namespace ravela {

namespace {

constexpr int kItemCount = 10;
constexpr int kItemRows = 8;
constexpr int kItemColumns = 32;
// The header band above the boxes, in pixels.
constexpr int kHeaderHeight = 80;
// Pixel size of one box on screen.
constexpr int kItemHeightPixels = kItemRows * kCellPixels;
constexpr int kItemWidthPixels = kItemColumns * kCellPixels;

// Tile offsets of the frame, from the colour base.
constexpr int8_t kFrameHorizontal = 12;
constexpr int8_t kFrameVertical = 13;
constexpr int8_t kCornerTopLeft = 10;
constexpr int8_t kCornerTopRight = 8;
constexpr int8_t kCornerBottomLeft = 11;
constexpr int8_t kCornerBottomRight = 9;

void draw(int8_t code, int row, int col) {
    setCellAndDraw(board, code, row, col);
}

int8_t offsetCode(int8_t base, int offset) {
    return static_cast<int8_t>(base + offset);
}

// The box under the pointer, or -1 over the header band (or off the boxes).
int8_t itemAtPointer(int x, int y) {
    if (y < kHeaderHeight) return -1;
    const int item =
        2 * ((y - kHeaderHeight) / kItemHeightPixels) + (x >= kItemWidthPixels ? 1 : 0);
    return item < kItemCount ? static_cast<int8_t>(item) : int8_t{-1};
}

// Moves the highlight to the box under the pointer, redrawing only the old and new box.
void hover(int8_t item) {
    if (item == matchState.adversaryCount) return;
    showCursor(false);
    if (matchState.adversaryCount >= 0) drawMenuItem(matchState.adversaryCount, kPlainItem);
    if (item >= 0) drawMenuItem(item, kHighlightedItem);
    matchState.adversaryCount = item;
    showCursor(true);
}

void layOutScreen() {
    board.autoPresent = 0;
    std::memset(board.cells, kEmpty, sizeof board.cells);
    for (int8_t n = 0; n < kItemCount; ++n)
        drawMenuItem(n, kPlainItem);
    board.autoPresent = 1;
    redrawBoard(board);

    SDL_Surface *surface = matchState.screenSurface;
    const bool locked = lockSurface(surface);
    decodeAndBlit(countHeader.bytes, countHeader.length, surface, 6, (surface->w - 586) / 2);
    if (locked) unlockSurface(surface);
    presentRect(surface, 0, 0, kBoardColumns * kCellPixels, kHeaderHeight);
}

} // namespace

void drawMenuItem(int8_t n, int8_t colourBase) {
    if (n < 0 || n >= kItemCount) return;
    const int top = kItemRows + kItemRows * (n / 2);
    const int left = kItemColumns * (n % 2);
    const int bottom = top + kItemRows - 1;
    const int right = left + kItemColumns - 1;

    const uint8_t present = board.autoPresent;
    board.autoPresent = 0;
    const bool locked = present == 1 && lockSurface(board.surface);

    for (int i = 1; i <= kItemColumns - 2; ++i) {
        draw(offsetCode(colourBase, kFrameHorizontal), top, left + i);
        draw(offsetCode(colourBase, kFrameHorizontal), bottom, left + i);
    }
    for (int i = 1; i <= kItemRows - 2; ++i) {
        draw(offsetCode(colourBase, kFrameVertical), top + i, left);
        draw(offsetCode(colourBase, kFrameVertical), top + i, right);
    }
    draw(offsetCode(colourBase, kCornerTopLeft), top, left);
    draw(offsetCode(colourBase, kCornerTopRight), top, right);
    draw(offsetCode(colourBase, kCornerBottomLeft), bottom, left);
    draw(offsetCode(colourBase, kCornerBottomRight), bottom, right);

    // The three players always wear their own colours: a head up over a head down.
    for (int p = 1; p <= 3; ++p) {
        draw(static_cast<int8_t>(16 * p + kUp), top + 3, left + 5 + p);
        draw(static_cast<int8_t>(16 * p + kDown), top + 4, left + 5 + p);
    }
    // The adversaries stand in pairs with a one-column gap between the pairs.
    for (int i = 0; i < n; ++i) {
        const int col = left + 12 + i + i / 2;
        draw(offsetCode(kAdversaryBase, kUp), top + 3, col);
        draw(offsetCode(kAdversaryBase, kDown), top + 4, col);
    }

    if (present == 1) {
        if (locked) unlockSurface(board.surface);
        presentRect(board.surface, 0, 0, kBoardColumns * kCellPixels, kBoardRows * kCellPixels);
    }
    board.autoPresent = present;
}

bool adversaryCountScreen() {
    layOutScreen();
    matchState.adversaryCount = -1;
    showCursor(true);

    PointerPosition pointer = pointerNow();
    SDL_Event event;
    while (waitForEvent(&event)) {
        repaintIfExposed(event);
        switch (event.type) {
        case SDL_QUIT: endProgram(0);
        case SDL_MOUSEMOTION:
            if (pointerMoved(pointer, event)) hover(itemAtPointer(event.motion.x, event.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (matchState.adversaryCount < 0) return false;
            showCursor(false);
            return true;
        case SDL_KEYDOWN: {
            const SDLKey key = event.key.keysym.sym;
            if (key == SDLK_ESCAPE) return false;
            if (key >= SDLK_0 && key <= SDLK_9) {
                matchState.adversaryCount = static_cast<int8_t>(key - SDLK_0);
                showCursor(false);
                return true;
            }
            break;
        }
        default: break;
        }
    }
    return false; // the event queue failed: back to the title menu
}

} // namespace ravela
