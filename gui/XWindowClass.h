// The X window's class: how a desktop's dock or task list tells which menu
// entry (and icon) a running window belongs to.
#pragma once

// Sets the WM_CLASS of the window Allegro makes: `name` its instance name,
// `group` its class (a desktop entry's StartupWMClass names the class).
// Allegro's X11 port makes the window when Allegro starts, so this must come
// before install_allegro. Does nothing where Allegro has no X11 port.
void setXWindowClass(const char* name, const char* group);
