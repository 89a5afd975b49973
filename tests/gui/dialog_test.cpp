// Tests of the dialog manager (gui/Dialog.cpp) under fake input and time:
// timers, clicks, focus, keys, execute and popup, dragging and redraws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <allegro.h>

#include "gui/Dialog.h"
#include "gui/InputSource.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"
#include "gui/TimerSlots.h"

#include "tests/support/dialog_access.h"
#include "tests/support/headless.h"

namespace {

const auto* const env = testkit::headlessAllegro({.colourDepth = 16});

// Input and time under the test's control. A wait for a tick lets the time
// run on to the next 20 ms (one logic frame at 50 per second), when the
// first timer slot gets a tick.
class FakeInput : public InputSource {
public:
    bool startTimer(int slot, int rate) override
    {
        started.emplace_back(slot, rate);
        return !refuseTimers;
    }
    void stopTimer(int slot) override { stopped.push_back(slot); }
    MouseState pollMouse() override
    {
        if (!mouseQueue.empty()) {
            mouse = mouseQueue.front();
            mouseQueue.pop_front();
        }
        return mouse;
    }
    bool readKey(int& character, int& scancode) override
    {
        if (keys.empty())
            return false;
        character = keys.front().first;
        scancode = keys.front().second;
        keys.pop_front();
        return true;
    }
    bool shiftHeld() override { return shift; }
    JoystickState pollJoystick() override { return joystick; }
    void waitForTick() override
    {
        time += 20 - time % 20;
        TimerSlots::raise(0);
        ++waits;
    }
    std::int64_t nowMs() override { return time; }
    void startCallbacks(bool) override {}
    void stopCallbacks() override {}

    void queueMouse(int x, int y, int buttons, int wheel = 0)
    {
        MouseState s;
        s.pos = Point(x, y);
        s.buttons = buttons;
        s.wheel = wheel;
        mouseQueue.push_back(s);
    }

    std::vector<std::pair<int, int>> started;
    std::vector<int> stopped;
    bool refuseTimers = false;
    std::deque<MouseState> mouseQueue;
    MouseState mouse;
    std::deque<std::pair<int, int>> keys;
    bool shift = false;
    JoystickState joystick;
    std::int64_t time = 0;
    int waits = 0;
};

// A widget that counts what reaches it.
class Probe : public Widget {
public:
    explicit Probe(int x = 0, int y = 0, int w = 40, int h = 20) { shape(x, y, w, h); }

    bool msgWantFocus() override
    {
        Widget::msgWantFocus();
        return takesFocus;
    }
    void msgClick() override
    {
        Widget::msgClick();
        ++clicks;
        if (activateOnClick)
            notify(MSG_ACTIVATE);
    }
    void msgDClick() override
    {
        Widget::msgDClick();
        ++doubleClicks;
    }
    void msgKey() override
    {
        Widget::msgKey();
        ++keyPresses;
        if (activateOnKey)
            notify(MSG_ACTIVATE);
    }
    bool msgChar(int c) override
    {
        Widget::msgChar(c);
        chars.push_back(c);
        return usesChars;
    }
    void msgTick() override
    {
        Widget::msgTick();
        ++ticks;
    }
    void msgTimer(int t) override
    {
        Widget::msgTimer(t);
        timers.push_back(t);
    }
    void msgDraw() override
    {
        ++draws;
        Widget::msgDraw();
    }
    void msgWheel(int steps) override
    {
        Widget::msgWheel(steps);
        wheel += steps;
    }

    bool takesFocus = true;
    bool activateOnClick = false;
    bool activateOnKey = false;
    bool usesChars = false;
    int clicks = 0, doubleClicks = 0, keyPresses = 0, ticks = 0, draws = 0, wheel = 0;
    std::vector<int> chars;
    std::vector<int> timers;
};

// A dialog that may refuse to close, close itself after some ticks, and
// report a fixed drag mode.
class TestDialog : public Dialog {
public:
    bool msgClose() override
    {
        ++closeQuestions;
        return allowClose;
    }
    void msgTick() override
    {
        ++ticks;
        Dialog::msgTick();
        if (onTick)
            onTick(ticks);
        if (closeAfterTicks > 0 && ticks >= closeAfterTicks)
            close();
    }
    DragMode dragMode() override { return fixedDragMode ? *fixedDragMode : Dialog::dragMode(); }
    void handleEvent(Widget* w, int message, int a1, int a2) override
    {
        events.emplace_back(w, message);
        Dialog::handleEvent(w, message, a1, a2);
    }

    bool allowClose = true;
    int closeAfterTicks = 0;
    std::optional<DragMode> fixedDragMode;
    int ticks = 0;
    int closeQuestions = 0;
    std::function<void(int)> onTick;
    std::vector<std::pair<Widget*, int>> events;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = theSettings;
        theSettings.screenUpdateMethod = 0;
        theSettings.logicFrameRate = 50;
        theSettings.doubleClickDelay = 200;
        theSettings.maxFrameSkip = 5;
        theSettings.showMouse = true;
        theSettings.useKeyboard = true;
        theSettings.useJoystick = false;
        theSettings.yield = true;
        theSettings.unlimitedFrameRate = false;
        screen = create_bitmap(640, 480);
        ASSERT_NE(screen, nullptr);
        clear_bitmap(screen);
        TimerSlots::clear();
        setInputSource(&input);
    }

    void TearDown() override
    {
        setInputSource(nullptr);
        TimerSlots::clear();
        ScreenUpdate::destroyInstance();
        destroy_bitmap(screen);
        screen = nullptr;
        theSettings = saved_;
    }

    // Runs logic ticks straight away, each polling the fake input once.
    static void ticks(Dialog& d, int n)
    {
        for (int i = 0; i < n; ++i)
            d.msgTick();
    }

    FakeInput input;
    Settings saved_;
};

} // namespace

TEST_F(DialogTest, NewDialogCoversTheScreenAndIsItsOwnParent)
{
    Dialog d;
    EXPECT_EQ(d.parent(), &d);
    EXPECT_EQ(d.root(), &d);
    EXPECT_TRUE(d.isDialog());
    EXPECT_EQ(d.rect(), Rect(0, 0, 640, 480));
    EXPECT_EQ(d.minimumSize(), Point(20, 8));
    EXPECT_TRUE(d.escapeCloses());
}

