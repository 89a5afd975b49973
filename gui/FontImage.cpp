// Bounds-checked readers for BMP, PCX, TGA and LBM images.
#include "gui/FontImage.h"

#include <allegro.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr int maxSide = 16384;
constexpr long long maxPixels = 16LL * 1024 * 1024;

// The fewest bytes that can hold `units` units of data when one run of at
// most `perRun` units costs `runCost` bytes: a file shorter than that is cut
// short, and is refused before any memory is set aside for its pixels.
bool roomFor(std::size_t available, long long units, long long perRun, long long runCost)
{
    return static_cast<long long>(available) >= (units + perRun - 1) / perRun * runCost;
}

// Reads little- or big-endian numbers from a byte buffer; any read past the
// end sets `ok` false and yields zeros.
class Reader {
public:
    Reader(const std::vector<unsigned char>& bytes, std::size_t start = 0) : data_(bytes), pos_(start)
    {
        if (start > bytes.size())
            ok_ = false;
    }
    bool ok() const { return ok_; }
    std::size_t pos() const { return pos_; }
    std::size_t left() const { return ok_ ? data_.size() - pos_ : 0; }
    void seek(std::size_t p)
    {
        if (p > data_.size())
            ok_ = false;
        else
            pos_ = p;
    }
    void skip(std::size_t n) { seek(n <= left() ? pos_ + n : data_.size() + 1); }
    int u8()
    {
        if (!ok_ || pos_ >= data_.size()) {
            ok_ = false;
            return 0;
        }
        return data_[pos_++];
    }
    int u16le() { const int a = u8(); return a | (u8() << 8); }
    int u16be() { const int a = u8(); return (a << 8) | u8(); }
    std::uint32_t u32le() { const std::uint32_t a = static_cast<std::uint32_t>(u16le()); return a | (static_cast<std::uint32_t>(u16le()) << 16); }
    std::uint32_t u32be() { const std::uint32_t a = static_cast<std::uint32_t>(u16be()); return (a << 16) | static_cast<std::uint32_t>(u16be()); }

private:
    const std::vector<unsigned char>& data_;
    std::size_t pos_;
    bool ok_ = true;
};

// A decoded image: palette indices or 0xRRGGBB values, top row first.
struct Image {
    int w = 0, h = 0;
    bool paletted = false;
    std::vector<unsigned char> index;
    std::vector<std::uint32_t> rgb;
    std::array<std::uint32_t, 256> palette{};

    bool setSize(int width, int height, bool withPalette)
    {
        if (width < 1 || height < 1 || width > maxSide || height > maxSide ||
            static_cast<long long>(width) * height > maxPixels)
            return false;
        w = width;
        h = height;
        paletted = withPalette;
        if (paletted)
            index.assign(static_cast<std::size_t>(w) * h, 0);
        else
            rgb.assign(static_cast<std::size_t>(w) * h, 0);
        return true;
    }
    void setIndex(int x, int y, int i)
    {
        if (x >= 0 && y >= 0 && x < w && y < h)
            index[static_cast<std::size_t>(y) * w + x] = static_cast<unsigned char>(i);
    }
    void setRgb(int x, int y, std::uint32_t c)
    {
        if (x >= 0 && y >= 0 && x < w && y < h)
            rgb[static_cast<std::size_t>(y) * w + x] = c;
    }
};

