// Skin bitmaps: making, wrapping, copying, loading and releasing Allegro
// bitmaps (never the screen or one of its pages), the nine-part drawing, and
// the small drawing helpers of the built-in look: dotted rectangles, 3D boxes
// and circles, crosses, ticks and arrows.
#include "gui/Bitmap.h"

#include "gui/Error.h"
#include "gui/FontImage.h"

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

std::vector<BITMAP*>& screenPages()
{
    static std::vector<BITMAP*> pages;
    return pages;
}

// Bitmap objects that own a video bitmap (see releaseVideoBitmaps).
std::vector<Bitmap*>& videoOwners()
{
    static std::vector<Bitmap*> owners;
    return owners;
}

bool isProtected(BITMAP* bmp)
{
    if (bmp == screen)
        return true;
    const auto& pages = screenPages();
    return std::find(pages.begin(), pages.end(), bmp) != pages.end();
}

int kindOf(BITMAP* bmp)
{
    if (is_video_bitmap(bmp))
        return Bitmap::Video;
    if (is_system_bitmap(bmp))
        return Bitmap::System;
    return Bitmap::Memory;
}

BITMAP* makeBitmap(int w, int h, int kind)
{
    if (w <= 0 || h <= 0)
        return nullptr;
    // Allegro's system and video bitmaps need a graphics driver; without one
    // there is no video memory, and a system bitmap is a memory bitmap.
    switch (kind) {
    case Bitmap::System:
        return gfx_driver ? create_system_bitmap(w, h) : create_bitmap(w, h);
    case Bitmap::Video:
        return gfx_driver ? create_video_bitmap(w, h) : nullptr;
    default:
        return create_bitmap(w, h);
    }
}

// Narrows the target's clipping rectangle to (x1, y1)-(x2, y2) for the life
// of the object and puts the old one back afterwards.
class ClipScope {
public:
    ClipScope(BITMAP* target, int x1, int y1, int x2, int y2) : target_(target)
    {
        get_clip_rect(target, &ox1_, &oy1_, &ox2_, &oy2_);
        wasClipping_ = get_clip_state(target) != 0;
        // Never outside the bitmap, even when its clipping is switched off.
        x1 = std::max(x1, 0);
        y1 = std::max(y1, 0);
        x2 = std::min(x2, target->w - 1);
        y2 = std::min(y2, target->h - 1);
        if (wasClipping_) {
            x1 = std::max(x1, ox1_);
            y1 = std::max(y1, oy1_);
            x2 = std::min(x2, ox2_);
            y2 = std::min(y2, oy2_);
        }
        empty_ = x2 < x1 || y2 < y1;
        if (!empty_) {
            set_clip_rect(target, x1, y1, x2, y2);
            set_clip_state(target, 1);
        }
    }
    ~ClipScope()
    {
        set_clip_rect(target_, ox1_, oy1_, ox2_, oy2_);
        set_clip_state(target_, wasClipping_ ? 1 : 0);
    }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;
    bool empty() const { return empty_; }

private:
    BITMAP* target_;
    int ox1_ = 0, oy1_ = 0, ox2_ = 0, oy2_ = 0;
    bool wasClipping_ = true;
    bool empty_ = false;
};

void copyPiece(BITMAP* src, BITMAP* dst, int sx, int sy, int dx, int dy, int w, int h, bool masked)
{
    if (w <= 0 || h <= 0)
        return;
    if (masked)
        masked_blit(src, dst, sx, sy, dx, dy, w, h);
    else
        blit(src, dst, sx, sy, dx, dy, w, h);
}

} // namespace

Bitmap::~Bitmap()
{
    release();
}