TEST_F(DialogTest, AddRemoveAndBringToFrontKeepTheChildList)
{
    Dialog d;
    Probe a, b, c;
    EXPECT_TRUE(d.add(&a));
    EXPECT_TRUE(d.add(&b));
    EXPECT_FALSE(d.add(&a)) << "a widget is added once";
    EXPECT_TRUE(d.add(&c));
    EXPECT_EQ(d.children(), (std::vector<Widget*>{&a, &b, &c}));
    EXPECT_EQ(a.parent(), &d);
    d.bringToFront(&a);
    EXPECT_EQ(d.children(), (std::vector<Widget*>{&b, &c, &a}));
    d.remove(&c);
    EXPECT_EQ(d.children(), (std::vector<Widget*>{&b, &a}));
    EXPECT_FALSE(d.contains(&c));
}

TEST_F(DialogTest, StartInstallsTheLogicTimerAndEndRemovesIt)
{
    Dialog d;
    d.sendMessage(MSG_START);
    EXPECT_TRUE(d.running());
    EXPECT_EQ(DialogTestAccess::logicTimer(d), 0);
    ASSERT_EQ(input.started.size(), 1u);
    EXPECT_EQ(input.started[0].second, 50);
    EXPECT_NE(mouse(), nullptr);
    EXPECT_NE(ScreenUpdate::current(), nullptr);
    // The double-click window in ticks: 200 ms at 50 ticks per second.
    EXPECT_EQ(DialogTestAccess::doubleClickWindow(d), 10);
    d.sendMessage(MSG_END);
    EXPECT_FALSE(d.running());
    EXPECT_EQ(DialogTestAccess::logicTimer(d), -2);
    EXPECT_EQ(input.stopped, std::vector<int>{0});
    EXPECT_EQ(mouse(), nullptr);
    EXPECT_EQ(ScreenUpdate::current(), nullptr);

    theSettings.logicFrameRate = 100;
    theSettings.doubleClickDelay = 300;
    d.sendMessage(MSG_START);
    EXPECT_EQ(DialogTestAccess::doubleClickWindow(d), 30);
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, TimerBacklogIsCaughtUpAtMostMaxFrameSkipTicks)
{
    theSettings.yield = false;
    TestDialog d;
    Probe p(10, 10);
    d.add(&p);
    d.sendMessage(MSG_START);
    const int slot = DialogTestAccess::logicTimer(d);
    ASSERT_EQ(slot, 0);
    for (int i = 0; i < 12; ++i)
        TimerSlots::raise(slot);

    d.msgIdle();
    EXPECT_EQ(d.ticks, 5);
    EXPECT_EQ(p.ticks, 5);
    EXPECT_EQ(p.draws, 1) << "one frame after the ticks";
    EXPECT_EQ(TimerSlots::pending(slot), 0) << "the other seven are dropped";

    d.msgIdle();
    EXPECT_EQ(d.ticks, 5);
    EXPECT_EQ(p.draws, 1) << "no tick, no frame";

    // Three pending ticks are all run (and a change is shown after them).
    for (int i = 0; i < 3; ++i)
        TimerSlots::raise(slot);
    p.redraw();
    d.msgIdle();
    EXPECT_EQ(d.ticks, 8);
    EXPECT_EQ(p.draws, 2);
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, OtherTimersReachWidgetsAsTimerMessages)
{
    theSettings.yield = false;
    Dialog d;
    Probe p;
    d.add(&p);
    d.sendMessage(MSG_START);
    const int second = TimerSlots::install(10);
    ASSERT_EQ(second, 1);
    TimerSlots::raise(second);
    TimerSlots::raise(second);
    d.msgIdle();
    EXPECT_EQ(p.timers, (std::vector<int>{1, 1}));
    EXPECT_EQ(p.draws, 0) << "only logic ticks make a frame due";
    TimerSlots::remove(second);
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, NoFreeTimerSlotMeansNoTicksAndNoHang)
{
    for (int i = 0; i < TimerSlots::count; ++i)
        ASSERT_EQ(TimerSlots::install(50), i);
    EXPECT_EQ(TimerSlots::install(50), -1);
    TimerSlots::clear();

    input.refuseTimers = true;
    Dialog d;
    d.sendMessage(MSG_START);
    EXPECT_EQ(DialogTestAccess::logicTimer(d), -1);
    d.msgIdle(); // must return although yield is on and no timer exists
    EXPECT_EQ(input.waits, 0);
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, IdleLoopSleepsUntilTheNextTick)
{
    TestDialog d;
    d.sendMessage(MSG_START);
    d.msgIdle(); // nothing pending: sleeps until the fake clock ticks
    EXPECT_EQ(input.waits, 1);
    EXPECT_EQ(TimerSlots::pending(0), 1);
    d.msgIdle(); // takes that tick, then sleeps again
    EXPECT_EQ(d.ticks, 1);
    EXPECT_EQ(input.waits, 2) << "woken by the tick, not looking again every millisecond";
    d.sendMessage(MSG_END);
}

// The double-click rules themselves are tested in clicktracker_test.cpp.
TEST_F(DialogTest, DoubleClickReachesTheWidgetUnderTheMouseOnTheTickAfterTheSecondPress)
{
    Dialog d;
    Probe p(10, 10, 50, 20);
    d.add(&p);
    input.mouse.pos = Point(20, 15);
    d.sendMessage(MSG_START);
    ASSERT_EQ(d.mouseOver(), &p);

    input.queueMouse(20, 15, 1); // first press
    input.queueMouse(20, 15, 0);
    input.queueMouse(20, 15, 0);
    input.queueMouse(20, 15, 1); // second press, 3 ticks later
    ticks(d, 4);
    EXPECT_EQ(p.clicks, 2);
    EXPECT_EQ(p.doubleClicks, 0);
    ticks(d, 1);
    EXPECT_EQ(p.doubleClicks, 1);

    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, ClickMovesFocusAndWheelGoesToTheWidgetUnderTheMouse)
{
    Dialog d;
    Probe a(10, 10), b(100, 10);
    Probe noFocus(200, 10);
    noFocus.takesFocus = false;
    d.add(&a);
    d.add(&b);
    d.add(&noFocus);
    input.mouse.pos = Point(20, 15);
    d.sendMessage(MSG_START);
    EXPECT_EQ(d.focus(), &a) << "the widget under the mouse at start";

    input.queueMouse(110, 15, 0);
    input.queueMouse(110, 15, 1);
    input.queueMouse(110, 15, 0, 3);
    ticks(d, 3);
    EXPECT_EQ(d.focus(), &b);
    EXPECT_TRUE(b.hasFocus());
    EXPECT_FALSE(a.hasFocus());
    EXPECT_EQ(b.clicks, 1);
    EXPECT_EQ(b.wheel, 3);

    // A widget that takes no focus is clicked but the focus stays.
    input.queueMouse(210, 15, 0);
    input.queueMouse(210, 15, 1);
    ticks(d, 2);
    EXPECT_EQ(noFocus.clicks, 1);
    EXPECT_EQ(d.focus(), &b);
    EXPECT_EQ(d.mouseOver(), &noFocus);
    EXPECT_TRUE(noFocus.hasMouse());
    EXPECT_FALSE(b.hasMouse());
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, HiddenAndDisabledWidgetsAreNotUnderTheMouse)
{
    Dialog d;
    Probe back(0, 0, 100, 100), front(0, 0, 100, 100);
    d.add(&back);
    d.add(&front);
    EXPECT_EQ(d.widgetAt(Point(50, 50)), &front);
    EXPECT_EQ(d.widgetAt(Point(100, 100)), &front) << "edges included";
    EXPECT_EQ(d.widgetAt(Point(101, 100)), nullptr);
    front.disable();
    EXPECT_EQ(d.widgetAt(Point(50, 50)), &back);
    back.hide();
    EXPECT_EQ(d.widgetAt(Point(50, 50)), nullptr);
}

