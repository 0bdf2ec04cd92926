// The compiled-in pictures and decodeAndBlit: catalogue sizes and markers, pixels against an
// independent decode, clipping, pixel formats, and bad data, which must either decode or end
// the program with libjpeg's message and status 1, never write outside the surface.

#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "assets/pictures.h"
#include "display/picture.h"
#include "tests/support.h"

using namespace ravela;
using ravela::testing::makeSurface;
using ravela::testing::pixelAt;

namespace {

struct Entry {
    const char *name;
    const Picture *picture;
    int width, height; // catalogue size
    int top, left;     // where the program shows it on the 640x480 screen
    bool progressive;
};

const Entry kCatalogue[] = {
    {"title logo", &titleLogo, 602, 150, 5, 19, false},
    {"author credit", &authorCredit, 99, 15, 142, 270, false},
    {"start label", &startLabel, 212, 55, 190, 214, false},
    {"manual label", &manualLabel, 185, 47, 250, 227, false},
    {"manual page 1", &manualPage1, 600, 300, 175, 20, false},
    {"manual page 2", &manualPage2, 600, 300, 175, 20, false},
    {"manual page 3", &manualPage3, 600, 300, 175, 20, false},
    {"count header", &countHeader, 585, 67, 6, 27, false},
    {"pause banner", &pauseBanner, 540, 177, 151, 50, true},
};

std::vector<uint8_t> bytesOf(const Picture &p) {
    return {p.bytes, p.bytes + p.length};
}

// What the marker segments in front of the first scan say.
struct Header {
    bool app0First = false; // the first segment is APP0
    bool plainJfif = false; // APP0 is "JFIF\0", 16 bytes long
    int version = 0;        // major * 100 + minor
    int thumbnail = -1;     // thumbnail width * height
    int otherMetadata = 0;  // APP1..APP15 and COM segments
    int frames = 0;         // start-of-frame segments
    int sof = -1;           // last start-of-frame marker
    int width = 0, height = 0, components = 0;
    bool endsWithEoi = false; // the last two bytes are FF D9
};

Header readHeader(const std::vector<uint8_t> &b) {
    Header h;
    const size_t n = b.size();
    h.endsWithEoi = n >= 4 && b[n - 2] == 0xFF && b[n - 1] == 0xD9;
    if (n < 4 || b[0] != 0xFF || b[1] != 0xD8) return h;
    for (size_t i = 2; i + 4 <= n && b[i] == 0xFF;) {
        const int marker = b[i + 1];
        const size_t len = b[i + 2] * 256u + b[i + 3];
        if (i + 2 + len > n) break;
        if (marker == 0xE0) {
            h.app0First = i == 2;
            h.plainJfif = len == 16 && std::memcmp(&b[i + 4], "JFIF", 5) == 0;
            h.version = b[i + 9] * 100 + b[i + 10];
            h.thumbnail = b[i + 16] * b[i + 17];
        } else if ((marker > 0xE0 && marker <= 0xEF) || marker == 0xFE) {
            ++h.otherMetadata;
        } else if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                   marker != 0xCC) {
            ++h.frames;
            h.sof = marker;
            h.height = b[i + 5] * 256 + b[i + 6];
            h.width = b[i + 7] * 256 + b[i + 8];
            h.components = b[i + 9];
        } else if (marker == 0xDA) {
            break;
        }
        i += 2 + len;
    }
    return h;
}

// An independent decode through libjpeg's own memory source: the RGB a correct
// decodeAndBlit must paint.
struct Rgb {
    int width = 0, height = 0, components = 0;
    std::vector<uint8_t> samples;
    const uint8_t *at(int x, int y) const { return &samples[(y * width + x) * components]; }
};

Rgb referenceDecode(const std::vector<uint8_t> &bytes) {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), bytes.size());
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    Rgb out;
    out.width = info.output_width;
    out.height = info.output_height;
    out.components = info.output_components;
    out.samples.resize(size_t(out.width) * out.height * out.components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &out.samples[size_t(info.output_scanline) * out.width * out.components];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return out;
}

