// A patch's corner vertices, the forced split of a triangle, the stage-1
// refinement over terrain/TreeWalk.h and the nearest-vertex search.
#include "terrain/Patch.h"

#include <cstdlib>

#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"

namespace {

Triangle* newTriangle()
{
    Triangle* triangle = new Triangle;
    if (triangle != nullptr)
        triangleList().pushFront(triangle);
    return triangle;
}

Vertex* newVertex(const HeightMap& map, int32_t x, int32_t y)
{
    Vertex* vertex = new Vertex;
    if (vertex == nullptr)
        return nullptr;
    vertex->x = x;
    vertex->y = y;
    vertex->height = map.heightAt(x, y);
    vertexList().pushFront(vertex);
    return vertex;
}

// In a triangle that points at `from` through one of its links, the first of
// the links in the given order that does is re-pointed to `to`.
void replaceLink(Triangle* neighbour, Triangle* Triangle::*first, Triangle* Triangle::*second,
                 Triangle* Triangle::*third, const Triangle* from, Triangle* to)
{
    if (neighbour->*first == from)
        neighbour->*first = to;
    else if (neighbour->*second == from)
        neighbour->*second = to;
    else if (neighbour->*third == from)
        neighbour->*third = to;
}

}  // namespace

Patch::Patch()
{
    originRoot = newTriangle();
    farRoot = newTriangle();
}

// The roots belong to the triangle list like every other triangle.
Patch::~Patch() = default;

bool Patch::createCorners()
{
    if (!valid() || grid == nullptr || grid->heightMap() == nullptr)
        return false;
    const HeightMap& map = *grid->heightMap();
    const Corners origin = originCorners();
    const GridPoint far = farCorners().apex;
    originRoot->left = newVertex(map, origin.left.x, origin.left.y);
    originRoot->right = newVertex(map, origin.right.x, origin.right.y);
    originRoot->apex = newVertex(map, origin.apex.x, origin.apex.y);
    farRoot->left = originRoot->right;
    farRoot->right = originRoot->left;
    farRoot->apex = newVertex(map, far.x, far.y);
    return originRoot->left != nullptr && originRoot->right != nullptr && originRoot->apex != nullptr &&
           farRoot->apex != nullptr;
}

void Patch::resetRoots()
{
    if (!valid())
        return;
    for (Triangle* root : {originRoot, farRoot}) {
        root->parent = nullptr;
        root->rightNeighbour = nullptr;
        root->leftNeighbour = nullptr;
        root->baseNeighbour = nullptr;
        root->rightChild = nullptr;
        root->leftChild = nullptr;
    }
    originRoot->baseNeighbour = farRoot;
    farRoot->baseNeighbour = originRoot;
    // The first split splits the whole diamond; the second finds farRoot split.
    splitTriangle(originRoot);
    splitTriangle(farRoot);
}

bool Patch::splitTriangle(Triangle* triangle)
{
    if (triangle == nullptr)
        return false;
    if (!triangle->isLeaf())
        return true;

    // A coarser base neighbour is split first; that re-points our base link
    // to the half of it that shares our hypotenuse.
    Triangle* base = triangle->baseNeighbour;
    if (base != nullptr && base->baseNeighbour != triangle && !splitTriangle(base))
        return false;

    // Take all memory first, so that running out leaves the tree untouched.
    Triangle* left = new Triangle;
    Triangle* right = left != nullptr ? new Triangle : nullptr;
    Vertex* middle = right != nullptr ? new Vertex : nullptr;
    if (middle == nullptr) {
        delete left;
        delete right;
        return false;
    }
    triangle->leftChild = left;
    triangle->rightChild = right;
    triangleList().pushFront(left);
    triangleList().pushFront(right);

    left->parent = triangle;
    right->parent = triangle;
    left->baseNeighbour = triangle->leftNeighbour;
    left->leftNeighbour = right;
    right->baseNeighbour = triangle->rightNeighbour;
    right->rightNeighbour = left;

    if (Triangle* neighbour = triangle->leftNeighbour)
        replaceLink(neighbour, &Triangle::baseNeighbour, &Triangle::leftNeighbour, &Triangle::rightNeighbour,
                    triangle, left);
    if (Triangle* neighbour = triangle->rightNeighbour)
        replaceLink(neighbour, &Triangle::baseNeighbour, &Triangle::rightNeighbour, &Triangle::leftNeighbour,
                    triangle, right);

    base = triangle->baseNeighbour;
    if (base != nullptr) {
        if (!base->isLeaf()) {
            base->leftChild->rightNeighbour = right;
            base->rightChild->leftNeighbour = left;
            left->rightNeighbour = base->rightChild;
            right->leftNeighbour = base->leftChild;
        } else {
            // The other half of the diamond; its split links both pairs.
            splitTriangle(base);
        }
    }

    left->left = triangle->apex;
    left->right = triangle->left;
    right->left = triangle->right;
    right->right = triangle->apex;

    // Each half of a diamond gets its own midpoint vertex.
    middle->x = (triangle->right->x + triangle->left->x) >> 1;
    middle->y = (triangle->right->y + triangle->left->y) >> 1;
    middle->height = grid->heightMap()->heightAt(middle->x, middle->y);
    vertexList().pushFront(middle);
    left->apex = middle;
    right->apex = middle;
    return true;
}

