// The hyperlink: its HYPER look, size from its caption, drawing by state and
// the select cursor while the mouse is over it.
#include "gui/Hyperlink.h"

#include "gui/Bitmap.h"
#include "gui/Font.h"
#include "gui/Skin.h"

Hyperlink::Hyperlink() = default;
Hyperlink::~Hyperlink() = default;

void Hyperlink::msgSkinChanged()
{
    Button::msgSkinChanged();
    takeTypeLook(Skin::TYPE_HYPER);
    if (Skin* s = skin())
        backColor_ = s->colors().face;
    setFlag(D_AUTOSIZE);
    clearFlag(D_TOGGLE | D_AUTOREPEAT);
    updateSize();
}

void Hyperlink::updateSize()
{
    if (!(flags_ & D_AUTOSIZE) || text_.empty() || !stateFont(Normal))
        return;
    Label::updateSize();
    resize(w() + 3, h() + 2);
}

int Hyperlink::drawState() const
{
    if (disabled())
        return Disabled;
    if (selected() || (flags_ & D_PRESSED))
        return Selected;
    if (hasFocus())
        return Focused;
    return Normal;
}

void Hyperlink::draw(Bitmap& canvas)
{
    BITMAP* target = canvas.bitmap();
    const int state = drawState();
    if (backColor_ != NO_COLOR)
        clear_to_color(target, backColor_);
    const Font* f = stateFont(state);
    if (f && !text_.empty()) {
        const bool down = state == Selected;
        f->drawCaption(target, text_.c_str(), down ? 2 : 1, down ? 1 : 0, fontColor(state),
                       shadowColor(state));
    }
    if (state == Selected && skin())
        Bitmap::dottedRect(target, 1, 0, w() - 1, h() - 1, skin()->colors().fontface);
    hline(target, 1, h() - 2, w() - 2, fontColor(state));
}

void Hyperlink::msgGotMouse()
{
    setCursor(Skin::MOUSE_SELECT);
    Button::msgGotMouse();
}

void Hyperlink::msgLostMouse()
{
    setCursor(Skin::MOUSE_NORMAL);
    Button::msgLostMouse();
}