// A software surface whose pixels sit between two guard areas, so a write outside the
// surface shows even without the address sanitizer.
class GuardedSurface {
  public:
    static constexpr size_t kGuard = 4096;
    GuardedSurface(int width, int height, int bitsPerPixel, uint8_t fill) {
        const int bytesPerPixel = (bitsPerPixel + 7) / 8;
        const int pitch = width * bytesPerPixel;
        memory_.assign(2 * kGuard + size_t(pitch) * height, kGuardByte);
        std::memset(memory_.data() + kGuard, fill, size_t(pitch) * height);
        uint32_t r = 0xff0000, g = 0x00ff00, b = 0x0000ff;
        if (bitsPerPixel == 16) r = 0xf800, g = 0x07e0, b = 0x001f;
        if (bitsPerPixel == 15) r = 0x7c00, g = 0x03e0, b = 0x001f;
        if (bitsPerPixel == 8) r = g = b = 0;
        surface_ = SDL_CreateRGBSurfaceFrom(memory_.data() + kGuard, width, height, bitsPerPixel,
                                            pitch, r, g, b, 0);
    }
    ~GuardedSurface() { SDL_FreeSurface(surface_); }
    GuardedSurface(const GuardedSurface &) = delete;
    GuardedSurface &operator=(const GuardedSurface &) = delete;

    SDL_Surface *get() const { return surface_; }
    bool guardsIntact() const {
        for (size_t i = 0; i < kGuard; ++i)
            if (memory_[i] != kGuardByte || memory_[memory_.size() - 1 - i] != kGuardByte)
                return false;
        return true;
    }

  private:
    static constexpr uint8_t kGuardByte = 0xA5;
    std::vector<uint8_t> memory_;
    SDL_Surface *surface_ = nullptr;
};

// Which pixels one decodeAndBlit call painted, and their stored values.
struct Painting {
    int width, height;
    std::vector<bool> painted;
    std::vector<uint32_t> value; // the pixel as stored on the first surface
    bool guardsIntact;
    bool at(int x, int y) const { return painted[size_t(y) * width + x]; }
    int count() const {
        int n = 0;
        for (bool p : painted)
            n += p;
        return n;
    }
    int countInRow(int y) const {
        int n = 0;
        for (int x = 0; x < width; ++x)
            n += at(x, y);
        return n;
    }
};

// Draws a picture on two guarded surfaces filled with all-0 and all-1 bytes. A pixel was
// painted exactly when both surfaces agree on it.
Painting paint(const std::vector<uint8_t> &bytes, int top, int left, int bitsPerPixel = 32,
               int width = 640, int height = 480) {
    GuardedSurface zeros(width, height, bitsPerPixel, 0x00);
    GuardedSurface ones(width, height, bitsPerPixel, 0xFF);
    decodeAndBlit(bytes.data(), int32_t(bytes.size()), zeros.get(), top, left);
    decodeAndBlit(bytes.data(), int32_t(bytes.size()), ones.get(), top, left);
    Painting p{width, height, {}, {}, zeros.guardsIntact() && ones.guardsIntact()};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t a = pixelAt(zeros.get(), x, y);
            p.painted.push_back(a == pixelAt(ones.get(), x, y));
            p.value.push_back(a);
        }
    return p;
}

// Checks that the painting holds exactly the picture's pixels top-left at (left, top),
// clipped to the surface, each converted with SDL_MapRGB for the surface's format.
void expectPaintedAt(const Painting &p, const Rgb &ref, int top, int left,
                     const SDL_PixelFormat *format) {
    ASSERT_TRUE(p.guardsIntact);
    int mismatches = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const int64_t px = int64_t(x) - left, py = int64_t(y) - top;
            const bool inside = px >= 0 && px < ref.width && py >= 0 && py < ref.height;
            if (p.at(x, y) != inside) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") painted " << p.at(x, y);
                return;
            }
            if (!inside) continue;
            const uint8_t *s = ref.at(int(px), int(py));
            const uint8_t grey = s[0];
            const uint32_t want = ref.components == 3 ? SDL_MapRGB(format, s[0], s[1], s[2])
                                                      : SDL_MapRGB(format, grey, grey, grey);
            mismatches += p.value[size_t(y) * p.width + x] != want;
        }
    EXPECT_EQ(mismatches, 0);
}

