// The dialog: a widget that holds other widgets. Construction, the child
// list, broadcasts, the event sink, placing and skin delivery. The rest of
// the dialog manager: focus (DialogFocus.cpp), the main loop and closing
// (DialogLoop.cpp), drawing (DialogDraw.cpp), mouse (DialogMouse.cpp) and
// keyboard (DialogKeys.cpp).
#include "gui/Dialog.h"

#include <algorithm>

#include <allegro.h>

#include "gui/DialogInternals.h"
#include "gui/FocusChain.h"
#include "gui/Framework.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

using namespace dialog_detail;

namespace {

// Mode change of a running GUI: the screen update method and the skin
// follow the new mode.
void adaptToMode(Dialog* dialog, bool modeChanged)
{
    Mouse* m = mouse();
    if (m)
        m->forgetTarget();
    ScreenUpdate::recreate();
    // Re-creating may have chosen another method object.
    if (m)
        m->connect(ScreenUpdate::current());
    if (!dialog)
        return;
    // Skin bitmaps kept in video memory were released for the mode change,
    // also for one that failed: the skins make them again, the global one
    // too for the widgets that use it.
    if ((modeChanged || theSettings.useVideoMemory) && screen) {
        if (modeChanged)
            dialog->resize(screen->w, screen->h);
        reloadSkins(dialog);
        dialog->setSkin(dialog->skin());
        dialog->broadcast(MSG_SKINCHANGED);
        // The cursor's pictures were made again: take them up afresh.
        if (m) {
            m->setCursor(nullptr);
            m->setCursor(dialog->skin(), Skin::MOUSE_NORMAL);
        }
    }
    dialog->redraw();
}

struct HookInstaller {
    HookInstaller() { setDialogModeHook(adaptToMode); }
} hookInstaller;

} // namespace

Dialog::Dialog()
{
    setFlag(D_DIALOG);
    setParent(this);
    children_.reserve(50);
    if (screen)
        resize(screen->w, screen->h);
    clearFlag(D_MOVED | D_RESIZED);
}

Dialog::~Dialog()
{
    // The children are not owned and are often destroyed before the dialog
    // (members of a derived class): they are not touched here.
    if (running_ && isTopLevel())
        endTopLevel();
}

// ------------------------------------------------------------ children

bool Dialog::contains(const Widget* widget) const
{
    return std::find(children_.begin(), children_.end(), widget) != children_.end();
}

bool Dialog::add(Widget* widget)
{
    if (!widget || widget == this || contains(widget))
        return false;
    children_.push_back(widget);
    widget->setParent(this);
    if (running_) {
        if (widget->skin() == globalSkin() && skin() != globalSkin())
            widget->setSkin(skin());
        widget->sendMessage(MSG_SKINCHANGED);
        widget->sendMessage(MSG_START);
    }
    widget->redraw();
    if (widget->testFlags(D_MODAL))
        FocusChain::moveFocus(focus(), widget);
    return true;
}

void Dialog::remove(Widget* widget)
{
    if (!contains(widget))
        return;
    if (running_)
        widget->sendMessage(MSG_END);
    chain_.forget(widget);
    children_.erase(std::find(children_.begin(), children_.end(), widget));
    root()->redraw();
}

void Dialog::bringToFront(Widget* widget)
{
    auto it = std::find(children_.begin(), children_.end(), widget);
    if (it == children_.end())
        return;
    children_.erase(it);
    children_.push_back(widget);
    redraw();
}

Dialog* Dialog::root()
{
    Dialog* d = this;
    while (d->parent() && d->parent() != d)
        d = d->parent();
    return d;
}

void Dialog::broadcast(int message, int argument)
{
    const bool toHidden = message == MSG_START || message == MSG_END || message == MSG_SKINCHANGED;
    // A handler may add or remove children: walk a copy, skipping widgets
    // that have left meanwhile.
    const std::vector<Widget*> list = children_;
    for (Widget* c : list) {
        if (!contains(c))
            continue;
        if (toHidden || !c->hidden())
            c->sendMessage(message, argument);
    }
}

// ------------------------------------------------------------ virtual operations

