// Reading the screen back as a player sees it: a cell's pixels decoded into the code its tile
// shows, against the real-window suite's own palette and tiles (harness_tables.h, generated
// from tools/harness/screen.py), and a picture's pixels against libjpeg's own decode.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "assets/pictures.h"
#include "harness_tables.h"

namespace ravela::testing {

// What a cell shows when it is none of the tiles below.
constexpr int kNoTile = -1;
// The plain wall tile, the grey ring, which only a direct paint of the wall code shows.
constexpr int kRingTile = -2;

// The colour at game pixel (x, y) of a 1x surface.
harness::Rgb colourAt(SDL_Surface *surface, int x, int y);
// Whether the cell shows that fixed tile (a fruit or a snake code) exactly.
bool showsFixedTile(SDL_Surface *surface, int row, int col, int code);
// Whether the cell shows an empty tile: black on its '.', one dark colour (green 30) on its
// 'a' and another (green at most 19) on its 'b', red and blue even and at most 38.
bool showsEmptyTile(SDL_Surface *surface, int row, int col);
// Whether the cell shows a brick wall whose bevels face exactly the open sides (above,
// below, left, right): light above and on the left, dark below and on the right, a corner
// in the colour of its column; the rest brick face.
bool showsBrick(SDL_Surface *surface, int row, int col, const bool open[4]);
// The code the cell shows: a fixed tile, 0 for empty, kRingTile or kNoTile.
int shownCode(SDL_Surface *surface, int row, int col);
// The first cell whose picture differs from the code expected there (-1: anything), as text;
// empty when all agree.
std::string cellsThatDiffer(SDL_Surface *surface, const int8_t (&expected)[48][64]);

// A picture decoded by libjpeg on its own: width, height, and RGB rows.
struct Decoded {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};
Decoded decodeByLibjpeg(const uint8_t *bytes, size_t size);
// How many pixels of the rectangle (x, y, w, h) differ from the picture decoded by libjpeg
// with its top-left corner at (x, y).
int picturePixelsThatDiffer(SDL_Surface *surface, const Picture &picture, harness::Rect rect);

} // namespace ravela::testing
