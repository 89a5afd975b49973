// Test support: scripted mouse states and a ticking clock behind the
// dialog manager's input source.
#pragma once

// Input under a test's control: mouse states played back one per poll (the
// last one stays), each with the button changes recorded before it, no
// keys, no joystick, and time that moves only when the code waits for a
// tick: on to the next 20 ms, a tick of the first timer slot.

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "gui/Geometry.h"
#include "gui/InputSource.h"
#include "gui/TimerSlots.h"

namespace testkit {

class ScriptedInput : public InputSource {
public:
    bool startTimer(int, int) override { return true; }
    void stopTimer(int) override {}
    MouseState pollMouse() override
    {
        if (!queue.empty()) {
            mouse = queue.front();
            queue.pop_front();
            recorded = recordedQueue.front();
            recordedQueue.pop_front();
        }
        return mouse;
    }
    std::vector<ButtonEdge> takeButtonEdges() override { return std::exchange(recorded, {}); }
    bool readKey(int&, int&) override { return false; }
    bool shiftHeld() override { return false; }
    JoystickState pollJoystick() override { return {}; }
    void waitForTick() override
    {
        time += 20 - time % 20;
        TimerSlots::raise(0);
    }
    std::int64_t nowMs() override { return time; }
    void startCallbacks(bool) override {}
    void stopCallbacks() override {}

    void at(int x, int y, int buttons = 0)
    {
        MouseState s;
        s.pos = Point(x, y);
        s.buttons = buttons;
        queue.push_back(s);
        recordedQueue.emplace_back();
    }
    // A press and release of `button` that both fall between two polls.
    void tap(int x, int y, int button = 1)
    {
        at(x, y, 0);
        recordedQueue.back() = {{button, Point(x, y)}, {0, Point(x, y)}};
    }

    std::deque<MouseState> queue;
    std::deque<std::vector<ButtonEdge>> recordedQueue; // one entry per queued state
    std::vector<ButtonEdge> recorded;
    MouseState mouse;
    std::int64_t time = 0;
};

}  // namespace testkit
