// A match: the level loop with its lives and layouts, and the tick loop of one level with
// the pause banner, the end-of-level shrink and the pacing by the millisecond clock.
#pragma once

#include <cstdint>

namespace ravela {

// The clock the tick loop paces itself by, and the title menu its frames; tests put a fake
// clock in its place.
struct MatchClock {
    uint32_t (*getTicks)();               // milliseconds since start-up (the platform's in play)
    void (*delay)(uint32_t milliseconds); // waits that long (waitMilliseconds in play)
    // Waits while nothing moves, for the players' next input: one tick's time where input
    // cannot wake a wait, less or longer where it can (restUntilInput in play).
    void (*rest)(uint32_t tickMilliseconds);
};

// The clock in use.
extern MatchClock matchClock;

// Puts the platform's clock back in place.
void resetMatchClock();

// The tick loop's counters for the level being played.
struct TickLoop {
    int8_t levelEndCounter; // 0 in normal play; counts up while a completed level winds down
    uint32_t tickDeadline;  // clock time at which the current tick's wait ends
};

// Plays one match with the chosen adversaries until Escape clears matchRunning.
void playMatch();
// Rewards for a completed level: 2 lives each (3 for a player at 0 or out), a fresh fruit
// count and the next layout.
void completeLevel();
// Runs one tick and its wait; false when the level has wound down and ends at once.
bool runTick(TickLoop &loop);

} // namespace ravela
