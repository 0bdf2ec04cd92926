// The browser side of the platform seam, over emscripten's SDL 1.2. That SDL copies the
// whole screen to the canvas on every unlock and does nothing on SDL_UpdateRect, so here
// the drawing code writes straight into the surface's memory and the screen goes to the
// canvas in one copy when the program next waits: once per tick or menu frame. Waiting
// gives the browser its turn (the program is built with asyncify).

#include "display/platform.h"

#include <SDL.h>
#include <algorithm>
#include <emscripten.h>

#include "display/desktop.h"

namespace ravela {

namespace {

SDL_Surface *pendingSurface = nullptr; // surface drawn on since its last copy to the canvas

// Copies the surface to the page's canvas when anything was drawn since the last copy.
// Its pixels are bytes red, green, blue, alpha, as the canvas holds them.
void copyToCanvas() {
    SDL_Surface *surface = pendingSurface;
    if (surface == nullptr) return;
    pendingSurface = nullptr;
    EM_ASM(
        {
            var canvas = Module['canvas'];
            var context = canvas.getContext('2d');
            if (!Module.ravelaImage || Module.ravelaImage.width != $1 ||
                Module.ravelaImage.height != $2)
                Module.ravelaImage = context.createImageData($1, $2);
            Module.ravelaImage.data.set(HEAPU8.subarray($0, $0 + $1 * $2 * 4));
            context.putImageData(Module.ravelaImage, 0, 0);
        },
        surface->pixels, surface->w, surface->h);
}

} // namespace

bool surfaceNeedsLock(SDL_Surface *) {
    return false; // the pixels live in memory; the copy waits for the next wait
}

void lockScreen(SDL_Surface *) {}

void unlockScreen(SDL_Surface *) {}

void showRect(SDL_Surface *surface, int, int, int, int) {
    pendingSurface = surface;
}

// A page has no X display to choose a visual on or to lose.
void chooseWindowVisual() {}

void watchForDisplayLoss() {}

void setEventQueued(uint32_t, bool) {
    // emscripten's SDL has no filter and queues every event in a script array with room
    // for thousands; the loops pass by what they do not want (button releases, and the
    // pointer during a match).
}

// emscripten's SDL reports focus, and the page being hidden, as window events.
bool isFocusChange(const SDL_Event &event) {
    if (event.type != SDL_WINDOWEVENT) return false;
    switch (event.window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_HIDDEN: return true;
    default: return false;
    }
}

void fillRect(SDL_Surface *surface, int x, int y, int w, int h, uint32_t pixel) {
    // emscripten's SDL_FillRect paints the canvas, not the memory the copy comes from.
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + w, surface->w), bottom = std::min(y + h, surface->h);
    for (int row = top; row < bottom; ++row) {
        uint32_t *line = reinterpret_cast<uint32_t *>(static_cast<uint8_t *>(surface->pixels) +
                                                      row * surface->pitch);
        std::fill(line + left, line + std::max(left, right), pixel);
    }
}

void setPointerMotionQueued(bool queued) {
    setEventQueued(SDL_MOUSEMOTION, queued);
}

uint32_t millisecondsSinceStart() {
    return SDL_GetTicks();
}

void waitMilliseconds(uint32_t milliseconds) {
    copyToCanvas();
    emscripten_sleep(milliseconds);
}

bool waitForEvent(SDL_Event *event) {
    copyToCanvas();
    while (!SDL_PollEvent(event))
        emscripten_sleep(10);
    return true;
}

void showCursor(bool shown) {
    // emscripten's SDL_ShowCursor grabs the pointer in full screen; a style hides it instead.
    EM_ASM({ Module['canvas'].style.cursor = $0 ? 'auto' : 'none'; }, shown);
}

// The browser's standard gamepad layout.
const PadButtons kPadButtons = {0, 1, 8, 9, 12, 13, 14, 15};

// emscripten's SDL reads the pads only when SDL_Init itself was asked for them; it asks
// the browser for the list of pads on every call, so there is nothing to restart.
bool startSdl() {
    return SDL_Init(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) == 0;
}

bool restartJoysticks() {
    return true;
}

void endProgram(int status) {
    copyToCanvas();
    EM_ASM(
        {
            if (Module['onGameEnd']) Module['onGameEnd']($0);
        },
        status);
    emscripten_force_exit(status);
    __builtin_unreachable();
}

} // namespace ravela
