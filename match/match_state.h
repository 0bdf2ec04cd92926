// The match state: the flags and counters that the program's loops, the rules and
// the screens share.
#pragma once

#include <cstdint>

namespace ravela {

struct MatchState {
    uint8_t matchRunning;   // 1 while a match is in progress; Escape clears it
    uint8_t paused;         // 1 while match ticks are suspended
    uint8_t pauseShown;     // 1 while the pause banner is on screen
    int8_t levelFruitCount; // yellow fruits the players ate in this level
    int8_t levelType;       // wall layout of the current level, 0..7; never reset
    int8_t adversaryCount;  // adversaries in the match, 0..9; -1 while none is highlighted
};

// The one match state of the program.
extern MatchState matchState;

// Puts the match state back to its values at program start.
void resetMatchState();
// The number of adversary records in play: adversaryCount held within 0..kMaxAdversaries.
int adversariesInPlay();

} // namespace ravela
