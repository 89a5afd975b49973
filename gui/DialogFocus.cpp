// Focus of the dialog manager as the dialog sees it: the deepest focused
// widget, the widget under the mouse and keyboard navigation (Tab and the
// arrow keys). The focus and mouse-over chains themselves are moved by
// gui/FocusChain.cpp.
#include "gui/Dialog.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include <allegro.h>

#include "gui/DialogInternals.h"
#include "gui/FocusChain.h"
#include "gui/Messages.h"

using namespace dialog_detail;

Widget* Dialog::deepestFocus()
{
    Widget* w = focus();
    while (Dialog* d = asDialog(w)) {
        if (!d->focus())
            break;
        w = d->focus();
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
        FocusChain::moveFocus(from, c);
        return true;
    }
    return false;
}