namespace {

// Five widgets:   A  B  C
//                 D  E
// created in the order C, A, B, E, D (the Tab order).
struct Grid {
    Grid()
        : c(190, 10), a(10, 10), b(100, 10), e(100, 100), d(10, 100)
    {
        for (Probe* p : {&a, &b, &c, &d, &e})
            dialog.add(p);
    }
    TestDialog dialog;
    Probe c, a, b, e, d;
};

} // namespace

TEST_F(DialogTest, ArrowKeysMoveTheFocusToTheNearestWidgetInThatDirection)
{
    Grid g;
    g.dialog.sendMessage(MSG_START);
    Dialog::giveFocus(&g.b);
    ASSERT_EQ(g.dialog.focus(), &g.b);

    EXPECT_TRUE(g.dialog.dispatchKey(0, KEY_RIGHT));
    EXPECT_EQ(g.dialog.focus(), &g.c);
    EXPECT_FALSE(g.b.hasFocus());
    // Nothing lies right of C: the search wraps around to the far left.
    g.dialog.dispatchKey(0, KEY_RIGHT);
    EXPECT_EQ(g.dialog.focus(), &g.a);
    g.dialog.dispatchKey(0, KEY_DOWN);
    EXPECT_EQ(g.dialog.focus(), &g.d);
    g.dialog.dispatchKey(0, KEY_RIGHT);
    EXPECT_EQ(g.dialog.focus(), &g.e);
    g.dialog.dispatchKey(0, KEY_UP);
    EXPECT_EQ(g.dialog.focus(), &g.b);
    g.dialog.dispatchKey(0, KEY_LEFT);
    EXPECT_EQ(g.dialog.focus(), &g.a);

    // Widgets that cannot take the focus are passed over.
    g.b.disable();
    g.dialog.dispatchKey(0, KEY_RIGHT);
    EXPECT_EQ(g.dialog.focus(), &g.c);
    g.dialog.sendMessage(MSG_END);
}

TEST_F(DialogTest, TabFollowsCreationOrderAndWrapsAround)
{
    Grid g;
    g.dialog.sendMessage(MSG_START);
    Dialog::giveFocus(&g.a);
    g.dialog.dispatchKey(9, KEY_TAB);
    EXPECT_EQ(g.dialog.focus(), &g.b);
    g.dialog.dispatchKey(9, KEY_TAB);
    EXPECT_EQ(g.dialog.focus(), &g.e);
    g.dialog.dispatchKey(9, KEY_TAB);
    EXPECT_EQ(g.dialog.focus(), &g.d);
    g.dialog.dispatchKey(9, KEY_TAB);
    EXPECT_EQ(g.dialog.focus(), &g.c) << "after the last comes the first";

    input.shift = true;
    g.dialog.dispatchKey(9, KEY_TAB);
    EXPECT_EQ(g.dialog.focus(), &g.d) << "Shift+Tab from the first goes to the last";
    g.dialog.dispatchKey(9, KEY_TAB);
    EXPECT_EQ(g.dialog.focus(), &g.e);

    input.shift = false;
    g.e.takesFocus = false; // passed over, but does not stop the walk
    Dialog::moveFocus(g.dialog.focus(), &g.b);
    g.dialog.dispatchKey(9, KEY_TAB);
    EXPECT_EQ(g.dialog.focus(), &g.d);
    g.dialog.sendMessage(MSG_END);
}

TEST_F(DialogTest, KeysFromTheKeyboardReachTheFocusedWidgetFirst)
{
    Grid g;
    g.a.usesChars = true;
    g.b.setKey('q');
    g.dialog.sendMessage(MSG_START);
    Dialog::giveFocus(&g.a);

    input.keys.push_back({'x', KEY_X});
    g.dialog.msgTick();
    ASSERT_EQ(g.a.chars.size(), 1u);
    EXPECT_EQ(g.a.chars[0], 'x' + KEY_X * 256);

    // Not used by the focused widget: the shortcut (any case) is next.
    g.a.usesChars = false;
    input.keys.push_back({'Q', KEY_Q});
    g.dialog.msgTick();
    EXPECT_EQ(g.b.keyPresses, 1);
    EXPECT_EQ(g.a.keyPresses, 0);

    // Enter and Space press the focused widget.
    input.keys.push_back({13, KEY_ENTER});
    input.keys.push_back({' ', KEY_SPACE});
    ticks(g.dialog, 2);
    EXPECT_EQ(g.a.keyPresses, 2);
    g.dialog.sendMessage(MSG_END);
}

TEST_F(DialogTest, EscapeClosesOnlyWhenTheDialogAgrees)
{
    Grid g;
    g.dialog.sendMessage(MSG_START);
    Dialog::giveFocus(&g.a);
    g.dialog.allowClose = false;
    g.dialog.dispatchKey(27, KEY_ESC);
    EXPECT_FALSE(g.dialog.closeRequested());
    EXPECT_EQ(g.dialog.focus(), &g.a) << "nothing changes";

    g.dialog.setEscapeCloses(false);
    g.dialog.allowClose = true;
    g.dialog.dispatchKey(27, KEY_ESC);
    EXPECT_FALSE(g.dialog.closeRequested());

    g.dialog.setEscapeCloses(true);
    g.dialog.closeQuestions = 0;
    g.dialog.dispatchKey(27, KEY_ESC);
    EXPECT_TRUE(g.dialog.closeRequested());
    EXPECT_EQ(g.dialog.closeQuestions, 1) << "a dialog is asked once whether it may close";
    EXPECT_EQ(g.dialog.focus(), nullptr) << "the focus chain is released";
    EXPECT_FALSE(g.a.hasFocus());
    g.dialog.sendMessage(MSG_END);
}

