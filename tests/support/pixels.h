// Test support: owning, reading and comparing pixels of Allegro bitmaps.
#pragma once

// Owning, reading and comparing pixels of Allegro bitmaps in tests. Colours are
// compared as components: raw pixel values differ between pixel layouts.

#include <allegro.h>

#include <memory>
#include <ostream>

namespace testkit {

// A bitmap destroyed with its owner.
struct BitmapDeleter {
    void operator()(BITMAP* b) const { destroy_bitmap(b); }
};
using BitmapPtr = std::unique_ptr<BITMAP, BitmapDeleter>;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
    bool operator<(const Rgb& o) const { return r != o.r ? r < o.r : g != o.g ? g < o.g : b < o.b; }
};

inline std::ostream& operator<<(std::ostream& o, const Rgb& c)
{
    return o << '(' << c.r << ',' << c.g << ',' << c.b << ')';
}

// The components of colour c in the pixel format of the given depth.
inline Rgb rgbOf(int depth, int c)
{
    return {getr_depth(depth, c), getg_depth(depth, c), getb_depth(depth, c)};
}

inline Rgb rgbAt(BITMAP* bmp, int x, int y)
{
    return rgbOf(bitmap_color_depth(bmp), getpixel(bmp, x, y));
}

// Whether a w x h area at (ax, ay) of a holds the same pixel values as the
// one at (bx, by) of b.
inline bool samePixels(BITMAP* a, int ax, int ay, BITMAP* b, int bx, int by, int w, int h)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (getpixel(a, ax + x, ay + y) != getpixel(b, bx + x, by + y))
                return false;
    return true;
}

// Whether two bitmaps of one size hold the same pixel values.
inline bool samePixels(BITMAP* a, BITMAP* b)
{
    return a->w == b->w && a->h == b->h && samePixels(a, 0, 0, b, 0, 0, a->w, a->h);
}

}  // namespace testkit
