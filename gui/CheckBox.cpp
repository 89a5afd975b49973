// The check box: ticking it, its skin look and drawing the box from the
// 2 x 4 "CHECKBOX" bitmap beside the caption.
#include "gui/CheckBox.h"

#include "gui/Bitmap.h"
#include "gui/Font.h"
#include "gui/Skin.h"

CheckBox::CheckBox()
{
    setFlag(D_TOGGLE);
}

CheckBox::~CheckBox() = default;

void CheckBox::setChecked(bool on)
{
    if (on)
        select();
    else
        deselect();
}

void CheckBox::msgSkinChanged()
{
    // Never sized from the button bitmap: drop D_AUTOSIZE before the
    // button's handling looks at it.
    clearFlag(D_AUTOSIZE | D_AUTOREPEAT);
    Button::msgSkinChanged();
    takeTypeLook(Skin::TYPE_CHECKBOX);
    if (Skin* s = skin())
        backColor_ = s->colors().face;
    bitmapIndex_ = Skin::CHECKBOX;
    setFlag(D_TOGGLE);
    clearFlag(D_AUTOSIZE | D_AUTOREPEAT);
}

int CheckBox::drawState() const
{
    if (disabled())
        return Disabled;
    if (flags_ & D_PRESSED)
        return Selected;
    if (hasFocus())
        return Focused;
    return Normal;
}

void CheckBox::draw(Bitmap& canvas)
{
    BITMAP* target = canvas.bitmap();
    const int state = drawState();
    if (backColor_ != NO_COLOR)
        clear_to_color(target, backColor_);

    const Font* f = stateFont(state);
    const int fontH = f ? f->textHeight() : 0;
    const Bitmap& b = skinBitmap();
    const int fw = b.empty() ? 0 : b.width() / 2;
    const int fh = b.empty() ? 0 : b.height() / 4;

    if (fw > 0 && fh > 0) {
        const int y = fontH > fh ? (fontH - fh) / 2 : 0;
        masked_blit(b.bitmap(), target, selected() ? fw : 0, state * fh, 0, y, fw, fh);
    }
    if (!f || text_.empty())
        return;
    const int tx = fh + 4;
    const int ty = fh > fontH ? (fh - fontH) / 2 : 1;
    f->drawCaption(target, text_.c_str(), tx, ty, fontColor(state), shadowColor(state));
    if (hasFocus() && skin() && skin()->elements().dottedRect) {
        const int len = f->captionLength(text_.c_str());
        Bitmap::dottedRect(target, tx - 2, ty - 1, tx + len + 1, ty + fontH, fontColor(state));
    }
}
