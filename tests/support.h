// Shared set-up for tests and benchmarks: SDL on the dummy driver, surfaces of any
// depth, and one call that puts every global record back to its start state.
#pragma once

#include <cstdint>

struct SDL_Surface;

namespace ravela::testing {

// Starts SDL video on the dummy driver (once) and returns a new 640x480 software surface.
SDL_Surface *makeSurface(int bitsPerPixel, int width = 640, int height = 480);
// Resets the Board (painting on the surface), the twelve snakes, the match state and
// the match clock, and seeds the random generator.
void resetGame(SDL_Surface *surface, uint32_t seed = 1);
// The pixel at (x, y) as stored: 2, 3 or 4 bytes, lowest address lowest byte.
uint32_t pixelAt(SDL_Surface *surface, int x, int y);

} // namespace ravela::testing
