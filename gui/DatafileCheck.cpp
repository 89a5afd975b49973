// Checking a datafile before Allegro loads it: LZSS unpacking, then a walk
// over the objects, their properties and nested files that checks every
// size, bitmap, sprite, sample, MIDI and font against the bytes there are.
#include "gui/DatafileCheck.h"

#include <allegro.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr std::uint32_t packMagic = 0x736C6821u;    // "slh!"
constexpr std::uint32_t noPackMagic = 0x736C682Eu;  // "slh."

// No sound datafile nests deeper than this.
constexpr int maxDepth = 32;
// Files larger than this are not taken for skin datafiles.
constexpr long maxFileSize = 256L * 1024 * 1024;
// LZSS output never exceeds this.
constexpr std::size_t maxUnpacked = 512u * 1024 * 1024;

constexpr std::uint32_t id(char a, char b, char c, char d)
{
    return (std::uint32_t(std::uint8_t(a)) << 24) | (std::uint32_t(std::uint8_t(b)) << 16) |
           (std::uint32_t(std::uint8_t(c)) << 8) | std::uint32_t(std::uint8_t(d));
}

constexpr std::uint32_t idAll = id('A', 'L', 'L', '.');
constexpr std::uint32_t idProp = id('p', 'r', 'o', 'p');
constexpr std::uint32_t idFile = id('F', 'I', 'L', 'E');
constexpr std::uint32_t idFont = id('F', 'O', 'N', 'T');
constexpr std::uint32_t idSample = id('S', 'A', 'M', 'P');
constexpr std::uint32_t idMidi = id('M', 'I', 'D', 'I');
constexpr std::uint32_t idBitmap = id('B', 'M', 'P', ' ');
constexpr std::uint32_t idRle = id('R', 'L', 'E', ' ');
constexpr std::uint32_t idCSprite = id('C', 'M', 'P', ' ');
constexpr std::uint32_t idXcSprite = id('X', 'C', 'M', 'P');
constexpr std::uint32_t idPalette = id('P', 'A', 'L', ' ');
constexpr std::uint32_t endMarker = 0xFFFFFFFFu;  // DAT_END

