// A window frame piece: its frame sizes from the skin bitmap and its tiled
// drawing, frame 0 while focused. The window that lays the pieces out is in
// gui/Window.cpp.
#include "gui/WindowPiece.h"

#include <algorithm>

#include "gui/Bitmap.h"

WindowPiece::WindowPiece(int bitmapSlot, bool vertical) : WindowPiece(bitmapSlot, vertical, vertical) {}

WindowPiece::WindowPiece(int bitmapSlot, bool vertical, bool framesSideBySide)
    : slot_(bitmapSlot), vertical_(vertical), sideBySide_(framesSideBySide)
{
    bitmapIndex_ = slot_;
}

void WindowPiece::msgSkinChanged()
{
    bitmapIndex_ = slot_;
    Widget::msgSkinChanged();
}

int WindowPiece::frameWidth() const
{
    const Bitmap& b = skinBitmap();
    if (b.empty())
        return 0;
    return sideBySide_ ? b.width() / 2 : b.width();
}

int WindowPiece::frameHeight() const
{
    const Bitmap& b = skinBitmap();
    if (b.empty())
        return 0;
    return sideBySide_ ? b.height() : b.height() / 2;
}

int WindowPiece::thickness() const
{
    return vertical_ ? frameWidth() : frameHeight();
}

int WindowPiece::border() const
{
    const Bitmap& b = skinBitmap();
    if (b.empty())
        return 0;
    const int frame = vertical_ ? frameHeight() : frameWidth();
    int tile = vertical_ ? b.tileHeight() : b.tileWidth();
    if (tile < 0)
        tile = frame / 3;
    return std::max(0, (frame - tile) / 2);
}

void WindowPiece::draw(Bitmap& canvas)
{
    const Bitmap& b = skinBitmap();
    if (b.empty() || !canvas.bitmap())
        return;
    // Frame 0 while focused, frame 1 otherwise.
    const int frame = hasFocus() ? 0 : 1;
    if (sideBySide_)
        b.tiledBlitMasked(canvas.bitmap(), frame, 0, 0, 0, w(), h(), 2, 1);
    else
        b.tiledBlitMasked(canvas.bitmap(), 0, frame, 0, 0, w(), h(), 1, 2);
}