TEST_F(DialogTest, ExecuteRunsUntilAnExitWidgetIsActivated)
{
    TestDialog d;
    Probe ok(10, 10), other(100, 10);
    ok.setFlag(D_EXIT);
    ok.activateOnKey = true;
    d.add(&other);
    d.add(&ok);
    input.keys.push_back({'a', KEY_A});
    input.keys.push_back({13, KEY_ENTER});
    Widget* result = d.execute(&ok);
    EXPECT_EQ(result, &ok);
    EXPECT_FALSE(d.running());
    EXPECT_GE(d.ticks, 2);
    EXPECT_GE(ok.draws, 1) << "frames were drawn while it ran";
    EXPECT_EQ(mouse(), nullptr);
}

TEST_F(DialogTest, PopupReturnsTheDeepestFocusedWidget)
{
    TestDialog main;
    Probe behind(0, 0, 640, 480);
    main.add(&behind);
    main.sendMessage(MSG_START);

    TestDialog box;
    box.resize(200, 100);
    Probe button(10, 10, 60, 20);
    button.setFlag(D_EXIT);
    button.activateOnClick = true;
    box.add(&button);

    input.queueMouse(120, 115, 0); // onto the button at 110,110
    input.queueMouse(120, 115, 1);
    input.queueMouse(120, 115, 0);
    Widget* result = box.popup(&main, 100, 100);
    EXPECT_EQ(result, &button);
    EXPECT_EQ(box.x(), 100);
    EXPECT_EQ(button.x(), 110);
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(behind.clicks, 0) << "the popup has all the input";
    EXPECT_FALSE(main.contains(&box));
    EXPECT_TRUE(box.testFlags(D_MODAL));
    EXPECT_TRUE(main.running());
    EXPECT_GE(main.ticks, 2) << "the GUI underneath went on ticking";
    main.sendMessage(MSG_END);
}

TEST_F(DialogTest, PopupKeepsACoordinateGivenAs32768AndRestoresResizable)
{
    TestDialog main;
    main.sendMessage(MSG_START);
    TestDialog box;
    box.shape(40, 50, 100, 60);
    box.setFlag(D_RESIZABLE);
    box.closeAfterTicks = 2;
    box.popup(&main, 32768, 70);
    EXPECT_EQ(box.x(), 40);
    EXPECT_EQ(box.y(), 70);
    EXPECT_TRUE(box.testFlags(D_RESIZABLE));
    main.sendMessage(MSG_END);
}

TEST_F(DialogTest, PopupWithoutARunningGuiRunsOnItsOwnAndComesBack)
{
    TestDialog box;
    box.resize(100, 60);
    Probe field(5, 5);
    box.add(&field);
    box.closeAfterTicks = 3;
    Widget* result = box.popup(nullptr, 10, 20, &field);
    EXPECT_EQ(result, &field);
    EXPECT_EQ(box.parent(), &box);
    EXPECT_FALSE(box.running());
    EXPECT_EQ(ScreenUpdate::current(), nullptr);
}

TEST_F(DialogTest, DraggingMovesAMovableDialogWithTheGrabbedPoint)
{
    TestDialog main;
    TestDialog panel;
    panel.shape(100, 100, 100, 60);
    panel.setFlag(D_MOVABLE);
    panel.fixedDragMode = DragMode::Move;
    Probe inside(10, 10);
    panel.add(&inside);
    main.add(&panel);
    input.mouse.pos = Point(0, 400);
    main.sendMessage(MSG_START);

    input.queueMouse(110, 105, 0);
    input.queueMouse(110, 105, 1);
    input.queueMouse(150, 125, 1);
    input.queueMouse(160, 135, 1);
    input.queueMouse(160, 135, 0);
    ticks(main, 5);
    EXPECT_EQ(panel.rect(), Rect(150, 130, 100, 60));
    EXPECT_EQ(inside.rect().pos(), Point(160, 140)) << "children follow after the tick";
    EXPECT_FALSE(panel.testFlags(D_PRESSED));

    // Without D_MOVABLE nothing moves.
    panel.clearFlag(D_MOVABLE);
    input.queueMouse(155, 135, 0);
    input.queueMouse(155, 135, 1);
    input.queueMouse(185, 165, 1);
    input.queueMouse(185, 165, 0);
    ticks(main, 4);
    EXPECT_EQ(panel.rect().pos(), Point(150, 130));
    main.sendMessage(MSG_END);
}

TEST_F(DialogTest, DraggingACornerResizesDownToTheMinimumSize)
{
    TestDialog main;
    TestDialog panel;
    panel.shape(100, 100, 100, 60);
    panel.setFlag(D_RESIZABLE);
    panel.fixedDragMode = DragMode::TopLeft;
    main.add(&panel);
    input.mouse.pos = Point(0, 400);
    main.sendMessage(MSG_START);

    input.queueMouse(101, 101, 0);
    input.queueMouse(101, 101, 1);
    input.queueMouse(81, 91, 1); // 20 left, 10 up: grows
    ticks(main, 3);
    EXPECT_EQ(panel.rect(), Rect(80, 90, 120, 70));
    EXPECT_EQ(panel.x2(), 200) << "the opposite corner stays";

    input.queueMouse(400, 400, 1); // far past the other corner
    input.queueMouse(400, 400, 0);
    ticks(main, 2);
    EXPECT_EQ(panel.rect(), Rect(200 - 20, 160 - 8, 20, 8));
    main.sendMessage(MSG_END);
}

