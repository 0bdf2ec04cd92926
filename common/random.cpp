// The shared generator: state := state * 22695477 + 1, result = bits 16..30.

#include "common/random.h"

namespace ravela {

RandomGenerator randomGenerator = {0};

void srand(uint32_t seed) {
    randomGenerator.state = seed;
    rand();
}

int rand() {
    randomGenerator.state = randomGenerator.state * 22695477u + 1u;
    return static_cast<int>((randomGenerator.state >> 16) & 0x7fff);
}

} // namespace ravela
