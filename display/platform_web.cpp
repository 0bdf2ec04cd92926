// The browser side of the platform seam, over emscripten's SDL 1.2. That SDL copies the
// whole screen to the canvas on every unlock and does nothing on SDL_UpdateRect, so here
// the drawing code writes straight into the surface's memory and the screen goes to the
// canvas in one copy when the program next waits: once per tick or menu frame, and only
// when the pixels changed. Waiting gives the browser its turn (the program is built with
// asyncify); a screen that waits for the player sleeps until the page hears input.

#include "display/platform.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>
#include <emscripten.h>
#include <vector>

// The script half of this file, display/platform_web.js.
extern "C" {
// Sleeps until the page hears input or hands the game some, or at most limit milliseconds.
void ravelaSleepUntilInput(int limit);
// Takes the page's pad listeners away, which stops the browser's polling for pads.
void ravelaStopPadPolling();
// Copies the rows top .. top + rows of the screen's pixels, columns left .. left + span,
// to the canvas.
void ravelaCopyToCanvas(const uint8_t *pixels, int width, int height, int left, int top, int span,
                        int rows);
// Shows or hides the pointer over the canvas.
void ravelaShowCursor(int shown);
// Tells the page that the game ended with that status.
void ravelaGameEnded(int status);
}

namespace ravela {

namespace {

// The part of the screen shown since the last copy to the canvas: right and bottom are
// one past the last column and row; an empty part has right <= left.
struct ShownPart {
    int left, top, right, bottom;
};

SDL_Surface *pendingSurface = nullptr; // surface drawn on since its last copy to the canvas
ShownPart pendingPart = {0, 0, 0, 0};  // the part of it shown since then
std::vector<uint8_t> canvasPixels;     // what the canvas shows, as the surface's bytes

// Longest sleep of a screen that waits for the player when the page hears nothing: a
// safety net for input that reaches the game by a way the page does not listen to.
constexpr int kLongestQuietSleep = 500;
// How often a waiting screen asks the browser for its pads while any is open: every frame.
constexpr int kPadPollSleep = 16;
// The browser's places for pads that emscripten's SDL looks at for an open one.
constexpr int kPadPlaces = 8;
bool padsOpen = false;        // whether the program has a pad open
bool lookingForPads = false;  // whether a menu wants pads not open yet to show
bool padPollingNeeded = true; // whether the browser was last left polling the pads

// Once a page has asked for the list of pads, the browser polls the devices every frame
// until the page takes its last pad listener away, even one it never had: when a screen
// needs no pad, the wait before it stops the polling that way. An open pad's presses
// reach SDL only when it asks the browser, so a waiting screen must then ask often.
void followPads() {
    padsOpen = false;
    for (int place = 0; place < kPadPlaces && !padsOpen; ++place)
        padsOpen = SDL_JoystickOpened(place) != 0;
    const bool needed = padsOpen || lookingForPads;
    if (!needed && padPollingNeeded) ravelaStopPadPolling();
    padPollingNeeded = needed;
}

// Whether two runs of bytes are equal, compared eight bytes at a time where the C
// library compares byte by byte.
bool samePixels(const uint8_t *a, const uint8_t *b, size_t bytes) {
    size_t at = 0;
    for (; at + sizeof(uint64_t) <= bytes; at += sizeof(uint64_t)) {
        uint64_t x, y;
        std::memcpy(&x, a + at, sizeof x);
        std::memcpy(&y, b + at, sizeof y);
        if (x != y) return false;
    }
    return std::memcmp(a + at, b + at, bytes - at) == 0;
}

// Takes the shown part's pixels into what the canvas shows; false when none changed. A
// paused match repaints its eggs every tick, and a copy of the same picture would cost
// the browser a whole composite of the page for nothing. The first copy, or one to a
// surface of another size, takes the whole surface.
bool takeChangedPixels(const SDL_Surface *surface, ShownPart &part) {
    const size_t bytes = static_cast<size_t>(surface->pitch) * surface->h;
    const auto *now = static_cast<const uint8_t *>(surface->pixels);
    if (canvasPixels.size() != bytes) {
        canvasPixels.assign(now, now + bytes);
        part = ShownPart{0, 0, surface->w, surface->h};
        return true;
    }
    bool changed = false;
    const size_t from = static_cast<size_t>(part.left) * 4;
    const size_t length = static_cast<size_t>(part.right - part.left) * 4;
    for (int row = part.top; row < part.bottom; ++row) {
        const size_t at = static_cast<size_t>(row) * surface->pitch + from;
        if (!changed && samePixels(canvasPixels.data() + at, now + at, length)) continue;
        changed = true;
        std::memcpy(canvasPixels.data() + at, now + at, length);
    }
    return changed;
}

// Copies the part of the surface shown since the last copy to the page's canvas, when
// its pixels changed. They are bytes red, green, blue, alpha, as the canvas holds them.
void showChanges() {
    SDL_Surface *surface = pendingSurface;
    ShownPart part = pendingPart;
    if (surface == nullptr || part.right <= part.left || part.bottom <= part.top) return;
    pendingSurface = nullptr;
    pendingPart = ShownPart{0, 0, 0, 0};
    if (!takeChangedPixels(surface, part)) return;
    ravelaCopyToCanvas(canvasPixels.data(), surface->w, surface->h, part.left, part.top,
                       part.right - part.left, part.bottom - part.top);
}

} // namespace

// emscripten's SDL reads the pads only when SDL_Init itself was asked for them. It queues
// every event, releases of the mouse's buttons too (it has no filter): the screens pass
// them by.
bool startPlatform(bool) {
    return SDL_Init(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) == 0;
}

// The page scales the canvas itself, to whole numbers where the window has room, and the
// screen reaches the canvas in one copy.
SDL_Surface *openScreen(const ScreenMode &mode) {
    return SDL_SetVideoMode(mode.width, mode.height, mode.depth,
                            mode.fullScreen ? SDL_FULLSCREEN : 0);
}

// emscripten's SDL copies the whole screen to the canvas on every unlock; the pixels live
// in memory, and the copy waits for the next wait instead.
bool screenNeedsLock(SDL_Surface *) {
    return false;
}

void showRect(SDL_Surface *surface, int x, int y, int w, int h) {
    if (w == 0 && h == 0 && x == 0 && y == 0) w = surface->w, h = surface->h;
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + w, surface->w), bottom = std::min(y + h, surface->h);
    if (right <= left || bottom <= top) return;
    if (pendingSurface != surface || pendingPart.right <= pendingPart.left) {
        pendingPart = ShownPart{left, top, right, bottom};
    } else {
        pendingPart =
            ShownPart{std::min(pendingPart.left, left), std::min(pendingPart.top, top),
                      std::max(pendingPart.right, right), std::max(pendingPart.bottom, bottom)};
    }
    pendingSurface = surface;
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

void setPointerMotionQueued(bool) {
    // emscripten's SDL has no filter and queues every event in a script array with room
    // for thousands; a match passes the pointer by.
}

uint32_t millisecondsSinceStart() {
    return SDL_GetTicks();
}

void waitMilliseconds(uint32_t milliseconds) {
    showChanges();
    followPads();
    emscripten_sleep(milliseconds);
}

bool waitForEvent(SDL_Event *event) {
    showChanges();
    followPads();
    while (!SDL_PollEvent(event))
        ravelaSleepUntilInput(padsOpen ? kPadPollSleep : kLongestQuietSleep);
    return true;
}

void restUntilInput(uint32_t) {
    showChanges();
    followPads();
    // An open pad's presses reach the queue only when SDL polls: the tick loop's poll
    // finds them, so with a pad open the rest is one poll's time.
    if (SDL_PollEvent(nullptr) == 0)
        ravelaSleepUntilInput(padsOpen ? kPadPollSleep : kLongestQuietSleep);
}

void showCursor(bool shown) {
    // emscripten's SDL_ShowCursor grabs the pointer in full screen; a style hides it instead.
    ravelaShowCursor(shown ? 1 : 0);
}

// The browser's standard gamepad layout.
const PadButtons kPadButtons = {0, 1, 8, 9, 12, 13, 14, 15};

// emscripten's SDL asks the browser for its list of pads on every call; asking once starts
// the browser's polling, which lists a pad whose button is pressed meanwhile.
bool restartPads(bool lookForNew) {
    lookingForPads = lookForNew;
    if (lookForNew) SDL_NumJoysticks();
    return true;
}

void endProgram(int status) {
    showChanges();
    ravelaGameEnded(status);
    emscripten_force_exit(status);
    __builtin_unreachable();
}

} // namespace ravela
