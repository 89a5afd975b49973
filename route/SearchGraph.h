// The route graph in the index form the searches run over: vertices numbered
// 0..n-1, the edges of all vertices in one array (each vertex's edges
// together, in its edge order, found through an offset per vertex), each
// edge a 32-bit target number and its weight; beside it the shorter form the
// correction walk runs over, without repeated edges. Built from the current
// model's vertex list and the vertices' edges; never changed afterwards, so
// any number of searches may read it at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Edge;
class Vertex;

class SearchGraph {
public:
    // One edge: the number of the vertex it leads to and its weight (the
    // integer weight as the float the searches add it as).
    struct Arc {
        uint32_t to;
        float weight;
    };

    // The correction walk's bit masks have a bit per walk arc of a vertex. A
    // walk arc is one 32-bit word: the number of the vertex it leads to in
    // the low 24 bits, its weight (a whole number up to 255) in the high 8.
    // A vertex's walk slot keeps the length of its full list in 16 bits.
    static constexpr uint32_t maskBits = 32;
    static constexpr uint32_t maxListLength = UINT16_MAX;
    static constexpr uint32_t maxWalkedVertices = 1u << 24;
    static constexpr float maxWalkedWeight = 255.0f;
    static uint32_t walkTarget(uint32_t walkArc) { return walkArc & (maxWalkedVertices - 1); }
    static float walkWeight(uint32_t walkArc) { return static_cast<float>(walkArc >> 24); }

    static constexpr uint32_t none = UINT32_MAX;

    // An empty graph, matching no model.
    SearchGraph() = default;
    // The index form of the current model's graph. The listed vertices are
    // numbered along a space-filling curve over their positions (each
    // vertex's searchIndex is set); a vertex reached by an edge but missing
    // from the list is numbered after them.
    static SearchGraph ofCurrentModel();

    // True while no vertex was put into or destroyed with the vertex list and
    // no edge added through addEdge since this graph was built (edges pushed
    // onto a vertex by hand must all be there before the graph is built).
    bool matchesModel() const;

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

    // The walk form of a vertex's edges for the corrections: of the edges
    // to one target only the first, in the order of the full list. A vertex
    // has one when every later edge to a target weighs at least as much as
    // the first (such an edge can never carry a correction on) and its edges
    // fit the masks: at most maskBits targets, at most maxListLength edges,
    // weights that are whole numbers from 0 to maxWalkedWeight, in a graph of
    // at most maxWalkedVertices vertices. Every other vertex is walked edge
    // by edge.
    bool walkedByMasks(uint32_t index) const { return slots_[index].byMasks != 0; }

    // What the walk needs of a vertex, in 32 bytes (two to a cache line) at a
    // place found from its number alone: its walk arcs themselves when there
    // are at most inlineArcs of them (else arcs[0] says where they start
    // among the longer lists), the length of its full list, how many walk
    // arcs it has, and whether it is walked by masks.
    static constexpr uint32_t inlineArcs = 7;
    struct alignas(32) WalkSlot {
        uint32_t arcs[inlineArcs];
        uint16_t listLength;
        uint8_t count;
        uint8_t byMasks;
    };
    const WalkSlot& walkSlot(uint32_t index) const { return slots_[index]; }
    // The walk arcs of the vertex in `slot`. Four words may be read from any
    // group of four of them, even past the last: the slot or the longer
    // lists hold room for it.
    const uint32_t* walkArcs(const WalkSlot& slot) const
    {
        return slot.count <= inlineArcs ? slot.arcs : longLists_.data() + slot.arcs[0];
    }

    // Bytes held, for the benchmarks.
    std::size_t bytes() const;

private:
    void build();
    void buildWalkForm();
    bool walkArcsOf(uint32_t index, std::vector<uint32_t>& walk) const;
    void placeWalkArcs(uint32_t index, const std::vector<uint32_t>& walk);

    std::vector<Vertex*> vertices_;
    std::vector<uint32_t> first_;  // n + 1 offsets into arcs_
    std::vector<Arc> arcs_;
    std::vector<WalkSlot> slots_;        // by vertex
    std::vector<uint32_t> longLists_;    // the walk arcs of vertices with more than inlineArcs
    std::size_t listed_ = 0;  // how many of vertices_ come from the vertex list
    std::size_t listChanges_ = 0;  // the vertex list's change count when built
    std::size_t listedEdges_ = 0;  // the edge list's count when built
};
