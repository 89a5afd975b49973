// Helpers of the terrain and route tests: building stage 1 alone, collecting
// leaves and checking the mesh. Test maps are tests/terrain/test_maps.h.
#pragma once

// Walks and checks over a built terrain model, shared by the model tests.

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <utility>
#include <vector>

#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/Patch.h"
#include "terrain/PatchGrid.h"
#include "terrain/Triangle.h"
#include "terrain/Vertex.h"

namespace testmaps {

// Stage 1 only: what the terrain library does on its own.
inline ::testing::AssertionResult buildTerrain(PatchGrid& grid, const HeightMap& map, int32_t patchSize,
                                               int32_t threshold, BuildProgress* progress = nullptr)
{
    grid.releaseModel();
    if (!grid.setup(map, patchSize))
        return ::testing::AssertionFailure() << "setup refused";
    if (!grid.createPatches())
        return ::testing::AssertionFailure() << "createPatches failed";
    grid.prepareModel();
    grid.buildModel(threshold, progress);
    return ::testing::AssertionSuccess();
}

inline void collectLeaves(Triangle* triangle, std::vector<Triangle*>& leaves)
{
    if (triangle == nullptr)
        return;
    if (triangle->isLeaf()) {
        leaves.push_back(triangle);
        return;
    }
    collectLeaves(triangle->leftChild, leaves);
    collectLeaves(triangle->rightChild, leaves);
}

inline std::vector<Triangle*> patchLeaves(const Patch& patch)
{
    std::vector<Triangle*> leaves;
    collectLeaves(patch.originRoot, leaves);
    collectLeaves(patch.farRoot, leaves);
    return leaves;
}

inline std::vector<Triangle*> gridLeaves(PatchGrid& grid)
{
    std::vector<Triangle*> leaves;
    for (int32_t i = 0; i < grid.columns(); ++i)
        for (int32_t j = 0; j < grid.rows(); ++j) {
            const std::vector<Triangle*> more = patchLeaves(grid.patchAt(i, j));
            leaves.insert(leaves.end(), more.begin(), more.end());
        }
    return leaves;
}

using Point = std::pair<int32_t, int32_t>;

inline Point at(const Vertex* v)
{
    return {v->x, v->y};
}

// The three sides of a triangle as corner pairs: hypotenuse (across the base
// neighbour), left-apex (left neighbour), right-apex (right neighbour).
inline std::array<std::pair<Point, Point>, 3> sides(const Triangle& t)
{
    return {{{at(t.left), at(t.right)}, {at(t.left), at(t.apex)}, {at(t.right), at(t.apex)}}};
}

inline bool sameSide(const std::pair<Point, Point>& a, const std::pair<Point, Point>& b)
{
    return (a.first == b.first && a.second == b.second) || (a.first == b.second && a.second == b.first);
}

// Checks that the leaves form a conforming mesh: no leaf corner lies strictly
// inside a side of any leaf, every neighbour link of a leaf leads to a leaf
// that shares that whole side and links back.
inline ::testing::AssertionResult conforming(const std::vector<Triangle*>& leaves)
{
    std::set<Point> corners;
    for (const Triangle* leaf : leaves)
        for (const Vertex* v : {leaf->left, leaf->right, leaf->apex})
            corners.insert(at(v));
    for (const Triangle* leaf : leaves) {
        for (const auto& [p, q] : sides(*leaf)) {
            const int32_t dx = q.first - p.first;
            const int32_t dy = q.second - p.second;
            const int32_t steps = std::max(std::abs(dx), std::abs(dy));
            if (dx != 0 && dy != 0 && std::abs(dx) != std::abs(dy))
                return ::testing::AssertionFailure() << "side neither straight nor diagonal";
            for (int32_t k = 1; k < steps; ++k) {
                const Point inside{p.first + dx / steps * k, p.second + dy / steps * k};
                if (corners.count(inside) != 0)
                    return ::testing::AssertionFailure()
                           << "corner (" << inside.first << ", " << inside.second << ") inside a side from ("
                           << p.first << ", " << p.second << ") to (" << q.first << ", " << q.second << ")";
            }
        }
        const std::array<Triangle*, 3> links{leaf->baseNeighbour, leaf->leftNeighbour, leaf->rightNeighbour};
        for (int side = 0; side < 3; ++side) {
            const Triangle* n = links[side];
            if (n == nullptr)
                continue;
            if (!n->isLeaf())
                return ::testing::AssertionFailure() << "a leaf links to a split triangle";
            if (n->baseNeighbour != leaf && n->leftNeighbour != leaf && n->rightNeighbour != leaf)
                return ::testing::AssertionFailure() << "a neighbour link is not mutual";
            bool shared = false;
            for (const auto& other : sides(*n))
                shared = shared || sameSide(sides(*leaf)[side], other);
            if (!shared)
                return ::testing::AssertionFailure() << "neighbours do not share the linked side";
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace testmaps
