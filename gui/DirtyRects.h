// The list of changed screen areas the screen update copies
// (gui/ScreenUpdate.cpp), kept free of overlaps.
#pragma once

#include <cstddef>
#include <vector>

#include "gui/Geometry.h"

// A list of changed screen areas in which no two rectangles overlap. A new
// rectangle that overlaps a recorded one is cut into the pieces that lie
// outside it, and each piece is recorded the same way, so the screen is
// copied at most once per pixel when the list is flushed.
class DirtyRectList {
public:
    // Records r (or the parts of it not already covered). Rectangles without
    // area are ignored.
    void add(const Rect& r);

    const std::vector<Rect>& rects() const { return list_; }
    std::size_t size() const { return list_.size(); }
    bool empty() const { return list_.empty(); }
    void clear() { list_.clear(); }

    // True when a and b share at least one pixel (touching edges do not count).
    static bool overlaps(const Rect& a, const Rect& b);

private:
    std::vector<Rect> list_;
};