std::uint32_t packRgb(int r, int g, int b)
{
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

// A channel selected by a bit mask, scaled to 0..255.
int maskedChannel(std::uint32_t value, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    const std::uint32_t m = mask >> shift;
    const std::uint32_t v = (value >> shift) & m;
    return static_cast<int>(static_cast<unsigned long long>(v) * 255 / m);
}

// ---- BMP ----------------------------------------------------------------

// What a BMP file's headers say: the OS/2 header of 12 bytes or a Windows
// one of 40 to 124, the bit fields that may follow it, and where the pixels
// start.
struct BmpHeader {
    std::uint32_t dataOffset = 0;
    std::uint32_t headerSize = 0;
    long width = 0, height = 0;
    bool topDown = false;
    int bpp = 0;
    std::uint32_t compression = 0, colours = 0;
    std::uint32_t masks[3] = {0x7c00, 0x03e0, 0x001f};
    std::size_t paletteEntrySize = 4;

    bool paletted() const { return bpp == 1 || bpp == 4 || bpp == 8; }
    bool runLength() const { return compression == 1 || compression == 2; }
    // Bytes per stored row, padded to 32 bits.
    std::size_t stride() const { return ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4; }
    // The image row of stored row y: rows are stored bottom first unless the
    // height was negative.
    int row(long y) const { return static_cast<int>(topDown ? y : height - 1 - y); }
};

bool readBmpFields(const std::vector<unsigned char>& bytes, BmpHeader& hd)
{
    Reader in(bytes);
    if (in.u8() != 'B' || in.u8() != 'M')
        return false;
    in.skip(8);
    hd.dataOffset = in.u32le();
    hd.headerSize = in.u32le();
    if (hd.headerSize == 12) {
        hd.width = in.u16le();
        hd.height = in.u16le();
        in.u16le();
        hd.bpp = in.u16le();
        hd.paletteEntrySize = 3;
    } else if (hd.headerSize >= 40 && hd.headerSize <= 124) {
        hd.width = static_cast<std::int32_t>(in.u32le());
        hd.height = static_cast<std::int32_t>(in.u32le());
        in.u16le();
        hd.bpp = in.u16le();
        hd.compression = in.u32le();
        in.skip(12);
        hd.colours = in.u32le();
        in.u32le();
        if (hd.compression == 3) {
            // Bit fields follow a 40-byte header, or are part of a longer one.
            for (auto& m : hd.masks)
                m = in.u32le();
        }
    } else {
        return false;
    }
    return in.ok();
}

// Reads the headers and refuses sizes, depths and compressions not handled,
// and uncompressed pixels the file is too short for.
bool readBmpHeader(const std::vector<unsigned char>& bytes, BmpHeader& hd)
{
    if (!readBmpFields(bytes, hd))
        return false;
    hd.topDown = hd.height < 0;
    if (hd.topDown)
        hd.height = -hd.height;
    if (hd.width < 1 || hd.height < 1 || hd.width > maxSide || hd.height > maxSide)
        return false;
    const int bpp = hd.bpp;
    const std::uint32_t compression = hd.compression;
    if (!hd.paletted() && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    if (!(compression == 0 || (compression == 1 && bpp == 8) || (compression == 2 && bpp == 4) ||
          (compression == 3 && (bpp == 16 || bpp == 32))))
        return false;
    if (bpp == 32 && compression == 0) {
        hd.masks[0] = 0xff0000;
        hd.masks[1] = 0x00ff00;
        hd.masks[2] = 0x0000ff;
    }
    return hd.runLength() || (bytes.size() >= hd.dataOffset &&
                              (bytes.size() - hd.dataOffset) / hd.stride() >= static_cast<std::size_t>(hd.height));
}

// The colour table after the headers (and after bit fields that follow a
// 40-byte header): blue, green, red and, in Windows files, a spare byte.
bool readBmpPalette(const std::vector<unsigned char>& bytes, const BmpHeader& hd, Image& img)
{
    const std::uint32_t count = hd.colours != 0 ? hd.colours : (1u << hd.bpp);
    if (count > 256)
        return false;
    const std::size_t paletteAt = 14 + hd.headerSize + (hd.compression == 3 && hd.headerSize == 40 ? 12 : 0);
    Reader pal(bytes, paletteAt);
    for (std::uint32_t i = 0; i < count; ++i) {
        const int b = pal.u8(), g = pal.u8(), r = pal.u8();
        if (hd.paletteEntrySize == 4)
            pal.u8();
        img.palette[i] = packRgb(r, g, b);
    }
    return pal.ok();
}

// A literal stretch of `count` indices on image row `row` from column x,
// padded to 16 bits; returns the column after it.
long readBmpLiteral(Reader& px, bool fourBits, int count, long x, int row, Image& img)
{
    const int bytesUsed = fourBits ? (count + 1) / 2 : count;
    int current = 0;
    for (int i = 0; i < count; ++i, ++x) {
        int v;
        if (!fourBits) {
            v = px.u8();
        } else {
            if ((i & 1) == 0)
                current = px.u8();
            v = (i & 1) ? current & 0x0f : current >> 4;
        }
        img.setIndex(static_cast<int>(x), row, v);
    }
    if (bytesUsed & 1)
        px.u8();
    return x;
}

// Run-length data (RLE8, RLE4), bottom row first: runs, escapes for end of
// line, end of image, a jump, and literal stretches.
bool readBmpRunLength(const std::vector<unsigned char>& bytes, const BmpHeader& hd, Image& img)
{
    const bool fourBits = hd.compression == 2;
    Reader px(bytes, hd.dataOffset);
    long x = 0, y = 0;
    while (px.ok()) {
        const int count = px.u8();
        const int value = px.u8();
        if (!px.ok())
            return false;
        if (count > 0) {
            for (int i = 0; i < count; ++i, ++x)
                img.setIndex(static_cast<int>(x), hd.row(y),
                             fourBits ? ((i & 1) ? value & 0x0f : value >> 4) : value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            x += px.u8();
            y += px.u8();
        } else {
            x = readBmpLiteral(px, fourBits, value, x, hd.row(y), img);
        }
        if (y >= hd.height)
            break;
    }
    return px.ok();
}

// Pixel x of an uncompressed stored row, put on image row ty.
void putBmpPixel(const unsigned char* row, long x, int ty, const BmpHeader& hd, Image& img)
{
    const int ix = static_cast<int>(x);
    auto masked = [&](std::uint32_t v) {
        return packRgb(maskedChannel(v, hd.masks[0]), maskedChannel(v, hd.masks[1]), maskedChannel(v, hd.masks[2]));
    };
    switch (hd.bpp) {
    case 1: img.setIndex(ix, ty, (row[x >> 3] >> (7 - (x & 7))) & 1); break;
    case 4: img.setIndex(ix, ty, (x & 1) ? row[x >> 1] & 0x0f : row[x >> 1] >> 4); break;
    case 8: img.setIndex(ix, ty, row[x]); break;
    case 16: img.setRgb(ix, ty, masked(row[2 * x] | (row[2 * x + 1] << 8))); break;
    case 24: img.setRgb(ix, ty, packRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x])); break;
    default:
        img.setRgb(ix, ty, masked(row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) |
                                  (static_cast<std::uint32_t>(row[4 * x + 3]) << 24)));
        break;
    }
}

