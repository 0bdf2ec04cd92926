// The rules that must hold between any two ticks: the Board and the twelve snakes tell the
// same story, the signed-byte counters never wrap, and no path-finder search fills its
// queue. The soak and the fuzz target check them after every tick; each check returns a
// sentence naming the first broken rule, or an empty string.
#pragma once

#include <cstdint>
#include <string>

namespace ravela::testing {

// The counters that saturate: the three players' lives and level fruits, then the level's.
struct Counters {
    int8_t value[7];
};

// Cell codes, the wall ring, every living snake cell by cell against the Board, tiles
// without a snake, out players and the status row. In play the field also holds exactly two
// yellow fruits, at most two green ones and one red one.
std::string findBoardFault(bool inPlay);
// The counters as they stand.
Counters takeCounters();
// A counter that jumped from one end of the signed-byte range to the other, or "".
std::string findCounterWrap(const Counters &before, const Counters &after);
// Runs every living snake's search on a copy with the play-size queue of 1000 entries; a
// fault when one search ever had 999 entries waiting, the queue's limit.
std::string findQueueOverflow();
// The Board as 48 lines of two hexadecimal digits per cell, for fault reports.
std::string boardAsText();

} // namespace ravela::testing