TEST_F(DialogTest, OnlyDirtyWidgetsAndThoseInFrontOfThemAreRedrawn)
{
    theSettings.screenUpdateMethod = 3;
    theSettings.yield = false;
    TestDialog d;
    Probe a(0, 0, 50, 50), b(40, 40, 50, 50), far(300, 300, 20, 20);
    d.add(&a);
    d.add(&b);
    d.add(&far);
    d.sendMessage(MSG_START);
    TimerSlots::raise(0);
    d.msgIdle();
    ASSERT_EQ(a.draws, 1);
    ASSERT_EQ(b.draws, 1);
    ASSERT_EQ(far.draws, 1);

    a.redraw();
    TimerSlots::raise(0);
    d.msgIdle();
    EXPECT_EQ(a.draws, 2);
    EXPECT_EQ(b.draws, 2) << "b overlaps a from the front";
    EXPECT_EQ(far.draws, 1);

    b.redraw();
    TimerSlots::raise(0);
    d.msgIdle();
    EXPECT_EQ(a.draws, 2) << "what lies behind is not drawn again";
    EXPECT_EQ(b.draws, 3);
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, PressThatArrivesWithAJumpGoesToTheWidgetUnderTheNewPosition)
{
    Dialog d;
    Probe a(10, 10), b(100, 10);
    d.add(&a);
    d.add(&b);
    input.mouse.pos = Point(20, 15);
    d.sendMessage(MSG_START);
    input.queueMouse(110, 15, 1); // moved and pressed within one tick
    ticks(d, 1);
    EXPECT_EQ(b.clicks, 1);
    EXPECT_EQ(a.clicks, 0);
    EXPECT_EQ(d.focus(), &b);
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, LeavingAWidgetInsideAChildDialogKeepsTheMouseOnTheDialog)
{
    TestDialog main;
    TestDialog panel;
    panel.shape(100, 100, 200, 100);
    Probe inner(10, 10, 40, 20);
    panel.add(&inner);
    main.add(&panel);
    input.mouse.pos = Point(0, 400);
    main.sendMessage(MSG_START);

    input.queueMouse(120, 115, 0); // onto the inner widget
    input.queueMouse(250, 180, 0); // onto the panel's empty part
    ticks(main, 1);
    EXPECT_EQ(main.mouseOver(), &panel);
    EXPECT_EQ(panel.mouseOver(), &inner);
    ticks(main, 1);
    EXPECT_EQ(panel.mouseOver(), nullptr);
    EXPECT_FALSE(inner.hasMouse());
    EXPECT_EQ(main.mouseOver(), &panel);
    EXPECT_TRUE(panel.hasMouse());

    // A press there reaches the panel.
    input.queueMouse(250, 180, 1);
    ticks(main, 1);
    EXPECT_TRUE(panel.testFlags(D_PRESSED));
    main.sendMessage(MSG_END);
}

// ------------------------------------------------------------ the mouse

#include "gui/Bitmap.h"
#include "gui/Skin.h"

namespace {

// A cursor of `frames` 8x8 frames side by side, frame i filled with colour
// (40 * (i + 1), 0, 0), focus point (2, 3).
void makeCursor(Cursor& c, int frames)
{
    ASSERT_TRUE(c.bitmap().create(8 * frames, 8));
    for (int i = 0; i < frames; ++i)
        rectfill(c.bitmap().bitmap(), 8 * i, 0, 8 * i + 7, 7, makecol(40 * (i + 1), 0, 0));
    c.frames = frames;
    c.frameDuration = 20;
    c.focusX = 2;
    c.focusY = 3;
}

} // namespace

TEST_F(DialogTest, CursorFramesAdvanceByTheirDuration)
{
    Cursor c;
    makeCursor(c, 3);
    Mouse m;
    m.setCursor(&c);
    EXPECT_EQ(m.frame(), 0);
    m.advance(19);
    EXPECT_EQ(m.frame(), 0);
    m.advance(1);
    EXPECT_EQ(m.frame(), 1);
    m.advance(40);
    EXPECT_EQ(m.frame(), 0) << "after the last frame comes the first";
    m.advance(50);
    EXPECT_EQ(m.frame(), 2);

    // A cursor whose whole cycle is longer than an int can count still
    // steps through its frames one duration at a time.
    Cursor slow;
    makeCursor(slow, 3);
    slow.frameDuration = 1 << 30;
    m.setCursor(&slow);
    for (int i = 0; i < 4; ++i)
        m.advance(1 << 28);
    EXPECT_EQ(m.frame(), 1);
}

TEST_F(DialogTest, CursorIsDrawnAtItsFocusPointAndHidingRestoresTheTarget)
{
    theSettings.mouseShadow = false;
    DoubleBufferUpdate update;
    ASSERT_FALSE(update.create().isFatal());
    BITMAP* t = update.target();
    const int green = makecol(0, 200, 0);
    clear_to_color(t, green);

    Cursor c;
    makeCursor(c, 2);
    Mouse m;
    m.connect(&update);
    m.setCursor(&c);
    m.update(Point(50, 60), 0, 0);
    m.draw();
    EXPECT_TRUE(m.visible());
    EXPECT_EQ(m.area(), Rect(48, 57, 8, 8));
    EXPECT_EQ(getpixel(t, 48, 57), makecol(40, 0, 0));
    EXPECT_EQ(getpixel(t, 55, 64), makecol(40, 0, 0));
    EXPECT_EQ(getpixel(t, 56, 64), green);

    m.advance(20);
    m.update(Point(100, 100), 0, 0);
    m.hide();
    EXPECT_EQ(getpixel(t, 48, 57), green) << "the saved picture goes back";
    m.draw();
    EXPECT_EQ(getpixel(t, 98, 97), makecol(80, 0, 0)) << "the second frame";
    EXPECT_EQ(getpixel(t, 50, 60), green);

    // Partly off the target: only the visible part is covered.
    m.hide();
    m.update(Point(1, 1), 0, 0);
    m.draw();
    EXPECT_EQ(m.area(), Rect(0, 0, 7, 6));
    m.hide();
    EXPECT_EQ(getpixel(t, 0, 0), green);
}

