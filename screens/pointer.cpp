// Tells real pointer motion from the motion events that only repeat where the pointer is.

#include "screens/pointer.h"

#include <SDL.h>

namespace ravela {

PointerPosition pointerNow() {
    PointerPosition position{0, 0};
    SDL_GetMouseState(&position.x, &position.y);
    return position;
}

bool pointerMoved(PointerPosition &last, const SDL_Event &event) {
    if (event.type != SDL_MOUSEMOTION) return false;
    if (event.motion.x == last.x && event.motion.y == last.y) return false;
    last = PointerPosition{event.motion.x, event.motion.y};
    return true;
}

} // namespace ravela
