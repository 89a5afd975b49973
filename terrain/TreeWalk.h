// The one walk over a patch's triangle tree (terrain/Triangle.h), carrying
// the corner positions down: used by refinement and leaf visiting
// (terrain/Patch.cpp), graph marking and connecting (route/Graph.cpp) and
// the model view (app/MapViews.cpp).
#pragma once

#include <cstdint>

// A position on the height map, in samples.
struct GridPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// Corner positions of a triangle as a walk carries them down the tree
// (walkers never read corner coordinates from the vertex records): the
// hypotenuse runs from `left` to `right`, the right angle is at `apex`.
struct Corners {
    GridPoint left;
    GridPoint right;
    GridPoint apex;

    // The midpoint of the hypotenuse, where a split puts the children's apex.
    GridPoint middle() const { return {(left.x + right.x) >> 1, (left.y + right.y) >> 1}; }
    // The corners of the left child (the half holding `left`) ...
    Corners leftHalf() const { return {apex, left, middle()}; }
    // ... and of the right child (the half holding `right`).
    Corners rightHalf() const { return {right, apex, middle()}; }
};

// For walks that need no corners: carries nothing.
struct NoCorners {
    NoCorners leftHalf() const { return {}; }
    NoCorners rightHalf() const { return {}; }
};

// Walks the tree below `triangle` in pre-order: a triangle, its whole left
// subtree, then its whole right subtree. `visit(triangle, corners)` sees each
// triangle before its children and returns whether to go below it; it may
// split the triangle it is given (refinement does), and the walk then goes
// into the new children. `Node` is Triangle or const Triangle; `Place` is
// Corners or NoCorners.
template <class Node, class Place, class Visit>
void walkTree(Node* triangle, Place corners, Visit&& visit)
{
    while (triangle != nullptr) {
        // The triangle itself first; the visitor may stop the walk here.
        if (!visit(*triangle, corners) || triangle->isLeaf())
            return;
        // The left half by recursion, so the depth of the recursion is the
        // number of left turns only ...
        walkTree(triangle->leftChild, corners.leftHalf(), visit);
        // ... and the right half by going round the loop.
        triangle = triangle->rightChild;
        corners = corners.rightHalf();
    }
}

// Calls `visit(leaf, corners)` for every leaf below `triangle`, left to right.
template <class Node, class Visit>
void forEachLeaf(Node* triangle, Corners corners, Visit&& visit)
{
    walkTree(triangle, corners, [&](Node& node, const Corners& place) {
        if (node.isLeaf())
            visit(node, place);
        return true;
    });
}

// Calls `visit(leaf)` for every leaf below `triangle`, left to right.
template <class Node, class Visit>
void forEachLeaf(Node* triangle, Visit&& visit)
{
    walkTree(triangle, NoCorners{}, [&](Node& node, NoCorners) {
        if (node.isLeaf())
            visit(node);
        return true;
    });
}
