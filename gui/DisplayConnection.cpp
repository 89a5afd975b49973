// Xlib's handlers for a broken connection and for refused requests, which
// end the program at once, and the check of the DISPLAY variable.
#include "gui/DisplayConnection.h"

#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace {

std::atomic<int> lostExitStatus{2};
std::atomic<bool> ending{false};

// Writes the line and ends the process; a thread that comes second waits
// for the first one to end it. Xlib calls exit() when a handler returns,
// so none may.
[[noreturn]] void endWith(const char* line)
{
    if (!ending.exchange(true)) {
        (void)!write(STDERR_FILENO, line, std::strlen(line));
        _exit(lostExitStatus.load());
    }
    for (;;)
        pause();
}

int onConnectionLost(Display*)
{
    endWith("the connection to the display was lost\n");
}

int onRefusedRequest(Display* display, XErrorEvent* error)
{
    char text[160] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    char line[256];
    std::snprintf(line, sizeof line, "the display refused a request: %s (request %d)\n", text,
                  static_cast<int>(error->request_code));
    endWith(line);
}

} // namespace

void DisplayConnection::endProgramWhenLost(int exitStatus)
{
    lostExitStatus.store(exitStatus);
    XSetIOErrorHandler(onConnectionLost);
    XSetErrorHandler(onRefusedRequest);
}

std::string DisplayConnection::whyUnavailable()
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return "the environment variable DISPLAY is not set: there is no display to open a window on";
    Display* display = XOpenDisplay(name);
    if (!display)
        return std::string("the display \"") + name + "\" named by DISPLAY cannot be reached";
    XCloseDisplay(display);
    return {};
}
