// The scroll range, the bar's pieces and their places, the grip's size and
// position, and moving by arrows, grip, keys and wheel.
#include "gui/ScrollBar.h"

#include <algorithm>
#include <cmath>

#include "gui/Bitmap.h"
#include "gui/Button.h"
#include "gui/Messages.h"
#include "gui/Reshape.h"
#include "gui/Skin.h"

// ------------------------------------------------------------ ScrollRange

ScrollRange::~ScrollRange() = default;

void ScrollRange::setMin(double v) { min_ = v; }
void ScrollRange::setMax(double v) { max_ = v; }

void ScrollRange::setRange(double min, double max)
{
    setMin(min);
    setMax(max);
}

void ScrollRange::setPosition(double v)
{
    if (v < min_)
        position_ = min_;
    else if (v > max_)
        position_ = max_;
    else
        position_ = v;
}

void ScrollRange::setStep(double v) { step_ = v; }

void ScrollRange::setAll(double min, double max, double position, double step)
{
    setRange(min, max);
    setPosition(position);
    setStep(step);
}

void ScrollRange::increment()
{
    position_ += step_;
    if (position_ > max_)
        position_ = max_;
}

void ScrollRange::decrement()
{
    position_ -= step_;
    if (position_ < min_)
        position_ = min_;
}

double ScrollRange::min() const { return min_; }
double ScrollRange::max() const { return max_; }
double ScrollRange::range() const { return max_ - min_; }
double ScrollRange::position() const { return position_; }
double ScrollRange::step() const { return step_; }

// ------------------------------------------------------------ pieces

namespace {

// Skin slots of the pieces by orientation (vertical, horizontal).
constexpr int decreaseSlot[2] = {Skin::SCROLL_UP, Skin::SCROLL_LEFT};
constexpr int increaseSlot[2] = {Skin::SCROLL_DOWN, Skin::SCROLL_RIGHT};
constexpr int trackSlot[2] = {Skin::SCROLL_VBACK, Skin::SCROLL_HBACK};
constexpr int gripSlot[2] = {Skin::SCROLL_VGRIP, Skin::SCROLL_HGRIP};
constexpr int overlaySlot[2] = {Skin::SCROLL_VGRIPOVERLAY, Skin::SCROLL_HGRIPOVERLAY};

// Drawing state of a piece: disabled, selected, focused, normal.
int pieceState(const Widget& w)
{
    if (w.disabled())
        return Widget::Disabled;
    if (w.selected())
        return Widget::Selected;
    if (w.hasFocus())
        return Widget::Focused;
    return Widget::Normal;
}

// Frame height of a bitmap of four frames stacked vertically.
int frameHeight(const Bitmap& b) { return b.empty() ? 0 : b.height() / 4; }
int frameWidth(const Bitmap& b) { return b.empty() ? 0 : b.width(); }

// Truncates toward zero to an int, keeping NaN and huge values in range.
int toInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return 2147483647;
    if (v <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(std::trunc(v));
}

} // namespace

// The background between the two arrows.
class ScrollBar::Track : public Widget {
public:
    void draw(Bitmap& canvas) override
    {
        const Bitmap& b = skinBitmap();
        if (b.empty())
            return;
        b.tiledBlitMasked(canvas, 0, pieceState(*this), 0, 0, w(), h(), 1, 4);
    }
};

// The draggable thumb: a button that reports keys and drags to the bar as
// MSG_SCROLL (the scancode, or -1 while it is dragged).
class ScrollBar::Grip : public Button {
public:
    int overlayIndex = -1;

    void draw(Bitmap& canvas) override
    {
        const int state = pieceState(*this);
        const Bitmap& b = skinBitmap();
        if (!b.empty())
            b.tiledBlitMasked(canvas, 0, state, 0, 0, w(), h(), 1, 4);
        if (!skin() || overlayIndex < 0 || overlayIndex >= Skin::BITMAP_SLOTS)
            return;
        const Bitmap& o = skin()->bitmap(overlayIndex);
        const int ow = frameWidth(o);
        const int oh = frameHeight(o);
        if (o.empty() || oh <= 0 || w() < ow || h() < oh)
            return;
        masked_blit(o.bitmap(), canvas.bitmap(), 0, state * oh, (w() - ow) / 2, (h() - oh) / 2, ow, oh);
    }

    bool msgChar(int c) override
    {
        const int scancode = (c >> 8) & 0xff;
        if (scancode >= KEY_HOME && scancode <= KEY_DOWN) {
            if (parent())
                parent()->handleEvent(this, MSG_SCROLL, scancode, 0);
            // Keys repeat quickly while held; do not let a backlog of them
            // keep the bar moving after the key is released.
            if (keyboard_driver)
                clear_keybuf();
            Button::msgChar(c);
            return true;
        }
        return Button::msgChar(c);
    }

