// The layout helper declared in gui/Reshape.h.
#include "gui/Reshape.h"

#include <algorithm>

#include "gui/Widget.h"

void reshape(Widget& w, int x, int y, int width, int height)
{
    x = std::max(0, x);
    y = std::max(0, y);
    width = std::max(0, width);
    height = std::max(0, height);
    if (w.w() != width || w.h() != height)
        w.resize(width, height);
    if (w.relativePos() != Point(x, y))
        w.place(x, y);
}