class PictureTest : public ::testing::Test {
  protected:
    void SetUp() override { screen = makeSurface(32); } // starts SDL video
    void TearDown() override { SDL_FreeSurface(screen); }
    SDL_Surface *screen = nullptr;
};

TEST_F(PictureTest, EveryPictureIsAPlainJfifColourFileOfItsCatalogueSize) {
    for (const Entry &e : kCatalogue) {
        SCOPED_TRACE(e.name);
        const Header h = readHeader(bytesOf(*e.picture));
        EXPECT_TRUE(h.app0First);
        EXPECT_TRUE(h.plainJfif);
        EXPECT_EQ(h.version, 101);
        EXPECT_EQ(h.thumbnail, 0);
        EXPECT_EQ(h.otherMetadata, 0);
        EXPECT_EQ(h.frames, 1);
        EXPECT_EQ(h.sof, e.progressive ? 0xC2 : 0xC0);
        EXPECT_EQ(h.width, e.width);
        EXPECT_EQ(h.height, e.height);
        EXPECT_EQ(h.components, 3);
        EXPECT_TRUE(h.endsWithEoi);
    }
}

TEST_F(PictureTest, EveryPictureDecodesToItsCatalogueSizeAtItsPlace) {
    for (const Entry &e : kCatalogue) {
        SCOPED_TRACE(e.name);
        const Rgb ref = referenceDecode(bytesOf(*e.picture));
        EXPECT_EQ(ref.width, e.width);
        EXPECT_EQ(ref.height, e.height);
        ASSERT_EQ(ref.components, 3);
        const Painting p = paint(bytesOf(*e.picture), e.top, e.left);
        expectPaintedAt(p, ref, e.top, e.left, screen->format);
    }
}

// Mean colour of a rectangle of a decoded picture.
struct Mean {
    double r = 0, g = 0, b = 0;
};
Mean meanOf(const Rgb &p, int x0, int y0, int w, int h) {
    Mean m;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            m.r += p.at(x, y)[0];
            m.g += p.at(x, y)[1];
            m.b += p.at(x, y)[2];
        }
    const double n = double(w) * h;
    return {m.r / n, m.g / n, m.b / n};
}

