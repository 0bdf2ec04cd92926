// Where a menu last saw the pointer. SDL also reports motion that leaves the pointer
// where it was, each time the cursor is shown again; only real motion may change what a
// menu has selected.
#pragma once

union SDL_Event;

namespace ravela {

struct PointerPosition {
    int x; // game pixels from the left edge of the screen
    int y; // game pixels from the top edge
};

// The pointer's position as SDL knows it now.
PointerPosition pointerNow();
// True when the event moves the pointer somewhere new, which it then remembers.
bool pointerMoved(PointerPosition &last, const SDL_Event &event);

} // namespace ravela