void readBmpRows(const std::vector<unsigned char>& bytes, const BmpHeader& hd, Image& img)
{
    for (long y = 0; y < hd.height; ++y) {
        const unsigned char* row = bytes.data() + hd.dataOffset + static_cast<std::size_t>(y) * hd.stride();
        for (long x = 0; x < hd.width; ++x)
            putBmpPixel(row, x, hd.row(y), hd, img);
    }
}

bool readBmp(const std::vector<unsigned char>& bytes, Image& img)
{
    BmpHeader hd;
    if (!readBmpHeader(bytes, hd))
        return false;
    if (!img.setSize(static_cast<int>(hd.width), static_cast<int>(hd.height), hd.paletted()))
        return false;
    if (hd.paletted() && !readBmpPalette(bytes, hd, img))
        return false;
    if (hd.dataOffset > bytes.size())
        return false;
    if (hd.runLength())
        return readBmpRunLength(bytes, hd, img);
    readBmpRows(bytes, hd, img);
    return true;
}

// ---- PCX ----------------------------------------------------------------

// What a PCX header says: the encoding (1: run-length), bits per pixel per
// plane, the planes and the bytes of each plane's line.
struct PcxHeader {
    int encoding = 0;
    int bpp = 0;
    int planes = 0;
    int bytesPerLine = 0;
    int w = 0, h = 0;

    bool eightBit() const { return bpp == 8 && (planes == 1 || planes == 3); }
    bool oneBit() const { return bpp == 1 && (planes == 1 || planes == 4); }
    bool trueColour() const { return eightBit() && planes == 3; }
    std::size_t lineBytes() const { return static_cast<std::size_t>(bytesPerLine) * planes; }
};

