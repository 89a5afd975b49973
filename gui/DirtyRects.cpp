// Adding a rectangle to the dirty list: the parts of it outside every
// recorded rectangle are recorded, each piece in turn.
#include "gui/DirtyRects.h"

#include <algorithm>

bool DirtyRectList::overlaps(const Rect& q, const Rect& r)
{
    // q's top-left corner lies above and left of r's bottom-right corner, and
    // q's bottom-right corner lies below and right of r's top-left corner.
    return q.x < r.x + r.w && q.y < r.y + r.h && q.x + q.w > r.x && q.y + q.h > r.y;
}

namespace {

bool cornerInside(const Rect& q, int px, int py)
{
    return px >= q.x && px <= q.x + q.w && py >= q.y && py <= q.y + q.h;
}

} // namespace

void DirtyRectList::add(const Rect& r)
{
    if (r.w <= 0 || r.h <= 0)
        return;

    auto hit = std::find_if(list_.begin(), list_.end(),
                            [&r](const Rect& q) { return overlaps(q, r); });
    if (hit == list_.end()) {
        list_.push_back(r);
        return;
    }
    const Rect q = *hit; // copy: the recursive adds may grow the vector

    const int rx2 = r.x + r.w;
    const int ry2 = r.y + r.h;
    const int qx2 = q.x + q.w;
    const int qy2 = q.y + q.h;

    int corners = 0;
    if (cornerInside(q, r.x, r.y)) corners |= 1;
    if (cornerInside(q, rx2, r.y)) corners |= 2;
    if (cornerInside(q, r.x, ry2)) corners |= 4;
    if (cornerInside(q, rx2, ry2)) corners |= 8;

    auto piece = [this](int x1, int y1, int x2, int y2) {
        add(Rect{x1, y1, x2 - x1, y2 - y1});
    };
    auto above = [&] { piece(r.x, r.y, rx2, q.y); };
    auto below = [&] { piece(r.x, qy2, rx2, ry2); };

    switch (corners) {
    case 0: {
        // q crosses r or lies inside it: up to four pieces around q.
        const int top = std::max(r.y, q.y);
        const int bottom = std::min(ry2, qy2);
        if (r.y < q.y) above();
        if (r.x < q.x) piece(r.x, top, q.x, bottom);
        if (qx2 < rx2) piece(qx2, top, rx2, bottom);
        if (qy2 < ry2) below();
        break;
    }
    case 1:
        piece(qx2, r.y, rx2, qy2);
        below();
        break;
    case 2:
        piece(r.x, r.y, q.x, qy2);
        below();
        break;
    case 3:
        below();
        break;
    case 4:
        above();
        piece(qx2, q.y, rx2, ry2);
        break;
    case 5:
        piece(qx2, r.y, rx2, ry2);
        break;
    case 8:
        above();
        piece(r.x, q.y, q.x, ry2);
        break;
    case 10:
        piece(r.x, r.y, q.x, ry2);
        break;
    case 12:
        above();
        break;
    default:
        // r lies wholly inside q: already covered.
        break;
    }
}
