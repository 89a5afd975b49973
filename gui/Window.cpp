// The window: laying out its frame, client area, rolling up and maximising,
// drag modes of its edges, focus and the popup transition.
#include "gui/Window.h"

#include <algorithm>

#include <allegro.h>

#include "gui/Bitmap.h"
#include "gui/Mouse.h"
#include "gui/ScreenUpdate.h"
#include "gui/Skin.h"

namespace {

// Sets a child's position relative to its parent and its size, touching it
// only when something changes (every change redraws it). Positions are
// taken as they are: no counting from the right or bottom edge.
void placeChild(Widget& child, int x, int y, int w, int h)
{
    if (child.w() != w || child.h() != h)
        child.resize(w, h);
    const Point rel = child.relativePos();
    if (rel.x != x || rel.y != y) {
        // setX/setY count negative values from the parent's far edge;
        // a child sticking out to the left or top is placed from the other
        // side and moved back.
        if (x < 0 && child.parent())
            x -= child.parent()->w();
        if (y < 0 && child.parent())
            y -= child.parent()->h();
        child.place(x, y);
    }
}

bool inside(const Widget& w, Point p)
{
    return !w.hidden() && p.x >= w.x() && p.x < w.x2() && p.y >= w.y() && p.y < w.y2();
}

} // namespace

Window::Window()
    : left_(Skin::WINLEFT, true),
      right_(Skin::WINRIGHT, true),
      top_(Skin::WINTOP, false),
      bottom_(Skin::WINBOTTOM, false),
      grip_(Skin::WINGRIP, false),
      titleBack_(Skin::WINTEXT, false, true),
      minIcon_(Skin::ICONMIN),
      maxIcon_(Skin::ICONMAX),
      exitIcon_(Skin::ICONEXIT),
      client_(&ownClient_)
{
    setFlag(D_WINDOW | D_MOVABLE | D_RESIZABLE);
    clearFlag(D_MODAL);
    for (Widget* piece : {&left_, &right_, &top_, &bottom_, &grip_})
        Dialog::add(piece);
    titleBack_.hide();
    Dialog::add(&titleBack_);
    Dialog::add(&title_);
    exitIcon_.setFlag(D_EXIT);
    exitIcon_.setActivationSound(Skin::SAMPLE_ACTIVATE);
    minIcon_.setActivationSound(Skin::SAMPLE_CLOSE);
    maxIcon_.setActivationSound(Skin::SAMPLE_OPEN);
    for (WindowIcon* icon : {&minIcon_, &maxIcon_, &exitIcon_}) {
        icon->disable();
        Dialog::add(icon);
    }
    Dialog::add(client_);
    setSampleIndex(Skin::SAMPLE_GOTFOCUS, Skin::SAMPLE_GOTFOCUS);
    setSampleIndex(Skin::SAMPLE_LOSTFOCUS, Skin::SAMPLE_LOSTFOCUS);
    built_ = true;
    layout();
    clearFlag(D_MOVED | D_RESIZED);
}

Window::~Window() = default;

int Window::frameLeft() const { return left_.thickness(); }
int Window::frameRight() const { return right_.thickness(); }
int Window::frameTop() const { return top_.thickness() + grip_.thickness(); }
int Window::frameBottom() const { return bottom_.thickness(); }

void Window::layout()
{
    if (!built_ || laying_)
        return;
    laying_ = true;
    const int width = w(), height = h();
    const int l = frameLeft(), r = frameRight();
    const int t = top_.thickness(), g = grip_.thickness(), b = bottom_.thickness();
    const int span = std::max(0, width - l - r);

    placeChild(left_, 0, 0, l, height);
    placeChild(right_, width - r, 0, r, height);
    placeChild(top_, l, 0, span, t);
    placeChild(grip_, l, t, span, g);
    placeChild(bottom_, l, height - b, span, b);

    if (client_ && !rolledUp() && contains(client_))
        placeChild(*client_, l, t + g, span, std::max(0, height - t - g - b));

    // Icons at the skin's places; a negative x counts from the right edge.
    int minX = 0, minY = 0, maxX = 0, maxY = 0, exitX = 0, exitY = 0;
    int textX = 0, textY = 0;
    if (const Skin* s = skin()) {
        const SkinElements& e = s->elements();
        minX = e.windowMinX, minY = e.windowMinY;
        maxX = e.windowMaxX, maxY = e.windowMaxY;
        exitX = e.windowExitX, exitY = e.windowExitY;
        textX = e.windowTextX, textY = e.windowTextY;
    }
    auto iconAt = [&](WindowIcon& icon, int x, int y) {
        placeChild(icon, x < 0 ? width + x : x, y, icon.w(), icon.h());
    };
    iconAt(minIcon_, minX, minY);
    iconAt(maxIcon_, maxX, maxY);
    iconAt(exitIcon_, exitX, exitY);

    // The title: left at textX, right-aligned textX from the right edge, or
    // centred; the plate behind it a frame wider on each side, centred on it.
    const int tw = title_.w(), th = title_.h();
    int tx = textX;
    if (title_.alignment() == Label::AlignRight)
        tx = width - textX - tw;
    else if (title_.alignment() == Label::AlignCentre)
        tx = (width - tw) / 2;
    placeChild(title_, tx, textY, tw, th);
    const int bw = tw + 2 * titleBack_.frameWidth();
    const int bh = titleBack_.frameHeight();
    placeChild(titleBack_, tx + (tw - bw) / 2, textY + (th - bh) / 2, bw, bh);

    Point least = minimumSize();
    least.x = std::max(least.x, bw + 32);
    least.y = std::max(least.y, t + g + b);
    setMinimumSize(least);
    laying_ = false;
}