// Reads the 128-byte header and refuses the kinds not handled and pixel
// data the file is too short for.
bool readPcxHeader(const std::vector<unsigned char>& bytes, PcxHeader& hd)
{
    if (bytes.size() < 128)
        return false;
    Reader in(bytes);
    const int maker = in.u8();
    in.u8();
    hd.encoding = in.u8();
    hd.bpp = in.u8();
    const int xmin = in.u16le(), ymin = in.u16le(), xmax = in.u16le(), ymax = in.u16le();
    if (maker != 0x0a || hd.encoding > 1 || xmax < xmin || ymax < ymin)
        return false;
    in.seek(65);
    hd.planes = in.u8();
    hd.bytesPerLine = in.u16le();
    hd.w = xmax - xmin + 1;
    hd.h = ymax - ymin + 1;
    if (!hd.eightBit() && !hd.oneBit())
        return false;
    if (hd.bytesPerLine < (hd.w * hd.bpp + 7) / 8)
        return false;
    return roomFor(bytes.size() - 128, static_cast<long long>(hd.h) * hd.bytesPerLine * hd.planes,
                   hd.encoding == 1 ? 63 : 1, hd.encoding == 1 ? 2 : 1);
}

// Palettes: 256 colours after a 12 at the end of the file (grey without
// one), or the 16 colours of the header; one plane of one bit is black and
// white.
void readPcxPalette(const std::vector<unsigned char>& bytes, const PcxHeader& hd, Image& img)
{
    if (hd.eightBit() && hd.planes == 1) {
        if (bytes.size() >= 128 + 769 && bytes[bytes.size() - 769] == 12) {
            const unsigned char* p = bytes.data() + bytes.size() - 768;
            for (int i = 0; i < 256; ++i)
                img.palette[static_cast<std::size_t>(i)] = packRgb(p[3 * i], p[3 * i + 1], p[3 * i + 2]);
        } else {
            for (int i = 0; i < 256; ++i)
                img.palette[static_cast<std::size_t>(i)] = packRgb(i, i, i);
        }
    } else if (hd.oneBit()) {
        for (int i = 0; i < 16; ++i)
            img.palette[static_cast<std::size_t>(i)] =
                packRgb(bytes[16 + 3 * i], bytes[16 + 3 * i + 1], bytes[16 + 3 * i + 2]);
        if (hd.planes == 1) {
            img.palette[0] = 0;
            img.palette[1] = 0xffffff;
        }
    }
}

// Fills one line of all planes, decoding runs when the file is encoded.
// Runs that spill over the end of a line are cut there.
bool readPcxLine(Reader& px, int encoding, std::vector<unsigned char>& line)
{
    std::size_t filled = 0;
    while (filled < line.size()) {
        int b = px.u8();
        int count = 1;
        if (encoding == 1 && (b & 0xc0) == 0xc0) {
            count = b & 0x3f;
            b = px.u8();
        }
        if (!px.ok())
            return false;
        for (int i = 0; i < count && filled < line.size(); ++i)
            line[filled++] = static_cast<unsigned char>(b);
    }
    return true;
}

// Puts a decoded line on image row y: indices, red, green and blue planes,
// or one bit from each plane.
void putPcxLine(const std::vector<unsigned char>& line, const PcxHeader& hd, int y, Image& img)
{
    const int bpl = hd.bytesPerLine;
    for (int x = 0; x < hd.w; ++x) {
        if (hd.eightBit() && hd.planes == 1) {
            img.setIndex(x, y, line[static_cast<std::size_t>(x)]);
        } else if (hd.eightBit()) {
            img.setRgb(x, y, packRgb(line[static_cast<std::size_t>(x)], line[static_cast<std::size_t>(bpl + x)],
                                     line[static_cast<std::size_t>(2 * bpl + x)]));
        } else {
            int v = 0;
            for (int p = 0; p < hd.planes; ++p)
                v |= ((line[static_cast<std::size_t>(p * bpl + x / 8)] >> (7 - x % 8)) & 1) << p;
            img.setIndex(x, y, v);
        }
    }
}

bool readPcx(const std::vector<unsigned char>& bytes, Image& img)
{
    PcxHeader hd;
    if (!readPcxHeader(bytes, hd) || !img.setSize(hd.w, hd.h, !hd.trueColour()))
        return false;
    readPcxPalette(bytes, hd, img);
    std::vector<unsigned char> line(hd.lineBytes());
    Reader px(bytes, 128);
    for (int y = 0; y < hd.h; ++y) {
        if (!readPcxLine(px, hd.encoding, line))
            return false;
        putPcxLine(line, hd, y, img);
    }
    return true;
}

// ---- TGA ----------------------------------------------------------------

// What a TGA header says. The image type's low bits give the kind (1 colour
// mapped, 2 true colour, 3 grey), bit 3 run-length encoding; the descriptor
// gives the order of rows and columns.
struct TgaHeader {
    int idLength = 0;
    int mapType = 0;
    int type = 0;
    int mapFirst = 0, mapLength = 0, mapBits = 0;
    int w = 0, h = 0;
    int bpp = 0;
    int descriptor = 0;

