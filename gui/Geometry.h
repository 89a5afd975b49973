// Point and Rect, the plain geometry every widget (gui/Widget.h) is placed
// and sized with.
#pragma once

#include <cstdint>

// Plain screen geometry: a point and a rectangle in signed 32-bit pixels.

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;

    constexpr Point() = default;
    constexpr Point(std::int32_t px, std::int32_t py) : x(px), y(py) {}

    constexpr bool operator==(const Point&) const = default;
    constexpr Point operator+(Point o) const { return {x + o.x, y + o.y}; }
    constexpr Point operator-(Point o) const { return {x - o.x, y - o.y}; }
};

struct Rect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;

    constexpr Rect() = default;
    constexpr Rect(std::int32_t px, std::int32_t py, std::int32_t pw, std::int32_t ph)
        : x(px), y(py), w(pw), h(ph) {}
    constexpr Rect(Point pos, Point size) : x(pos.x), y(pos.y), w(size.x), h(size.y) {}

    constexpr bool operator==(const Rect&) const = default;

    constexpr Point pos() const { return {x, y}; }
    constexpr Point size() const { return {w, h}; }
    constexpr std::int32_t x2() const { return x + w; }
    constexpr std::int32_t y2() const { return y + h; }

    // Strictly inside: the edges themselves do not count.
    constexpr bool containsStrict(Point p) const {
        return p.x > x && p.x < x + w && p.y > y && p.y < y + h;
    }
    constexpr bool containsStrict(std::int32_t px, std::int32_t py) const {
        return containsStrict(Point(px, py));
    }

    // On or inside: both the left/top and the right/bottom edge (x + w, y + h)
    // count. This is the test used for mouse hits.
    constexpr bool contains(Point p) const {
        return p.x >= x && p.x <= x + w && p.y >= y && p.y <= y + h;
    }
    constexpr bool contains(std::int32_t px, std::int32_t py) const {
        return contains(Point(px, py));
    }

    // True when the two rectangles share at least one pixel (w and h are
    // taken as pixel counts here; empty rectangles intersect nothing).
    constexpr bool intersects(const Rect& o) const {
        return w > 0 && h > 0 && o.w > 0 && o.h > 0 &&
               x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
    }
};
