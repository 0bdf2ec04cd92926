// The fuzz target: bytes become a legal position (tests/positions.h), on which a few match
// ticks run with keys from the bytes. Every tick must keep every rule, and the same bytes
// played twice must end in the same state.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "match/input.h"
#include "match/tick.h"
#include "snakes/snake.h"
#include "tests/board_invariants.h"
#include "tests/positions.h"
#include "tests/support.h"

using namespace ravela;

namespace {

// Aborts with the fault when a rule is broken; fault names one found already.
void check(const std::string &when, std::string fault = {}) {
    if (fault.empty()) fault = testing::findBoardFault(false);
    if (fault.empty()) return;
    std::fprintf(stderr, "board_fuzz: %s: %s\n", when.c_str(), fault.c_str());
    std::abort();
}

// Builds the position, then plays the ticks as the tick loop runs them, with the keys the
// bytes press before each (4 and 5: none). Returns everything the game keeps between ticks.
std::string play(const uint8_t *data, size_t size) {
    testing::Bytes bytes{data, size};
    testing::buildPosition(bytes);
    check("the position as built");
    for (int t = 0, ticks = 1 + bytes.next(8); t < ticks; ++t) {
        pollInput(); // egg upkeep; the event queue stays empty
        for (Snake &player : playerSnake) {
            const int key = bytes.next(6);
            if (key < 4) requestDirection(player, static_cast<int8_t>(key));
        }
        matchTick();
        check("after tick " + std::to_string(t));
    }
    return testing::gameState();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    testing::resetGame(testing::makeSurface(32), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (play(data, size) != play(data, size))
        check("played twice", "the same bytes ended in two different states");
    return 0;
}
