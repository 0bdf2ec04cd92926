// Where a menu last saw the pointer. SDL also reports motion that leaves the pointer
// where it was, each time the cursor is shown again; only real motion, or a tap, may change
// what a menu has selected.
#pragma once

#include "match/controls.h"

namespace ravela {

// True when the input moves the pointer somewhere new, or taps anywhere; it then
// remembers where.
bool pointerMoved(PointerPosition &last, const Input &input);

} // namespace ravela
