// Starting, stepping and finishing a transition, and painting its frames:
// fades, wipes and slides of the new image over the old one.
#include "gui/Animator.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// Copies the rectangle (sx, sy, w, h) of the new image to (dx, dy) of the
// canvas. Empty or negative pieces are skipped; the canvas clips the rest.
void copy(BITMAP* from, BITMAP* to, int sx, int sy, int w, int h, int dx, int dy)
{
    if (w <= 0 || h <= 0)
        return;
    blit(from, to, sx, sy, dx, dy, w, h);
}

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
                               int kind, int t, int L)
{
    if (!canvas || !oldImage || !newImage)
        return;
    blit(oldImage, canvas, 0, 0, 0, 0, oldImage->w, oldImage->h);
    if (kind < 0 || kind >= kindCount)
        return;

    if (L < 1)
        L = 1;
    t = std::clamp(t, 0, L);
    const int W = newImage->w;
    const int H = newImage->h;
    const int hw = W >> 1;
    const int hh = H >> 1;
    const int rest = L - t;
    BITMAP* n = newImage;
    BITMAP* c = canvas;

    switch (kind) {
    case 0:  // no transition
        copy(n, c, 0, 0, W, H, 0, 0);
        break;
    case 1:  // fade in
        fade(c, n, static_cast<int>(256LL * t * t / (static_cast<std::int64_t>(L) * L)));
        break;
    case 2: {  // slide in from the top
        int d = mulDiv(H, rest, L);
        copy(n, c, 0, d, W, H - d, 0, 0);
        break;
    }
    case 3: {  // slide in from the bottom
        int d = mulDiv(H, rest, L);
        copy(n, c, 0, 0, W, H - d, 0, d);
        break;
    }
    case 4: {  // slide in from the right
        int d = mulDiv(W, rest, L);
        copy(n, c, 0, 0, W - d, H, d, 0);
        break;
    }
    case 5: {  // slide in from the left
        int d = mulDiv(W, rest, L);
        copy(n, c, d, 0, W - d, H, 0, 0);
        break;
    }
    case 6:  // wipe downwards
        copy(n, c, 0, 0, W, mulDiv(H, t, L), 0, 0);
        break;
    case 7: {  // wipe upwards
        int h = mulDiv(H, t, L);
        copy(n, c, 0, H - h, W, h, 0, H - h);
        break;
    }
    case 8: {  // wipe leftwards
        int w = mulDiv(t, W, L);
        copy(n, c, W - w, 0, w, H, W - w, 0);
        break;
    }
    case 9:  // wipe rightwards
        copy(n, c, 0, 0, mulDiv(t, W, L), H, 0, 0);
        break;
    case 10:
    case 11: {  // every fourth row
        int p = kind == 10 ? mulDiv(4, t, L) : mulDiv(4, rest, L);
        for (int y = p; y < H; y += 4)
            copy(n, c, 0, y, W, 1, 0, y);
        break;
    }
    case 12:
    case 13: {  // every fourth column
        int p = kind == 12 ? mulDiv(4, rest, L) : mulDiv(4, t, L);
        for (int x = p; x < W; x += 4)
            copy(n, c, x, 0, 1, H, x, 0);
        break;
    }
    case 14: {  // open from the horizontal middle line
        int u = mulDiv(hh, t, L);
        copy(n, c, 0, 0, W, u, 0, hh - u);
        int a = hh + mulDiv(hh, rest, L);
        copy(n, c, 0, a, W, H - a, 0, hh);
        break;
    }
    case 15: {  // open from the vertical middle line
        int u = mulDiv(hw, t, L);
        copy(n, c, 0, 0, u, H, hw - u, 0);
        int a = hw + mulDiv(hw, rest, L);
        copy(n, c, a, 0, W - a, H, hw, 0);
        break;
    }
    case 16:
    case 25: {  // four quarters: open from the centre / wipe towards it
        int fx = mulDiv(hw, t, L), fy = mulDiv(hh, t, L);
        int gx = mulDiv(hw, rest, L), gy = mulDiv(hh, rest, L);
        if (kind == 16) {
            copy(n, c, 0, 0, fx, fy, hw - fx, hh - fy);
            copy(n, c, 0, hh + gy, fx, hh - gy, hw - fx, hh);
            copy(n, c, hw + gx, 0, hw - gx, fy, hw, hh - fy);
            copy(n, c, hw + gx, hh + gy, hw - gx, hh - gy, hw, hh);
        } else {
            copy(n, c, 0, 0, fx, fy, 0, 0);
            copy(n, c, 0, hh + gy, fx, hh - gy, 0, hh + gy);
            copy(n, c, hw + gx, 0, hw - gx, fy, hw + gx, 0);
            copy(n, c, hw + gx, hh + gy, hw - gx, hh - gy, hw + gx, hh + gy);
        }
        break;
    }
    case 17: {  // band grows from the horizontal middle
        int d = mulDiv(hh, rest, L);
        copy(n, c, 0, d, W, H - 2 * d, 0, d);
        break;
    }
    case 18: {  // band grows from the vertical middle
        int d = mulDiv(hw, rest, L);
        copy(n, c, d, 0, W - 2 * d, H, d, 0);
        break;
    }
    case 19: {  // rectangle grows from the centre
        int dx = mulDiv(hw, rest, L), dy = mulDiv(hh, rest, L);
        copy(n, c, dx, dy, W - 2 * dx, H - 2 * dy, dx, dy);
        break;
    }
    case 20: {  // halves slide in from top and bottom
        int d = mulDiv(hh, rest, L);
        copy(n, c, 0, d, W, hh - d, 0, 0);
        copy(n, c, 0, hh, W, hh - d, 0, hh + d);
        break;
    }
    case 21: {  // halves slide in from left and right
        int d = mulDiv(hw, rest, L);
        copy(n, c, d, 0, hw - d, H, 0, 0);
        copy(n, c, hw, 0, hw - d, H, hw + d, 0);
        break;
    }
    case 22: {  // quarters slide in from the corners
        int dx = mulDiv(hw, rest, L), dy = mulDiv(hh, rest, L);
        int pw = hw - dx, ph = hh - dy;
        copy(n, c, dx, dy, pw, ph, 0, 0);
        copy(n, c, dx, hh, pw, ph, 0, hh + dy);
        copy(n, c, hw, dy, pw, ph, hw + dx, 0);
        copy(n, c, hw, hh, pw, ph, hw + dx, hh + dy);
        break;
    }
    case 23:
    case 24:
    case 26: {  // wipes from opposite edges towards the middle
        if (kind != 24) {  // top band, bottom band
            copy(n, c, 0, 0, W, mulDiv(hh, t, L), 0, 0);
            int q = mulDiv(hh, rest, L);
            copy(n, c, 0, hh + q, W, hh - q, 0, hh + q);
        }
        if (kind != 23) {  // left band, right band
            copy(n, c, 0, 0, mulDiv(hw, t, L), H, 0, 0);
            int q = mulDiv(hw, rest, L);
            copy(n, c, hw + q, 0, hw - q, H, hw + q, 0);
        }
        break;
    }
    default:
        break;
    }
}
