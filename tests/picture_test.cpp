// The compiled-in pictures and decodeAndBlit: each picture's markers and size, its pixels
// against libjpeg's own decode, clipping in every pixel format, and bad data, which must
// either decode or end the program with libjpeg's message and status 1.

#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "assets/pictures.h"
#include "display/picture.h"
#include "tests/support.h"

using namespace ravela;
using namespace ravela::testing;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const Picture &p) {
    return {p.bytes, p.bytes + p.length};
}

// Each picture with its size, where the program shows it, and its start-of-frame marker:
// 0xC0 baseline, 0xC2 progressive.
// clang-format off
const struct { const Picture *picture; int width, height, top, left; uint8_t sof; } kCatalogue[] = {
    {&titleLogo, 602, 150, 5, 19, 0xC0},     {&authorCredit, 99, 15, 142, 270, 0xC0},
    {&startLabel, 212, 55, 190, 214, 0xC0},  {&manualLabel, 185, 47, 250, 227, 0xC0},
    {&manualPage1, 600, 300, 175, 20, 0xC0}, {&manualPage2, 600, 300, 175, 20, 0xC0},
    {&manualPage3, 600, 300, 175, 20, 0xC0}, {&countHeader, 585, 67, 6, 27, 0xC0},
    {&pauseBanner, 540, 177, 151, 50, 0xC2}};
// clang-format on

// Where the first marker segment of the given kind starts, before the first scan; 0 if none.
size_t segment(const Bytes &b, uint8_t marker) {
    for (size_t i = 2; i + 9 < b.size() && b[i] == 0xFF; i += 2 + (b[i + 2] << 8 | b[i + 3]))
        if (b[i + 1] == marker) return i;
    return 0;
}

// Decodes onto a w x h surface of the given depth and counts the pixels that differ from
// what belongs there: the colour of libjpeg's own decode where the picture lies on the
// surface (if the depth can be painted at all), the fill elsewhere. The surface is cut from
// one a row larger on each side, so a write outside it counts too.
int wrongPixels(const Bytes &bytes, int top, int left, int bpp = 32, int w = 640, int h = 480) {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), bytes.size());
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    const int64_t width = info.output_width, height = info.output_height;
    Bytes ref(width * height * 3);
    for (JSAMPROW row = ref.data(); info.output_scanline < info.output_height; row += width * 3)
        jpeg_read_scanlines(&info, &row, 1);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);

    SDL_Surface *outer = makeSurface(bpp, w, h + 2);
    std::memset(outer->pixels, 0xA5, size_t(outer->pitch) * (h + 2));
    const uint32_t fill = pixelAt(outer, 0, 0);
    const SDL_PixelFormat *f = outer->format;
    SDL_Surface *inner =
        SDL_CreateRGBSurfaceFrom(static_cast<uint8_t *>(outer->pixels) + outer->pitch, w, h, bpp,
                                 outer->pitch, f->Rmask, f->Gmask, f->Bmask, 0);
    decodeAndBlit(bytes.data(), int32_t(bytes.size()), inner, top, left);
    int wrong = 0;
    for (int y = -1; y <= h; ++y)
        for (int x = 0; x < w; ++x) {
            const int64_t px = x - int64_t(left), py = y - int64_t(top);
            const bool on =
                bpp > 8 && y >= 0 && y < h && px >= 0 && px < width && py >= 0 && py < height;
            const uint8_t *s = &ref[on ? (py * width + px) * 3 : 0];
            wrong += pixelAt(outer, x, y + 1) !=
                     (on ? SDL_MapRGB(inner->format, s[0], s[1], s[2]) : fill);
        }
    SDL_FreeSurface(inner);
    SDL_FreeSurface(outer);
    return wrong;
}

