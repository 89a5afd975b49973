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

bool readBmp(const std::vector<unsigned char>& bytes, Image& img)
{
    Reader in(bytes);
    if (in.u8() != 'B' || in.u8() != 'M')
        return false;
    in.skip(8);
    const std::uint32_t dataOffset = in.u32le();
    const std::uint32_t headerSize = in.u32le();
    long width = 0, height = 0;
    int bpp = 0;
    std::uint32_t compression = 0, colours = 0;
    std::uint32_t masks[3] = {0x7c00, 0x03e0, 0x001f};
    std::size_t paletteEntrySize = 4;
    if (headerSize == 12) {
        width = in.u16le();
        height = in.u16le();
        in.u16le();
        bpp = in.u16le();
        paletteEntrySize = 3;
    } else if (headerSize >= 40 && headerSize <= 124) {
        width = static_cast<std::int32_t>(in.u32le());
        height = static_cast<std::int32_t>(in.u32le());
        in.u16le();
        bpp = in.u16le();
        compression = in.u32le();
        in.skip(12);
        colours = in.u32le();
        in.u32le();
        if (compression == 3) {
            // Bit fields follow a 40-byte header, or are part of a longer one.
            for (auto& m : masks)
                m = in.u32le();
        }
    } else {
        return false;
    }
    if (!in.ok())
        return false;
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width < 1 || height < 1 || width > maxSide || height > maxSide)
        return false;
    const bool palettedBpp = bpp == 1 || bpp == 4 || bpp == 8;
    if (!palettedBpp && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    if (!(compression == 0 || (compression == 1 && bpp == 8) || (compression == 2 && bpp == 4) ||
          (compression == 3 && (bpp == 16 || bpp == 32))))
        return false;
    if (bpp == 32 && compression == 0) {
        masks[0] = 0xff0000;
        masks[1] = 0x00ff00;
        masks[2] = 0x0000ff;
    }
    const std::size_t stride = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
    if (compression != 1 && compression != 2 &&
        (bytes.size() < dataOffset || (bytes.size() - dataOffset) / stride < static_cast<std::size_t>(height)))
        return false;
    if (!img.setSize(static_cast<int>(width), static_cast<int>(height), palettedBpp))
        return false;

    if (palettedBpp) {
        const std::uint32_t count = colours != 0 ? colours : (1u << bpp);
        if (count > 256)
            return false;
        std::size_t paletteAt = 14 + headerSize + (compression == 3 && headerSize == 40 ? 12 : 0);
        Reader pal(bytes, paletteAt);
        for (std::uint32_t i = 0; i < count; ++i) {
            const int b = pal.u8(), g = pal.u8(), r = pal.u8();
            if (paletteEntrySize == 4)
                pal.u8();
            img.palette[i] = packRgb(r, g, b);
        }
        if (!pal.ok())
            return false;
    }

    auto rowOf = [&](long y) { return static_cast<int>(topDown ? y : height - 1 - y); };
    Reader px(bytes, dataOffset);
    if (!px.ok())
        return false;

    if (compression == 1 || compression == 2) {
        // Run-length data, bottom row first: runs, escapes for end of line,
        // end of image, a jump, and literal stretches padded to 16 bits.
        long x = 0, y = 0;
        while (px.ok()) {
            const int count = px.u8();
            const int value = px.u8();
            if (!px.ok())
                return false;
            if (count > 0) {
                for (int i = 0; i < count; ++i, ++x)
                    img.setIndex(static_cast<int>(x), rowOf(y),
                                 compression == 1 ? value : ((i & 1) ? value & 0x0f : value >> 4));
            } else if (value == 0) {
                x = 0;
                ++y;
            } else if (value == 1) {
                break;
            } else if (value == 2) {
                x += px.u8();
                y += px.u8();
            } else {
                const int n = value;
                const int bytesUsed = compression == 1 ? n : (n + 1) / 2;
                int current = 0;
                for (int i = 0; i < n; ++i, ++x) {
                    int v;
                    if (compression == 1) {
                        v = px.u8();
                    } else {
                        if ((i & 1) == 0)
                            current = px.u8();
                        v = (i & 1) ? current & 0x0f : current >> 4;
                    }
                    img.setIndex(static_cast<int>(x), rowOf(y), v);
                }
                if (bytesUsed & 1)
                    px.u8();
            }
            if (y >= height)
                break;
        }
        return px.ok();
    }

    for (long y = 0; y < height; ++y) {
        const unsigned char* row = bytes.data() + dataOffset + static_cast<std::size_t>(y) * stride;
        const int ty = rowOf(y);
        for (long x = 0; x < width; ++x) {
            const int ix = static_cast<int>(x);
            switch (bpp) {
            case 1: img.setIndex(ix, ty, (row[x >> 3] >> (7 - (x & 7))) & 1); break;
            case 4: img.setIndex(ix, ty, (x & 1) ? row[x >> 1] & 0x0f : row[x >> 1] >> 4); break;
            case 8: img.setIndex(ix, ty, row[x]); break;
            case 16: {
                const std::uint32_t v = row[2 * x] | (row[2 * x + 1] << 8);
                img.setRgb(ix, ty, packRgb(maskedChannel(v, masks[0]), maskedChannel(v, masks[1]),
                                           maskedChannel(v, masks[2])));
                break;
            }
            case 24: img.setRgb(ix, ty, packRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x])); break;
            default: {
                const std::uint32_t v = row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) |
                                        (static_cast<std::uint32_t>(row[4 * x + 3]) << 24);
                img.setRgb(ix, ty, packRgb(maskedChannel(v, masks[0]), maskedChannel(v, masks[1]),
                                           maskedChannel(v, masks[2])));
                break;
            }
            }
        }
    }
    return true;
}

