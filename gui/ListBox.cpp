// List entries and their drawing, the item area taking keys and mouse, and
// the list box: items, selection, sorting and laying out its scroll bar.
#include "gui/ListBox.h"

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/Font.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/Panel.h"
#include "gui/Reshape.h"
#include "gui/ScrollBar.h"
#include "gui/Skin.h"

namespace {

// Room between the edge of the item area and the entries (the panel's bevel).
constexpr int margin = 2;

} // namespace

// ------------------------------------------------------------ ListItem

ListItem::ListItem(const char* text, bool marked) : text_(text ? text : ""), marked_(marked) {}

ListItem::~ListItem() = default;

void ListItem::setText(const char* text) { text_ = text ? text : ""; }

int ListItem::colourState(int state)
{
    switch (state) {
    case 2: case 3: return Widget::Focused;
    case 4: case 5: return Widget::Selected;
    case 6: case 7: return Widget::Disabled;
    default: return Widget::Normal;
    }
}

void ListItem::drawText(Bitmap& canvas, const char* text, int x, int state, const Widget& list)
{
    Skin* skin = list.skin();
    BITMAP* b = canvas.bitmap();
    if (!skin || !b || !text)
        return;
    const int cs = colourState(state);
    const Font& font = skin->font(list.fontIndex(cs));
    const int y = (b->h - font.textHeight()) / 2;
    font.drawShadowed(b, text, x, y, list.fontColor(cs), list.shadowColor(cs), -1);
}

void ListItem::drawBackground(Bitmap& canvas, int state, const Widget& list)
{
    BITMAP* b = canvas.bitmap();
    Skin* skin = list.skin();
    if (!b || !skin || state < 0 || state >= stateCount)
        return;
    const Bitmap& look = skin->bitmap(Skin::LIST);
    if (!look.empty())
        look.tiledBlitMasked(b, 0, state, 0, 0, b->w, b->h, 1, stateCount);
}

void ListItem::draw(Bitmap& canvas, int state, const Widget& list)
{
    drawBackground(canvas, state, list);
    drawText(canvas, text_.c_str(), 3, state, list);
}

// ------------------------------------------------------------ item area

// The part of the list box that shows the entries and takes the focus, the
// keys and the mouse. It changes the list's selection and reports the change
// to the list box as MSG_SCROLL.
class ListArea : public Widget {
public:
    explicit ListArea(ListBox& list) : list_(list) {}

    void draw(Bitmap& canvas) override
    {
        BITMAP* b = canvas.bitmap();
        if (!b)
            return;
        // The background first: the area covers the panel, and it is often
        // redrawn on its own.
        const Bitmap& panel = list_.panel().skinBitmap();
        if (!panel.empty())
            panel.tiledBlit(b, 0, 0, 0, 0, w(), h());
        else if (list_.backColor() != NO_COLOR)
            clear_to_color(b, list_.backColor());
        const int ih = list_.itemHeight();
        const int bottom = h() - margin;
        // Whole entries only; a list too low for one still shows a cut one.
        const int rows = std::max(1, (bottom - margin) / ih);
        const int last = std::min(list_.itemCount(), list_.firstVisible() + rows);
        for (int i = list_.firstVisible(), y = margin; i < last; ++i, y += ih) {
            const int rowH = std::min(ih, bottom - y);
            const int rowW = w() - 2 * margin;
            if (rowW <= 0 || rowH <= 0)
                break;
            BITMAP* row = create_sub_bitmap(b, margin, y, rowW, rowH);
            if (!row)
                break;
            Bitmap rowCanvas;
            rowCanvas.wrap(row);
            list_.item(i)->draw(rowCanvas, stateOf(i), list_);
            rowCanvas.release();
            destroy_bitmap(row);
        }
    }

    int stateOf(int index) const
    {
        const ListItem* it = list_.item(index);
        int state = it && it->marked() ? ListItem::MARKED : 0;
        if (list_.disabled() || disabled())
            state |= ListItem::DISABLED;
        else if (index == list_.selectedIndex())
            state |= list_.multiSelect() ? ListItem::FOCUSED : ListItem::SELECTED;
        return state;
    }

    bool msgChar(int c) override
    {
        Widget::msgChar(c);
        const int sel = list_.selectedIndex();
        const int page = list_.visibleCount();
        switch ((c >> 8) & 0xff) {
        case KEY_HOME: list_.userSelect(0); return true;
        case KEY_END: list_.userSelect(list_.itemCount() - 1); return true;
        case KEY_UP: list_.userSelect(sel - 1); return true;
        case KEY_DOWN: list_.userSelect(sel + 1); return true;
        case KEY_PGUP: list_.userSelect(sel - page); return true;
        case KEY_PGDN: list_.userSelect(sel + page); return true;
        case KEY_ENTER:
            if (list_.multiSelect() && list_.selectedItem() && !list_.selectedItem()->marked()) {
                list_.selectedItem()->setMarked(true);
                list_.redraw();
            } else {
                list_.activate(sel);
            }
            return true;
        case KEY_SPACE:
            if (list_.multiSelect()) {
                if (ListItem* it = list_.selectedItem()) {
                    it->setMarked(!it->marked());
                    list_.redraw();
                }
            } else {
                list_.activate(sel);
            }
            return true;
        default:
            return false;
        }
    }

