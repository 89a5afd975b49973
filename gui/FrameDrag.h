// Dragging a dialog by its frame: the part a left-button drag takes hold
// of and where the frame goes as the mouse moves (gui/FrameDrag.cpp). The
// dialog applies the result (gui/DialogMouse.cpp).
#pragma once

#include "gui/DragMode.h"
#include "gui/Geometry.h"

// The drag state of one dialog and its only writer: the part under the
// mouse while the left button is up, and the grabbed point and frame from
// the moment it went down.
class FrameDrag {
public:
    DragMode mode() const { return mode_; }

    // The dialog starts: no drag.
    void reset() { mode_ = DragMode::None; }
    // The left button is up: a press would take hold of `part`.
    void aim(DragMode part) { mode_ = part; }
    // The left button went down at `mouse` on the dialog's `frame`.
    void grab(Point mouse, Rect frame);

    // A move: the frame's position that keeps the grabbed point under the mouse.
    Point movedTo(Point mouse) const { return mouse - offset_; }
    // A resize: the frame as it was at the press with the grabbed corner or
    // edge following the mouse, down to `minimum`; the opposite side stays.
    Rect resizedTo(Point mouse, Point minimum) const;
    // The frame as it was when the button went down.
    Rect startFrame() const { return start_; }

private:
    DragMode mode_ = DragMode::None;
    // The mouse relative to the frame when the button went down.
    Point offset_;
    Rect start_;
};
