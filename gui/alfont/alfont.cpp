// Scalable fonts for Allegro 4 on FreeType: loading, sizes, a per-size glyph
// cache, measuring and drawing (plain and anti-aliased) with clipping.
#include "gui/alfont/alfont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

namespace {

constexpr int minSize = 1;
constexpr int maxSize = ALFONT_MAX_SIZE;
// Per font, this many sizes keep their rendered glyphs; the least recently
// used one is dropped when another size is set.
constexpr std::size_t maxCachedSizes = 8;

struct Glyph {
    bool ready = false;
    int advance = 0;       // pen advance in pixels
    int left = 0;          // bitmap's left edge relative to the pen
    int top = 0;           // bitmap's top row above the baseline
    int width = 0;
    int rows = 0;
    std::vector<unsigned char> coverage;   // width * rows, 0..255
};

struct SizeCache {
    int key = 0;           // pixel size (scalable) or strike index (fixed)
    int size = 0;          // pixel size reported to the caller
    int ascent = 0;
    int descent = 0;
    unsigned long lastUse = 0;
    std::array<Glyph, 256> glyphs;
};

FT_Library library = nullptr;

// Fonts made and not yet destroyed. Never torn down itself: fonts held by
// other static objects may be destroyed during program exit, after this
// file's statics would otherwise be gone.
std::unordered_set<ALFONT_FONT*>& liveFonts = *new std::unordered_set<ALFONT_FONT*>;
int textBackground = -1;
unsigned long useClock = 0;

} // namespace

struct ALFONT_FONT {
    std::vector<unsigned char> fileData;   // FreeType reads the face from here
    FT_Face face = nullptr;
    std::array<FT_UInt, 256> glyphIndex{};
    bool kerning = false;
    std::vector<std::unique_ptr<SizeCache>> caches;
    SizeCache* current = nullptr;
    long rendered = 0;
};

namespace {

bool isLive(const ALFONT_FONT* f)
{
    return f != nullptr && liveFonts.count(const_cast<ALFONT_FONT*>(f)) != 0;
}

void freeFont(ALFONT_FONT* f)
{
    if (f->face != nullptr)
        FT_Done_Face(f->face);
    delete f;
}

// Chooses the character map Latin-1 bytes are looked up in and records the
// glyph index of every byte value.
void mapCharacters(ALFONT_FONT* f)
{
    FT_Face face = f->face;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 &&
        FT_Select_Charmap(face, FT_ENCODING_ADOBE_LATIN_1) != 0 &&
        face->charmap == nullptr && face->num_charmaps > 0)
        FT_Set_Charmap(face, face->charmaps[0]);
    const bool symbol = face->charmap != nullptr && face->charmap->encoding == FT_ENCODING_MS_SYMBOL;
    for (unsigned c = 0; c < 256; ++c) {
        FT_UInt index = face->charmap != nullptr ? FT_Get_Char_Index(face, c) : 0;
        if (index == 0 && symbol)
            index = FT_Get_Char_Index(face, 0xF000u + c);
        if (index >= static_cast<FT_UInt>(face->num_glyphs))
            index = 0;
        f->glyphIndex[c] = index;
    }
}

int roundedPixels(FT_Pos v) { return static_cast<int>((v + 32) >> 6); }

