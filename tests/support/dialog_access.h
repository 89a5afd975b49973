// Test support: reads a dialog's loop state that is not part of its
// interface (the logic timer, the double-click window, the drag mode and
// the joystick hold).
#pragma once

#include "gui/Dialog.h"

struct DialogTestAccess {
    static int logicTimer(const Dialog& d) { return d.logicTimer_; }
    static int doubleClickWindow(const Dialog& d) { return d.clicks_.window(); }
    static DragMode dragMode(const Dialog& d) { return d.drag_.mode(); }
    static bool joystickHeld(const Dialog& d) { return d.joystickHeld_; }
};
