// The shared generator: state := state * 22695477 + 1, result = bits 16..30.

#include "match/random.h"

#include "match/match_state.h"

namespace ravela {

void srand(uint32_t seed) {
    matchState.randomState = seed;
    rand();
}

int rand() {
    matchState.randomState = matchState.randomState * 22695477u + 1u;
    return static_cast<int>((matchState.randomState >> 16) & 0x7fff);
}

} // namespace ravela
