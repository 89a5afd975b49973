// The program's connection to the X display: why none can be opened, and a
// clean end when the one in use is lost.
#pragma once

#include <string>

namespace DisplayConnection {

// From now on, when the connection to the X display breaks, or the X server
// refuses a request, the thread that notices prints one line on stderr
// ("the connection to the display was lost", or the X error) and ends the
// process at once with `exitStatus`. Nothing runs after that: no exit
// handlers, no destructors, no other thread (Allegro's shutdown would talk
// to the server that is gone, and joins its input thread, which may be the
// one that noticed). A second thread that notices meanwhile waits for the
// end.
void endProgramWhenLost(int exitStatus);

// Why no window can be opened on a display: DISPLAY is not set, or the
// display it names cannot be reached. Empty when the display answers.
std::string whyUnavailable();

} // namespace DisplayConnection
