// The framework's eight timer slots and the requests that wake the main loop
// (window close button, display switched back in); the loop itself is in
// gui/DialogLoop.cpp, the callbacks that raise ticks in gui/InputSource.cpp.
#pragma once

// The eight timer slots of the framework. An installed slot's interrupt
// callback only raises its pending-tick counter; the main loop takes the
// ticks. At most maxFrameSkip ticks of one slot are taken in a row within a
// loop pass; the rest of that backlog is dropped.
namespace TimerSlots {
constexpr int count = 8;
// Installs a timer of `rate` ticks per second in the first free slot;
// returns its number, or -1 when no slot is free or installation failed.
int install(int rate);
// Uninstalls the slot's callback and frees it.
void remove(int slot);
// The slot a tick should be taken from next, or -1 when nothing is pending.
int next();
// Takes one tick of the slot (never below 0).
void consume(int slot);
// Resets all catch-up counters (once per loop pass).
void resetCatchUp();
bool anyPending();
bool anyInstalled();
int pending(int slot);
// What a slot's callback does: one more pending tick.
void raise(int slot);
// Frees every slot without touching Allegro (tests).
void clear();
} // namespace TimerSlots

// Requests raised from callbacks (display switched back in, window close button).
void requestRedrawEverything();
void requestWindowClose();

// The main loop's side of the requests and ticks: each request is taken
// once; the loop sleeps until a tick or a request comes in.
namespace LoopWake {
bool takeRedrawEverythingRequest();
bool takeWindowCloseRequest();
// Forgets both requests (a new top-level loop starts).
void clearRequests();
// A tick is pending or a request came in.
bool hasWork();
// Sleeps until hasWork() or at most `maxMs` milliseconds.
void waitForWork(int maxMs);
} // namespace LoopWake