TEST_F(PictureTest, PicturesShowTheirCatalogueColours) {
    // Title logo: red brick frame, mosaic green on the left and blue on the right.
    const Rgb logo = referenceDecode(bytesOf(titleLogo));
    const Mean frame = meanOf(logo, 0, 0, 602, 14);
    EXPECT_GT(frame.r, frame.g + 40);
    EXPECT_GT(frame.r, frame.b + 40);
    const Mean green = meanOf(logo, 18, 18, 20, 114), blue = meanOf(logo, 564, 18, 20, 114);
    EXPECT_GT(green.g, green.b + 20);
    EXPECT_GT(blue.b, blue.g + 20);
    // Menu labels: gold letters on black.
    for (const Picture *label : {&startLabel, &manualLabel}) {
        const Rgb l = referenceDecode(bytesOf(*label));
        const Mean corner = meanOf(l, 0, 0, 8, 8);
        EXPECT_LT(corner.r + corner.g + corner.b, 30);
        int gold = 0;
        for (int y = 0; y < l.height; ++y)
            for (int x = 0; x < l.width; ++x) {
                const uint8_t *s = l.at(x, y);
                gold += s[0] > 150 && s[1] > 90 && s[1] < s[0] && s[2] + 60 < s[0];
            }
        EXPECT_GT(gold, l.width * l.height / 8);
    }
    // Manual pages: dark, with plenty of orange text.
    for (const Picture *page : {&manualPage1, &manualPage2, &manualPage3}) {
        const Rgb p = referenceDecode(bytesOf(*page));
        int orange = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const uint8_t *s = p.at(x, y);
                orange += s[0] > 200 && s[1] > 100 && s[1] < 190 && s[2] < 90;
            }
        EXPECT_GT(orange, 2000);
        const Mean m = meanOf(p, 0, 0, p.width, p.height);
        EXPECT_LT(m.r + m.g + m.b, 3 * 90);
    }
    // Pause banner: black border, white ground, blue-violet letters.
    const Rgb banner = referenceDecode(bytesOf(pauseBanner));
    EXPECT_LT(banner.at(0, 0)[0] + banner.at(0, 0)[1] + banner.at(0, 0)[2], 60);
    EXPECT_LT(banner.at(539, 176)[0] + banner.at(539, 176)[1], 60);
    EXPECT_GT(meanOf(banner, 6, 6, 30, 30).g, 240);
    int violet = 0;
    for (int y = 0; y < banner.height; ++y)
        for (int x = 0; x < banner.width; ++x) {
            const uint8_t *s = banner.at(x, y);
            violet += s[2] > 120 && s[2] > s[0] + 40 && s[0] > s[1];
        }
    EXPECT_GT(violet, 540 * 177 / 10);
}

TEST_F(PictureTest, ClipsAtTheRightEdge) {
    const std::vector<uint8_t> bytes = bytesOf(startLabel);
    const Rgb ref = referenceDecode(bytes);
    for (int left : {540, 639}) {
        SCOPED_TRACE(left);
        const Painting p = paint(bytes, 10, left);
        for (int y = 10; y < 10 + 55; ++y)
            EXPECT_EQ(p.countInRow(y), 640 - left);
        expectPaintedAt(p, ref, 10, left, screen->format);
    }
}

TEST_F(PictureTest, ClipsAtTheBottomEdgeAndStillReturns) {
    const std::vector<uint8_t> bytes = bytesOf(manualPage1);
    const Rgb ref = referenceDecode(bytes);
    const Painting p = paint(bytes, 480 - 120, 20);
    int rows = 0;
    for (int y = 0; y < 480; ++y)
        rows += p.countInRow(y) == 600;
    EXPECT_EQ(rows, 120);
    EXPECT_EQ(p.count(), 600 * 120);
    expectPaintedAt(p, ref, 480 - 120, 20, screen->format);
}

TEST_F(PictureTest, LeftAtTheSurfaceWidthPaintsNothing) {
    const Painting p = paint(bytesOf(pauseBanner), 151, 640);
    EXPECT_TRUE(p.guardsIntact);
    EXPECT_EQ(p.count(), 0);
}

// The caller should keep 0 <= top and 0 <= left <= width; a picture placed anywhere else
// still only paints the part that lies on the surface.
TEST_F(PictureTest, PlacementsOffTheSurfaceOnlyPaintWhatLiesOnIt) {
    const std::vector<uint8_t> bytes = bytesOf(countHeader);
    const Rgb ref = referenceDecode(bytes);
    const int places[][2] = {{-20, 0},     {0, -50},     {-66, -584}, {479, 639},   {480, 0},
                             {0, 641},     {-67, 0},     {0, -585},   {INT_MAX, 0}, {0, INT_MAX},
                             {INT_MIN, 0}, {0, INT_MIN}, {100, 100}};
    for (const auto &place : places) {
        SCOPED_TRACE(::testing::Message() << "top " << place[0] << " left " << place[1]);
        const Painting p = paint(bytes, place[0], place[1], 32, 200, 100);
        expectPaintedAt(p, ref, place[0], place[1], screen->format);
    }
}

