// Mouse handling of the dialog manager: the polled mouse and the recorded
// button changes turned into presses, releases, double clicks, wheel steps
// and moves, the mouse-over and focus following the mouse (moved by
// gui/FocusChain.h), and dragging a dialog by its frame (gui/FrameDrag.h).
#include "gui/Dialog.h"

#include "gui/DialogInternals.h"
#include "gui/FocusChain.h"
#include "gui/InputSource.h"
#include "gui/InputTrace.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/Skin.h"

using namespace dialog_detail;

namespace {

// The cursor that shows what a drag would do; -1 for a mode out of range.
int cursorFor(DragMode mode)
{
    switch (mode) {
    case DragMode::None:
    case DragMode::Move: return Skin::MOUSE_NORMAL;
    case DragMode::TopLeft:
    case DragMode::BottomRight: return Skin::MOUSE_SIZE_DIAGONAL1;
    case DragMode::TopRight:
    case DragMode::BottomLeft: return Skin::MOUSE_SIZE_DIAGONAL2;
    case DragMode::Top:
    case DragMode::Bottom: return Skin::MOUSE_SIZE_VERTICAL;
    case DragMode::Left:
    case DragMode::Right: return Skin::MOUSE_SIZE_HORIZONTAL;
    }
    return -1;
}

} // namespace

// Runs in the dialog that takes the input (the innermost modal one): one
// poll and the button changes recorded since the last tick, then the
// messages for what changed, in a fixed order.
void Dialog::processMouse()
{
    Mouse* m = mouse();
    if (!m)
        return;
    const InputSource::MouseState before{m->pos(), m->buttons(), m->wheel()};
    const InputSource::MouseState now = inputSource().pollMouse();
    const ClickTracker::Edges edges = clicks_.step(before, now, inputSource().takeButtonEdges());
    // The pointer and the buttons follow the presses and releases as they
    // are delivered.
    m->update(before.pos, before.buttons, now.wheel);
    m->advance(1000 / logicRate());
    // A press that begins a wait for its partner is traced before the
    // messages go out (a popup they open takes the input with a tracker of
    // its own); a double click ends the wait once it has been delivered.
    InputTrace::clickWaiting(clicks_.waiting() || edges.doubleClick);
    deliverMouseEdges(edges);
    InputTrace::clickWaiting(clicks_.waiting());
}

// Each press and release is delivered where it happened: the mouse is moved
// there first (the widget under it is found before the press), and after
// them to where it is now.
void Dialog::deliverMouseEdges(const ClickTracker::Edges& e)
{
    Mouse* m = mouse();
    if (!m)
        return;
    Point placed = m->pos(); // where this delivery has put the mouse
    const Point end = placed + e.movement;
    auto moveTo = [this, m, &placed](Point to) {
        // A popup opened by a message has polled the mouse in its own loop
        // meanwhile: what that found is newer than any place left here.
        if (to == placed || m->pos() != placed)
            return;
        m->update(to, m->buttons(), m->wheel());
        InputTrace::pointer(to);
        msgMouseMove(to - placed);
        placed = to;
    };
    for (const ClickTracker::Change& c : e.changes) {
        moveTo(c.pos);
        deliverButtons(c.down, c.up);
    }
    if (e.doubleClick) {
        InputTrace::doubleClick(m->pos());
        msgDClick();
    }
    moveTo(end);
    InputTrace::pointer(m->pos());
    if (e.wheel != 0) {
        InputTrace::wheel(e.wheel);
        msgWheel(e.wheel);
    }
}

// Left, right, middle in this order; each press with its own click. The
// mouse's buttons are brought up to date before each message, so that a
// press and its release within one tick read as they would apart.
void Dialog::deliverButtons(int down, int up)
{
    Mouse* m = mouse();
    auto hold = [m](int bit, bool pressed) {
        if (!m)
            return;
        InputTrace::button(pressed, bit, m->pos());
        m->update(m->pos(), pressed ? (m->buttons() | bit) : (m->buttons() & ~bit), m->wheel());
    };
    if (down & 1) {
        hold(1, true);
        msgClick();
        msgLPress();
    }
    if (up & 1) {
        hold(1, false);
        msgLRelease();
    }
    if (down & 2) {
        hold(2, true);
        msgClick();
        msgRPress();
    }
    if (up & 2) {
        hold(2, false);
        msgRRelease();
    }
    if (down & 4) {
        hold(4, true);
        msgClick();
        msgMPress();
    }
    if (up & 4) {
        hold(4, false);
        msgMRelease();
    }
}

void Dialog::msgClick()
{
    Widget::msgClick();
    Widget* under = mouseOver();
    if (under && under != focus() && wants(under, MSG_WANTFOCUS))
        FocusChain::moveFocus(focus(), under);
    if (under)
        under->msgClick();
}

void Dialog::msgDClick()
{
    Widget::msgDClick();
    if (Widget* under = mouseOver())
        under->msgDClick();
}

void Dialog::msgWheel(int steps)
{
    Widget::msgWheel(steps);
    if (Widget* under = mouseOver())
        under->msgWheel(steps);
}

