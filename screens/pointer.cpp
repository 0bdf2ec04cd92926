// Tells real pointer motion from the motion events that only repeat where the pointer is.

#include "screens/pointer.h"

#include <SDL.h>

#include "display/surface.h"

namespace ravela {

PointerPosition pointerNow() {
    PointerPosition position{0, 0};
    SDL_GetMouseState(&position.x, &position.y);
    return PointerPosition{toGamePixel(position.x), toGamePixel(position.y)};
}

bool pointerMoved(PointerPosition &last, const SDL_Event &event) {
    if (event.type != SDL_MOUSEMOTION) return false;
    const PointerPosition now{toGamePixel(event.motion.x), toGamePixel(event.motion.y)};
    if (now.x == last.x && now.y == last.y) return false;
    last = now;
    return true;
}

} // namespace ravela