// Selects size h on the face and makes its glyph cache current.
bool applySize(ALFONT_FONT* f, int h)
{
    FT_Face face = f->face;
    int key = h;
    int reported = h;
    if (FT_IS_SCALABLE(face)) {
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(h)) != 0)
            return false;
    } else {
        if (face->num_fixed_sizes <= 0 || face->available_sizes == nullptr)
            return false;
        int best = 0;
        for (int i = 1; i < face->num_fixed_sizes; ++i)
            if (std::abs(face->available_sizes[i].height - h) <
                std::abs(face->available_sizes[best].height - h))
                best = i;
        if (FT_Select_Size(face, best) != 0)
            return false;
        key = best;
        reported = face->available_sizes[best].height;
        if (reported <= 0)
            reported = h;
    }

    auto found = std::find_if(f->caches.begin(), f->caches.end(),
                              [key](const auto& c) { return c->key == key; });
    if (found == f->caches.end()) {
        if (f->caches.size() >= maxCachedSizes) {
            auto oldest = std::min_element(f->caches.begin(), f->caches.end(),
                                           [](const auto& a, const auto& b) { return a->lastUse < b->lastUse; });
            f->caches.erase(oldest);
        }
        auto cache = std::make_unique<SizeCache>();
        cache->key = key;
        cache->size = reported;
        const FT_Size_Metrics& m = face->size->metrics;
        cache->ascent = std::clamp(static_cast<int>((m.ascender + 63) >> 6), 0, 8 * maxSize);
        cache->descent = std::clamp(static_cast<int>((-m.descender + 63) >> 6), 0, 8 * maxSize);
        if (cache->ascent + cache->descent == 0)
            cache->ascent = reported;
        f->caches.push_back(std::move(cache));
        found = f->caches.end() - 1;
    }
    f->current = found->get();
    f->current->lastUse = ++useClock;
    return true;
}

// Copies a rendered FreeType bitmap into a coverage map of 0..255.
bool takeCoverage(const FT_Bitmap& src, Glyph& g)
{
    FT_Bitmap converted;
    FT_Bitmap_Init(&converted);
    const FT_Bitmap* bm = &src;
    int levels = 256;
    if (src.pixel_mode != FT_PIXEL_MODE_MONO && src.pixel_mode != FT_PIXEL_MODE_GRAY &&
        src.pixel_mode != FT_PIXEL_MODE_BGRA) {
        if (FT_Bitmap_Convert(library, &src, &converted, 1) != 0) {
            FT_Bitmap_Done(library, &converted);
            return false;
        }
        bm = &converted;
        levels = converted.num_grays;
    } else if (src.pixel_mode == FT_PIXEL_MODE_GRAY) {
        levels = src.num_grays;
    }
    if (levels < 2)
        levels = 2;

    const int w = static_cast<int>(bm->width);
    const int h = static_cast<int>(bm->rows);
    g.width = w;
    g.rows = h;
    g.coverage.assign(static_cast<std::size_t>(w) * h, 0);
    if (w > 0 && h > 0 && bm->buffer != nullptr) {
        for (int y = 0; y < h; ++y) {
            const unsigned char* row = bm->buffer + static_cast<std::ptrdiff_t>(y) * bm->pitch;
            unsigned char* out = g.coverage.data() + static_cast<std::size_t>(y) * w;
            for (int x = 0; x < w; ++x) {
                int v = 0;
                switch (bm->pixel_mode) {
                case FT_PIXEL_MODE_MONO:
                    v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                    break;
                case FT_PIXEL_MODE_BGRA:
                    v = row[x * 4 + 3];
                    break;
                default:
                    v = std::min(255, row[x] * 255 / (levels - 1));
                    break;
                }
                out[x] = static_cast<unsigned char>(v);
            }
        }
    }
    FT_Bitmap_Done(library, &converted);
    return true;
}

