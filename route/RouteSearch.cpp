// The full and the quick route search over the index form of the graph.
#include "route/RouteSearch.h"

#include <limits>

#include "route/SearchGraph.h"
#include "terrain/FormatLine.h"
#include "terrain/ModelLists.h"
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

RouteSearch::RouteSearch(SearchObserver* observer) : observer_(observer) {}

RouteSearch::~RouteSearch() = default;

float RouteSearch::search(Vertex* start, Vertex* target)
{
    return run(start, target, false);
}

float RouteSearch::quickSearch(Vertex* start, Vertex* target)
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
    open_.enter(vertex, total, sequence_++);
}

// A new cost for a vertex: an open one moves to its place in the open list
// (keeping its entry number), and the target lowers the best length.
inline void RouteSearch::enterCost(uint32_t vertex, float newCost)
{
    SearchVertex& state = vertices_[vertex];
    state.cost = newCost;
    if (OpenList::holds(state))
        open_.rekey(vertex, static_cast<double>(newCost) + static_cast<double>(estimates_[vertex]));
    if (vertex == targetIndex_ && newCost < bestLength_)
        bestLength_ = newCost;
}

// Numbers the next correction; when the numbers run out they start again at
// 1, after clearing the marks (only vertices the search reached have any).
inline void RouteSearch::startCorrection()
{
    if (++correction_ == 0) {
        for (uint32_t vertex : reached_)
            vertices_[vertex].mark = 0;
        correction_ = 1;
    }
    ++work_.corrections;
}

float RouteSearch::run(Vertex* start, Vertex* target, bool quick)
{
    if (start == target)
        return 0.0f;
    if (start == nullptr || target == nullptr)
        return -1.0f;

    SearchGraph& graph = searchGraph();
    graph.update();
    const uint32_t startIndex = graph.indexOf(start);
    const uint32_t targetIndex = graph.indexOf(target);
    if (startIndex == SearchGraph::none || targetIndex == SearchGraph::none)
        return -1.0f;
    graph_ = &graph;
    target_ = target;
    targetIndex_ = targetIndex;

    const char* passFormat = quick ? quickSearchPassFormat : searchPassFormat;
    const char* correctionFormat = quick ? quickSearchCorrectionFormat : searchCorrectionFormat;

    if (!graph.workClean || graph.workState.size() != graph.size()) {
        graph.workState.assign(graph.size(), SearchVertex{0.0f, SearchGraph::none, 0, OpenList::unseen});
        graph.workEstimates.assign(graph.size(), 0.0f);
    }
    graph.workClean = false;
    vertices_ = graph.workState.data();
    estimates_ = graph.workEstimates.data();
    reached_.clear();
    reached_.push_back(startIndex);
    open_.reset(vertices_);
    sequence_ = 0;
    correction_ = 0;
    work_ = {};

    enterOpen(startIndex);
    bestLength_ = noRoute;
    status(passFormat);

    while (!open_.empty()) {
        // Vertices that already cost more than the best route are dropped
        // when they come to the front; they count as unseen again.
        while (!open_.empty() && vertices_[open_.front()].cost > bestLength_)
            open_.popFront(OpenList::unseen);
        if (open_.empty())
            break;
        const uint32_t current = open_.front();
        open_.popFront(OpenList::closed);
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
    writeBack();
    return bestLength_ <= anyRoute ? bestLength_ : -1.0f;
}

void RouteSearch::expand(uint32_t current, const char* passFormat, const char* correctionFormat)
{
    const SearchGraph& graph = *graph_;
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
            reached_.push_back(next);
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
    const SearchGraph::Arc* const arcs = graph_->arcs();
    const uint32_t* const first = graph_->firstArcs();
    SearchVertex* const vertices = vertices_;
    const uint32_t mark = correction_;
    long long looked = 0;

    stack_.clear();
    enterCost(vertex, newCost);
    stack_.push_back({vertex, newCost, first[vertex], first[vertex + 1]});
    while (!stack_.empty()) {
        Frame& frame = stack_.back();
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
            stack_.pop_back();
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
        stack_.push_back({next, nextCost, begin, finish});
    }
    work_.correctionEdges += looked;
}

// Every vertex gets its cost, estimate and predecessor (0, 0 and null when
// the search did not reach it); the working arrays are cleaned for the next
// search. Only the vertices this search or the one before reached are
// written, unless the others may hold something else (a new graph, or
// fields written elsewhere): then all of them, in list order, which is the
// order the vertices lie in memory.
void RouteSearch::writeBack()
{
    SearchGraph& graph = *graph_;
    auto store = [&](Vertex* vertex, uint32_t i) {
        const SearchVertex& state = vertices_[i];
        vertex->cost = state.cost;
        vertex->estimate = estimates_[i];
        vertex->previous = state.previous == SearchGraph::none ? nullptr : graph.vertex(state.previous);
    };
    if (graph.writtenKnown) {
        for (uint32_t i : graph.written) {
            Vertex* vertex = graph.vertex(i);
            vertex->cost = 0.0f;
            vertex->estimate = 0.0f;
            vertex->previous = nullptr;
        }
        for (uint32_t i : reached_)
            store(graph.vertex(i), i);
    } else {
        for (Vertex* vertex : vertexList())
            store(vertex, vertex->searchIndex);
        for (uint32_t i = graph.listed(); i < graph.size(); ++i)
            store(graph.vertex(i), i);
    }
    for (uint32_t vertex : reached_) {
        vertices_[vertex] = SearchVertex{0.0f, SearchGraph::none, 0, OpenList::unseen};
        estimates_[vertex] = 0.0f;
    }
    // What this search reached is what the next one clears.
    graph.written.swap(reached_);
    graph.writtenKnown = true;
    graph.workClean = true;
}
