// The node of a patch's triangle tree, with its neighbour links. Walks over
// the tree are in terrain/TreeWalk.h; splitting is in terrain/Patch.cpp.
#pragma once

#include <cstddef>

class Vertex;

// One node of a patch's binary triangle tree. The triangle is right
// isosceles: `apex` is the right-angle corner and the hypotenuse runs from
// `left` to `right`. Neighbour links are mutual. Triangles come from the
// triangle block pool and are owned by the triangle list (terrain/ModelLists.h);
// destroying one releases nothing but its own block.
class Triangle {
public:
    Triangle() = default;
    virtual ~Triangle() = default;

    Triangle(const Triangle&) = delete;
    Triangle& operator=(const Triangle&) = delete;

    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* block, std::size_t size) noexcept;

    bool isLeaf() const { return leftChild == nullptr; }

    Triangle* baseNeighbour = nullptr;   // across the hypotenuse
    Triangle* leftNeighbour = nullptr;   // across left-apex
    Triangle* rightNeighbour = nullptr;  // across right-apex
    Triangle* rightChild = nullptr;      // half holding this triangle's `right`
    Triangle* leftChild = nullptr;       // half holding this triangle's `left`
    Triangle* parent = nullptr;
    Vertex* graphVertex = nullptr;  // inner vertex of a leaf (set by graph marking)
    Vertex* left = nullptr;
    Vertex* right = nullptr;
    Vertex* apex = nullptr;
};