TEST_F(PictureTest, PaintsEveryPixelFormatWithTwoToFourBytes) {
    const std::vector<uint8_t> bytes = bytesOf(pauseBanner);
    const Rgb ref = referenceDecode(bytes);
    for (int depth : {15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        GuardedSurface probe(1, 1, depth, 0);
        const Painting p = paint(bytes, 151, 50, depth);
        expectPaintedAt(p, ref, 151, 50, probe.get()->format);
    }
}

TEST_F(PictureTest, StoresThreeBytePixelsLowestByteFirst) {
    GuardedSurface surface(64, 8, 24, 0);
    decodeAndBlit(startLabel.bytes, startLabel.length, surface.get(), 0, 0);
    const Rgb ref = referenceDecode(bytesOf(startLabel));
    const uint8_t *pixels = static_cast<const uint8_t *>(surface.get()->pixels);
    for (int x : {0, 17, 40, 63}) {
        const uint8_t *s = ref.at(x, 7);
        const uint8_t *p = pixels + 7 * surface.get()->pitch + 3 * x;
        // Red is in bits 16..23, so it is the third byte; blue the first.
        EXPECT_EQ(p[0], s[2]);
        EXPECT_EQ(p[1], s[1]);
        EXPECT_EQ(p[2], s[0]);
    }
    EXPECT_TRUE(surface.guardsIntact());
}

TEST_F(PictureTest, OtherPixelSizesPaintNothing) {
    const Painting p = paint(bytesOf(startLabel), 0, 0, 8, 300, 60);
    EXPECT_TRUE(p.guardsIntact);
    EXPECT_EQ(p.count(), 0);
}

// Encodes a small test picture with libjpeg in the given colour layout (1, 3 or 4
// components), samples following a simple pattern.
std::vector<uint8_t> encode(int components, J_COLOR_SPACE space, int width, int height) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(width) * components);
    while (info.next_scanline < info.image_height) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = uint8_t(i * 7 + info.next_scanline * 13);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(out, out + size);
    free(out);
    return bytes;
}

TEST_F(PictureTest, GreyPicturesPaintGreyAndOtherLayoutsPaintNothing) {
    const std::vector<uint8_t> grey = encode(1, JCS_GRAYSCALE, 40, 24);
    const Rgb ref = referenceDecode(grey);
    ASSERT_EQ(ref.components, 1);
    expectPaintedAt(paint(grey, 5, 600), ref, 5, 600, screen->format);

    const std::vector<uint8_t> cmyk = encode(4, JCS_CMYK, 40, 24);
    ASSERT_EQ(referenceDecode(cmyk).components, 4);
    const Painting p = paint(cmyk, 5, 600);
    EXPECT_TRUE(p.guardsIntact);
    EXPECT_EQ(p.count(), 0);
}

// Puts a marker segment (marker, then a length of 2 + payload bytes) right after APP0.
std::vector<uint8_t> withSegment(std::vector<uint8_t> bytes, uint8_t marker,
                                 std::vector<uint8_t> payload, int lengthField = -1) {
    const int length = lengthField >= 0 ? lengthField : int(payload.size()) + 2;
    std::vector<uint8_t> segment = {0xFF, marker, uint8_t(length >> 8), uint8_t(length)};
    segment.insert(segment.end(), payload.begin(), payload.end());
    bytes.insert(bytes.begin() + 20, segment.begin(), segment.end()); // SOI + 18-byte APP0
    return bytes;
}

TEST_F(PictureTest, SkipsMarkerSegmentsItDoesNotUse) {
    const std::vector<uint8_t> plain = bytesOf(startLabel);
    std::vector<uint8_t> padded = withSegment(plain, 0xE1, std::vector<uint8_t>(300, 0x41));
    padded = withSegment(padded, 0xE9, std::vector<uint8_t>(5, 0x00));
    const Painting p = paint(padded, 190, 214);
    expectPaintedAt(p, referenceDecode(plain), 190, 214, screen->format);
}

// ---------------------------------------------------------------------------------------
// Bad data

