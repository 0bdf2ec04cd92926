// Locking and presenting through the platform seam, with an optional trace for tests.

#include "display/surface.h"

#include <SDL.h>
#include <algorithm>

#include "display/board.h"
#include "display/platform.h"

namespace ravela {

SurfaceTrace surfaceTrace;

bool lockSurface(SDL_Surface *surface) {
    if (!screenNeedsLock(surface)) return false;
    if (surfaceTrace.on) surfaceTrace.calls += 'L';
    SDL_LockSurface(surface);
    return true;
}

void unlockSurface(SDL_Surface *surface) {
    if (surfaceTrace.on) surfaceTrace.calls += 'U';
    SDL_UnlockSurface(surface);
}

int pixelScale(const SDL_Surface *surface) {
    constexpr int width = kBoardColumns * kCellPixels, height = kBoardRows * kCellPixels;
    return surface->w >= 2 * width && surface->h >= 2 * height
               ? std::min(surface->w / width, surface->h / height)
               : 1;
}

void fillGameRect(SDL_Surface *surface, int x, int y, int w, int h, uint32_t pixel) {
    // Written pixel by pixel like every other drawing: the browser's SDL_FillRect paints its
    // canvas, not the surface's memory.
    const int n = pixelScale(surface);
    const int left = std::max(x * n, 0), top = std::max(y * n, 0);
    const int right = std::min((x + w) * n, surface->w), bottom = std::min((y + h) * n, surface->h);
    const int bytesPerPixel = surface->format->BytesPerPixel;
    for (int row = top; row < bottom; ++row) {
        uint8_t *p = static_cast<uint8_t *>(surface->pixels) + row * surface->pitch;
        for (int column = left; column < right; ++column)
            storePixel(p + column * bytesPerPixel, bytesPerPixel, pixel);
    }
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
