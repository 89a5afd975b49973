// Stages 2 and 3 of the build: the graph vertex of every leaf and the
// weighted edges between vertices. The search over the graph is route/RouteSearch.h.
#pragma once

#include <cstddef>
#include <cstdint>

class BuildProgress;
class HeightMap;
class Patch;
class PatchGrid;
class Triangle;
class Vertex;

// Counts every edge added to the route graph; its length is the edge count
// the main window shows. The edges themselves live in their `from` vertex.
class EdgeList {
public:
    std::size_t size() const { return count_; }
    void add() { ++count_; }
    void clear() { count_ = 0; }

private:
    std::size_t count_ = 0;
};

// The process-wide edge list of the current graph.
EdgeList& edgeList();

// Adds the edge from -> to weighted by map.segmentCost(from, to), unless that
// cost is 0 (no passage): then nothing happens. True when an edge was added.
bool addEdge(Vertex& from, Vertex& to, const HeightMap& map);

// Stage 2 for one patch: gives every leaf triangle an inner vertex near its
// centroid (pre-order, originRoot tree first), each put in the vertex list.
void markGraphVertices(Patch& patch);
// Stage 2 over the whole grid, reporting its progress after each patch.
void markGraphVertices(PatchGrid& grid, BuildProgress* progress = nullptr);

// Stage 3 for one patch: the directed edges along every triangle side, between
// each leaf's inner vertex and its corners, and between inner vertices of
// neighbouring leaves (also across patch borders).
void buildGraph(Patch& patch);
// Stage 3 over the whole grid, reporting its progress after each patch.
void buildGraph(PatchGrid& grid, BuildProgress* progress = nullptr);