    void msgMouseMove(Point delta) override
    {
        if (selected() && testFlags(D_PRESSED) && parent())
            parent()->handleEvent(this, MSG_SCROLL, -1, 0);
        Button::msgMouseMove(delta);
    }

    bool msgWantTab() override { return false; }
};

namespace {

// An arrow button: repeats while held, never reached by Tab.
class Arrow : public Button {
public:
    bool msgWantTab() override { return false; }
};

} // namespace

// ------------------------------------------------------------ ScrollBar

ScrollBar::ScrollBar()
    : track_(std::make_unique<Track>()),
      decreaseButton_(std::make_unique<Arrow>()),
      grip_(std::make_unique<Grip>()),
      increaseButton_(std::make_unique<Arrow>())
{
    add(track_.get());
    add(decreaseButton_.get());
    add(grip_.get());
    add(increaseButton_.get());
    setOrientation(Vertical);
}

// The pieces are members and die with the bar; the dialog part does not touch
// its children.
ScrollBar::~ScrollBar() = default;

Widget& ScrollBar::track() { return *track_; }
Button& ScrollBar::decreaseButton() { return *decreaseButton_; }
Button& ScrollBar::increaseButton() { return *increaseButton_; }
Button& ScrollBar::grip() { return *grip_; }

const Bitmap& ScrollBar::pieceBitmap(int slot) const
{
    static const Bitmap none;
    Skin* s = skin();
    return s ? s->bitmap(slot) : none;
}

bool ScrollBar::arrowsPresent() const
{
    return !pieceBitmap(decreaseSlot[orientation_]).empty() &&
           !pieceBitmap(increaseSlot[orientation_]).empty();
}

int ScrollBar::freeLength() const
{
    const Bitmap& d = pieceBitmap(decreaseSlot[orientation_]);
    const Bitmap& i = pieceBitmap(increaseSlot[orientation_]);
    if (orientation_ == Horizontal)
        return w() - frameWidth(d) - frameWidth(i);
    return h() - frameHeight(d) - frameHeight(i);
}

int ScrollBar::gripLength() const
{
    return orientation_ == Horizontal ? grip_->w() : grip_->h();
}

void ScrollBar::setOrientation(int orientation)
{
    orientation_ = orientation == Horizontal ? Horizontal : Vertical;
    decreaseButton_->setBitmapIndex(decreaseSlot[orientation_]);
    increaseButton_->setBitmapIndex(increaseSlot[orientation_]);
    track_->setBitmapIndex(trackSlot[orientation_]);
    grip_->setBitmapIndex(gripSlot[orientation_]);
    grip_->overlayIndex = overlaySlot[orientation_];
    updateChildPositions();
    redraw();
}

void ScrollBar::updateChildPositions()
{
    const Bitmap& t = pieceBitmap(trackSlot[orientation_]);
    if (!t.empty()) {
        const Bitmap& d = pieceBitmap(decreaseSlot[orientation_]);
        const Bitmap& i = pieceBitmap(increaseSlot[orientation_]);
        const int dW = frameWidth(d), dH = frameHeight(d);
        const int iW = frameWidth(i), iH = frameHeight(i);
        if (orientation_ == Horizontal) {
            if (h() != frameHeight(t))
                setH(frameHeight(t));
            const int w = this->w(), h = this->h();
            reshape(*track_, iW, 0, w - dW - iW, h);
            reshape(*decreaseButton_, 0, 0, dW, h);
            reshape(*grip_, grip_->relativePos().x, 0, grip_->w(), h);
            reshape(*increaseButton_, w - iW, 0, iW, h);
        } else {
            if (w() != frameWidth(t))
                setW(frameWidth(t));
            const int w = this->w(), h = this->h();
            reshape(*track_, 0, iH, w, h - dH - iH);
            reshape(*decreaseButton_, 0, 0, w, dH);
            reshape(*grip_, 0, grip_->relativePos().y, w, grip_->h());
            reshape(*increaseButton_, 0, h - iH, w, iH);
        }
    }
    Dialog::updateChildPositions();
}

void ScrollBar::setup(int x, int y, int w, int h, int /*key*/, std::uint32_t /*flags*/,
                      int total, int visible, int position, int orientation)
{
    resize(w, h);
    place(x, y);
    setAll(0, total, position, 1);
    setOrientation(orientation);
    setSizes(total, visible);
}

