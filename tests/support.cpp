// Test and benchmark set-up on SDL's dummy video driver.

#include "tests/support.h"

#include <SDL.h>
#include <cstdlib>
#include <cstring>

#include "display/board.h"
#include "display/surface.h"
#include "match/match_loop.h"
#include "match/match_state.h"
#include "match/random.h"
#include "snakes/snake.h"

namespace ravela::testing {

static void startVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) abort();
}

SDL_Surface *makeSurface(int bitsPerPixel, int width, int height) {
    startVideo();
    uint32_t r = 0, g = 0, b = 0;
    switch (bitsPerPixel) {
    case 16:
        r = 0xf800;
        g = 0x07e0;
        b = 0x001f;
        break;
    case 15:
        r = 0x7c00;
        g = 0x03e0;
        b = 0x001f;
        break;
    default:
        r = 0xff0000;
        g = 0x00ff00;
        b = 0x0000ff;
        break;
    }
    return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, bitsPerPixel, r, g, b, 0);
}

void resetGame(SDL_Surface *surface, uint32_t seed) {
    std::memset(&board, 0, sizeof board);
    initBoard(board, surface);
    initAllSnakes();
    resetMatchState();
    matchState.screenSurface = surface;
    surfaceTrace = SurfaceTrace{};
    resetMatchClock();
    srand(seed);
}

uint32_t pixelAt(SDL_Surface *surface, int x, int y) {
    const int bpp = surface->format->BytesPerPixel;
    const uint8_t *p = static_cast<const uint8_t *>(surface->pixels) + y * surface->pitch + x * bpp;
    uint32_t value = 0;
    for (int i = bpp - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

} // namespace ravela::testing