// The glyph of byte c at the current size, rendered on first use.
const Glyph& glyphOf(ALFONT_FONT* f, unsigned char c)
{
    Glyph& g = f->current->glyphs[c];
    if (g.ready)
        return g;
    g.ready = true;
    ++f->rendered;
    FT_Face face = f->face;
    const int size = f->current->size;
    if (FT_Load_Glyph(face, f->glyphIndex[c], FT_LOAD_DEFAULT | FT_LOAD_COLOR) != 0)
        return g;
    FT_GlyphSlot slot = face->glyph;
    g.advance = std::clamp(roundedPixels(slot->advance.x), 0, 16 * size + 16);
    // A broken outline can ask for an enormous bitmap; such a glyph is left
    // empty rather than drawn. Outlines are measured before they are
    // rendered: FreeType would allocate and clear the whole bitmap first.
    const int limit = 16 * size + 64;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_BBox box;
        FT_Outline_Get_CBox(&slot->outline, &box);
        const long long pixelWidth = ((static_cast<long long>(box.xMax) + 63) >> 6) - (box.xMin >> 6);
        const long long pixelRows = ((static_cast<long long>(box.yMax) + 63) >> 6) - (box.yMin >> 6);
        if (pixelWidth > limit || pixelRows > limit)
            return g;
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return g;
    if (slot->bitmap.width > static_cast<unsigned>(limit) || slot->bitmap.rows > static_cast<unsigned>(limit))
        return g;
    if (!takeCoverage(slot->bitmap, g)) {
        g.width = g.rows = 0;
        g.coverage.clear();
        return g;
    }
    g.left = std::clamp(static_cast<int>(slot->bitmap_left), -limit, limit);
    g.top = std::clamp(static_cast<int>(slot->bitmap_top), -limit, limit);
    return g;
}

// Walks a text, calling fn(glyph, penX) for each character; returns the
// final pen position, the advance width of the whole text.
template <class Fn>
int layout(ALFONT_FONT* f, const char* s, Fn fn)
{
    if (s == nullptr)
        return 0;
    int pen = 0;
    FT_UInt previous = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p != 0; ++p) {
        const FT_UInt index = f->glyphIndex[*p];
        if (f->kerning && previous != 0 && index != 0) {
            FT_Vector delta{};
            if (FT_Get_Kerning(f->face, previous, index, FT_KERNING_DEFAULT, &delta) == 0)
                pen += std::clamp(roundedPixels(delta.x), -f->current->size, f->current->size);
        }
        const Glyph& g = glyphOf(f, *p);
        fn(g, pen);
        pen += g.advance;
        previous = index;
    }
    return pen;
}

int channelMix(int fg, int bg, int a) { return (fg * a + bg * (255 - a) + 127) / 255; }

