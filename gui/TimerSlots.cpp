// The timer slots: pending-tick counters raised from Allegro's timer context
// and taken one at a time by the main loop (gui/DialogLoop.cpp), and the
// requests that wake that loop.
#include "gui/TimerSlots.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "gui/InputSource.h"
#include "gui/Settings.h"

namespace {

struct TimerSlot {
    std::atomic<int> pending{0};
    int catchUp = 0;
    bool installed = false;
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

bool validSlot(int slot) { return slot >= 0 && slot < TimerSlots::count; }

} // namespace

namespace TimerSlots {

int install(int rate)
{
    if (rate <= 0)
        rate = 50;
    for (int i = 0; i < count; ++i) {
        if (slots[i].installed)
            continue;
        slots[i].installed = true;
        slots[i].pending = 0;
        slots[i].catchUp = 0;
        if (!inputSource().startTimer(i, rate)) {
            slots[i].installed = false;
            return -1;
        }
        return i;
    }
    return -1;
}

void remove(int slot)
{
    if (!validSlot(slot) || !slots[slot].installed)
        return;
    inputSource().stopTimer(slot);
    slots[slot].installed = false;
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
                       [](const TimerSlot& s) { return s.installed; });
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
        s.installed = false;
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

namespace LoopWake {

bool takeRedrawEverythingRequest() { return redrawEverythingRequested.exchange(false); }
bool takeWindowCloseRequest() { return windowCloseRequested.exchange(false); }

void clearRequests()
{
    redrawEverythingRequested = false;
    windowCloseRequested = false;
}

bool hasWork()
{
    return TimerSlots::anyPending() || windowCloseRequested || redrawEverythingRequested;
}

void waitForWork(int maxMs)
{
    std::unique_lock<std::mutex> lock(wakeMutex);
    wakeSignal.wait_for(lock, std::chrono::milliseconds(maxMs), hasWork);
}

} // namespace LoopWake
