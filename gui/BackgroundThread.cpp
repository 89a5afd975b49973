// Allegro's background manager (the pthread one, exported through
// allegro/platform/aintunix.h) with its functions replaced by ours. Allegro
// registers its background functions (the X input handler) with it and
// keeps the right to hold them off with disable/enable_interrupts; what
// changes is when the functions run: when the X connection has something
// to read, when the program asks, and otherwise at a slow beat.
#include "gui/BackgroundThread.h"

#include <allegro.h>
#include <xalleg.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <iterator>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Everything the thread shares with the rest of the program, guarded by
// `lock`. The lock is held while the functions run, so that disabling
// waits for a run in progress to end; it is recursive because a function
// may itself register, unregister or disable.
struct State {
    std::recursive_mutex lock;
    std::condition_variable_any enabled;
    bg_func functions[16] = {};
    int functionCount = 0;
    int disabled = 0; // disable_interrupts calls not yet enabled again
    bool running = false;
    int wakeRead = -1, wakeWrite = -1; // a pipe: a byte in it asks for a run
    std::thread thread;
};
State state;

// The X connection's descriptor, or -1 before Allegro opened it.
int xConnection()
{
    XLOCK();
    const int fd = _xwin.display ? ConnectionNumber(_xwin.display) : -1;
    XUNLOCK();
    return fd;
}

// Whether events wait in Xlib's own queue, read from the connection but not
// handled yet.
bool xEventsQueued()
{
    XLOCK();
    const bool queued = _xwin.display && QLength(_xwin.display) > 0;
    XUNLOCK();
    return queued;
}

// Sleeps until the X connection can be read, a run is asked for or
// `timeoutMs` passed, and empties the pipe. Returns whether the X server
// sent something.
bool waitForWork(int timeoutMs)
{
    pollfd fds[2] = {{state.wakeRead, POLLIN, 0}, {xConnection(), POLLIN, 0}};
    const bool sent = poll(fds, fds[1].fd >= 0 ? 2 : 1, timeoutMs) > 0 && fds[1].revents != 0;
    char bytes[64];
    while (read(state.wakeRead, bytes, sizeof bytes) > 0) {
    }
    return sent;
}

// Runs the registered functions once they are not disabled. Returns
// whether another run should follow at once, or false at the end.
bool runFunctions(bool& again)
{
    std::unique_lock<std::recursive_mutex> hold(state.lock);
    state.enabled.wait(hold, [] { return !state.running || state.disabled == 0; });
    if (!state.running)
        return false;
    for (int i = 0; i < state.functionCount; ++i)
        state.functions[i](1);
    again = xEventsQueued();
    return true;
}

// Whether Allegro still has to move the X pointer to where the program put
// the mouse: it does so only after counting a good many runs.
bool pointerWarpPending()
{
    XLOCK();
    const bool pending = _xwin.mouse_warped != 0;
    XUNLOCK();
    return pending;
}

// How long the thread sleeps before the next run when nothing wakes it.
// Allegro's own thread ran the functions every steadyBeatMs, and some of
// them count on that: a sound driver's mixer, a pending pointer warp, and
// the handling of input, which is always followed by another run soon.
int timeoutMs(bool afterInput, bool again)
{
    if (again)
        return 0;
    std::lock_guard<std::recursive_mutex> hold(state.lock);
    if (afterInput || state.functionCount > 1 || pointerWarpPending())
        return BackgroundThread::steadyBeatMs;
    return BackgroundThread::idleBeatMs;
}

void runThread()
{
    bool input = false, again = false;
    auto lastRun = Clock::now();
    for (;;) {
        input = waitForWork(timeoutMs(input, again));
        // A connection that stays readable (nothing registered reads it
        // yet) must not turn this into a busy loop.
        std::this_thread::sleep_until(lastRun + milliseconds(BackgroundThread::minimumGapMs));
        lastRun = Clock::now();
        if (!runFunctions(again))
            return;
    }
}

int start()
{
    std::lock_guard<std::recursive_mutex> hold(state.lock);
    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    state.wakeRead = wake[0];
    state.wakeWrite = wake[1];
    state.functionCount = 0;
    state.disabled = 0;
    state.running = true;
    // Signals belong to the program's own threads: the new thread starts
    // with all of them blocked.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    try {
        state.thread = std::thread(runThread);
    } catch (...) {
        state.running = false;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (!state.running) {
        close(state.wakeRead);
        close(state.wakeWrite);
        state.wakeRead = state.wakeWrite = -1;
        return -1;
    }
    return 0;
}

void stop()
{
    {
        std::lock_guard<std::recursive_mutex> hold(state.lock);
        if (!state.running)
            return;
        state.running = false;
        const char byte = 0;
        (void)!write(state.wakeWrite, &byte, 1);
    }
    state.enabled.notify_all();
    // Allegro is taken down from an exit handler, and exit may have been
    // called on this very thread (by a handler of Xlib, say): it cannot
    // wait for itself, and never returns to its loop anyway.
    if (state.thread.get_id() == std::this_thread::get_id())
        state.thread.detach();
    else
        state.thread.join();
    close(state.wakeRead);
    close(state.wakeWrite);
    state.wakeRead = state.wakeWrite = -1;
}

int registerFunction(bg_func function)
{
    std::lock_guard<std::recursive_mutex> hold(state.lock);
    if (state.functionCount == static_cast<int>(std::size(state.functions)))
        return -1;
    state.functions[state.functionCount++] = function;
    return 0;
}

int unregisterFunction(bg_func function)
{
    std::lock_guard<std::recursive_mutex> hold(state.lock);
    bg_func* end = state.functions + state.functionCount;
    bg_func* found = std::find(state.functions, end, function);
    if (found != end) {
        std::copy(found + 1, end, found);
        --state.functionCount;
    }
    return 0;
}

void enableFunctions()
{
    {
        std::lock_guard<std::recursive_mutex> hold(state.lock);
        if (state.disabled > 0)
            --state.disabled;
    }
    state.enabled.notify_all();
}

void disableFunctions()
{
    std::lock_guard<std::recursive_mutex> hold(state.lock);
    ++state.disabled;
}

int functionsDisabled()
{
    std::lock_guard<std::recursive_mutex> hold(state.lock);
    return state.disabled;
}

} // namespace

void BackgroundThread::install()
{
    bg_manager& m = _bg_man_pthreads;
    m.multi_threaded = 1;
    m.init = start;
    m.exit = stop;
    m.register_func = registerFunction;
    m.unregister_func = unregisterFunction;
    m.enable_interrupts = enableFunctions;
    m.disable_interrupts = disableFunctions;
    m.interrupts_disabled = functionsDisabled;
}

void BackgroundThread::wake()
{
    std::lock_guard<std::recursive_mutex> hold(state.lock);
    if (!state.running)
        return;
    const char byte = 0;
    // A full pipe already asks for a run.
    (void)!write(state.wakeWrite, &byte, 1);
}

void BackgroundThread::wakeForQueuedInput()
{
    if (xEventsQueued())
        wake();
}