void ScrollBar::setSizes(int total, int visible)
{
    if (total < visible)
        setRange(0, 0);
    else
        setRange(0, static_cast<double>(total) - visible);
    const double ratio = (total != 0 && total >= visible)
                             ? static_cast<double>(visible) / total
                             : 1.0;
    if (arrowsPresent()) {
        const int length = std::max(10, toInt(ratio * freeLength()));
        if (orientation_ == Horizontal)
            reshape(*grip_, grip_->relativePos().x, 0, length, h());
        else
            reshape(*grip_, 0, grip_->relativePos().y, w(), length);
    }
    pageSize_ = visible;
    placeGrip();
}

void ScrollBar::placeGrip()
{
    if (!arrowsPresent())
        return;
    const double r = range();
    const Bitmap& d = pieceBitmap(decreaseSlot[orientation_]);
    const int room = freeLength() - gripLength();
    // The grip's offset from the decrease arrow: the room it moves in times
    // the position, divided by the range (multiplied first, so that an exact
    // share gives whole pixels). A position the owner left outside the range
    // keeps the grip on the track.
    int offset = 0;
    if (r > 0) {
        const double along = std::clamp(position() - min(), 0.0, r);
        offset = toInt(room * along / r);
    }
    if (orientation_ == Horizontal) {
        reshape(*grip_, frameWidth(d) + offset, 0, grip_->w(), grip_->h());
    } else {
        reshape(*grip_, grip_->relativePos().x, frameHeight(d) + offset, grip_->w(), grip_->h());
    }
    grip_->updatePosition();
}

void ScrollBar::moveTo(double value)
{
    setPosition(value);
    placeGrip();
    redraw();
}

void ScrollBar::increment()
{
    ScrollRange::increment();
    placeGrip();
    redraw();
}

void ScrollBar::decrement()
{
    ScrollRange::decrement();
    placeGrip();
    redraw();
}

void ScrollBar::userMove(double target)
{
    target = std::clamp(target, min(), std::max(min(), max()));
    const int n = toInt(target);
    if (n == toInt(position()))
        return;
    moveTo(n);
    playSample(Skin::SAMPLE_SCROLL);
    notify(MSG_SCROLL, n);
}

void ScrollBar::handleEvent(Widget* widget, int message, int argument1, int argument2)
{
    if (message == MSG_ACTIVATE &&
        (widget == decreaseButton_.get() || widget == increaseButton_.get())) {
        const double before = position();
        if (widget == decreaseButton_.get())
            decrement();
        else
            increment();
        if (position() != before) {
            playSample(Skin::SAMPLE_SCROLL);
            notify(MSG_SCROLL, toInt(position()));
        }
    } else if (message == MSG_SCROLL && widget == grip_.get()) {
        const bool horizontal = orientation_ == Horizontal;
        double p = position();
        bool move = true;
        switch (argument1) {
        case KEY_HOME: p = min(); break;
        case KEY_END: p = max(); break;
        case KEY_PGUP: p -= pageSize_; break;
        case KEY_PGDN: p += pageSize_; break;
        case KEY_LEFT: if (horizontal) p -= 1; break;
        case KEY_RIGHT: if (horizontal) p += 1; break;
        case KEY_UP: if (!horizontal) p -= 1; break;
        case KEY_DOWN: if (!horizontal) p += 1; break;
        case -1: {
            const Point m = mousePos();
            const int gripLen = gripLength();
            const int trackLen = horizontal ? track_->w() : track_->h();
            const int g = horizontal ? m.x - (gripLen / 2 + decreaseButton_->w())
                                     : m.y - (gripLen / 2 + decreaseButton_->h());
            // A grip that fills its whole track has nowhere to go.
            if (trackLen - gripLen > 0)
                p = min() + range() * g / (trackLen - gripLen);
            else
                move = false;
            break;
        }
        default: move = false; break;
        }
        if (move)
            userMove(p);
    } else if (message == MSG_WHEEL) {
        const double p = orientation_ == Horizontal ? position() + argument1
                                                    : position() - argument1;
        const double before = position();
        moveTo(toInt(p));
        if (position() != before) {
            playSample(Skin::SAMPLE_SCROLL);
            notify(MSG_SCROLL, toInt(position()));
        }
    }
    Dialog::handleEvent(widget, message, argument1, argument2);
}

void ScrollBar::msgSkinChanged()
{
    Dialog::msgSkinChanged();
    decreaseButton_->setSampleIndex(Skin::SAMPLE_ACTIVATE, -1);
    increaseButton_->setSampleIndex(Skin::SAMPLE_ACTIVATE, -1);
    setSampleIndex(Skin::SAMPLE_SCROLL, Skin::SAMPLE_SCROLL);
    decreaseButton_->setFlag(D_AUTOSIZE | D_AUTOREPEAT);
    increaseButton_->setFlag(D_AUTOSIZE | D_AUTOREPEAT);
    setOrientation(orientation_);
    placeGrip();
}

bool ScrollBar::msgWantTab() { return false; }
