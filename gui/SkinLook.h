// The built-in look's painting helpers and their frame grids; the skin that
// uses them is gui/Skin.h.
#pragma once

// The built-in look: the 46 named skin bitmaps painted from the ten skin
// colours, and the built-in arrow cursor. Skin::generateDefaultBitmaps() and
// Skin::generateDefaultBitmap(slot) (defined in SkinLook.cpp) use these.
//
// Frame grids of the built-in bitmaps (frames are read left to right, top to
// bottom; "states" means normal, selected, disabled, focused):
//   BUTTON, TAB_BUTTON, SCROLL_* (arrows, tracks, grips, overlays),
//   ICONEXIT/MAX/MIN/RESTORE, COMBO_BUTTON, HSLIDER_BACK, HSLIDER_GRIP:
//                                           1 x 4, the states
//   VSLIDER_BACK, VSLIDER_GRIP:             4 x 1, the states
//   CHECKBOX, RADIO:                        2 x 4: columns not ticked / ticked,
//                                           rows the states
//   LIST:                                   1 x 8, list item states 0 to 7
//                                           (bit 0 marked, 2-3 focused,
//                                           4-5 selected, 6-7 disabled)
//   MENU_ITEM:                              1 x 7: normal, selected, disabled,
//                                           ticked, ticked selected, submenu,
//                                           submenu selected
//   MENU_BUTTON:                            1 x 2: normal, selected
//   PROGRESSH / PROGRESSV:                  1 x 2 / 2 x 1: track, bar
//   WINTOP, WINBOTTOM, WINGRIP:             1 x 2: focused, not focused
//   WINLEFT, WINRIGHT, WINTEXT:             2 x 1: focused, not focused
//   all others:                             1 x 1
// Window frame pieces are made for the nine-part drawing: the left and right
// edges carry the window's corners in their top and bottom parts.

#include "gui/Skin.h"

class Bitmap;

// Size, middle-tile size and frame grid of a built-in named bitmap. A tile
// size of -1 means a third of the frame.
struct LookSize {
    int w = 0;
    int h = 0;
    int tileW = -1;
    int tileH = -1;
    int cols = 1;
    int rows = 1;
};

// The built-in size of named bitmap `slot` (0 to 45); all zero for any other
// slot.
LookSize builtinBitmapSize(int slot);

// Paints named bitmap `slot` (0 to 45) in the built-in look into `out` (a new
// memory bitmap of the current colour depth at the built-in size, tile size
// set). Unused parts are the mask colour, so every bitmap can be drawn
// masked. A colour that is -1 (none) is replaced by its built-in value.
// False for an unknown slot or when the bitmap cannot be made; `out` is then
// released.
bool paintBuiltinBitmap(int slot, const SkinColors& colors, Bitmap& out);

// Paints the built-in mouse arrow into `out` (a new memory bitmap of the
// current colour depth, one frame): black outline, white body, mask colour
// around it; a solid shape, so a shadow made from the non-mask pixels looks
// right. The focus point is the arrow's tip.
bool paintBuiltinCursor(Bitmap& out, int& focusX, int& focusY);
