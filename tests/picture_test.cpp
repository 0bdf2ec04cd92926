// decodeAndBlit: each compiled-in picture's pixels against libjpeg's own decode at its place,
// clipping in every pixel format, and (under the sanitizers) truncated and flipped pictures,
// which must decode or end the program with status 1, never touch memory they should not.

#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <vector>

#include "assets/pictures.h"
#include "display/picture.h"
#include "tests/drawn.h"
#include "tests/support.h"

using namespace ravela;
using namespace ravela::testing;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const Picture &p) {
    return {p.bytes, p.bytes + p.length};
}

// Decodes onto a w x h surface of the given depth and counts the pixels that differ from
// what belongs there: the colour of libjpeg's own decode where the picture lies on the
// surface (if the depth can be painted at all), the fill elsewhere. The surface is cut from
// one a row larger on each side, so a write outside it counts too.
int wrongPixels(const Bytes &bytes, int top, int left, int bpp = 32, int w = 640, int h = 480) {
    const Decoded decoded = decodeByLibjpeg(bytes.data(), bytes.size());
    const int64_t width = decoded.width, height = decoded.height;
    const Bytes &ref = decoded.rgb;
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

// Each picture once, at a place the program shows it and in a pixel size of 2 to 4 bytes (3:
// lowest byte first), then placements that clip it, and a size that paints nothing. The
// caller keeps top >= 0 and 0 <= left <= width, but no placement paints outside the surface.
// clang-format off
const struct {
    const char *rule;
    const Picture *picture;
    int top, left, bpp = 32, w = 640, h = 480;
} kCases[] = {
    {"the title logo at its place", &titleLogo, 5, 19},
    {"the credit at its place, 15 bits", &authorCredit, 142, 270, 15},
    {"the start label at its place, 16 bits", &startLabel, 190, 214, 16},
    {"the manual label at its place, 24 bits lowest byte first", &manualLabel, 250, 227, 24},
    {"manual page 1 at its place", &manualPage1, 175, 20},
    {"manual page 2 at its place, 16 bits", &manualPage2, 175, 20, 16},
    {"manual page 3 at its place, 24 bits", &manualPage3, 175, 20, 24},
    {"the count header at its place, 15 bits", &countHeader, 6, 27, 15},
    {"the progressive pause banner at its place", &pauseBanner, 151, 50},
    {"cut at the right edge", &startLabel, 10, 540},
    {"one column left at the right edge", &startLabel, 10, 639},
    {"cut at the bottom edge, still read to its end", &manualPage1, 360, 20},
    {"at left = width nothing is painted", &pauseBanner, 151, 640},
    {"above and left of a small surface", &countHeader, -20, -50, 32, 200, 100},
    {"at the last pixel of a small surface", &countHeader, 479, 639, 32, 200, 100},
    {"far below", &countHeader, INT_MAX, 0, 32, 200, 100},
    {"far to the left", &countHeader, 0, INT_MIN, 32, 200, 100},
    {"one byte per pixel paints nothing", &startLabel, 0, 0, 8, 300, 60}};
// clang-format on
constexpr int kPictures = 9; // the rows that show each picture once

TEST(PictureTest, PaintsEachPictureOnlyWhereItLiesInEveryPixelFormat) {
    for (const auto &c : kCases)
        EXPECT_EQ(wrongPixels(bytesOf(*c.picture), c.top, c.left, c.bpp, c.w, c.h), 0) << c.rule;
    decodeAndBlit(startLabel.bytes, startLabel.length, nullptr, 0, 0); // no surface: nothing
}

// The picture with `extra` inserted right after its start-of-image marker.
Bytes withAfterStart(const Picture &picture, const Bytes &extra) {
    Bytes bytes = bytesOf(picture);
    bytes.insert(bytes.begin() + 2, extra.begin(), extra.end());
    return bytes;
}
// A marker segment: the marker, its 16-bit length (which counts itself), then the data.
Bytes segment(uint8_t marker, const Bytes &data, size_t length = 0) {
    length = length ? length : data.size() + 2;
    Bytes bytes = {0xFF, marker, uint8_t(length >> 8), uint8_t(length)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

// A comment or an application's segment is skipped whole, whatever its bytes look like (here
// end-of-image and start-of-image markers): the picture is painted as libjpeg decodes it.
TEST(PictureTest, SegmentsTheReaderHasNoUseForAreSkippedWhole) {
    Bytes markers;
    for (int i = 0; i < 500; ++i)
        markers.insert(markers.end(), {0xFF, uint8_t(i % 2 ? 0xD8 : 0xD9)});
    for (const Picture *picture : {&startLabel, &pauseBanner})
        for (const uint8_t marker : {0xFE /* comment */, 0xE1, 0xEF /* applications' */}) {
            SCOPED_TRACE("segment " + std::to_string(marker));
            EXPECT_EQ(wrongPixels(withAfterStart(*picture, segment(marker, markers)), 0, 0), 0);
        }
}

// Set in decoding children only: their memory is a copy of the test's, and a leak check at
// their exit would only change the status libjpeg's ending gives.
bool inDecodingChild = false;

} // namespace

extern "C" int __lsan_is_turned_off() {
    return inDecodingChild ? 1 : 0;
}

namespace {

// A damaged picture is refused: libjpeg's message and status 1, never a partial picture.
struct Damage {
    std::string name;
    Bytes bytes;
    const char *message;
};
void PrintTo(const Damage &damage, std::ostream *out) {
    *out << damage.name;
}
struct DamagedPictureDeathTest : ::testing::TestWithParam<Damage> {};
TEST_P(DamagedPictureDeathTest, IsRefusedWithLibjpegsMessageAndStatusOne) {
    const Bytes &bad = GetParam().bytes;
    EXPECT_EXIT((inDecodingChild = true,
                 decodeAndBlit(bad.data(), int32_t(bad.size()), makeSurface(32), 0, 0), _exit(0)),
                ::testing::ExitedWithCode(1), GetParam().message);
}
Bytes cut(const Picture &picture, size_t length) {
    return Bytes(picture.bytes, picture.bytes + length);
}
const size_t kLabelLength = size_t(startLabel.length);
INSTANTIATE_TEST_SUITE_P(
    , DamagedPictureDeathTest,
    ::testing::Values(
        Damage{"CutOneByteShortOfItsEnd", cut(startLabel, kLabelLength - 1), "Empty input file"},
        Damage{"CutInsideItsScan", cut(startLabel, kLabelLength / 2), "Empty input file"},
        Damage{"CutInsideItsHeader", cut(startLabel, 100), "Empty input file"},
        Damage{"ASegmentLongerThanWhatIsLeft",
               withAfterStart(startLabel, segment(0xFE, {1, 2, 3}, 0xFFFF)), "Empty input file"},
        Damage{"ASecondStartOfImage", withAfterStart(startLabel, {0xFF, 0xD8}), "two SOI markers"},
        Damage{"AnEndOfImageBeforeTheFrame", withAfterStart(startLabel, {0xFF, 0xD9}),
               "contains no image"}),
    [](const auto &damage) { return damage.param.name; });

// A picture cut short or with a byte flipped, in the header or in the scan data, either
// decodes or ends the program with status 1; the sanitizer build checks that the decode
// stays within its memory meanwhile.
TEST(PictureDeathTest, TruncatedAndFlippedPicturesDecodeOrEndCleanly) {
#if !defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "runs in the sanitizer build";
#endif
    const auto fine = [](int s) { return WIFEXITED(s) && WEXITSTATUS(s) <= 1; };
    for (int i = 0; i < kPictures; ++i) {
        const auto &e = kCases[i];
        const Bytes whole = bytesOf(*e.picture);
        const size_t n = whole.size();
        for (int k = 0; k < 6; ++k) {
            Bytes bad = k < 3 ? Bytes(whole.begin(), whole.begin() + n * (k + 1) / 4) : whole;
            if (k >= 3) bad[20 + (n - 22) * (k - 3) / 3] ^= 0xFF;
            EXPECT_EXIT(
                (inDecodingChild = true,
                 decodeAndBlit(bad.data(), int32_t(bad.size()), makeSurface(32), e.top, e.left),
                 _exit(0)),
                fine, "")
                << kCases[i].rule << ", damage " << k;
        }
    }
}

} // namespace
