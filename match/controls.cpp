// The event seam: keys by symbol (so Shift and Caps Lock make no difference), the
// pointer, the window's quit request, exposes and focus, each turned into the game's words.

#include "match/controls.h"

#include <SDL.h>

#include "display/platform.h"
#include "display/surface.h"
#include "snakes/snake.h"

namespace ravela {

namespace {

struct SteeringKey {
    SDLKey symbol;    // key symbol
    int8_t player;    // index of the PlayerSnake it steers
    int8_t direction; // direction it asks for
};

constexpr SteeringKey kSteeringKeys[] = {
    {SDLK_UP, 0, kUp}, {SDLK_DOWN, 0, kDown}, {SDLK_LEFT, 0, kLeft}, {SDLK_RIGHT, 0, kRight},
    {SDLK_w, 1, kUp},  {SDLK_s, 1, kDown},    {SDLK_a, 1, kLeft},    {SDLK_d, 1, kRight},
    {SDLK_i, 2, kUp},  {SDLK_k, 2, kDown},    {SDLK_j, 2, kLeft},    {SDLK_l, 2, kRight},
};

// Player 1's keys, the arrows, also move a menu's selection.
constexpr int8_t kMenuPlayer = 0;

Input nothing() {
    return Input{0, -1, kNoDirection, -1, PointerPosition{0, 0}};
}

Input readKey(SDLKey symbol) {
    Input input = nothing();
    input.words = kPageTurn;
    switch (symbol) {
    case SDLK_RETURN: input.words |= kConfirm | kPause; return input;
    case SDLK_KP_ENTER: input.words |= kConfirm; return input;
    case SDLK_ESCAPE: input.words |= kLeave | kBack; return input;
    case SDLK_TAB: input.words |= kMoveSelection; return input;
    default: break;
    }
    if (symbol >= SDLK_0 && symbol <= SDLK_9) {
        input.words |= kDigit;
        input.digit = static_cast<int8_t>(symbol - SDLK_0);
        return input;
    }
    for (const SteeringKey &key : kSteeringKeys) {
        if (key.symbol != symbol) continue;
        input.words |= kSteer;
        if (key.player == kMenuPlayer) input.words |= kMoveSelection;
        input.player = key.player;
        input.direction = key.direction;
        break;
    }
    return input;
}

// Shows the screen again after an expose and ends the program on a quit request; the
// rest is the screens' to handle.
Input handleWindow(const SDL_Event &event) {
    const Input input = readEvent(event);
    if (input.has(kQuit)) endProgram(0);
    repaintIfExposed(event);
    return input;
}

} // namespace

Input readEvent(const SDL_Event &event) {
    Input input = nothing();
    switch (event.type) {
    case SDL_KEYDOWN: return readKey(event.key.keysym.sym);
    case SDL_MOUSEMOTION:
        input.words = kPointerMove;
        input.pointer = PointerPosition{toGamePixel(event.motion.x), toGamePixel(event.motion.y)};
        return input;
    case SDL_MOUSEBUTTONDOWN: input.words = kPointerPress | kPageTurn; return input;
    case SDL_QUIT: input.words = kQuit; return input;
    case SDL_VIDEOEXPOSE: input.words = kExpose; return input;
    default: break;
    }
    if (isFocusChange(event)) input.words = kFocusChange;
    return input;
}

bool pollWords(Input &input) {
    SDL_Event event;
    if (!SDL_PollEvent(&event)) return false;
    input = handleWindow(event);
    return true;
}

bool waitWords(Input &input) {
    SDL_Event event;
    if (!waitForEvent(&event)) return false;
    input = handleWindow(event);
    return true;
}

PointerPosition pointerNow() {
    PointerPosition position{0, 0};
    SDL_GetMouseState(&position.x, &position.y);
    return PointerPosition{toGamePixel(position.x), toGamePixel(position.y)};
}

} // namespace ravela
