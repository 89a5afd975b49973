// Dragging a dialog by its frame: the grabbed point and the frame a resize
// makes of the mouse's way since the press.
#include "gui/FrameDrag.h"

#include <algorithm>

namespace {

// One axis of a resize from the frame as it was at the press: the near
// edge (left or top) or the far one follows the mouse, which has moved
// `moved` since, down to the `minimum` size; the opposite edge stays put.
void stretch(int& pos, int& size, int moved, int minimum, bool nearEdge, bool farEdge)
{
    if (nearEdge) {
        const int shrunk = std::max(size - moved, minimum);
        pos += size - shrunk;
        size = shrunk;
    } else if (farEdge) {
        size = std::max(size + moved, minimum);
    }
}

} // namespace

void FrameDrag::grab(Point mouse, Rect frame)
{
    offset_ = mouse - frame.pos();
    start_ = frame;
}

Rect FrameDrag::resizedTo(Point mouse, Point minimum) const
{
    // How far the mouse has gone since the button went down.
    const Point moved = mouse - (start_.pos() + offset_);
    Rect r = start_;
    stretch(r.x, r.w, moved.x, minimum.x, movesLeftEdge(mode_), movesRightEdge(mode_));
    stretch(r.y, r.h, moved.y, minimum.y, movesTopEdge(mode_), movesBottomEdge(mode_));
    return r;
}
