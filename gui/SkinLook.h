#pragma once

// The built-in look: the 46 named skin bitmaps painted from the ten skin
// colours, and the built-in arrow cursor. Skin::generateDefaultBitmaps() and
// Skin::generateDefaultBitmap(slot) (defined in SkinLook.cpp) use these.

#include "gui/Skin.h"

class Bitmap;

// Size and middle-tile size of a built-in named bitmap. A tile size of -1
// means a third of the frame.
struct LookSize {
    int w = 0;
    int h = 0;
    int tileW = -1;
    int tileH = -1;
};

// The built-in size of named bitmap `slot` (0 to 45); all zero for any other
// slot.
LookSize builtinBitmapSize(int slot);

// Paints named bitmap `slot` (0 to 45) in the built-in look into `out` (a new
// memory bitmap of the current colour depth at the built-in size, tile size
// set). Unused parts are the mask colour, so every bitmap can be drawn
// masked. False for an unknown slot or when the bitmap cannot be made; `out`
// is then released.
bool paintBuiltinBitmap(int slot, const SkinColors& colors, Bitmap& out);

// Paints the built-in mouse arrow into `out` (a new memory bitmap of the
// current colour depth, one frame): black outline, white body, mask colour
// around it; a solid shape, so a shadow made from the non-mask pixels looks
// right. The focus point is the arrow's tip.
bool paintBuiltinCursor(Bitmap& out, int& focusX, int& focusY);
