// The moves of the focus and mouse-over chains: giving, taking and moving
// the focus or the mouse along the chain from a widget up to its dialogs,
// and the links a dialog drops when a child leaves or the dialog ends.
#include "gui/FocusChain.h"

#include "gui/Dialog.h"
#include "gui/DialogInternals.h"
#include "gui/Messages.h"

using namespace dialog_detail;

namespace {

// A level of a walk up the chain: the widget takes part when it is neither
// hidden nor disabled and answers `question` with yes.
bool takesPart(Widget* w, int question)
{
    return !w->hidden() && !w->disabled() && wants(w, question);
}

// The dialog above `w` on the way up, or null at the top.
Dialog* levelAbove(Widget* w)
{
    Dialog* p = w->parent();
    return (p && p != w) ? p : nullptr;
}

void releaseMouseInside(Dialog* d)
{
    Widget* m = d->mouseOver();
    if (!m)
        return;
    if (Dialog* inner = asDialog(m))
        releaseMouseInside(inner);
    FocusChain::takeMouse(m);
}

} // namespace

FocusChain& FocusChain::of(Dialog* dialog) { return dialog->chain_; }

void FocusChain::giveFocus(Widget* widget) { giveFocusUpTo(widget, nullptr); }

void FocusChain::giveFocusUpTo(Widget* widget, Dialog* last)
{
    for (Widget* cur = widget; cur && cur != last;) {
        Dialog* p = levelAbove(cur);
        if (!p)
            break;
        FocusChain& link = of(p);
        if (link.focus() == cur && cur->hasFocus())
            break;
        if (!takesPart(cur, MSG_WANTFOCUS))
            break;
        cur->sendMessage(MSG_GOTFOCUS);
        link.holdFocus(cur);
        if (cur->isWindow())
            p->bringToFront(cur);
        cur = p;
    }
}

void FocusChain::takeFocus(Widget* widget)
{
    for (Widget* cur = widget; cur && !cur->testFlags(D_MODAL);) {
        Dialog* p = levelAbove(cur);
        if (!p)
            break;
        of(p).dropFocus(cur);
        cur->sendMessage(MSG_LOSTFOCUS);
        cur = p;
    }
}

void FocusChain::releaseFocusInside(Dialog* dialog)
{
    Widget* f = dialog->focus();
    if (!f)
        return;
    if (Dialog* inner = asDialog(f))
        releaseFocusInside(inner);
    takeFocus(f);
}

void FocusChain::moveFocus(Widget* from, Widget* to)
{
    if (from == to)
        return;
    if (Dialog* d = asDialog(from))
        releaseFocusInside(d);
    if (from)
        takeFocus(from);
    if (to)
        giveFocus(to);
}

void FocusChain::giveMouse(Widget* widget)
{
    for (Widget* cur = widget; cur;) {
        Dialog* p = levelAbove(cur);
        if (!p)
            break;
        FocusChain& link = of(p);
        if (link.mouseOver() == cur && cur->hasMouse())
            break;
        if (!takesPart(cur, MSG_WANTMOUSE))
            break;
        cur->sendMessage(MSG_GOTMOUSE);
        link.holdMouse(cur);
        cur = p;
    }
}

void FocusChain::takeMouse(Widget* widget)
{
    for (Widget* cur = widget; cur && !cur->testFlags(D_MODAL);) {
        Dialog* p = levelAbove(cur);
        if (!p)
            break;
        of(p).dropMouse(cur);
        cur->sendMessage(MSG_LOSTMOUSE);
        cur = p;
    }
}

void FocusChain::moveMouse(Widget* from, Widget* to)
{
    if (from == to)
        return;
    if (Dialog* d = asDialog(from))
        releaseMouseInside(d);
    if (from)
        takeMouse(from);
    if (to)
        giveMouse(to);
}

void FocusChain::dropFocus(const Widget* child)
{
    if (focus_ == child)
        focus_ = nullptr;
}

void FocusChain::dropMouse(const Widget* child)
{
    if (mouseOver_ == child)
        mouseOver_ = nullptr;
}

void FocusChain::forget(const Widget* child)
{
    dropFocus(child);
    dropMouse(child);
}

void FocusChain::clear()
{
    focus_ = nullptr;
    mouseOver_ = nullptr;
}

void FocusChain::returnFocus(Widget* outerPopup) { holdFocus(outerPopup); }
