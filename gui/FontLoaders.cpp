// Readers of the bitmap font kinds: GRX and BIOS .fnt files, .itf, font
// scripts and fonts grabbed from images, every size checked against the file.
// gui/Font.cpp loads and draws fonts through these.
#include "gui/FontLoaders.h"

#include "gui/FontImage.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace fontfiles {

namespace {

bool isRegularFile(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

std::string baseName(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string lowerExtension(const std::string& path)
{
    const std::string name = baseName(path);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::string locate(const std::string& fileName)
{
    if (isRegularFile(fileName))
        return fileName;
    const char* windir = std::getenv("WINDIR");
    if (windir == nullptr || *windir == 0)
        windir = std::getenv("windir");
    if (windir == nullptr || *windir == 0)
        return {};
    const std::string name = baseName(fileName);
    if (name.empty())
        return {};
    const std::string candidate = std::string(windir) + "/fonts/" + name;
    return isRegularFile(candidate) ? candidate : std::string();
}

namespace {

bool readWholeFile(const std::string& path, std::vector<unsigned char>& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Frees a monochrome font whose building failed half-way: any of the parts
// may be missing, and so may any of the `count` glyphs. Returns nullptr.
FONT* freeMonoFont(FONT* font, FONT_MONO_DATA* data, FONT_GLYPH** glyphs, int count)
{
    if (glyphs != nullptr)
        for (int i = 0; i < count; ++i)
            std::free(glyphs[i]);
    std::free(glyphs);
    std::free(data);
    std::free(font);
    return nullptr;
}

// Builds an Allegro monochrome font of the characters [first, first + count)
// whose glyph i is width(i) pixels wide and `height` high, with rows of
// (width + 7) / 8 bytes, leftmost pixel in the high bit, taken from bits(i).
// Allegro's destroy_font frees it.
template <class Width, class Bits>
FONT* makeMonoFont(int first, int count, int height, Width width, Bits bits)
{
    auto* font = static_cast<FONT*>(std::malloc(sizeof(FONT)));
    auto* data = static_cast<FONT_MONO_DATA*>(std::malloc(sizeof(FONT_MONO_DATA)));
    auto** glyphs = static_cast<FONT_GLYPH**>(std::calloc(static_cast<std::size_t>(count), sizeof(FONT_GLYPH*)));
    bool ok = font != nullptr && data != nullptr && glyphs != nullptr;
    for (int i = 0; ok && i < count; ++i) {
        const int w = width(i);
        // Allegro's glyph drawing cannot cope with empty glyphs: a character
        // without width becomes one blank column.
        const std::size_t bytes = static_cast<std::size_t>((std::max(w, 1) + 7) / 8) * height;
        auto* glyph = static_cast<FONT_GLYPH*>(std::calloc(1, sizeof(FONT_GLYPH) + bytes));
        if (glyph == nullptr) {
            ok = false;
            break;
        }
        glyph->w = static_cast<short>(std::max(w, 1));
        glyph->h = static_cast<short>(height);
        if (w > 0)
            std::memcpy(glyph->dat, bits(i), bytes);
        glyphs[i] = glyph;
    }
    if (!ok)
        return freeMonoFont(font, data, glyphs, count);
    data->begin = first;
    data->end = first + count;
    data->glyphs = glyphs;
    data->next = nullptr;
    font->data = data;
    font->height = height;
    font->vtable = font_vtable_mono;
    return font;
}

// Raw 8-pixel-wide font of 256 characters, `height` bytes each.
FONT* makeRawFont(const std::vector<unsigned char>& bytes, int height)
{
    return makeMonoFont(
        0, 256, height, [](int) { return 8; },
        [&](int i) { return bytes.data() + static_cast<std::size_t>(i) * height; });
}

unsigned readU16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t readU32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

constexpr std::uint32_t grxMagic = 0x19590214;
constexpr std::size_t grxHeaderSize = 56;

// A GRX font: a 56-byte header (magic, bitmap size, width, height, first and
// last character, fixed-width flag, ...), a width table of 16-bit entries
// when the font is proportional, then each character's rows. Everything is
// checked against the file size before a byte of it is used.
FONT* loadGrx(const std::vector<unsigned char>& bytes)
{
    if (bytes.size() < grxHeaderSize || readU32(bytes.data()) != grxMagic)
        return nullptr;
    const unsigned char* h = bytes.data();
    const unsigned fixedWidth = readU16(h + 8);
    const unsigned height = readU16(h + 10);
    const unsigned first = readU16(h + 12);
    const unsigned last = readU16(h + 14);
    const bool fixed = readU16(h + 16) != 0;
    if (height == 0 || height > 255 || last < first)
        return nullptr;
    const std::size_t count = last - first + 1;
    std::size_t pos = grxHeaderSize;
    std::vector<int> widths(count, static_cast<int>(fixedWidth));
    if (!fixed) {
        if (bytes.size() - pos < count * 2)
            return nullptr;
        for (std::size_t i = 0; i < count; ++i)
            widths[i] = static_cast<int>(readU16(h + pos + 2 * i));
        pos += count * 2;
    }
    std::vector<std::size_t> offsets(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (widths[i] > 255)
            return nullptr;
        const std::size_t glyphBytes = static_cast<std::size_t>((widths[i] + 7) / 8) * height;
        if (bytes.size() - pos < glyphBytes)
            return nullptr;
        offsets[i] = pos;
        pos += glyphBytes;
    }
    return makeMonoFont(
        static_cast<int>(first), static_cast<int>(count), static_cast<int>(height),
        [&](int i) { return widths[static_cast<std::size_t>(i)]; },
        [&](int i) { return h + offsets[static_cast<std::size_t>(i)]; });
}

// A BIOS font: 256 characters 8 pixels wide, one byte per row; the height
// follows from the file size.
FONT* loadBios(const std::vector<unsigned char>& bytes)
{
    if (bytes.empty() || bytes.size() % 256 != 0 || bytes.size() / 256 > 64)
        return nullptr;
    return makeRawFont(bytes, static_cast<int>(bytes.size() / 256));
}

FONT* loadItf(const std::vector<unsigned char>& bytes)
{
    constexpr std::size_t itfSize = 256 * 8;
    if (bytes.size() < itfSize)
        return nullptr;
    return makeRawFont(bytes, 8);
}

// The glyph boxes of a font image: rectangles of any colour but the border
// colour (the colour of the top-left pixel), separated by border lines, read
// row by row from the top left. Box i holds character 32 + i.
struct GlyphBox {
    int x, y, w, h;
};

std::vector<GlyphBox> findGlyphBoxes(BITMAP* image)
{
    constexpr std::size_t maxGlyphs = 0x10000;
    std::vector<GlyphBox> boxes;
    const int border = getpixel(image, 0, 0);
    auto isBorder = [&](int x, int y) {
        return x < 0 || y < 0 || x >= image->w || y >= image->h || getpixel(image, x, y) == border;
    };
    for (int y = 0; y < image->h && boxes.size() < maxGlyphs; ++y)
        for (int x = 0; x < image->w && boxes.size() < maxGlyphs; ++x) {
            // A box starts where a non-border pixel has border above and to
            // the left.
            if (isBorder(x, y) || !isBorder(x, y - 1) || !isBorder(x - 1, y))
                continue;
            int w = 1, h = 1;
            while (!isBorder(x + w, y))
                ++w;
            while (!isBorder(x, y + h))
                ++h;
            boxes.push_back(GlyphBox{x, y, w, h});
            x += w;
        }
    return boxes;
}

// The height of a font grabbed from these boxes: the tallest box.
int tallestBox(const std::vector<GlyphBox>& boxes)
{
    int height = 0;
    for (const GlyphBox& b : boxes)
        height = std::max(height, b.h);
    return height;
}

// True for an 8-bit image whose boxes hold only colour 0 and one other.
bool holdsOneInk(BITMAP* image, const std::vector<GlyphBox>& boxes)
{
    bool mono = bitmap_color_depth(image) == 8;
    int ink = -1;
    for (const GlyphBox& b : boxes)
        for (int y = b.y; mono && y < b.y + b.h; ++y)
            for (int x = b.x; mono && x < b.x + b.w; ++x) {
                const int c = getpixel(image, x, y);
                if (c == 0 || c == ink)
                    continue;
                if (ink < 0)
                    ink = c;
                else
                    mono = false;
            }
    return mono;
}

// A one-colour glyph of a box: a bit set for every pixel that is not 0.
FONT_GLYPH* grabMonoGlyph(BITMAP* image, const GlyphBox& b)
{
    const int stride = (b.w + 7) / 8;
    auto* g = static_cast<FONT_GLYPH*>(std::calloc(1, sizeof(FONT_GLYPH) + static_cast<std::size_t>(stride) * b.h));
    if (g == nullptr)
        return nullptr;
    g->w = static_cast<short>(b.w);
    g->h = static_cast<short>(b.h);
    for (int y = 0; y < b.h; ++y)
        for (int x = 0; x < b.w; ++x)
            if (getpixel(image, b.x + x, b.y + y) != 0)
                g->dat[y * stride + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    return g;
}

// Makes `font` a one-colour font of the boxes' glyphs; frees it and
// returns null when memory runs out.
FONT* fillMonoFont(FONT* font, BITMAP* image, const std::vector<GlyphBox>& boxes)
{
    const int count = static_cast<int>(boxes.size());
    auto* data = static_cast<FONT_MONO_DATA*>(std::malloc(sizeof(FONT_MONO_DATA)));
    auto** glyphs = static_cast<FONT_GLYPH**>(std::calloc(static_cast<std::size_t>(count), sizeof(FONT_GLYPH*)));
    bool ok = data != nullptr && glyphs != nullptr;
    for (int i = 0; ok && i < count; ++i) {
        glyphs[i] = grabMonoGlyph(image, boxes[static_cast<std::size_t>(i)]);
        ok = glyphs[i] != nullptr;
    }
    if (!ok)
        return freeMonoFont(font, data, glyphs, count);
    *data = FONT_MONO_DATA{32, 32 + count, glyphs, nullptr};
    font->data = data;
    font->vtable = font_vtable_mono;
    return font;
}

// Makes `font` a colour font whose glyphs are copies of the boxes; frees it
// and returns null when memory runs out.
FONT* fillColourFont(FONT* font, BITMAP* image, const std::vector<GlyphBox>& boxes)
{
    const int count = static_cast<int>(boxes.size());
    auto* data = static_cast<FONT_COLOR_DATA*>(std::malloc(sizeof(FONT_COLOR_DATA)));
    auto** bitmaps = static_cast<BITMAP**>(std::calloc(static_cast<std::size_t>(count), sizeof(BITMAP*)));
    bool ok = data != nullptr && bitmaps != nullptr;
    for (int i = 0; ok && i < count; ++i) {
        const GlyphBox& b = boxes[static_cast<std::size_t>(i)];
        bitmaps[i] = create_bitmap_ex(bitmap_color_depth(image), b.w, b.h);
        if (bitmaps[i] == nullptr)
            ok = false;
        else
            blit(image, bitmaps[i], b.x, b.y, 0, 0, b.w, b.h);
    }
    if (!ok) {
        if (bitmaps != nullptr)
            for (int i = 0; i < count; ++i)
                if (bitmaps[i] != nullptr)
                    destroy_bitmap(bitmaps[i]);
        std::free(bitmaps);
        std::free(data);
        std::free(font);
        return nullptr;
    }
    *data = FONT_COLOR_DATA{32, 32 + count, bitmaps, nullptr};
    font->data = data;
    font->vtable = font_vtable_color;
    return font;
}

// Builds an Allegro font from the glyph boxes of an image. An 8-bit image
// whose boxes hold only colour 0 and one other colour gives a one-colour
// font (drawn in the text colour); anything else a colour font whose glyphs
// keep their own colours, the mask colour being transparent.
FONT* grabFont(BITMAP* image)
{
    const std::vector<GlyphBox> boxes = findGlyphBoxes(image);
    if (boxes.empty())
        return nullptr;
    auto* font = static_cast<FONT*>(std::malloc(sizeof(FONT)));
    if (font == nullptr)
        return nullptr;
    font->height = tallestBox(boxes);
    return holdsOneInk(image, boxes) ? fillMonoFont(font, image, boxes) : fillColourFont(font, image, boxes);
}

FONT* loadImageFont(const std::string& path)
{
    PALETTE palette;
    BITMAP* image = readImageFile(path, palette);
    if (image == nullptr)
        return nullptr;
    FONT* f = grabFont(image);
    destroy_bitmap(image);
    return f;
}

// One line of a font script.
struct ScriptLine {
    enum Kind { Blank, Range, Bad } kind = Blank;
    std::string file;   // "-": the previous file
    long first = 0;
    long last = -1;     // -1: all the rest of the file
};

// Splits a line into file, first and last code; blank lines and comments
// are Blank, codes that are not numbers or out of order Bad.
ScriptLine parseScriptLine(const std::string& text)
{
    ScriptLine line;
    std::istringstream fields(text);
    if (!(fields >> line.file) || line.file[0] == '#')
        return line;
    line.kind = ScriptLine::Bad;
    std::string firstText, lastText;
    fields >> firstText >> lastText;
    char* end = nullptr;
    line.first = std::strtol(firstText.c_str(), &end, 0);
    if (firstText.empty() || *end != 0 || line.first < 0 || line.first > 0x10ffff)
        return line;
    if (!lastText.empty()) {
        line.last = std::strtol(lastText.c_str(), &end, 0);
        if (*end != 0 || line.last < line.first || line.last > 0x10ffff)
            return line;
    }
    line.kind = ScriptLine::Range;
    return line;
}

// The font file a script is taking glyphs from, and the next glyph to take.
class ScriptSource {
public:
    explicit ScriptSource(std::string folder) : folder_(std::move(folder)) {}
    ~ScriptSource() { drop(); }
    ScriptSource(const ScriptSource&) = delete;
    ScriptSource& operator=(const ScriptSource&) = delete;

    // The glyphs of a range line as a font of their own, moved to the
    // line's codes; null when the file cannot be read or has too few glyphs.
    FONT* take(const ScriptLine& line)
    {
        if (line.file != "-" && !open(line.file))
            return nullptr;
        if (font_ == nullptr)
            return nullptr;
        const long count = line.last >= 0 ? line.last - line.first + 1 : end_ - next_;
        if (count < 1 || next_ + count > end_)
            return nullptr;
        FONT* part = extract_font_range(font_, next_, static_cast<int>(next_ + count - 1));
        if (part == nullptr || transpose_font(part, static_cast<int>(line.first - next_)) != 0) {
            if (part != nullptr)
                destroy_font(part);
            return nullptr;
        }
        next_ += static_cast<int>(count);
        return part;
    }

private:
    // Loads a font file named relative to the script's folder (or as it
    // stands); scripts may not name other scripts.
    bool open(const std::string& name)
    {
        drop();
        const std::string ext = lowerExtension(name);
        std::string file = folder_ + name;
        if (!isRegularFile(file))
            file = name;
        if (ext != "txt" && isRegularFile(file))
            font_ = loadFontFile(file, ext);
        if (font_ == nullptr || get_font_ranges(font_) < 1)
            return false;
        next_ = get_font_range_begin(font_, 0);
        end_ = get_font_range_end(font_, get_font_ranges(font_) - 1) + 1;
        return true;
    }

    void drop()
    {
        if (font_ != nullptr)
            destroy_font(font_);
        font_ = nullptr;
    }

    std::string folder_;
    FONT* font_ = nullptr;
    int next_ = 0;   // code of the next unused glyph
    int end_ = 0;    // one past the last code
};

// Adds a part to the font being built (taking the part over). False when
// the two cannot be merged; the font is then gone too.
bool appendPart(FONT*& result, FONT* part)
{
    if (result == nullptr) {
        result = part;
        return true;
    }
    FONT* merged = merge_fonts(result, part);
    destroy_font(part);
    destroy_font(result);
    result = merged;
    return merged != nullptr;
}

// An Allegro font script: one line per range, "file first [last]". The file's
// glyphs, in order, are given the codes first..last (all the rest of the file
// without last); "-" as the file name goes on with the glyphs of the previous
// file. File names are relative to the script's folder. Scripts may name the
// image, GRX/BIOS and raw fonts, not other scripts.
FONT* loadScript(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        return nullptr;
    const auto slash = path.find_last_of("/\\");
    ScriptSource source(slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
    FONT* result = nullptr;
    bool ok = true;
    std::string text;
    while (ok && std::getline(in, text)) {
        const ScriptLine line = parseScriptLine(text);
        if (line.kind == ScriptLine::Blank)
            continue;
        FONT* part = line.kind == ScriptLine::Range ? source.take(line) : nullptr;
        ok = part != nullptr && appendPart(result, part);
    }
    if (!ok && result != nullptr) {
        destroy_font(result);
        result = nullptr;
    }
    return result;
}

} // namespace

bool isBitmapFontExtension(const std::string& ext)
{
    return ext == "bmp" || ext == "pcx" || ext == "lbm" || ext == "tga" || ext == "txt" || ext == "itf" ||
           ext == "fnt";
}

FONT* loadFontFile(const std::string& path, const std::string& ext)
{
    if (ext == "bmp" || ext == "pcx" || ext == "lbm" || ext == "tga")
        return loadImageFont(path);
    if (ext == "txt")
        return loadScript(path);
    std::vector<unsigned char> bytes;
    if (!readWholeFile(path, bytes))
        return nullptr;
    if (ext == "itf")
        return loadItf(bytes);
    if (ext != "fnt")
        return nullptr;
    if (bytes.size() >= 4 && readU32(bytes.data()) == grxMagic)
        return loadGrx(bytes);
    return loadBios(bytes);
}

} // namespace fontfiles
