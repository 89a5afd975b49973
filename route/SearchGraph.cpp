// Building and checking the index form of the route graph.
#include "route/SearchGraph.h"

#include "route/Graph.h"
#include "terrain/ModelLists.h"
#include "terrain/Vertex.h"

#include <algorithm>
#include <utility>

SearchGraph SearchGraph::ofCurrentModel()
{
    SearchGraph graph;
    graph.build();
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
        + arcs_.capacity() * sizeof(Arc) + slots_.capacity() * sizeof(WalkSlot)
        + longLists_.capacity() * sizeof(uint32_t);
}

// The graph changes only by vertices being put into or destroyed with the
// vertex list and by edges being added through addEdge (the model build),
// which counts them in the edge list.
bool SearchGraph::matchesModel() const
{
    return !first_.empty() && vertexList().changes() == listChanges_ && edgeList().size() == listedEdges_;
}

namespace {

// Interleaves the bits of x and y (a Morton code), so that numbering the
// vertices in this order keeps the neighbours of a vertex close together in
// the arrays indexed by number.
uint64_t spreadBits(uint32_t v)
{
    uint64_t x = v;
    x = (x | (x << 16)) & 0x0000ffff0000ffffULL;
    x = (x | (x << 8)) & 0x00ff00ff00ff00ffULL;
    x = (x | (x << 4)) & 0x0f0f0f0f0f0f0f0fULL;
    x = (x | (x << 2)) & 0x3333333333333333ULL;
    x = (x | (x << 1)) & 0x5555555555555555ULL;
    return x;
}

uint64_t mortonCode(const Vertex& v)
{
    return spreadBits(static_cast<uint32_t>(v.x)) | (spreadBits(static_cast<uint32_t>(v.y)) << 1);
}

}  // namespace

void SearchGraph::build()
{
    const VertexList& list = vertexList();
    vertices_.assign(list.begin(), list.end());
    // Numbered along a space-filling curve over the map; the numbers decide
    // nothing the search does, only where its state lies in memory.
    std::vector<std::pair<uint64_t, Vertex*>> order;
    order.reserve(vertices_.size());
    for (Vertex* vertex : vertices_)
        order.emplace_back(mortonCode(*vertex), vertex);
    std::stable_sort(order.begin(), order.end(),
        [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < order.size(); ++i) {
        vertices_[i] = order[i].second;
        vertices_[i]->searchIndex = static_cast<uint32_t>(i);
    }
    listed_ = vertices_.size();
    listChanges_ = list.changes();
    listedEdges_ = edgeList().size();
    // A vertex only reached through an edge gets the next number when it is
    // first met (the array grows while it is walked).
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
    buildWalkForm();
}

void SearchGraph::buildWalkForm()
{
    slots_.assign(vertices_.size(), WalkSlot{});
    longLists_.clear();
    // Beyond the numbers a walk arc holds, every vertex is walked edge by edge.
    const bool fits = size() <= maxWalkedVertices;
    std::vector<uint32_t> walk;
    for (uint32_t i = 0; i < size(); ++i) {
        if (fits && walkArcsOf(i, walk))
            placeWalkArcs(i, walk);
    }
    // Room for reading a group of four from the last long list's last arc.
    longLists_.resize(longLists_.size() + 3, 0);
    longLists_.shrink_to_fit();
}

// The walk arcs of vertex `index` into `walk`; false when it is to be walked
// edge by edge.
bool SearchGraph::walkArcsOf(uint32_t index, std::vector<uint32_t>& walk) const
{
    walk.clear();
    const uint32_t begin = first_[index];
    const uint32_t end = first_[index + 1];
    if (end - begin > maxListLength)
        return false;
    for (uint32_t arc = begin; arc < end; ++arc) {
        const float weight = arcs_[arc].weight;
        const auto copy = std::find_if(walk.begin(), walk.end(),
            [&](uint32_t walkArc) { return walkTarget(walkArc) == arcs_[arc].to; });
        const bool repeated = copy != walk.end();
        if (repeated && weight >= walkWeight(*copy))
            continue;  // never qualifies once the first copy has been looked at
        // A lighter later copy, more targets than a mask holds, or a weight
        // a walk arc cannot hold.
        if (repeated || walk.size() == maskBits || !(weight >= 0.0f && weight <= maxWalkedWeight)
            || weight != static_cast<float>(static_cast<uint32_t>(weight)))
            return false;
        walk.push_back(arcs_[arc].to | static_cast<uint32_t>(weight) << 24);
    }
    return true;
}

// Fills vertex `index`'s slot: its walk arcs in it when they fit, else in
// the long lists.
void SearchGraph::placeWalkArcs(uint32_t index, const std::vector<uint32_t>& walk)
{
    WalkSlot& slot = slots_[index];
    slot.listLength = static_cast<uint16_t>(first_[index + 1] - first_[index]);
    slot.count = static_cast<uint8_t>(walk.size());
    slot.byMasks = 1;
    if (walk.size() <= inlineArcs) {
        std::copy(walk.begin(), walk.end(), slot.arcs);
    } else {
        slot.arcs[0] = static_cast<uint32_t>(longLists_.size());
        longLists_.insert(longLists_.end(), walk.begin(), walk.end());
    }
}
