// Build tool: builds the game's tile set on an off-screen SDL surface and writes the
// desktop icon at every theme size, or at the sizes given, as DIR/<size>x<size>/apps/NAME.png.
// Usage: make_icon DIR NAME [SIZE...]

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "display/board.h"
#include "tools/icon.h"

using namespace ravela;

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_icon DIR NAME [SIZE...]\n");
        return 1;
    }
    const std::filesystem::path directory = argv[1];
    const std::string name = argv[2];
    std::vector<int> sizes(std::begin(kIconSizes), std::end(kIconSizes));
    if (argc > 3) sizes.clear();
    for (int i = 3; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));

    // The tile colours are mapped for this surface, then read back as plain RGB.
    SDL_Surface *surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    if (!surface) {
        std::fprintf(stderr, "make_icon: no surface: %s\n", SDL_GetError());
        return 1;
    }
    initBoard(board, surface);
    uint32_t palette[kPaletteSize];
    for (int i = 0; i < kPaletteSize; ++i) {
        uint8_t r = 0, g = 0, b = 0;
        SDL_GetRGB(board.palette[i], surface->format, &r, &g, &b);
        palette[i] = static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
    }
    board.surface = nullptr;
    SDL_FreeSurface(surface);

    for (const int size : sizes) {
        const std::vector<uint8_t> png = encodePng(composeIcon(board, palette, size));
        if (png.empty()) {
            std::fprintf(stderr, "make_icon: no icon is drawn at size %d\n", size);
            return 1;
        }
        const std::filesystem::path folder =
            directory / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        std::ofstream file(folder / (name + ".png"), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char *>(png.data()),
                   static_cast<std::streamsize>(png.size()));
        file.close();
        if (!file) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", (folder / name).c_str());
            return 1;
        }
    }
    return 0;
}