    int base() const { return type & ~8; }
    bool runLength() const { return (type & 8) != 0; }
    bool topFirst() const { return (descriptor & 0x20) != 0; }
    bool rightFirst() const { return (descriptor & 0x10) != 0; }
};

bool validTgaHeader(const TgaHeader& hd)
{
    const int base = hd.base(), bpp = hd.bpp;
    if (hd.mapType > 1)
        return false;
    if ((hd.type != base && hd.type != (base | 8)) || base < 1 || base > 3)
        return false;
    if (base == 1 && (hd.mapType != 1 || bpp != 8 || hd.mapFirst + hd.mapLength > 256))
        return false;
    if (base == 2 && bpp != 15 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    if (base == 3 && bpp != 8)
        return false;
    return hd.mapType != 1 || hd.mapBits == 15 || hd.mapBits == 16 || hd.mapBits == 24 || hd.mapBits == 32;
}

// Reads the 18-byte header and refuses the kinds not handled and pixel data
// the rest of the file is too short for.
bool readTgaHeader(Reader& in, TgaHeader& hd)
{
    hd.idLength = in.u8();
    hd.mapType = in.u8();
    hd.type = in.u8();
    hd.mapFirst = in.u16le();
    hd.mapLength = in.u16le();
    hd.mapBits = in.u8();
    in.u16le();
    in.u16le();
    hd.w = in.u16le();
    hd.h = in.u16le();
    hd.bpp = in.u8();
    hd.descriptor = in.u8();
    if (!in.ok() || !validTgaHeader(hd))
        return false;
    const int pixelBytes = (hd.bpp + 7) / 8;
    return roomFor(in.left(), static_cast<long long>(hd.w) * hd.h, hd.runLength() ? 128 : 1,
                   hd.runLength() ? 1 + pixelBytes : pixelBytes);
}

// A colour of 15 or 16 bits (5 per channel) or of 24 or 32 bits (blue,
// green, red, and a byte not used).
std::uint32_t readTgaColour(Reader& in, int bits)
{
    if (bits == 15 || bits == 16) {
        const int v = in.u16le();
        return packRgb(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31, (v & 31) * 255 / 31);
    }
    const int b = in.u8(), g = in.u8(), r = in.u8();
    if (bits == 32)
        in.u8();
    return packRgb(r, g, b);
}

// The colour map (kept for colour-mapped images, skipped otherwise) or the
// grey ramp of grey images.
bool readTgaPalette(Reader& in, const TgaHeader& hd, Image& img)
{
    if (hd.mapType == 1) {
        for (int i = 0; i < hd.mapLength; ++i) {
            const std::uint32_t c = readTgaColour(in, hd.mapBits);
            if (hd.base() == 1)
                img.palette[static_cast<std::size_t>(hd.mapFirst + i)] = c;
        }
    }
    if (hd.base() == 3)
        for (int i = 0; i < 256; ++i)
            img.palette[static_cast<std::size_t>(i)] = packRgb(i, i, i);
    return in.ok();
}

// Pixel number n of the file, put where the descriptor's order says.
void placeTgaPixel(const TgaHeader& hd, long long n, std::uint32_t value, Image& img)
{
    const int row = static_cast<int>(n / hd.w), col = static_cast<int>(n % hd.w);
    const int y = hd.topFirst() ? row : hd.h - 1 - row;
    const int x = hd.rightFirst() ? hd.w - 1 - col : col;
    if (hd.base() == 2)
        img.setRgb(x, y, value);
    else
        img.setIndex(x, y, static_cast<int>(value));
}

// The pixels, plain or in packets: a header byte whose low seven bits are
// the count less one, and whose top bit marks a run of one value.
bool readTgaPixels(Reader& in, const TgaHeader& hd, Image& img)
{
    auto readPixel = [&]() -> std::uint32_t {
        return hd.base() == 2 ? readTgaColour(in, hd.bpp) : static_cast<std::uint32_t>(in.u8());
    };
    const long long total = static_cast<long long>(hd.w) * hd.h;
    long long n = 0;
    while (n < total) {
        if (!hd.runLength()) {
            placeTgaPixel(hd, n++, readPixel(), img);
        } else {
            const int header = in.u8();
            const int count = (header & 0x7f) + 1;
            if (header & 0x80) {
                const std::uint32_t v = readPixel();
                for (int i = 0; i < count && n < total; ++i)
                    placeTgaPixel(hd, n++, v, img);
            } else {
                for (int i = 0; i < count && n < total; ++i)
                    placeTgaPixel(hd, n++, readPixel(), img);
            }
        }
        if (!in.ok())
            return false;
    }
    return true;
}

bool readTga(const std::vector<unsigned char>& bytes, Image& img)
{
    Reader in(bytes);
    TgaHeader hd;
    if (!readTgaHeader(in, hd) || !img.setSize(hd.w, hd.h, hd.base() != 2))
        return false;
    in.skip(static_cast<std::size_t>(hd.idLength));
    return readTgaPalette(in, hd, img) && readTgaPixels(in, hd, img);
}

// ---- IFF ILBM / PBM -----------------------------------------------------

// What the chunks of an IFF picture say: the BMHD header, the CMAP colours
// (a grey ramp where none are given) and where the BODY is.
struct LbmHeader {
    bool planar = false;   // ILBM: bit planes; PBM: one byte per pixel
    int w = 0, h = 0, planes = 0, masking = 0, compression = 0;
    bool haveHeader = false;
    std::size_t bodyAt = 0, bodySize = 0;
    std::array<std::uint32_t, 256> palette{};

    // Bytes of one plane's row (ILBM rows are padded to 16 bits), and the
    // planes stored per row, a mask plane included.
    std::size_t rowBytes() const
    {
        return planar ? static_cast<std::size_t>((w + 15) / 16) * 2 : static_cast<std::size_t>(w + (w & 1));
    }
    int rowPlanes() const { return planar ? planes + (masking == 1 ? 1 : 0) : 1; }
};

// Reads the FORM header and walks its chunks.
bool readLbmChunks(const std::vector<unsigned char>& bytes, LbmHeader& hd)
{
    Reader in(bytes);
    if (in.u32be() != 0x464f524d)   // "FORM"
        return false;
    in.u32be();
    const std::uint32_t form = in.u32be();
    hd.planar = form == 0x494c424d;   // "ILBM"
    if (!hd.planar && form != 0x50424d20)   // "PBM "
        return false;
    for (int i = 0; i < 256; ++i)
        hd.palette[static_cast<std::size_t>(i)] = packRgb(i, i, i);
    while (in.ok() && in.left() >= 8) {
        const std::uint32_t id = in.u32be();
        const std::uint32_t size = in.u32be();
        const std::size_t start = in.pos();
        if (size > in.left())
            return false;
        if (id == 0x424d4844) {   // "BMHD"
            hd.w = in.u16be();
            hd.h = in.u16be();
            in.skip(4);
            hd.planes = in.u8();
            hd.masking = in.u8();
            hd.compression = in.u8();
            hd.haveHeader = in.ok();
        } else if (id == 0x434d4150) {   // "CMAP"
            for (std::uint32_t c = 0; c < std::min<std::uint32_t>(size / 3, 256); ++c) {
                const int r = in.u8(), g = in.u8(), b = in.u8();
                hd.palette[c] = packRgb(r, g, b);
            }
        } else if (id == 0x424f4459) {   // "BODY"
            hd.bodyAt = start;
            hd.bodySize = size;
        }
        in.seek(start + size + (size & 1));
        if (!in.ok() && start + size == bytes.size())
            break;   // an odd last chunk without its pad byte
    }
    return true;
}

// Refuses pictures without a header or body, of a kind not handled, or with
// a body too short for their rows.
bool validLbm(const LbmHeader& hd)
{
    if (!hd.haveHeader || hd.bodyAt == 0 || hd.compression > 1 || hd.planes < 1 || hd.planes > 8)
        return false;
    if (!hd.planar && hd.planes != 8)
        return false;
    const long long rowUnits = static_cast<long long>(hd.rowBytes()) * hd.rowPlanes();
    return roomFor(hd.bodySize, rowUnits * hd.h, hd.compression == 1 ? 128 : 1, hd.compression == 1 ? 2 : 1);
}

// Fills one stored row, plain or ByteRun1 packed: a count n >= 0 copies the
// next n + 1 bytes, -127..-1 repeats the next byte 1 - n times, -128 is
// nothing.
bool readLbmRow(Reader& px, int compression, std::vector<unsigned char>& row)
{
    std::size_t filled = 0;
    while (filled < row.size()) {
        if (compression == 0) {
            row[filled++] = static_cast<unsigned char>(px.u8());
        } else {
            const int n = static_cast<signed char>(px.u8());
            if (n >= 0) {
                for (int i = 0; i <= n; ++i) {
                    const int v = px.u8();
                    if (filled < row.size())
                        row[filled++] = static_cast<unsigned char>(v);
                }
            } else if (n != -128) {
                const int v = px.u8();
                for (int i = 0; i < 1 - n && filled < row.size(); ++i)
                    row[filled++] = static_cast<unsigned char>(v);
            }
        }
        if (!px.ok())
            return false;
    }
    return true;
}

// Puts a stored row on image row y: one byte per pixel, or one bit from
// each plane (a mask plane is left out).
void putLbmRow(const std::vector<unsigned char>& row, const LbmHeader& hd, int y, Image& img)
{
    const std::size_t rowBytes = hd.rowBytes();
    for (int x = 0; x < hd.w; ++x) {
        if (!hd.planar) {
            img.setIndex(x, y, row[static_cast<std::size_t>(x)]);
            continue;
        }
        int v = 0;
        for (int p = 0; p < hd.planes; ++p)
            v |= ((row[static_cast<std::size_t>(p) * rowBytes + static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1)
                 << p;
        img.setIndex(x, y, v);
    }
}

bool readLbm(const std::vector<unsigned char>& bytes, Image& img)
{
    LbmHeader hd;
    if (!readLbmChunks(bytes, hd) || !validLbm(hd) || !img.setSize(hd.w, hd.h, true))
        return false;
    img.palette = hd.palette;
    const std::vector<unsigned char> body(bytes.begin() + static_cast<std::ptrdiff_t>(hd.bodyAt),
                                          bytes.begin() + static_cast<std::ptrdiff_t>(hd.bodyAt + hd.bodySize));
    Reader px(body);
    std::vector<unsigned char> row(hd.rowBytes() * static_cast<std::size_t>(hd.rowPlanes()));
    for (int y = 0; y < hd.h; ++y) {
        if (!readLbmRow(px, hd.compression, row))
            return false;
        putLbmRow(row, hd, y, img);
    }
    return true;
}

} // namespace

BITMAP* readImageFile(const std::string& path, RGB* palette)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return nullptr;
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad())
        return nullptr;

    std::string ext;
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of("/\\");
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        for (char c : path.substr(dot + 1))
            ext += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    Image img;
    bool ok = false;
    if (ext == "bmp")
        ok = readBmp(bytes, img);
    else if (ext == "pcx")
        ok = readPcx(bytes, img);
    else if (ext == "tga")
        ok = readTga(bytes, img);
    else if (ext == "lbm")
        ok = readLbm(bytes, img);
    if (!ok)
        return nullptr;

    if (img.paletted) {
        BITMAP* bmp = create_bitmap_ex(8, img.w, img.h);
        if (bmp == nullptr)
            return nullptr;
        for (int y = 0; y < img.h; ++y)
            std::copy_n(img.index.data() + static_cast<std::size_t>(y) * img.w, img.w, bmp->line[y]);
        if (palette != nullptr)
            for (int i = 0; i < 256; ++i) {
                const std::uint32_t c = img.palette[static_cast<std::size_t>(i)];
                palette[i].r = static_cast<unsigned char>(((c >> 16) & 0xff) >> 2);
                palette[i].g = static_cast<unsigned char>(((c >> 8) & 0xff) >> 2);
                palette[i].b = static_cast<unsigned char>((c & 0xff) >> 2);
                palette[i].filler = 0;
            }
        return bmp;
    }
    const int depth = get_color_depth();
    BITMAP* bmp = create_bitmap_ex(depth, img.w, img.h);
    if (bmp == nullptr)
        return nullptr;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const std::uint32_t c = img.rgb[static_cast<std::size_t>(y) * img.w + x];
            putpixel(bmp, x, y,
                     makecol_depth(depth, static_cast<int>((c >> 16) & 0xff), static_cast<int>((c >> 8) & 0xff),
                                   static_cast<int>(c & 0xff)));
        }
    return bmp;
}
