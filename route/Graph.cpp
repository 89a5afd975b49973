#include "route/Graph.h"

#include "terrain/BuildProgress.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/Patch.h"
#include "terrain/PatchGrid.h"
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

// Marks the leaves below `triangle` in pre-order. The corner positions come
// down the tree with the walk; recursion goes into the left child only and
// the right child is followed in the loop.
void markSubtree(Triangle* triangle, GridPoint left, GridPoint right, GridPoint apex, const HeightMap& map)
{
    while (triangle != nullptr) {
        const GridPoint middle{(left.x + right.x) >> 1, (left.y + right.y) >> 1};
        if (!triangle->isLeaf()) {
            markSubtree(triangle->leftChild, apex, left, middle, map);
            triangle = triangle->rightChild;
            left = right;
            right = apex;
            apex = middle;
            continue;
        }
        // Near the centroid: the offset from the hypotenuse midpoint towards
        // the apex, divided by 3 with truncation toward zero.
        const int32_t x = middle.x + (apex.x - middle.x) / 3;
        const int32_t y = middle.y + (apex.y - middle.y) / 3;
        Vertex* vertex = new Vertex;
        triangle->graphVertex = vertex;
        if (vertex != nullptr) {
            vertexList().pushFront(vertex);
            vertex->x = x;
            vertex->y = y;
            vertex->height = map.heightAt(x, y);
        }
        return;
    }
}

// Graph edges are added only between existing vertices; a leaf whose inner
// vertex could not be allocated simply has none.
class GraphBuilder {
public:
    explicit GraphBuilder(const HeightMap& map) : map_(map) {}

    // Pre-order: a triangle, its whole left subtree, then its right subtree.
    void connectSubtree(Triangle* triangle)
    {
        while (triangle != nullptr) {
            connectTriangle(*triangle);
            if (triangle->isLeaf())
                return;
            connectSubtree(triangle->leftChild);
            triangle = triangle->rightChild;
        }
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
    markSubtree(patch.originRoot, patch.originLeft(), patch.originRight(), patch.originApex(), map);
    markSubtree(patch.farRoot, patch.farLeft(), patch.farRight(), patch.farApex(), map);
}

void markGraphVertices(PatchGrid& grid, BuildProgress* progress)
{
    grid.runStage(2, markStageFormat, [](Patch& patch) { markGraphVertices(patch); }, progress);
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
    grid.runStage(3, graphStageFormat, [](Patch& patch) { buildGraph(patch); }, progress);
}
