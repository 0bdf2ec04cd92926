// The match keys: once per tick the poll keeps dead players' eggs drawn, then turns the
// queued events into direction requests, pause, the end of the match or of the program.
#pragma once

#include <cstdint>

namespace ravela {

struct Snake;

// Refreshes the players' eggs, then handles every queued event; a quit request exits with 0.
void pollInput();
// Applies a direction key to a snake: at a right angle to its last move (or with no
// direction yet) it steers the next step, along that axis it waits for the step after.
void requestDirection(Snake &snake, int8_t direction);

} // namespace ravela
