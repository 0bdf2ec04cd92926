// The input poll of a match: egg upkeep for the three players, then the SDL event queue.
// Arrows, W/A/S/D and I/J/K/L steer players 1 to 3 by key symbol, Return toggles the
// pause, focus changes pause, an expose shows the screen again, Escape ends the match and a quit
// request ends the program.

#include "match/input.h"

#include "display/platform.h"
#include "display/surface.h"
#include "match/match_state.h"
#include "snakes/snake.h"
#include <SDL.h>

namespace ravela {

namespace {

struct DirectionKey {
    SDLKey symbol;    // key symbol, so Shift and Caps Lock make no difference
    int8_t player;    // index of the PlayerSnake it steers
    int8_t direction; // direction it asks for
};

constexpr DirectionKey kDirectionKeys[] = {
    {SDLK_UP, 0, kUp}, {SDLK_DOWN, 0, kDown}, {SDLK_LEFT, 0, kLeft}, {SDLK_RIGHT, 0, kRight},
    {SDLK_w, 1, kUp},  {SDLK_s, 1, kDown},    {SDLK_a, 1, kLeft},    {SDLK_d, 1, kRight},
    {SDLK_i, 2, kUp},  {SDLK_k, 2, kDown},    {SDLK_j, 2, kLeft},    {SDLK_l, 2, kRight},
};

// Dead players' eggs wait for a key afresh every tick; repainting them brings back an egg
// that another snake covered for a while, and shows the egg as broken once its
// countdown has run out.
void keepEggs() {
    for (Snake &player : playerSnake) {
        if (!isEgg(player)) continue;
        turnToEgg(player, true, kNoCountdown);
        player.direction = kNoDirection;
    }
}

void handleKey(SDLKey symbol) {
    switch (symbol) {
    case SDLK_RETURN: matchState.paused = matchState.paused == 0 ? 1 : 0; return;
    case SDLK_ESCAPE: matchState.matchRunning = 0; return;
    default: break;
    }
    for (const DirectionKey &key : kDirectionKeys) {
        if (key.symbol == symbol) {
            requestDirection(playerSnake[key.player], key.direction);
            return;
        }
    }
}

} // namespace

void requestDirection(Snake &snake, int8_t direction) {
    const int8_t lastMove = static_cast<int8_t>(snake.lastMoves[0]);
    const bool vertical = direction < kLeft;
    const bool lastMoveHorizontal = lastMove >= kLeft;
    // A turn at a right angle steers the next step; a key along the axis of the last move,
    // the reverse included, waits for the step after, so a snake never doubles back.
    if (vertical == lastMoveHorizontal || snake.direction < 0) {
        snake.direction = direction;
    } else {
        snake.pendingDirection = direction;
    }
}

void pollInput() {
    keepEggs();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        repaintIfExposed(event);
        switch (event.type) {
        case SDL_KEYDOWN: handleKey(event.key.keysym.sym); break;
        case SDL_QUIT: endProgram(0);
        default:
            // Gaining or losing focus both pause; only Return resumes.
            if (isFocusChange(event)) matchState.paused = 1;
            break;
        }
    }
}

} // namespace ravela
