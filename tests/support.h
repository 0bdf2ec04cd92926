// The one way to set up a test: SDL on the dummy driver, a reset of every global record,
// and a few helpers to press a key, lay a snake and read cells back; and the scripted
// players that the replay and the soak both play with.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "display/board.h"
#include "match/match_state.h"
#include "snakes/snake.h"

namespace ravela::testing {

// The steering keys, four per player: up, down, left, right.
extern const SDLKey kPlayerKeys[12];
// Starts SDL video on the dummy driver (once) and returns a new software surface.
SDL_Surface *makeSurface(int bitsPerPixel, int width = 640, int height = 480);
// Resets the Board (painting on the surface), the twelve snakes, the match state, the match
// clock and the surface trace, empties the event queue and seeds the random generator.
void resetGame(SDL_Surface *surface, uint32_t seed = 1);
// The pixel at (x, y) as stored: 2, 3 or 4 bytes, lowest address lowest byte.
uint32_t pixelAt(SDL_Surface *surface, int x, int y);
// A key event (a press unless another type is given); pressKey queues one.
SDL_Event keyEvent(SDLKey key, uint32_t type = SDL_KEYDOWN);
void pressKey(SDLKey key, uint32_t type = SDL_KEYDOWN);
// The pointer moving to window pixel (x, y).
SDL_Event motion(int x, int y);
// Pretends that the platform numbers player p's pad devices[p] (tests open no real pad).
void givePads(const std::vector<int> &devices);
// A press of a mouse button by SDL 1.2's numbers: 1 to 3 left, middle, right; 4 and 5 the
// wheel turned up and down.
SDL_Event buttonDown(uint8_t button);
// A press of a pad's button; a move of one of its axes to value.
SDL_Event padButton(int device, uint8_t button);
SDL_Event padAxis(int device, uint8_t axis, int value);
// Puts the events into SDL's queue in order.
void queue(std::vector<SDL_Event> events);
// Snake i: players 0..2, then adversaries 0..8 as 3..11.
Snake &snakeNo(int i);
// Snake i alive in its own colour with its head at (row, col), having made `behind` moves
// in direction d to get there; growth 0, no request pending.
Snake &laySnake(int i, int row, int col, int8_t d, int behind);
// Snake i as an egg of the given length (-1 broken, below -1 intact) at (row, col), waiting
// for a key.
Snake &layEgg(int i, int row, int col, int32_t length);
// The snake's cells from the head back as "row,col row,col ..."; an egg gives its own cell.
std::string cellsOf(const Snake &snake);
// Cells in rows 1..47 holding a code from lo to hi (hi defaults to lo).
int countCells(int lo, int hi = -1);
// The scripted player's way for a snake: of the steps into cells no other head can take
// first, the one that leaves room for the body and is nearest to fruit or a grey egg;
// failing room, the roomiest; -1 when there is none.
int8_t scriptedWay(const Snake &snake);
// Presses each player's key as the script plays it: eggs every tick until they hatch, the
// living only to turn, players who are out never. Given a generator, players wander: on
// three ticks in four they steer as the adversaries' path-finder would (now and then any
// way, mostly turning from a shut one), and eggs get a key only now and then.
void pressScriptedKeys(std::mt19937 *wander = nullptr);

} // namespace ravela::testing