// ---- PCX ----------------------------------------------------------------

bool readPcx(const std::vector<unsigned char>& bytes, Image& img)
{
    if (bytes.size() < 128)
        return false;
    Reader in(bytes);
    const int maker = in.u8();
    in.u8();
    const int encoding = in.u8();
    const int bpp = in.u8();
    const int xmin = in.u16le(), ymin = in.u16le(), xmax = in.u16le(), ymax = in.u16le();
    if (maker != 0x0a || encoding > 1 || xmax < xmin || ymax < ymin)
        return false;
    in.seek(65);
    const int planes = in.u8();
    const int bytesPerLine = in.u16le();
    const int w = xmax - xmin + 1, h = ymax - ymin + 1;
    const bool eightBit = bpp == 8 && (planes == 1 || planes == 3);
    const bool oneBit = bpp == 1 && (planes == 1 || planes == 4);
    if (!eightBit && !oneBit)
        return false;
    if (bytesPerLine < (w * bpp + 7) / 8)
        return false;
    if (!roomFor(bytes.size() - 128, static_cast<long long>(h) * bytesPerLine * planes,
                 encoding == 1 ? 63 : 1, encoding == 1 ? 2 : 1))
        return false;
    if (!img.setSize(w, h, !(eightBit && planes == 3)))
        return false;

    // Palettes: 256 colours after a 12 at the end of the file, or the 16
    // colours of the header.
    if (eightBit && planes == 1) {
        if (bytes.size() >= 128 + 769 && bytes[bytes.size() - 769] == 12) {
            const unsigned char* p = bytes.data() + bytes.size() - 768;
            for (int i = 0; i < 256; ++i)
                img.palette[static_cast<std::size_t>(i)] = packRgb(p[3 * i], p[3 * i + 1], p[3 * i + 2]);
        } else {
            for (int i = 0; i < 256; ++i)
                img.palette[static_cast<std::size_t>(i)] = packRgb(i, i, i);
        }
    } else if (oneBit) {
        for (int i = 0; i < 16; ++i)
            img.palette[static_cast<std::size_t>(i)] =
                packRgb(bytes[16 + 3 * i], bytes[16 + 3 * i + 1], bytes[16 + 3 * i + 2]);
        if (planes == 1) {
            img.palette[0] = 0;
            img.palette[1] = 0xffffff;
        }
    }

    const std::size_t lineBytes = static_cast<std::size_t>(bytesPerLine) * planes;
    std::vector<unsigned char> line(lineBytes);
    Reader px(bytes, 128);
    for (int y = 0; y < h; ++y) {
        std::size_t filled = 0;
        while (filled < lineBytes) {
            int b = px.u8();
            int count = 1;
            if (encoding == 1 && (b & 0xc0) == 0xc0) {
                count = b & 0x3f;
                b = px.u8();
            }
            if (!px.ok())
                return false;
            // Runs that spill over the end of a line are cut there.
            for (int i = 0; i < count && filled < lineBytes; ++i)
                line[filled++] = static_cast<unsigned char>(b);
        }
        for (int x = 0; x < w; ++x) {
            if (eightBit && planes == 1) {
                img.setIndex(x, y, line[static_cast<std::size_t>(x)]);
            } else if (eightBit) {
                img.setRgb(x, y, packRgb(line[static_cast<std::size_t>(x)], line[static_cast<std::size_t>(bytesPerLine + x)],
                                         line[static_cast<std::size_t>(2 * bytesPerLine + x)]));
            } else {
                int v = 0;
                for (int p = 0; p < planes; ++p)
                    v |= ((line[static_cast<std::size_t>(p * bytesPerLine + x / 8)] >> (7 - x % 8)) & 1) << p;
                img.setIndex(x, y, v);
            }
        }
    }
    return true;
}

