// The fixture every test file uses, over the helpers of tests/support.h.
#pragma once

#include <gtest/gtest.h>

#include "match/level.h"
#include "tests/support.h"

namespace ravela::testing {

// The fixture every test file uses: a fresh game on a 32-bit surface, layout 0 written to the
// cells, no adversaries, a match running.
struct GameTest : ::testing::Test {
    static SDL_Surface *surface() {
        static SDL_Surface *const made = makeSurface(32);
        return made;
    }
    void SetUp() override {
        resetGame(surface());
        buildWalls(board, 0);
        matchState.matchRunning = 1;
        matchState.adversaryCount = 0;
    }
};

} // namespace ravela::testing
