// The widget: state, default message handlers, shortcut keys, sounds,
// positions and sizes relative to its dialog, redraws and transitions.
#include "gui/Widget.h"

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/Mouse.h"
#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

namespace {

std::uint64_t nextSerial = 1;

// Where the mouse is taken to be when there is no mouse object.
constexpr Point noMousePosition{-10000, -10000};

bool validState(int state)
{
    return state >= 0 && state < Widget::stateCount;
}

// Latin-1 case folding: A-Z and the accented capitals (except the
// multiplication sign) fold to their small letters.
int foldCase(int c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 32;
    return c;
}

}  // namespace

Widget::Widget()
    : animator_(std::make_unique<Animator>()), serial_(nextSerial++)
{
    std::fill(std::begin(fontColor_), std::end(fontColor_), makecol(0, 0, 0));
}

Widget::~Widget() = default;

// --- Messages ------------------------------------------------------------

void Widget::notify(int message, int argument1, int argument2)
{
    if (parent_)
        parent_->handleEvent(this, message, argument1, argument2);
}

int Widget::sendMessage(int message, int argument, int argument2)
{
    switch (message) {
    case MSG_START:
        msgStart();
        animate();
        return D_O_K;
    case MSG_END: msgEnd(); return D_O_K;
    case MSG_DRAW: msgDraw(); return D_O_K;
    case MSG_CLICK: msgClick(); return D_O_K;
    case MSG_DCLICK: msgDClick(); return D_O_K;
    case MSG_KEY: msgKey(); return D_O_K;
    case MSG_CHAR: return msgChar(argument) ? D_USED_CHAR : D_O_K;
    case MSG_UCHAR: return msgUChar(argument) ? D_USED_CHAR : D_O_K;
    case MSG_XCHAR: return msgXChar(argument) ? D_USED_CHAR : D_O_K;
    case MSG_WANTFOCUS: return msgWantFocus() ? D_WANTFOCUS : D_O_K;
    case MSG_GOTFOCUS: msgGotFocus(); return D_O_K;
    case MSG_LOSTFOCUS: msgLostFocus(); return D_O_K;
    case MSG_GOTMOUSE: msgGotMouse(); return D_O_K;
    case MSG_LOSTMOUSE: msgLostMouse(); return D_O_K;
    case MSG_IDLE: msgIdle(); return D_O_K;
    case MSG_RADIO: msgRadio(argument); return D_O_K;
    case MSG_WHEEL: msgWheel(argument); return D_O_K;
    case MSG_LPRESS: msgLPress(); return D_O_K;
    case MSG_LRELEASE: msgLRelease(); return D_O_K;
    case MSG_MPRESS: msgMPress(); return D_O_K;
    case MSG_MRELEASE: msgMRelease(); return D_O_K;
    case MSG_RPRESS: msgRPress(); return D_O_K;
    case MSG_RRELEASE: msgRRelease(); return D_O_K;
    case MSG_TIMER: msgTimer(argument); return D_O_K;
    case MSG_TICK: msgTick(); return D_O_K;
    case MSG_SKINCHANGED: msgSkinChanged(); return D_O_K;
    case MSG_MOVE: msgMove(); return D_O_K;
    case MSG_RESIZE: msgResize(); return D_O_K;
    case MSG_SHAPE: msgShape(); return D_O_K;
    case MSG_MOUSEMOVE: msgMouseMove(Point(argument, argument2)); return D_O_K;
    case MSG_CLOSE: return msgClose() ? D_CLOSE : D_O_K;
    case MSG_WANTMOUSE: return msgWantMouse() ? D_WANTFOCUS : D_O_K;
    case MSG_WANTTAB: return msgWantTab() ? D_WANTFOCUS : D_O_K;
    default:
        // MSG_ACTIVATE and MSG_SCROLL are only ever notifications; anything
        // else is not a message at all.
        return D_O_K;
    }
}

void Widget::setCursor(int cursorIndex)
{
    Mouse* m = mouse();
    if (parent_ && m)
        m->setCursor(parent_->skin(), cursorIndex);
}