TEST_F(DialogTest, CursorShadowIsABlurredCopyOfTheShape)
{
    BITMAP* frame = create_bitmap(10, 10);
    clear_to_color(frame, bitmap_mask_color(frame));
    rectfill(frame, 3, 3, 6, 6, makecol(255, 255, 255)); // a 4x4 square

    const Mouse::Shadow sharp = Mouse::makeShadow(frame, 0);
    ASSERT_EQ(sharp.w, 10);
    ASSERT_EQ(sharp.h, 10);
    EXPECT_EQ(sharp.alpha[3 * 10 + 3], 255);
    EXPECT_EQ(sharp.alpha[2 * 10 + 3], 0);

    const int r = 2;
    const Mouse::Shadow soft = Mouse::makeShadow(frame, r);
    ASSERT_EQ(soft.w, 10 + 2 * r);
    ASSERT_EQ(soft.h, 10 + 2 * r);
    auto at = [&](int x, int y) { return static_cast<int>(soft.alpha[(y + r) * soft.w + x + r]); };
    // Softened: the middle is no longer solid, the edge fades out beyond
    // the shape, and far away there is nothing.
    EXPECT_LT(at(4, 4), 255);
    EXPECT_GT(at(4, 4), at(2, 4));
    EXPECT_GT(at(2, 4), 0);
    EXPECT_GT(at(1, 4), 0);
    EXPECT_EQ(at(0, 4), 0);
    EXPECT_EQ(at(-2, -2), 0);
    // Symmetric like the square.
    EXPECT_EQ(at(2, 4), at(7, 4));
    EXPECT_EQ(at(4, 2), at(4, 7));
    // The blur keeps the amount of shadow (up to rounding).
    int sum = 0;
    for (auto a : soft.alpha)
        sum += a;
    EXPECT_NEAR(sum, 16 * 255, 16 * 10);

    // A skin asking for an absurd blur gets a bounded picture, not an
    // overflowing size or an allocation that cannot be met.
    const Mouse::Shadow huge = Mouse::makeShadow(frame, 1 << 30);
    EXPECT_EQ(huge.w, 10 + 2 * Mouse::maxShadowRadius);
    EXPECT_EQ(huge.h, 10 + 2 * Mouse::maxShadowRadius);
    EXPECT_EQ(huge.alpha.size(), static_cast<std::size_t>(huge.w) * huge.h);
    destroy_bitmap(frame);
}

TEST_F(DialogTest, CursorShadowDarkensTheTargetNextToTheCursor)
{
    setGlobalSkin(new Skin("default"));
    ASSERT_NE(globalSkin(), nullptr);
    globalSkin()->elements().mouseShadowColor = makecol(0, 0, 0);
    globalSkin()->elements().mouseShadowSize = 1;
    globalSkin()->elements().mouseShadowOffsetX = 4;
    globalSkin()->elements().mouseShadowOffsetY = 4;
    theSettings.mouseShadow = true;

    DoubleBufferUpdate update;
    ASSERT_FALSE(update.create().isFatal());
    BITMAP* t = update.target();
    const int white = makecol(255, 255, 255);
    clear_to_color(t, white);
    Cursor c;
    makeCursor(c, 1);
    Mouse m;
    m.connect(&update);
    m.setCursor(&c);
    m.update(Point(50, 50), 0, 0); // frame at 48..55, 47..54
    m.draw();
    const int under = getpixel(t, 58, 56); // in the shadow, off the frame
    EXPECT_LT(getr(under), 255);
    EXPECT_GT(getr(under), 0) << "translucent, not solid";
    EXPECT_EQ(getpixel(t, 50, 50), makecol(40, 0, 0)) << "the frame lies over its shadow";
    EXPECT_EQ(getpixel(t, 70, 70), white);
    EXPECT_TRUE(m.area().contains(Point(59, 58)));
    m.hide();
    EXPECT_EQ(getpixel(t, 58, 56), white);
    setGlobalSkin(nullptr);
}

TEST_F(DialogTest, FrameIsDrawnOnlyWhenAWidgetOrTheCursorChanged)
{
    theSettings.yield = false;
    theSettings.mouseShadow = false;
    setGlobalSkin(new Skin("default")); // its cursors
    TestDialog d;
    Probe p(10, 10);
    d.add(&p);
    input.mouse.pos = Point(300, 300);
    d.sendMessage(MSG_START);
    ASSERT_TRUE(ScreenUpdate::current()->redrawsEverything());
    auto frame = [&] {
        TimerSlots::raise(0);
        d.msgIdle();
    };
    frame();
    ASSERT_EQ(p.draws, 1);
    for (int i = 0; i < 5; ++i)
        frame();
    EXPECT_EQ(p.draws, 1) << "nothing changed: no frame";
    input.mouse.pos = Point(305, 300);
    frame();
    EXPECT_EQ(p.draws, 2) << "the cursor moved";
    p.redraw();
    frame();
    EXPECT_EQ(p.draws, 3) << "a widget is dirty";
    frame();
    EXPECT_EQ(p.draws, 3);
    d.sendMessage(MSG_END);
    setGlobalSkin(nullptr);
}

// ------------------------------------------------------------ requests and joystick

TEST_F(DialogTest, WindowCloseButtonClosesOnTheNextPass)
{
    theSettings.yield = false;
    TestDialog d;
    d.sendMessage(MSG_START);
    requestWindowClose();
    d.msgIdle();
    EXPECT_TRUE(d.closeRequested());

    TestDialog stubborn;
    stubborn.allowClose = false;
    d.sendMessage(MSG_END);
    stubborn.sendMessage(MSG_START);
    requestWindowClose();
    stubborn.msgIdle();
    EXPECT_FALSE(stubborn.closeRequested());
    stubborn.sendMessage(MSG_END);
}

TEST_F(DialogTest, DisplaySwitchRedrawsEverything)
{
    theSettings.screenUpdateMethod = 3;
    theSettings.yield = false;
    TestDialog d;
    Probe a(0, 0), b(100, 100);
    d.add(&a);
    d.add(&b);
    d.sendMessage(MSG_START);
    TimerSlots::raise(0);
    d.msgIdle();
    ASSERT_EQ(a.draws, 1);
    requestRedrawEverything();
    TimerSlots::raise(0);
    d.msgIdle();
    EXPECT_EQ(a.draws, 2);
    EXPECT_EQ(b.draws, 2);
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, JoystickGivesOneArrowKeyPerPush)
{
    theSettings.useJoystick = true;
    Grid g;
    g.dialog.sendMessage(MSG_START);
    Dialog::giveFocus(&g.a);
    input.joystick.present = true;
    input.joystick.right = true;
    ticks(g.dialog, 3); // held: one step only
    EXPECT_EQ(g.dialog.focus(), &g.b);
    EXPECT_TRUE(DialogTestAccess::joystickHeld(g.dialog));

    input.joystick.right = false;
    g.dialog.msgTick();
    EXPECT_TRUE(DialogTestAccess::joystickHeld(g.dialog)) << "released only after one logic frame";
    input.time += 20;
    g.dialog.msgTick();
    EXPECT_FALSE(DialogTestAccess::joystickHeld(g.dialog));

    input.joystick.button1 = true; // a button is Space: presses the focused widget
    g.dialog.msgTick();
    EXPECT_EQ(g.b.keyPresses, 1);

    // A key from the keyboard in the same tick wins.
    input.joystick.button1 = false;
    input.time += 40;
    ticks(g.dialog, 2);
    input.joystick.down = true;
    input.keys.push_back({0, KEY_LEFT});
    g.dialog.msgTick();
    EXPECT_EQ(g.dialog.focus(), &g.a);
    g.dialog.sendMessage(MSG_END);
}

