// Marking leaves with their inner vertex and connecting sides, corners and
// neighbouring leaves, both over the tree walk of terrain/TreeWalk.h.
#include "route/Graph.h"

#include "terrain/BuildProgress.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/Patch.h"
#include "terrain/PatchGrid.h"
#include "terrain/TreeWalk.h"
#include "terrain/Triangle.h"
#include "terrain/Vertex.h"

EdgeList& edgeList()
{
    static EdgeList list;
    return list;
}

bool addEdge(Vertex& from, Vertex& to, const HeightMap& map)
{
    const int32_t weight = map.segmentCost(from, to);
    if (weight == 0)
        return false;
    edgeList().add();
    from.edges.push_back(Edge{weight, &from, &to});
    return true;
}

namespace {

// Gives a leaf its inner vertex near the centroid: the offset from the
// hypotenuse midpoint towards the apex, divided by 3 with truncation toward
// zero.
void markLeaf(Triangle& leaf, const Corners& corners, const HeightMap& map)
{
    const GridPoint middle = corners.middle();
    const int32_t x = middle.x + (corners.apex.x - middle.x) / 3;
    const int32_t y = middle.y + (corners.apex.y - middle.y) / 3;
    Vertex* vertex = new Vertex;
    leaf.graphVertex = vertex;
    if (vertex != nullptr) {
        vertexList().pushFront(vertex);
        vertex->x = x;
        vertex->y = y;
        vertex->height = map.heightAt(x, y);
    }
}

// Graph edges are added only between existing vertices; a leaf whose inner
// vertex could not be allocated simply has none.
class GraphBuilder {
public:
    explicit GraphBuilder(const HeightMap& map) : map_(map) {}

    // Pre-order: a triangle, its whole left subtree, then its right subtree.
    void connectSubtree(const Triangle* triangle)
    {
        walkTree(triangle, NoCorners{}, [this](const Triangle& node, NoCorners) {
            connectTriangle(node);
            return true;
        });
    }

private:
    void edge(Vertex* from, Vertex* to)
    {
        if (from != nullptr && to != nullptr)
            addEdge(*from, *to, map_);
    }

    void bothWays(Vertex* first, Vertex* second)
    {
        edge(first, second);
        edge(second, first);
    }

    void connectTriangle(const Triangle& triangle)
    {
        // The sides, at every level of the tree.
        bothWays(triangle.left, triangle.right);
        bothWays(triangle.left, triangle.apex);
        bothWays(triangle.right, triangle.apex);
        if (!triangle.isLeaf())
            return;

        Vertex* inner = triangle.graphVertex;
        bothWays(inner, triangle.left);
        bothWays(inner, triangle.right);
        bothWays(inner, triangle.apex);

        if (const Triangle* parent = triangle.parent) {
            const bool isLeftChild = parent->leftChild == &triangle;
            const bool isRightChild = parent->rightChild == &triangle;
            if (isLeftChild && parent->rightChild->isLeaf())
                bothWays(inner, parent->rightChild->graphVertex);
            if (isRightChild && parent->leftChild->isLeaf())
                bothWays(inner, parent->leftChild->graphVertex);
            if (const Triangle* base = parent->baseNeighbour) {
                if (isLeftChild && base->leftChild != nullptr && base->leftChild->isLeaf())
                    edge(inner, base->leftChild->graphVertex);
                if (isRightChild && base->rightChild != nullptr && base->rightChild->isLeaf())
                    edge(inner, base->rightChild->graphVertex);
            }
        }

        for (const Triangle* neighbour : {triangle.baseNeighbour, triangle.leftNeighbour, triangle.rightNeighbour})
            if (neighbour != nullptr && neighbour->isLeaf())
                bothWays(inner, neighbour->graphVertex);
    }

    const HeightMap& map_;
};

}  // namespace

void markGraphVertices(Patch& patch)
{
    if (!patch.valid() || patch.grid == nullptr || patch.grid->heightMap() == nullptr)
        return;
    const HeightMap& map = *patch.grid->heightMap();
    // Pre-order, the originRoot tree first.
    auto mark = [&map](Triangle& leaf, const Corners& corners) { markLeaf(leaf, corners, map); };
    forEachLeaf(patch.originRoot, patch.originCorners(), mark);
    forEachLeaf(patch.farRoot, patch.farCorners(), mark);
}

void markGraphVertices(PatchGrid& grid, BuildProgress* progress)
{
    grid.runStage(2, [](Patch& patch) { markGraphVertices(patch); }, progress);
}

void buildGraph(Patch& patch)
{
    if (!patch.valid() || patch.grid == nullptr || patch.grid->heightMap() == nullptr)
        return;
    GraphBuilder builder(*patch.grid->heightMap());
    builder.connectSubtree(patch.originRoot);
    builder.connectSubtree(patch.farRoot);
}

void buildGraph(PatchGrid& grid, BuildProgress* progress)
{
    grid.runStage(3, [](Patch& patch) { buildGraph(patch); }, progress);
}
