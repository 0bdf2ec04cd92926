// Paints the desktop icon from the board's tile set and encodes it as PNG. The icon
// reads the same tiles the game paints with, so the two always look alike; pixels are
// enlarged by whole factors so every tile pixel stays a sharp square.

#include "tools/icon.h"

#include <array>
#include <cstddef>

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

constexpr std::array<uint32_t, 256> makeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = makeCrcTable();

void putBigEndian(std::vector<uint8_t> &out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

// Appends one chunk: length, type, data and the CRC over type and data.
void putChunk(std::vector<uint8_t> &out, const char (&type)[5], const std::vector<uint8_t> &data) {
    putBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, crc32(out.data() + typeAt, out.size() - typeAt));
}

// Writes a deflate stream's bits, first bit lowest, as the format packs them.
struct BitWriter {
    std::vector<uint8_t> &out; // where whole bytes go
    uint32_t pending = 0;      // bits not yet written, first one lowest
    int count = 0;             // how many bits are pending

    void put(uint32_t value, int bits) {
        pending |= value << count;
        for (count += bits; count >= 8; count -= 8, pending >>= 8)
            out.push_back(static_cast<uint8_t>(pending));
    }
    // A Huffman code goes out with its first (highest) bit first.
    void putCode(uint32_t code, int bits) {
        uint32_t reversed = 0;
        for (int i = 0; i < bits; ++i)
            reversed |= ((code >> i) & 1) << (bits - 1 - i);
        put(reversed, bits);
    }
    void flush() {
        if (count > 0) out.push_back(static_cast<uint8_t>(pending));
        pending = 0;
        count = 0;
    }
};

// A literal byte, or the end of the block (256), or a length code (257..285), in the
// fixed Huffman code of deflate.
void putSymbol(BitWriter &bits, int symbol) {
    if (symbol < 144)
        bits.putCode(0x30 + symbol, 8);
    else if (symbol < 256)
        bits.putCode(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        bits.putCode(symbol - 256, 7);
    else
        bits.putCode(0xC0 + symbol - 280, 8);
}

constexpr int kLengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                               31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kDistanceBase[] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                 33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

// Puts a copy of length bytes from distance bytes back.
void putCopy(BitWriter &bits, int length, int distance) {
    int l = 28;
    while (kLengthBase[l] > length)
        --l;
    putSymbol(bits, 257 + l);
    bits.put(static_cast<uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance)
        --d;
    bits.putCode(static_cast<uint32_t>(d), 5);
    bits.put(static_cast<uint32_t>(distance - kDistanceBase[d]), d < 4 ? 0 : d / 2 - 1);
}

// A zlib stream of one deflate block in the fixed code. An icon is made of enlarged tile
// pixels, so most bytes repeat the pixel before them or the row above: those two
// distances are all the matching it needs.
std::vector<uint8_t> deflateInZlib(const std::vector<uint8_t> &raw, size_t rowBytes) {
    std::vector<uint8_t> out = {0x78, 0x01}; // deflate, 32 KiB window, no dictionary
    BitWriter bits{out};
    bits.put(1, 1); // the last block
    bits.put(1, 2); // in the fixed code
    const size_t distances[] = {4, rowBytes};
    for (size_t at = 0; at < raw.size();) {
        size_t best = 0, bestDistance = 0;
        for (const size_t distance : distances) {
            if (distance > at || distance > 32768) continue;
            size_t length = 0;
            while (length < 258 && at + length < raw.size() &&
                   raw[at + length] == raw[at + length - distance])
                ++length;
            if (length > best) best = length, bestDistance = distance;
        }
        if (best >= 3) {
            putCopy(bits, static_cast<int>(best), static_cast<int>(bestDistance));
            at += best;
        } else {
            putSymbol(bits, raw[at++]);
        }
    }
    putSymbol(bits, 256);
    bits.flush();
    putBigEndian(out, adler32(raw.data(), raw.size()));
    return out;
}

} // namespace

uint32_t crc32(const uint8_t *bytes, size_t count) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i)
        c = kCrcTable[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t adler32(const uint8_t *bytes, size_t count) {
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < count; ++i) {
        a = (a + bytes[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

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
    const uint32_t side = static_cast<uint32_t>(image.size);
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    std::vector<uint8_t> header;
    putBigEndian(header, side);
    putBigEndian(header, side);
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    putChunk(out, "IHDR", header);

    // Every row starts with filter type 0: the bytes as they are.
    std::vector<uint8_t> raw;
    const size_t rowBytes = static_cast<size_t>(side) * 4;
    raw.reserve((rowBytes + 1) * side);
    for (size_t row = 0; row < side; ++row) {
        raw.push_back(0);
        raw.insert(raw.end(), image.rgba.begin() + static_cast<std::ptrdiff_t>(row * rowBytes),
                   image.rgba.begin() + static_cast<std::ptrdiff_t>((row + 1) * rowBytes));
    }
    putChunk(out, "IDAT", deflateInZlib(raw, rowBytes + 1));
    putChunk(out, "IEND", {});
    return out;
}

} // namespace ravela
