// Decoding of the compiled-in JPEG pictures straight onto a surface.
#pragma once

#include <cstdint>

struct SDL_Surface;

namespace ravela {

// Decodes a whole JFIF picture from memory and paints it with its top-left corner at
// (left, top), clipped at the surface's right and bottom edges. The caller locks and
// presents. A corrupt picture ends the program with libjpeg's message and status 1.
void decodeAndBlit(const uint8_t *bytes, int32_t length, SDL_Surface *surface, int top, int left);

} // namespace ravela
