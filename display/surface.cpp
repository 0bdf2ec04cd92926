// Locking and presenting through the platform seam, with an optional trace for tests.

#include "display/surface.h"

#include <SDL.h>

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

void presentRect(SDL_Surface *surface, int x, int y, int w, int h) {
    if (surfaceTrace.on) {
        surfaceTrace.calls += 'P';
        surfaceTrace.lastPresent[0] = x;
        surfaceTrace.lastPresent[1] = y;
        surfaceTrace.lastPresent[2] = w;
        surfaceTrace.lastPresent[3] = h;
    }
    showRect(surface, x, y, w, h);
}

void repaintIfExposed(const SDL_Event &event) {
    const bool shownAgain = event.type == SDL_ACTIVEEVENT && event.active.gain != 0 &&
                            (event.active.state & SDL_APPACTIVE) != 0;
    if ((event.type == SDL_VIDEOEXPOSE || shownAgain) && board.surface != nullptr)
        presentRect(board.surface, 0, 0, 0, 0);
}

} // namespace ravela