bool Dialog::passPress(int message)
{
    Widget* under = mouseOver();
    Widget* f = focus();
    const bool toFocus = f && f != under && f->testFlags(D_PRESSED);
    if (toFocus)
        f->sendMessage(message);
    if (under)
        under->sendMessage(message);
    return toFocus || under;
}

// A press is reported by the widget it lands on: the dialog reports it
// only when no child took it, so that the handler hears of each press once
// (a top-level dialog, being its own parent, would hear it from itself too).
void Dialog::msgLPress()
{
    drag_.grab(mouse() ? mouse()->pos() : Point(0, 0), rect());
    setFlag(D_PRESSED);
    if (!passPress(MSG_LPRESS))
        Widget::msgLPress();
}

void Dialog::msgMPress()
{
    if (!passPress(MSG_MPRESS))
        Widget::msgMPress();
}

void Dialog::msgRPress()
{
    if (!passPress(MSG_RPRESS))
        Widget::msgRPress();
}

void Dialog::msgLRelease()
{
    Widget::msgLRelease();
    passPress(MSG_LRELEASE);
    clearFlag(D_PRESSED);
}

void Dialog::msgMRelease()
{
    Widget::msgMRelease();
    passPress(MSG_MRELEASE);
}

void Dialog::msgRRelease()
{
    Widget::msgRRelease();
    passPress(MSG_RRELEASE);
}

// The movement goes to the held widget and to the one under the mouse; then
// the mouse-over (and with it, by the skin's rule, the focus) moves to the
// widget now under the mouse; last the frame is dragged, or the cursor
// shows what a drag would do.
void Dialog::msgMouseMove(Point delta)
{
    Widget::msgMouseMove(delta);
    Mouse* m = mouse();
    const Point at = m ? m->pos() : Point(-10000, -10000);
    const bool leftHeld = m && (m->buttons() & 1);

    passMovement(delta);
    Widget* now = followMouse(at, delta);

    if (leftHeld) {
        if (drag_.mode() != DragMode::None && testFlags(D_PRESSED))
            dragBy(at);
        return;
    }
    drag_.aim(dragMode());
    // Over a child dialog the child shows its own cursor (it has had the
    // movement); this is decided last, so that a dialog the mouse has just
    // left does not keep its cursor.
    if (m && !(now && now->isDialog()))
        if (const int cursor = cursorFor(drag_.mode()); cursor >= 0)
            m->setCursor(skin(), cursor);
}

void Dialog::passMovement(Point delta)
{
    Widget* f = focus();
    if (f && f != mouseOver() && f->testFlags(D_PRESSED))
        f->msgMouseMove(delta);
    // Read again: the held widget's move may have changed the mouse-over.
    if (Widget* under = mouseOver())
        under->msgMouseMove(delta);
}

Widget* Dialog::followMouse(Point at, Point delta)
{
    // Read again: a child dialog that lost the mouse inside itself may have
    // released it here too.
    Widget* old = mouseOver();
    Widget* now = widgetAt(at);
    if (now == old)
        return now;
    FocusChain::moveMouse(old, now);
    focusFollowsMouse(now);
    if (now)
        now->msgMouseMove(delta);
    return now;
}

// The skin's focus rule: 0 the focus goes with the mouse (to nobody over a
// widget that takes none), 1 only to a widget that takes it, other values
// leave it. A widget held pressed keeps it.
void Dialog::focusFollowsMouse(Widget* now)
{
    const int rule = skin() ? skin()->elements().focus : 1;
    Widget* f = focus();
    if (f == now || (f && f->testFlags(D_PRESSED)))
        return;
    if (rule == 0) {
        if (now && wants(now, MSG_WANTFOCUS))
            FocusChain::moveFocus(f, now);
        else
            FocusChain::moveFocus(f, nullptr);
    } else if (rule == 1) {
        if (now && wants(now, MSG_WANTFOCUS))
            FocusChain::moveFocus(f, now);
    }
}

void Dialog::dragBy(Point at)
{
    Dialog* p = (parent() && !isTopLevel()) ? parent() : nullptr;
    const Point origin = p ? p->rect().pos() : Point(0, 0);
    if (drag_.mode() == DragMode::Move) {
        if (!testFlags(D_MOVABLE))
            return;
        const Point pos = drag_.movedTo(at);
        if (pos != rect().pos()) {
            placeExactly(pos.x - origin.x, pos.y - origin.y);
            root()->redraw();
        }
        return;
    }
    if (!testFlags(D_RESIZABLE) || !resizes(drag_.mode()))
        return;
    const Rect r = drag_.resizedTo(at, minimumSize_);
    const bool resized = r.w != w() || r.h != h();
    if (resized)
        resize(r.w, r.h);
    if (r.x != x() || r.y != y())
        placeExactly(r.x - origin.x, r.y - origin.y);
    // What lay under the old frame has to be painted again.
    const Rect start = drag_.startFrame();
    if (resized || r.x != start.x || r.y != start.y)
        root()->redraw();
}
