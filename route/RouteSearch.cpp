// The full and the quick route search over the index form of the graph.
#include "route/RouteSearch.h"

#include <algorithm>
#include <limits>

#include "route/SearchGraph.h"
#include "terrain/FormatLine.h"
#include "terrain/Vertex.h"

namespace {

constexpr float noRoute = std::numeric_limits<float>::max();  // 3.4028235e38
constexpr float anyRoute = 1e38f;

}  // namespace

std::string formatStatusLine(const char* format, double shownLength)
{
    return formatLine<512>(format, shownLength);
}

float squaredDistance(const Vertex& a, const Vertex& b)
{
    const int64_t dx = b.x - a.x;
    const int64_t dy = b.y - a.y;
    const int64_t dh = static_cast<int64_t>(b.height) - a.height;
    return static_cast<float>(dx * dx + dy * dy + dh * dh);
}

RouteSearch::RouteSearch(const SearchGraph& graph, SearchWorkspace& workspace, SearchObserver* observer)
    : graph_(graph), workspace_(workspace), observer_(observer)
{
}

Route RouteSearch::search(const Vertex* start, const Vertex* target)
{
    return run(start, target, false);
}

Route RouteSearch::quickSearch(const Vertex* start, const Vertex* target)
{
    return run(start, target, true);
}

double RouteSearch::shownLength() const
{
    return bestLength_ <= anyRoute ? bestLength_ : 0.0;
}

void RouteSearch::status(const char* format)
{
    if (observer_ != nullptr)
        observer_->statusLine(format, shownLength());
}

void RouteSearch::enterOpen(uint32_t vertex)
{
    const double total = static_cast<double>(vertices_[vertex].cost) + static_cast<double>(estimates_[vertex]);
    workspace_.open_.enter(vertex, total, sequence_++);
}

// A new cost for a vertex: an open one moves to its place in the open list
// (keeping its entry number), and the target lowers the best length.
inline void RouteSearch::enterCost(uint32_t vertex, float newCost)
{
    SearchVertex& state = vertices_[vertex];
    state.cost = newCost;
    if (OpenList::holds(state))
        workspace_.open_.rekey(vertex, static_cast<double>(newCost) + static_cast<double>(estimates_[vertex]));
    if (vertex == targetIndex_ && newCost < bestLength_)
        bestLength_ = newCost;
}

// Numbers the next correction; when the numbers run out they start again at
// 1, after clearing the marks (only vertices the search reached have any).
inline void RouteSearch::startCorrection()
{
    if (++correction_ == 0) {
        for (uint32_t vertex : workspace_.reached_)
            vertices_[vertex].mark = 0;
        correction_ = 1;
    }
    ++work_.corrections;
}

Route RouteSearch::run(const Vertex* start, const Vertex* target, bool quick)
{
    Route route;
    if (start == target) {
        route.outcome = Route::Outcome::sameVertex;
        return route;
    }
    const uint32_t startIndex = graph_.indexOf(start);
    const uint32_t targetIndex = graph_.indexOf(target);
    if (startIndex == SearchGraph::none || targetIndex == SearchGraph::none)
        return route;
    target_ = target;
    targetIndex_ = targetIndex;

    workspace_.begin(graph_);
    vertices_ = workspace_.state_.data();
    estimates_ = workspace_.estimates_.data();
    workspace_.reached_.push_back(startIndex);
    sequence_ = 0;
    correction_ = 0;
    work_ = {};

    const char* passFormat = quick ? quickSearchPassFormat : searchPassFormat;
    const char* correctionFormat = quick ? quickSearchCorrectionFormat : searchCorrectionFormat;
    enterOpen(startIndex);
    bestLength_ = noRoute;
    status(passFormat);
    loop(quick, passFormat, correctionFormat);
    return result(startIndex);
}

// Takes vertices from the open list until it is empty (or, in the quick
// search, until the target comes out).
void RouteSearch::loop(bool quick, const char* passFormat, const char* correctionFormat)
{
    OpenList& open = workspace_.open_;
    while (!open.empty()) {
        // Vertices that already cost more than the best route are dropped
        // when they come to the front; they count as unseen again.
        while (!open.empty() && vertices_[open.front()].cost > bestLength_)
            open.popFront(OpenList::unseen);
        if (open.empty())
            break;
        const uint32_t current = open.front();
        open.popFront(OpenList::closed);
        ++work_.passes;

        if (current == targetIndex_) {
            // The target is never expanded.
            if (quick) {
                bestLength_ = vertices_[current].cost;
                break;
            }
            if (vertices_[current].cost < bestLength_)
                bestLength_ = vertices_[current].cost;
            continue;
        }
        expand(current, passFormat, correctionFormat);
    }
}

