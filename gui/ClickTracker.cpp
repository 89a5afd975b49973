// The click tracker: button edges and the double-click state machine,
// advanced once per logic tick (see gui/ClickTracker.h).
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
    Edges e;
    e.down = now.buttons & ~before.buttons;
    e.up = before.buttons & ~now.buttons;
    e.movement = now.pos - before.pos;
    e.wheel = now.wheel - before.wheel;

    // Double click: the same button twice within the window.
    if (state_ == 0) {
        if (e.down & 1)
            state_ = 1;
        else if (e.down & 2)
            state_ = 2;
        else if (e.down & 4)
            state_ = 3;
    } else if (state_ <= 3) {
        static const int bits[4] = {0, 1, 2, 4};
        if (e.down & bits[state_]) {
            state_ = 4;
        } else if (++count_ >= window_) {
            count_ = 0;
            state_ = 0;
        }
    } else {
        count_ = 0;
        state_ = 0;
        e.doubleClick = true;
    }
    return e;
}
