// The widget flags and message numbers every widget (gui/Widget.h) and
// dialog (gui/Dialog.h) exchanges.
#pragma once

#include <cstdint>

// Allegro's own GUI header defines many of these names as macros (some with
// other values, e.g. its MSG_WANTMOUSE is 24). Pull it in here once, so its
// include guard is set, and drop its macros in favour of the constants below.
#include <allegro.h>
#undef D_EXIT
#undef D_SELECTED
#undef D_GOTFOCUS
#undef D_GOTMOUSE
#undef D_HIDDEN
#undef D_DISABLED
#undef D_DIRTY
#undef D_MOVED
#undef D_RESIZED
#undef D_SKINCHANGED
#undef D_ANIMATING
#undef D_DIALOG
#undef D_WINDOW
#undef D_PRESSED
#undef D_MOVABLE
#undef D_RESIZABLE
#undef D_MODAL
#undef MSG_START
#undef MSG_END
#undef MSG_DRAW
#undef MSG_CLICK
#undef MSG_DCLICK
#undef MSG_KEY
#undef MSG_CHAR
#undef MSG_UCHAR
#undef MSG_XCHAR
#undef MSG_WANTFOCUS
#undef MSG_GOTFOCUS
#undef MSG_LOSTFOCUS
#undef MSG_GOTMOUSE
#undef MSG_LOSTMOUSE
#undef MSG_IDLE
#undef MSG_RADIO
#undef MSG_WHEEL
#undef MSG_LPRESS
#undef MSG_LRELEASE
#undef MSG_MPRESS
#undef MSG_MRELEASE
#undef MSG_RPRESS
#undef MSG_RRELEASE
#undef MSG_TIMER
#undef MSG_TICK
#undef MSG_SKINCHANGED
#undef MSG_ACTIVATE
#undef MSG_SCROLL
#undef MSG_MOVE
#undef MSG_RESIZE
#undef MSG_SHAPE
#undef MSG_MOUSEMOVE
#undef MSG_CLOSE
#undef MSG_WANTMOUSE
#undef MSG_WANTTAB
#undef D_O_K
#undef D_CLOSE
#undef D_REDRAW
#undef D_REDRAWME
#undef D_WANTFOCUS
#undef D_USED_CHAR

// Widget state flags. The first seven have the values of Allegro's own
// dialog flags of the same names; bits 0x10000 and 0x20000 belong to the
// button family.
enum : std::uint32_t {
    D_EXIT        = 0x1,
    D_SELECTED    = 0x2,
    D_GOTFOCUS    = 0x4,
    D_GOTMOUSE    = 0x8,
    D_HIDDEN      = 0x10,
    D_DISABLED    = 0x20,
    D_DIRTY       = 0x40,
    D_MOVED       = 0x100,
    D_RESIZED     = 0x200,
    D_SKINCHANGED = 0x400,
    D_ANIMATING   = 0x800,
    D_DIALOG      = 0x1000,
    D_WINDOW      = 0x2000,
    D_PRESSED     = 0x4000,
    D_MOVABLE     = 0x40000,
    D_RESIZABLE   = 0x80000,
    D_MODAL       = 0x100000,
};

// Messages. Numbers 1 to 23 are Allegro's dialog message numbers; 28 is not
// assigned.
enum : int {
    MSG_START       = 1,
    MSG_END         = 2,
    MSG_DRAW        = 3,
    MSG_CLICK       = 4,
    MSG_DCLICK      = 5,
    MSG_KEY         = 6,
    MSG_CHAR        = 7,
    MSG_UCHAR       = 8,
    MSG_XCHAR       = 9,
    MSG_WANTFOCUS   = 10,
    MSG_GOTFOCUS    = 11,
    MSG_LOSTFOCUS   = 12,
    MSG_GOTMOUSE    = 13,
    MSG_LOSTMOUSE   = 14,
    MSG_IDLE        = 15,
    MSG_RADIO       = 16,
    MSG_WHEEL       = 17,
    MSG_LPRESS      = 18,
    MSG_LRELEASE    = 19,
    MSG_MPRESS      = 20,
    MSG_MRELEASE    = 21,
    MSG_RPRESS      = 22,
    MSG_RRELEASE    = 23,
    MSG_TIMER       = 24,
    MSG_TICK        = 25,
    MSG_SKINCHANGED = 26,
    MSG_ACTIVATE    = 27,
    MSG_SCROLL      = 29,
    MSG_MOVE        = 30,
    MSG_RESIZE      = 31,
    MSG_SHAPE       = 32,
    MSG_MOUSEMOVE   = 33,
    MSG_CLOSE       = 34,
    MSG_WANTMOUSE   = 35,
    MSG_WANTTAB     = 36,
};

// Result codes of Widget::sendMessage (Allegro's values where they exist).
enum : int {
    D_O_K         = 0,
    D_CLOSE       = 1,
    D_REDRAW      = 2,
    D_REDRAWME    = 4,
    D_WANTFOCUS   = 8,
    D_USED_CHAR   = 16,
};
