// The desktop side of the platform seam: SDL 1.2 (sdl12-compat over SDL 2, or SDL 1.2
// itself), with what a desktop needs beyond it inside these calls: a visual SDL can fill
// in software, a prompt end when the display goes away, whole-number scaling and, for a
// large window, the game's own present (desktop_x11.cpp, desktop_sdl2.cpp). What changed
// on the screen is collected and shown in one go before each wait.

#include "display/platform.h"

#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/desktop.h"
#include "display/surface.h"

namespace ravela {

namespace {

// The rectangles of the screen changed since they were last shown. A whole screen is one
// rectangle; when the list is full it becomes the one rectangle around them all.
constexpr int kMostChanges = 128;
struct Changes {
    int count;
    PixelRect rects[kMostChanges];
} changes{};

bool presentingDirectly = false; // the game, not the SDL layer, sends the window its pixels

ScreenPixels pixelsOf(SDL_Surface *surface) {
    const SDL_PixelFormat *format = surface->format;
    return ScreenPixels{static_cast<uint8_t *>(surface->pixels),
                        surface->w,
                        surface->h,
                        surface->pitch,
                        format->BytesPerPixel,
                        format->Rmask,
                        format->Gmask,
                        format->Bmask};
}

PixelRect around(const PixelRect &a, const PixelRect &b) {
    const int x = std::min(a.x, b.x), y = std::min(a.y, b.y);
    return PixelRect{x, y, std::max(a.x + a.w, b.x + b.w) - x, std::max(a.y + a.h, b.y + b.h) - y};
}

void noteChange(const PixelRect &rect) {
    for (int i = 0; i < changes.count; ++i) {
        const PixelRect &had = changes.rects[i];
        if (had.x <= rect.x && had.y <= rect.y && had.x + had.w >= rect.x + rect.w &&
            had.y + had.h >= rect.y + rect.h)
            return; // already inside one
    }
    if (changes.count < kMostChanges) {
        changes.rects[changes.count++] = rect;
        return;
    }
    PixelRect all = rect;
    for (const PixelRect &had : changes.rects)
        all = around(all, had);
    changes.rects[0] = all;
    changes.count = 1;
}

bool usesDriver(const char *name) {
    char driver[32] = "";
    return SDL_VideoDriverName(driver, sizeof driver) != nullptr && std::strcmp(driver, name) == 0;
}

// Shows the rectangles changed since the last time, in one go.
void showChanges() {
    SDL_Surface *screen = SDL_GetVideoSurface();
    if (screen == nullptr || changes.count == 0) return;
    const int count = changes.count;
    changes.count = 0;
    if (presentingDirectly && presentDirectly(pixelsOf(screen), changes.rects, count)) return;
    SDL_Rect rects[kMostChanges];
    for (int i = 0; i < count; ++i) {
        const PixelRect &r = changes.rects[i];
        rects[i] = SDL_Rect{static_cast<Sint16>(r.x), static_cast<Sint16>(r.y),
                            static_cast<Uint16>(r.w), static_cast<Uint16>(r.h)};
    }
    SDL_UpdateRects(screen, count, rects);
}

} // namespace

void endForLostDisplay() {
    std::fputs("Conexao com a tela perdida\n", stderr);
    std::_Exit(1);
}

bool startPlatform(bool window) {
    // In a window the surface is shown pixel for pixel, so plain software copies are all
    // SDL needs. Without these hints SDL 2 under the 1.2 compatibility layer brings up an
    // OpenGL renderer for the copy (with no GPU: Mesa's llvmpipe, its threads and some
    // 90 MB). A setting already in the environment wins; full screen keeps SDL's choice,
    // which scales the picture on the GPU.
    if (window) {
        setenv("SDL_RENDER_DRIVER", "software", 0);
        setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    }
    // Where the SDL layer scales the picture (full screen, or a window the player enlarges
    // with SDL12COMPAT_WINDOW_SCALING), the ten-pixel tiles stay sharp unless the player
    // asks for smoothing.
    setenv("SDL12COMPAT_SCALE_METHOD", "nearest", 0);
    // Pads in one layout whatever their make: see kPadButtons.
    setenv("SDL12COMPAT_USE_GAME_CONTROLLERS", "1", 1);
    chooseSoftwareVisual();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
    SDL_EventState(SDL_MOUSEBUTTONUP, SDL_IGNORE);
    return true;
}

SDL_Surface *openScreen(const ScreenMode &mode) {
    SDL_Surface *surface =
        SDL_SetVideoMode(mode.width, mode.height, mode.depth, mode.fullScreen ? SDL_FULLSCREEN : 0);
    if (surface == nullptr) return nullptr;
    changes.count = 0;
    if (usesDriver("x11")) endAtOnceWhenXIsLost();
    if (!mode.sdlScales) keepWholePixelScale();
    presentingDirectly =
        !mode.fullScreen && pixelScale(surface) > 1 && presentDirectlyFrom(pixelsOf(surface));
    return surface;
}

bool screenNeedsLock(SDL_Surface *surface) {
    return SDL_MUSTLOCK(surface);
}

void showRect(SDL_Surface *surface, int x, int y, int w, int h) {
    // Only the screen is shown; SDL 1.2 shows nothing of another surface either.
    if (surface != SDL_GetVideoSurface()) return;
    if (x == 0 && y == 0 && w == 0 && h == 0) w = surface->w, h = surface->h;
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + w, surface->w), bottom = std::min(y + h, surface->h);
    if (right > left && bottom > top) noteChange(PixelRect{left, top, right - left, bottom - top});
}

void showCursor(bool shown) {
    SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

void waitMilliseconds(uint32_t milliseconds) {
    showChanges();
    SDL_Delay(milliseconds);
}

bool waitForEvent(SDL_Event *event) {
    showChanges();
    return SDL_WaitEvent(event) == 1;
}

void restUntilInput(uint32_t tickMilliseconds) {
    showChanges();
    SDL_Delay(tickMilliseconds);
}

bool isFocusChange(const SDL_Event &event) {
    return event.type == SDL_ACTIVEEVENT &&
           (event.active.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)) != 0;
}

void setPointerMotionQueued(bool queued) {
    SDL_EventState(SDL_MOUSEMOTION, queued ? SDL_ENABLE : SDL_IGNORE);
}

uint32_t millisecondsSinceStart() {
    return SDL_GetTicks();
}

// sdl12-compat shows every pad it knows in the game-controller layout (with
// SDL12COMPAT_USE_GAME_CONTROLLERS=1).
const PadButtons kPadButtons = {0, 1, 4, 6, 11, 12, 13, 14};

// sdl12-compat lists the pads once, when its joystick subsystem starts: every pad present
// then is listed, whether or not a menu looks for new ones.
bool restartPads(bool) {
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

void endProgram(int status) {
    // SDL 2 reports a lost Wayland compositor as a quit request.
    if (status == 0 && waylandConnectionLost()) endForLostDisplay();
    std::exit(status);
}

} // namespace ravela