void Widget::msgStart()
{
    updatePosition();
    notify(MSG_START);
}

void Widget::msgEnd()
{
    notify(MSG_END);
    clearFlag(D_GOTFOCUS | D_GOTMOUSE | D_MOVED | D_RESIZED | D_SKINCHANGED);
}

void Widget::draw(Bitmap&) {}

void Widget::msgClick() { notify(MSG_CLICK); }
void Widget::msgDClick() { notify(MSG_DCLICK); }
void Widget::msgKey() { notify(MSG_KEY); }

bool Widget::msgChar(int c)
{
    notify(MSG_CHAR, c);
    return false;
}

bool Widget::msgUChar(int c)
{
    notify(MSG_UCHAR, c);
    return false;
}

bool Widget::msgXChar(int c)
{
    notify(MSG_XCHAR, c);
    return false;
}

bool Widget::msgWantFocus()
{
    notify(MSG_WANTFOCUS);
    return false;
}

void Widget::msgGotFocus()
{
    setFlag(D_GOTFOCUS);
    redraw();
    notify(MSG_GOTFOCUS);
}

void Widget::msgLostFocus()
{
    clearFlag(D_GOTFOCUS);
    redraw();
    notify(MSG_LOSTFOCUS);
}

bool Widget::msgWantMouse()
{
    notify(MSG_WANTMOUSE);
    return true;
}

void Widget::msgGotMouse()
{
    setFlag(D_GOTMOUSE);
    notify(MSG_GOTMOUSE);
}

void Widget::msgLostMouse()
{
    clearFlag(D_GOTMOUSE);
    notify(MSG_LOSTMOUSE);
}

void Widget::msgIdle() {}

void Widget::msgRadio(int group) { notify(MSG_RADIO, group); }
void Widget::msgWheel(int steps) { notify(MSG_WHEEL, steps); }
void Widget::msgLPress() { notify(MSG_LPRESS); }
void Widget::msgMPress() { notify(MSG_MPRESS); }
void Widget::msgRPress() { notify(MSG_RPRESS); }
void Widget::msgLRelease() { notify(MSG_LRELEASE); }
void Widget::msgMRelease() { notify(MSG_MRELEASE); }
void Widget::msgRRelease() { notify(MSG_RRELEASE); }

// The parent hears of a timer tick, not which timer it was.
void Widget::msgTimer(int) { notify(MSG_TIMER); }

void Widget::msgTick()
{
    if (animator_->inProgress()) {
        if (animator_->step()) {
            // Leave the final picture in the target at once; the transition
            // is stopped on the next tick.
            if (BITMAP* c = canvas()) {
                animator_->finish(c, 0, 0);
                releaseCanvas(c);
            }
            animationEnded_ = true;
        }
        redraw();
    } else if (animationEnded_) {
        stopAnimation();
    }
}

void Widget::msgMove()
{
    notify(MSG_MOVE);
    clearFlag(D_MOVED);
}

void Widget::msgResize()
{
    notify(MSG_RESIZE);
    clearFlag(D_RESIZED);
}

void Widget::msgShape()
{
    notify(MSG_SHAPE);
    clearFlag(D_MOVED | D_RESIZED);
}

void Widget::msgMouseMove(Point delta) { notify(MSG_MOUSEMOVE, delta.x, delta.y); }

void Widget::msgSkinChanged()
{
    notify(MSG_SKINCHANGED);
    clearFlag(D_SKINCHANGED);
}

bool Widget::msgClose() { return true; }

bool Widget::msgWantTab() { return msgWantFocus(); }

bool Widget::deliverPendingShape()
{
    bool moved = (flags_ & D_MOVED) != 0;
    bool resized = (flags_ & D_RESIZED) != 0;
    if (moved && resized)
        sendMessage(MSG_SHAPE);
    else if (moved)
        sendMessage(MSG_MOVE);
    else if (resized)
        sendMessage(MSG_RESIZE);
    clearFlag(D_MOVED | D_RESIZED);
    return moved || resized;
}

