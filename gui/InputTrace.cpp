// The input trace (see gui/InputTrace.h): lines appended to the file named
// by VASKUR_INPUT_TRACE, each flushed at once so that a script waiting for
// it sees it.
#include "gui/InputTrace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include <allegro.h>
#include <xalleg.h>

namespace {

struct Trace {
    std::FILE* file = nullptr;
    Point pointer{-100000, -100000};
    bool clickWaiting = false;
    bool inputThisPass = false;
};

Trace& trace()
{
    static Trace t = [] {
        Trace opened;
        if (const char* path = std::getenv("VASKUR_INPUT_TRACE"); path && *path)
            opened.file = std::fopen(path, "w");
        return opened;
    }();
    return t;
}

__attribute__((format(printf, 1, 2))) void writeLine(const char* format, ...)
{
    Trace& t = trace();
    if (!t.file)
        return;
    std::va_list args;
    va_start(args, format);
    std::vfprintf(t.file, format, args);
    va_end(args);
    std::fputc('\n', t.file);
    std::fflush(t.file);
    t.inputThisPass = true;
}

const char* buttonName(int bit)
{
    return bit == 1 ? "left" : bit == 2 ? "right" : "middle";
}

// Waits until the X server has handled everything sent to it, the frame
// drawn last included.
void syncDisplay()
{
    XLOCK();
    if (_xwin.display)
        XSync(_xwin.display, False);
    XUNLOCK();
}

} // namespace

namespace InputTrace {

bool enabled() { return trace().file != nullptr; }

void button(bool pressed, int bit, Point at)
{
    writeLine("%s %s %d %d", pressed ? "press" : "release", buttonName(bit), at.x, at.y);
}

void doubleClick(Point at) { writeLine("dclick %d %d", at.x, at.y); }

void pointer(Point at)
{
    Trace& t = trace();
    if (!t.file || at == t.pointer)
        return;
    t.pointer = at;
    writeLine("move %d %d", at.x, at.y);
}

void wheel(int steps) { writeLine("wheel %d", steps); }

void key(int character, int scancode) { writeLine("key %d %d", character, scancode); }

void clickWaiting(bool waiting)
{
    Trace& t = trace();
    if (t.clickWaiting && !waiting)
        writeLine("settled");
    t.clickWaiting = waiting;
}

void passEnded()
{
    Trace& t = trace();
    if (!t.file || !t.inputThisPass)
        return;
    syncDisplay();
    t.inputThisPass = false;
    std::fputs("shown\n", t.file);
    std::fflush(t.file);
}

} // namespace InputTrace
