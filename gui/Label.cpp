// The label: fonts and colours from the skin's type looks, sizing, drawing
// the aligned text, and setting or reading it as text or number.
#include "gui/Label.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/Font.h"
#include "gui/Skin.h"

Label::Label()
{
    setFlag(D_AUTOSIZE);
}

Label::~Label() = default;

Font* Label::stateFont(int state) const
{
    Skin* s = skin();
    return s ? &s->font(fontIndex(state)) : nullptr;
}

int Label::fontHeight(int state) const
{
    const Font* f = stateFont(state);
    return f ? f->textHeight() : 8;
}

void Label::takeTypeLook(int type)
{
    Skin* s = skin();
    if (!s)
        return;
    for (int state = 0; state < stateCount; ++state) {
        setFontColor(state, s->textColor(type, state));
        setShadowColor(state, s->shadowColor(type, state));
        setFontIndex(state, s->fontIndex(type, state));
    }
}

void Label::msgSkinChanged()
{
    takeTypeLook(Skin::TYPE_TEXT);
    backColor_ = NO_COLOR;
    updateSize();
    Widget::msgSkinChanged();
}

void Label::updateSize()
{
    if (!(flags_ & D_AUTOSIZE) || text_.empty())
        return;
    const Font* f = stateFont(Normal);
    if (!f)
        return;
    const int w = f->captionLength(text_.c_str()), h = f->textHeight();
    if (w != this->w() || h != this->h())
        resize(w, h);
}

void Label::draw(Bitmap& canvas)
{
    if (text_.empty())
        return;
    BITMAP* target = canvas.bitmap();
    const int state = disabled() ? Disabled : Normal;
    if (backColor_ != NO_COLOR)
        clear_to_color(target, backColor_);
    const Font* f = stateFont(state);
    if (!f)
        return;
    const int y = (h() - f->textHeight()) / 2;
    int x = 0;
    int align = Font::Left;
    if (alignment_ == AlignRight) {
        x = w();
        align = Font::Right;
    } else if (alignment_ == AlignCentre) {
        x = w() / 2;
        align = Font::Centre;
    }
    f->drawShadowed(target, text_.c_str(), x, y, fontColor(state), shadowColor(state), -1, align);
}

bool Label::paintsWholeArea() const { return backColor_ != NO_COLOR; }

void Label::exposeBehind(const Rect& before) { exposeBehind(*this, before, !paintsWholeArea()); }

void Label::exposeBehind(Widget& widget, const Rect& before, bool seeThrough)
{
    Dialog* p = widget.parent();
    if (!p || static_cast<Widget*>(p) == &widget || widget.hidden())
        return;
    const Rect& now = widget.rect();
    const bool shrank = now.x > before.x || now.y > before.y || now.x2() < before.x2() ||
                        now.y2() < before.y2();
    if (!seeThrough && !shrank)
        return;
    bool covered = false;
    for (Widget* sibling : p->children()) {
        if (sibling == &widget)
            break;
        if (!sibling->hidden() && sibling->rect().intersects(before)) {
            sibling->redraw();
            covered = covered || (sibling->x() <= before.x && sibling->y() <= before.y &&
                                  sibling->x2() >= before.x2() && sibling->y2() >= before.y2());
        }
    }
    // Nothing behind it in its own dialog: a window paints its own face,
    // so it is drawn again as a whole.
    if (!covered && !p->isTopLevel())
        p->redraw();
}

void Label::setText(const char* text)
{
    const Rect before = rect_;
    text_ = text ? text : "";
    updateSize();
    exposeBehind(before);
    redraw();
}

void Label::setNumber(double value)
{
    // "%f" of a large value is long: the largest double has 309 digits before
    // the point, so with the sign, the point and six decimals at most 317
    // characters come out.
    char buffer[320];
    const int n = std::snprintf(buffer, sizeof buffer, "%f", value);
    if (n < 0) {
        setText("");
        return;
    }
    std::string s(buffer);
    // Drop trailing zeros after the point but keep one digit there. Texts
    // without a point ("inf", "nan") are left alone.
    std::size_t point = s.find('.');
    if (point != std::string::npos) {
        std::size_t end = s.size();
        while (end > point + 2 && s[end - 1] == '0')
            --end;
        s.resize(end);
    }
    setText(s.c_str());
}

void Label::setNumber(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    setText(buffer);
}

const char* Label::text() const { return text_.c_str(); }

double Label::textAsDouble() const
{
    return uatof(text_.c_str());
}

int Label::textAsInt() const
{
    // Converting a double outside the int range is undefined: clamp it.
    double v = textAsDouble();
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

void Label::setAlignment(int alignment)
{
    const Rect before = rect_;
    alignment_ = alignment;
    updateSize();
    exposeBehind(before);
    redraw();
}

void Label::alignLeft() { setAlignment(AlignLeft); }
void Label::alignRight() { setAlignment(AlignRight); }
void Label::alignCentre() { setAlignment(AlignCentre); }

void Label::setup(int x, int y, int w, int h, int key, std::uint32_t flags,
                  const char* text, int alignment)
{
    Widget::setup(x, y, w, h, key, flags);
    alignment_ = alignment;
    setText(text);
}
