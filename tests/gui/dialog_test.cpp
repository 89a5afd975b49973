// Tests of the dialog manager under fake input and time: children, timers,
// clicks, focus, keys, execute and popup. Dragging, cursors and drawing are
// in dialog_screen_test.cpp; the fixture is in dialog_fixture.h.
#include "dialog_fixture.h"

#include "gui/Skin.h"

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

// A tap presses and releases between two polls: the widget and the handler
// get what a click held over two ticks gives them, and the handler hears
// of the press once (from the widget, not again from the dialog itself).
TEST_F(DialogTest, ATapBetweenTwoPollsIsTheSameClickAsAHeldOne)
{
    auto messagesOfAClick = [this](bool tap) {
        TestDialog d;
        Probe p(10, 10, 50, 20);
        d.add(&p);
        input.mouse.pos = Point(100, 100);
        d.sendMessage(MSG_START);
        ticks(d, 1);
        d.events.clear();
        if (tap) {
            input.tap(20, 15);
            ticks(d, 1);
        } else {
            input.queueMouse(20, 15, 0);
            input.queueMouse(20, 15, 1);
            input.queueMouse(20, 15, 0);
            ticks(d, 3);
        }
        d.sendMessage(MSG_END);
        std::vector<std::pair<bool, int>> seen; // (from the probe, message)
        for (const auto& [w, m] : d.events)
            if (m != MSG_TICK && m != MSG_END)
                seen.emplace_back(w == &p, m);
        return seen;
    };
    const auto held = messagesOfAClick(false);
    const auto tapped = messagesOfAClick(true);
    EXPECT_EQ(tapped, held);
    EXPECT_EQ(std::ranges::count(tapped, std::pair(true, int(MSG_LPRESS))), 1);
    EXPECT_EQ(std::ranges::count(tapped, std::pair(false, int(MSG_LPRESS))), 0);
    EXPECT_EQ(std::ranges::count(tapped, std::pair(true, int(MSG_LRELEASE))), 1);
}

// A quick press, move and release between two polls, the pointer back
// where it was by the poll: each edge reaches the widget where it happened.
TEST_F(DialogTest, PressAndReleaseBetweenTwoPollsAreDeliveredWhereTheyHappened)
{
    TestDialog d;
    Probe left(10, 10, 50, 20), right(110, 10, 50, 20);
    d.add(&left);
    d.add(&right);
    input.mouse.pos = Point(300, 300);
    d.sendMessage(MSG_START);
    ticks(d, 1);
    d.events.clear();

    input.at(300, 300, 0);
    input.recordedQueue.back() = {{1, Point(20, 15)}, {0, Point(120, 15)}};
    ticks(d, 1);
    const std::vector<std::pair<Widget*, int>> expected{{&left, MSG_LPRESS}, {&right, MSG_LRELEASE}};
    std::vector<std::pair<Widget*, int>> seen;
    for (const auto& event : d.events)
        if (event.second == MSG_LPRESS || (event.second == MSG_LRELEASE && event.first != &d))
            seen.push_back(event);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(left.clicks, 1);
    EXPECT_EQ(d.mouseOver(), nullptr) << "the mouse ends where the poll found it";
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

TEST_F(DialogTest, FocusWalksUpThroughNestedDialogsAndMovesAsAWholeChain)
{
    Dialog top, left, right;
    Probe inLeft(0, 0), inRight(0, 0), inert(50, 0);
    inert.takesFocus = false;
    left.add(&inLeft);
    right.add(&inRight);
    right.add(&inert);
    top.add(&left);
    top.add(&right);

    FocusChain::giveFocus(&inLeft);
    EXPECT_EQ(top.focus(), &left);
    EXPECT_EQ(left.focus(), &inLeft);
    EXPECT_TRUE(left.hasFocus());
    EXPECT_TRUE(inLeft.hasFocus());

    // Moving away from a dialog takes the chain inside it too.
    FocusChain::moveFocus(top.focus(), &inRight);
    EXPECT_EQ(left.focus(), nullptr);
    EXPECT_FALSE(inLeft.hasFocus());
    EXPECT_FALSE(left.hasFocus());
    EXPECT_EQ(top.focus(), &right);
    EXPECT_EQ(right.focus(), &inRight);

    // A widget that takes no focus stops the walk where it starts.
    FocusChain::giveFocus(&inert);
    EXPECT_EQ(right.focus(), &inRight);
    EXPECT_FALSE(inert.hasFocus());

    // Taking the focus stops at a modal dialog, which keeps its own.
    right.setFlag(D_MODAL);
    FocusChain::takeFocus(&inRight);
    EXPECT_EQ(right.focus(), nullptr);
    EXPECT_FALSE(inRight.hasFocus());
    EXPECT_EQ(top.focus(), &right);
    EXPECT_TRUE(right.hasFocus());
}

TEST_F(DialogTest, ArrowKeysMoveTheFocusToTheNearestWidgetInThatDirection)
{
    Grid g;
    g.dialog.sendMessage(MSG_START);
    FocusChain::giveFocus(&g.b);
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
    FocusChain::giveFocus(&g.a);
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
    FocusChain::moveFocus(g.dialog.focus(), &g.b);
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
    FocusChain::giveFocus(&g.a);

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
    FocusChain::giveFocus(&g.a);
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

TEST_F(DialogTest, WidgetAddedToARunningDialogIsStartedAndModalOnesTakeTheFocus)
{
    TestDialog d;
    Probe a(0, 0);
    d.add(&a);
    TestDialog panel;
    panel.shape(100, 120, 200, 100);
    d.add(&panel);
    d.sendMessage(MSG_START);
    FocusChain::giveFocus(&a);

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
    passWithTick(d);
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
    passWithTick(d);
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
    passWithTick(main);
    ASSERT_FALSE(box.running());

    input.queueMouse(20, 15, 1);
    input.queueMouse(20, 15, 0);
    ticks(main, 2);
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(main.mouseOver(), &button);
    main.sendMessage(MSG_END);
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
