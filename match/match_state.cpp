// The match state and its values at program start.

#include "match/match_state.h"

#include "snakes/snake.h"

namespace ravela {

namespace {

constexpr MatchState kStartState = {
    .matchRunning = 0,
    .paused = 0,
    .pauseShown = 0,
    .levelFruitCount = 0,
    .levelType = 0,
    .adversaryCount = 1,
};

} // namespace

MatchState matchState = kStartState;

void resetMatchState() {
    matchState = kStartState;
}

int adversariesInPlay() {
    const int count = matchState.adversaryCount;
    return count < 0 ? 0 : count > kMaxAdversaries ? kMaxAdversaries : count;
}

} // namespace ravela
