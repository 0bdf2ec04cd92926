// The desktop icon: the PNG files must decode back to the picture, and the picture must be
// the game's own tiles, enlarged by whole pixels and centred on a transparent margin.

#include <gtest/gtest.h>

#include <SDL.h>
#include <cstring>
#include <set>
#include <string>

#include "display/board.h"
#include "tests/support.h"
#include "tools/icon.h"

namespace ravela {
namespace {

uint32_t readBigEndian(const std::vector<uint8_t> &bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) << 24 | static_cast<uint32_t>(bytes[at + 1]) << 16 |
           static_cast<uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

const uint8_t *text(const char *s) {
    return reinterpret_cast<const uint8_t *>(s);
}

// A PNG reader for exactly what encodePng may write: RGBA, stored deflate blocks,
// filter type 0. Any deviation is a test failure.
IconImage decodePng(const std::vector<uint8_t> &png) {
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_GE(png.size(), 8u);
    if (png.size() < 8) return {};
    EXPECT_EQ(0, std::memcmp(png.data(), signature, 8));
    std::vector<std::string> order;
    std::vector<uint8_t> header, zlib;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = readBigEndian(png, at);
        EXPECT_LE(at + 12 + length, png.size());
        if (at + 12 + length > png.size()) return {};
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        EXPECT_EQ(readBigEndian(png, at + 8 + length), crc32(png.data() + at + 4, length + 4))
            << type;
        order.push_back(type);
        std::vector<uint8_t> &into = type == "IHDR" ? header : zlib;
        if (type == "IHDR" || type == "IDAT")
            into.insert(into.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    EXPECT_GE(order.size(), 3u);
    if (order.empty()) return {};
    EXPECT_EQ(order.front(), "IHDR");
    EXPECT_EQ(order.back(), "IEND");

    EXPECT_EQ(header.size(), 13u);
    if (header.size() != 13) return {};
    const uint32_t width = readBigEndian(header, 0), height = readBigEndian(header, 4);
    EXPECT_EQ(width, height);
    const std::vector<uint8_t> format(header.begin() + 8, header.end());
    EXPECT_EQ(format, (std::vector<uint8_t>{8, 6, 0, 0, 0}));

    // zlib header, then stored blocks until the final one, then the Adler-32 checksum.
    EXPECT_GE(zlib.size(), 2u + 5u + 4u);
    EXPECT_EQ((zlib[0] & 0x0F), 8) << "deflate";
    EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0) << "zlib header check bits";
    std::vector<uint8_t> raw;
    size_t pos = 2;
    bool last = false;
    while (!last && pos + 5 <= zlib.size()) {
        last = zlib[pos] & 1;
        EXPECT_EQ(zlib[pos] >> 1, 0) << "stored block";
        const uint32_t length = zlib[pos + 1] | zlib[pos + 2] << 8;
        const uint32_t inverse = zlib[pos + 3] | zlib[pos + 4] << 8;
        EXPECT_EQ(length ^ 0xFFFFu, inverse);
        pos += 5;
        EXPECT_LE(pos + length, zlib.size());
        if (pos + length > zlib.size()) return {};
        raw.insert(raw.end(), zlib.begin() + pos, zlib.begin() + pos + length);
        pos += length;
    }
    EXPECT_TRUE(last);
    EXPECT_EQ(pos + 4, zlib.size());
    if (pos + 4 != zlib.size()) return {};
    EXPECT_EQ(readBigEndian(zlib, pos), adler32(raw.data(), raw.size()));

    const size_t rowBytes = width * 4 + 1;
    EXPECT_EQ(raw.size(), rowBytes * height);
    if (raw.size() != rowBytes * height) return {};
    IconImage image{static_cast<int>(width), {}};
    for (size_t row = 0; row < height; ++row) {
        EXPECT_EQ(raw[row * rowBytes], 0) << "filter type of row " << row;
        image.rgba.insert(image.rgba.end(), raw.begin() + row * rowBytes + 1,
                          raw.begin() + (row + 1) * rowBytes);
    }
    return image;
}

TEST(IconPng, ChecksumsMatchPublishedValues) {
    EXPECT_EQ(crc32(text("123456789"), 9), 0xCBF43926u);
    EXPECT_EQ(crc32(text("IEND"), 4), 0xAE426082u); // the trailer every PNG ends with
    EXPECT_EQ(crc32(nullptr, 0), 0u);
    EXPECT_EQ(adler32(text("Wikipedia"), 9), 0x11E60398u);
    EXPECT_EQ(adler32(nullptr, 0), 1u);
}

TEST(IconPng, DecodesBackToTheSamePicture) {
    // 1 row: one block; 130 rows of 521 bytes: two blocks, the first exactly 65535 bytes.
    for (const int size : {1, 16, 130}) {
        IconImage image{size, std::vector<uint8_t>(static_cast<size_t>(size) * size * 4)};
        for (size_t i = 0; i < image.rgba.size(); ++i)
            image.rgba[i] = static_cast<uint8_t>(i * 7 + i / 13);
        const IconImage back = decodePng(encodePng(image));
        EXPECT_EQ(back.size, size);
        EXPECT_EQ(back.rgba, image.rgba) << "size " << size;
    }
}

TEST(IconPng, RefusesPicturesWhosePixelsDoNotMatchTheSize) {
    EXPECT_TRUE(encodePng(IconImage{0, {}}).empty());
    EXPECT_TRUE(encodePng(IconImage{-4, {}}).empty());
    EXPECT_TRUE(encodePng(IconImage{4, std::vector<uint8_t>(4 * 4 * 4 - 1)}).empty());
}

class Icon : public ::testing::Test {
  protected:
    void SetUp() override {
        // On this surface the mapped colours are plain 0xRRGGBB values.
        testing::resetGame(testing::makeSurface(32));
        std::memcpy(palette, board.palette, sizeof palette);
    }

