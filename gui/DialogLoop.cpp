// The main loop of the dialog manager: execute, popup and closing, the
// start and end of a top-level dialog, and the loop pass (msgIdle) and
// logic tick (msgTick) as lists of named steps. Input arrives through
// gui/InputSource.h, ticks through gui/TimerSlots.h.
//
// The loop state has one writer each: the close request is raised by close
// and cleared by runUntilClosed; running and the logic timer are set at the
// start and reset at the end (msgStart, msgEnd).
#include "gui/Dialog.h"

#include <cstdint>

#include <allegro.h>

#include "gui/BackgroundThread.h"
#include "gui/Bitmap.h"
#include "gui/DialogInternals.h"
#include "gui/FocusChain.h"
#include "gui/InputSource.h"
#include "gui/InputTrace.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"
#include "gui/Skin.h"
#include "gui/TimerSlots.h"

using namespace dialog_detail;

Widget* Dialog::execute(Widget* focusWidget)
{
    // The top-level loop belongs to a dialog that is its own parent (one
    // that was popped up before still points to its old parent).
    if (!isTopLevel())
        setParent(this);
    if (focusWidget)
        FocusChain::giveFocus(focusWidget);
    runUntilClosed(this);
    Widget* result = focus();
    sendMessage(MSG_END);
    return result;
}

Widget* Dialog::popup(Dialog* parent, Point position, Widget* focusWidget)
{
    return popup(parent, position.x, position.y, focusWidget);
}

namespace {

// A full-screen picture of the screen as it was when the widget started.
class ScreenCopy : public Widget {
public:
    ~ScreenCopy() override { release(); }
    void msgStart() override
    {
        Widget::msgStart();
        release();
        if (screen) {
            copy_ = create_bitmap(screen->w, screen->h);
            if (copy_)
                blit(screen, copy_, 0, 0, 0, 0, screen->w, screen->h);
        }
    }
    void draw(Bitmap& canvas) override
    {
        if (copy_ && canvas.bitmap())
            blit(copy_, canvas.bitmap(), x(), y(), 0, 0, w(), h());
    }

private:
    void release()
    {
        if (copy_)
            destroy_bitmap(copy_);
        copy_ = nullptr;
    }
    BITMAP* copy_ = nullptr;
};

// The top-level dialog a popup runs on when no GUI is running.
class PopupHost : public Dialog {
public:
    PopupHost(Dialog* guest, int x, int y, Widget* focus)
        : guest_(guest), x_(x), y_(y), focusWidget_(focus)
    {
        backdrop_.shape(0, 0, w(), h());
        add(&backdrop_);
    }
    ~PopupHost() override { remove(&backdrop_); }
    void msgStart() override
    {
        Dialog::msgStart();
        result_ = guest_->popup(this, x_, y_, focusWidget_);
        close();
    }
    Widget* result() const { return result_; }

    Widget* run()
    {
        execute(nullptr);
        return result_;
    }

private:
    Dialog* guest_;
    int x_, y_;
    Widget* focusWidget_;
    Widget* result_ = nullptr;
    ScreenCopy backdrop_;
};

} // namespace

Widget* Dialog::popup(Dialog* parent, int x, int y, Widget* focusWidget)
{
    if (!parent || parent == this || !parent->root()->running()) {
        // No GUI is running: run a temporary top-level dialog showing the
        // screen as it was, with this dialog on top of it.
        Widget* result = nullptr;
        {
            PopupHost host(this, x, y, focusWidget);
            result = host.run();
        }
        setParent(this);
        return result;
    }

    setParent(parent);
    if (x != keepPosition)
        setX(x);
    if (y != keepPosition)
        setY(y);
    // The focus is set inside this dialog only; the dialog itself takes the
    // focus of the root when it is added.
    if (focusWidget)
        FocusChain::giveFocusUpTo(focusWidget, this);
    const std::uint32_t saved = flags();
    setFlag(D_MODAL);
    clearFlag(D_RESIZABLE);
    Dialog* top = parent->root();
    // A popup opened from another popup: the outer one must get all the
    // input back when this one closes.
    Widget* outerModal = top->focus();
    if (outerModal && !(outerModal->isDialog() && outerModal->testFlags(D_MODAL)))
        outerModal = nullptr;
    runUntilClosed(top);
    Widget* result = deepestFocus();
    top->remove(this);
    top->afterPopup(outerModal);
    setFlag(saved);
    return result;
}

// The top-level dialog after a popup has left it.
void Dialog::afterPopup(Widget* outerModal)
{
    // The mouse may rest on a widget the popup covered: it is under the
    // mouse again at once and takes the next click, moved or not.
    if (Mouse* m = mouse()) {
        Widget* under = widgetAt(m->pos());
        if (under != mouseOver())
            FocusChain::moveMouse(mouseOver(), under);
    }
    // An outer popup takes the input back.
    if (outerModal && !focus() && contains(outerModal))
        chain_.returnFocus(outerModal);
}

// ------------------------------------------------------------ closing

// The loop of execute (the dialog is top-level and `top` itself) and of
// popup (the dialog joins the running `top`, whose passes run). The request
// is cleared before the dialog starts, since its start may already close it.
void Dialog::runUntilClosed(Dialog* top)
{
    closeRequested_ = false;
    if (isTopLevel())
        sendMessage(MSG_START);
    else
        top->add(this);
    while (!closeRequested_)
        top->msgIdle();
}

