// Setting the X window's class through Allegro's X11 platform functions.
// Kept in a file of its own: xalleg.h brings in Xlib, whose names (Window,
// Status, None, ...) would clash with the framework's own.
#include "gui/XWindowClass.h"

#include <allegro.h>

#ifdef ALLEGRO_WITH_XWINDOWS
#include <xalleg.h>
#endif

void setXWindowClass(const char* name, const char* group)
{
#ifdef ALLEGRO_WITH_XWINDOWS
    xwin_set_window_name(name, group);
#else
    (void)name;
    (void)group;
#endif
}
