#include "gui/Dialog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include <allegro.h>

#include "gui/Bitmap.h"
#include "gui/Framework.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

// ============================================================== timer slots

namespace {

struct TimerSlot {
    std::atomic<int> pending{0};
    int catchUp = 0;
    long period = 0;
};

TimerSlot slots[TimerSlots::count];

std::atomic<bool> redrawEverythingRequested{false};
std::atomic<bool> windowCloseRequested{false};

// Wakes the main loop when a timer ticks or a request comes in, so that it
// sleeps between ticks instead of looking again every millisecond. The
// signal is given with the mutex taken and released first, so that it
// cannot fall between the loop's look at the counters and its wait.
std::mutex wakeMutex;
std::condition_variable wakeSignal;

void wakeLoop()
{
    { std::lock_guard<std::mutex> lock(wakeMutex); }
    wakeSignal.notify_all();
}

bool loopHasWork()
{
    return TimerSlots::anyPending() || windowCloseRequested || redrawEverythingRequested;
}

// Ticks per second of the logic timer; a rate of 0 or less would divide by
// zero, so the usual 50 is taken instead.
int logicRate()
{
    return theSettings.logicFrameRate > 0 ? theSettings.logicFrameRate : 50;
}

bool validSlot(int slot) { return slot >= 0 && slot < TimerSlots::count; }

} // namespace

namespace TimerSlots {

int install(int rate)
{
    if (rate <= 0)
        rate = 50;
    for (int i = 0; i < count; ++i) {
        if (slots[i].period != 0)
            continue;
        slots[i].period = std::max(1L, 1193181L / rate);
        slots[i].pending = 0;
        slots[i].catchUp = 0;
        if (!inputSource().startTimer(i, rate)) {
            slots[i].period = 0;
            return -1;
        }
        return i;
    }
    return -1;
}

void remove(int slot)
{
    if (!validSlot(slot) || slots[slot].period == 0)
        return;
    inputSource().stopTimer(slot);
    slots[slot].period = 0;
    slots[slot].pending = 0;
    slots[slot].catchUp = 0;
}

int next()
{
    for (int i = 0; i < count; ++i) {
        if (slots[i].pending <= 0)
            continue;
        if (++slots[i].catchUp <= theSettings.maxFrameSkip)
            return i;
        // Too far behind: drop the backlog of this timer.
        slots[i].pending = 0;
        slots[i].catchUp = 0;
    }
    return -1;
}

void consume(int slot)
{
    if (!validSlot(slot))
        return;
    int p = slots[slot].pending.load();
    while (p > 0 && !slots[slot].pending.compare_exchange_weak(p, p - 1)) {
    }
}

void resetCatchUp()
{
    for (auto& s : slots)
        s.catchUp = 0;
}

bool anyPending()
{
    return std::any_of(std::begin(slots), std::end(slots),
                       [](const TimerSlot& s) { return s.pending > 0; });
}

bool anyInstalled()
{
    return std::any_of(std::begin(slots), std::end(slots),
                       [](const TimerSlot& s) { return s.period != 0; });
}

int pending(int slot) { return validSlot(slot) ? slots[slot].pending.load() : 0; }

void raise(int slot)
{
    if (!validSlot(slot))
        return;
    ++slots[slot].pending;
    wakeLoop();
}

void clear()
{
    for (auto& s : slots) {
        s.period = 0;
        s.pending = 0;
        s.catchUp = 0;
    }
}

} // namespace TimerSlots

void requestRedrawEverything()
{
    redrawEverythingRequested = true;
    wakeLoop();
}

void requestWindowClose()
{
    windowCloseRequested = true;
    wakeLoop();
}

// ============================================================== Allegro input

