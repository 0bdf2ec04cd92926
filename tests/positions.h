// Legal positions laid out from a string of bytes by real moves: a closed wall ring round a
// layout and the bars the bytes lay, snakes laid by real steps, eggs of every kind, fruit of
// every colour and counters anywhere in their range. The fuzz target takes its bytes from
// libFuzzer, the path-finder's property test from a seeded generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ravela::testing {

// Hands out the bytes one at a time, each below n; past the end every byte is 0.
struct Bytes {
    const uint8_t *data;
    size_t size;
    size_t used = 0;
    int next(int n = 256) { return (used < size ? data[used++] : 0) % n; }
};

// Replaces the Board, the twelve snakes and the match state with a position the bytes lay.
void buildPosition(Bytes &bytes);
// Everything the game keeps between ticks, as bytes to compare.
std::string gameState();

} // namespace ravela::testing
