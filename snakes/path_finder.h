// The adversaries' steering: a deterministic breadth-first search over the Board
// that sets a snake's direction for its next step.
#pragma once

#include <cstdint>

namespace ravela {

struct Snake;

// Sets the living snake's direction; reads the Board, writes nothing else.
void chooseDirection(Snake &snake);
// chooseDirection with a search queue of 1 to 1000 slots (play uses 1000); lets tests fill it.
// Returns the most entries that ever waited in the queue at once, or the capacity when an
// entry had to be dropped because the queue was full.
int32_t chooseDirectionWithQueueCapacity(Snake &snake, int32_t queueCapacity);

} // namespace ravela
