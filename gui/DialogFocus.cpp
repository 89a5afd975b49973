// Focus and mouse-over of the dialog manager, the widget under the mouse
// and keyboard navigation (Tab and the arrow keys).
//
// The chains: the focus runs from the top-level dialog down through each
// dialog's `focus` child to the deepest focused widget; the mouse-over
// chain runs the same way through `mouseOver`. Giving the focus to a widget
// walks up from it: each level that wants the focus and is neither hidden
// nor disabled gets MSG_GOTFOCUS and becomes its parent's focus (a window
// also comes to the front); the walk stops at the first level that does
// not, or that has it already. Taking it walks the same way up, stopping
// at a modal widget, and sends MSG_LOSTFOCUS. Moving from A to B first
// releases the chain inside A (if A is a dialog), then takes it from A and
// gives it to B. Mouse-over moves are the same with MSG_GOTMOUSE and
// MSG_LOSTMOUSE and the answer to MSG_WANTMOUSE.
#include "gui/Dialog.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include <allegro.h>

#include "gui/DialogInternals.h"
#include "gui/Messages.h"

using namespace dialog_detail;

void Dialog::giveFocus(Widget* widget) { giveFocusUpTo(widget, nullptr); }

void Dialog::giveFocusUpTo(Widget* widget, Dialog* last)
{
    Widget* cur = widget;
    while (cur && cur != last) {
        Dialog* p = cur->parent();
        if (!p || p == cur)
            break;
        if (p->focus_ == cur && cur->hasFocus())
            break;
        if (cur->hidden() || cur->disabled() || !wants(cur, MSG_WANTFOCUS))
            break;
        cur->sendMessage(MSG_GOTFOCUS);
        p->focus_ = cur;
        if (cur->isWindow())
            p->bringToFront(cur);
        cur = p;
    }
}

void Dialog::takeFocus(Widget* widget)
{
    Widget* cur = widget;
    while (cur && !cur->testFlags(D_MODAL)) {
        Dialog* p = cur->parent();
        if (!p || p == cur)
            break;
        if (p->focus_ == cur)
            p->focus_ = nullptr;
        cur->sendMessage(MSG_LOSTFOCUS);
        cur = p;
    }
}

void dialog_detail::releaseFocusInside(Dialog* d)
{
    Widget* f = d->focus();
    if (!f)
        return;
    if (Dialog* inner = asDialog(f))
        releaseFocusInside(inner);
    Dialog::takeFocus(f);
}

namespace {

void releaseMouseInside(Dialog* d)
{
    Widget* m = d->mouseOver();
    if (!m)
        return;
    if (Dialog* inner = asDialog(m))
        releaseMouseInside(inner);
    Dialog::takeMouse(m);
}

} // namespace

void Dialog::moveFocus(Widget* from, Widget* to)
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

void Dialog::giveMouse(Widget* widget)
{
    Widget* cur = widget;
    while (cur) {
        Dialog* p = cur->parent();
        if (!p || p == cur)
            break;
        if (p->mouseOver_ == cur && cur->hasMouse())
            break;
        if (cur->hidden() || cur->disabled() || !wants(cur, MSG_WANTMOUSE))
            break;
        cur->sendMessage(MSG_GOTMOUSE);
        p->mouseOver_ = cur;
        cur = p;
    }
}

void Dialog::takeMouse(Widget* widget)
{
    Widget* cur = widget;
    while (cur && !cur->testFlags(D_MODAL)) {
        Dialog* p = cur->parent();
        if (!p || p == cur)
            break;
        if (p->mouseOver_ == cur)
            p->mouseOver_ = nullptr;
        cur->sendMessage(MSG_LOSTMOUSE);
        cur = p;
    }
}

void Dialog::moveMouse(Widget* from, Widget* to)
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

Widget* Dialog::deepestFocus()
{
    Widget* w = focus_;
    while (Dialog* d = asDialog(w)) {
        if (!d->focus_)
            break;
        w = d->focus_;
    }
    return w;
}

Widget* Dialog::widgetAt(Point p)
{
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Widget* c = *it;
        if (c->hidden() || c->disabled())
            continue;
        if (Dialog* d = asDialog(c))
            if (d->widgetAt(p))
                return c;
        if (c->rect().contains(p) && wants(c, MSG_WANTMOUSE))
            return c;
    }
    return nullptr;
}

namespace {

void collectCandidates(Dialog* d, std::vector<Widget*>& out)
{
    for (Widget* c : d->children()) {
        if (c->hidden() || c->disabled() || c->isWindow())
            continue;
        if (Dialog* inner = asDialog(c)) {
            collectCandidates(inner, out);
            continue;
        }
        if (!c->hasFocus())
            out.push_back(c);
    }
}

Point centreOf(const Widget* w) { return {w->x() + w->w() / 2, w->y() + w->h() / 2}; }

// Wrapping offsets: larger than any real difference of the keys.
constexpr std::int64_t arrowWrap = 65536;
constexpr std::int64_t tabWrap = std::int64_t(1) << 40;

// Tab: how far the candidate comes after the focused widget in creation
// order (before it for Shift+Tab), wrapping round.
std::int64_t tabKey(const Widget* c, const Widget* from, bool backward)
{
    const std::int64_t a = static_cast<std::int64_t>(c->serial());
    const std::int64_t b = static_cast<std::int64_t>(from->serial());
    std::int64_t key = backward ? b - a : a - b;
    if (key < 0)
        key += tabWrap;
    return key;
}

// An arrow: the distance along the key's direction plus twice the distance
// across it; what does not lie ahead comes after everything that does.
std::int64_t arrowKey(const Widget* c, const Widget* from, int scancode)
{
    const Point pc = centreOf(c), pf = centreOf(from);
    int along = 0, across = 0;
    switch (scancode) {
    case KEY_RIGHT: along = pc.x - pf.x; across = pc.y - pf.y; break;
    case KEY_LEFT: along = pf.x - pc.x; across = pc.y - pf.y; break;
    case KEY_DOWN: along = pc.y - pf.y; across = pc.x - pf.x; break;
    default: along = pf.y - pc.y; across = pc.x - pf.x; break;
    }
    std::int64_t key = along + 2 * static_cast<std::int64_t>(std::abs(across));
    if (along <= 0)
        key += arrowWrap;
    return key;
}

} // namespace

// The candidates, sorted by their key from the deepest focused widget (in
// the order they were collected when nothing has the focus); the first that
// takes it gets the focus.
bool Dialog::navigateFocus(int scancode, bool backward)
{
    std::vector<Widget*> candidates;
    collectCandidates(this, candidates);
    if (candidates.empty())
        return false;

    Widget* from = root()->deepestFocus();

    std::vector<std::pair<std::int64_t, Widget*>> keyed;
    keyed.reserve(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        Widget* c = candidates[i];
        std::int64_t key = static_cast<std::int64_t>(i);
        if (from)
            key = scancode == KEY_TAB ? tabKey(c, from, backward) : arrowKey(c, from, scancode);
        keyed.emplace_back(key, c);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    for (const auto& [key, c] : keyed) {
        if (!wants(c, MSG_WANTTAB))
            continue;
        moveFocus(from, c);
        return true;
    }
    return false;
}
