// The edit box: cursor, scrolling and selection by character index, typing
// and deleting, drawing the text, and the mouse selecting text.
#include "gui/EditBox.h"

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/Font.h"
#include "gui/InputSource.h"
#include "gui/Skin.h"

EditBox::EditBox()
{
    clearFlag(D_AUTOSIZE);
}

EditBox::~EditBox() = default;

// --- Text and capacity ------------------------------------------------------

void EditBox::setText(const char* text) { setText(text, -1); }

void EditBox::setText(const char* text, int capacity)
{
    const std::string given = text ? text : "";
    if (capacity == -1)
        capacity = capacity_ > 0 ? capacity_ : defaultCapacity;
    if (capacity > 0 && capacity == capacity_) {
        // Same buffer: the text is cut to fit.
        text_ = given.substr(0, static_cast<std::size_t>(capacity_));
    } else {
        int room = std::max(capacity, static_cast<int>(given.size()));
        capacity_ = room > 0 ? room : defaultCapacity;
        // The capacity only limits the text; its room grows as it is typed.
        text_ = given.substr(0, static_cast<std::size_t>(capacity_));
    }
    cursor_ = length();
    first_ = 0;
    selStart_ = selEnd_ = anchor_ = cursor_;
    clearFlag(D_SELECTED);
    redraw();
}

void EditBox::setup(int x, int y, int w, int h, int key, std::uint32_t flags, const char* text,
                    int capacity)
{
    Widget::setup(x, y, w, h, key, flags);
    capacity_ = 0;  // a new buffer whatever was there
    setText(text, capacity < 0 ? defaultCapacity : capacity);
}

// --- Cursor, view and selection ---------------------------------------------

int EditBox::textWidth(int from, int to) const
{
    const Font* f = stateFont(disabled() ? Disabled : (hasFocus() ? Focused : Normal));
    from = std::clamp(from, 0, length());
    to = std::clamp(to, from, length());
    if (!f || from == to)
        return 0;
    return f->textLength(text_.substr(static_cast<std::size_t>(from),
                                      static_cast<std::size_t>(to - from)).c_str());
}

void EditBox::dropSelection()
{
    selStart_ = selEnd_ = anchor_ = cursor_;
    clearFlag(D_SELECTED);
}

void EditBox::moveCursor(int index, bool extend)
{
    index = std::clamp(index, 0, length());
    if (extend) {
        if (!hasSelection() && !(flags_ & D_PRESSED))
            anchor_ = cursor_;
        cursor_ = index;
        selStart_ = std::min(anchor_, cursor_);
        selEnd_ = std::max(anchor_, cursor_);
        if (selStart_ < selEnd_)
            setFlag(D_SELECTED);
        else
            clearFlag(D_SELECTED);
    } else {
        cursor_ = index;
        dropSelection();
    }
}

void EditBox::deleteSelection()
{
    const int from = std::clamp(selStart_, 0, length());
    const int to = std::clamp(selEnd_, from, length());
    text_.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    cursor_ = from;
    dropSelection();
}

void EditBox::scrollToCursor()
{
    cursor_ = std::clamp(cursor_, 0, length());
    first_ = std::clamp(first_, 0, length());
    const int right = w() - 10;
    if (cursor_ < first_)
        first_ = cursor_;
    while (first_ < cursor_ && 4 + textWidth(first_, cursor_) > right)
        ++first_;
    // Scroll back when the end of the text would leave room on the right.
    while (first_ > 0 && 4 + textWidth(first_ - 1, length()) <= right)
        --first_;
}

int EditBox::charIndexAt(int x) const
{
    int left = 4;
    for (int i = first_; i < length(); ++i) {
        const int cw = textWidth(i, i + 1);
        if (x < left + cw / 2)
            return i;
        left += cw;
    }
    return length();
}

int EditBox::charIndexAtMouse() { return charIndexAt(mousePos().x); }

void EditBox::select()
{
    anchor_ = selStart_ = 0;
    selEnd_ = cursor_ = length();
    if (selEnd_ > 0)
        setFlag(D_SELECTED);
    else
        clearFlag(D_SELECTED);
    scrollToCursor();
    redraw();
}

void EditBox::deselect()
{
    cursor_ = first_ = 0;
    dropSelection();
    redraw();
}

// --- Look -------------------------------------------------------------------

void EditBox::msgSkinChanged()
{
    bitmapIndex_ = Skin::PANEL_SUNKEN;
    setSampleIndex(Skin::SAMPLE_GOTFOCUS, Skin::SAMPLE_GOTFOCUS);
    setSampleIndex(Skin::SAMPLE_LOSTFOCUS, Skin::SAMPLE_LOSTFOCUS);
    setSampleIndex(Skin::SAMPLE_ACTIVATE, Skin::SAMPLE_ACTIVATE);
    setSampleIndex(Skin::SAMPLE_KEY, Skin::SAMPLE_KEY);
    clearFlag(D_AUTOSIZE);
    Label::msgSkinChanged();
}

void EditBox::draw(Bitmap& canvas)
{
    const Bitmap& b = skinBitmap();
    if (!b.empty())
        b.tiledBlitMasked(canvas.bitmap(), 0, 0, 0, 0, w(), h());
    drawText(first_, canvas);
    if (hasFocus() && skin() && skin()->elements().dottedRect)
        Bitmap::dottedRect(canvas.bitmap(), 2, 2, w() - 3, h() - 3, fontColor(Focused));
}

