// The game's one pseudo-random generator: a 32-bit linear congruential generator
// giving 0..32767. It is not the C library's and lives apart from it. It sits below
// every other module, so the Board, the rules and the screens all draw from it.
#pragma once

#include <cstdint>

namespace ravela {

constexpr int kRandMax = 32767;

struct RandomGenerator {
    uint32_t state; // advanced by every draw; srand sets it
};

// The one generator of the program.
extern RandomGenerator randomGenerator;

// Sets the generator's state to the seed and discards one value.
void srand(uint32_t seed);
// Advances the generator and returns bits 16..30 of the new state.
int rand();

} // namespace ravela
