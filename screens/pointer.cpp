// Tells real pointer motion from the motion events that only repeat where the pointer is.

#include "screens/pointer.h"

namespace ravela {

bool pointerMoved(PointerPosition &last, const Input &input) {
    if (!input.has(kPointerMove)) return false;
    // A finger lands where it taps, even on the spot where the pointer was last seen.
    if (input.has(kTap)) {
        last = input.pointer;
        return true;
    }
    if (input.pointer.x == last.x && input.pointer.y == last.y) return false;
    last = input.pointer;
    return true;
}

} // namespace ravela