DragMode Dialog::dragMode()
{
    if (isTopLevel() || !parent())
        return DragMode::None;
    return mouseOver() != focus() ? DragMode::Move : DragMode::None;
}

void Dialog::updateChildPositions()
{
    for (Widget* c : children_) {
        c->updatePosition();
        if (Dialog* d = asDialog(c))
            d->updateChildPositions();
    }
}

ScreenUpdate* Dialog::screenUpdate() { return ScreenUpdate::instance(); }

void Dialog::handleEvent(Widget* widget, int message, int argument1, int argument2)
{
    if (message == MSG_ACTIVATE && widget && widget->exits()) {
        close();
        return;
    }
    if (!isTopLevel() && parent())
        parent()->handleEvent(widget, message, argument1, argument2);
}

// ------------------------------------------------------------ placing

void Dialog::placeExactly(int rx, int ry)
{
    // setX/setY read a negative value as counted from the parent's far
    // edge; a dialog dragged (or centred) partly past the near edge must
    // stay where it was put, so the parent's size is taken off first.
    Dialog* p = (!isTopLevel() && parent()) ? parent() : nullptr;
    if (p && rx < 0)
        rx -= p->w();
    if (p && ry < 0)
        ry -= p->h();
    place(rx, ry);
}

void Dialog::centre()
{
    int left = 0, top = 0, width = 0, height = 0;
    if (!isTopLevel() && parent()) {
        width = parent()->w();
        height = parent()->h();
    } else if (screen) {
        width = screen->w;
        height = screen->h;
    }
    // Positions are kept relative to the parent; a top-level dialog stands
    // at its own position.
    placeExactly(left + (width - w()) / 2, top + (height - h()) / 2);
}

// ------------------------------------------------------------ skins and shapes

void dialog_detail::reloadSkins(Dialog* d)
{
    Skin* own = d->skin();
    if (globalSkin() && globalSkin() != own)
        globalSkin()->reload();
    if (own)
        own->reload();
}

void Dialog::setSkinDeep(Skin* s)
{
    setSkin(s);
    for (Widget* c : children_) {
        if (Dialog* d = asDialog(c))
            d->setSkinDeep(s);
        else
            c->setSkin(s);
    }
}

void Dialog::deliverSkinChanged()
{
    if (testFlags(D_SKINCHANGED))
        sendMessage(MSG_SKINCHANGED);
    const std::vector<Widget*> list = children_;
    for (Widget* c : list) {
        if (Dialog* d = asDialog(c))
            d->deliverSkinChanged();
        else if (c->testFlags(D_SKINCHANGED))
            c->sendMessage(MSG_SKINCHANGED);
    }
}

void Dialog::deliverShapes()
{
    deliverPendingShape();
    const std::vector<Widget*> list = children_;
    for (Widget* c : list) {
        if (Dialog* d = asDialog(c))
            d->deliverShapes();
        else
            c->deliverPendingShape();
    }
}

// ------------------------------------------------------------ other handlers

bool Dialog::msgWantFocus()
{
    Widget::msgWantFocus();
    return true;
}

void Dialog::msgTimer(int timer)
{
    Widget::msgTimer(timer);
    broadcast(MSG_TIMER, timer);
}

void Dialog::msgMove()
{
    Widget::msgMove();
    updateChildPositions();
}

void Dialog::msgResize()
{
    Widget::msgResize();
    updateChildPositions();
}

void Dialog::msgShape()
{
    Widget::msgShape();
    updateChildPositions();
}

void Dialog::msgSkinChanged()
{
    broadcast(MSG_SKINCHANGED);
    Widget::msgSkinChanged();
}

void Dialog::redraw()
{
    Widget::redraw();
    for (Widget* c : children_)
        c->redraw();
}

void Dialog::hide()
{
    Widget::hide();
    for (Widget* c : children_)
        c->hide();
}

void Dialog::unhide()
{
    Widget::unhide();
    for (Widget* c : children_)
        c->unhide();
}

void Dialog::enable()
{
    Widget::enable();
    for (Widget* c : children_)
        c->enable();
}

void Dialog::disable()
{
    Widget::disable();
    for (Widget* c : children_)
        c->disable();
}