bool Widget::matchesKey(int character, int scancode) const
{
    if (flags_ & (D_HIDDEN | D_DISABLED))
        return false;
    if (key_ == 0)
        return false;
    if (character >= 1 && character <= 255)
        return key_ >= 1 && key_ <= 255 && foldCase(key_) == foldCase(character);
    if (character == 0)
        return scancode > 0 && scancode * 256 == key_;
    return false;
}

void Widget::playSample(int event)
{
    if (event < 0 || event >= sampleCount || !theSettings.guiSound)
        return;
    int slot = sampleIndex_[event];
    if (slot < 0)
        return;
    if (Skin* s = skin())
        s->playSample(slot);
}

// --- Position and size ---------------------------------------------------

void Widget::updatePosition()
{
    if (parent_ && static_cast<Widget*>(parent_) != this) {
        rect_.x = parent_->x() + relativePos_.x;
        rect_.y = parent_->y() + relativePos_.y;
    } else {
        rect_.x = relativePos_.x;
        rect_.y = relativePos_.y;
    }
}

void Widget::setX(int x)
{
    bool hasParent = parent_ && static_cast<Widget*>(parent_) != this;
    if (x < 0 && hasParent)
        x += parent_->w();
    relativePos_.x = x;
    rect_.x = hasParent ? parent_->x() + x : x;
    redraw();
    setFlag(D_MOVED);
}

void Widget::setY(int y)
{
    bool hasParent = parent_ && static_cast<Widget*>(parent_) != this;
    if (y < 0 && hasParent)
        y += parent_->h();
    relativePos_.y = y;
    rect_.y = hasParent ? parent_->y() + y : y;
    redraw();
    setFlag(D_MOVED);
}

int Widget::x() const { return rect_.x; }
int Widget::y() const { return rect_.y; }
int Widget::x2() const { return rect_.x + rect_.w; }
int Widget::y2() const { return rect_.y + rect_.h; }

void Widget::setW(int w)
{
    rect_.w = w;
    redraw();
    setFlag(D_RESIZED);
}

void Widget::setH(int h)
{
    rect_.h = h;
    redraw();
    setFlag(D_RESIZED);
}

int Widget::w() const { return rect_.w; }
int Widget::h() const { return rect_.h; }
Point Widget::relativePos() const { return relativePos_; }

void Widget::place(Point pos) { place(pos.x, pos.y); }

void Widget::place(int x, int y)
{
    setX(x);
    setY(y);
}

void Widget::resize(Point size) { resize(size.x, size.y); }

void Widget::resize(int w, int h)
{
    setW(w);
    setH(h);
}

void Widget::shape(const Rect& r) { shape(r.x, r.y, r.w, r.h); }
void Widget::shape(Point pos, Point size) { shape(pos.x, pos.y, size.x, size.y); }

void Widget::shape(int x, int y, int w, int h)
{
    resize(w, h);
    place(x, y);
}

void Widget::setup(int x, int y, int w, int h, int key, std::uint32_t flags)
{
    shape(x, y, w, h);
    key_ = key;
    flags_ |= flags;
}

Point Widget::mousePos() const
{
    Mouse* m = mouse();
    Point p = m ? m->position() : noMousePosition;
    return p - rect_.pos();
}

// --- Flags ---------------------------------------------------------------

void Widget::setKey(int key) { key_ = key; }
int Widget::key() const { return key_; }

std::uint32_t Widget::flags() const { return flags_; }
bool Widget::testFlags(std::uint32_t mask) const { return (flags_ & mask) == mask; }
bool Widget::hasFocus() const { return flags_ & D_GOTFOCUS; }
bool Widget::hasMouse() const { return flags_ & D_GOTMOUSE; }
bool Widget::hidden() const { return flags_ & D_HIDDEN; }
bool Widget::exits() const { return flags_ & D_EXIT; }
bool Widget::selected() const { return flags_ & D_SELECTED; }
bool Widget::disabled() const { return flags_ & D_DISABLED; }
bool Widget::dirty() const { return flags_ & D_DIRTY; }
bool Widget::isDialog() const { return flags_ & D_DIALOG; }
bool Widget::isWindow() const { return flags_ & D_WINDOW; }

