#pragma once

// The fake input and time, probe widgets and the fixture shared by the
// dialog manager tests (dialog_test.cpp, dialog_screen_test.cpp).
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
#include "tests/support/dialog_globals.h"
#include "tests/support/headless.h"
#include "tests/support/scripted_input.h"

namespace {

const auto* const env = testkit::headlessAllegro({.colourDepth = 16});

// Input and time under the test's control: the scripted mouse and clock,
// with keys, Shift, the joystick and a timer that may be refused added,
// and the timer calls and waits counted.
class FakeInput : public testkit::ScriptedInput {
public:
    bool startTimer(int slot, int rate) override
    {
        started.emplace_back(slot, rate);
        return !refuseTimers;
    }
    void stopTimer(int slot) override { stopped.push_back(slot); }
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
        ScriptedInput::waitForTick();
        ++waits;
    }

    void queueMouse(int x, int y, int buttons, int wheel = 0)
    {
        at(x, y, buttons);
        queue.back().wheel = wheel;
    }

    std::vector<std::pair<int, int>> started;
    std::vector<int> stopped;
    bool refuseTimers = false;
    std::deque<std::pair<int, int>> keys;
    bool shift = false;
    JoystickState joystick;
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
        ASSERT_NO_FATAL_FAILURE(globals_.set(input));
        theSettings.doubleClickDelay = 200;
        theSettings.maxFrameSkip = 5;
        theSettings.showMouse = true;
        theSettings.useKeyboard = true;
        theSettings.yield = true;
        theSettings.unlimitedFrameRate = false;
    }

    void TearDown() override { globals_.restore(); }

    // Runs logic ticks straight away, each polling the fake input once.
    static void ticks(Dialog& d, int n)
    {
        for (int i = 0; i < n; ++i)
            d.msgTick();
    }

    // One pass of the loop with a logic tick waiting: the tick runs and a
    // frame is due.
    static void passWithTick(Dialog& d)
    {
        TimerSlots::raise(0);
        d.msgIdle();
    }

    FakeInput input;
    testkit::DialogGlobals globals_;
};

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