using PictureDeathTest = PictureTest;

TEST_F(PictureDeathTest, EndsWithLibjpegsMessageWhenTheLastByteIsMissing) {
    EXPECT_EXIT(decodeAndBlit(pauseBanner.bytes, pauseBanner.length - 1, screen, 151, 50),
                ::testing::ExitedWithCode(1), "Empty input file");
    EXPECT_EXIT(decodeAndBlit(titleLogo.bytes, titleLogo.length - 1, screen, 5, 19),
                ::testing::ExitedWithCode(1), "Empty input file");
}

TEST_F(PictureDeathTest, EndsWithLibjpegsMessageWhenThereIsNoData) {
    EXPECT_EXIT(decodeAndBlit(startLabel.bytes, 0, screen, 0, 0), ::testing::ExitedWithCode(1),
                "Empty input file");
    EXPECT_EXIT(decodeAndBlit(startLabel.bytes, -5, screen, 0, 0), ::testing::ExitedWithCode(1),
                "Empty input file");
    EXPECT_EXIT(decodeAndBlit(nullptr, 0, screen, 0, 0), ::testing::ExitedWithCode(1),
                "Empty input file");
}

// A segment whose length runs past the end: the skip stops at the end of the data and the
// next read finds nothing.
TEST_F(PictureDeathTest, ASkipPastTheEndStopsThere) {
    std::vector<uint8_t> bytes = withSegment(bytesOf(startLabel), 0xE1, {1, 2, 3, 4}, 0xFFFF);
    bytes.resize(40);
    EXPECT_EXIT(decodeAndBlit(bytes.data(), int32_t(bytes.size()), screen, 0, 0),
                ::testing::ExitedWithCode(1), "Empty input file");
}

// True when every line of text is one of libjpeg's messages: each message template's fixed
// parts appear in order, its printf fields match anything.
bool isLibjpegOutput(const std::string &text) {
    jpeg_error_mgr errors;
    jpeg_std_error(&errors);
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) return false; // libjpeg ends every message with a newline
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        bool known = false;
        for (int code = 1; code <= errors.last_jpeg_message && !known; ++code) {
            const char *format = errors.jpeg_message_table[code];
            if (format == nullptr) continue;
            std::vector<std::string> pieces(1);
            for (const char *f = format; *f; ++f) {
                if (*f != '%') {
                    pieces.back() += *f;
                    continue;
                }
                while (f[1] && !std::strchr("dsuxXcl", f[1]))
                    ++f; // flags and width
                while (f[1] == 'l')
                    ++f;
                if (f[1]) ++f;
                pieces.emplace_back();
            }
            size_t at = 0;
            known = line.compare(0, pieces.front().size(), pieces.front()) == 0;
            for (size_t i = 0; known && i < pieces.size(); ++i) {
                const size_t found = line.find(pieces[i], at);
                known = found != std::string::npos;
                at = found + pieces[i].size();
            }
            known = known && (pieces.back().empty() || at == line.size());
        }
        if (!known) return false;
    }
    return true;
}

// Set in the throwaway children of runIsolated only. Their memory is a copy of the test's,
// so the leak checker's pass at their exit (under the address sanitizer) finds nothing new
// and would only make the sweeps several times slower.
bool inIsolatedChild = false;

} // namespace

extern "C" int __lsan_is_turned_off() {
    return inIsolatedChild ? 1 : 0;
}

