// Decoding of the compiled-in JPEG pictures straight onto a surface, and showing them
// on the Board's surface.
#pragma once

#include <cstdint>
#include <initializer_list>

struct SDL_Surface;

namespace ravela {

struct Picture;

// A picture and the game pixel where its top-left corner goes on the Board's surface.
struct PicturePlacement {
    const Picture *picture;
    int top;
    int left;
};

// Decodes a whole JFIF picture from memory and paints it with its top-left corner at game
// pixel (left, top), clipped at the surface's right and bottom edges. The caller locks and
// presents. A corrupt picture ends the program with libjpeg's message and status 1.
void decodeAndBlit(const uint8_t *bytes, int32_t length, SDL_Surface *surface, int top, int left);
// Paints the pictures in order on the Board's surface inside one lock, then presents the
// rectangle (x, y, w, h); all zeros presents the whole surface. No surface: nothing.
void showPictures(std::initializer_list<PicturePlacement> pictures, int x = 0, int y = 0, int w = 0,
                  int h = 0);
// Shows the pause banner in the middle of the Board's surface.
void showPauseBanner();

} // namespace ravela
