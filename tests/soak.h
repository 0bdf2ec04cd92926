// The soak: long headless play through the real match loop on a fake clock, nine
// adversaries against three scripted players, with every rule checked after every tick.
#pragma once

#include <cstdint>
#include <string>

namespace ravela::testing {

struct SoakReport {
    uint64_t ticks;             // ticks played
    uint32_t matches;           // matches started
    uint32_t levelsCompleted;   // levels won
    uint32_t layouts;           // bit n set once layout n was played
    uint32_t livesLost;         // lives the players lost
    uint32_t hatches;           // player eggs that hatched
    uint32_t greyEggsSwallowed; // grey eggs that left the field during play
    std::string fault;          // the first broken rule, its tick and the Board; "" when none
};

// Plays matches until `ticks` ticks have run or a rule breaks, checking every living snake's
// search queue every queueEvery ticks (0: never). The caller sets up the game first (resetGame);
// the players draw from their own generator seeded with `seed`.
SoakReport runSoak(uint64_t ticks, uint32_t seed, uint32_t queueEvery);
// One line that says what a soak did.
std::string describeSoak(const SoakReport &report);

} // namespace ravela::testing
