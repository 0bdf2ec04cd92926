// The few surface calls the drawing code makes: lock when SDL requires it, unlock,
// present a rectangle, and show it all again after an expose. Tests switch on the trace
// to see what was called.
#pragma once

#include <string>

struct SDL_Surface;
union SDL_Event;

namespace ravela {

struct SurfaceTrace {
    bool on;            // record the calls below
    std::string calls;  // 'L' lock, 'U' unlock, 'P' present, in call order
    int lastPresent[4]; // x, y, w, h of the latest present
};

// Calls recorded while tracing is on (tests only).
extern SurfaceTrace surfaceTrace;

// Locks the surface if the platform needs it for pixel writes; returns whether it locked.
bool lockSurface(SDL_Surface *surface);
// Releases a lock taken by lockSurface.
void unlockSurface(SDL_Surface *surface);
// Presents a rectangle; all zeros presents the whole surface.
void presentRect(SDL_Surface *surface, int x, int y, int w, int h);
// The window system forgets what a hidden or covered window showed. On an expose, or
// when the window is shown again, presents the whole surface, which still holds the
// picture. Other events are left alone.
void repaintIfExposed(const SDL_Event &event);

} // namespace ravela