TEST(PictureTest, EveryPictureIsPlainJfifOfItsSizeAndDecodesAtItsPlace) {
    for (const auto &e : kCatalogue) {
        SCOPED_TRACE(&e - kCatalogue);
        const Bytes b = bytesOf(*e.picture);
        // SOI, then APP0 of 16 bytes: JFIF 1.01 without a thumbnail; EOI at the end.
        EXPECT_EQ(std::string(b.begin(), b.begin() + 13),
                  std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0\1\1", 13));
        EXPECT_EQ(b[18] | b[19], 0);
        EXPECT_EQ(b[b.size() - 2] << 8 | b.back(), 0xFFD9);
        const size_t sof = segment(b, e.sof); // height, width, three components
        EXPECT_EQ(Bytes(b.begin() + sof + 5, b.begin() + sof + 10),
                  (Bytes{uint8_t(e.height >> 8), uint8_t(e.height), uint8_t(e.width >> 8),
                         uint8_t(e.width), 3}));
        EXPECT_EQ(wrongPixels(b, e.top, e.left), 0);
    }
}

// Only what lies on the surface is painted, in every pixel size of 2 to 4 bytes (3: lowest
// byte first); other sizes paint nothing. The caller keeps top >= 0 and 0 <= left <= width,
// but no placement paints outside the surface.
TEST(PictureTest, PaintsOnlyWhatLiesOnTheSurfaceInEveryPixelFormat) {
    // clang-format off
    const struct { const Picture *picture; int top, left, bpp, w, h; } cases[] = {
        {&startLabel, 10, 540, 32, 640, 480},     {&startLabel, 10, 639, 32, 640, 480},
        {&manualPage1, 360, 20, 32, 640, 480},    {&pauseBanner, 151, 640, 32, 640, 480},
        {&countHeader, -20, -50, 32, 200, 100},   {&countHeader, 479, 639, 32, 200, 100},
        {&countHeader, INT_MAX, 0, 32, 200, 100}, {&countHeader, 0, INT_MIN, 32, 200, 100},
        {&pauseBanner, 151, 50, 15, 640, 480},    {&pauseBanner, 151, 50, 16, 640, 480},
        {&pauseBanner, 151, 50, 24, 640, 480},    {&startLabel, 0, 0, 8, 300, 60}};
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(wrongPixels(bytesOf(*c.picture), c.top, c.left, c.bpp, c.w, c.h), 0)
            << &c - cases;
}

// Text made only of libjpeg's messages (each up to its first printf field), one a line.
std::string libjpegOnly() {
    jpeg_error_mgr errors;
    jpeg_std_error(&errors);
    std::string any;
    for (int code = 1; code <= errors.last_jpeg_message; ++code) {
        std::string fixed;
        for (const char *c = errors.jpeg_message_table[code]; *c && *c != '%'; ++c)
            fixed += std::strchr("\\^$.|?*+()[]{}", *c) ? '.' : *c; // any character will do
        if (!fixed.empty()) any += (any.empty() ? "" : "|") + fixed;
    }
    return "((" + any + ")[^\n]*\n)*";
}

// Set in decoding children only: their memory is a copy of the test's, so the leak check
// at their exit under the address sanitizer finds nothing and only slows the sweep.
bool inDecodingChild = false;

[[noreturn]] void decodeInChild(const Bytes &data, int top = 0, int left = 0) {
    inDecodingChild = true;
    decodeAndBlit(data.data(), int32_t(data.size()), makeSurface(32), top, left);
    _exit(0);
}

// Decodes data in a child process, which must return (status 0) or, when mayEnd, be ended by
// libjpeg (status 1), and write nothing but libjpeg's messages. Returns the status seen.
int expectDecodeEnds(const Bytes &data, bool mayEnd, int top = 0, int left = 0) {
    static const auto onlyMessages = ::testing::MatchesRegex(libjpegOnly());
    int status = -1;
    const auto fine = [&](int s) {
        status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
        return status == 0 || (mayEnd && status == 1);
    };
    EXPECT_EXIT(decodeInChild(data, top, left), fine, onlyMessages);
    return status;
}

} // namespace

extern "C" int __lsan_is_turned_off() {
    return inDecodingChild ? 1 : 0;
}

namespace {

// A picture cut anywhere, even to nothing, ends the program with libjpeg's message; so does
// a segment running past the end, whose skip stops there. Segments the decoder does not use
// are skipped. A byte changed in the header or in the scan data either decodes (perhaps with
// libjpeg's warning) or ends the program with libjpeg's message.
TEST(PictureDeathTest, BadDataDecodesOrEndsWithLibjpegsMessage) {
    Bytes padded = bytesOf(startLabel), runaway = padded;
    padded.insert(padded.begin() + 20, {0xFF, 0xE1, 0x01, 0x2E}); // after SOI and APP0
    padded.insert(padded.begin() + 24, 300, 0x41);
    EXPECT_EQ(expectDecodeEnds(padded, false), 0);
    runaway.insert(runaway.begin() + 20, {0xFF, 0xE1, 0xFF, 0xFF, 1, 2, 3, 4});
    runaway.resize(40);
    for (const Bytes &data : {Bytes{}, runaway})
        EXPECT_EXIT(decodeInChild(data), ::testing::ExitedWithCode(1), "^Empty input file\n$");
    int returned = 0, ended = 0;
    for (const auto &e : kCatalogue) {
        const Bytes whole = bytesOf(*e.picture);
        const size_t n = whole.size(), scan = segment(whole, 0xDA);
        for (size_t cut : {n / 4, n / 2, 3 * n / 4, n - 1})
            EXPECT_EXIT(decodeInChild(Bytes(whole.begin(), whole.begin() + cut), e.top, e.left),
                        ::testing::ExitedWithCode(1), "^Empty input file\n$")
                << (&e - kCatalogue) << " cut to " << cut;
        for (int k = 0; k < 8; ++k) {
            const size_t at = k < 4 ? 2 + (scan - 2) * k / 4 : scan + (n - scan) * (k - 4) / 4;
            Bytes bad = whole;
            bad[at] = uint8_t(~bad[at]);
            SCOPED_TRACE(::testing::Message() << (&e - kCatalogue) << " byte " << at);
            const int status = expectDecodeEnds(bad, true, e.top, e.left);
            returned += status == 0;
            ended += status == 1;
        }
    }
    // Both occur, so the sweep reaches past the header checks into the decoding.
    EXPECT_TRUE(returned > 0 && ended > 0) << returned << " returned, " << ended << " ended";
}

} // namespace
