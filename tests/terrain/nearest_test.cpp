// Tests of the nearest-vertex search of terrain/Patch.cpp and
// terrain/PatchGrid.cpp: ties, patch choice and range ends.
#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "terrain/HeightMap.h"
#include "terrain/PatchGrid.h"
#include "tests/terrain/model_helpers.h"
#include "tests/terrain/test_maps.h"

using namespace testmaps;

namespace {

class TerrainNearest : public ::testing::Test {
protected:
    void TearDown() override { grid.releaseModel(); }

    std::set<const Vertex*> patchVertices(const Patch& patch)
    {
        std::set<const Vertex*> vertices;
        for (const Triangle* leaf : patchLeaves(patch))
            vertices.insert({leaf->left, leaf->right, leaf->apex, leaf->graphVertex});
        vertices.erase(nullptr);
        return vertices;
    }

    TempDir dir;
    HeightMap map;
    PatchGrid grid;
};

TEST_F(TerrainNearest, EquallyNearCandidatesGoToTheFirstOneMet)
{
    ASSERT_TRUE(loadMap(map, dir, 257, flat));
    ASSERT_TRUE(buildTerrain(grid, map, 256, 25));
    const Patch& patch = grid.patchAt(0, 0);

    // (0, 128) is 128 from (0, 0), (0, 256) and the centre. The first leaf
    // met is the origin root's left child, whose apex is the centre vertex of
    // the origin root's split, not the far root's one at the same place.
    Vertex* found = grid.nearestVertex(0, 128);
    EXPECT_EQ(found, patch.originRoot->leftChild->apex);
    EXPECT_NE(found, patch.farRoot->leftChild->apex);
    EXPECT_EQ(at(found), Point(128, 128));

    // (128, 0) ties the same way in the origin root's right child.
    EXPECT_EQ(grid.nearestVertex(128, 0), patch.originRoot->rightChild->apex);
    // (256, 128) lies on the far root's side: (256, 0), (256, 256) and the
    // centre are all 128 away; the far root tree is walked after the origin
    // root tree, whose centre vertex comes first.
    EXPECT_EQ(grid.nearestVertex(256, 128), patch.originRoot->leftChild->apex);
    // A point nearer to one corner than to anything else.
    EXPECT_EQ(at(grid.nearestVertex(250, 3)), Point(256, 0));
    EXPECT_EQ(at(grid.nearestVertex(3, 250)), Point(0, 256));
}

TEST_F(TerrainNearest, OnlyThePatchHoldingThePointIsAsked)
{
    ASSERT_TRUE(loadMap(map, dir, 257, flat));
    ASSERT_TRUE(buildTerrain(grid, map, 16, 25));
    // (17, 1) is nearest to (16, 0); patch (1, 0) answers with its own vertex
    // there, although patch (0, 0) has one at the same point.
    Vertex* found = grid.nearestVertex(17, 1);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(at(found), Point(16, 0));
    EXPECT_EQ(patchVertices(grid.patchAt(1, 0)).count(found), 1u);
    EXPECT_EQ(patchVertices(grid.patchAt(0, 0)).count(found), 0u);

    // (15, 8) lies in patch (0, 0): its nearest vertex there is its own
    // corner (16, 0) or (16, 16) or the centre (8, 8); no vertex of patch
    // (1, 0) is considered.
    found = grid.nearestVertex(15, 8);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(patchVertices(grid.patchAt(0, 0)).count(found), 1u);
}

TEST_F(TerrainNearest, LastSampleRowAndColumnBelongToTheLastPatches)
{
    ASSERT_TRUE(loadMap(map, dir, 257, hills));
    ASSERT_TRUE(buildTerrain(grid, map, 16, 25));
    const Patch& last = grid.patchAt(15, 15);
    Vertex* corner = grid.nearestVertex(256, 256);
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(at(corner), Point(256, 256));
    EXPECT_EQ(patchVertices(last).count(corner), 1u);

    Vertex* edge = grid.nearestVertex(256, 3);
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(patchVertices(grid.patchAt(15, 0)).count(edge), 1u);
    Vertex* bottom = grid.nearestVertex(40, 256);
    ASSERT_NE(bottom, nullptr);
    EXPECT_EQ(patchVertices(grid.patchAt(2, 15)).count(bottom), 1u);

    // Points past the map are answered by the last patch as well, and
    // negative points by nobody.
    EXPECT_EQ(patchVertices(last).count(grid.nearestVertex(1000, 1000)), 1u);
    EXPECT_EQ(grid.nearestVertex(-1, 5), nullptr);
    EXPECT_EQ(grid.nearestVertex(5, -1), nullptr);
}

TEST_F(TerrainNearest, PatchAnswersPointsAtTheEndsOfTheIntegerRange)
{
    ASSERT_TRUE(loadMap(map, dir, 257, flat));
    ASSERT_TRUE(buildTerrain(grid, map, 16, 25));
    const Patch& patch = grid.patchAt(1, 1);
    const std::set<const Vertex*> own = patchVertices(patch);
    // The distances no longer fit a 32-bit subtraction; the answer is still
    // a vertex of this patch.
    const int32_t low = std::numeric_limits<int32_t>::min();
    const int32_t high = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(own.count(patch.nearestVertex(low, low)), 1u);
    EXPECT_EQ(own.count(patch.nearestVertex(high, low)), 1u);
    EXPECT_EQ(own.count(patch.nearestVertex(low, high)), 1u);
    // Nearer points are still measured exactly.
    EXPECT_EQ(at(patch.nearestVertex(-1000, 17)), Point(16, 16));
    EXPECT_EQ(at(patch.nearestVertex(33, 5000)), Point(32, 32));
}

TEST_F(TerrainNearest, EmptyGridHasNoVertex)
{
    EXPECT_EQ(grid.nearestVertex(0, 0), nullptr);
    ASSERT_TRUE(loadMap(map, dir, 257, flat));
    ASSERT_TRUE(buildTerrain(grid, map, 64, 25));
    EXPECT_NE(grid.nearestVertex(10, 10), nullptr);
    grid.releaseModel();
    EXPECT_EQ(grid.nearestVertex(10, 10), nullptr);
}

}  // namespace