// ---- TGA ----------------------------------------------------------------

bool readTga(const std::vector<unsigned char>& bytes, Image& img)
{
    Reader in(bytes);
    const int idLength = in.u8();
    const int mapType = in.u8();
    const int type = in.u8();
    const int mapFirst = in.u16le();
    const int mapLength = in.u16le();
    const int mapBits = in.u8();
    in.u16le();
    in.u16le();
    const int w = in.u16le();
    const int h = in.u16le();
    const int bpp = in.u8();
    const int descriptor = in.u8();
    if (!in.ok() || mapType > 1)
        return false;
    const int base = type & ~8;
    if ((type != base && type != (base | 8)) || base < 1 || base > 3)
        return false;
    if (base == 1 && (mapType != 1 || bpp != 8 || mapFirst + mapLength > 256))
        return false;
    if (base == 2 && bpp != 15 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    if (base == 3 && bpp != 8)
        return false;
    if (mapType == 1 && mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
        return false;
    const int pixelBytes = (bpp + 7) / 8;
    if (!roomFor(in.left(), static_cast<long long>(w) * h, (type & 8) ? 128 : 1,
                 (type & 8) ? 1 + pixelBytes : pixelBytes))
        return false;
    if (!img.setSize(w, h, base != 2))
        return false;
    in.skip(static_cast<std::size_t>(idLength));

    auto readColour = [&](int bits) -> std::uint32_t {
        if (bits == 15 || bits == 16) {
            const int v = in.u16le();
            return packRgb(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31, (v & 31) * 255 / 31);
        }
        const int b = in.u8(), g = in.u8(), r = in.u8();
        if (bits == 32)
            in.u8();
        return packRgb(r, g, b);
    };
    if (mapType == 1) {
        for (int i = 0; i < mapLength; ++i) {
            const std::uint32_t c = readColour(mapBits);
            if (base == 1)
                img.palette[static_cast<std::size_t>(mapFirst + i)] = c;
        }
    }
    if (base == 3)
        for (int i = 0; i < 256; ++i)
            img.palette[static_cast<std::size_t>(i)] = packRgb(i, i, i);
    if (!in.ok())
        return false;

    const bool rle = (type & 8) != 0;
    const bool topFirst = (descriptor & 0x20) != 0;
    const bool rightFirst = (descriptor & 0x10) != 0;
    const long long total = static_cast<long long>(w) * h;
    auto place = [&](long long n, std::uint32_t value) {
        const int row = static_cast<int>(n / w), col = static_cast<int>(n % w);
        const int y = topFirst ? row : h - 1 - row;
        const int x = rightFirst ? w - 1 - col : col;
        if (base == 2)
            img.setRgb(x, y, value);
        else
            img.setIndex(x, y, static_cast<int>(value));
    };
    auto readPixel = [&]() -> std::uint32_t { return base == 2 ? readColour(bpp) : static_cast<std::uint32_t>(in.u8()); };
    long long n = 0;
    while (n < total) {
        if (!rle) {
            place(n++, readPixel());
        } else {
            const int header = in.u8();
            const int count = (header & 0x7f) + 1;
            if (header & 0x80) {
                const std::uint32_t v = readPixel();
                for (int i = 0; i < count && n < total; ++i)
                    place(n++, v);
            } else {
                for (int i = 0; i < count && n < total; ++i)
                    place(n++, readPixel());
            }
        }
        if (!in.ok())
            return false;
    }
    return true;
}

// ---- IFF ILBM / PBM -----------------------------------------------------

bool readLbm(const std::vector<unsigned char>& bytes, Image& img)
{
    Reader in(bytes);
    if (in.u32be() != 0x464f524d)   // "FORM"
        return false;
    in.u32be();
    const std::uint32_t form = in.u32be();
    const bool planar = form == 0x494c424d;   // "ILBM"
    if (!planar && form != 0x50424d20)         // "PBM "
        return false;
    int w = 0, h = 0, planes = 0, masking = 0, compression = 0;
    bool haveHeader = false;
    std::size_t bodyAt = 0, bodySize = 0;
    for (int i = 0; i < 256; ++i)
        img.palette[static_cast<std::size_t>(i)] = packRgb(i, i, i);
    std::array<std::uint32_t, 256> palette = img.palette;
    while (in.ok() && in.left() >= 8) {
        const std::uint32_t id = in.u32be();
        const std::uint32_t size = in.u32be();
        const std::size_t start = in.pos();
        if (size > in.left())
            return false;
        if (id == 0x424d4844) {   // "BMHD"
            w = in.u16be();
            h = in.u16be();
            in.skip(4);
            planes = in.u8();
            masking = in.u8();
            compression = in.u8();
            haveHeader = in.ok();
        } else if (id == 0x434d4150) {   // "CMAP"
            for (std::uint32_t c = 0; c < std::min<std::uint32_t>(size / 3, 256); ++c) {
                const int r = in.u8(), g = in.u8(), b = in.u8();
                palette[c] = packRgb(r, g, b);
            }
        } else if (id == 0x424f4459) {   // "BODY"
            bodyAt = start;
            bodySize = size;
        }
        in.seek(start + size + (size & 1));
        if (!in.ok() && start + size == bytes.size())
            break;   // an odd last chunk without its pad byte
    }
    if (!haveHeader || bodyAt == 0 || compression > 1 || planes < 1 || planes > 8)
        return false;
    if (!planar && planes != 8)
        return false;
    const long long rowUnits = planar ? static_cast<long long>((w + 15) / 16) * 2 * (planes + (masking == 1 ? 1 : 0))
                                      : static_cast<long long>(w + (w & 1));
    if (!roomFor(bodySize, rowUnits * h, compression == 1 ? 128 : 1, compression == 1 ? 2 : 1))
        return false;
    if (!img.setSize(w, h, true))
        return false;
    img.palette = palette;

    const std::size_t rowBytes = planar ? static_cast<std::size_t>((w + 15) / 16) * 2
                                        : static_cast<std::size_t>(w + (w & 1));
    const int rowPlanes = planar ? planes + (masking == 1 ? 1 : 0) : 1;
    const std::vector<unsigned char> body(bytes.begin() + static_cast<std::ptrdiff_t>(bodyAt),
                                          bytes.begin() + static_cast<std::ptrdiff_t>(bodyAt + bodySize));
    Reader px(body);
    std::vector<unsigned char> row(rowBytes * static_cast<std::size_t>(rowPlanes));
    for (int y = 0; y < h; ++y) {
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
        for (int x = 0; x < w; ++x) {
            if (!planar) {
                img.setIndex(x, y, row[static_cast<std::size_t>(x)]);
                continue;
            }
            int v = 0;
            for (int p = 0; p < planes; ++p)
                v |= ((row[static_cast<std::size_t>(p) * rowBytes + static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1) << p;
            img.setIndex(x, y, v);
        }
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
