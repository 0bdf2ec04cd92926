// A match runs level after level until Escape. Each level ticks every 120 ms on an
// accumulated deadline; once fifteen yellow fruits are eaten every snake shrinks to its
// head at one cell per 20 ms, and the level ends 49 ticks after the last shrink.

#include "match/match_loop.h"

#include <algorithm>

#include "display/board.h"
#include "display/picture.h"
#include "display/platform.h"
#include "match/input.h"
#include "match/level.h"
#include "match/match_state.h"
#include "match/tick.h"
#include "snakes/snake.h"

namespace ravela {

MatchClock matchClock = {millisecondsSinceStart, waitMilliseconds, restUntilInput};

namespace {

// Normal tick period and the quicker one while a completed level winds down.
constexpr uint32_t kTickMilliseconds = 120;
constexpr uint32_t kWindDownMilliseconds = 20;
// The counter value at which a wound-down level ends.
constexpr int8_t kLevelEndTicks = 50;
constexpr int8_t kStartingLives = 5;
constexpr int kLayoutCount = 8;

// Takes one cell off every snake that still has cells behind its head; true if any shrank.
bool shrinkSnakes() {
    bool shrank = false;
    for (Snake &player : playerSnake) {
        if (dropTail(player)) shrank = true;
    }
    for (int i = 0; i < adversariesInPlay(); ++i) {
        if (dropTail(adversarySnake[i])) shrank = true;
    }
    return shrank;
}

// Waits for the end of this tick's period. A late tick moves the schedule on instead of
// leaving a debt to catch up. Times are compared through their signed difference, so the
// clock's wrap after about 49.7 days changes nothing. While the match is paused and no
// won level winds down, nothing moves until a player acts: the loop rests until input,
// and the schedule starts again where the rest ends, so the tick that resumes comes at once.
void waitForDeadline(TickLoop &loop) {
    const uint32_t period = loop.levelEndCounter == 0 ? kTickMilliseconds : kWindDownMilliseconds;
    const uint32_t now = matchClock.getTicks();
    if (matchState.paused && matchState.levelFruitCount < kFruitsPerLevel) {
        matchClock.rest(period);
        loop.tickDeadline = matchClock.getTicks();
        return;
    }
    loop.tickDeadline += period;
    const int32_t remaining = static_cast<int32_t>(loop.tickDeadline - now);
    if (remaining > 0) {
        matchClock.delay(static_cast<uint32_t>(remaining));
    } else {
        loop.tickDeadline = now;
    }
}

// Shows the pause banner when a pause begins and repaints the Board when it ends.
void updatePauseBanner() {
    if (matchState.pauseShown == matchState.paused) return;
    matchState.pauseShown = matchState.paused;
    if (matchState.paused) {
        showPauseBanner();
    } else {
        redrawBoard(board); // paints every cell over the banner and presents
    }
}

} // namespace

void completeLevel() {
    for (Snake &player : playerSnake) // two more lives, and at least three for the out
        player.lives = std::max<int8_t>(saturatingAdd(player.lives, 2), 3);
    matchState.levelFruitCount = 0;
    const int next = (matchState.levelType + 1) % kLayoutCount;
    matchState.levelType = static_cast<int8_t>(next < 0 ? next + kLayoutCount : next);
}

void resetMatchClock() {
    matchClock = MatchClock{millisecondsSinceStart, waitMilliseconds, restUntilInput};
}

bool runTick(TickLoop &loop) {
    board.autoPresent = 1;
    pollInput();
    updatePauseBanner();
    if (!matchState.paused && loop.levelEndCounter == 0) matchTick();

    // The level is won: shrink every snake, whether paused or not, and count on from the
    // last tick in which anything shrank.
    if (matchState.levelFruitCount >= kFruitsPerLevel) {
        if (shrinkSnakes()) loop.levelEndCounter = 0;
        ++loop.levelEndCounter;
        if (loop.levelEndCounter == kLevelEndTicks) return false;
    }
    waitForDeadline(loop);
    return true;
}

namespace {

// Sets up and plays one level; true when it was completed, false when the match ended.
bool playLevel() {
    TickLoop loop{};
    setupLevel();
    matchState.pauseShown = 0; // a level may begin paused; its first tick shows the banner
    loop.tickDeadline = matchClock.getTicks();
    while (matchState.matchRunning) {
        if (!runTick(loop)) break;
    }
    return matchState.matchRunning != 0;
}

} // namespace

void playMatch() {
    // A match never looks at the pointer. Left queued, a moving pointer would fill SDL's
    // small event queue between two polls and push key presses out of it.
    setPointerMotionQueued(false);
    for (Snake &player : playerSnake)
        player.lives = kStartingLives;
    matchState.paused = 0;
    matchState.matchRunning = 1;
    matchState.levelFruitCount = 0;
    while (playLevel())
        completeLevel();
    setPointerMotionQueued(true);
}

} // namespace ravela
