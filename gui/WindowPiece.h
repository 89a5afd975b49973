// A window frame piece: an edge, the title bar or the title plate, drawn
// from a two-frame skin bitmap. The window itself is in gui/Window.h.
#pragma once

#include "gui/Widget.h"

// One piece of a window's frame (an edge or the title bar), or the plate
// behind the title. Its skin bitmap holds two frames, the first drawn while
// the piece has the focus, the second otherwise: side by side for a
// vertical piece, one above the other for a horizontal one (unless told
// otherwise: the title plate is horizontal with its frames side by side).
// The frame is repeated along the piece by the nine-part drawing.
class WindowPiece : public Widget {
public:
    WindowPiece(int bitmapSlot, bool vertical);
    WindowPiece(int bitmapSlot, bool vertical, bool framesSideBySide);

    void msgSkinChanged() override;
    void draw(Bitmap& canvas) override;

    bool vertical() const { return vertical_; }
    // Size of one frame of the bitmap (0, 0 without one).
    int frameWidth() const;
    int frameHeight() const;
    // Thickness of the piece across its length: a frame's width for a
    // vertical piece, its height for a horizontal one.
    int thickness() const;
    // The part of a frame at either end that is not repeated, along the
    // piece: (frame size - tile size) / 2.
    int border() const;

private:
    int slot_;
    bool vertical_;
    bool sideBySide_;
};
