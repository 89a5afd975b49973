// Drawing of the dialog manager: whether anything needs drawing, marking
// widgets that overlap dirty ones, and the drawing pass over the children.
#include "gui/Dialog.h"

#include <algorithm>
#include <vector>

#include "gui/DialogInternals.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/ScreenUpdate.h"

using namespace dialog_detail;

namespace dialog_detail {

// Whether a drawing pass would change the picture: a visible widget is
// dirty or waits to start its transition, or the mouse cursor has moved,
// changed or moved on to its next frame since it was drawn.
bool somethingToDraw(Dialog* d)
{
    if (d->dirty())
        return true;
    if (d->isTopLevel())
        if (Mouse* m = mouse(); m && m->needsDrawing())
            return true;
    for (Widget* c : d->children()) {
        if (c->hidden())
            continue;
        if (c->dirty() || c->testFlags(D_ANIMATING))
            return true;
        if (Dialog* inner = asDialog(c); inner && somethingToDraw(inner))
            return true;
    }
    return false;
}

} // namespace dialog_detail

// A dirty child makes dirty what covers it: the siblings in front of it,
// and at every level up the widgets in front of the dialog holding it. A
// sibling marked here is looked at in its turn.
void Dialog::markOverlaps()
{
    for (std::size_t i = 0; i < children_.size(); ++i) {
        Widget* c = children_[i];
        if (c->hidden() || !c->dirty())
            continue;
        // Up to the top-level dialog, which is its own parent.
        Widget* level = c;
        for (Dialog* p = this; p && p != level; level = p, p = p->parent()) {
            const auto& sib = p->children();
            auto it = std::find(sib.begin(), sib.end(), level);
            if (it == sib.end())
                continue;
            for (++it; it != sib.end(); ++it)
                if (!(*it)->dirty() && (*it)->rect().intersects(c->rect()))
                    (*it)->redraw();
        }
    }
}

void Dialog::drawingPass()
{
    ScreenUpdate* u = ScreenUpdate::current();
    if (!u)
        return;
    const bool everything = u->redrawsEverything();
    if (!everything)
        markOverlaps();
    u->acquire();
    Mouse* m = isTopLevel() ? mouse() : nullptr;
    if (m)
        m->hide();
    const std::vector<Widget*> list = children_;
    for (Widget* c : list) {
        if (c->hidden())
            continue;
        bool drawn = false;
        if (c->dirty() || everything) {
            c->sendMessage(MSG_DRAW);
            c->clearFlag(D_DIRTY);
            drawn = true;
        }
        // A dialog drawn as a whole has drawn its children already.
        if (Dialog* d = asDialog(c); d && !drawn)
            d->drawingPass();
    }
    if (m)
        m->draw();
    u->release();
    clearFlag(D_DIRTY);
}

void Dialog::msgDraw()
{
    Widget::msgDraw();
    const std::vector<Widget*> list = children_;
    for (Widget* c : list)
        if (!c->hidden())
            c->sendMessage(MSG_DRAW);
}