Dialog* Widget::parent() const { return parent_; }

void Widget::setFlag(std::uint32_t mask) { flags_ |= mask; }
void Widget::clearFlag(std::uint32_t mask) { flags_ &= ~mask; }

void Widget::enable()
{
    clearFlag(D_DISABLED);
    redraw();
}

void Widget::disable()
{
    setFlag(D_DISABLED);
    redraw();
}

void Widget::hide() { setFlag(D_HIDDEN); }

void Widget::unhide()
{
    clearFlag(D_HIDDEN);
    redraw();
}

void Widget::makeExit()
{
    setFlag(D_EXIT);
    redraw();
}

void Widget::dontExit()
{
    clearFlag(D_EXIT);
    redraw();
}

void Widget::redraw() { setFlag(D_DIRTY); }

void Widget::select()
{
    setFlag(D_SELECTED);
    redraw();
}

void Widget::deselect()
{
    clearFlag(D_SELECTED);
    redraw();
}

void Widget::setParent(Dialog* dialog) { parent_ = dialog; }

// --- Animation -----------------------------------------------------------

void Widget::setAnimator(Animator* animator)
{
    // The animator already owned must not be destroyed on its way back in.
    if (animator && animator != animator_.get())
        animator_.reset(animator);
}

void Widget::setAnimationProperties(int length, int type)
{
    animationLength_ = length;
    animationType_ = type;
}

void Widget::setAnimationType(int type)
{
    animationType_ = type;
    animate();
}

void Widget::animate()
{
    stopAnimation();
    if (animationType_ != 0)
        setFlag(D_ANIMATING);
}

void Widget::stopAnimation()
{
    clearFlag(D_ANIMATING);
    animationEnded_ = false;
}

void Widget::resetAnimation()
{
    clearFlag(D_ANIMATING);
    animationEnded_ = false;
    animator_->reset();
}

// --- Skin and looks ------------------------------------------------------

void Widget::setSkin(Skin* skin)
{
    setFlag(D_SKINCHANGED);
    // The global skin is not stored: it may be replaced (and destroyed)
    // while the widget lives, and the widget follows the one in place.
    skin_ = skin == globalSkin() ? nullptr : skin;
    if (!hidden())
        redraw();
}

Skin* Widget::skin() const { return skin_ ? skin_ : globalSkin(); }

const Bitmap& Widget::skinBitmap() const
{
    static const Bitmap empty;
    Skin* s = skin();
    if (!s || bitmapIndex_ < 0 || bitmapIndex_ >= skinBitmapCount)
        return empty;
    return s->bitmap(bitmapIndex_);
}

Color Widget::fontColor(int state) const { return fontColor_[validState(state) ? state : Normal]; }

void Widget::setFontColor(int state, Color c)
{
    if (validState(state))
        fontColor_[state] = c;
}

Color Widget::shadowColor(int state) const
{
    return shadowColor_[validState(state) ? state : Normal];
}

void Widget::setShadowColor(int state, Color c)
{
    if (validState(state))
        shadowColor_[state] = c;
}

int Widget::fontIndex(int state) const { return fontIndex_[validState(state) ? state : Normal]; }

void Widget::setFontIndex(int state, int index)
{
    if (validState(state))
        fontIndex_[state] = index;
}

int Widget::sampleIndex(int event) const
{
    return event >= 0 && event < sampleCount ? sampleIndex_[event] : -1;
}

void Widget::setSampleIndex(int event, int index)
{
    if (event >= 0 && event < sampleCount)
        sampleIndex_[event] = index;
}

int Widget::textState() const
{
    if (flags_ & D_DISABLED)
        return Disabled;
    if (flags_ & D_SELECTED)
        return Selected;
    if (flags_ & D_GOTFOCUS)
        return Focused;
    return Normal;
}

// --- Drawing -------------------------------------------------------------

