// Paints the desktop icon from the board's tile set and encodes it as PNG through libpng.
// The icon reads the same tiles the game paints with, so the two always look alike;
// pixels are enlarged by whole factors so every tile pixel stays a sharp square.

#include "tools/icon.h"

#include <cstddef>
#include <png.h>

#include "snakes/snake.h"

namespace ravela {

namespace {

// Player 1's yellow snake winding up to a yellow fruit, which its head faces.
constexpr int8_t kYellow = kPlayerBase[0];
constexpr int8_t kScene[3][3] = {
    {kYellowFruit, kYellow + kLeft, kYellow + kCornerLeftBottom},
    {kYellow + kCornerRightBottom, kYellow + kStraightHorizontal, kYellow + kCornerTopLeft},
    {kYellow + kCornerTopRight, kYellow + kStraightHorizontal, kYellow + kTailTipRight},
};

// A square window onto the scene, enlarged by a whole factor, centred in the icon.
struct IconLayout {
    int size;     // icon width and height in pixels
    int firstRow; // scene row of the window's top cell
    int firstCol; // scene column of the window's left cell
    int cells;    // window width and height in cells
    int scale;    // icon pixels per tile pixel
};

// Small icons show less of the scene rather than squeeze tile pixels together.
constexpr IconLayout kLayouts[] = {
    {16, 0, 1, 1, 1},   // the head alone, 10 pixels
    {32, 0, 0, 3, 1},   // the whole scene, 30 pixels
    {48, 0, 0, 2, 2},   // fruit, head and the first bends, 40 pixels
    {64, 0, 0, 3, 2},   // 60 pixels
    {128, 0, 0, 3, 4},  // 120 pixels
    {256, 0, 0, 3, 8},  // 240 pixels
    {180, 0, 0, 3, 6},  // the web page's icons: 180 pixels, Apple's home-screen size
    {192, 0, 0, 3, 6},  //   and the manifest's, the same picture with a margin
    {512, 0, 0, 3, 16}, // 480 pixels
};

} // namespace

IconImage composeIcon(const Board &source, const uint32_t (&palette)[kPaletteSize], int size) {
    const IconLayout *layout = nullptr;
    for (const IconLayout &candidate : kLayouts)
        if (candidate.size == size) layout = &candidate;
    if (!layout) return IconImage{0, {}};

    IconImage image{size, std::vector<uint8_t>(static_cast<size_t>(size) * size * 4, 0)};
    const int painted = layout->cells * kCellPixels * layout->scale;
    const int margin = (size - painted) / 2;
    for (int y = 0; y < painted; ++y) {
        for (int x = 0; x < painted; ++x) {
            const int tileY = y / layout->scale, tileX = x / layout->scale;
            const int8_t code = kScene[layout->firstRow + tileY / kCellPixels]
                                      [layout->firstCol + tileX / kCellPixels];
            const uint8_t index =
                source.tiles[code][(tileY % kCellPixels) * kCellPixels + tileX % kCellPixels];
            const uint32_t colour = palette[index < kPaletteSize ? index : 0];
            uint8_t *pixel = &image.rgba[(static_cast<size_t>(margin + y) * size + margin + x) * 4];
            pixel[0] = static_cast<uint8_t>(colour >> 16);
            pixel[1] = static_cast<uint8_t>(colour >> 8);
            pixel[2] = static_cast<uint8_t>(colour);
            pixel[3] = 255;
        }
    }
    return image;
}

std::vector<uint8_t> encodePng(const IconImage &image) {
    if (image.size <= 0 ||
        image.rgba.size() != static_cast<size_t>(image.size) * static_cast<size_t>(image.size) * 4)
        return {};
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png.height = static_cast<png_uint_32>(image.size);
    png.format = PNG_FORMAT_RGBA;
    // The first call measures the file, the second writes it.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, image.rgba.data(), 0, nullptr))
        return {};
    std::vector<uint8_t> out(size);
    if (!png_image_write_to_memory(&png, out.data(), &size, 0, image.rgba.data(), 0, nullptr))
        return {};
    out.resize(size);
    return out;
}

} // namespace ravela
