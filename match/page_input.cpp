// What the browser page calls to hand the game its input: a player's direction, Return,
// Escape and a tap at a game pixel. Each goes into SDL's event queue, behind what is there,
// and wakes a screen that sleeps until input.

#include <emscripten.h>

#include "display/board.h"
#include "match/controls.h"

// Ends a sleep until input on the browser's next turn (display/platform_web.js).
extern "C" void ravelaWake();

extern "C" {

// Player 0..2 asks for direction 0 up, 1 down, 2 left or 3 right, as its key does; other
// numbers say nothing.
EMSCRIPTEN_KEEPALIVE void ravelaSteer(int player, int direction) {
    if (player < 0 || player >= ravela::kPlayerCount) return;
    if (direction < ravela::kUp || direction > ravela::kRight) return;
    ravela::queueSteer(static_cast<int8_t>(player), static_cast<int8_t>(direction));
    ravelaWake();
}

EMSCRIPTEN_KEEPALIVE void ravelaReturn() {
    ravela::queueReturn();
    ravelaWake();
}

EMSCRIPTEN_KEEPALIVE void ravelaEscape() {
    ravela::queueEscape();
    ravelaWake();
}

// A tap at game pixel (x, y) of the 640x480 screen; one off the screen says nothing.
EMSCRIPTEN_KEEPALIVE void ravelaTap(int x, int y) {
    using ravela::kBoardColumns, ravela::kBoardRows, ravela::kCellPixels;
    if (x < 0 || y < 0 || x >= kBoardColumns * kCellPixels || y >= kBoardRows * kCellPixels) return;
    ravela::queueTap(x, y);
    ravelaWake();
}

} // extern "C"
