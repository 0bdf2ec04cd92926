// The desktop icon: the PNG files must decode back to the picture, and the picture must be
// the game's own tiles, enlarged by whole pixels and centred on a transparent margin.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "display/board.h"
#include "tests/support.h"
#include "tools/icon.h"

namespace ravela {
namespace {

using Bytes = std::vector<uint8_t>;

uint32_t bigEndian(const uint8_t *b) {
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

// Reads back a side x side picture as encodePng writes it: signature, IHDR for 8-bit RGBA,
// one IDAT from byte 33 and IEND, each with its CRC; in IDAT a zlib stream of stored blocks
// with its Adler-32, and rows of filter type 0. Any other file gives no pixels.
Bytes decodePng(const Bytes &png, int side) {
    const uint8_t hi = uint8_t(side >> 8), lo = uint8_t(side);
    const Bytes head = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0,  0, 0, 13, 'I', 'H', 'D',
                        'R',  0,   0,   hi,  lo,   0,    0,    hi,   lo, 8, 6, 0,  0,   0};
    const Bytes end = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    const size_t size = png.size() >= 57 ? bigEndian(&png[33]) : 0; // zlib stream from byte 41
    if (png.size() != 57 + size || size < 6 || !std::equal(head.begin(), head.end(), png.begin()) ||
        bigEndian(&png[29]) != crc32(&png[12], 17) || std::string(&png[37], &png[41]) != "IDAT" ||
        bigEndian(&png[41 + size]) != crc32(&png[37], size + 4) ||
        !std::equal(end.begin(), end.end(), png.end() - 12) || (png[41] * 256 + png[42]) % 31 != 0)
        return {};
    Bytes raw, rgba;
    size_t at = 43;
    for (bool done = false; !done; at += 5 + (png[at + 1] | png[at + 2] << 8)) {
        const uint32_t length = png[at + 1] | png[at + 2] << 8;
        if (at + 5 + length > 37 + size || (png[at] & ~1) != 0 ||
            (length ^ 0xFFFF) != uint32_t(png[at + 3] | png[at + 4] << 8))
            return {};
        done = png[at] == 1;
        raw.insert(raw.end(), png.begin() + at + 5, png.begin() + at + 5 + length);
    }
    if (at != 37 + size || bigEndian(&png[at]) != adler32(raw.data(), raw.size())) return {};
    for (size_t row = 0; row < raw.size(); row += side * 4 + 1) {
        if (raw[row] != 0 || row + side * 4 + 1 > raw.size()) return {};
        rgba.insert(rgba.end(), raw.begin() + row + 1, raw.begin() + row + side * 4 + 1);
    }
    return rgba;
}

TEST(IconPng, ChecksumsAndPicturesSurviveTheRoundTrip) {
    EXPECT_EQ(crc32(reinterpret_cast<const uint8_t *>("123456789"), 9), 0xCBF43926u);
    EXPECT_EQ(adler32(reinterpret_cast<const uint8_t *>("Wikipedia"), 9), 0x11E60398u);
    // 130 rows of 521 bytes need two stored blocks, the first one full.
    for (const int size : {1, 16, 130}) {
        IconImage image{size, Bytes(size_t(size) * size * 4)};
        for (size_t i = 0; i < image.rgba.size(); ++i)
            image.rgba[i] = uint8_t(i * 7 + i / 13);
        EXPECT_EQ(decodePng(encodePng(image), size), image.rgba) << size;
    }
    EXPECT_TRUE(encodePng(IconImage{4, Bytes(4 * 4 * 4 - 1)}).empty());
}

// Every theme size survives PNG. The largest, inside a transparent margin, shows the fruit
// tile (changed here) and player 1's head beside it, each tile pixel as an 8 x 8 square.
TEST(Icon, EverySizeShowsTheTilesOfTheGame) {
    testing::resetGame(testing::makeSurface(32)); // the palette holds 0xRRGGBB values
    for (int p = 0; p < kTileBytes; ++p)
        board.tiles[kYellowFruit][p] = uint8_t(p * 7 % kPaletteSize);
    for (const int size : kIconSizes) {
        const IconImage image = composeIcon(board, board.palette, size);
        EXPECT_EQ(decodePng(encodePng(image), size), image.rgba) << size;
    }
    const IconImage image = composeIcon(board, board.palette, 256);
    EXPECT_EQ(image.rgba[(7 * 256 + 7) * 4 + 3], 0);
    int wrong = 0;
    for (int y = 0; y < 8 * kCellPixels; ++y)
        for (int x = 0; x < 16 * kCellPixels; ++x) {
            const uint8_t *tile = board.tiles[x < 8 * kCellPixels ? kYellowFruit : 16 + 2];
            const uint8_t *p = &image.rgba[((8 + y) * 256 + 8 + x) * 4];
            wrong += (uint32_t(p[0]) << 16 | p[1] << 8 | p[2] | uint32_t(p[3]) << 24) !=
                     (0xFF000000 | board.palette[tile[y / 8 * kCellPixels + x / 8 % kCellPixels]]);
        }
    EXPECT_EQ(wrong, 0);
}

} // namespace
} // namespace ravela
