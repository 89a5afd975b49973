// A trace of the input the dialog manager takes, for scripts that drive a
// program in a real window and must know when it has taken what they sent.
#pragma once

#include "gui/Geometry.h"

// With the environment variable VASKUR_INPUT_TRACE naming a file, the
// dialog manager writes a line there for every input it takes, just before
// it hands it to the widgets:
//     move X Y                      the pointer is at (X, Y) now
//     press|release BUTTON X Y      left, right or middle, where it happened
//     dclick X Y                    a double click
//     wheel STEPS
//     key CHARACTER SCANCODE
// and after them
//     settled                       the last press waits for no partner any
//                                   more: the next press begins a click of
//                                   its own, not a double click
//     shown                         the loop pass that took input has ended
//                                   and its frame is on the X server
// Without the variable nothing is written and nothing else changes. Called
// from the main loop's thread only.
namespace InputTrace {

bool enabled();
// A press or release of the button with bit `bit` (1 left, 2 right, 4 middle).
void button(bool pressed, int bit, Point at);
void doubleClick(Point at);
// Writes a move only when `at` differs from the position written last.
void pointer(Point at);
void wheel(int steps);
void key(int character, int scancode);
// Whether the dialog that takes the input has a press waiting for its
// double-click partner; "settled" when that ends.
void clickWaiting(bool waiting);
// The end of a loop pass: "shown", once the frame has reached the X
// server, when input was written during it.
void passEnded();

} // namespace InputTrace
