// The mouse: polling, choosing and animating the cursor, its blurred shadow,
// drawing and hiding it on the screen update's target.
#include "gui/Mouse.h"

#include <algorithm>
#include <memory>

#include <allegro.h>

#include "gui/Bitmap.h"
#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

namespace {

std::unique_ptr<Mouse> theMouse;

// Strongest opacity of the shadow, where the blurred shape is solid.
constexpr int shadowOpacity = 160;

// One pass of a box blur of the given radius along rows (horizontal) or
// columns; values outside the picture count as 0.
void boxBlur(std::vector<int>& v, int w, int h, int radius, bool horizontal)
{
    const int len = horizontal ? w : h;
    const int lines = horizontal ? h : w;
    const int window = 2 * radius + 1;
    std::vector<int> line(len);
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> int& { return horizontal ? v[l * w + i] : v[i * w + l]; };
        for (int i = 0; i < len; ++i)
            line[i] = at(i);
        int sum = 0;
        for (int i = 0; i <= radius && i < len; ++i)
            sum += line[i];
        for (int i = 0; i < len; ++i) {
            at(i) = sum / window;
            const int add = i + radius + 1;
            const int drop = i - radius;
            if (add < len)
                sum += line[add];
            if (drop >= 0)
                sum -= line[drop];
        }
    }
}

// The blur radius of the skin's cursor shadow, within what is drawn.
int shadowRadiusOf(const Skin& skin)
{
    return std::clamp(skin.elements().mouseShadowSize, 0, Mouse::maxShadowRadius);
}

} // namespace

Mouse* mouse() { return theMouse.get(); }

Mouse* createMouse()
{
    if (!theMouse)
        theMouse = std::make_unique<Mouse>();
    return theMouse.get();
}

void destroyMouse()
{
    if (theMouse)
        theMouse->hide();
    theMouse.reset();
}

Mouse::Mouse() = default;

Mouse::~Mouse()
{
    if (saved_)
        destroy_bitmap(saved_);
}

void Mouse::update(Point pos, int buttons, int wheel)
{
    pos_ = pos;
    buttons_ = buttons;
    wheel_ = wheel;
}

void Mouse::setCursor(Skin* skin, int index)
{
    if (!skin)
        skin = globalSkin();
    if (!skin || index < 0 || index >= Skin::CURSOR_SLOTS)
        return;
    const Cursor& c = skin->cursor(index);
    if (c.bitmap().empty())
        return;
    setCursor(&c);
}

void Mouse::setCursor(const Cursor* cursor)
{
    if (cursor == cursor_)
        return;
    cursor_ = cursor;
    frame_ = 0;
    elapsedMs_ = 0;
    shadows_.clear();
    shadowRadius_ = -1;
}

void Mouse::advance(int ms)
{
    if (!cursor_ || cursor_->frames <= 1 || cursor_->frameDuration <= 0)
        return;
    // The skin may give long durations: the cycle is counted in 64 bits.
    const std::int64_t period = std::int64_t(cursor_->frames) * cursor_->frameDuration;
    elapsedMs_ = (elapsedMs_ + std::max(ms, 0)) % period;
    frame_ = static_cast<int>(elapsedMs_ / cursor_->frameDuration);
}

Mouse::Shadow Mouse::makeShadow(BITMAP* frame, int radius)
{
    Shadow s;
    if (!frame)
        return s;
    radius = std::clamp(radius, 0, maxShadowRadius);
    s.w = frame->w + 2 * radius;
    s.h = frame->h + 2 * radius;
    std::vector<int> v(static_cast<std::size_t>(s.w) * s.h, 0);
    const int mask = bitmap_mask_color(frame);
    for (int y = 0; y < frame->h; ++y)
        for (int x = 0; x < frame->w; ++x)
            if (getpixel(frame, x, y) != mask)
                v[(y + radius) * s.w + x + radius] = 255;
    if (radius > 0) {
        boxBlur(v, s.w, s.h, radius, true);
        boxBlur(v, s.w, s.h, radius, false);
    }
    s.alpha.resize(v.size());
    std::transform(v.begin(), v.end(), s.alpha.begin(),
                   [](int a) { return static_cast<std::uint8_t>(std::clamp(a, 0, 255)); });
    return s;
}

void Mouse::buildShadows()
{
    shadows_.clear();
    BITMAP* bmp = cursor_ ? cursor_->bitmap().bitmap() : nullptr;
    Skin* skin = globalSkin();
    if (!bmp || !skin)
        return;
    const int frames = std::max(cursor_->frames, 1);
    const int fw = bmp->w / frames;
    if (fw <= 0)
        return;
    shadowRadius_ = shadowRadiusOf(*skin);
    for (int i = 0; i < frames; ++i) {
        BITMAP* sub = create_sub_bitmap(bmp, i * fw, 0, fw, bmp->h);
        shadows_.push_back(makeShadow(sub, shadowRadius_));
        if (sub)
            destroy_bitmap(sub);
    }
}

