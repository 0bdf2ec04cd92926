// Locking and presenting through the platform seam, with an optional trace for tests.

#include "display/surface.h"

#include <SDL.h>
#include <algorithm>

#include "display/board.h"
#include "display/platform.h"

namespace ravela {

SurfaceTrace surfaceTrace;

bool lockSurface(SDL_Surface *surface) {
    if (!surfaceNeedsLock(surface)) return false;
    if (surfaceTrace.on) surfaceTrace.calls += 'L';
    lockScreen(surface);
    return true;
}

void unlockSurface(SDL_Surface *surface) {
    if (surfaceTrace.on) surfaceTrace.calls += 'U';
    unlockScreen(surface);
}

int pixelScale(const SDL_Surface *surface) {
    constexpr int width = kBoardColumns * kCellPixels, height = kBoardRows * kCellPixels;
    return surface->w >= 2 * width && surface->h >= 2 * height
               ? std::min(surface->w / width, surface->h / height)
               : 1;
}

void fillGameRect(SDL_Surface *surface, int x, int y, int w, int h, uint32_t pixel) {
    const int n = pixelScale(surface);
    fillRect(surface, x * n, y * n, w * n, h * n, pixel);
}

int toGamePixel(int windowPixel) {
    return board.surface != nullptr ? windowPixel / pixelScale(board.surface) : windowPixel;
}

void presentRect(SDL_Surface *surface, int x, int y, int w, int h) {
    if (surfaceTrace.on) {
        surfaceTrace.calls += 'P';
        surfaceTrace.lastPresent[0] = x;
        surfaceTrace.lastPresent[1] = y;
        surfaceTrace.lastPresent[2] = w;
        surfaceTrace.lastPresent[3] = h;
    }
    const int n = pixelScale(surface);
    showRect(surface, x * n, y * n, w * n, h * n);
}

void repaintIfExposed(const SDL_Event &event) {
    const bool shownAgain = event.type == SDL_ACTIVEEVENT && event.active.gain != 0 &&
                            (event.active.state & SDL_APPACTIVE) != 0;
    if ((event.type == SDL_VIDEOEXPOSE || shownAgain) && board.surface != nullptr)
        presentRect(board.surface, 0, 0, 0, 0);
}

} // namespace ravela
