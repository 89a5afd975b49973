// One square patch and its two root triangles: corners, splitting and the
// stage-1 refinement. The grid of patches is terrain/PatchGrid.h.
#pragma once

#include <cstdint>

#include "terrain/TreeWalk.h"

class PatchGrid;
class Triangle;
class Vertex;

// One square patch of the height map, approximated by a binary triangle tree
// under two right isosceles roots that share the patch diagonal:
//   originRoot: apex (x0, y0),         left (x0, y0 + s), right (x0 + s, y0)
//   farRoot:    apex (x0 + s, y0 + s), left (x0 + s, y0), right (x0, y0 + s)
// The roots (like every triangle) are owned by the triangle list, not by the
// patch.
class Patch {
public:
    // Allocates the two bare roots and puts them in the triangle list
    // (originRoot first). A root that cannot be allocated stays null; see valid().
    Patch();
    virtual ~Patch();

    Patch(const Patch&) = delete;
    Patch& operator=(const Patch&) = delete;

    bool valid() const { return originRoot != nullptr && farRoot != nullptr; }

    // Creates the four corner vertices (each with its height sample), needs
    // `grid`, `size`, `originX`, `originY` set. False when memory ran out.
    bool createCorners();
    // Clears both roots, makes them each other's base neighbour and splits
    // them, leaving four leaves whose hypotenuses lie on the patch's edges.
    void resetRoots();
    // Stage 1: refines the four leaves left by resetRoots against the threshold.
    void buildModel(int32_t threshold);
    // The corner or inner vertex of a leaf of this patch nearest to (px, py);
    // among equally near candidates the first one met wins (originRoot tree
    // before farRoot tree, left subtree first, then apex, left, right,
    // graphVertex of a leaf). Null when the patch has no vertex.
    Vertex* nearestVertex(int32_t px, int32_t py) const;

    // Bisects `triangle` at the midpoint of its hypotenuse, first splitting a
    // coarser base neighbour if needed (forced split). True when the triangle
    // has children afterwards (false only when memory ran out).
    bool splitTriangle(Triangle* triangle);
    // The stage-1 test and split loop on `triangle` with the given corners.
    void refine(Triangle* triangle, Corners corners, int32_t threshold);

    // Corner positions of the two roots, as walkers enter them.
    Corners originCorners() const
    {
        return {{originX, originY + size}, {originX + size, originY}, {originX, originY}};
    }
    Corners farCorners() const
    {
        return {{originX + size, originY}, {originX, originY + size}, {originX + size, originY + size}};
    }

    int32_t size = 0;
    int32_t originX = 0;
    int32_t originY = 0;
    PatchGrid* grid = nullptr;
    Triangle* originRoot = nullptr;
    Triangle* farRoot = nullptr;
};