void Window::updateChildPositions()
{
    layout();
    Dialog::updateChildPositions();
}

void Window::setW(int w)
{
    Dialog::setW(w);
    layout();
}

void Window::setH(int h)
{
    Dialog::setH(h);
    layout();
}

void Window::setTitle(const char* text)
{
    title_.setText(text);
    layout();
    Dialog::updateChildPositions();
    redraw();
}

bool Window::add(Widget* widget)
{
    if (!client_)
        client_ = &ownClient_;
    if (!rolledUp() && !contains(client_)) {
        Dialog::add(client_);
        layout();
    }
    return client_->add(widget);
}

void Window::fitClientArea()
{
    if (!client_ || rolledUp() || maximised())
        return;
    if (client_->w() > 0 && client_->h() > 0)
        resize(client_->w() + frameLeft() + frameRight(), client_->h() + frameTop() + frameBottom());
}

void Window::setClientArea(Dialog* dialog)
{
    if (!dialog)
        dialog = &ownClient_;
    if (client_ && contains(client_))
        Dialog::remove(client_);
    client_ = dialog;
    const Point size = client_->rect().size();
    if (!rolledUp()) {
        resize(size.x + frameLeft() + frameRight(), size.y + frameTop() + frameBottom());
        Dialog::add(client_);
    }
    layout();
    Dialog::updateChildPositions();
    redraw();
}

Dialog* Window::shapeParent()
{
    return isTopLevel() ? nullptr : parent();
}

void Window::rollUp()
{
    if (maximised())
        return;
    Dialog* p = shapeParent();
    if (!rolledUp()) {
        saved_ = Rect(relativePos(), rect().size());
        state_ |= RolledUp;
        if (client_ && contains(client_))
            Dialog::remove(client_);
        resize(rolledUpWidth, frameTop() + frameBottom());
        if (p)
            p->redraw();
        maxIcon_.setActivationSound(Skin::SAMPLE_ACTIVATE);
        minIcon_.setActivationSound(Skin::SAMPLE_OPEN);
    } else {
        state_ &= ~RolledUp;
        resize(saved_.w, saved_.h);
        if (client_ && !contains(client_))
            Dialog::add(client_);
        redraw();
        maxIcon_.setActivationSound(Skin::SAMPLE_OPEN);
        minIcon_.setActivationSound(Skin::SAMPLE_CLOSE);
    }
    msgShape();
    redraw();
}

void Window::maximise()
{
    if (rolledUp())
        return;
    Dialog* p = shapeParent();
    if (!maximised()) {
        saved_ = Rect(relativePos(), rect().size());
        state_ |= Maximised;
        maxIcon_.setIcon(Skin::ICONRESTORE);
        int width = p ? p->w() : (screen ? screen->w : w());
        int height = p ? p->h() : (screen ? screen->h : h());
        resize(width, height);
        place(0, 0);
        maxIcon_.setActivationSound(Skin::SAMPLE_CLOSE);
    } else {
        state_ &= ~Maximised;
        maxIcon_.setIcon(Skin::ICONMAX);
        resize(saved_.w, saved_.h);
        if (p) {
            // The saved position is relative and may lie left of or above
            // the parent: place it from the far side so that it is kept.
            int x = saved_.x, y = saved_.y;
            if (x < 0)
                x -= p->w();
            if (y < 0)
                y -= p->h();
            place(x, y);
            p->redraw();
        } else {
            place(saved_.x, saved_.y);
        }
        maxIcon_.setActivationSound(Skin::SAMPLE_OPEN);
    }
    msgShape();
    redraw();
}

void Window::setAutoRollUp(bool on)
{
    if (on) {
        state_ |= AutoRollUp;
        if (!focus() && !rolledUp() && ScreenUpdate::current())
            rollUp();
    } else {
        state_ &= ~AutoRollUp;
        if (rolledUp())
            rollUp();
    }
}

