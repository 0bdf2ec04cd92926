// The desktop side of the platform seam: SDL 1.2 as it is.

#include "display/platform.h"

#include <SDL.h>
#include <cstdlib>

#include "display/desktop.h"

namespace ravela {

bool surfaceNeedsLock(SDL_Surface *surface) {
    return SDL_MUSTLOCK(surface);
}

void lockScreen(SDL_Surface *surface) {
    SDL_LockSurface(surface);
}

void unlockScreen(SDL_Surface *surface) {
    SDL_UnlockSurface(surface);
}

void showRect(SDL_Surface *surface, int x, int y, int w, int h) {
    if (presentDirectly(surface, x, y, w, h)) return;
    SDL_UpdateRect(surface, x, y, static_cast<Uint32>(w), static_cast<Uint32>(h));
}

void setEventQueued(uint32_t type, bool queued) {
    SDL_EventState(static_cast<Uint8>(type), queued ? SDL_ENABLE : SDL_IGNORE);
}

void fillRect(SDL_Surface *surface, int x, int y, int w, int h, uint32_t pixel) {
    SDL_Rect rect = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
                     static_cast<Uint16>(h)};
    SDL_FillRect(surface, &rect, pixel);
}

void setPointerMotionQueued(bool queued) {
    setEventQueued(SDL_MOUSEMOTION, queued);
}

uint32_t millisecondsSinceStart() {
    return SDL_GetTicks();
}

void waitMilliseconds(uint32_t milliseconds) {
    SDL_Delay(milliseconds);
}

bool waitForEvent(SDL_Event *event) {
    return SDL_WaitEvent(event) == 1;
}

void restUntilInput(uint32_t tickMilliseconds) {
    SDL_Delay(tickMilliseconds);
}

bool isFocusChange(const SDL_Event &event) {
    return event.type == SDL_ACTIVEEVENT &&
           (event.active.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)) != 0;
}

void showCursor(bool shown) {
    SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

void endProgram(int status) {
    if (status == 0) endIfDisplayLost();
    std::exit(status);
}

// sdl12-compat shows every pad it knows in the game-controller layout (with
// SDL12COMPAT_USE_GAME_CONTROLLERS=1).
const PadButtons kPadButtons = {0, 1, 4, 6, 11, 12, 13, 14};

bool startSdl() {
    return SDL_Init(SDL_INIT_VIDEO) == 0;
}

// sdl12-compat lists the pads once, when its joystick subsystem starts.
bool restartJoysticks() {
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

void watchPads(bool) {} // SDL's own wait reads the pads

void lookForNewPads(bool) {} // SDL lists every pad present when its joysticks restart

} // namespace ravela
