// Tests of route/Graph.cpp and route/ModelBuild.cpp: inner vertices, edges
// and their order, links across patches and the whole build's progress.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "route/Graph.h"
#include "route/ModelBuild.h"
#include "app/ProgressTexts.h"
#include "terrain/BuildProgress.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"
#include "tests/terrain/model_helpers.h"
#include "tests/terrain/test_maps.h"

using namespace testmaps;

namespace {

class RouteGraph : public ::testing::Test {
protected:
    void TearDown() override
    {
        grid.releaseModel();
        edgeList().clear();
    }

    void load(int32_t side, const HeightFunction& height) { ASSERT_TRUE(loadMap(map, dir, side, height)); }

    static std::size_t edgesBetween(const Vertex* from, const Vertex* to)
    {
        std::size_t count = 0;
        for (const Edge& edge : from->edges)
            count += edge.to == to ? 1 : 0;
        return count;
    }

    std::size_t edgesInVertices() const
    {
        std::size_t count = 0;
        for (const Vertex* v : vertexList())
            count += v->edges.size();
        return count;
    }

    TempDir dir;
    HeightMap map;
    PatchGrid grid;
};

TEST_F(RouteGraph, InnerVertexSitsNearTheCentroid)
{
    load(257, [](int32_t x, int32_t y) { return static_cast<uint16_t>(x + 2 * y); });
    ASSERT_TRUE(grid.setup(map, 16));
    ASSERT_TRUE(grid.createPatches());
    // Bare roots are leaves: the origin root of a 16 patch at (0, 0) has
    // corners (0, 16), (16, 0), (0, 0); the far root (16, 0), (0, 16), (16, 16).
    Patch& patch = grid.patchAt(0, 0);
    markGraphVertices(patch);
    ASSERT_NE(patch.originRoot->graphVertex, nullptr);
    ASSERT_NE(patch.farRoot->graphVertex, nullptr);
    EXPECT_EQ(at(patch.originRoot->graphVertex), Point(6, 6));
    EXPECT_EQ(at(patch.farRoot->graphVertex), Point(10, 10));
    EXPECT_EQ(patch.farRoot->graphVertex->height, 30);
    EXPECT_EQ(vertexList().front(), patch.farRoot->graphVertex);

    // A patch of side 8: the origin root gets (3, 3), the far root
    // (8 - 3, 8 - 3) rounded toward the hypotenuse midpoint: (5, 5).
    ASSERT_TRUE(grid.setup(map, 8));
    ASSERT_TRUE(grid.createPatches());
    Patch& small = grid.patchAt(0, 0);
    markGraphVertices(small);
    EXPECT_EQ(at(small.originRoot->graphVertex), Point(3, 3));
    EXPECT_EQ(at(small.farRoot->graphVertex), Point(5, 5));
}

TEST_F(RouteGraph, EveryLeafGetsOneInnerVertex)
{
    load(257, hills);
    ASSERT_TRUE(buildTerrain(grid, map, 32, 4));
    const std::size_t cornersAndMidpoints = vertexList().size();
    markGraphVertices(grid);
    const std::vector<Triangle*> leaves = gridLeaves(grid);
    EXPECT_EQ(vertexList().size(), cornersAndMidpoints + leaves.size());
    std::set<const Vertex*> inner;
    for (const Triangle* leaf : leaves) {
        ASSERT_NE(leaf->graphVertex, nullptr);
        inner.insert(leaf->graphVertex);
        EXPECT_EQ(leaf->graphVertex->height, map.heightAt(leaf->graphVertex->x, leaf->graphVertex->y));
    }
    EXPECT_EQ(inner.size(), leaves.size());
    for (const Triangle* t : triangleList())
        if (!t->isLeaf()) {
            EXPECT_EQ(t->graphVertex, nullptr);
        }
    // The last leaf marked is the far root tree's last leaf of the last patch.
    const std::vector<Triangle*> last = patchLeaves(grid.patchAt(grid.columns() - 1, grid.rows() - 1));
    EXPECT_EQ(vertexList().front(), last.back()->graphVertex);
}

TEST_F(RouteGraph, EdgesFollowTheCostOfTheirDirection)
{
    // From (0, 0) to (4, 2) the line crosses (1, 1), which is too high;
    // the way back passes (1, 0) and is open.
    load(257, [](int32_t x, int32_t y) -> uint16_t { return x == 1 && y == 1 ? 9 : 5; });
    Vertex a;
    Vertex b;
    Vertex c;
    b.x = 4;
    b.y = 2;
    c.x = 0;
    c.y = 0;
    edgeList().clear();
    EXPECT_FALSE(addEdge(a, b, map));
    EXPECT_TRUE(addEdge(b, a, map));
    EXPECT_FALSE(addEdge(a, a, map));
    EXPECT_FALSE(addEdge(a, c, map));  // another vertex on the same point
    EXPECT_EQ(edgeList().size(), 1u);
    EXPECT_TRUE(a.edges.empty());
    ASSERT_EQ(b.edges.size(), 1u);
    EXPECT_EQ(b.edges[0].from, &b);
    EXPECT_EQ(b.edges[0].to, &a);
    EXPECT_EQ(b.edges[0].weight, map.segmentCost(b, a));
    // Nothing checks for an existing edge.
    EXPECT_TRUE(addEdge(b, a, map));
    EXPECT_EQ(b.edges.size(), 2u);
    EXPECT_EQ(edgeList().size(), 2u);
}

TEST_F(RouteGraph, FlatSinglePatchGraph)
{
    load(257, flat);
    ASSERT_TRUE(buildModelAndGraph(grid, map, 256, 25));
    EXPECT_EQ(triangleList().size(), 6u);
    EXPECT_EQ(vertexList().size(), 10u);
    // Roots: 6 side edges each. Each of the 4 leaves: 6 side edges, 6 to and
    // from its inner vertex, 2 with its sibling, 1 towards the leaf of the
    // other root on its side, 4 with its two leaf neighbours (left and right;
    // the base is the map border).
    EXPECT_EQ(edgeList().size(), 2u * 6 + 4u * 19);
    EXPECT_EQ(edgesInVertices(), edgeList().size());

    // Siblings are joined four times in each direction: twice as siblings
    // and twice as neighbours.
    const Triangle* originLeft = grid.patchAt(0, 0).originRoot->leftChild;
    const Triangle* originRight = grid.patchAt(0, 0).originRoot->rightChild;
    EXPECT_EQ(edgesBetween(originLeft->graphVertex, originRight->graphVertex), 4u);
    EXPECT_EQ(edgesBetween(originRight->graphVertex, originLeft->graphVertex), 4u);
    // A side shared by a root and its child is an edge of both.
    const Triangle* origin = grid.patchAt(0, 0).originRoot;
    EXPECT_EQ(edgesBetween(origin->apex, origin->left), 2u);
}

TEST_F(RouteGraph, EdgesKeepTheOrderTheyWereAddedIn)
{
    load(257, flat);
    ASSERT_TRUE(buildModelAndGraph(grid, map, 256, 25));
    const Patch& patch = grid.patchAt(0, 0);
    const Triangle* root = patch.originRoot;
    const Triangle* first = root->leftChild;    // the first leaf visited
    const Triangle* second = root->rightChild;  // its sibling
    const Triangle* farFirst = patch.farRoot->leftChild;
    const Triangle* farSecond = patch.farRoot->rightChild;
    const Vertex* q = first->graphVertex;
    const Vertex* q2 = second->graphVertex;
    const Vertex* q3 = farFirst->graphVertex;
    const Vertex* q4 = farSecond->graphVertex;
    ASSERT_EQ(first->leftNeighbour, second);
    ASSERT_EQ(first->rightNeighbour, farSecond);
    ASSERT_EQ(second->leftNeighbour, farFirst);
    ASSERT_EQ(second->rightNeighbour, first);
    ASSERT_EQ(farSecond->leftNeighbour, first);

    auto targets = [](const Vertex* v) {
        std::vector<const Vertex*> to;
        for (const Edge& edge : v->edges)
            to.push_back(edge.to);
        return to;
    };
    // The first leaf's inner vertex: its corners, its sibling, the matching
    // leaf of the parent's base neighbour (one way), its own neighbours
    // (left, right); then the way back from the sibling's visit (as sibling,
    // then as right neighbour) and from the far root's right leaf, whose left
    // neighbour it is.
    EXPECT_EQ(targets(q), (std::vector<const Vertex*>{first->left, first->right, first->apex, q2, q3, q2, q4, q2,
                                                      q2, q4}));
    // The origin corner: the sides of the root, then those of the first leaf
    // and its inner vertex, then those of the second leaf and its inner vertex.
    const Vertex* corner = root->apex;
    ASSERT_EQ(first->left, corner);
    ASSERT_EQ(second->right, corner);
    EXPECT_EQ(targets(corner), (std::vector<const Vertex*>{root->left, root->right, first->right, first->apex, q,
                                                           second->left, second->apex, q2}));
}

TEST_F(RouteGraph, EdgesAreConsistentOnRoughTerrain)
{
    load(257, hills);
    ASSERT_TRUE(buildModelAndGraph(grid, map, 32, 6));
    EXPECT_EQ(edgesInVertices(), edgeList().size());
    std::size_t blocked = 0;
    for (const Vertex* v : vertexList()) {
        for (const Edge& edge : v->edges) {
            ASSERT_EQ(edge.from, v);
            ASSERT_NE(edge.to, v);
            ASSERT_TRUE(edge.to->x != v->x || edge.to->y != v->y);
            ASSERT_GT(edge.weight, 0);
            ASSERT_EQ(edge.weight, map.segmentCost(*v, *edge.to));
            if (map.segmentCost(*edge.to, *v) == 0)
                ++blocked;
        }
    }
    // The hills are steep enough for some one-way edges.
    EXPECT_GT(blocked, 0u);
}

TEST_F(RouteGraph, InnerVerticesAreJoinedAcrossPatchBorders)
{
    load(257, flat);
    ASSERT_TRUE(buildModelAndGraph(grid, map, 128, 25));
    const Triangle* left = grid.patchAt(0, 0).farRoot->leftChild;
    const Triangle* right = grid.patchAt(1, 0).originRoot->leftChild;
    ASSERT_EQ(left->baseNeighbour, right);
    EXPECT_GE(edgesBetween(left->graphVertex, right->graphVertex), 1u);
    EXPECT_GE(edgesBetween(right->graphVertex, left->graphVertex), 1u);
}

class Recorder : public BuildProgress {
public:
    void stageProgress(int32_t stage, int32_t done, int32_t total) override
    {
        lines.emplace_back(stage, formatProgressLine(stageFormat(stage), done, total));
    }
    std::vector<std::pair<int32_t, std::string>> lines;
};

TEST_F(RouteGraph, WholeBuildReportsThreeStagesInOrder)
{
    load(513, hills);
    Recorder recorder;
    ASSERT_TRUE(buildModelAndGraph(grid, map, 16, 25, &recorder));
    ASSERT_EQ(recorder.lines.size(), 3u * 1024);
    const std::string tails[] = {std::string(20, ' '), std::string(18, ' '), std::string(19, ' ')};
    const std::string heads[] = {"1. etapp - Mudeli koostamine: t\xf6\xf6tlen lappi ",
                                 "2. etapp - Graafi tippude m\xe4rkimine: t\xf6\xf6tlen lappi ",
                                 "3. etapp - Graafi koostamine: t\xf6\xf6tlen lappi "};
    for (int32_t stage = 0; stage < 3; ++stage) {
        for (int32_t k : {0, 1, 511, 1023}) {
            const auto& [number, text] = recorder.lines[stage * 1024 + k];
            EXPECT_EQ(number, stage + 1);
            EXPECT_EQ(text, heads[stage] + std::to_string(k + 1) + "/1024" + tails[stage]);
        }
    }
}

TEST_F(RouteGraph, RebuildStartsFromNothing)
{
    load(257, hills);
    ASSERT_TRUE(buildModelAndGraph(grid, map, 16, 3));
    const std::size_t firstEdges = edgeList().size();
    ASSERT_TRUE(buildModelAndGraph(grid, map, 16, 3));
    EXPECT_EQ(edgeList().size(), firstEdges);
    EXPECT_EQ(edgesInVertices(), firstEdges);

    ASSERT_TRUE(buildModelAndGraph(grid, map, 256, 10000));
    EXPECT_EQ(triangleList().size(), 6u);
    EXPECT_EQ(vertexList().size(), 10u);
    EXPECT_EQ(edgesInVertices(), edgeList().size());

    // A refused build leaves no model behind.
    EXPECT_FALSE(buildModelAndGraph(grid, map, 0, 25));
    EXPECT_TRUE(grid.empty());
    EXPECT_EQ(triangleList().size(), 0u);
    EXPECT_EQ(vertexList().size(), 0u);
    EXPECT_EQ(edgeList().size(), 0u);
    HeightMap empty;
    EXPECT_FALSE(buildModelAndGraph(grid, empty, 16, 25));

    ASSERT_TRUE(buildModelAndGraph(grid, map, 64, 3));
    releaseModelAndGraph(grid);
    EXPECT_TRUE(grid.empty());
    EXPECT_EQ(triangleList().size(), 0u);
    EXPECT_EQ(vertexList().size(), 0u);
    EXPECT_EQ(edgeList().size(), 0u);
}

TEST_F(RouteGraph, NearestVertexMayBeAnInnerVertex)
{
    load(257, flat);
    ASSERT_TRUE(buildModelAndGraph(grid, map, 256, 25));
    const Triangle* leaf = grid.patchAt(0, 0).originRoot->leftChild;
    ASSERT_NE(leaf->graphVertex, nullptr);
    EXPECT_EQ(grid.nearestVertex(leaf->graphVertex->x, leaf->graphVertex->y), leaf->graphVertex);
}

}  // namespace
