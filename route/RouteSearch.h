// The route search: its observer and the search itself.
#pragma once

#include <cstdint>
#include <vector>

#include "route/OpenList.h"
#include "route/Route.h"
#include "route/SearchWorkspace.h"

class SearchGraph;

struct Edge;
class Vertex;

// Which search runs, and which of its two phases: taking vertices from the
// open list, or carrying a cheaper way on through vertices already seen.
enum class SearchKind { full, quick };
enum class SearchPhase { pass, correction };

// Receives what a search does while it runs: its kind, phase and the best
// length so far (0 while no route is known) when it starts and whenever the
// phase changes, and every edge it examines.
class SearchObserver {
public:
    virtual ~SearchObserver() = default;
    virtual void searchStatus(SearchKind kind, SearchPhase phase, double shownLength) = 0;
    virtual void examinedEdge(const Edge& edge) = 0;
};

// (b.x - a.x)^2 + (b.y - a.y)^2 + (b.height - a.height)^2, exact, as float.
float squaredDistance(const Vertex& a, const Vertex& b);

// One route search over the index form of a graph (route/SearchGraph.h),
// with its working state in a workspace (route/SearchWorkspace.h). It reads
// the graph and the vertices and writes only the workspace, so searches on
// one graph may run at once on different threads, each with its own
// workspace. What the search leaves in the workspace (every vertex's cost,
// estimate and predecessor) stays there until the workspace's next search.
//
// Ties: every time a vertex enters the open list it gets the next number of
// the search's entry sequence (the start first; a vertex dropped by pruning
// that comes back gets a new one). Among vertices of equal cost plus
// estimate (summed in double), the one with the larger number comes first; a
// correction that changes an open vertex's total keeps its number.
class RouteSearch {
public:
    RouteSearch(const SearchGraph& graph, SearchWorkspace& workspace, SearchObserver* observer = nullptr);

    RouteSearch(const RouteSearch&) = delete;
    RouteSearch& operator=(const RouteSearch&) = delete;

    // Best-first search that goes on until the open list is empty, pruning
    // by the best length found and correcting cheaper ways to seen vertices.
    // A null vertex or one that is not in the graph gives no route; the same
    // vertex twice gives sameVertex and leaves the workspace untouched.
    Route search(const Vertex* start, const Vertex* target);

    // The same search, ending as soon as the target is taken from the open list.
    Route quickSearch(const Vertex* start, const Vertex* target);

private:
    using Frame = SearchWorkspace::Frame;
    // The next edge a correction follows from a frame: the vertex it enters
    // (none when the frame is done), at what cost, whether the frame's vertex
    // is its predecessor already, and its bit in the frame's vertex's masks
    // (0 when that vertex is walked edge by edge).
    struct Step {
        uint32_t vertex;
        float cost;
        bool child;
        uint32_t bit;
    };

    // The ends of a vertex's walk arcs it makes cheaper, and those not yet
    // entered by the running correction (bit i: walk arc i).
    struct Ends {
        uint32_t cheaper;
        uint32_t unmarked;
    };

    Route run(const Vertex* start, const Vertex* target, bool quick);
    void loop(bool quick);
    void expand(uint32_t current);
    void propagate(uint32_t vertex, float newCost);
    uint32_t enterFrame(const Frame& frame);
    Frame frameOf(uint32_t vertex, float cost) const;
    Ends endsOf(const uint32_t* walk, uint32_t count, float cost) const;
    // Four lanes of walk arcs or vertex numbers, and of costs.
    using Words = uint32_t __attribute__((vector_size(16)));
    using Floats = float __attribute__((vector_size(16)));
    void addEnds(Ends& ends, const uint32_t* walk, uint32_t i, uint32_t count, float cost) const;
    void endStates(Words to, Floats& costs, Words& marks) const;
    Step nextEdgeByEdge(Frame& frame, uint32_t mark) const;
    Step nextByMasks(Frame& frame, uint32_t mark) const;
    void setPrevious(uint32_t vertex, uint32_t parent, uint32_t bit);
    uint32_t childBit(uint32_t parent, uint32_t child) const;
    void enterCost(uint32_t vertex, float newCost);
    void enterOpen(uint32_t vertex);
    void startCorrection();
    void status(SearchPhase phase);
    double shownLength() const;
    Route result(uint32_t startIndex) const;

    const SearchGraph& graph_;
    SearchWorkspace& workspace_;
    SearchObserver* observer_;
    SearchKind kind_ = SearchKind::full;
    const Vertex* target_ = nullptr;
    uint32_t targetIndex_ = 0;
    float bestLength_ = 0.0f;
    SearchWork work_;

    SearchVertex* vertices_ = nullptr;  // by vertex number (the workspace's arrays)
    uint32_t* previous_ = nullptr;      // by vertex number
    float* estimates_ = nullptr;        // by vertex number
    uint32_t sequence_ = 0;     // entry numbers handed out so far
    uint32_t correction_ = 0;   // number of the running correction
};