Bitmap::Bitmap(Bitmap&& other) noexcept
    : bmp_(std::exchange(other.bmp_, nullptr)),
      kind_(other.kind_),
      owned_(std::exchange(other.owned_, false)),
      tileW_(other.tileW_),
      tileH_(other.tileH_)
{
    other.untrackVideo();
    trackVideo();
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept
{
    if (this != &other) {
        release();
        bmp_ = std::exchange(other.bmp_, nullptr);
        kind_ = other.kind_;
        owned_ = std::exchange(other.owned_, false);
        tileW_ = other.tileW_;
        tileH_ = other.tileH_;
        other.untrackVideo();
        trackVideo();
    }
    return *this;
}

bool Bitmap::create(int w, int h, int kind)
{
    release();
    if (kind == SameKind)
        kind = Memory;
    BITMAP* made = makeBitmap(w, h, kind);
    if (!made)
        return false;
    bmp_ = made;
    kind_ = kindOf(made);
    owned_ = true;
    trackVideo();
    return true;
}

void Bitmap::wrap(BITMAP* allegroBitmap)
{
    release();
    bmp_ = allegroBitmap;
    owned_ = false;
    kind_ = allegroBitmap ? kindOf(allegroBitmap) : Memory;
}

bool Bitmap::copy(const Bitmap& other, bool deep, int kind)
{
    if (&other == this)
        return !empty();
    if (!other.bmp_)
        return false;
    if (!deep) {
        BITMAP* shared = other.bmp_;
        release();
        bmp_ = shared;
        owned_ = false;
        kind_ = other.kind_;
        tileW_ = other.tileW_;
        tileH_ = other.tileH_;
        return true;
    }
    if (kind == SameKind)
        kind = other.kind_;
    BITMAP* made = makeBitmap(other.bmp_->w, other.bmp_->h, kind);
    if (!made)
        return false;
    blit(other.bmp_, made, 0, 0, 0, 0, made->w, made->h);
    release();
    bmp_ = made;
    owned_ = true;
    kind_ = kindOf(made);
    tileW_ = other.tileW_;
    tileH_ = other.tileH_;
    trackVideo();
    return true;
}

Error Bitmap::load(const char* fileName, int kind)
{
    if (!fileName || !*fileName || !exists(fileName))
        return Error(12);
    // Allegro's own loaders trust the headers they read; a damaged file is
    // read through the bounds-checked readers and refused instead.
    PALETTE palette;
    BITMAP* loaded = readImageFile(fileName, palette);
    if (!loaded)
        return Error(13);
    if (bitmap_color_depth(loaded) != get_color_depth()) {
        // A palette image: its colours into the current depth.
        BITMAP* converted = create_bitmap(loaded->w, loaded->h);
        if (!converted) {
            destroy_bitmap(loaded);
            return Error(13);
        }
        select_palette(palette);
        blit(loaded, converted, 0, 0, 0, 0, loaded->w, loaded->h);
        unselect_palette();
        destroy_bitmap(loaded);
        loaded = converted;
    }
    if (kind == System || kind == Video) {
        BITMAP* placed = makeBitmap(loaded->w, loaded->h, kind);
        if (!placed) {
            destroy_bitmap(loaded);
            return Error(13);
        }
        blit(loaded, placed, 0, 0, 0, 0, loaded->w, loaded->h);
        destroy_bitmap(loaded);
        loaded = placed;
    }
    release();
    bmp_ = loaded;
    owned_ = true;
    kind_ = kindOf(loaded);
    trackVideo();
    return Error(0);
}

void Bitmap::release()
{
    untrackVideo();
    if (bmp_ && owned_ && !isProtected(bmp_))
        destroy_bitmap(bmp_);
    bmp_ = nullptr;
    owned_ = false;
}

void Bitmap::trackVideo()
{
    if (bmp_ && owned_ && is_video_bitmap(bmp_))
        videoOwners().push_back(this);
}

void Bitmap::untrackVideo()
{
    auto& owners = videoOwners();
    owners.erase(std::remove(owners.begin(), owners.end(), this), owners.end());
}

void Bitmap::releaseVideoBitmaps()
{
    auto& owners = videoOwners();
    while (!owners.empty())
        owners.back()->release();
}

int Bitmap::width() const
{
    return bmp_ ? bmp_->w : 0;
}

int Bitmap::height() const
{
    return bmp_ ? bmp_->h : 0;
}

void Bitmap::addScreenPage(BITMAP* page)
{
    if (page && !isProtected(page))
        screenPages().push_back(page);
}

void Bitmap::removeScreenPage(BITMAP* page)
{
    auto& pages = screenPages();
    pages.erase(std::remove(pages.begin(), pages.end(), page), pages.end());
}

// ---- nine-part drawing ----

void Bitmap::tiledBlit(BITMAP* target, int col, int row, int x, int y, int w, int h,
                       int cols, int rows) const
{
    blitNine(target, col, row, x, y, w, h, cols, rows, false);
}

void Bitmap::tiledBlitMasked(BITMAP* target, int col, int row, int x, int y, int w, int h,
                             int cols, int rows) const
{
    blitNine(target, col, row, x, y, w, h, cols, rows, true);
}

namespace {

// Where the pieces of a nine-part drawing come from and go to: the frame's
// corners, edges and middle tile in the source, and the target rectangle
// with its inside between the borders.
struct NineParts {
    BITMAP* src;
    int fx, fy, fw, fh;   // the frame in the source
    int tw, th;           // the middle tile
    int bw, bh;           // the border widths
    int msx, msy;         // the middle tile's source corner
    int rsx, bsy;         // source column of the right border, row of the bottom one
    int x, y, w, h;       // the target rectangle
    int ix1, ix2, iy1, iy2;   // its inside, the ends exclusive
};

NineParts nineParts(BITMAP* src, int tileW, int tileH, int fx, int fy, int fw, int fh, int x, int y, int w, int h)
{
    NineParts n{};
    n.src = src;
    n.fx = fx, n.fy = fy, n.fw = fw, n.fh = fh;
    n.tw = std::clamp(tileW < 0 ? fw / 3 : tileW, 0, fw);
    n.th = std::clamp(tileH < 0 ? fh / 3 : tileH, 0, fh);
    n.bw = (fw - n.tw) / 2;
    n.bh = (fh - n.th) / 2;
    // The right and bottom borders are the last bw (bh) of the frame, so
    // the frame's outer edge lands on the target's.
    n.rsx = fx + fw - n.bw;
    n.bsy = fy + fh - n.bh;
    n.msx = fx + n.bw;
    n.msy = fy + n.bh;
    n.x = x, n.y = y, n.w = w, n.h = h;
    n.ix1 = x + n.bw;
    n.ix2 = x + w - n.bw;
    n.iy1 = y + n.bh;
    n.iy2 = y + h - n.bh;
    return n;
}

// The edge pieces repeated along the four sides, each cut where the inside
// ends, so that nothing spills under the corners.
void blitNineEdges(BITMAP* target, const NineParts& n, bool masked)
{
    if (n.tw > 0) {
        for (int px = n.ix1; px < n.ix2; px += n.tw) {
            const int pw = std::min(n.tw, n.ix2 - px);
            copyPiece(n.src, target, n.msx, n.fy, px, n.y, pw, n.bh, masked);
            copyPiece(n.src, target, n.msx, n.bsy, px, n.y + n.h - n.bh, pw, n.bh, masked);
        }
    }
    if (n.th > 0) {
        for (int py = n.iy1; py < n.iy2; py += n.th) {
            const int ph = std::min(n.th, n.iy2 - py);
            copyPiece(n.src, target, n.fx, n.msy, n.x, py, n.bw, ph, masked);
            copyPiece(n.src, target, n.rsx, n.msy, n.x + n.w - n.bw, py, n.bw, ph, masked);
        }
    }
}

// The middle tile repeated over the inside. Many small tiles are laid out
// in one row in a strip first and the strip copied, so a large area costs a
// copy per row of tiles rather than one per tile.
void blitNineMiddle(BITMAP* target, const NineParts& n, bool masked)
{
    if (n.tw <= 0 || n.th <= 0 || n.ix2 <= n.ix1 || n.iy2 <= n.iy1)
        return;
    const int across = (n.ix2 - n.ix1 + n.tw - 1) / n.tw;
    const int down = (n.iy2 - n.iy1 + n.th - 1) / n.th;
    BITMAP* strip = nullptr;
    if (across > 1 && across * down > 64)
        strip = create_bitmap_ex(bitmap_color_depth(n.src), n.ix2 - n.ix1, n.th);
    if (strip) {
        for (int px = 0; px < strip->w; px += n.tw)
            blit(n.src, strip, n.msx, n.msy, px, 0, std::min(n.tw, strip->w - px), n.th);
        for (int py = n.iy1; py < n.iy2; py += n.th)
            copyPiece(strip, target, 0, 0, n.ix1, py, strip->w, std::min(n.th, n.iy2 - py), masked);
        destroy_bitmap(strip);
        return;
    }
    for (int py = n.iy1; py < n.iy2; py += n.th) {
        const int ph = std::min(n.th, n.iy2 - py);
        for (int px = n.ix1; px < n.ix2; px += n.tw)
            copyPiece(n.src, target, n.msx, n.msy, px, py, std::min(n.tw, n.ix2 - px), ph, masked);
    }
}

// The four corners, unscaled, drawn last.
void blitNineCorners(BITMAP* target, const NineParts& n, bool masked)
{
    const int right = n.x + n.w - n.bw, bottom = n.y + n.h - n.bh;
    copyPiece(n.src, target, n.fx, n.fy, n.x, n.y, n.bw, n.bh, masked);
    copyPiece(n.src, target, n.rsx, n.fy, right, n.y, n.bw, n.bh, masked);
    copyPiece(n.src, target, n.fx, n.bsy, n.x, bottom, n.bw, n.bh, masked);
    copyPiece(n.src, target, n.rsx, n.bsy, right, bottom, n.bw, n.bh, masked);
}

} // namespace

void Bitmap::blitNine(BITMAP* target, int col, int row, int x, int y, int w, int h,
                      int cols, int rows, bool masked) const
{
    if (!bmp_ || !target || w <= 0 || h <= 0 || cols <= 0 || rows <= 0)
        return;
    const int fw = bmp_->w / cols;
    const int fh = bmp_->h / rows;
    if (fw <= 0 || fh <= 0 || col < 0 || row < 0 || col >= cols || row >= rows)
        return;
    const NineParts parts = nineParts(bmp_, tileW_, tileH_, col * fw, row * fh, fw, fh, x, y, w, h);
    ClipScope clip(target, x, y, x + w - 1, y + h - 1);
    if (clip.empty())
        return;
    blitNineEdges(target, parts, masked);
    blitNineMiddle(target, parts, masked);
    blitNineCorners(target, parts, masked);
}

// ---- drawing helpers ----

int Bitmap::mixColours(int a, int b, int num, int den, int depth)
{
    if (den == 0)
        return a;
    auto mix = [&](int ca, int cb) { return ca + (cb - ca) * num / den; };
    return makecol_depth(depth,
                         mix(getr_depth(depth, a), getr_depth(depth, b)),
                         mix(getg_depth(depth, a), getg_depth(depth, b)),
                         mix(getb_depth(depth, a), getb_depth(depth, b)));
}

void Bitmap::dottedRect(BITMAP* target, int x1, int y1, int x2, int y2, int colour)
{
    if (!target || colour == -1)
        return;
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    // Walk the outline once, clockwise, so the dots keep their rhythm round
    // the corners: every second pixel of the outline.
    int n = 0;
    auto dot = [&](int px, int py) {
        if ((n++ & 1) == 0)
            putpixel(target, px, py, colour);
    };
    for (int px = x1; px <= x2; ++px)
        dot(px, y1);
    for (int py = y1 + 1; py <= y2; ++py)
        dot(x2, py);
    if (y2 > y1)
        for (int px = x2 - 1; px >= x1; --px)
            dot(px, y2);
    if (x2 > x1)
        for (int py = y2 - 1; py > y1; --py)
            dot(x1, py);
}

void Bitmap::box3D(BITMAP* target, int x1, int y1, int x2, int y2,
                   int light, int dark, bool sunken, int fill)
{
    if (!target)
        return;
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    const int depth = bitmap_color_depth(target);
    const int third = mixColours(light, dark, 1, 3, depth);
    const int twoThirds = mixColours(light, dark, 2, 3, depth);
    const int outerTL = sunken ? twoThirds : light;
    const int innerTL = sunken ? dark : third;
    const int innerBR = sunken ? light : twoThirds;
    const int outerBR = sunken ? third : dark;

    if (fill != -1 && x2 - x1 >= 4 && y2 - y1 >= 4)
        rectfill(target, x1 + 2, y1 + 2, x2 - 2, y2 - 2, fill);
    // Inner ring first: on a very small box the outer one wins.
    if (x2 - x1 >= 2 && y2 - y1 >= 2) {
        hline(target, x1 + 1, y1 + 1, x2 - 1, innerTL);
        vline(target, x1 + 1, y1 + 1, y2 - 1, innerTL);
        hline(target, x1 + 1, y2 - 1, x2 - 1, innerBR);
        vline(target, x2 - 1, y1 + 1, y2 - 1, innerBR);
    }
    hline(target, x1, y1, x2, outerTL);
    vline(target, x1, y1, y2, outerTL);
    hline(target, x1, y2, x2, outerBR);
    vline(target, x2, y1, y2, outerBR);
}

void Bitmap::circle3D(BITMAP* target, int cx, int cy, int r,
                      int light, int dark, bool sunken, int fill)
{
    if (!target || r < 0)
        return;
    const int depth = bitmap_color_depth(target);
    // Like box3D: raised, the outer ring runs from `light` (top left) to
    // `dark` (bottom right) and the inner one from a third to two thirds of
    // the way; sunken, the outer ring runs from two thirds to a third and the
    // inner one from `dark` to `light`. The two halves are kept flat, with a
    // short blend across the diagonal, so small circles stay crisp.
    const int third = mixColours(light, dark, 1, 3, depth);
    const int twoThirds = mixColours(light, dark, 2, 3, depth);
    const int outerTL = sunken ? twoThirds : light;
    const int outerBR = sunken ? third : dark;
    const int innerTL = sunken ? dark : third;
    const int innerBR = sunken ? light : twoThirds;
    const double outer = r + 0.3;
    const double middle = r - 0.7;
    const double inner = r - 1.7;
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            const double d = std::sqrt(double(dx * dx + dy * dy));
            if (d > outer)
                continue;
            if (d <= inner) {
                if (fill != -1)
                    putpixel(target, cx + dx, cy + dy, fill);
                continue;
            }
            const bool outerRing = d > middle;
            const int tl = outerRing ? outerTL : innerTL;
            const int br = outerRing ? outerBR : innerBR;
            // -1 toward the top left ... +1 toward the bottom right.
            const double t = (dx + dy) / (d * std::sqrt(2.0));
            int colour;
            if (t < -0.25)
                colour = tl;
            else if (t > 0.25)
                colour = br;
            else
                colour = mixColours(tl, br, 1, 2, depth);
            putpixel(target, cx + dx, cy + dy, colour);
        }
    }
}

