// Decoding cells and pictures from a surface's pixels, for the tests of what the screens show.

#include "tests/drawn.h"

#include <jpeglib.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <tuple>

#include "tests/support.h"

namespace ravela::testing {

namespace {

bool same(harness::Rgb a, harness::Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}
bool isBrickFace(harness::Rgb c) {
    return std::any_of(std::begin(harness::kBrickFace), std::end(harness::kBrickFace),
                       [c](harness::Rgb face) { return same(c, face); });
}
harness::Rgb cellPixel(SDL_Surface *surface, int row, int col, int k) {
    return colourAt(surface, 10 * col + k % 10, 10 * row + k / 10);
}
// The plain wall tile: a grey ring on the tile's edges but two pixels short of each corner,
// cut across the corner one pixel in, black elsewhere. a and b: distances from the edges.
bool onRing(int x, int y) {
    const int a = std::min(x, 9 - x), b = std::min(y, 9 - y);
    return a * b == 0 ? a + b >= 2 : a == 1 && b == 1;
}

} // namespace

harness::Rgb colourAt(SDL_Surface *surface, int x, int y) {
    harness::Rgb c{};
    SDL_GetRGB(pixelAt(surface, x, y), surface->format, &c.r, &c.g, &c.b);
    return c;
}

bool showsFixedTile(SDL_Surface *surface, int row, int col, int code) {
    if (code < 0 || code >= 80 || !harness::kHasFixedTile[code]) return false;
    for (int k = 0; k < 100; ++k) {
        const uint8_t *want = &harness::kFixedTiles[code][3 * k];
        if (!same(cellPixel(surface, row, col, k), {want[0], want[1], want[2]})) return false;
    }
    return true;
}

bool showsEmptyTile(SDL_Surface *surface, int row, int col) {
    std::set<std::tuple<int, int, int>> first, second;
    for (int k = 0; k < 100; ++k) {
        const harness::Rgb c = cellPixel(surface, row, col, k);
        const char ch = harness::kEmptyLayout[k];
        if (ch == '.' && !same(c, harness::kPalette[0])) return false;
        if (ch != '.' && (c.r % 2 || c.b % 2 || c.r > 38 || c.b > 38)) return false;
        if (ch == 'a' && c.g != 30) return false;
        if (ch == 'b' && c.g > 19) return false;
        if (ch != '.') (ch == 'a' ? first : second).insert({c.r, c.g, c.b});
    }
    return first.size() == 1 && second.size() == 1;
}

bool showsBrick(SDL_Surface *surface, int row, int col, const bool open[4]) {
    for (int k = 0; k < 100; ++k) {
        const int y = k / 10, x = k % 10;
        // The bevels go on in this order, so a corner takes the colour of its column.
        const bool onEdge[4] = {y == 0, y == 9, x == 0, x == 9};
        const harness::Rgb edgeColour[4] = {harness::kBrickLight, harness::kBrickDark,
                                            harness::kBrickLight, harness::kBrickDark};
        const harness::Rgb *want = nullptr;
        for (int side = 0; side < 4; ++side)
            if (open[side] && onEdge[side]) want = &edgeColour[side];
        const harness::Rgb c = cellPixel(surface, row, col, k);
        if (want ? !same(c, *want) : !isBrickFace(c)) return false;
    }
    return true;
}

int shownCode(SDL_Surface *surface, int row, int col) {
    for (int code = 0; code < 80; ++code)
        if (showsFixedTile(surface, row, col, code)) return code;
    if (showsEmptyTile(surface, row, col)) return 0;
    bool ring = true;
    for (int k = 0; k < 100 && ring; ++k)
        ring = same(cellPixel(surface, row, col, k),
                    harness::kPalette[onRing(k % 10, k / 10) ? 1 : 0]);
    return ring ? kRingTile : kNoTile;
}

std::string cellsThatDiffer(SDL_Surface *surface, const int8_t (&expected)[48][64]) {
    for (int row = 0; row < 48; ++row)
        for (int col = 0; col < 64; ++col) {
            const int want = expected[row][col];
            if (want < 0) continue;
            const bool shows = want == 0 ? showsEmptyTile(surface, row, col)
                                         : showsFixedTile(surface, row, col, want);
            if (!shows)
                return "cell (" + std::to_string(row) + ", " + std::to_string(col) + ") shows " +
                       std::to_string(shownCode(surface, row, col)) + ", not " +
                       std::to_string(want);
        }
    return "";
}

Decoded decodeByLibjpeg(const uint8_t *bytes, size_t size) {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, size);
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    Decoded picture;
    picture.width = static_cast<int>(info.output_width);
    picture.height = static_cast<int>(info.output_height);
    picture.rgb.resize(size_t(picture.width) * picture.height * 3);
    for (JSAMPROW row = picture.rgb.data(); info.output_scanline < info.output_height;
         row += picture.width * 3)
        jpeg_read_scanlines(&info, &row, 1);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return picture;
}

int picturePixelsThatDiffer(SDL_Surface *surface, const Picture &picture, harness::Rect rect) {
    const Decoded decoded = decodeByLibjpeg(picture.bytes, size_t(picture.length));
    if (decoded.width < rect.w || decoded.height < rect.h) return -1;
    int wrong = 0;
    for (int y = 0; y < rect.h; ++y)
        for (int x = 0; x < rect.w; ++x) {
            const uint8_t *want = &decoded.rgb[(size_t(y) * decoded.width + x) * 3];
            wrong += !same(colourAt(surface, rect.x + x, rect.y + y), {want[0], want[1], want[2]});
        }
    return wrong;
}

} // namespace ravela::testing