// Big-endian reads within a byte range; every read checks what is left.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t left() const { return size_ - pos_; }
    const std::uint8_t* here() const { return data_ + pos_; }

    bool u8(std::uint32_t& v)
    {
        if (left() < 1)
            return false;
        v = data_[pos_++];
        return true;
    }
    bool u16(std::uint32_t& v)
    {
        if (left() < 2)
            return false;
        v = (std::uint32_t(data_[pos_]) << 8) | data_[pos_ + 1];
        pos_ += 2;
        return true;
    }
    bool s16(std::int32_t& v)
    {
        std::uint32_t u;
        if (!u16(u))
            return false;
        v = static_cast<std::int16_t>(static_cast<std::uint16_t>(u));
        return true;
    }
    bool u32(std::uint32_t& v)
    {
        if (left() < 4)
            return false;
        v = (std::uint32_t(data_[pos_]) << 24) | (std::uint32_t(data_[pos_ + 1]) << 16) |
            (std::uint32_t(data_[pos_ + 2]) << 8) | data_[pos_ + 3];
        pos_ += 4;
        return true;
    }
    bool s32(std::int64_t& v)
    {
        std::uint32_t u;
        if (!u32(u))
            return false;
        v = static_cast<std::int32_t>(u);
        return true;
    }
    bool peek32(std::uint32_t& v) const
    {
        Reader copy = *this;
        return copy.u32(v);
    }
    bool skip(std::uint64_t n)
    {
        if (n > left())
            return false;
        pos_ += static_cast<std::size_t>(n);
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

bool checkObjects(Reader& in, int depth);

// Bitmaps and compiled sprites: depth, width, height, then the pixels
// (1 byte at 8 bits, 2 at 15/16, 3 at 24/32, 4 for 32-bit RGBA).
bool checkBitmap(Reader in)
{
    std::int32_t bits, w, h;
    if (!in.s16(bits) || !in.s16(w) || !in.s16(h))
        return false;
    int bytes;
    switch (bits) {
    case 8: bytes = 1; break;
    case 15:
    case 16: bytes = 2; break;
    case 24:
    case 32: bytes = 3; break;
    case -32: bytes = 4; break;
    default: return false;
    }
    if (w <= 0 || h <= 0)
        return false;
    return std::uint64_t(w) * std::uint64_t(h) * std::uint64_t(bytes) <= in.left();
}

// Run-length sprites: depth, width, height, the size of the sprite in
// memory, then the runs, line by line: a count (negative: pixels skipped;
// positive: that many pixels follow), and an end-of-line marker after each
// line. At 8 bits counts, markers (0) and pixels are single bytes, and the
// size's bytes are read as they are. At higher depths Allegro converts the
// runs while reading: counts and markers are 16 bits at 15/16 bits per pixel
// and 32 bits above, least significant byte first; pixels take 2 bytes at
// 15/16 bits, 3 at 24/32 and 4 in 32-bit RGBA. Every count, marker and pixel
// becomes one unit of the sprite in memory, which must hold all the lines:
// Allegro walks the runs of every line when it converts or draws a sprite
// and would read past the sprite's end otherwise.
bool checkRle(Reader in)
{
    std::int32_t bits, w, h;
    std::int64_t size;
    if (!in.s16(bits) || !in.s16(w) || !in.s16(h) || !in.s32(size))
        return false;
    if (w <= 0 || h <= 0 || size < 0)
        return false;
    int unit, pixelBytes;
    std::uint32_t eol;
    switch (bits) {
    case 8:
        if (std::uint64_t(size) > in.left())
            return false;
        unit = 1; pixelBytes = 1; eol = MASK_COLOR_8; break;
    case 15:
    case 16: unit = 2; pixelBytes = 2; eol = MASK_COLOR_16; break;
    case 24:
    case 32: unit = 4; pixelBytes = 3; eol = MASK_COLOR_32; break;
    case -32: unit = 4; pixelBytes = 4; eol = MASK_COLOR_32; break;
    default: return false;
    }
    std::uint64_t units = 0;
    const std::uint64_t maxUnits = std::uint64_t(size) / unit;
    auto next = [&](std::uint32_t& u) {
        if (in.left() < std::size_t(unit) || ++units > maxUnits)
            return false;
        const std::uint8_t* p = in.here();
        u = unit == 1   ? p[0]
            : unit == 2 ? (p[0] | (std::uint32_t(p[1]) << 8))
                        : (p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                           (std::uint32_t(p[3]) << 24));
        in.skip(unit);
        return true;
    };
    for (int y = 0; y < h; ++y) {
        std::uint32_t u;
        if (!next(u))
            return false;
        while (u != eol) {
            std::int64_t c = unit == 1   ? std::int64_t(std::int8_t(std::uint8_t(u)))
                           : unit == 2 ? std::int64_t(std::int16_t(std::uint16_t(u)))
                                       : std::int64_t(std::int32_t(u));
            if (c > 0) {
                units += std::uint64_t(c);
                if (units > maxUnits || !in.skip(std::uint64_t(c) * pixelBytes))
                    return false;
            }
            if (!next(u))
                return false;
        }
    }
    return true;
}

// Samples: bits (negative for stereo), frequency, length, then the data.
bool checkSample(Reader in)
{
    std::int32_t bits, freq;
    std::uint32_t length;
    if (!in.s16(bits) || !in.s16(freq) || !in.u32(length))
        return false;
    int channels = bits < 0 ? 2 : 1;
    int abits = bits < 0 ? -bits : bits;
    if (abits != 8 && abits != 16)
        return false;
    return std::uint64_t(length) * channels * (abits / 8) <= in.left();
}

// MIDI: divisions, then 32 tracks of length + data.
bool checkMidi(Reader in)
{
    std::uint32_t divisions;
    if (!in.u16(divisions))
        return false;
    for (int i = 0; i < 32; ++i) {
        std::int64_t length;
        if (!in.s32(length) || length < 0 || !in.skip(std::uint64_t(length)))
            return false;
    }
    return true;
}

bool checkGlyphs(Reader& in, std::int64_t count, bool mono)
{
    for (std::int64_t i = 0; i < count; ++i) {
        std::int32_t w, h;
        if (!in.s16(w) || !in.s16(h) || w < 0 || h < 0)
            return false;
        std::uint64_t bytes = mono ? std::uint64_t((w + 7) / 8) * h : std::uint64_t(w) * h;
        if (!in.skip(bytes))
            return false;
    }
    return true;
}

// Fonts in the old fixed 8x8 / 8x16 and proportional forms and the newer form
// with character ranges.
bool checkFont(Reader in)
{
    std::int32_t kind;
    if (!in.s16(kind))
        return false;
    switch (kind) {
    case 8: return in.skip(95 * 8);
    case 16: return in.skip(95 * 16);
    case -1: return checkGlyphs(in, 95, false);
    case 0: {
        std::int32_t ranges;
        if (!in.s16(ranges) || ranges < 0)
            return false;
        for (int r = 0; r < ranges; ++r) {
            std::uint32_t mono, start, end;
            if (!in.u8(mono) || !in.u32(start) || !in.u32(end))
                return false;
            // A range may be empty (end just before start), never reversed.
            if (std::uint64_t(end) + 1 < start || start > 0x10FFFF || end > 0x10FFFF)
                return false;
            std::int64_t count = std::int64_t(end) - start + 1;
            if (std::uint64_t(count) * 4 > in.left())
                return false;
            if (!checkGlyphs(in, count, mono == 1))
                return false;
        }
        return true;
    }
    default: return false;
    }
}

bool checkContent(std::uint32_t type, const std::uint8_t* data, std::size_t size, int depth)
{
    Reader in(data, size);
    switch (type) {
    case idFile: return checkObjects(in, depth + 1);
    case idBitmap:
    case idCSprite:
    case idXcSprite: return checkBitmap(in);
    case idRle: return checkRle(in);
    case idSample: return checkSample(in);
    case idMidi: return checkMidi(in);
    case idFont: return checkFont(in);
    case idPalette: return size >= 256 * 4;
    default: return true;  // kept as raw bytes
    }
}

bool checkObject(Reader& in, int depth)
{
    std::uint32_t type;
    // Properties come first, each "prop", type, size, text.
    for (;;) {
        if (!in.u32(type))
            return false;
        if (type != idProp)
            break;
        std::uint32_t propType;
        std::int64_t propSize;
        if (!in.u32(propType) || !in.s32(propSize) || propSize < 0 ||
            !in.skip(std::uint64_t(propSize)))
            return false;
        // Allegro ends its lists of properties with this type: one read from
        // the file would hide (and leak) the properties after it.
        if (propType == endMarker)
            return false;
    }
    if (type == endMarker)
        return false;  // likewise for the objects of a datafile
    std::int64_t packedSize, size;
    if (!in.s32(packedSize) || !in.s32(size))
        return false;
    if (packedSize < 0 || std::uint64_t(packedSize) > in.left())
        return false;
    const std::uint8_t* raw = in.here();
    in.skip(std::uint64_t(packedSize));
    if (size >= 0) {
        if (size != packedSize)
            return false;
        return checkContent(type, raw, static_cast<std::size_t>(size), depth);
    }
    // An object compressed on its own: -size bytes of LZSS output.
    std::uint64_t expected = std::uint64_t(-size);
    if (expected > maxUnpacked)
        return false;
    std::vector<std::uint8_t> content;
    if (!unpackLzss(raw, static_cast<std::size_t>(packedSize), content,
                    static_cast<std::size_t>(expected)) ||
        content.size() != expected)
        return false;
    return checkContent(type, content.data(), content.size(), depth);
}

bool checkObjects(Reader& in, int depth)
{
    if (depth > maxDepth)
        return false;
    std::int64_t count;
    if (!in.s32(count) || count < 0)
        return false;
    // Every object takes at least its type and two sizes.
    if (std::uint64_t(count) * 12 > in.left())
        return false;
    for (std::int64_t i = 0; i < count; ++i)
        if (!checkObject(in, depth))
            return false;
    return true;
}

bool checkBody(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    std::uint32_t magic;
    if (!in.u32(magic) || magic != idAll)
        return false;
    return checkObjects(in, 0);
}

}  // namespace