void Bitmap::cross(BITMAP* target, int x, int y, int size, int colour, int thickness)
{
    if (!target || size <= 0 || colour == -1)
        return;
    thickness = std::max(1, thickness);
    for (int i = 0; i < size; ++i) {
        for (int t = 0; t < thickness; ++t) {
            const int j = i + t - thickness / 2;
            if (j < 0 || j >= size)
                continue;
            putpixel(target, x + j, y + i, colour);
            putpixel(target, x + size - 1 - j, y + i, colour);
        }
    }
}

void Bitmap::tick(BITMAP* target, int x, int y, int size, int colour)
{
    if (!target || size <= 0 || colour == -1)
        return;
    // A short stroke down to the lowest point a third of the way across, then
    // a long one up to the top right corner; every column is three pixels
    // high (fewer in a very small box).
    const int k = (size - 1) / 3;
    const int thick = std::min(3, size);
    for (int i = 0; i < size; ++i) {
        const int bottom = size - 1 - (i <= k ? k - i : i - k);
        vline(target, x + i, y + std::max(0, bottom - thick + 1), y + bottom, colour);
    }
}

void Bitmap::arrow(BITMAP* target, int cx, int cy, int size, Direction direction, int colour)
{
    if (!target || size <= 0 || colour == -1)
        return;
    // A triangle of lines shrinking by one pixel at each end per line: base
    // `size` long (rounded to odd so the tip is one pixel), height
    // (size + 1) / 2. Its lines cover the offsets first..last from the
    // centre along the pointing direction, the same span for all four.
    const int base = size | 1;
    const int height = (base + 1) / 2;
    const int first = -height / 2;
    const int last = first + height - 1;
    for (int i = 0; i < height; ++i) {
        const int half = (base - 1) / 2 - i;
        switch (direction) {
        case Up:
            hline(target, cx - half, cy + last - i, cx + half, colour);
            break;
        case Down:
            hline(target, cx - half, cy + first + i, cx + half, colour);
            break;
        case Left:
            vline(target, cx + last - i, cy - half, cy + half, colour);
            break;
        case Right:
            vline(target, cx + first + i, cy - half, cy + half, colour);
            break;
        }
    }
}