TEST_F(DialogTest, WidgetAddedToARunningDialogIsStartedAndModalOnesTakeTheFocus)
{
    TestDialog d;
    Probe a(0, 0);
    d.add(&a);
    TestDialog panel;
    panel.shape(100, 120, 200, 100);
    d.add(&panel);
    d.sendMessage(MSG_START);
    Dialog::giveFocus(&a);

    Probe late(10, 20);
    panel.add(&late);
    EXPECT_EQ(late.rect().pos(), Point(110, 140)) << "started: position taken from the parent";
    EXPECT_TRUE(late.dirty());

    TestDialog modal;
    modal.resize(100, 50);
    modal.setFlag(D_MODAL);
    d.add(&modal);
    EXPECT_EQ(d.focus(), &modal);
    EXPECT_FALSE(a.hasFocus());
    d.remove(&modal);
    EXPECT_EQ(d.focus(), nullptr);
    EXPECT_FALSE(modal.running());
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, DialogsReportTheirIdlePassesAndTicksButPlainWidgetsDoNot)
{
    theSettings.yield = false;
    TestDialog d;
    Dialog inner;
    Probe plain(0, 0), insideInner(0, 0);
    inner.shape(100, 100, 200, 100);
    inner.add(&insideInner);
    d.add(&plain);
    d.add(&inner);
    d.sendMessage(MSG_START);
    auto count = [&d](Widget* w, int message) {
        return std::count(d.events.begin(), d.events.end(), std::make_pair(w, message));
    };

    d.events.clear();
    TimerSlots::raise(0);
    d.msgIdle();
    EXPECT_EQ(count(&d, MSG_TICK), 1) << "the top-level dialog hears its own tick";
    EXPECT_EQ(count(&inner, MSG_TICK), 1) << "a child dialog reports its tick to its parent";
    EXPECT_EQ(count(&d, MSG_IDLE), 1);
    EXPECT_EQ(count(&inner, MSG_IDLE), 1);
    EXPECT_EQ(plain.ticks, 1);
    EXPECT_EQ(insideInner.ticks, 1);
    EXPECT_EQ(count(&plain, MSG_TICK) + count(&insideInner, MSG_TICK), 0);
    EXPECT_EQ(count(&plain, MSG_IDLE) + count(&insideInner, MSG_IDLE), 0);
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, BroadcastSkipsHiddenWidgetsExceptForStartEndAndSkin)
{
    theSettings.yield = false;
    TestDialog d;
    Probe shown(0, 0), hiddenOne(50, 0);
    hiddenOne.hide();
    d.add(&shown);
    d.add(&hiddenOne);
    d.sendMessage(MSG_START);
    EXPECT_EQ(hiddenOne.x(), 50);
    TimerSlots::raise(0);
    d.msgIdle();
    EXPECT_EQ(shown.ticks, 1);
    EXPECT_EQ(hiddenOne.ticks, 0);
    EXPECT_EQ(hiddenOne.draws, 0);
    d.sendMessage(MSG_END);
    EXPECT_FALSE(d.running());
}

TEST_F(DialogTest, PopupOpenedFromAPopupGivesTheInputBackToTheOuterOne)
{
    TestDialog main;
    Probe behind(0, 0, 640, 480);
    main.add(&behind);
    main.sendMessage(MSG_START);

    TestDialog outer, inner;
    outer.resize(200, 100);
    inner.resize(100, 50);
    inner.closeAfterTicks = 2;
    bool innerDone = false;
    Widget* focusAfterInner = nullptr;
    outer.onTick = [&](int t) {
        if (t == 2) {
            inner.popup(&outer, 10, 10);
            innerDone = true;
            focusAfterInner = main.focus();
        }
        if (t == 3) // a click on the main dialog's widget below must not reach it
            input.queueMouse(600, 400, 1);
        if (t == 5)
            outer.close();
    };
    outer.popup(&main, 0, 0);
    EXPECT_TRUE(innerDone);
    EXPECT_EQ(focusAfterInner, &outer);
    EXPECT_EQ(behind.clicks, 0);
    main.sendMessage(MSG_END);
}

TEST_F(DialogTest, WidgetUnderAnUnmovedMouseTakesTheClickAfterAPopupCloses)
{
    TestDialog main;
    Probe button(10, 10, 40, 20);
    main.add(&button);
    input.mouse.pos = Point(20, 15);
    main.sendMessage(MSG_START);
    ASSERT_EQ(main.mouseOver(), &button);

    // The popup covers the button, and the mouse rests on one of its widgets.
    TestDialog box;
    Probe cover(0, 0, 100, 100);
    box.add(&cover);
    box.closeAfterTicks = 2;
    main.onTick = [&](int t) {
        if (t == 1)
            box.popup(&main, 0, 0);
    };
    TimerSlots::raise(0);
    main.msgIdle();
    ASSERT_FALSE(box.running());

    input.queueMouse(20, 15, 1);
    input.queueMouse(20, 15, 0);
    ticks(main, 2);
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(main.mouseOver(), &button);
    main.sendMessage(MSG_END);
}

namespace {

// A probe that paints itself in one colour.
class Painted : public Probe {
public:
    Painted(int x, int y, int w, int h, int colour) : Probe(x, y, w, h), colour_(colour) {}
    void draw(Bitmap& canvas) override { clear_to_color(canvas.bitmap(), colour_); }

private:
    int colour_;
};

} // namespace

TEST_F(DialogTest, WithDirtyRectanglesOnlyChangedAreasReachTheScreen)
{
    theSettings.screenUpdateMethod = 3;
    theSettings.yield = false;
    theSettings.showMouse = false;
    const int blue = makecol(0, 0, 255), yellow = makecol(255, 255, 0), black = makecol(0, 0, 0);
    TestDialog d;
    Painted a(10, 10, 30, 30, blue), b(100, 10, 30, 30, yellow);
    d.add(&a);
    d.add(&b);
    d.sendMessage(MSG_START);
    TimerSlots::raise(0);
    d.msgIdle();
    ASSERT_STREQ(ScreenUpdate::current()->name(), "Dirty Rectangle System");
    EXPECT_EQ(getpixel(screen, 20, 20), blue);
    EXPECT_EQ(getpixel(screen, 110, 20), yellow);
    EXPECT_EQ(getpixel(screen, 300, 300), black) << "nothing else was copied";

    clear_to_color(screen, black);
    b.redraw();
    TimerSlots::raise(0);
    d.msgIdle();
    EXPECT_EQ(getpixel(screen, 110, 20), yellow);
    EXPECT_EQ(getpixel(screen, 20, 20), black) << "an unchanged widget is not copied again";

    // With nothing dirty no frame copies anything.
    clear_to_color(screen, black);
    TimerSlots::raise(0);
    d.msgIdle();
    EXPECT_EQ(getpixel(screen, 110, 20), black);
    d.sendMessage(MSG_END);
}

