// The adversaries' steering: a deterministic breadth-first search over the Board
// that sets a snake's direction for its next step.
#pragma once

#include <cstdint>

namespace ravela {

struct Snake;

// Sets the living snake's direction; reads the Board, writes nothing else.
void chooseDirection(Snake &snake);
// chooseDirection with a search queue of 1 to 1000 slots (play uses 1000); lets tests fill it.
void chooseDirectionWithQueueCapacity(Snake &snake, int32_t queueCapacity);

} // namespace ravela
