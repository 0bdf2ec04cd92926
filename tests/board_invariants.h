// The rules that must hold between any two ticks: the Board and the twelve snakes tell the
// same story. The soak and the fuzz target check them after every tick.
#pragma once

#include <string>

namespace ravela::testing {

// A sentence naming the first broken rule, or "": cell codes, the wall ring, every living
// snake cell by cell against the Board and tiles without a snake, in rows 1 to 47. In play
// the field also holds exactly two yellow fruits, at most two green ones and one red one.
std::string findBoardFault(bool inPlay);

} // namespace ravela::testing
