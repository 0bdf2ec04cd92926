// The match state and its values at program start.

#include "match/match_state.h"

namespace ravela {

MatchState matchState = {nullptr, 0, 0, 0, 0, 0, 1, 0};

void resetMatchState() {
    SDL_Surface *surface = matchState.screenSurface;
    matchState = MatchState{surface, 0, 0, 0, 0, 0, 1, 0};
}

int adversariesInPlay() {
    const int count = matchState.adversaryCount;
    return count < 0 ? 0 : count > 9 ? 9 : count;
}

} // namespace ravela
