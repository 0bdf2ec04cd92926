// The adversaries' steering: a deterministic breadth-first search over the Board
// that sets a snake's direction for its next step.
#pragma once

namespace ravela {

struct Snake;

// Sets the living snake's direction; reads the Board, writes nothing else.
void chooseDirection(Snake &snake);

} // namespace ravela
