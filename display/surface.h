// The few surface calls the drawing code makes: lock when SDL requires it, unlock,
// present a rectangle, and show it all again after an expose; and the one store of a
// mapped pixel value. Tests switch on the trace to see what was called.
#pragma once

#include <cstdint>
#include <cstring>
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
// Presents a rectangle of game pixels; all zeros presents the whole surface.
void presentRect(SDL_Surface *surface, int x, int y, int w, int h);
// The window system forgets what a hidden or covered window showed. On an expose, or
// when the window is shown again, presents the whole surface, which still holds the
// picture. Other events are left alone.
void repaintIfExposed(const SDL_Event &event);

// Every screen draws in game pixels, 640x480 of them. A surface n times as wide and as high
// shows each game pixel as an n x n block, so a window fits a large desktop and stays sharp;
// n is the surface's width over 640, at least 1.
int pixelScale(const SDL_Surface *surface);
// Fills a rectangle of game pixels with a mapped pixel value.
void fillGameRect(SDL_Surface *surface, int x, int y, int w, int h, uint32_t pixel);
// Where the pointer enters the game: a window pixel (either axis) of the Board's surface
// as the game pixel it shows.
int toGamePixel(int windowPixel);

// Stores one mapped pixel value at p in the surface's layout: the low 16 bits for 2 bytes
// per pixel, three bytes lowest first for 3, the whole value for 4; nothing at other sizes.
inline void storePixel(uint8_t *p, int bytesPerPixel, uint32_t value) {
    switch (bytesPerPixel) {
    case 2: {
        const uint16_t low = static_cast<uint16_t>(value);
        std::memcpy(p, &low, sizeof low);
        break;
    }
    case 3:
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
        p[2] = static_cast<uint8_t>(value >> 16);
        break;
    case 4: std::memcpy(p, &value, sizeof value); break;
    default: break;
    }
}

} // namespace ravela
