// The adversary-count screen. Each count 0..9 is a box of 32x8 cells framed by a snake
// body, holding the three players and that many grey adversaries as upright two-cell
// figures. Even counts lie in the left column of boxes, odd ones in the right.

#include "screens/count_screen.h"

#include <cstring>

#include "assets/pictures.h"
#include "display/board.h"
#include "display/picture.h"
#include "display/platform.h"
#include "display/surface.h"
#include "match/controls.h"
#include "match/match_state.h"
#include "screens/pointer.h"
#include "snakes/snake.h"

namespace ravela {

namespace {

// Colour bases of a box: grey when plain, player 1's colours when highlighted.
constexpr int8_t kPlainItem = kAdversaryBase;
constexpr int8_t kHighlightedItem = kPlayerBase[0];

constexpr int kItemCount = 10;
// The box the pads' highlight starts on.
constexpr int8_t kFirstPadItem = 1;
constexpr int kItemRows = 8;
constexpr int kItemColumns = 32;
// The header band above the boxes, in pixels, and the header picture in it. The header
// is centred as if it were one pixel wider than it is (586 for 585) on purpose: that
// fixes its left edge at x 27.
constexpr int kHeaderHeight = 80;
constexpr int kHeaderTop = 6;
constexpr int kHeaderCentringWidth = kCountHeaderSize.width + 1;
// Pixel size of one box on screen.
constexpr int kItemHeightPixels = kItemRows * kCellPixels;
constexpr int kItemWidthPixels = kItemColumns * kCellPixels;

// The box's corners by where they sit in the box; each is the corner tile that joins the
// two sides of the frame meeting there.
constexpr int8_t kBoxTopLeft = kCornerRightBottom;
constexpr int8_t kBoxTopRight = kCornerLeftBottom;
constexpr int8_t kBoxBottomLeft = kCornerTopRight;
constexpr int8_t kBoxBottomRight = kCornerTopLeft;
// Inside a box, on its fourth and fifth rows: the players from the seventh column on, the
// adversaries from the thirteenth, in pairs.
constexpr int kFigureRow = 3;
constexpr int kFirstPlayerColumn = 6;
constexpr int kFirstAdversaryColumn = 12;

int8_t offsetCode(int8_t base, int offset) {
    return static_cast<int8_t>(base + offset);
}

// The cells of box n: its frame, then a head up over a head down for each player and
// for each of the n adversaries.
void drawMenuItemCells(int8_t n, int8_t colourBase) {
    const int top = kItemRows + kItemRows * (n / 2);
    const int left = kItemColumns * (n % 2);
    const int bottom = top + kItemRows - 1;
    const int right = left + kItemColumns - 1;

    for (int i = 1; i <= kItemColumns - 2; ++i) {
        drawCell(offsetCode(colourBase, kStraightHorizontal), top, left + i);
        drawCell(offsetCode(colourBase, kStraightHorizontal), bottom, left + i);
    }
    for (int i = 1; i <= kItemRows - 2; ++i) {
        drawCell(offsetCode(colourBase, kStraightVertical), top + i, left);
        drawCell(offsetCode(colourBase, kStraightVertical), top + i, right);
    }
    drawCell(offsetCode(colourBase, kBoxTopLeft), top, left);
    drawCell(offsetCode(colourBase, kBoxTopRight), top, right);
    drawCell(offsetCode(colourBase, kBoxBottomLeft), bottom, left);
    drawCell(offsetCode(colourBase, kBoxBottomRight), bottom, right);

    // The three players always wear their own colours.
    for (int p = 0; p < kPlayerCount; ++p) {
        const int col = left + kFirstPlayerColumn + p;
        drawCell(offsetCode(kPlayerBase[p], kUp), top + kFigureRow, col);
        drawCell(offsetCode(kPlayerBase[p], kDown), top + kFigureRow + 1, col);
    }
    // The adversaries stand in pairs with a one-column gap between the pairs.
    for (int i = 0; i < n; ++i) {
        const int col = left + kFirstAdversaryColumn + i + i / 2;
        drawCell(offsetCode(kAdversaryBase, kUp), top + kFigureRow, col);
        drawCell(offsetCode(kAdversaryBase, kDown), top + kFigureRow + 1, col);
    }
}

// Paints box n (0..9) of the screen in a colour base; other numbers are ignored.
void drawMenuItem(int8_t n, int8_t colourBase) {
    if (n < 0 || n >= kItemCount) return;
    paintBatch(board, [n, colourBase] { drawMenuItemCells(n, colourBase); });
}

// The box under the pointer, or -1 over the header band (or off the boxes).
int8_t itemAtPointer(int x, int y) {
    if (y < kHeaderHeight) return -1;
    const int item =
        2 * ((y - kHeaderHeight) / kItemHeightPixels) + (x >= kItemWidthPixels ? 1 : 0);
    return item < kItemCount ? static_cast<int8_t>(item) : int8_t{-1};
}

// Moves the highlight to a box (-1: none), redrawing only the old and new box.
void hover(int8_t item) {
    if (item == matchState.adversaryCount) return;
    showCursor(false);
    if (matchState.adversaryCount >= 0) drawMenuItem(matchState.adversaryCount, kPlainItem);
    if (item >= 0) drawMenuItem(item, kHighlightedItem);
    matchState.adversaryCount = item;
    showCursor(true);
}

// The box a pad's direction leads to from box n, staying inside the two columns and five
// rows; with no box highlighted yet the pads start on the box for 1.
int8_t itemTowards(int8_t n, int8_t direction) {
    if (n < 0) return kFirstPadItem;
    const int row = n / 2, column = n % 2;
    switch (direction) {
    case kUp: return static_cast<int8_t>(row > 0 ? n - 2 : n);
    case kDown: return static_cast<int8_t>(row < kItemCount / 2 - 1 ? n + 2 : n);
    case kLeft: return static_cast<int8_t>(n - column);
    case kRight: return static_cast<int8_t>(n - column + 1);
    default: return n;
    }
}

void layOutScreen() {
    board.autoPresent = 0;
    std::memset(board.cells, kEmpty, sizeof board.cells);
    for (int8_t n = 0; n < kItemCount; ++n)
        drawMenuItem(n, kPlainItem);
    board.autoPresent = 1;
    redrawBoard(board);

    const int left = (kBoardColumns * kCellPixels - kHeaderCentringWidth) / 2;
    showPictures({{&countHeader, kHeaderTop, left}}, 0, 0, kBoardColumns * kCellPixels,
                 kHeaderHeight);
}

} // namespace

bool adversaryCountScreen() {
    layOutScreen();
    matchState.adversaryCount = -1;
    showCursor(true);

    PointerPosition pointer = pointerNow();
    Input input{};
    while (waitWords(input)) {
        if (pointerMoved(pointer, input)) hover(itemAtPointer(input.pointer.x, input.pointer.y));
        if (input.has(kPointerPress)) {
            if (matchState.adversaryCount < 0) return false;
            showCursor(false);
            return true;
        }
        if (input.has(kBack)) return false;
        if (input.has(kDigit)) {
            matchState.adversaryCount = input.digit;
            showCursor(false);
            return true;
        }
        // The keys keep to digits and Escape here; a pad moves the highlight and starts
        // with the box it highlights (its first press of A only shows where it starts).
        if (!input.fromPad) continue;
        if (input.has(kMoveSelection))
            hover(itemTowards(matchState.adversaryCount, input.direction));
        if (input.has(kConfirm)) {
            if (matchState.adversaryCount < 0) {
                hover(kFirstPadItem);
                continue;
            }
            showCursor(false);
            return true;
        }
    }
    return false; // the event queue failed: back to the title menu
}

} // namespace ravela
