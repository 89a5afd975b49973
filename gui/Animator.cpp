// Starting, stepping and finishing a transition, and painting its frames:
// fades, wipes and slides of the new image over the old one.
#include "gui/Animator.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>

namespace {

// a * b / c with a 64-bit product, truncated like the int division it stands for.
int mulDiv(int a, int b, int c)
{
    return static_cast<int>(static_cast<std::int64_t>(a) * b / c);
}

// The new image drawn translucently over what the canvas holds, alpha 0 is
// invisible and 255 and above opaque.
void fade(BITMAP* canvas, BITMAP* image, int alpha)
{
    alpha = std::clamp(alpha, 0, 255);
    if (alpha == 0)
        return;
    if (bitmap_color_depth(canvas) == 8 && color_map == nullptr) {
        // 8-bit translucency needs a colour table; without one the new image
        // simply appears at the half-way point.
        if (alpha >= 128)
            blit(image, canvas, 0, 0, 0, 0, image->w, image->h);
        return;
    }
    if (alpha == 255) {
        blit(image, canvas, 0, 0, 0, 0, image->w, image->h);
        return;
    }
    set_trans_blender(0, 0, 0, alpha);
    draw_trans_sprite(canvas, image, 0, 0);
}

// One frame of a transition: the new image, the canvas it goes into (the old
// image is already there) and how far the transition has come, `done` of
// `total` ticks.
struct Frame {
    Frame(BITMAP* newImage, BITMAP* into, int doneTicks, int totalTicks)
        : image(newImage), canvas(into), w(newImage->w), h(newImage->h), halfW(w >> 1), halfH(h >> 1),
          done(doneTicks), total(totalTicks)
    {
    }

    // How much of `length` the new image has taken so far, and how much it
    // has still to take.
    int shown(int length) const { return mulDiv(length, done, total); }
    int hidden(int length) const { return mulDiv(length, total - done, total); }

    // Copies the rectangle (sx, sy, width, height) of the new image to
    // (dx, dy) of the canvas. Empty or negative pieces are skipped; the
    // canvas clips the rest.
    void copy(int sx, int sy, int width, int height, int dx, int dy) const
    {
        if (width <= 0 || height <= 0)
            return;
        blit(image, canvas, sx, sy, dx, dy, width, height);
    }