bool unpackLzss(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out,
                std::size_t maxOutput)
{
    constexpr unsigned ringSize = 4096;
    constexpr unsigned maxMatch = 18;
    std::uint8_t ring[ringSize] = {};
    unsigned r = ringSize - maxMatch;
    std::size_t pos = 0;
    out.clear();
    while (pos < size) {
        unsigned flags = data[pos++];
        for (int bit = 0; bit < 8; ++bit, flags >>= 1) {
            if (pos >= size)
                return true;  // the unused tokens of the last flags byte
            if (flags & 1) {
                if (out.size() >= maxOutput)
                    return false;
                std::uint8_t c = data[pos++];
                out.push_back(c);
                ring[r] = c;
                r = (r + 1) & (ringSize - 1);
            } else {
                if (pos + 1 >= size)
                    return false;  // a match cut in half
                unsigned i = data[pos] | ((data[pos + 1] & 0xF0u) << 4);
                unsigned length = (data[pos + 1] & 0x0Fu) + 3;
                pos += 2;
                if (out.size() + length > maxOutput)
                    return false;
                for (unsigned k = 0; k < length; ++k) {
                    unsigned at = (i + k) & (ringSize - 1);
                    // Allegro clears only the ring before its start position:
                    // the bytes after it are undefined until written.
                    if (at >= ringSize - maxMatch && at - (ringSize - maxMatch) >= out.size())
                        return false;
                    std::uint8_t c = ring[at];
                    out.push_back(c);
                    ring[r] = c;
                    r = (r + 1) & (ringSize - 1);
                }
            }
        }
    }
    return true;
}

bool isSoundDatafile(const std::vector<std::uint8_t>& bytes)
{
    Reader in(bytes.data(), bytes.size());
    std::uint32_t magic;
    if (!in.u32(magic))
        return false;
    if (magic == noPackMagic)
        return checkBody(in.here(), in.left());
    if (magic != packMagic)
        return false;
    std::vector<std::uint8_t> body;
    if (!unpackLzss(in.here(), in.left(), body, maxUnpacked))
        return false;
    return checkBody(body.data(), body.size());
}

DatafileStatus checkDatafile(const char* fileName)
{
    if (!fileName || !*fileName || !exists(fileName))
        return DatafileStatus::MISSING;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(fileName, "rb"), std::fclose);
    if (!f)
        return DatafileStatus::CORRUPT;
    if (std::fseek(f.get(), 0, SEEK_END) != 0)
        return DatafileStatus::CORRUPT;
    long size = std::ftell(f.get());
    if (size < 0 || size > maxFileSize || std::fseek(f.get(), 0, SEEK_SET) != 0)
        return DatafileStatus::CORRUPT;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
        return DatafileStatus::CORRUPT;
    return isSoundDatafile(bytes) ? DatafileStatus::OK : DatafileStatus::CORRUPT;
}