// Pixel formats of the true-colour depths, with Allegro's inline colour
// functions, and how a pixel sits in a line of a memory bitmap.
struct Depth15 {
    static int r(int c) { return getr15(c); }
    static int g(int c) { return getg15(c); }
    static int b(int c) { return getb15(c); }
    static int make(int r, int g, int b) { return makecol15(r, g, b); }
    static int read(const unsigned char* line, int x) { return reinterpret_cast<const std::uint16_t*>(line)[x]; }
    static void write(unsigned char* line, int x, int c) { reinterpret_cast<std::uint16_t*>(line)[x] = static_cast<std::uint16_t>(c); }
};
struct Depth16 {
    static int r(int c) { return getr16(c); }
    static int g(int c) { return getg16(c); }
    static int b(int c) { return getb16(c); }
    static int make(int r, int g, int b) { return makecol16(r, g, b); }
    static int read(const unsigned char* line, int x) { return reinterpret_cast<const std::uint16_t*>(line)[x]; }
    static void write(unsigned char* line, int x, int c) { reinterpret_cast<std::uint16_t*>(line)[x] = static_cast<std::uint16_t>(c); }
};
struct Depth24 {
    static int r(int c) { return getr24(c); }
    static int g(int c) { return getg24(c); }
    static int b(int c) { return getb24(c); }
    static int make(int r, int g, int b) { return makecol24(r, g, b); }
    static int read(const unsigned char* line, int x)
    {
        const unsigned char* p = line + 3 * x;
        return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    static void write(unsigned char* line, int x, int c)
    {
        unsigned char* p = line + 3 * x;
        p[0] = static_cast<unsigned char>(c);
        p[1] = static_cast<unsigned char>(c >> 8);
        p[2] = static_cast<unsigned char>(c >> 16);
    }
};
struct Depth32 {
    static int r(int c) { return getr32(c); }
    static int g(int c) { return getg32(c); }
    static int b(int c) { return getb32(c); }
    static int make(int r, int g, int b) { return makecol32(r, g, b); }
    static int read(const unsigned char* line, int x) { return static_cast<int>(reinterpret_cast<const std::uint32_t*>(line)[x]); }
    static void write(unsigned char* line, int x, int c) { reinterpret_cast<std::uint32_t*>(line)[x] = static_cast<std::uint32_t>(c); }
};

template <class D>
int blendIn(int under, int colour, int a)
{
    return D::make(channelMix(D::r(colour), D::r(under), a), channelMix(D::g(colour), D::g(under), a),
                   channelMix(D::b(colour), D::b(under), a));
}

int blend(int depth, int under, int colour, int a)
{
    switch (depth) {
    case 15: return blendIn<Depth15>(under, colour, a);
    case 16: return blendIn<Depth16>(under, colour, a);
    case 24: return blendIn<Depth24>(under, colour, a);
    case 32: return blendIn<Depth32>(under, colour, a);
    default: return colour;
    }
}

// The visible part of one glyph: target rectangle [x0, x1) x [y0, y1) and
// where the glyph's own origin lies.
struct GlyphSpan {
    const Glyph* glyph;
    int gx, gy, x0, x1, y0, y1;
    int coverage(int px, int py) const
    {
        return glyph->coverage[static_cast<std::size_t>(py - gy) * glyph->width + (px - gx)];
    }
};

// How text pixels are put down: plain (coverage at least half sets the
// colour), blended over an opaque background (one colour per coverage level,
// worked out once), or blended over what the target already holds.
enum class Mode { Plain, OnBackground, OverTarget };

struct TextPaint {
    Mode mode;
    int colour;
    int background;
    std::array<int, 256> levels;   // OnBackground: colour of each coverage level
};

// Memory bitmaps of 15 to 32 bits: straight into the lines.
template <class D>
void paintMemory(BITMAP* bmp, const GlyphSpan& s, const TextPaint& p)
{
    for (int py = s.y0; py < s.y1; ++py) {
        unsigned char* line = bmp->line[py];
        const unsigned char* cov = s.glyph->coverage.data() + static_cast<std::size_t>(py - s.gy) * s.glyph->width;
        for (int px = s.x0; px < s.x1; ++px) {
            const int a = cov[px - s.gx];
            if (a == 0)
                continue;
            switch (p.mode) {
            case Mode::Plain:
                if (a >= 128)
                    D::write(line, px, p.colour);
                break;
            case Mode::OnBackground:
                D::write(line, px, p.levels[a]);
                break;
            case Mode::OverTarget:
                D::write(line, px, a == 255 ? p.colour : blendIn<D>(D::read(line, px), p.colour, a));
                break;
            }
        }
    }
}

// Any other bitmap (8 bits, video, system, the screen): Allegro's pixel
// functions, which know how to reach each kind.
void paintGeneric(BITMAP* bmp, int depth, const GlyphSpan& s, const TextPaint& p)
{
    for (int py = s.y0; py < s.y1; ++py)
        for (int px = s.x0; px < s.x1; ++px) {
            const int a = s.coverage(px, py);
            if (a == 0)
                continue;
            switch (p.mode) {
            case Mode::Plain:
                if (a >= 128)
                    putpixel(bmp, px, py, p.colour);
                break;
            case Mode::OnBackground:
                putpixel(bmp, px, py, p.levels[a]);
                break;
            case Mode::OverTarget:
                putpixel(bmp, px, py, a == 255 ? p.colour : blend(depth, getpixel(bmp, px, py), p.colour, a));
                break;
            }
        }
}

enum class Align { Left, Right, Centre };

void drawText(BITMAP* bmp, ALFONT_FONT* f, const char* s, int x, int y, int colour, bool antialiased,
              Align align)
{
    if (bmp == nullptr || s == nullptr || !isLive(f) || f->current == nullptr)
        return;
    const int background = textBackground;
    int length = 0;
    if (align != Align::Left || background >= 0)
        length = layout(f, s, [](const Glyph&, int) {});
    if (align == Align::Right)
        x -= length;
    else if (align == Align::Centre)
        x -= length / 2;

    // Clip rectangle, inclusive left/top, exclusive right/bottom.
    int cl = 0, ct = 0, cr = bmp->w, cb = bmp->h;
    if (bmp->clip) {
        cl = std::max(cl, bmp->cl);
        ct = std::max(ct, bmp->ct);
        cr = std::min(cr, bmp->cr);
        cb = std::min(cb, bmp->cb);
    }
    if (cl >= cr || ct >= cb)
        return;

    const int height = f->current->ascent + f->current->descent;
    if (background >= 0 && length > 0 && height > 0) {
        // Allegro's rectfill does not clip when clipping is switched off.
        const int fx0 = std::max(x, cl), fx1 = std::min(x + length, cr);
        const int fy0 = std::max(y, ct), fy1 = std::min(y + height, cb);
        if (fx0 < fx1 && fy0 < fy1)
            rectfill(bmp, fx0, fy0, fx1 - 1, fy1 - 1, background);
    }
    if (colour < 0)
        return;

    const int depth = bitmap_color_depth(bmp);
    TextPaint paint{Mode::Plain, colour, background, {}};
    if (antialiased && depth > 8) {
        if (background >= 0) {
            paint.mode = Mode::OnBackground;
            for (int a = 0; a < 256; ++a)
                paint.levels[static_cast<std::size_t>(a)] = blend(depth, background, colour, a);
        } else {
            paint.mode = Mode::OverTarget;
        }
    }
    const bool memory = is_memory_bitmap(bmp) && depth > 8;

    const int baseline = y + f->current->ascent;
    acquire_bitmap(bmp);
    layout(f, s, [&](const Glyph& g, int pen) {
        GlyphSpan span{&g, x + pen + g.left, baseline - g.top, 0, 0, 0, 0};
        span.x0 = std::max(span.gx, cl);
        span.x1 = std::min(span.gx + g.width, cr);
        span.y0 = std::max(span.gy, ct);
        span.y1 = std::min(span.gy + g.rows, cb);
        if (span.x0 >= span.x1 || span.y0 >= span.y1)
            return;
        if (!memory) {
            paintGeneric(bmp, depth, span, paint);
            return;
        }
        switch (depth) {
        case 15: paintMemory<Depth15>(bmp, span, paint); break;
        case 16: paintMemory<Depth16>(bmp, span, paint); break;
        case 24: paintMemory<Depth24>(bmp, span, paint); break;
        default: paintMemory<Depth32>(bmp, span, paint); break;
        }
    });
    release_bitmap(bmp);
}

ALFONT_FONT* openFace(std::vector<unsigned char> data)
{
    if (library == nullptr || data.empty())
        return nullptr;
    auto* f = new ALFONT_FONT;
    f->fileData = std::move(data);
    if (FT_New_Memory_Face(library, f->fileData.data(), static_cast<FT_Long>(f->fileData.size()), 0,
                           &f->face) != 0) {
        f->face = nullptr;
        freeFont(f);
        return nullptr;
    }
    if (f->face->num_glyphs <= 0 || (!FT_IS_SCALABLE(f->face) && f->face->num_fixed_sizes <= 0)) {
        freeFont(f);
        return nullptr;
    }
    mapCharacters(f);
    f->kerning = FT_HAS_KERNING(f->face);
    if (!applySize(f, 8)) {
        freeFont(f);
        return nullptr;
    }
    liveFonts.insert(f);
    return f;
}

} // namespace

