// The desktop icon: the picture must be the game's own tiles, enlarged by whole pixels and
// centred on a transparent margin, and the PNG file must hold exactly that picture.

#include <gtest/gtest.h>

#include <png.h>
#include <vector>

#include "display/board.h"
#include "tests/support.h"
#include "tools/icon.h"

namespace ravela {
namespace {

using Bytes = std::vector<uint8_t>;

// The pixels of a PNG file as libpng reads them back, four bytes each; empty when it
// cannot read the file or the file is not of that size.
Bytes decodePng(const Bytes &file, int size) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, file.data(), file.size())) return {};
    png.format = PNG_FORMAT_RGBA;
    Bytes rgba(PNG_IMAGE_SIZE(png));
    const bool read = png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr);
    if (!read || png.width != unsigned(size) || png.height != unsigned(size)) return {};
    return rgba;
}

// The install check decodes the written files with ImageMagick as well; here the file
// gives back every pixel, transparent margin included, and a picture whose bytes do not
// match its size gives no file.
TEST(IconPng, TheFileHoldsThePictureExactly) {
    testing::resetGame(testing::makeSurface(32));
    for (const int size : kIconSizes) {
        SCOPED_TRACE(size);
        const IconImage image = composeIcon(board, board.palette, size);
        const Bytes file = encodePng(image);
        ASSERT_FALSE(file.empty());
        EXPECT_EQ(decodePng(file, size), image.rgba);
    }
    EXPECT_TRUE(encodePng(IconImage{4, Bytes(4 * 4 * 4 - 1)}).empty());
    EXPECT_TRUE(encodePng(IconImage{0, {}}).empty());
}

// The largest size, inside a transparent margin, shows the fruit tile (changed here) and
// player 1's head beside it, each tile pixel as an 8 x 8 square.
TEST(Icon, EverySizeShowsTheTilesOfTheGame) {
    testing::resetGame(testing::makeSurface(32)); // the palette holds 0xRRGGBB values
    for (int p = 0; p < kTileBytes; ++p)
        board.tiles[kYellowFruit][p] = uint8_t(p * 7 % kPaletteSize);
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

// The home-screen icon is the manifest's 192-pixel picture without its six-pixel margin.
TEST(Icon, TheHomeScreenSizeIsTheManifestPictureWithoutItsMargin) {
    testing::resetGame(testing::makeSurface(32));
    const IconImage home = composeIcon(board, board.palette, 180);
    const IconImage manifest = composeIcon(board, board.palette, 192);
    ASSERT_EQ(home.size, 180);
    ASSERT_EQ(home.rgba.size(), size_t(180 * 180 * 4));
    int wrong = 0;
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 180 * 4; ++x)
            wrong += home.rgba[y * 180 * 4 + x] != manifest.rgba[(y + 6) * 192 * 4 + 6 * 4 + x];
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(home.rgba[3], 0xFF); // painted to its corner, no transparent margin
}

} // namespace
} // namespace ravela