void Mouse::drawShadow(BITMAP* target, int x, int y)
{
    Skin* skin = globalSkin();
    if (!skin || frame_ >= static_cast<int>(shadows_.size()))
        return;
    const Color colour = skin->elements().mouseShadowColor;
    if (colour == NO_COLOR)
        return;
    const Shadow& s = shadows_[frame_];
    const int depth = bitmap_color_depth(target);
    if (depth == 8)
        return;
    const int sr = getr_depth(depth, colour);
    const int sg = getg_depth(depth, colour);
    const int sb = getb_depth(depth, colour);
    for (int j = 0; j < s.h; ++j) {
        const int ty = y + j;
        if (ty < target->ct || ty >= target->cb)
            continue;
        for (int i = 0; i < s.w; ++i) {
            const int tx = x + i;
            const int a = s.alpha[j * s.w + i] * shadowOpacity / 255;
            if (a == 0 || tx < target->cl || tx >= target->cr)
                continue;
            const int d = getpixel(target, tx, ty);
            const int r = getr_depth(depth, d);
            const int g = getg_depth(depth, d);
            const int b = getb_depth(depth, d);
            putpixel(target, tx, ty,
                     makecol_depth(depth, r + (sr - r) * a / 255, g + (sg - g) * a / 255,
                                   b + (sb - b) * a / 255));
        }
    }
}

bool Mouse::needsDrawing() const
{
    return cursor_ && (cursor_ != drawnCursor_ || pos_ != drawnPos_ || frame_ != drawnFrame_);
}

void Mouse::draw()
{
    BITMAP* target = update_ ? update_->target() : nullptr;
    BITMAP* bmp = cursor_ ? cursor_->bitmap().bitmap() : nullptr;
    drawnCursor_ = cursor_;
    drawnPos_ = pos_;
    drawnFrame_ = frame_;
    if (!target || !bmp)
        return;
    if (saved_ && savedOn_)
        hide();

    const int frames = std::max(cursor_->frames, 1);
    const int fw = bmp->w / frames;
    const int fh = bmp->h;
    if (fw <= 0 || fh <= 0)
        return;
    const int fx = pos_.x - cursor_->focusX;
    const int fy = pos_.y - cursor_->focusY;

    Skin* skin = globalSkin();
    const bool withShadow = theSettings.mouseShadow && skin &&
                            skin->elements().mouseShadowColor != NO_COLOR &&
                            bitmap_color_depth(target) != 8;
    int sx = 0, sy = 0;
    Rect cover{fx, fy, fw, fh};
    if (withShadow) {
        if (shadows_.empty() || shadowRadius_ != shadowRadiusOf(*skin))
            buildShadows();
        sx = fx + skin->elements().mouseShadowOffsetX - shadowRadius_;
        sy = fy + skin->elements().mouseShadowOffsetY - shadowRadius_;
        const int sw = fw + 2 * shadowRadius_;
        const int sh = fh + 2 * shadowRadius_;
        const int x1 = std::min(cover.x, sx), y1 = std::min(cover.y, sy);
        const int x2 = std::max(cover.x2(), sx + sw), y2 = std::max(cover.y2(), sy + sh);
        cover = Rect{x1, y1, x2 - x1, y2 - y1};
    }

    // Only the part on the target can be saved and restored.
    const int cx1 = std::max(cover.x, 0), cy1 = std::max(cover.y, 0);
    const int cx2 = std::min(cover.x2(), target->w), cy2 = std::min(cover.y2(), target->h);
    if (cx2 <= cx1 || cy2 <= cy1)
        return;
    area_ = Rect{cx1, cy1, cx2 - cx1, cy2 - cy1};

    if (saved_ && (saved_->w < area_.w || saved_->h < area_.h ||
                   bitmap_color_depth(saved_) != bitmap_color_depth(target))) {
        destroy_bitmap(saved_);
        saved_ = nullptr;
    }
    if (!saved_)
        saved_ = create_bitmap_ex(bitmap_color_depth(target), area_.w, area_.h);
    if (!saved_)
        return;
    blit(target, saved_, area_.x, area_.y, 0, 0, area_.w, area_.h);
    savedOn_ = target;

    if (withShadow)
        drawShadow(target, sx, sy);
    if (bitmap_color_depth(bmp) == bitmap_color_depth(target))
        masked_blit(bmp, target, frame_ * fw, 0, fx, fy, fw, fh);
    update_->invalidate(area_);
}

void Mouse::hide()
{
    if (!saved_ || !savedOn_)
        return;
    BITMAP* target = update_ ? update_->target() : nullptr;
    if (target == savedOn_) {
        blit(saved_, target, 0, 0, area_.x, area_.y, area_.w, area_.h);
        update_->invalidate(area_);
    }
    savedOn_ = nullptr;
}