    void msgLPress() override
    {
        const int index = list_.indexAt(mousePos().y);
        if (index >= 0) {
            if (list_.multiSelect()) {
                ListItem* it = list_.item(index);
                it->setMarked(!it->marked());
                dragMark_ = it->marked();
                list_.redraw();
            }
            list_.userSelect(index);
        }
        setFlag(D_PRESSED);
        Widget::msgLPress();
    }

    void msgLRelease() override
    {
        clearFlag(D_PRESSED);
        Widget::msgLRelease();
    }

    void msgMouseMove(Point delta) override
    {
        if (list_.multiSelect() && testFlags(D_PRESSED) && mouse() && (mouse()->buttons() & 1)) {
            const int index = list_.indexAt(mousePos().y);
            if (index >= 0 && index != list_.selectedIndex()) {
                list_.item(index)->setMarked(dragMark_);
                list_.redraw();
                list_.userSelect(index);
            }
        }
        Widget::msgMouseMove(delta);
    }

    void msgDClick() override
    {
        Widget::msgDClick();
        const int index = list_.indexAt(mousePos().y);
        if (index >= 0)
            list_.activate(index);
    }

    void msgEnd() override
    {
        clearFlag(D_PRESSED);
        Widget::msgEnd();
    }

    bool msgWantFocus() override
    {
        Widget::msgWantFocus();
        return true;
    }

    void msgGotFocus() override
    {
        Widget::msgGotFocus();
        list_.redraw();
    }

    void msgLostFocus() override
    {
        Widget::msgLostFocus();
        list_.redraw();
    }

private:
    ListBox& list_;
    // The mark a multi-select drag gives the entries it passes.
    bool dragMark_ = true;
};

// ------------------------------------------------------------ ListBox

ListBox::ListBox()
    : panel_(std::make_unique<Panel>()),
      area_(std::make_unique<ListArea>(*this)),
      scrollBar_(std::make_unique<ScrollBar>())
{
    add(panel_.get());
    add(area_.get());
    add(scrollBar_.get());
    scrollBar_->hide();
    area_->setSampleIndex(Skin::SAMPLE_ACTIVATE, Skin::SAMPLE_ACTIVATE);
    area_->setSampleIndex(Skin::SAMPLE_SCROLL, Skin::SAMPLE_SCROLL);
    resize(100, 100);
    clearFlag(D_MOVED | D_RESIZED);
}

ListBox::~ListBox() = default;

Panel& ListBox::panel() { return *panel_; }
Widget& ListBox::itemArea() { return *area_; }
ScrollBar& ListBox::scrollBar() { return *scrollBar_; }

void ListBox::setup(int x, int y, int w, int h, int key, std::uint32_t flags, bool multiSelect)
{
    Widget::setup(x, y, w, h, key, flags);
    multiSelect_ = multiSelect;
    layout();
}

void ListBox::setMultiSelect(bool on)
{
    multiSelect_ = on;
    redraw();
}

ListItem* ListBox::item(int index) const
{
    if (index < 0 || index >= itemCount())
        return nullptr;
    return items_[static_cast<std::size_t>(index)].get();
}

int ListBox::itemHeight() const
{
    int h = 0;
    if (Skin* s = skin()) {
        h = s->font(fontIndex(Normal)).textHeight() + 2;
        const Bitmap& look = s->bitmap(Skin::LIST);
        if (!look.empty())
            h = std::max(h, look.height() / ListItem::stateCount);
    }
    return std::max(h, 8);
}

int ListBox::visibleCount() const
{
    return std::max(1, (h() - 2 * margin) / itemHeight());
}

int ListBox::indexAt(int y) const
{
    if (y < margin || y >= h() - margin)
        return -1;
    const int row = (y - margin) / itemHeight();
    // The strip below the last whole entry shows nothing.
    if (row >= visibleCount())
        return -1;
    const int index = firstVisible_ + row;
    return index < itemCount() ? index : -1;
}

void ListBox::insertItem(ListItem* item, int position)
{
    if (!item)
        return;
    const int count = itemCount();
    if (position < 0 || position > count)
        position = count;
    items_.insert(items_.begin() + position, std::unique_ptr<ListItem>(item));
    if (count > 0 && position <= selected_)
        ++selected_;
    layout();
    redraw();
}

void ListBox::insertItem(const char* text, int position)
{
    insertItem(new ListItem(text), position);
}

void ListBox::clear()
{
    items_.clear();
    selected_ = 0;
    firstVisible_ = 0;
    redraw();
    layout();
}

