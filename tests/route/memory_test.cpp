// Tests of the build when the block pools run out part of the way (model
// and graph must stay usable).
#include <gtest/gtest.h>

#include "route/Graph.h"
#include "route/ModelBuild.h"
#include "route/ModelSearch.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"
#include "tests/terrain/model_helpers.h"
#include "tests/terrain/test_maps.h"

using namespace testmaps;

namespace {

// Builds with pools that run dry part of the way: the build must finish
// with what it got, and everything built must stay usable.
class RouteOutOfMemory : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(loadMap(map, dir, 257, [](int32_t x, int32_t y) {
            return static_cast<uint16_t>((x + 2 * y) / 7 + ((x * x + y * y) % 89 < 4 ? 1 : 0));
        }));
    }
    void TearDown() override
    {
        trianglePool().unlimitHeapBlocks();
        vertexPool().unlimitHeapBlocks();
        grid.releaseModel();
        edgeList().clear();
    }

    // Empties both pools' caches so that every block comes from the heap.
    void startDry()
    {
        grid.releaseModel();
        trianglePool().trim();
        vertexPool().trim();
    }

    void expectUsable(bool routeExpected)
    {
        for (const Vertex* v : vertexList())
            for (const Edge& edge : v->edges) {
                ASSERT_EQ(edge.from, v);
                ASSERT_EQ(edge.weight, map.segmentCost(*v, *edge.to));
            }
        Vertex* start = grid.nearestVertex(3, 3);
        Vertex* target = grid.nearestVertex(250, 240);
        ASSERT_NE(start, nullptr);
        ASSERT_NE(target, nullptr);
        const float length = modelSearch().search(start, target).length;
        if (routeExpected) {
            EXPECT_GT(length, 0.0f);
        }
        if (length > 0.0f) {
            EXPECT_EQ(target->cost, length);
        } else {
            EXPECT_EQ(target->previous, nullptr);
        }
    }

    TempDir dir;
    HeightMap map;
    PatchGrid grid;
};

TEST_F(RouteOutOfMemory, TrianglesRunOutDuringRefinement)
{
    ASSERT_TRUE(buildModelAndGraph(grid, map, 16, 0));
    const std::size_t full = triangleList().size();
    ASSERT_GT(full, 4000u);

    startDry();
    trianglePool().limitHeapBlocks(2000);
    ASSERT_TRUE(buildModelAndGraph(grid, map, 16, 0));
    EXPECT_EQ(triangleList().size(), 2000u);
    // Every leaf still got its inner vertex.
    for (const Triangle* leaf : gridLeaves(grid))
        EXPECT_NE(leaf->graphVertex, nullptr);
    expectUsable(true);
}

TEST_F(RouteOutOfMemory, InnerVerticesRunOut)
{
    ASSERT_TRUE(buildTerrain(grid, map, 32, 1));
    const std::size_t cornersAndMidpoints = vertexList().size();

    startDry();
    vertexPool().limitHeapBlocks(cornersAndMidpoints + 25);
    ASSERT_TRUE(buildModelAndGraph(grid, map, 32, 1));
    std::size_t marked = 0;
    for (const Triangle* leaf : gridLeaves(grid))
        marked += leaf->graphVertex != nullptr ? 1 : 0;
    EXPECT_EQ(marked, 25u);
    EXPECT_EQ(vertexList().size(), cornersAndMidpoints + 25);
    // Without inner vertices the graph is mostly the long triangle sides,
    // which the bumps may well block.
    expectUsable(false);
}

TEST_F(RouteOutOfMemory, NoRootsNoModel)
{
    startDry();
    trianglePool().limitHeapBlocks(100);  // 16 x 16 patches need 512 roots
    EXPECT_FALSE(buildModelAndGraph(grid, map, 16, 25));
    EXPECT_TRUE(grid.empty());
    EXPECT_EQ(triangleList().size(), 0u);
    EXPECT_EQ(vertexList().size(), 0u);
    EXPECT_EQ(grid.nearestVertex(5, 5), nullptr);

    // With memory back, the same build succeeds.
    trianglePool().unlimitHeapBlocks();
    EXPECT_TRUE(buildModelAndGraph(grid, map, 16, 25));
    EXPECT_FALSE(grid.empty());
}

}  // namespace