bool Dialog::close()
{
    if (!msgClose())
        return false;
    if (!isTopLevel() && parent() && !testFlags(D_MODAL))
        parent()->handleEvent(this, MSG_CLOSE, 0, 0);
    else
        closeRequested_ = true;
    return true;
}

// ------------------------------------------------------------ start and end

void Dialog::startTopLevel()
{
    logicTimer_ = TimerSlots::install(logicRate());

    const int mode = get_display_switch_mode();
    LoopWake::clearRequests();
    inputSource().startCallbacks(mode == SWITCH_AMNESIA || mode == SWITCH_BACKAMNESIA);

    ScreenUpdate* update = screenUpdate();
    setSkinDeep(skin());
    deliverSkinChanged();

    if (theSettings.showMouse) {
        Mouse* m = createMouse();
        m->connect(update);
        const InputSource::MouseState st = inputSource().pollMouse();
        m->update(st.pos, st.buttons, st.wheel);
        m->setCursor(skin(), Skin::MOUSE_NORMAL);
    }
}

void Dialog::endTopLevel()
{
    TimerSlots::remove(logicTimer_);
    logicTimer_ = -2;
    inputSource().stopCallbacks();
    destroyMouse();
    ScreenUpdate::destroyInstance();
}

void Dialog::msgStart()
{
    Widget::msgStart();
    running_ = true;
    if (isTopLevel())
        startTopLevel();
    broadcast(MSG_START);
    if (theSettings.showMouse) {
        clicks_.reset(ClickTracker::windowFor(theSettings.doubleClickDelay, logicRate()));
        if (Mouse* m = mouse()) {
            if (Widget* w = widgetAt(m->pos())) {
                FocusChain::giveMouse(w);
                if (!focus())
                    FocusChain::giveFocus(w);
            }
        }
    }
    drag_.reset();
}

void Dialog::msgEnd()
{
    chain_.clear();
    broadcast(MSG_END);
    Widget::msgEnd();
    running_ = false;
    if (isTopLevel())
        endTopLevel();
}

// ------------------------------------------------------------ the loop

// One pass of the loop. Only the top-level dialog runs the steps; any other
// dialog passes MSG_IDLE on.
void Dialog::msgIdle()
{
    notify(MSG_IDLE);
    if (!isTopLevel()) {
        broadcast(MSG_IDLE);
        return;
    }
    redrawAfterSwitch();
    bool frameDue = false;
    if (!runPendingTicks(frameDue))
        return; // the dialog ended inside a tick
    TimerSlots::resetCatchUp();
    showFrame(frameDue);
    InputTrace::passEnded();
    sleepUntilTick();
    if (LoopWake::takeWindowCloseRequest())
        close();
    broadcast(MSG_IDLE);
}

// After a display switch: skin bitmaps in video memory were lost and are
// made again; everything is drawn again.
void Dialog::redrawAfterSwitch()
{
    if (!LoopWake::takeRedrawEverythingRequest())
        return;
    if (theSettings.useVideoMemory) {
        reloadSkins(this);
        setSkinDeep(skin());
    }
    redraw();
}

// Takes the pending timer ticks one at a time: a logic tick runs msgTick
// and makes a frame due, any other a timer message. False when the dialog
// ended meanwhile.
bool Dialog::runPendingTicks(bool& frameDue)
{
    for (int slot = TimerSlots::next(); slot >= 0; slot = TimerSlots::next()) {
        // Taken before it is handled, so that a loop nested inside the
        // handler (a popup) does not run the same tick again.
        TimerSlots::consume(slot);
        if (slot == logicTimer_) {
            msgTick();
            frameDue = true;
        } else {
            msgTimer(slot);
        }
        if (!running_)
            return false;
    }
    return true;
}

// A frame is drawn and shown only when it would differ from the last one:
// an idle program leaves the screen (and the X server) alone.
void Dialog::showFrame(bool frameDue)
{
    if ((frameDue || theSettings.unlimitedFrameRate) && somethingToDraw(this)) {
        drawingPass();
        if (ScreenUpdate* u = ScreenUpdate::current())
            u->show();
        BackgroundThread::wake(); // sends the frame to the X server now
    }
}

// Sleeps until the next tick. Without any timer nothing would ever wake the
// loop, and a close request must not wait for one.
void Dialog::sleepUntilTick()
{
    if (theSettings.yield && TimerSlots::anyInstalled()) {
        while (!LoopWake::hasWork())
            inputSource().waitForTick();
    }
}

// One logic tick: the widget's own (its transition), then in the top-level
// dialog the pending skins, the mouse and the keyboard (handled by the
// dialog that takes the input) and the pending shape messages; last the
// tick goes to the children.
void Dialog::msgTick()
{
    Widget::msgTick();
    // Plain widgets keep their ticks to themselves; a dialog reports them.
    notify(MSG_TICK);
    if (isTopLevel()) {
        deliverSkinChanged();
        if (theSettings.showMouse)
            innermostModal(this)->processMouse();
        if (theSettings.useKeyboard)
            processKeyboard();
        deliverShapes();
    }
    // Every dialog passes the tick on, so that widgets inside windows
    // animate too.
    broadcast(MSG_TICK);
}