DragMode Window::dragModeAt(Point p)
{
    if (client_ && contains(client_) && inside(*client_, p))
        return DragMode::None;
    for (WindowIcon* icon : {&minIcon_, &maxIcon_, &exitIcon_})
        if (inside(*icon, p))
            return DragMode::None;
    if (inside(title_, p) || inside(titleBack_, p) || inside(grip_, p))
        return (testFlags(D_MOVABLE) && !maximised()) ? DragMode::Move : DragMode::None;

    // Each edge: its two ends take the corners, the rest the edge itself.
    struct Edge {
        WindowPiece* piece;
        DragMode start, middle, end;
    };
    const Edge edges[4] = {
        {&left_, DragMode::TopLeft, DragMode::Left, DragMode::BottomLeft},
        {&right_, DragMode::TopRight, DragMode::Right, DragMode::BottomRight},
        {&top_, DragMode::TopLeft, DragMode::Top, DragMode::TopRight},
        {&bottom_, DragMode::BottomLeft, DragMode::Bottom, DragMode::BottomRight},
    };
    for (const Edge& e : edges) {
        if (!inside(*e.piece, p))
            continue;
        if (!testFlags(D_RESIZABLE) || rolledUp() || maximised())
            return DragMode::None;
        const bool vertical = e.piece->vertical();
        const int along = vertical ? p.y - e.piece->y() : p.x - e.piece->x();
        const int length = vertical ? e.piece->h() : e.piece->w();
        const int border = e.piece->border();
        if (along < border)
            return e.start;
        if (along >= length - border)
            return e.end;
        return e.middle;
    }
    return DragMode::None;
}

DragMode Window::dragMode()
{
    const Mouse* m = mouse();
    return m ? dragModeAt(m->pos()) : DragMode::None;
}

void Window::handleEvent(Widget* widget, int message, int argument1, int argument2)
{
    Dialog::handleEvent(widget, message, argument1, argument2);
    if (message == MSG_ACTIVATE) {
        if (widget == &minIcon_)
            rollUp();
        else if (widget == &maxIcon_)
            maximise();
    } else if (message == MSG_CLOSE && widget && widget == client_) {
        close();
    }
}

Widget* Window::popup(Dialog* parent, int x, int y, Widget* focusWidget)
{
    if (Skin* s = skin())
        setAnimationProperties(s->elements().windowAnimationLength, s->elements().windowAnimationType);
    animate();
    Widget* result = Dialog::popup(parent, x, y, focusWidget);
    resetAnimation();
    return result;
}

void Window::msgSkinChanged()
{
    Dialog::msgSkinChanged();
    if (Skin* s = skin()) {
        const SkinElements& e = s->elements();
        if (e.windowTextBack != 0)
            titleBack_.unhide();
        else
            titleBack_.hide();
        setAnimationProperties(e.windowAnimationLength, e.windowAnimationType);
    }
    setSampleIndex(Skin::SAMPLE_GOTFOCUS, Skin::SAMPLE_GOTFOCUS);
    setSampleIndex(Skin::SAMPLE_LOSTFOCUS, Skin::SAMPLE_LOSTFOCUS);
    fitClientArea();
    layout();
    Dialog::updateChildPositions();
    refreshIcons();
}

void Window::refreshIcons()
{
    const bool active = hasFocus() || focus() != nullptr;
    bool changed = false;
    for (WindowIcon* icon : {&minIcon_, &maxIcon_, &exitIcon_}) {
        if (active && icon->disabled())
            icon->enable();
        else if (!active && !icon->disabled())
            icon->disable();
    }
    const bool resizable = testFlags(D_RESIZABLE);
    for (WindowIcon* icon : {&minIcon_, &maxIcon_}) {
        if (resizable && icon->hidden()) {
            icon->unhide();
            changed = true;
        } else if (!resizable && !icon->hidden()) {
            icon->hide();
            changed = true;
        }
    }
    // A hidden icon leaves the title bar under it to be painted again.
    if (changed)
        redraw();
}

void Window::passFocus(int message)
{
    for (Widget* piece : {&left_, &right_, &top_, &bottom_, &grip_, &titleBack_})
        piece->sendMessage(message);
}

void Window::msgGotFocus()
{
    Dialog::msgGotFocus();
    passFocus(MSG_GOTFOCUS);
    refreshIcons();
    playSample(Skin::SAMPLE_GOTFOCUS);
}

void Window::msgLostFocus()
{
    Dialog::msgLostFocus();
    passFocus(MSG_LOSTFOCUS);
    refreshIcons();
    playSample(Skin::SAMPLE_LOSTFOCUS);
}

void Window::msgGotMouse()
{
    Dialog::msgGotMouse();
    if (autoRollUp() && rolledUp())
        rollUp();
}

void Window::msgLostMouse()
{
    Dialog::msgLostMouse();
    // Not in the middle of a drag whose mouse ran ahead of the frame.
    if (autoRollUp() && !rolledUp() && !testFlags(D_PRESSED))
        rollUp();
}

void Window::unhide()
{
    Dialog::unhide();
    const Skin* s = skin();
    if (!s || s->elements().windowTextBack == 0)
        titleBack_.hide();
    refreshIcons();
}

void Window::enable()
{
    Dialog::enable();
    refreshIcons();
}
