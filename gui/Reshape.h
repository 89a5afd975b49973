// The layout helper of the composite widgets (gui/ScrollBar.cpp and
// gui/ListBox.cpp): places and sizes a child only when something changes.
#pragma once

class Widget;

// Gives a child a new place and size relative to its dialog, but only when
// they differ, so that laying out again does not mark anything as moved.
// Negative values count as 0: a place is never counted from the far edge.
void reshape(Widget& w, int x, int y, int width, int height);