    BITMAP* image;
    BITMAP* canvas;
    int w, h;
    int halfW, halfH;
    int done, total;
};

// ---- the transitions ----

void showAtOnce(const Frame& f)
{
    f.copy(0, 0, f.w, f.h, 0, 0);
}

void fadeIn(const Frame& f)
{
    const std::int64_t total = f.total;
    fade(f.canvas, f.image, static_cast<int>(256LL * f.done * f.done / (total * total)));
}

void slideFromTop(const Frame& f)
{
    const int d = f.hidden(f.h);
    f.copy(0, d, f.w, f.h - d, 0, 0);
}

void slideFromBottom(const Frame& f)
{
    const int d = f.hidden(f.h);
    f.copy(0, 0, f.w, f.h - d, 0, d);
}

void slideFromRight(const Frame& f)
{
    const int d = f.hidden(f.w);
    f.copy(0, 0, f.w - d, f.h, d, 0);
}

void slideFromLeft(const Frame& f)
{
    const int d = f.hidden(f.w);
    f.copy(d, 0, f.w - d, f.h, 0, 0);
}

void wipeDown(const Frame& f)
{
    f.copy(0, 0, f.w, f.shown(f.h), 0, 0);
}

void wipeUp(const Frame& f)
{
    const int s = f.shown(f.h);
    f.copy(0, f.h - s, f.w, s, 0, f.h - s);
}

void wipeLeft(const Frame& f)
{
    const int s = f.shown(f.w);
    f.copy(f.w - s, 0, s, f.h, f.w - s, 0);
}

void wipeRight(const Frame& f)
{
    f.copy(0, 0, f.shown(f.w), f.h, 0, 0);
}

// Every fourth row (column) of the new image, starting at `first`.
void everyFourthRow(const Frame& f, int first)
{
    for (int y = first; y < f.h; y += 4)
        f.copy(0, y, f.w, 1, 0, y);
}

void everyFourthColumn(const Frame& f, int first)
{
    for (int x = first; x < f.w; x += 4)
        f.copy(x, 0, 1, f.h, x, 0);
}

void blindsDown(const Frame& f)
{
    everyFourthRow(f, f.shown(4));
}

void blindsUp(const Frame& f)
{
    everyFourthRow(f, f.hidden(4));
}

void blindsLeft(const Frame& f)
{
    everyFourthColumn(f, f.hidden(4));
}

void blindsRight(const Frame& f)
{
    everyFourthColumn(f, f.shown(4));
}

// The two halves part from the middle line outwards, each showing the edge
// of the new image nearest to that line.
void openFromMiddleRow(const Frame& f)
{
    const int u = f.shown(f.halfH);
    f.copy(0, 0, f.w, u, 0, f.halfH - u);
    const int a = f.halfH + f.hidden(f.halfH);
    f.copy(0, a, f.w, f.h - a, 0, f.halfH);
}

void openFromMiddleColumn(const Frame& f)
{
    const int u = f.shown(f.halfW);
    f.copy(0, 0, u, f.h, f.halfW - u, 0);
    const int a = f.halfW + f.hidden(f.halfW);
    f.copy(a, 0, f.w - a, f.h, f.halfW, 0);
}

void openFromCentre(const Frame& f)
{
    const int hw = f.halfW, hh = f.halfH;
    const int fx = f.shown(hw), fy = f.shown(hh);
    const int gx = f.hidden(hw), gy = f.hidden(hh);
    f.copy(0, 0, fx, fy, hw - fx, hh - fy);
    f.copy(0, hh + gy, fx, hh - gy, hw - fx, hh);
    f.copy(hw + gx, 0, hw - gx, fy, hw, hh - fy);
    f.copy(hw + gx, hh + gy, hw - gx, hh - gy, hw, hh);
}

void bandFromMiddleRow(const Frame& f)
{
    const int d = f.hidden(f.halfH);
    f.copy(0, d, f.w, f.h - 2 * d, 0, d);
}

void bandFromMiddleColumn(const Frame& f)
{
    const int d = f.hidden(f.halfW);
    f.copy(d, 0, f.w - 2 * d, f.h, d, 0);
}

void boxFromCentre(const Frame& f)
{
    const int dx = f.hidden(f.halfW), dy = f.hidden(f.halfH);
    f.copy(dx, dy, f.w - 2 * dx, f.h - 2 * dy, dx, dy);
}

void halvesFromTopAndBottom(const Frame& f)
{
    const int hh = f.halfH, d = f.hidden(hh);
    f.copy(0, d, f.w, hh - d, 0, 0);
    f.copy(0, hh, f.w, hh - d, 0, hh + d);
}

void halvesFromLeftAndRight(const Frame& f)
{
    const int hw = f.halfW, d = f.hidden(hw);
    f.copy(d, 0, hw - d, f.h, 0, 0);
    f.copy(hw, 0, hw - d, f.h, hw + d, 0);
}

void quartersFromCorners(const Frame& f)
{
    const int hw = f.halfW, hh = f.halfH;
    const int dx = f.hidden(hw), dy = f.hidden(hh);
    const int pw = hw - dx, ph = hh - dy;
    f.copy(dx, dy, pw, ph, 0, 0);
    f.copy(dx, hh, pw, ph, 0, hh + dy);
    f.copy(hw, dy, pw, ph, hw + dx, 0);
    f.copy(hw, hh, pw, ph, hw + dx, hh + dy);
}

void wipeFromTopAndBottom(const Frame& f)
{
    f.copy(0, 0, f.w, f.shown(f.halfH), 0, 0);
    const int q = f.hidden(f.halfH);
    f.copy(0, f.halfH + q, f.w, f.halfH - q, 0, f.halfH + q);
}

void wipeFromLeftAndRight(const Frame& f)
{
    f.copy(0, 0, f.shown(f.halfW), f.h, 0, 0);
    const int q = f.hidden(f.halfW);
    f.copy(f.halfW + q, 0, f.halfW - q, f.h, f.halfW + q, 0);
}

void wipeQuartersToCentre(const Frame& f)
{
    const int hw = f.halfW, hh = f.halfH;
    const int fx = f.shown(hw), fy = f.shown(hh);
    const int gx = f.hidden(hw), gy = f.hidden(hh);
    f.copy(0, 0, fx, fy, 0, 0);
    f.copy(0, hh + gy, fx, hh - gy, 0, hh + gy);
    f.copy(hw + gx, 0, hw - gx, fy, hw + gx, 0);
    f.copy(hw + gx, hh + gy, hw - gx, hh - gy, hw + gx, hh + gy);
}

void wipeFromAllEdges(const Frame& f)
{
    wipeFromTopAndBottom(f);
    wipeFromLeftAndRight(f);
}

// The transition kinds by their number, the number a skin names them by.
using PaintFrame = void (*)(const Frame&);
constexpr PaintFrame transitions[] = {
    showAtOnce,             // 0
    fadeIn,                 // 1
    slideFromTop,           // 2
    slideFromBottom,        // 3
    slideFromRight,         // 4
    slideFromLeft,          // 5
    wipeDown,               // 6
    wipeUp,                 // 7
    wipeLeft,               // 8
    wipeRight,              // 9
    blindsDown,             // 10
    blindsUp,               // 11
    blindsLeft,             // 12
    blindsRight,            // 13
    openFromMiddleRow,      // 14
    openFromMiddleColumn,   // 15
    openFromCentre,         // 16
    bandFromMiddleRow,      // 17
    bandFromMiddleColumn,   // 18
    boxFromCentre,          // 19
    halvesFromTopAndBottom, // 20
    halvesFromLeftAndRight, // 21
    quartersFromCorners,    // 22
    wipeFromTopAndBottom,   // 23
    wipeFromLeftAndRight,   // 24
    wipeQuartersToCentre,   // 25
    wipeFromAllEdges,       // 26
};
static_assert(std::size(transitions) == Animator::kindCount);

}  // namespace

