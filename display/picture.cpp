// Decoding of the compiled-in JPEG pictures, and showing them on the Board's surface.
// libjpeg reads straight from the constant bytes through a small memory source; each
// decoded row is converted to the surface's pixel format and written in place, clipped at
// the surface's edges. Any libjpeg error ends the program through the library's standard
// error manager (its message, then exit status 1).

#include "display/picture.h"

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "assets/pictures.h"
#include "display/board.h"
#include "display/surface.h"

namespace ravela {

namespace {

// The whole picture is handed over at the start, so the source has nothing to prepare.
void initSource(j_decompress_ptr) {}

// A request for more data means the picture ended early: that is a fatal error.
boolean fillInputBuffer(j_decompress_ptr info) {
    info->err->msg_code = JERR_INPUT_EMPTY;
    info->err->error_exit(reinterpret_cast<j_common_ptr>(info));
    return FALSE; // error_exit does not return
}

// Skips count bytes (an unused marker segment), never past the end of the picture.
void skipInputData(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr *source = info->src;
    const size_t skip = std::min(static_cast<size_t>(count), source->bytes_in_buffer);
    source->next_input_byte += skip;
    source->bytes_in_buffer -= skip;
}

// Nothing to release: the bytes are constant data.
void termSource(j_decompress_ptr) {}

// Paints columns [first, end) of one decoded row at game row y, the picture's column 0
// falling on game column left, each pixel an n x n block of the surface. A one-component
// (grey) row is painted grey; rows of any other layout than grey or red-green-blue are
// not painted.
void paintRow(SDL_Surface *surface, int n, const JSAMPLE *row, int components, int64_t y, int left,
              int64_t first, int64_t end) {
    const int bytesPerPixel = surface->format->BytesPerPixel;
    uint8_t *line = static_cast<uint8_t *>(surface->pixels) + y * n * surface->pitch;
    for (int64_t i = first; i < end; ++i) {
        const JSAMPLE *sample = row + i * components;
        uint8_t red = sample[0], green = sample[0], blue = sample[0];
        if (components == 3) {
            green = sample[1];
            blue = sample[2];
        }
        const uint32_t value = SDL_MapRGB(surface->format, red, green, blue);
        for (int k = 0; k < n; ++k)
            storePixel(line + ((left + i) * n + k) * bytesPerPixel, bytesPerPixel, value);
    }
    const size_t painted = static_cast<size_t>((end - first) * n * bytesPerPixel);
    for (int k = 1; k < n; ++k)
        std::memcpy(line + k * surface->pitch + (left + first) * n * bytesPerPixel,
                    line + (left + first) * n * bytesPerPixel, painted);
}

} // namespace

void decodeAndBlit(const uint8_t *bytes, int32_t length, SDL_Surface *surface, int top, int left) {
    if (surface == nullptr) return;

    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);

    jpeg_source_mgr source;
    source.next_input_byte = bytes;
    source.bytes_in_buffer = length > 0 ? static_cast<size_t>(length) : 0;
    source.init_source = initSource;
    source.fill_input_buffer = fillInputBuffer;
    source.skip_input_data = skipInputData;
    source.resync_to_restart = jpeg_resync_to_restart;
    source.term_source = termSource;
    info.src = &source;

    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);

    // The row buffer comes from libjpeg's per-picture pool: it is released with the
    // decompression object, and if it cannot be had libjpeg reports the shortage and
    // ends the program like any other decoding error.
    const int components = info.output_components;
    JSAMPARRAY row = info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                            info.output_width * components, 1);

    // Only the part of the picture that lies on the surface is painted: columns first to
    // end (exclusive) of rows whose game row is within 0 .. height - 1. The rest is still
    // decoded, so a misplaced picture never writes outside the surface.
    const int bytesPerPixel = surface->format->BytesPerPixel;
    const bool paints = surface->pixels != nullptr && (components == 3 || components == 1) &&
                        bytesPerPixel >= 2 && bytesPerPixel <= 4;
    const int n = pixelScale(surface);
    const int64_t first = std::max<int64_t>(0, -static_cast<int64_t>(left));
    const int64_t end =
        std::min<int64_t>(info.output_width, static_cast<int64_t>(surface->w / n) - left);

    while (info.output_scanline < info.output_height) {
        const int64_t y = static_cast<int64_t>(top) + info.output_scanline;
        if (jpeg_read_scanlines(&info, row, 1) == 0) break; // only a suspending source stops
        if (!paints || y < 0 || y >= surface->h / n || first >= end) continue;
        paintRow(surface, n, row[0], components, y, left, first, end);
    }

    if (info.output_scanline == info.output_height) jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

void showPictures(std::initializer_list<PicturePlacement> pictures, int x, int y, int w, int h) {
    SDL_Surface *surface = board.surface;
    if (surface == nullptr) return;
    const bool locked = lockSurface(surface);
    for (const PicturePlacement &placed : pictures)
        decodeAndBlit(placed.picture->bytes, placed.picture->length, surface, placed.top,
                      placed.left);
    if (locked) unlockSurface(surface);
    presentRect(surface, x, y, w, h);
}

void showPauseBanner() {
    showPictures({{&pauseBanner, (kBoardRows * kCellPixels - kPauseBannerSize.height) / 2,
                   (kBoardColumns * kCellPixels - kPauseBannerSize.width) / 2}});
}

} // namespace ravela
