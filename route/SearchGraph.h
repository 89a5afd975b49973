// The route graph in the index form the searches run over: vertices numbered
// 0..n-1, the edges of all vertices in one array (each vertex's edges
// together, in its edge order, found through an offset per vertex), each
// edge a 32-bit target number, its weight and the offset of the target's own
// edges. Built once per model from the vertex list and the vertices' edges,
// and rebuilt when they have changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "route/OpenList.h"

struct Edge;
class Vertex;

class SearchGraph {
public:
    // One edge: the number of the vertex it leads to and its weight (the
    // integer weight as the float the searches add it as), and where the
    // edges of the vertex it leads to begin.
    struct Arc {
        uint32_t to;
        float weight;
        uint32_t toArcs;  // firstArc(to), so that the next edges can be fetched early
    };

    static constexpr uint32_t none = UINT32_MAX;

    // Makes the index form match the current vertex list and edges,
    // rebuilding it when vertices were put in or destroyed or edges added
    // through addEdge since it was built (edges pushed onto a vertex by hand
    // must all be there before the first search). The listed vertices are
    // numbered along a space-filling curve over their positions; a vertex
    // reached by an edge but missing from the list is numbered after them.
    void update();
    // Frees everything (the model is going away).
    void clear();

    uint32_t size() const { return static_cast<uint32_t>(vertices_.size()); }
    // Vertices numbered from here on are missing from the vertex list.
    uint32_t listed() const { return static_cast<uint32_t>(listed_); }
    // The number of `vertex`, or `none` when it is not a vertex of this graph.
    uint32_t indexOf(const Vertex* vertex) const;
    Vertex* vertex(uint32_t index) const { return vertices_[index]; }

    // The edges of vertex `index` are arcs firstArc(index) .. firstArc(index + 1) - 1.
    uint32_t firstArc(uint32_t index) const { return first_[index]; }
    const Arc* arcs() const { return arcs_.data(); }
    const uint32_t* firstArcs() const { return first_.data(); }
    // The Edge record of the vertex behind arc `arc` of vertex `index`.
    const Edge& edge(uint32_t index, uint32_t arc) const;

    // Bytes held, for the benchmarks.
    std::size_t bytes() const;

private:
    bool current() const;
    void build();

    std::vector<Vertex*> vertices_;
    std::vector<uint32_t> first_;  // n + 1 offsets into arcs_
    std::vector<Arc> arcs_;
    std::size_t listed_ = 0;  // how many of vertices_ come from the vertex list
    std::size_t listChanges_ = 0;  // the vertex list's change count when built
    std::size_t listedEdges_ = 0;  // the edge list's count when built

public:
    // Working arrays of the searches, by vertex number, kept here so that a
    // search neither allocates nor clears them for the whole graph: a search
    // hands them back with every vertex as a new search expects it (cost 0,
    // no predecessor, no mark, unseen, estimate 0) and marks them clean.
    std::vector<SearchVertex> workState;
    std::vector<float> workEstimates;
    bool workClean = false;

    // The vertices whose cost, estimate and previous the last search set
    // (those it reached); every other vertex has held 0, 0 and null since
    // then, so the next search writes only these and its own. Not known
    // after a build, nor once other code has written those fields.
    std::vector<uint32_t> written;
    bool writtenKnown = false;
    // Code other than the searches that writes cost, estimate or previous of
    // the vertices calls this, so that the next search writes all of them.
    void vertexFieldsChanged() { writtenKnown = false; }
};

// The index form of the current model's graph, shared by all searches.
SearchGraph& searchGraph();