int alfont_init()
{
    if (library != nullptr)
        return 0;
    if (FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        return -1;
    }
    return 0;
}

void alfont_exit()
{
    for (ALFONT_FONT* f : liveFonts)
        freeFont(f);
    liveFonts.clear();
    if (library != nullptr)
        FT_Done_FreeType(library);
    library = nullptr;
    textBackground = -1;
}

ALFONT_FONT* alfont_load_font(const char* filepathname)
{
    if (library == nullptr || filepathname == nullptr)
        return nullptr;
    std::FILE* file = std::fopen(filepathname, "rb");
    if (file == nullptr)
        return nullptr;
    std::vector<unsigned char> data;
    unsigned char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        data.insert(data.end(), buffer, buffer + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return nullptr;
    return openFace(std::move(data));
}

ALFONT_FONT* alfont_load_font_from_mem(const char* data, std::size_t size)
{
    if (data == nullptr)
        return nullptr;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    return openFace(std::vector<unsigned char>(bytes, bytes + size));
}

void alfont_destroy_font(ALFONT_FONT* f)
{
    // Fonts already released by alfont_exit (or never made here) are ignored.
    if (!isLive(f))
        return;
    liveFonts.erase(f);
    freeFont(f);
}

int alfont_set_font_size(ALFONT_FONT* f, int h)
{
    if (!isLive(f) || h < minSize || h > maxSize)
        return -1;
    SizeCache* previous = f->current;
    if (applySize(f, h))
        return 0;
    // Put the face back to the size its current cache was made for.
    if (previous != nullptr) {
        if (FT_IS_SCALABLE(f->face))
            FT_Set_Pixel_Sizes(f->face, 0, static_cast<FT_UInt>(previous->key));
        else
            FT_Select_Size(f->face, previous->key);
        f->current = previous;
    }
    return -1;
}

int alfont_get_font_size(const ALFONT_FONT* f)
{
    return isLive(f) && f->current != nullptr ? f->current->size : 0;
}

int alfont_text_mode(int mode)
{
    const int old = textBackground;
    textBackground = mode < 0 ? -1 : mode;
    return old;
}

void alfont_textout(BITMAP* bmp, ALFONT_FONT* f, const char* s, int x, int y, int color)
{
    drawText(bmp, f, s, x, y, color, false, Align::Left);
}

void alfont_textout_right(BITMAP* bmp, ALFONT_FONT* f, const char* s, int x, int y, int color)
{
    drawText(bmp, f, s, x, y, color, false, Align::Right);
}

void alfont_textout_centre(BITMAP* bmp, ALFONT_FONT* f, const char* s, int x, int y, int color)
{
    drawText(bmp, f, s, x, y, color, false, Align::Centre);
}

void alfont_textout_aa(BITMAP* bmp, ALFONT_FONT* f, const char* s, int x, int y, int color)
{
    drawText(bmp, f, s, x, y, color, true, Align::Left);
}

void alfont_textout_right_aa(BITMAP* bmp, ALFONT_FONT* f, const char* s, int x, int y, int color)
{
    drawText(bmp, f, s, x, y, color, true, Align::Right);
}

void alfont_textout_centre_aa(BITMAP* bmp, ALFONT_FONT* f, const char* s, int x, int y, int color)
{
    drawText(bmp, f, s, x, y, color, true, Align::Centre);
}

int alfont_text_height(const ALFONT_FONT* f)
{
    return isLive(f) && f->current != nullptr ? f->current->ascent + f->current->descent : 0;
}

int alfont_text_ascent(const ALFONT_FONT* f)
{
    return isLive(f) && f->current != nullptr ? f->current->ascent : 0;
}

int alfont_text_length(ALFONT_FONT* f, const char* str)
{
    if (!isLive(f) || f->current == nullptr)
        return 0;
    return layout(f, str, [](const Glyph&, int) {});
}

int alfont_is_scalable_font(const ALFONT_FONT* f)
{
    return isLive(f) && FT_IS_SCALABLE(f->face) ? 1 : 0;
}

int alfont_has_glyph(const ALFONT_FONT* f, unsigned char c)
{
    return isLive(f) && f->glyphIndex[c] != 0 ? 1 : 0;
}

long alfont_rendered_glyph_count(const ALFONT_FONT* f)
{
    return isLive(f) ? f->rendered : 0;
}
