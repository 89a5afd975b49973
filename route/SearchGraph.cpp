// Building and checking the index form of the route graph.
#include "route/SearchGraph.h"

#include "terrain/ModelLists.h"
#include "terrain/Vertex.h"

SearchGraph& searchGraph()
{
    static SearchGraph graph;
    return graph;
}

uint32_t SearchGraph::indexOf(const Vertex* vertex) const
{
    if (vertex == nullptr || vertex->searchIndex >= vertices_.size() || vertices_[vertex->searchIndex] != vertex)
        return none;
    return vertex->searchIndex;
}

const Edge& SearchGraph::edge(uint32_t index, uint32_t arc) const
{
    return vertices_[index]->edges[arc - first_[index]];
}

std::size_t SearchGraph::bytes() const
{
    return vertices_.capacity() * sizeof(Vertex*) + first_.capacity() * sizeof(uint32_t)
        + arcs_.capacity() * sizeof(Arc) + points_.capacity() * sizeof(Point);
}

void SearchGraph::clear()
{
    std::vector<Vertex*>().swap(vertices_);
    std::vector<uint32_t>().swap(first_);
    std::vector<Arc>().swap(arcs_);
    std::vector<Point>().swap(points_);
    listed_ = 0;
}

// Vertices are only ever created, destroyed with the whole model or given
// more edges, never edited in place; a new vertex carries no number of its
// own. So the form is current when every listed vertex still has its number
// and every vertex its number of edges.
bool SearchGraph::current() const
{
    const VertexList& list = vertexList();
    if (list.size() != listed_ || first_.size() != vertices_.size() + 1)
        return false;
    uint32_t index = 0;
    for (const Vertex* vertex : list) {
        if (vertex->searchIndex != index || vertices_[index] != vertex)
            return false;
        ++index;
    }
    for (uint32_t i = 0; i < vertices_.size(); ++i)
        if (vertices_[i]->searchIndex != i || vertices_[i]->edges.size() != first_[i + 1] - first_[i])
            return false;
    return true;
}

void SearchGraph::update()
{
    if (!current())
        build();
}

void SearchGraph::build()
{
    clear();
    const VertexList& list = vertexList();
    vertices_.reserve(list.size());
    for (Vertex* vertex : list) {
        vertex->searchIndex = static_cast<uint32_t>(vertices_.size());
        vertices_.push_back(vertex);
    }
    listed_ = vertices_.size();
    // A vertex only reached through an edge gets the next number when it is
    // first met (the list grows while it is walked).
    auto number = [this](Vertex* vertex) {
        if (indexOf(vertex) == none) {
            vertex->searchIndex = static_cast<uint32_t>(vertices_.size());
            vertices_.push_back(vertex);
        }
        return vertex->searchIndex;
    };
    std::size_t edgeCount = 0;
    for (const Vertex* vertex : vertices_)
        edgeCount += vertex->edges.size();
    arcs_.reserve(edgeCount);
    first_.reserve(vertices_.size() + 1);
    for (std::size_t i = 0; i < vertices_.size(); ++i) {
        first_.push_back(static_cast<uint32_t>(arcs_.size()));
        for (const Edge& edge : vertices_[i]->edges)
            arcs_.push_back({number(edge.to), static_cast<float>(edge.weight)});
    }
    first_.push_back(static_cast<uint32_t>(arcs_.size()));
    points_.reserve(vertices_.size());
    for (const Vertex* vertex : vertices_)
        points_.push_back({vertex->x, vertex->y, vertex->height});
}
