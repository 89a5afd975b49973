// Where the main loop gets its input and time from: the one place that reads
// Allegro's mouse, keyboard, joystick and timers (gui/InputSource.cpp). Test
// fakes derive from it; the slots it ticks are in gui/TimerSlots.h.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/Geometry.h"

// Where the main loop gets its input and time from. The default one reads
// Allegro's mouse, keyboard, joystick and timers; tests install their own.
class InputSource {
public:
    struct MouseState {
        Point pos{-10000, -10000};
        int buttons = 0;
        int wheel = 0;
    };
    // One press or release as it happened: the buttons held after it (bits
    // as in MouseState::buttons) and where the pointer was at that moment.
    struct ButtonEdge {
        int buttons = 0;
        Point pos;
    };
    struct JoystickState {
        bool present = false;
        bool left = false, right = false, up = false, down = false;
        bool button1 = false, button2 = false;
    };

    virtual ~InputSource() = default;
    // Starts a callback that calls TimerSlots::raise(slot) `rate` times a second.
    virtual bool startTimer(int slot, int rate);
    virtual void stopTimer(int slot);
    virtual MouseState pollMouse();
    // The presses and releases since the last call, oldest first, each
    // recorded as it happened with the pointer's position, so that a press
    // and release between two polls are both seen, and each where it
    // happened. Empty when none were recorded; the polled state stands then.
    virtual std::vector<ButtonEdge> takeButtonEdges();
    // Reads one waiting key: Allegro's character (ureadkey) and scancode.
    virtual bool readKey(int& character, int& scancode);
    // Whether Shift was held when the key last read was pressed (the keys
    // wait in a buffer, and Shift may be let go before the key is read);
    // the state now when no key was read.
    virtual bool shiftHeld();
    virtual JoystickState pollJoystick();
    // Sleeps until a timer slot has a tick pending or a request (window
    // close button, display switch) came in; it may return earlier.
    virtual void waitForTick();
    // Milliseconds from an arbitrary start.
    virtual std::int64_t nowMs();
    // Display-switch, window close-button, keyboard and mouse-button
    // callbacks.
    virtual void startCallbacks(bool watchSwitch);
    virtual void stopCallbacks();
};

void setInputSource(InputSource* source); // null: back to Allegro's
InputSource& inputSource();
