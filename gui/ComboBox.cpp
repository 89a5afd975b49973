// The combo box: its three children and their places, opening and closing
// the list (above or below, animated) and passing choices to the parent.
#include "gui/ComboBox.h"

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/Button.h"
#include "gui/EditBox.h"
#include "gui/ListBox.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/Skin.h"

namespace {

// The arrow button: a plain button with the "COMBO_BUTTON" arrow centred
// over it, in the frame of the button's state.
class ComboButton : public Button {
public:
    void draw(Bitmap& canvas) override
    {
        Button::draw(canvas);
        Skin* s = skin();
        if (!s || !canvas.bitmap())
            return;
        const Bitmap& arrow = s->bitmap(Skin::COMBO_BUTTON);
        if (arrow.empty())
            return;
        const int fw = arrow.width();
        const int fh = arrow.height() / 4;
        if (fh <= 0)
            return;
        masked_blit(arrow.bitmap(), canvas.bitmap(), 0, drawState() * fh,
                    (w() - fw) / 2, (h() - fh) / 2, fw, fh);
    }
};

// Sets a relative y that may be negative without it being read as counting
// from the parent's bottom edge.
void placeY(Widget& w, int relativeY)
{
    if (relativeY < 0 && w.parent() && w.parent() != &w)
        w.setY(relativeY - w.parent()->h());
    else
        w.setY(relativeY);
}

} // namespace

ComboBox::ComboBox()
    : editBox_(std::make_unique<EditBox>()),
      button_(std::make_unique<ComboButton>()),
      list_(std::make_unique<ListBox>())
{
    add(editBox_.get());
    add(button_.get());
    add(list_.get());
    list_->hide();
    button_->setSampleIndex(Skin::SAMPLE_ACTIVATE, Skin::SAMPLE_OPEN);
    resize(100, 20);
    editHeight_ = 20;
    clearFlag(D_MOVED | D_RESIZED);
    arrange();
}

ComboBox::~ComboBox() = default;

EditBox& ComboBox::editBox() { return *editBox_; }
Button& ComboBox::button() { return *button_; }
ListBox& ComboBox::list() { return *list_; }

const char* ComboBox::text() const { return editBox_->text(); }

void ComboBox::setListHeight(int h)
{
    listHeight_ = std::max(0, h);
    if (open_) {
        closeList();
        openList();
    } else {
        arrange();
    }
}

void ComboBox::setup(int x, int y, int w, int h, int key, std::uint32_t flags, int selectedIndex)
{
    if (open_)
        closeList();
    Widget::setup(x, y, w, h, key, flags);
    editHeight_ = h;
    const int last = std::max(0, list_->itemCount() - 1);
    const int index = std::clamp(selectedIndex, 0, last);
    list_->select(index);
    const ListItem* item = list_->item(index);
    editBox_->setup(0, 0, w, h, 0, 0, item ? item->text().c_str() : "", -1);
    arrange();
}

void ComboBox::arrange()
{
    const int width = w();
    int buttonW = editHeight_;
    if (Skin* s = skin())
        if (!s->bitmap(Skin::COMBO_BUTTON).empty())
            buttonW = s->bitmap(Skin::COMBO_BUTTON).width();
    buttonW = std::min(buttonW, width);
    const int editY = open_ && above_ ? listHeight_ : 0;
    const int listY = open_ && above_ ? 0 : editHeight_;
    editBox_->shape(0, editY, width, editHeight_);
    button_->shape(width - buttonW, editY, buttonW, editHeight_);
    if (list_->w() != width || list_->h() != listHeight_)
        list_->resize(width, listHeight_);
    list_->place(0, listY);
    updateChildPositions();
    if (open_)
        list_->layout();
}

void ComboBox::openList()
{
    if (open_)
        return;
    editHeight_ = editBox_->h();
    // Below the edit box, unless the list would leave the screen (or, with
    // no screen, the top-level dialog) there and there is more room above.
    // A combo box on its own with no screen has no bottom edge to leave.
    above_ = false;
    if (screen || root() != this) {
        const long long bottom = screen ? screen->h : root()->y2();
        const long long roomBelow = bottom - (static_cast<long long>(y()) + editHeight_);
        const long long roomAbove = y();
        above_ = roomBelow < listHeight_ && roomAbove > roomBelow;
    }
    if (above_)
        placeY(*this, relativePos().y - listHeight_);
    open_ = true;
    resize(w(), editHeight_ + listHeight_);
    arrange();
    button_->setSampleIndex(Skin::SAMPLE_ACTIVATE, Skin::SAMPLE_ACTIVATE);
    // In front of its neighbours, so the list covers them and gets the mouse.
    if (parent() && parent() != this)
        parent()->bringToFront(this);
    list_->animate();
    list_->unhide();
    redraw();
}

void ComboBox::closeList()
{
    if (!open_)
        return;
    list_->stopAnimation();
    list_->hide();
    if (focus() == list_.get())
        FocusChain::moveFocus(list_.get(), button_.get());
    open_ = false;
    if (above_)
        placeY(*this, relativePos().y + listHeight_);
    above_ = false;
    resize(w(), editHeight_);
    arrange();
    button_->setSampleIndex(Skin::SAMPLE_ACTIVATE, Skin::SAMPLE_OPEN);
    root()->redraw();
}

bool ComboBox::mouseInside() const
{
    const Mouse* m = mouse();
    // Without a mouse nobody can have left.
    return !m || rect().contains(m->position());
}

void ComboBox::handleEvent(Widget* widget, int message, int argument1, int argument2)
{
    if (message == MSG_ACTIVATE && widget == button_.get()) {
        if (open_)
            closeList();
        else
            openList();
        return;
    }
    if (message == MSG_ACTIVATE && widget == list_.get()) {
        if (const ListItem* item = list_->item(argument1))
            editBox_->setText(item->text().c_str());
        closeList();
        notify(MSG_ACTIVATE, argument1);
        return;
    }
    if (message == MSG_ACTIVATE && widget == editBox_.get()) {
        closeList();
        notify(MSG_ACTIVATE, list_->selectedIndex());
        return;
    }
    if (message == MSG_LOSTMOUSE && open_ && !mouseInside())
        closeList();
    Dialog::handleEvent(widget, message, argument1, argument2);
}

void ComboBox::msgLostMouse()
{
    Dialog::msgLostMouse();
    if (open_ && !mouseInside())
        closeList();
}

void ComboBox::msgSkinChanged()
{
    Dialog::msgSkinChanged();
    if (Skin* s = skin())
        list_->setAnimationProperties(s->elements().comboAnimationLength,
                                      s->elements().comboAnimationType);
    button_->setSampleIndex(Skin::SAMPLE_ACTIVATE, open_ ? Skin::SAMPLE_ACTIVATE : Skin::SAMPLE_OPEN);
    arrange();
}

void ComboBox::msgEnd()
{
    closeList();
    Dialog::msgEnd();
}