void EditBox::drawText(int firstChar, Bitmap& canvas)
{
    BITMAP* target = canvas.bitmap();
    const int state = disabled() ? Disabled : (hasFocus() ? Focused : Normal);
    const Font* f = stateFont(state);
    if (!f)
        return;
    const int fh = f->textHeight();
    const int y = h() / 2 - fh / 2 + 1;
    const bool selecting = selected();
    Color selBack = NO_COLOR;
    if (Skin* s = skin())
        selBack = hasFocus() ? s->colors().select : s->colors().deselect;
    const int selState = hasFocus() ? Selected : state;

    int x = 4;
    int cursorX = -1;
    // One character at a time. The buffer is longer than it needs to be so
    // that a text format reading a byte as the start of a longer sequence
    // still reads zeros, never past it.
    char one[8] = {};
    int i = std::clamp(firstChar, 0, length());
    for (; i < length() && x <= w() - 10; ++i) {
        if (i == cursor_)
            cursorX = x;
        one[0] = text_[static_cast<std::size_t>(i)];
        const int cw = f->textLength(one);
        if (selecting && i >= selStart_ && i < selEnd_)
            f->drawShadowed(target, one, x, y, fontColor(selState), shadowColor(selState), selBack);
        else
            f->drawShadowed(target, one, x, y, fontColor(state), shadowColor(state));
        x += cw;
    }
    if (i == cursor_)
        cursorX = x;
    if (hasFocus() && cursorX >= 0)
        vline(target, cursorX - 1, y, y + fh - 1, fontColor(state));
}

// --- Keyboard ---------------------------------------------------------------

bool EditBox::msgChar(int c)
{
    Label::msgChar(c);
    const bool shift = inputSource().shiftHeld();
    switch (c >> 8) {
    case KEY_BACKSPACE:
        if (hasSelection())
            deleteSelection();
        else if (cursor_ > 0) {
            text_.erase(static_cast<std::size_t>(cursor_ - 1), 1);
            moveCursor(cursor_ - 1, false);
        }
        playSample(Skin::SAMPLE_KEY);
        break;
    case KEY_DEL:
        if (hasSelection())
            deleteSelection();
        else if (cursor_ < length())
            text_.erase(static_cast<std::size_t>(cursor_), 1);
        dropSelection();
        playSample(Skin::SAMPLE_KEY);
        break;
    case KEY_END:
        moveCursor(length(), shift);
        break;
    case KEY_HOME:
        moveCursor(0, shift);
        break;
    case KEY_LEFT:
        moveCursor(cursor_ - 1, shift);
        break;
    case KEY_RIGHT:
        moveCursor(cursor_ + 1, shift);
        break;
    case KEY_ENTER:
        dropSelection();
        playSample(Skin::SAMPLE_ACTIVATE);
        notify(MSG_ACTIVATE);
        break;
    default:
        return false;
    }
    scrollToCursor();
    redraw();
    return true;
}

bool EditBox::msgUChar(int c)
{
    Label::msgUChar(c);
    // One byte per character: the text is held in an 8-bit format.
    if (c <= 31 || c > 255 || !uisok(c))
        return false;
    if (hasSelection())
        deleteSelection();
    // A box that was never given a text takes the default capacity.
    const int room = capacity_ > 0 ? capacity_ : defaultCapacity;
    if (length() < room) {
        text_.insert(static_cast<std::size_t>(cursor_), 1, static_cast<char>(c));
        moveCursor(cursor_ + 1, false);
    }
    dropSelection();
    playSample(Skin::SAMPLE_KEY);
    scrollToCursor();
    redraw();
    return true;
}

// --- Focus and mouse --------------------------------------------------------

bool EditBox::msgWantFocus()
{
    Label::msgWantFocus();
    return true;
}

void EditBox::msgGotFocus()
{
    playSample(Skin::SAMPLE_GOTFOCUS);
    Label::msgGotFocus();
}

void EditBox::msgLostFocus()
{
    playSample(Skin::SAMPLE_LOSTFOCUS);
    clearFlag(D_PRESSED);
    Label::msgLostFocus();
}

void EditBox::msgGotMouse()
{
    setCursor(Skin::MOUSE_TEXTSELECT);
    Label::msgGotMouse();
}

void EditBox::msgLostMouse()
{
    setCursor(Skin::MOUSE_NORMAL);
    Label::msgLostMouse();
}

void EditBox::msgLPress()
{
    cursor_ = std::clamp(charIndexAtMouse(), 0, length());
    anchor_ = selStart_ = selEnd_ = cursor_;
    setFlag(D_SELECTED | D_PRESSED);
    redraw();
    Label::msgLPress();
}

void EditBox::msgMouseMove(Point delta)
{
    if (flags_ & D_PRESSED) {
        moveCursor(charIndexAtMouse(), true);
        setFlag(D_SELECTED);  // the drag goes on, even over an empty stretch
        scrollToCursor();
        redraw();
    }
    Label::msgMouseMove(delta);
}

void EditBox::msgLRelease()
{
    if (flags_ & D_PRESSED) {
        clearFlag(D_PRESSED);
        moveCursor(charIndexAtMouse(), true);
        scrollToCursor();
        redraw();
    }
    Label::msgLRelease();
}

void EditBox::msgDClick()
{
    // The drag of the second press ends here: the whole text stays selected.
    clearFlag(D_PRESSED);
    select();
    Label::msgDClick();
}