// The outcome, and the route read once from the predecessors, target first,
// then turned round. A route holds every vertex at most once, so a chain
// longer than the graph could only be a loop; none is taken as a route.
Route RouteSearch::result(uint32_t startIndex) const
{
    Route route;
    route.work = work_;
    if (!(bestLength_ <= anyRoute))
        return route;
    route.outcome = Route::Outcome::found;
    route.length = bestLength_;
    uint32_t vertex = targetIndex_;
    while (vertex != SearchGraph::none && route.path.size() < graph_.size()) {
        route.path.push_back(vertex);
        if (vertex == startIndex)
            break;
        vertex = vertices_[vertex].previous;
    }
    if (route.path.empty() || route.path.back() != startIndex)
        route.path.clear();
    std::reverse(route.path.begin(), route.path.end());
    return route;
}

void RouteSearch::expand(uint32_t current, const char* passFormat, const char* correctionFormat)
{
    const SearchGraph& graph = graph_;
    const uint32_t end = graph.firstArc(current + 1);
    for (uint32_t arc = graph.firstArc(current); arc < end; ++arc) {
        if (observer_ != nullptr)
            observer_->examinedEdge(graph.edge(current, arc));
        const uint32_t next = graph.arcs()[arc].to;
        // The current vertex's cost is read afresh: a correction started by an
        // earlier edge may have lowered it.
        const float newCost = vertices_[current].cost + graph.arcs()[arc].weight;
        SearchVertex& state = vertices_[next];
        if (state.slot != OpenList::unseen) {
            if (next == targetIndex_ && newCost < bestLength_)
                bestLength_ = newCost;
            if (newCost < state.cost) {
                // A cheaper way to a vertex already seen: carry it on.
                startCorrection();
                state.mark = correction_;
                state.previous = current;
                status(correctionFormat);
                propagate(next, newCost);
                status(passFormat);
            }
        } else if (newCost < bestLength_) {
            if (state.previous != SearchGraph::none && state.cost < newCost) {
                // Dropped by pruning earlier and made cheaper since by a
                // correction: it comes back with its own cost and
                // predecessor. Raising its cost here would leave the
                // vertices routed through it with costs their route
                // does not add up to.
                enterOpen(next);
                continue;
            }
            state.cost = newCost;
            state.previous = current;
            workspace_.reached_.push_back(next);
            estimates_[next] = squaredDistance(*graph.vertex(next), *target_);
            enterOpen(next);
        }
    }
}

// Depth-first correction with an explicit stack, visiting the vertices in the
// order a recursive walk over the edges would: a vertex's next edge is looked
// at only after everything reached through its earlier edges is done. Every
// vertex entered is marked first, so no vertex is entered twice in one
// correction. An edge is followed when its end is not marked yet and either
// is routed through this vertex (cheaper or not) or gets cheaper by it.
void RouteSearch::propagate(uint32_t vertex, float newCost)
{
    const SearchGraph::Arc* const arcs = graph_.arcs();
    const uint32_t* const first = graph_.firstArcs();
    SearchVertex* const vertices = vertices_;
    const uint32_t mark = correction_;
    std::vector<Frame>& stack = workspace_.stack_;
    long long looked = 0;

    stack.clear();
    enterCost(vertex, newCost);
    stack.push_back({vertex, newCost, first[vertex], first[vertex + 1]});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const uint32_t from = frame.vertex;
        const float cost = frame.cost;
        const uint32_t end = frame.endArc;
        uint32_t arc = frame.nextArc;
        uint32_t next = 0;
        float nextCost = 0.0f;
        for (; arc < end; ++arc) {
            next = arcs[arc].to;
            nextCost = cost + arcs[arc].weight;
            const SearchVertex& state = vertices[next];
            if ((state.mark != mark) & ((state.previous == from) | (state.cost > nextCost)))
                break;
        }
        looked += arc - frame.nextArc + (arc < end ? 1 : 0);
        if (arc == end) {
            stack.pop_back();
            continue;
        }
        frame.nextArc = arc + 1;
        SearchVertex& state = vertices[next];
        state.previous = from;
        state.mark = mark;
        enterCost(next, nextCost);
        const uint32_t begin = first[next];
        const uint32_t finish = first[next + 1];
        // The states of all its edges' ends are needed next, one after the
        // other, and then the edges of those entered; asking for them at
        // once overlaps the memory latencies. A vertex has nine edges on
        // average, 108 bytes over two or three cache lines. (The addresses
        // are computed as integers: near the end of the array they may lie
        // past it, which a prefetch does not mind.)
        for (uint32_t k = begin; k < finish; ++k) {
            const SearchGraph::Arc& out = arcs[k];
            __builtin_prefetch(&vertices[out.to]);
            __builtin_prefetch(&first[out.to]);
            const uintptr_t edges = reinterpret_cast<uintptr_t>(&arcs[out.toArcs]);
            __builtin_prefetch(reinterpret_cast<const void*>(edges));
            __builtin_prefetch(reinterpret_cast<const void*>(edges + 64));
            __builtin_prefetch(reinterpret_cast<const void*>(edges + 128));
        }
        stack.push_back({next, nextCost, begin, finish});
    }
    work_.correctionEdges += looked;
}