namespace {

void timerCallback(void* slot)
{
    TimerSlots::raise(static_cast<int>(reinterpret_cast<std::intptr_t>(slot)));
}
END_OF_FUNCTION(timerCallback)

void switchInCallback() { requestRedrawEverything(); }
void closeButtonCallback() { requestWindowClose(); }

// The modifiers held when each key was pressed. Keys wait in Allegro's
// buffer until the next logic tick reads them, and a quick Shift+Tab lets
// Shift go before that: key_shifts at reading time would tell a plain Tab.
// The keyboard callback, run by Allegro's input thread for every key put
// into the buffer, records key_shifts here; readKey takes the record that
// belongs to the key it read. One writer (the input thread), one reader
// (the main loop).
struct KeyRecord {
    int character;
    int scancode;
    int shifts;
};
constexpr unsigned keyRecordCount = 64;
KeyRecord keyRecords[keyRecordCount];
std::atomic<unsigned> keyRecordsWritten{0};
std::atomic<unsigned> keyRecordsRead{0};
// Modifiers of the key read last; -1 when the last read found no key.
int lastKeyShifts = -1;

int recordKeyShifts(int key, int* scancode)
{
    const unsigned w = keyRecordsWritten.load(std::memory_order_relaxed);
    // When full the key goes without a record; it is read with the state
    // at reading time.
    if (w - keyRecordsRead.load(std::memory_order_acquire) < keyRecordCount) {
        keyRecords[w % keyRecordCount] = {key, scancode ? *scancode : 0, key_shifts};
        keyRecordsWritten.store(w + 1, std::memory_order_release);
    }
    return key;
}
END_OF_FUNCTION(recordKeyShifts)

// The modifiers recorded for a key just read, or -1. Records of keys that
// never reached the reader (the buffer was cleared or overflowed) are
// passed over.
int takeKeyShifts(int character, int scancode)
{
    unsigned r = keyRecordsRead.load(std::memory_order_relaxed);
    const unsigned w = keyRecordsWritten.load(std::memory_order_acquire);
    int shifts = -1;
    while (r != w) {
        const KeyRecord& k = keyRecords[r % keyRecordCount];
        ++r;
        if (k.character == character && k.scancode == scancode) {
            shifts = k.shifts;
            break;
        }
    }
    keyRecordsRead.store(r, std::memory_order_release);
    return shifts;
}

InputSource allegroInput;
InputSource* currentInput = &allegroInput;

} // namespace

bool InputSource::startTimer(int slot, int rate)
{
    return install_param_int_ex(timerCallback, reinterpret_cast<void*>(static_cast<std::intptr_t>(slot)),
                                BPS_TO_TIMER(rate)) == 0;
}

void InputSource::stopTimer(int slot)
{
    remove_param_int(timerCallback, reinterpret_cast<void*>(static_cast<std::intptr_t>(slot)));
}

InputSource::MouseState InputSource::pollMouse()
{
    MouseState s;
    if (mouse_needs_poll())
        poll_mouse();
    s.pos = Point(mouse_x, mouse_y);
    s.buttons = mouse_b & 7;
    s.wheel = mouse_z;
    return s;
}

bool InputSource::readKey(int& character, int& scancode)
{
    if (!keyboard_driver)
        return false;
    if (keyboard_needs_poll())
        poll_keyboard();
    lastKeyShifts = -1;
    if (!keypressed())
        return false;
    character = ureadkey(&scancode);
    lastKeyShifts = takeKeyShifts(character, scancode);
    return true;
}

bool InputSource::shiftHeld()
{
    const int shifts = lastKeyShifts >= 0 ? lastKeyShifts : key_shifts;
    return (shifts & KB_SHIFT_FLAG) != 0;
}

InputSource::JoystickState InputSource::pollJoystick()
{
    JoystickState s;
    if (num_joysticks < 1)
        return s;
    poll_joystick();
    s.present = true;
    if (joy[0].num_sticks > 0 && joy[0].stick[0].num_axis >= 2) {
        s.left = joy[0].stick[0].axis[0].d1;
        s.right = joy[0].stick[0].axis[0].d2;
        s.up = joy[0].stick[0].axis[1].d1;
        s.down = joy[0].stick[0].axis[1].d2;
    }
    if (joy[0].num_buttons > 0)
        s.button1 = joy[0].button[0].b;
    if (joy[0].num_buttons > 1)
        s.button2 = joy[0].button[1].b;
    return s;
}

void InputSource::waitForTick()
{
    // The timeout only bounds a wait whose wake-up went astray.
    std::unique_lock<std::mutex> lock(wakeMutex);
    wakeSignal.wait_for(lock, std::chrono::milliseconds(100), loopHasWork);
}

