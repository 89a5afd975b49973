// Turns what the mouse did between two logic ticks into edges: buttons that
// went down or up (in the order they did, each with where it happened), a
// double click, movement and wheel steps. The dialog's mouse handling
// (gui/DialogMouse.cpp) sends the messages for them.
#pragma once

#include <vector>

#include "gui/Geometry.h"
#include "gui/InputSource.h"

class ClickTracker {
public:
    using MouseState = InputSource::MouseState;

    // One change of the buttons and where the pointer was when it
    // happened. Bits: 1 left, 2 right, 4 middle.
    struct Change {
        int down = 0;
        int up = 0;
        Point pos;
    };

    // What happened within one tick.
    struct Edges {
        // Every press and release in the order they happened.
        std::vector<Change> changes;
        // All buttons that went down, and all that went up, in the tick.
        int down = 0;
        int up = 0;
        // The same button went down twice within the window; reported on
        // the tick after the second press.
        bool doubleClick = false;
        Point movement;
        int wheel = 0;
    };

    // The double-click window in ticks: `delayMs` at `rate` ticks a second.
    static int windowFor(int delayMs, int rate);

    // Starts afresh with a window of `windowTicks` ticks.
    void reset(int windowTicks);
    // One logic tick: the state polled before and the state polled now.
    Edges step(const MouseState& before, const MouseState& now);
    // One logic tick in which the buttons went through the recorded
    // `edges` in order (from `before`). Without any, the polled
    // `now.buttons` counts: a press is placed where the mouse is now, a
    // release where it was before.
    Edges step(const MouseState& before, const MouseState& now, const std::vector<InputSource::ButtonEdge>& edges);
    int window() const { return window_; }
    // A press waits for a second one to make a double click, or a double
    // click is due: a press now would not begin a click of its own.
    bool waiting() const { return state_ != 0; }

private:
    // A press seen by the double-click state machine.
    void press(int down);

    // 0 idle; 1, 2, 3 waiting for a second press of the left, right or
    // middle button; 4 a double click is due.
    int state_ = 0;
    int count_ = 0;
    int window_ = 10;
};