#include "gui/Framework.h"

namespace {

// Mode changes without a graphics driver: the "screen" becomes a memory
// bitmap of the new size.
class MemoryModes : public ModeSetter {
public:
    int desktopColorDepth() override { return 16; }
    bool setMode(int, int width, int height, int depth) override
    {
        set_color_depth(depth);
        destroy_bitmap(screen);
        screen = create_bitmap(width, height);
        return screen != nullptr;
    }
    void moveScreenToVideoMemory() override {}
    void keepRunningInBackground() override {}
};

} // namespace

TEST_F(DialogTest, ModeChangeAdaptsTheRunningDialog)
{
    theSettings.yield = false;
    theSettings.useVideoMemory = false;
    TestDialog d;
    Probe p(10, 10);
    d.add(&p);
    input.mouse.pos = Point(30, 30);
    d.sendMessage(MSG_START);
    TimerSlots::raise(0);
    d.msgIdle();
    ASSERT_FALSE(p.dirty());

    MemoryModes modes;
    ASSERT_EQ(changeResolutionWith(modes, 0, false, 320, 200, 16, &d), Error());
    ASSERT_NE(ScreenUpdate::current(), nullptr);
    ASSERT_NE(ScreenUpdate::current()->target(), nullptr);
    EXPECT_EQ(ScreenUpdate::current()->target()->w, 320);
    EXPECT_EQ(ScreenUpdate::current()->target()->h, 200);
    EXPECT_EQ(d.rect(), Rect(0, 0, 320, 200));
    EXPECT_TRUE(p.dirty()) << "everything is drawn again";

    // The loop goes on drawing into the new target (mouse included).
    TimerSlots::raise(0);
    d.msgIdle();
    EXPECT_FALSE(p.dirty());
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, ExecuteAfterAPopupRunsAsTopLevelAgain)
{
    TestDialog main;
    main.sendMessage(MSG_START);
    TestDialog box;
    box.closeAfterTicks = 1;
    box.popup(&main, 0, 0);
    main.sendMessage(MSG_END);
    EXPECT_NE(box.parent(), &box);

    box.ticks = 0;
    box.closeAfterTicks = 2;
    box.execute();
    EXPECT_EQ(box.parent(), &box);
    EXPECT_EQ(box.ticks, 2);
}

TEST_F(DialogTest, FocusFollowsTheMouseByTheSkinsRule)
{
    setGlobalSkin(new Skin("default"));
    Skin* skin = globalSkin();
    ASSERT_NE(skin, nullptr);
    for (int rule : {0, 1, 2}) {
        skin->elements().focus = rule;
        TestDialog d;
        Probe taker(10, 10), other(100, 10), inert(200, 10);
        inert.takesFocus = false;
        d.add(&taker);
        d.add(&other);
        d.add(&inert);
        input.mouse.pos = Point(20, 15);
        d.sendMessage(MSG_START);
        ASSERT_EQ(d.focus(), &taker) << "rule " << rule;

        input.queueMouse(110, 15, 0); // onto a widget that takes focus
        ticks(d, 1);
        EXPECT_EQ(d.focus(), rule == 2 ? static_cast<Widget*>(&taker) : &other) << "rule " << rule;
        input.queueMouse(210, 15, 0); // onto one that does not
        ticks(d, 1);
        Widget* expected = rule == 0 ? nullptr : rule == 1 ? static_cast<Widget*>(&other) : &taker;
        EXPECT_EQ(d.focus(), expected) << "rule " << rule;
        d.sendMessage(MSG_END);
    }
    setGlobalSkin(nullptr);
}

TEST_F(DialogTest, CursorShowsTheDragModeUnderTheMouse)
{
    setGlobalSkin(new Skin("default"));
    Skin* skin = globalSkin();
    ASSERT_NE(skin, nullptr);
    const int expected[10] = {4, 4, 6, 7, 7, 6, 9, 9, 8, 8};
    for (int mode = 0; mode <= 9; ++mode) {
        TestDialog main;
        TestDialog panel;
        panel.shape(100, 100, 100, 60);
        panel.fixedDragMode = static_cast<DragMode>(mode);
        main.add(&panel);
        input.mouse.pos = Point(0, 400);
        main.sendMessage(MSG_START);
        input.queueMouse(150, 130, 0);
        ticks(main, 1);
        ASSERT_NE(mouse(), nullptr);
        EXPECT_EQ(DialogTestAccess::dragMode(panel), static_cast<DragMode>(mode));
        EXPECT_EQ(mouse()->cursor(), &skin->cursor(expected[mode])) << "mode " << mode;
        input.queueMouse(400, 400, 0); // off the panel: the normal cursor again
        ticks(main, 1);
        EXPECT_EQ(mouse()->cursor(), &skin->cursor(Skin::MOUSE_NORMAL)) << "mode " << mode;
        main.sendMessage(MSG_END);
    }
    setGlobalSkin(nullptr);
}

TEST_F(DialogTest, DraggingPastTheParentsLeftAndTopEdgesKeepsFollowingTheMouse)
{
    TestDialog main;
    TestDialog panel;
    panel.shape(20, 30, 100, 60);
    panel.setFlag(D_MOVABLE);
    panel.fixedDragMode = DragMode::Move;
    main.add(&panel);
    input.mouse.pos = Point(0, 400);
    main.sendMessage(MSG_START);
    input.queueMouse(30, 35, 0);
    input.queueMouse(30, 35, 1);
    input.queueMouse(0, 5, 1); // 30 left and up: 10 past the left edge
    ticks(main, 3);
    EXPECT_EQ(panel.rect().pos(), Point(-10, 0));
    EXPECT_EQ(panel.relativePos(), Point(-10, 0));

    // Centring a dialog larger than its parent leaves it sticking out on both sides.
    TestDialog wide;
    wide.resize(800, 100);
    panel.add(&wide);
    wide.centre();
    wide.updatePosition();
    EXPECT_EQ(wide.x(), panel.x() + (100 - 800) / 2);
    main.sendMessage(MSG_END);
}