std::int64_t InputSource::nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void InputSource::startCallbacks(bool watchSwitch)
{
    if (watchSwitch)
        set_display_switch_callback(SWITCH_IN, switchInCallback);
    set_close_button_callback(closeButtonCallback);
    keyboard_ucallback = recordKeyShifts;
}

void InputSource::stopCallbacks()
{
    remove_display_switch_callback(switchInCallback);
    set_close_button_callback(nullptr);
    if (keyboard_ucallback == recordKeyShifts)
        keyboard_ucallback = nullptr;
}

void setInputSource(InputSource* source) { currentInput = source ? source : &allegroInput; }
InputSource& inputSource() { return *currentInput; }

// ============================================================== Dialog

namespace {

bool wants(Widget* w, int message)
{
    return w && (w->sendMessage(message) & D_WANTFOCUS) != 0;
}

Dialog* asDialog(Widget* w)
{
    return (w && w->isDialog()) ? static_cast<Dialog*>(w) : nullptr;
}

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
        Skin* own = dialog->skin();
        if (globalSkin() && globalSkin() != own)
            globalSkin()->reload();
        if (own)
            own->reload();
        dialog->setSkin(own);
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
        moveFocus(focus_, widget);
    return true;
}

void Dialog::remove(Widget* widget)
{
    if (!contains(widget))
        return;
    if (running_)
        widget->sendMessage(MSG_END);
    if (focus_ == widget)
        focus_ = nullptr;
    if (mouseOver_ == widget)
        mouseOver_ = nullptr;
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

// ------------------------------------------------------------ focus and mouse-over

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

namespace {

void releaseFocusInside(Dialog* d)
{
    Widget* f = d->focus();
    if (!f)
        return;
    if (Dialog* inner = asDialog(f))
        releaseFocusInside(inner);
    Dialog::takeFocus(f);
}

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

// ------------------------------------------------------------ virtual operations

int Dialog::dragMode()
{
    if (isTopLevel() || !parent())
        return 0;
    return mouseOver_ != focus_ ? 1 : 0;
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

void Dialog::close()
{
    closeAgreed_ = msgClose();
    if (!closeAgreed_)
        return;
    if (!isTopLevel() && parent() && !testFlags(D_MODAL))
        parent()->handleEvent(this, MSG_CLOSE, 0, 0);
    else
        closeRequested_ = true;
}

Widget* Dialog::execute(Widget* focusWidget)
{
    // The top-level loop belongs to a dialog that is its own parent (one
    // that was popped up before still points to its old parent).
    if (!isTopLevel())
        setParent(this);
    if (focusWidget)
        giveFocus(focusWidget);
    closeRequested_ = false;
    sendMessage(MSG_START);
    while (!closeRequested_)
        msgIdle();
    Widget* result = focus_;
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
    if (x != 32768)
        setX(x);
    if (y != 32768)
        setY(y);
    // The focus is set inside this dialog only; the dialog itself takes the
    // focus of the root when it is added.
    if (focusWidget)
        giveFocusUpTo(focusWidget, this);
    closeRequested_ = false;
    const std::uint32_t saved = flags();
    setFlag(D_MODAL);
    clearFlag(D_RESIZABLE);
    Dialog* top = parent->root();
    // A popup opened from another popup: the outer one must get all the
    // input back when this one closes.
    Widget* outerModal = top->focus_;
    if (outerModal && !(outerModal->isDialog() && outerModal->testFlags(D_MODAL)))
        outerModal = nullptr;
    top->add(this);
    while (!closeRequested_)
        top->msgIdle();
    Widget* result = deepestFocus();
    top->remove(this);
    // The mouse may rest on a widget the popup covered: it is under the
    // mouse again at once and takes the next click, moved or not.
    if (Mouse* m = mouse()) {
        Widget* under = top->widgetAt(m->pos());
        if (under != top->mouseOver_)
            moveMouse(top->mouseOver_, under);
    }
    if (outerModal && !top->focus_ && top->contains(outerModal))
        top->focus_ = outerModal;
    setFlag(saved);
    return result;
}

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

// ------------------------------------------------------------ start and end

void Dialog::startTopLevel()
{
    logicTimer_ = TimerSlots::install(logicRate());

    const int mode = get_display_switch_mode();
    redrawEverythingRequested = false;
    windowCloseRequested = false;
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
        doubleClickState_ = 0;
        doubleClickCount_ = 0;
        // Counted in 64 bits: the delay comes straight from the settings file.
        const std::int64_t window = std::int64_t(theSettings.doubleClickDelay) * logicRate() / 1000;
        doubleClickWindow_ = static_cast<int>(std::clamp<std::int64_t>(window, INT_MIN, INT_MAX));
        if (Mouse* m = mouse()) {
            if (Widget* w = widgetAt(m->pos())) {
                giveMouse(w);
                if (!focus_)
                    giveFocus(w);
            }
        }
    }
    dragMode_ = 0;
}

void Dialog::msgEnd()
{
    focus_ = nullptr;
    mouseOver_ = nullptr;
    broadcast(MSG_END);
    Widget::msgEnd();
    running_ = false;
    if (isTopLevel())
        endTopLevel();
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

// ------------------------------------------------------------ the loop

void Dialog::msgIdle()
{
    notify(MSG_IDLE);
    if (!isTopLevel()) {
        broadcast(MSG_IDLE);
        return;
    }

    if (redrawEverythingRequested.exchange(false)) {
        if (theSettings.useVideoMemory) {
            Skin* own = skin();
            if (globalSkin() && globalSkin() != own)
                globalSkin()->reload();
            if (own)
                own->reload();
            setSkinDeep(own);
        }
        redraw();
    }

    bool frameDue = false;
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
            return;
    }
    TimerSlots::resetCatchUp();

    // A frame is drawn and shown only when it would differ from the last
    // one: an idle program leaves the screen (and the X server) alone.
    if ((frameDue || theSettings.unlimitedFrameRate) && somethingToDraw(this)) {
        drawingPass();
        if (ScreenUpdate* u = ScreenUpdate::current())
            u->show();
    }

    // Sleep until the next tick. Without any timer nothing would ever wake
    // the loop, and a close request must not wait for one.
    if (theSettings.yield && TimerSlots::anyInstalled()) {
        while (!loopHasWork())
            inputSource().waitForTick();
    }

    if (windowCloseRequested.exchange(false))
        close();

    broadcast(MSG_IDLE);
}

void Dialog::msgTick()
{
    Widget::msgTick();
    // Plain widgets keep their ticks to themselves; a dialog reports them.
    notify(MSG_TICK);
    if (isTopLevel()) {
        deliverSkinChanged();
        if (theSettings.showMouse)
            processMouse();
        if (theSettings.useKeyboard)
            processKeyboard();
        deliverShapes();
    }
    // Every dialog passes the tick on, so that widgets inside windows
    // animate too.
    broadcast(MSG_TICK);
}

// ------------------------------------------------------------ drawing

void Dialog::markOverlaps()
{
    for (std::size_t i = 0; i < children_.size(); ++i) {
        Widget* c = children_[i];
        if (c->hidden() || !c->dirty())
            continue;
        for (std::size_t j = i + 1; j < children_.size(); ++j)
            if (!children_[j]->dirty() && children_[j]->rect().intersects(c->rect()))
                children_[j]->redraw();
        if (isTopLevel())
            continue;
        // Widgets in front of this dialog, at every level up, that cover the child.
        Widget* level = this;
        Dialog* p = parent();
        while (p && level != p) {
            const auto& sib = p->children_;
            auto it = std::find(sib.begin(), sib.end(), level);
            if (it != sib.end())
                for (++it; it != sib.end(); ++it)
                    if (!(*it)->dirty() && (*it)->rect().intersects(c->rect()))
                        (*it)->redraw();
            level = p;
            p = p->parent();
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

// ------------------------------------------------------------ mouse

void Dialog::processMouse()
{
    Dialog* d = this;
    while (d->focus_ && d->focus_->isDialog() && d->focus_->testFlags(D_MODAL))
        d = static_cast<Dialog*>(d->focus_);

    Mouse* m = mouse();
    if (!m)
        return;
    const Point oldPos = m->pos();
    const int oldButtons = m->buttons();
    const int oldWheel = m->wheel();
    const InputSource::MouseState st = inputSource().pollMouse();
    m->update(st.pos, st.buttons, st.wheel);
    m->advance(1000 / logicRate());

    const int down = st.buttons & ~oldButtons;
    const int up = oldButtons & ~st.buttons;
    // When the mouse jumped and a button went down within the same tick,
    // the press belongs to where the mouse is now: the widget under it is
    // found first.
    bool moved = st.pos != oldPos;
    if (moved && down) {
        d->msgMouseMove(st.pos - oldPos);
        moved = false;
    }
    if (down & 1) {
        d->msgClick();
        d->msgLPress();
    }
    if (up & 1)
        d->msgLRelease();
    if (down & 2) {
        d->msgClick();
        d->msgRPress();
    }
    if (up & 2)
        d->msgRRelease();
    if (down & 4) {
        d->msgClick();
        d->msgMPress();
    }
    if (up & 4)
        d->msgMRelease();

    // Double click: the same button twice within the window.
    if (d->doubleClickState_ == 0) {
        if (down & 1)
            d->doubleClickState_ = 1;
        else if (down & 2)
            d->doubleClickState_ = 2;
        else if (down & 4)
            d->doubleClickState_ = 3;
    } else if (d->doubleClickState_ <= 3) {
        static const int bits[4] = {0, 1, 2, 4};
        if (down & bits[d->doubleClickState_]) {
            d->doubleClickState_ = 4;
        } else if (++d->doubleClickCount_ >= d->doubleClickWindow_) {
            d->doubleClickCount_ = 0;
            d->doubleClickState_ = 0;
        }
    } else {
        d->doubleClickCount_ = 0;
        d->doubleClickState_ = 0;
        d->msgDClick();
    }

    if (moved)
        d->msgMouseMove(st.pos - oldPos);
    if (st.wheel != oldWheel)
        d->msgWheel(st.wheel - oldWheel);
}

void Dialog::msgClick()
{
    Widget::msgClick();
    Widget* under = mouseOver_;
    if (under && under != focus_ && wants(under, MSG_WANTFOCUS))
        moveFocus(focus_, under);
    if (under)
        under->msgClick();
}

void Dialog::msgDClick()
{
    Widget::msgDClick();
    if (mouseOver_)
        mouseOver_->msgDClick();
}

void Dialog::msgWheel(int steps)
{
    Widget::msgWheel(steps);
    if (mouseOver_)
        mouseOver_->msgWheel(steps);
}

void Dialog::passPress(int message)
{
    Widget* under = mouseOver_;
    Widget* f = focus_;
    if (f && f != under && f->testFlags(D_PRESSED))
        f->sendMessage(message);
    if (under)
        under->sendMessage(message);
}

void Dialog::msgLPress()
{
    Widget::msgLPress();
    const Point at = mouse() ? mouse()->pos() : Point(0, 0);
    dragOffset_ = at - rect().pos();
    dragStartRect_ = rect();
    setFlag(D_PRESSED);
    passPress(MSG_LPRESS);
}

void Dialog::msgMPress()
{
    Widget::msgMPress();
    passPress(MSG_MPRESS);
}

void Dialog::msgRPress()
{
    Widget::msgRPress();
    passPress(MSG_RPRESS);
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

void Dialog::msgMouseMove(Point delta)
{
    Widget::msgMouseMove(delta);
    Mouse* m = mouse();
    const Point at = m ? m->pos() : Point(-10000, -10000);
    const bool leftHeld = m && (m->buttons() & 1);

    Widget* f = focus_;
    if (f && f != mouseOver_ && f->testFlags(D_PRESSED))
        f->msgMouseMove(delta);
    if (mouseOver_)
        mouseOver_->msgMouseMove(delta);

    // Read again: a child dialog that lost the mouse inside itself may have
    // released it here too.
    Widget* old = mouseOver_;
    Widget* now = widgetAt(at);
    if (now != old) {
        moveMouse(old, now);
        const int rule = skin() ? skin()->elements().focus : 1;
        f = focus_;
        if (f != now && !(f && f->testFlags(D_PRESSED))) {
            if (rule == 0) {
                if (now && wants(now, MSG_WANTFOCUS))
                    moveFocus(f, now);
                else
                    moveFocus(f, nullptr);
            } else if (rule == 1) {
                if (now && wants(now, MSG_WANTFOCUS))
                    moveFocus(f, now);
            }
        }
        if (now)
            now->msgMouseMove(delta);
    }

    if (leftHeld) {
        if (dragMode_ != 0 && testFlags(D_PRESSED))
            dragBy(at);
        return;
    }
    dragMode_ = dragMode();
    // The cursor follows the drag mode. Over a child dialog the child shows
    // its own (it has had the movement); this is decided last, so that a
    // dialog the mouse has just left does not keep its cursor.
    if (m && !(now && now->isDialog())) {
        static const int cursors[10] = {
            Skin::MOUSE_NORMAL, Skin::MOUSE_NORMAL,
            Skin::MOUSE_SIZE_DIAGONAL1, Skin::MOUSE_SIZE_DIAGONAL2, Skin::MOUSE_SIZE_DIAGONAL2,
            Skin::MOUSE_SIZE_DIAGONAL1, Skin::MOUSE_SIZE_VERTICAL, Skin::MOUSE_SIZE_VERTICAL,
            Skin::MOUSE_SIZE_HORIZONTAL, Skin::MOUSE_SIZE_HORIZONTAL,
        };
        if (dragMode_ >= 0 && dragMode_ <= 9)
            m->setCursor(skin(), cursors[dragMode_]);
    }
}

void Dialog::dragBy(Point at)
{
    Dialog* p = (parent() && !isTopLevel()) ? parent() : nullptr;
    const Point origin = p ? p->rect().pos() : Point(0, 0);
    if (dragMode_ == 1) {
        if (!testFlags(D_MOVABLE))
            return;
        const Point pos = at - dragOffset_;
        if (pos != rect().pos()) {
            placeExactly(pos.x - origin.x, pos.y - origin.y);
            root()->redraw();
        }
        return;
    }
    if (!testFlags(D_RESIZABLE) || dragMode_ < 2 || dragMode_ > 9)
        return;
    // How far the mouse has gone since the button went down.
    const Point grabbed = dragStartRect_.pos() + dragOffset_;
    const int dx = at.x - grabbed.x;
    const int dy = at.y - grabbed.y;
    const bool left = dragMode_ == 2 || dragMode_ == 4 || dragMode_ == 8;
    const bool right = dragMode_ == 3 || dragMode_ == 5 || dragMode_ == 9;
    const bool top = dragMode_ == 2 || dragMode_ == 3 || dragMode_ == 6;
    const bool bottom = dragMode_ == 4 || dragMode_ == 5 || dragMode_ == 7;
    Rect r = dragStartRect_;
    if (left) {
        const int nw = std::max(r.w - dx, minimumSize_.x);
        r.x = dragStartRect_.x2() - nw;
        r.w = nw;
    } else if (right) {
        r.w = std::max(r.w + dx, minimumSize_.x);
    }
    if (top) {
        const int nh = std::max(r.h - dy, minimumSize_.y);
        r.y = dragStartRect_.y2() - nh;
        r.h = nh;
    } else if (bottom) {
        r.h = std::max(r.h + dy, minimumSize_.y);
    }
    const bool resized = r.w != w() || r.h != h();
    if (resized)
        resize(r.w, r.h);
    if (r.x != x() || r.y != y())
        placeExactly(r.x - origin.x, r.y - origin.y);
    // What lay under the old frame has to be painted again.
    if (resized || r.x != dragStartRect_.x || r.y != dragStartRect_.y)
        root()->redraw();
}

// ------------------------------------------------------------ keyboard

void Dialog::joystickToKeys(int& character, int& scancode, bool& have)
{
    const InputSource::JoystickState js = inputSource().pollJoystick();
    if (!js.present)
        return;
    const bool any = js.left || js.right || js.up || js.down || js.button1 || js.button2;
    if (!joystickHeld_) {
        if (!any)
            return;
        joystickHeld_ = true;
        joystickReleasedAt_ = -1;
        character = 0;
        if (js.left)
            scancode = KEY_LEFT;
        else if (js.right)
            scancode = KEY_RIGHT;
        else if (js.up)
            scancode = KEY_UP;
        else if (js.down)
            scancode = KEY_DOWN;
        else {
            scancode = KEY_SPACE;
            character = ' ';
        }
        have = true;
        return;
    }
    // Held: released only after everything has been let go for one logic frame.
    if (any) {
        joystickReleasedAt_ = -1;
        return;
    }
    const std::int64_t now = inputSource().nowMs();
    if (joystickReleasedAt_ < 0)
        joystickReleasedAt_ = now;
    else if (now - joystickReleasedAt_ >= 1000 / logicRate()) {
        joystickHeld_ = false;
        joystickReleasedAt_ = -1;
    }
}

void Dialog::processKeyboard()
{
    Dialog* d = this;
    while (d->focus_ && d->focus_->isDialog() && d->focus_->testFlags(D_MODAL))
        d = static_cast<Dialog*>(d->focus_);

    int character = 0, scancode = 0;
    bool have = inputSource().readKey(character, scancode);
    // A key from the keyboard takes precedence; the joystick is read when
    // the keyboard gave nothing in this tick.
    if (theSettings.useJoystick && !have)
        joystickToKeys(character, scancode, have);
    if (have)
        d->dispatchKey(character, scancode);
}

bool Dialog::dispatchKey(int character, int scancode)
{
    const int code = (character > 255 ? 94 : character) + scancode * 256;

    if (Widget* f = focus_) {
        if (Dialog* inner = asDialog(f))
            if (inner->dispatchKey(character, scancode))
                return true;
        if (contains(f) && f->msgChar(code))
            return true;
        if (contains(f) && f->msgUChar(character))
            return true;
    }

    const std::vector<Widget*> list = children_;
    for (Widget* c : list) {
        if (c->matchesKey(character, scancode)) {
            c->msgKey();
            return true;
        }
    }

    for (Widget* c : list) {
        if (!contains(c) || c->hidden() || c->disabled())
            continue;
        if (c->msgXChar(code))
            return true;
    }

    if ((character == 10 || character == 13 || character == 32) && focus_) {
        focus_->msgKey();
        return true;
    }

    const bool navigates = isTopLevel() || isWindow();
    if (character == 27 && escapeCloses_ && navigates) {
        // close() asks msgClose; the focus chain goes only when it agreed.
        closeAgreed_ = false;
        close();
        if (closeAgreed_)
            releaseFocusInside(this);
        return true;
    }

    if (!navigates)
        return false;
    switch (scancode) {
    case KEY_TAB:
        return navigateFocus(KEY_TAB, inputSource().shiftHeld());
    case KEY_LEFT:
    case KEY_RIGHT:
    case KEY_UP:
    case KEY_DOWN:
        return navigateFocus(scancode, false);
    default:
        return false;
    }
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

} // namespace

bool Dialog::navigateFocus(int scancode, bool backward)
{
    std::vector<Widget*> candidates;
    collectCandidates(this, candidates);
    if (candidates.empty())
        return false;

    Widget* from = root()->deepestFocus();

    // Wrapping offsets: larger than any real difference of the keys.
    constexpr std::int64_t arrowWrap = 65536;
    constexpr std::int64_t tabWrap = std::int64_t(1) << 40;

    std::vector<std::pair<std::int64_t, Widget*>> keyed;
    keyed.reserve(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        Widget* c = candidates[i];
        std::int64_t key = static_cast<std::int64_t>(i);
        if (from) {
            if (scancode == KEY_TAB) {
                const std::int64_t a = static_cast<std::int64_t>(c->serial());
                const std::int64_t b = static_cast<std::int64_t>(from->serial());
                key = backward ? b - a : a - b;
                if (key < 0)
                    key += tabWrap;
            } else {
                const Point pc = centreOf(c), pf = centreOf(from);
                int along = 0, across = 0;
                switch (scancode) {
                case KEY_RIGHT: along = pc.x - pf.x; across = pc.y - pf.y; break;
                case KEY_LEFT: along = pf.x - pc.x; across = pc.y - pf.y; break;
                case KEY_DOWN: along = pc.y - pf.y; across = pc.x - pf.x; break;
                default: along = pf.y - pc.y; across = pc.x - pf.x; break;
                }
                key = along + 2 * static_cast<std::int64_t>(std::abs(across));
                if (along <= 0)
                    key += arrowWrap;
            }
        }
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
