// The click tracker: button edges in their order and the double-click
// state machine, advanced once per logic tick (see gui/ClickTracker.h).
#include "gui/ClickTracker.h"

#include <algorithm>
#include <climits>
#include <cstdint>

int ClickTracker::windowFor(int delayMs, int rate)
{
    // Counted in 64 bits: the delay comes straight from the settings file.
    const std::int64_t window = std::int64_t(delayMs) * rate / 1000;
    return static_cast<int>(std::clamp<std::int64_t>(window, INT_MIN, INT_MAX));
}

void ClickTracker::reset(int windowTicks)
{
    state_ = 0;
    count_ = 0;
    window_ = windowTicks;
}

ClickTracker::Edges ClickTracker::step(const MouseState& before, const MouseState& now)
{
    return step(before, now, {});
}

ClickTracker::Edges ClickTracker::step(const MouseState& before, const MouseState& now,
                                       const std::vector<InputSource::ButtonEdge>& edges)
{
    Edges e;
    e.movement = now.pos - before.pos;
    e.wheel = now.wheel - before.wheel;
    int held = before.buttons;
    auto changeTo = [&](int buttons, Point at) {
        const Change c{buttons & ~held, held & ~buttons, at};
        if (c.down || c.up) {
            e.changes.push_back(c);
            e.down |= c.down;
            e.up |= c.up;
        }
        held = buttons;
    };
    if (edges.empty())
        changeTo(now.buttons, (now.buttons & ~held) ? now.pos : before.pos);
    for (const InputSource::ButtonEdge& edge : edges)
        changeTo(edge.buttons, edge.pos);

    // Double click: the same button twice within the window. A double
    // click that is due is reported now, and this tick's presses do not
    // start another.
    if (state_ == 4) {
        count_ = 0;
        state_ = 0;
        e.doubleClick = true;
        return e;
    }
    const int waiting = state_;
    for (const Change& c : e.changes)
        press(c.down);
    if (waiting != 0 && state_ == waiting && ++count_ >= window_) {
        count_ = 0;
        state_ = 0;
    }
    return e;
}

void ClickTracker::press(int down)
{
    if (state_ == 0) {
        if (down & 1)
            state_ = 1;
        else if (down & 2)
            state_ = 2;
        else if (down & 4)
            state_ = 3;
    } else if (state_ <= 3) {
        static const int bits[4] = {0, 1, 2, 4};
        if (down & bits[state_])
            state_ = 4;
    }
}
