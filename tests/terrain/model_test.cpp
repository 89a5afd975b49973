// Tests of the stage-1 model (terrain/Patch.cpp, terrain/PatchGrid.cpp):
// refinement, forced splits, shared corners, lists and block pools.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>

#include "terrain/BlockPool.h"
#include "app/ProgressTexts.h"
#include "terrain/BuildProgress.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"
#include "tests/terrain/model_helpers.h"
#include "tests/terrain/test_maps.h"

using namespace testmaps;

namespace {

class TerrainModel : public ::testing::Test {
protected:
    void TearDown() override { grid.releaseModel(); }

    void load(int32_t side, const HeightFunction& height) { ASSERT_TRUE(loadMap(map, dir, side, height)); }

    int32_t verticesAt(int32_t x, int32_t y) const
    {
        return static_cast<int32_t>(std::count_if(vertexList().begin(), vertexList().end(),
                                                  [&](const Vertex* v) { return v->x == x && v->y == y; }));
    }

    TempDir dir;
    HeightMap map;
    PatchGrid grid;
};

TEST_F(TerrainModel, FlatPatchKeepsItsFourLeaves)
{
    load(257, flat);
    ASSERT_TRUE(buildTerrain(grid, map, 256, 25));
    EXPECT_EQ(grid.columns(), 1);
    EXPECT_EQ(grid.rows(), 1);
    EXPECT_EQ(triangleList().size(), 6u);
    EXPECT_EQ(vertexList().size(), 6u);
    const std::vector<Triangle*> leaves = patchLeaves(grid.patchAt(0, 0));
    ASSERT_EQ(leaves.size(), 4u);
    for (const Triangle* leaf : leaves) {
        EXPECT_EQ(leaf->baseNeighbour, nullptr);
        EXPECT_EQ(at(leaf->apex), Point(128, 128));
    }
    // The centre has one vertex object from each root's split.
    EXPECT_EQ(verticesAt(128, 128), 2);
    EXPECT_TRUE(conforming(leaves));
}

TEST_F(TerrainModel, BorderBumpSplitsOneLeafOnce)
{
    load(257, [](int32_t x, int32_t y) -> uint16_t { return x == 0 && y == 8 ? 30 : 0; });
    ASSERT_TRUE(buildTerrain(grid, map, 16, 25));
    ASSERT_EQ(grid.columns(), 16);
    const std::vector<Triangle*> leaves = patchLeaves(grid.patchAt(0, 0));
    EXPECT_EQ(leaves.size(), 5u);
    EXPECT_EQ(triangleList().size(), 6u * 256 + 2);
    EXPECT_EQ(vertexList().size(), 6u * 256 + 1);
    ASSERT_EQ(verticesAt(0, 8), 1);
    EXPECT_EQ(vertexList().front()->height, 30);
    EXPECT_EQ(at(vertexList().front()), Point(0, 8));
    EXPECT_TRUE(conforming(gridLeaves(grid)));
}

TEST_F(TerrainModel, DeviationIsMeasuredOnTheHypotenuseOnly)
{
    // A plane: every midpoint lies on the line, nothing splits even at 0.
    load(257, [](int32_t x, int32_t) { return static_cast<uint16_t>(x); });
    ASSERT_TRUE(buildTerrain(grid, map, 32, 0));
    EXPECT_EQ(triangleList().size(), 6u * 64);

    // A peak in the middle of a patch is not seen by the border hypotenuses.
    load(257, [](int32_t x, int32_t y) -> uint16_t { return x == 8 && y == 8 ? 40 : 0; });
    ASSERT_TRUE(buildTerrain(grid, map, 16, 25));
    EXPECT_EQ(triangleList().size(), 6u * 256);
}

TEST_F(TerrainModel, AverageOfTheEndsIsRoundedDown)
{
    auto edge = [](uint16_t middle) {
        return [middle](int32_t x, int32_t y) -> uint16_t {
            if (x == 0 && y == 256)
                return 11;
            if (x == 0 && y == 128)
                return middle;
            return 10;
        };
    };
    load(257, edge(10));
    ASSERT_TRUE(buildTerrain(grid, map, 256, 0));
    EXPECT_EQ(triangleList().size(), 6u);

    load(257, edge(11));
    ASSERT_TRUE(buildTerrain(grid, map, 256, 1));
    EXPECT_EQ(triangleList().size(), 6u);
    ASSERT_TRUE(buildTerrain(grid, map, 256, 0));
    EXPECT_EQ(triangleList().size(), 8u);
    EXPECT_EQ(vertexList().size(), 7u);
    EXPECT_EQ(verticesAt(0, 128), 1);
}

TEST_F(TerrainModel, SplitOnAPatchBorderSplitsBothSides)
{
    load(257, [](int32_t x, int32_t y) -> uint16_t { return x == 16 && y == 8 ? 40 : 0; });
    ASSERT_TRUE(buildTerrain(grid, map, 16, 25));
    EXPECT_FALSE(grid.patchAt(0, 0).farRoot->leftChild->isLeaf());
    EXPECT_FALSE(grid.patchAt(1, 0).originRoot->leftChild->isLeaf());
    EXPECT_EQ(grid.patchAt(0, 0).farRoot->leftChild->baseNeighbour, grid.patchAt(1, 0).originRoot->leftChild);
    // Each half of the diamond made its own midpoint vertex.
    EXPECT_EQ(verticesAt(16, 8), 2);
    EXPECT_EQ(triangleList().size(), 6u * 256 + 4);
    EXPECT_TRUE(conforming(gridLeaves(grid)));
}

TEST_F(TerrainModel, GradedRefinementForcesCoarserNeighboursToSplit)
{
    // The curvature grows with x, so the triangles get finer to the right and
    // every fine triangle next to a coarser one forces that one to split,
    // across patch borders too.
    load(257, [](int32_t x, int32_t) { return static_cast<uint16_t>(x * x * x / 12288); });
    ASSERT_TRUE(buildTerrain(grid, map, 32, 0));
    const std::vector<Triangle*> leaves = gridLeaves(grid);
    int32_t finest = 1000;
    int32_t coarsest = 0;
    for (const Triangle* leaf : leaves) {
        const int32_t span = std::max(std::abs(leaf->left->x - leaf->right->x), std::abs(leaf->left->y - leaf->right->y));
        finest = std::min(finest, span);
        coarsest = std::max(coarsest, span);
    }
    EXPECT_EQ(finest, 2);  // hypotenuses shorter than 3 samples are not tested further
    EXPECT_GE(coarsest, 4 * finest);
    EXPECT_TRUE(conforming(leaves));
}

TEST_F(TerrainModel, RoughTerrainGivesAConformingMesh)
{
    load(257, hills);
    for (int32_t patchSize : {16, 64, 256}) {
        for (int32_t threshold : {0, 2, 10}) {
            SCOPED_TRACE(std::to_string(patchSize) + " " + std::to_string(threshold));
            ASSERT_TRUE(buildTerrain(grid, map, patchSize, threshold));
            const std::vector<Triangle*> leaves = gridLeaves(grid);
            EXPECT_TRUE(conforming(leaves));
            // Two triangles per split, every split below the roots makes one
            // leaf more and one midpoint vertex.
            const std::size_t patches = static_cast<std::size_t>(grid.columns()) * grid.rows();
            EXPECT_EQ(triangleList().size(), 2 * patches + 2 * (leaves.size() - 2 * patches));
            EXPECT_EQ(vertexList().size(), 4 * patches + (triangleList().size() - 2 * patches) / 2);
            for (const Vertex* v : vertexList())
                ASSERT_EQ(v->height, map.heightAt(v->x, v->y));
        }
    }
}

TEST_F(TerrainModel, PatchesShareTheirCornersAcrossBorders)
{
    load(257, hills);
    ASSERT_TRUE(buildTerrain(grid, map, 64, 25));
    ASSERT_EQ(grid.columns(), 4);
    for (int32_t i = 0; i < 4; ++i) {
        for (int32_t j = 0; j < 4; ++j) {
            const Patch& patch = grid.patchAt(i, j);
            EXPECT_EQ(patch.originX, i * 64);
            EXPECT_EQ(patch.originY, j * 64);
            EXPECT_EQ(at(patch.originRoot->left), Point(i * 64, j * 64 + 64));
            EXPECT_EQ(at(patch.originRoot->right), Point(i * 64 + 64, j * 64));
            EXPECT_EQ(at(patch.originRoot->apex), Point(i * 64, j * 64));
            if (i > 0) {
                EXPECT_EQ(patch.originRoot->left, grid.patchAt(i - 1, j).farRoot->apex);
            }
            if (j > 0) {
                EXPECT_EQ(patch.originRoot->right, grid.patchAt(i, j - 1).farRoot->apex);
            }
            if (i > 0 && j > 0) {
                EXPECT_EQ(patch.originRoot->apex, grid.patchAt(i - 1, j - 1).farRoot->apex);
            }
            // The leaves keep the patch's own corners.
            EXPECT_EQ(patch.originRoot->leftChild->right, patch.farRoot->rightChild->left);
            if (i > 0 && j > 0) {
                EXPECT_NE(patch.originRoot->leftChild->left, patch.originRoot->apex);
            }
            EXPECT_EQ(patch.farRoot->left, patch.originRoot->rightChild->left);
            // Border leaves form diamonds with the neighbours' leaves.
            const Triangle* leftEdge = patch.originRoot->leftChild;
            EXPECT_EQ(leftEdge->baseNeighbour, i > 0 ? grid.patchAt(i - 1, j).farRoot->leftChild : nullptr);
            const Triangle* bottomEdge = patch.farRoot->rightChild;
            EXPECT_EQ(bottomEdge->baseNeighbour, j < 3 ? grid.patchAt(i, j + 1).originRoot->rightChild : nullptr);
        }
    }
    // Corner vertices carry the sample at their position.
    EXPECT_EQ(grid.patchAt(2, 1).farRoot->apex->height, map.heightAt(192, 128));
    EXPECT_EQ(grid.patchAt(0, 0).originRoot->apex->height, map.heightAt(0, 0));
}

TEST_F(TerrainModel, ListsRunFromTheNewest)
{
    load(257, flat);
    ASSERT_TRUE(grid.setup(map, 256));
    ASSERT_TRUE(grid.createPatches());
    const Patch& patch = grid.patchAt(0, 0);
    ASSERT_EQ(triangleList().size(), 2u);
    EXPECT_EQ(triangleList()[0], patch.farRoot);
    EXPECT_EQ(triangleList()[1], patch.originRoot);
    ASSERT_EQ(vertexList().size(), 4u);
    EXPECT_EQ(vertexList()[0], patch.farRoot->apex);
    EXPECT_EQ(vertexList()[1], patch.originRoot->apex);
    EXPECT_EQ(vertexList()[3], patch.originRoot->left);
    grid.prepareModel();
    EXPECT_EQ(triangleList().size(), 6u);
    EXPECT_EQ(triangleList().front(), patch.farRoot->rightChild);
}

TEST_F(TerrainModel, RebuildDiscardsTheOldModelAndReusesItsBlocks)
{
    load(257, hills);
    ASSERT_TRUE(buildTerrain(grid, map, 16, 3));
    const std::size_t triangles = triangleList().size();
    const std::size_t vertices = vertexList().size();
    grid.releaseModel();
    EXPECT_TRUE(grid.empty());
    EXPECT_EQ(triangleList().size(), 0u);
    EXPECT_EQ(vertexList().size(), 0u);
    EXPECT_GE(trianglePool().cachedBlocks(), triangles);
    EXPECT_GE(vertexPool().cachedBlocks(), vertices);
    const std::size_t cached = trianglePool().cachedBlocks();

    ASSERT_TRUE(buildTerrain(grid, map, 256, 1000));
    EXPECT_EQ(triangleList().size(), 6u);
    EXPECT_EQ(vertexList().size(), 6u);
    EXPECT_EQ(trianglePool().cachedBlocks(), cached - 6);
    std::set<const Triangle*> listed(triangleList().begin(), triangleList().end());
    for (const Triangle* leaf : gridLeaves(grid))
        EXPECT_EQ(listed.count(leaf), 1u);
}

TEST_F(TerrainModel, SetupRefusesSizesThatGiveNoPatch)
{
    EXPECT_FALSE(grid.setup(map, 16));  // no map yet
    load(257, flat);
    EXPECT_FALSE(grid.setup(map, 0));
    EXPECT_FALSE(grid.setup(map, 1));
    EXPECT_FALSE(grid.setup(map, 257));
    EXPECT_FALSE(grid.createPatches());
    EXPECT_EQ(grid.nearestVertex(0, 0), nullptr);
    EXPECT_TRUE(grid.setup(map, 256));
    EXPECT_EQ(grid.columns(), 1);
    ASSERT_TRUE(loadMap(map, dir, 513, flat));
    EXPECT_TRUE(grid.setup(map, 16));
    EXPECT_EQ(grid.columns(), 32);
    EXPECT_EQ(grid.rows(), 32);
}

class Recorder : public BuildProgress {
public:
    void stageProgress(int32_t stage, int32_t done, int32_t total) override
    {
        calls.emplace_back(stage, stageFormat(stage), done, total);
    }
    std::vector<std::tuple<int32_t, std::string, int32_t, int32_t>> calls;
};

TEST_F(TerrainModel, StageOneReportsEveryPatch)
{
    load(257, flat);
    Recorder recorder;
    ASSERT_TRUE(buildTerrain(grid, map, 256, 25, &recorder));
    ASSERT_EQ(recorder.calls.size(), 1u);
    const auto& [stage, format, done, total] = recorder.calls[0];
    EXPECT_EQ(stage, 1);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(total, 1);
    EXPECT_EQ(formatProgressLine(format.c_str(), done, total),
              "1. etapp - Mudeli koostamine: t\xf6\xf6tlen lappi 1/1" + std::string(20, ' '));

    ASSERT_TRUE(loadMap(map, dir, 513, flat));
    recorder.calls.clear();
    ASSERT_TRUE(buildTerrain(grid, map, 16, 25, &recorder));
    ASSERT_EQ(recorder.calls.size(), 1024u);
    for (std::size_t k = 0; k < recorder.calls.size(); ++k) {
        EXPECT_EQ(std::get<2>(recorder.calls[k]), static_cast<int32_t>(k + 1));
        EXPECT_EQ(std::get<3>(recorder.calls[k]), 1024);
    }
}

TEST(TerrainBlockPool, ReleasedBlocksComeBackLastInFirstOut)
{
    BlockPool pool(48);
    void* a = pool.allocate(48);
    void* b = pool.allocate(48);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    pool.release(a, 48);
    pool.release(b, 48);
    EXPECT_EQ(pool.cachedBlocks(), 2u);
    EXPECT_EQ(pool.allocate(48), b);
    EXPECT_EQ(pool.allocate(48), a);
    EXPECT_EQ(pool.cachedBlocks(), 0u);

    // Other sizes go straight to the heap and never enter the free list.
    void* odd = pool.allocate(100);
    ASSERT_NE(odd, nullptr);
    pool.release(odd, 100);
    EXPECT_EQ(pool.cachedBlocks(), 0u);

    pool.release(a, 48);
    pool.release(b, 48);
    pool.trim();
    EXPECT_EQ(pool.cachedBlocks(), 0u);
    void* fresh = pool.allocate(48);
    ASSERT_NE(fresh, nullptr);
    pool.release(fresh, 48);
}

TEST(TerrainBlockPool, ModelObjectsComeFromTheirPools)
{
    trianglePool().trim();
    Triangle* t = new Triangle;
    ASSERT_NE(t, nullptr);
    delete t;
    EXPECT_EQ(trianglePool().cachedBlocks(), 1u);
    Triangle* again = new Triangle;
    EXPECT_EQ(again, t);
    EXPECT_EQ(trianglePool().cachedBlocks(), 0u);
    delete again;

    vertexPool().trim();
    Vertex* v = new Vertex;
    ASSERT_NE(v, nullptr);
    v->edges.push_back(Edge{1, v, v});  // the edges go with the vertex
    delete v;
    EXPECT_EQ(vertexPool().cachedBlocks(), 1u);
    Vertex* reused = new Vertex;
    EXPECT_EQ(reused, v);
    EXPECT_TRUE(reused->edges.empty());
    EXPECT_EQ(reused->cost, -1.0f);
    delete reused;
}

}  // namespace