bool Widget::drawingTarget(BITMAP*& target, Point& origin) const
{
    target = nullptr;
    origin = Point();
    Dialog* ancestor = parent_;
    // A top-level dialog is its own parent: it has no ancestors.
    while (ancestor && static_cast<const Widget*>(ancestor) != this) {
        const Widget* a = ancestor;
        bool armed = a->testFlags(D_ANIMATING);
        bool running = a->animator().inProgress();
        if (armed && !running)
            return false;  // it repaints everything when its transition starts
        if (!armed && running) {
            target = a->animator().newImage();
            origin = a->rect().pos();
            return true;
        }
        Dialog* next = ancestor->parent();
        if (next == ancestor)
            break;  // the top-level dialog
        ancestor = next;
    }
    if (ScreenUpdate* update = ScreenUpdate::current())
        target = update->target();
    return true;
}

BITMAP* Widget::canvas()
{
    BITMAP* target = nullptr;
    Point origin;
    if (!drawingTarget(target, origin) || !target)
        return nullptr;

    int x = rect_.x - origin.x;
    int y = rect_.y - origin.y;
    if (x >= target->w || y >= target->h)
        return nullptr;
    int w = std::min(rect_.w, target->w - x);
    int h = std::min(rect_.h, target->h - y);
    // A widget placed in a window's client area does not paint outside it
    // (over the frame or beside the window): cut at the client area's right
    // and bottom edges. Dialogs in the client area (a combo box's drop-down
    // list) draw their own children, which may reach beyond it.
    if (parent_ && static_cast<const Widget*>(parent_) != this) {
        const Dialog* window = parent_->parent();
        if (window && window != parent_ && window->isWindow()) {
            w = std::min(w, parent_->x2() - rect_.x);
            h = std::min(h, parent_->y2() - rect_.y);
        }
    }
    if (w <= 0 || h <= 0)
        return nullptr;

    if (x >= 0 && y >= 0)
        return create_sub_bitmap(target, x, y, w, h);

    // A sub-bitmap cannot begin outside its parent (Allegro would move it
    // inside, shifting the whole picture). Such a widget draws into a
    // private bitmap of its size that starts as a copy of the target below
    // it and goes back into the target on release.
    if (x + w <= 0 || y + h <= 0)
        return nullptr;
    if (offsetCanvas_)
        return nullptr;  // one at a time
    BITMAP* own = create_bitmap_ex(bitmap_color_depth(target), w, h);
    if (!own)
        return nullptr;
    clear_to_color(own, bitmap_mask_color(own));
    blit(target, own, x, y, 0, 0, w, h);
    offsetCanvas_ = own;
    offsetTarget_ = target;
    offsetOrigin_ = Point(x, y);
    return own;
}

void Widget::releaseCanvas(BITMAP* canvas)
{
    if (!canvas)
        return;
    if (canvas == offsetCanvas_) {
        blit(canvas, offsetTarget_, 0, 0, offsetOrigin_.x, offsetOrigin_.y, canvas->w, canvas->h);
        destroy_bitmap(canvas);
        offsetCanvas_ = nullptr;
        offsetTarget_ = nullptr;
        return;
    }
    if (is_sub_bitmap(canvas))
        destroy_bitmap(canvas);
}

void Widget::msgDraw()
{
    if (BITMAP* c = canvas()) {
        if (testFlags(D_ANIMATING) && !animator_->inProgress()) {
            Bitmap image;
            if (animator_->start(c, animationLength_, theSettings.logicFrameRate)) {
                image.wrap(animator_->newImage());
                draw(image);
                animator_->paintFrame(c, animationType_);
            } else {
                image.wrap(c);
                draw(image);
            }
            animationEnded_ = false;
            clearFlag(D_ANIMATING);
        } else if (animator_->inProgress()) {
            animator_->paintFrame(c, animationType_);
        } else {
            Bitmap image;
            image.wrap(c);
            draw(image);
        }
        releaseCanvas(c);
    }
    clearFlag(D_DIRTY);
    if (ScreenUpdate* update = ScreenUpdate::current())
        update->invalidate(rect_);
    notify(MSG_DRAW);
}
