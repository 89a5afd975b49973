// The button: size from its bitmap, drawing by state, press and release by
// mouse and keyboard, auto-repeat on ticks and the activation sound.
#include "gui/Button.h"

#include <algorithm>
#include <limits>

#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/Font.h"
#include "gui/Mouse.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

Button::Button()
{
    clearFlag(D_AUTOSIZE);
}

Button::~Button() = default;

namespace {

// Ticks in `milliseconds` at the logic frame rate, at least 1. The rate is
// read from the settings file unchecked, so the product is taken in 64 bits.
int ticksFor(int milliseconds)
{
    const long long ticks = static_cast<long long>(theSettings.logicFrameRate) * milliseconds / 1000;
    return static_cast<int>(std::clamp<long long>(ticks, 1, std::numeric_limits<int>::max()));
}

} // namespace

int Button::keyHoldTicks() { return ticksFor(150); }

int Button::repeatTicks() { return ticksFor(60); }

void Button::msgSkinChanged()
{
    Label::msgSkinChanged();
    takeTypeLook(Skin::TYPE_BUTTON);
    backColor_ = NO_COLOR;
    bitmapIndex_ = Skin::BUTTON;
    setSampleIndex(Skin::SAMPLE_GOTFOCUS, Skin::SAMPLE_GOTFOCUS);
    setSampleIndex(Skin::SAMPLE_LOSTFOCUS, Skin::SAMPLE_LOSTFOCUS);
    setSampleIndex(Skin::SAMPLE_ACTIVATE, Skin::SAMPLE_ACTIVATE);
    if (Skin* s = skin())
        setAnimationProperties(s->elements().buttonAnimationLength,
                               s->elements().buttonAnimationType);
    // The bitmap may have changed with the skin.
    updateSize();
}

void Button::updateSize()
{
    if (!(flags_ & D_AUTOSIZE))
        return;
    const Bitmap& b = skinBitmap();
    if (b.empty())
        return;
    if (b.width() != w() || b.height() / 4 != h())
        resize(b.width(), b.height() / 4);
}

int Button::drawState() const
{
    if (disabled())
        return Disabled;
    if (selected())
        return Selected;
    if (hasFocus())
        return Focused;
    return Normal;
}

void Button::draw(Bitmap& canvas)
{
    BITMAP* target = canvas.bitmap();
    const int state = drawState();
    const Bitmap& b = skinBitmap();
    const bool autosize = (flags_ & D_AUTOSIZE) != 0;
    if (!b.empty()) {
        if (autosize) {
            const int fh = b.height() / 4;
            masked_blit(b.bitmap(), target, 0, state * fh, 0, 0, b.width(), fh);
        } else {
            b.tiledBlitMasked(target, 0, state, 0, 0, w(), h(), 1, 4);
        }
    }

    const Font* f = stateFont(state);
    if (f && !text_.empty()) {
        int x = w() / 2 - 1;
        int y = (h() - f->textHeight()) / 2 - 1;
        if (selected()) {
            const int d = skin() ? skin()->elements().buttonDisplacement : 0;
            x += d;
            y += d;
        }
        f->drawCaption(target, text_.c_str(), x, y, fontColor(state), shadowColor(state), -1,
                       Font::Centre);
    }

    if (hasFocus() && !autosize && skin() && skin()->elements().dottedRect)
        Bitmap::dottedRect(target, 3, 3, w() - 3, h() - 3, fontColor(state));
}

bool Button::mouseInside() const
{
    if (const Mouse* m = mouse())
        return rect().contains(m->position());
    return hasMouse();
}

void Button::press()
{
    if (selected())
        deselect();
    else
        select();
    redraw();
    animate();
    setFlag(D_PRESSED);
}

void Button::release(bool checkMouse)
{
    // A release that was not preceded by a press (it went down on another
    // widget) changes nothing.
    if (!(flags_ & D_PRESSED))
        return;
    clearFlag(D_PRESSED);
    if (checkMouse && !mouseInside()) {
        // Let go outside: the press is taken back.
        if (selected())
            deselect();
        else
            select();
        redraw();
        animate();
        return;
    }
    if (!(flags_ & D_TOGGLE)) {
        if (selected())
            deselect();
        else
            select();
    }
    redraw();
    animate();
    if (!(flags_ & D_AUTOREPEAT))
        activate();
}

void Button::activate()
{
    playSample(Skin::SAMPLE_ACTIVATE);
    notify(MSG_ACTIVATE);
}

void Button::msgLPress()
{
    // The mouse takes over from a shortcut press still held down.
    keyHold_ = 0;
    if (!(flags_ & D_PRESSED)) {
        press();
        repeat_ = 0;
    }
    Label::msgLPress();
}

void Button::msgLRelease()
{
    release(true);
    Label::msgLRelease();
}

void Button::msgKey()
{
    if (keyHold_ == 0 && !(flags_ & D_PRESSED)) {
        press();
        repeat_ = 0;
        keyHold_ = keyHoldTicks();
    }
    Label::msgKey();
}

void Button::msgTick()
{
    Label::msgTick();
    if (keyHold_ > 0 && --keyHold_ == 0)
        release(false);
    if ((flags_ & D_AUTOREPEAT) && (flags_ & D_PRESSED)) {
        // The first activation comes on the tick of the press, so even a
        // short click does something; then one every repeatTicks().
        if (repeat_ > 0)
            --repeat_;
        if (repeat_ == 0) {
            activate();
            repeat_ = repeatTicks();
        }
    }
}

void Button::msgEnd()
{
    // A press still held when the dialog ends is taken back.
    if (flags_ & D_PRESSED) {
        clearFlag(D_PRESSED);
        if (selected())
            deselect();
        else
            select();
    }
    keyHold_ = 0;
    repeat_ = 0;
    Label::msgEnd();
}

bool Button::msgWantFocus()
{
    Label::msgWantFocus();
    return true;
}

void Button::msgGotFocus()
{
    playSample(Skin::SAMPLE_GOTFOCUS);
    Label::msgGotFocus();
    animate();
}

void Button::msgLostFocus()
{
    playSample(Skin::SAMPLE_LOSTFOCUS);
    Label::msgLostFocus();
    animate();
}

void Button::setup(int x, int y, int w, int h, int key, std::uint32_t flags, const char* text)
{
    Label::setup(x, y, w, h, key, flags, text, AlignCentre);
}