namespace {

// What became of one decode run in a child process of its own.
struct Outcome {
    bool exited = false;
    int status = -1; // exit status when exited
    std::string stderrText;
};

// Runs decodeAndBlit on the data in a forked child, over a guarded surface; the child ends
// with status 0 when the call returns with the guards intact, 3 when the guards were hit,
// and otherwise as libjpeg ends it.
Outcome runIsolated(const std::vector<uint8_t> &data, const GuardedSurface &surface, int top,
                    int left) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return {};
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        inIsolatedChild = true;
        close(pipeEnds[0]);
        dup2(pipeEnds[1], 2);
        decodeAndBlit(data.data(), int32_t(data.size()), surface.get(), top, left);
        std::fflush(nullptr);
        _exit(surface.guardsIntact() ? 0 : 3);
    }
    close(pipeEnds[1]);
    Outcome outcome;
    char buffer[512];
    ssize_t got;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        outcome.stderrText.append(buffer, got);
    close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return outcome;
    outcome.exited = WIFEXITED(status);
    outcome.status = outcome.exited ? WEXITSTATUS(status) : -1;
    return outcome;
}

std::string describe(const Outcome &o) {
    return o.exited ? "exit " + std::to_string(o.status) + ": " + o.stderrText
                    : "killed: " + o.stderrText;
}

// Every truncation ends the program with libjpeg's message: the decoder always reads up
// to the end-of-image marker. The cut points cover the start, the header, the scan data and
// the last bytes of each picture.
TEST_F(PictureDeathTest, EveryTruncationEndsWithLibjpegsMessage) {
    GuardedSurface surface(640, 480, 32, 0);
    for (const Entry &e : kCatalogue) {
        const std::vector<uint8_t> whole = bytesOf(*e.picture);
        const int n = int(whole.size());
        std::vector<int> cuts = {0, 1, 2, 3, 4, 20, 100, n - 3, n - 2, n - 1};
        for (int k = 1; k < 24; ++k)
            cuts.push_back(int(int64_t(n) * k / 24));
        for (int cut : cuts) {
            const std::vector<uint8_t> part(whole.begin(), whole.begin() + cut);
            const Outcome o = runIsolated(part, surface, e.top, e.left);
            EXPECT_TRUE(o.exited && o.status == 1 && isLibjpegOutput(o.stderrText))
                << e.name << " cut to " << cut << " bytes: " << describe(o);
        }
    }
}

// Single-byte corruptions in the header segments and in the scan data either decode (maybe
// with libjpeg's warning) or end with libjpeg's message; none crashes or writes outside.
TEST_F(PictureDeathTest, SingleByteCorruptionsDecodeOrEndWithLibjpegsMessage) {
    GuardedSurface surface(640, 480, 32, 0);
    int returned = 0, ended = 0;
    for (const Entry &e : kCatalogue) {
        const std::vector<uint8_t> whole = bytesOf(*e.picture);
        const int n = int(whole.size());
        int headerEnd = 2;
        while (headerEnd + 4 <= n && whole[headerEnd + 1] != 0xDA)
            headerEnd += 2 + whole[headerEnd + 2] * 256 + whole[headerEnd + 3];
        std::vector<int> places;
        for (int k = 0; k < 24; ++k)
            places.push_back(2 + (headerEnd - 2) * k / 24);
        for (int k = 0; k < 16; ++k)
            places.push_back(headerEnd + (n - headerEnd) * k / 16);
        const uint8_t values[] = {0x00, 0xFF, 0x7F};
        for (size_t k = 0; k < places.size(); ++k) {
            std::vector<uint8_t> bad = whole;
            const uint8_t value =
                values[k % 3] == bad[places[k]] ? uint8_t(~bad[places[k]]) : values[k % 3];
            bad[places[k]] = value;
            const Outcome o = runIsolated(bad, surface, e.top, e.left);
            const bool fine = o.exited && (o.status == 0 || o.status == 1) &&
                              isLibjpegOutput(o.stderrText) &&
                              (o.status == 0 || !o.stderrText.empty());
            EXPECT_TRUE(fine) << e.name << " byte " << places[k] << " set to " << int(value) << ": "
                              << describe(o);
            returned += o.exited && o.status == 0;
            ended += o.exited && o.status == 1;
        }
    }
    // Both kinds occur, so the sweep reaches past the header checks into the decoding.
    EXPECT_GT(returned, 0);
    EXPECT_GT(ended, 0);
}

} // namespace