Animator::~Animator()
{
    dropImages();
}

void Animator::dropImages()
{
    if (oldImage_)
        destroy_bitmap(oldImage_);
    if (newImage_)
        destroy_bitmap(newImage_);
    oldImage_ = nullptr;
    newImage_ = nullptr;
}

int Animator::lengthToTicks(int lengthMs, int ticksPerSecond)
{
    if (lengthMs <= 0 || ticksPerSecond <= 0)
        return 1;
    std::int64_t ticks = static_cast<std::int64_t>(lengthMs) * ticksPerSecond / 1000;
    return static_cast<int>(std::clamp<std::int64_t>(ticks, 1, INT_MAX));
}

bool Animator::start(BITMAP* canvas, int lengthMs, int ticksPerSecond)
{
    if (!canvas || canvas->w <= 0 || canvas->h <= 0)
        return false;
    int depth = bitmap_color_depth(canvas);
    BITMAP* oldImage = create_bitmap_ex(depth, canvas->w, canvas->h);
    BITMAP* newImage = create_bitmap_ex(depth, canvas->w, canvas->h);
    if (!oldImage || !newImage) {
        if (oldImage)
            destroy_bitmap(oldImage);
        if (newImage)
            destroy_bitmap(newImage);
        return false;
    }
    dropImages();
    blit(canvas, oldImage, 0, 0, 0, 0, canvas->w, canvas->h);
    blit(canvas, newImage, 0, 0, 0, 0, canvas->w, canvas->h);
    oldImage_ = oldImage;
    newImage_ = newImage;
    ticks_ = lengthToTicks(lengthMs, ticksPerSecond);
    counter_ = 1;
    return true;
}

bool Animator::step()
{
    if (!inProgress())
        return false;
    ++counter_;
    return counter_ >= ticks_;
}

void Animator::paintFrame(BITMAP* canvas, int kind) const
{
    if (!canvas || !oldImage_ || !newImage_)
        return;
    paintTransition(canvas, oldImage_, newImage_, kind, counter_, ticks_);
}

void Animator::finish(BITMAP* target, int x, int y) const
{
    if (!target || !newImage_)
        return;
    blit(newImage_, target, 0, 0, x, y, newImage_->w, newImage_->h);
}

void Animator::reset()
{
    dropImages();
    ticks_ = 0;
    counter_ = 1;
}

void Animator::paintTransition(BITMAP* canvas, BITMAP* oldImage, BITMAP* newImage,
                               int kind, int tick, int ticks)
{
    if (!canvas || !oldImage || !newImage)
        return;
    blit(oldImage, canvas, 0, 0, 0, 0, oldImage->w, oldImage->h);
    if (kind < 0 || kind >= kindCount)
        return;
    const int total = std::max(ticks, 1);
    transitions[kind](Frame(newImage, canvas, std::clamp(tick, 0, total), total));
}
