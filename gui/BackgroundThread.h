// A quieter stand-in for the thread in which Allegro runs its background
// work on Unix: reading X input and sending drawing to the X server.
#pragma once

namespace BackgroundThread {

// Makes Allegro use this thread instead of its own. Call before
// install_allegro.
//
// Allegro's own thread wakes every millisecond and runs the background
// work a hundred times a second, which alone costs a waiting program a few
// percent of a core. This one sleeps until the X server sends something or
// the program asks for a run, and otherwise runs the work only every
// idleBeatMs. It keeps Allegro's steady beat of steadyBeatMs for one run
// after input, while Allegro has yet to move the X pointer where the
// program put the mouse, and while anything besides the X input handler is
// registered (a sound driver that mixes in the background).
void install();
constexpr int idleBeatMs = 100;
constexpr int steadyBeatMs = 10;
// Runs never follow each other closer than this, even when the X server
// keeps sending.
constexpr int minimumGapMs = 4;

// Runs the background work now instead of at the next beat, so that a
// frame just drawn reaches the X server at once. Does nothing before the
// thread runs.
void wake();

// Wakes the thread when X events wait in Xlib's queue: read from the
// connection by a call of the program's own thread, they no longer show on
// the connection and would wait for the next beat. The main loop calls this
// before it sleeps.
void wakeForQueuedInput();

} // namespace BackgroundThread