void ListBox::select(int index)
{
    selected_ = std::clamp(index, 0, std::max(0, itemCount() - 1));
    followSelection();
    redraw();
}

void ListBox::sort(const Comparison& less)
{
    if (!less)
        return;
    const ListItem* current = selectedItem();
    std::stable_sort(items_.begin(), items_.end(),
                     [&less](const std::unique_ptr<ListItem>& a, const std::unique_ptr<ListItem>& b) {
                         return less(*a, *b);
                     });
    for (int i = 0; i < itemCount(); ++i)
        if (items_[static_cast<std::size_t>(i)].get() == current)
            selected_ = i;
    followSelection();
    redraw();
}

void ListBox::followSelection()
{
    const int visible = visibleCount();
    if (selected_ < firstVisible_)
        firstVisible_ = selected_;
    else if (selected_ >= firstVisible_ + visible)
        firstVisible_ = selected_ - visible + 1;
    firstVisible_ = std::clamp(firstVisible_, 0, std::max(0, itemCount() - visible));
    scrollBar_->moveTo(firstVisible_);
}

void ListBox::userSelect(int index)
{
    index = std::clamp(index, 0, std::max(0, itemCount() - 1));
    if (index == selected_ || itemCount() == 0)
        return;
    selected_ = index;
    area_->playSample(Skin::SAMPLE_SCROLL);
    area_->redraw();
    // The list box keeps the entry in view and tells its parent.
    handleEvent(area_.get(), MSG_SCROLL, index, 0);
}

void ListBox::activate(int index)
{
    // An empty list has nothing to choose.
    if (!item(index))
        return;
    area_->playSample(Skin::SAMPLE_ACTIVATE);
    handleEvent(area_.get(), MSG_ACTIVATE, index, 0);
}

void ListBox::layout()
{
    const int width = w(), height = h();
    const int visible = visibleCount();
    Skin* s = skin();
    const int barW = s ? s->bitmap(Skin::SCROLL_VBACK).width() : 0;
    if (visible < itemCount() && barW > 0 && barW < width) {
        reshape(*panel_, 0, 0, width - barW, height);
        reshape(*area_, 0, 0, width - barW, height);
        firstVisible_ = std::clamp(firstVisible_, 0, itemCount() - visible);
        scrollBar_->setup(width - barW, 0, barW, height, 0, 0, itemCount(), visible, firstVisible_, ScrollBar::Vertical);
        if (!hidden() && scrollBar_->hidden())
            scrollBar_->unhide();
    } else {
        reshape(*panel_, 0, 0, width, height);
        reshape(*area_, 0, 0, width, height);
        firstVisible_ = 0;
        if (!scrollBar_->hidden())
            scrollBar_->hide();
        scrollBar_->setSizes(itemCount(), visible);
        scrollBar_->moveTo(0);
    }
    updateChildPositions();
}

void ListBox::handleEvent(Widget* widget, int message, int argument1, int argument2)
{
    if (widget == area_.get() && message == MSG_SCROLL) {
        followSelection();
        redraw();
        notify(MSG_SCROLL, selected_);
        return;
    }
    if (widget == area_.get() && message == MSG_ACTIVATE) {
        notify(MSG_ACTIVATE, argument1);
        return;
    }
    if (widget == scrollBar_.get() && message == MSG_SCROLL) {
        firstVisible_ = std::clamp(argument1, 0, std::max(0, itemCount() - visibleCount()));
        redraw();
        return;
    }
    // What the bar's arrows and grip report is the bar's own business.
    if (widget && widget != scrollBar_.get() && widget->parent() == scrollBar_.get())
        return;
    if (message == MSG_WHEEL) {
        // The bar hands the wheel back to us after using it: only the first
        // pass goes to the bar, and only a wheel over the entries is passed on.
        if (passingWheel_ || widget != area_.get())
            return;
        if (!scrollBar_->hidden()) {
            passingWheel_ = true;
            scrollBar_->handleEvent(area_.get(), MSG_WHEEL, argument1, argument2);
            passingWheel_ = false;
        }
    }
    Dialog::handleEvent(widget, message, argument1, argument2);
}

void ListBox::msgStart()
{
    Dialog::msgStart();
    layout();
}

void ListBox::msgSkinChanged()
{
    Dialog::msgSkinChanged();
    if (Skin* s = skin()) {
        for (int state = 0; state < stateCount; ++state) {
            setFontColor(state, s->textColor(Skin::TYPE_LIST, state));
            setShadowColor(state, s->shadowColor(Skin::TYPE_LIST, state));
            setFontIndex(state, s->fontIndex(Skin::TYPE_LIST, state));
        }
    }
    layout();
}

void ListBox::msgResize()
{
    Dialog::msgResize();
    layout();
}

void ListBox::msgShape()
{
    Dialog::msgShape();
    layout();
}

void ListBox::unhide()
{
    Dialog::unhide();
    layout();
}
