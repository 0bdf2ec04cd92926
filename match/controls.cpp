// The event seam: keys by symbol (so Shift and Caps Lock make no difference), the pads'
// buttons and left sticks, the pointer and a page's taps, the window's quit request, exposes
// and focus, each turned into the game's words.

#include "match/controls.h"

#include <SDL.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "display/platform.h"
#include "display/surface.h"
#include "snakes/snake.h"

namespace ravela {

Pads pads = {{nullptr, nullptr, nullptr},
             {-1, -1, -1},
             {{0, 0}, {0, 0}, {0, 0}},
             {kNoDirection, kNoDirection, kNoDirection}};

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

// A stick asks for a direction once it is pushed this far along one axis, at least twice
// as far as along the other; it counts as centred again below the release distance. Axes
// run from -32768 to 32767, negative up and to the left.
constexpr int kStickPush = 16384;
constexpr int kStickRelease = 8192;
constexpr int kStickDominance = 2;

// The user event that says a tap: its code, with the game pixel in its two data words.
constexpr int kTapCode = 1;

Input nothing() {
    return Input{0, -1, kNoDirection, -1, false, PointerPosition{0, 0}};
}

// The player whose pad the platform numbers so, or -1.
int8_t padPlayer(int device) {
    for (int8_t p = 0; p < kPlayerCount; ++p)
        if (pads.device[p] == device) return p;
    return -1;
}

// A word from player p's pad, pointing that way when it has a direction.
Input padInput(int8_t player, uint16_t words, int8_t direction) {
    Input input = nothing();
    input.words = words;
    input.player = player;
    input.fromPad = true;
    if (direction != kNoDirection) {
        input.words |= kSteer | kMoveSelection;
        input.direction = direction;
    }
    return input;
}

Input readPadButton(int8_t player, uint8_t button) {
    const PadButtons &b = kPadButtons;
    const int8_t direction = button == b.up      ? kUp
                             : button == b.down  ? kDown
                             : button == b.left  ? kLeft
                             : button == b.right ? kRight
                                                 : kNoDirection;
    uint16_t words = kPageTurn;
    if (button == b.a) words |= kConfirm;
    if (button == b.b) words |= kBack;
    if (button == b.back) words |= kLeave | kBack;
    if (button == b.start) words |= kPause;
    return padInput(player, words, direction);
}

// Follows the left stick; a push that clearly points one way asks for that way once.
Input readStick(int8_t player, int axis, int value) {
    if (axis > 1) return nothing();
    pads.stick[player][axis] = value;
    const int x = pads.stick[player][0], y = pads.stick[player][1];
    const int across = std::abs(x), along = std::abs(y);
    int8_t &asked = pads.stickDirection[player];
    if (std::max(across, along) < kStickRelease) {
        asked = kNoDirection;
        return nothing();
    }
    int8_t direction = kNoDirection;
    if (across >= kStickPush && across >= kStickDominance * along)
        direction = x < 0 ? kLeft : kRight;
    if (along >= kStickPush && along >= kStickDominance * across) direction = y < 0 ? kUp : kDown;
    if (direction == kNoDirection || direction == asked) return nothing();
    asked = direction;
    return padInput(player, 0, direction);
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
    case SDL_MOUSEBUTTONDOWN:
        // The left, middle and right buttons are any button; SDL reports a turn of the
        // wheel as a press of buttons 4 and 5, and that is no click.
        if (event.button.button >= SDL_BUTTON_LEFT && event.button.button <= SDL_BUTTON_RIGHT)
            input.words = kPointerPress | kPageTurn;
        return input;
    case SDL_QUIT: input.words = kQuit; return input;
    case SDL_VIDEOEXPOSE: input.words = kExpose; return input;
    case SDL_USEREVENT:
        if (event.user.code != kTapCode) return input;
        input.words = kTap | kPointerMove | kPointerPress | kPageTurn;
        input.pointer =
            PointerPosition{static_cast<int>(reinterpret_cast<intptr_t>(event.user.data1)),
                            static_cast<int>(reinterpret_cast<intptr_t>(event.user.data2))};
        return input;
    case SDL_JOYBUTTONDOWN: {
        const int8_t player = padPlayer(event.jbutton.which);
        return player < 0 ? input : readPadButton(player, event.jbutton.button);
    }
    case SDL_JOYAXISMOTION: {
        const int8_t player = padPlayer(event.jaxis.which);
        return player < 0 ? input : readStick(player, event.jaxis.axis, event.jaxis.value);
    }
    default: break;
    }
    if (isFocusChange(event)) input.words = kFocusChange;
    return input;
}

void closePads() {
    for (int p = 0; p < kPlayerCount; ++p) {
        if (pads.opened[p] != nullptr) SDL_JoystickClose(pads.opened[p]);
        pads.opened[p] = nullptr;
        pads.device[p] = -1;
        pads.stick[p][0] = pads.stick[p][1] = 0;
        pads.stickDirection[p] = kNoDirection;
    }
}

void openPads(bool lookForNew) {
    closePads();
    if (!restartPads(lookForNew)) return;
    // The platform may number empty places too (a browser's list of pads has gaps): only
    // the pads that open take a player.
    int8_t player = 0;
    const int devices = SDL_NumJoysticks();
    for (int device = 0; device < devices && player < kPlayerCount; ++device) {
        SDL_Joystick *pad = SDL_JoystickOpen(device);
        if (pad == nullptr) continue;
        pads.opened[player] = pad;
        pads.device[player] = device;
        ++player;
    }
    SDL_JoystickEventState(SDL_ENABLE);
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

namespace {

void queueKey(SDLKey symbol) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = symbol;
    SDL_PushEvent(&event);
}

} // namespace

void queueSteer(int8_t player, int8_t direction) {
    for (const SteeringKey &key : kSteeringKeys)
        if (key.player == player && key.direction == direction) queueKey(key.symbol);
}

void queueReturn() {
    queueKey(SDLK_RETURN);
}

void queueEscape() {
    queueKey(SDLK_ESCAPE);
}

void queueTap(int x, int y) {
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    event.user.code = kTapCode;
    event.user.data1 = reinterpret_cast<void *>(static_cast<intptr_t>(x));
    event.user.data2 = reinterpret_cast<void *>(static_cast<intptr_t>(y));
    SDL_PushEvent(&event);
}

} // namespace ravela