void Patch::refine(Triangle* triangle, Corners corners, int32_t threshold)
{
    const HeightMap& map = *grid->heightMap();
    walkTree(triangle, corners, [&](Triangle& node, const Corners& c) {
        // How far the height at the hypotenuse midpoint lies from the mean
        // of the heights at its ends; close enough ends the refinement here.
        const GridPoint middle = c.middle();
        const int32_t hMiddle = map.heightAt(middle.x, middle.y);
        const int32_t hLeft = map.heightAt(c.left.x, c.left.y);
        const int32_t hRight = map.heightAt(c.right.x, c.right.y);
        const int32_t deviation = std::abs(((hLeft + hRight) >> 1) - hMiddle);
        if (deviation <= threshold)
            return false;
        // Too far: split (forcing coarser neighbours to split first); without
        // memory the triangle stays a leaf.
        if (!splitTriangle(&node))
            return false;
        // Children of a hypotenuse shorter than 3 samples on both axes are never tested.
        if (std::abs(c.left.x - c.right.x) < 3 && std::abs(c.left.y - c.right.y) < 3)
            return false;
        // Otherwise both children are tested in turn, left first.
        return true;
    });
}

void Patch::buildModel(int32_t threshold)
{
    if (!valid() || originRoot->isLeaf() || farRoot->isLeaf())
        return;
    const GridPoint centre{originX + size / 2, originY + size / 2};
    const GridPoint corner00{originX, originY};
    const GridPoint corner01{originX, originY + size};
    const GridPoint corner10{originX + size, originY};
    const GridPoint corner11{originX + size, originY + size};
    refine(originRoot->leftChild, {corner00, corner01, centre}, threshold);
    refine(originRoot->rightChild, {corner10, corner00, centre}, threshold);
    refine(farRoot->leftChild, {corner11, corner10, centre}, threshold);
    refine(farRoot->rightChild, {corner01, corner11, centre}, threshold);
}

Vertex* Patch::nearestVertex(int32_t px, int32_t py) const
{
    float bestDistance = -1.0f;
    Vertex* bestVertex = nullptr;
    auto consider = [&](Vertex* candidate) {
        if (candidate == nullptr)
            return;
        // Squared in double: exact for points on the map, and no overflow
        // for points far off it.
        const double dx = static_cast<double>(candidate->x) - px;
        const double dy = static_cast<double>(candidate->y) - py;
        const float distance = static_cast<float>(dx * dx + dy * dy);
        if (bestDistance < 0.0f || distance < bestDistance) {
            bestDistance = distance;
            bestVertex = candidate;
        }
    };
    auto visit = [&](const Triangle& leaf) {
        consider(leaf.apex);
        consider(leaf.left);
        consider(leaf.right);
        consider(leaf.graphVertex);
    };
    forEachLeaf(originRoot, visit);
    forEachLeaf(farRoot, visit);
    return bestVertex;
}
