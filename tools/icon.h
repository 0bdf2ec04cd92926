// The desktop icon, painted from the game's own tile set: a yellow snake winding
// towards a yellow fruit, enlarged by whole pixels, and written out as PNG files.
#pragma once

#include <cstdint>
#include <vector>

#include "display/board.h"

namespace ravela {

// One square icon picture: size x size pixels, four bytes each (red, green, blue, alpha).
struct IconImage {
    int size;                  // width and height in pixels
    std::vector<uint8_t> rgba; // row-major pixels, 4 bytes each
};

// The icon sizes a desktop theme asks for, smallest first.
constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

// Paints the icon of the given size from the board's tiles; palette holds the 18 tile
// colours as 0xRRGGBB. Besides those, 192 and 512 are drawn for the web page's
// manifest and 180 for its home-screen icon; any other size gives an empty picture.
IconImage composeIcon(const Board &source, const uint32_t (&palette)[kPaletteSize], int size);
// A complete PNG file of a square RGBA picture; empty for an empty picture or when the
// pixel bytes do not match the size.
std::vector<uint8_t> encodePng(const IconImage &image);

} // namespace ravela