    static uint32_t rgbAt(const IconImage &image, int x, int y) {
        const uint8_t *p = &image.rgba[(static_cast<size_t>(y) * image.size + x) * 4];
        return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    }
    static uint8_t alphaAt(const IconImage &image, int x, int y) {
        return image.rgba[(static_cast<size_t>(y) * image.size + x) * 4 + 3];
    }
    // Colours of all opaque pixels.
    static std::set<uint32_t> colours(const IconImage &image) {
        std::set<uint32_t> found;
        for (int y = 0; y < image.size; ++y)
            for (int x = 0; x < image.size; ++x)
                if (alphaAt(image, x, y) != 0) found.insert(rgbAt(image, x, y));
        return found;
    }

    uint32_t palette[kPaletteSize];
};

constexpr uint32_t kBlack = 0x000000, kBody = 0x808040, kStripe = 0xFFFF40, kFruit = 0xFFFF80;

TEST_F(Icon, EverySizeIsAnOpaqueCentredSquareOfWholeEnlargedPixels) {
    struct Expected {
        int size, side, scale;
    };
    // side: the painted square; scale: icon pixels per tile pixel.
    const Expected cases[] = {{16, 10, 1}, {32, 30, 1},   {48, 40, 2},
                              {64, 60, 2}, {128, 120, 4}, {256, 240, 8}};
    for (const Expected &c : cases) {
        SCOPED_TRACE(c.size);
        const IconImage image = composeIcon(board, palette, c.size);
        ASSERT_EQ(image.size, c.size);
        ASSERT_EQ(image.rgba.size(), static_cast<size_t>(c.size) * c.size * 4);
        const int margin = (c.size - c.side) / 2;
        int wrongAlpha = 0, blockBreaks = 0;
        for (int y = 0; y < c.size; ++y) {
            for (int x = 0; x < c.size; ++x) {
                const bool inside =
                    x >= margin && x < margin + c.side && y >= margin && y < margin + c.side;
                if (alphaAt(image, x, y) != (inside ? 255 : 0)) ++wrongAlpha;
                if (!inside) continue;
                // Every pixel repeats the top-left pixel of its scale x scale block.
                const int blockX = margin + (x - margin) / c.scale * c.scale;
                const int blockY = margin + (y - margin) / c.scale * c.scale;
                if (rgbAt(image, x, y) != rgbAt(image, blockX, blockY)) ++blockBreaks;
            }
        }
        EXPECT_EQ(wrongAlpha, 0);
        EXPECT_EQ(blockBreaks, 0);
        const IconImage back = decodePng(encodePng(image));
        EXPECT_EQ(back.rgba, image.rgba);
    }
}

TEST_F(Icon, ShowsTheYellowSnakeAndAYellowFruitInTheGameColours) {
    EXPECT_EQ(colours(composeIcon(board, palette, 256)),
              (std::set<uint32_t>{kBlack, kBody, kStripe, kFruit}));
    EXPECT_EQ(colours(composeIcon(board, palette, 48)),
              (std::set<uint32_t>{kBlack, kBody, kStripe, kFruit}));
    // The smallest icon is the head alone.
    EXPECT_EQ(colours(composeIcon(board, palette, 16)),
              (std::set<uint32_t>{kBlack, kBody, kStripe}));
}

TEST_F(Icon, PaintsTheFruitAndTheHeadTilePixelForPixel) {
    const IconImage image = composeIcon(board, palette, 256);
    const int margin = 8, scale = 8, cell = kCellPixels * scale;
    int mismatches = 0;
    for (int ty = 0; ty < kCellPixels; ++ty) {
        for (int tx = 0; tx < kCellPixels; ++tx) {
            const int x = margin + tx * scale + scale / 2, y = margin + ty * scale + scale / 2;
            const int p = ty * kCellPixels + tx;
            // Top left: the yellow fruit; beside it: player 1's head facing left.
            if (rgbAt(image, x, y) != palette[board.tiles[kYellowFruit][p]]) ++mismatches;
            if (rgbAt(image, x + cell, y) != palette[board.tiles[16 + 2][p]]) ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(Icon, FollowsTheTileSetRatherThanAPrivateCopy) {
    std::memset(board.tiles[kYellowFruit], 15, kTileBytes); // a square red fruit
    const std::set<uint32_t> found = colours(composeIcon(board, palette, 128));
    EXPECT_EQ(found.count(kFruit), 0u);
    EXPECT_EQ(found.count(0xFF8040u), 1u);
}

TEST_F(Icon, SizesOutsideTheThemeGiveNoPicture) {
    for (const int size : {0, 24, 255, -16}) {
        const IconImage image = composeIcon(board, palette, size);
        EXPECT_EQ(image.size, 0);
        EXPECT_TRUE(image.rgba.empty());
        EXPECT_TRUE(encodePng(image).empty());
    }
}

} // namespace
} // namespace ravela
