// The full and the quick route search over the index form of the graph.
#include "route/RouteSearch.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <limits>
#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "route/SearchGraph.h"
#include "terrain/Vertex.h"

namespace {

constexpr float noRoute = std::numeric_limits<float>::max();  // 3.4028235e38
constexpr float anyRoute = 1e38f;

// Four lanes of comparison results (the search's Words and Floats hold
// walk arcs and costs).
using Lanes = int32_t __attribute__((vector_size(16)));

// Bit i set for lane i of `lanes` that has all bits set.
inline uint32_t laneBits(Lanes lanes)
{
#if defined(__SSE2__)
    return static_cast<uint32_t>(_mm_movemask_ps(reinterpret_cast<__m128>(lanes)));
#else
    return static_cast<uint32_t>((lanes[0] & 1) | (lanes[1] & 2) | (lanes[2] & 4) | (lanes[3] & 8));
#endif
}

}  // namespace

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

void RouteSearch::status(SearchPhase phase)
{
    if (observer_ != nullptr)
        observer_->searchStatus(kind_, phase, shownLength());
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
    vertices_[vertex].cost = newCost;
    if (OpenList::holds(vertices_[vertex]))
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
    previous_ = workspace_.previous_.data();
    estimates_ = workspace_.estimates_.data();
    workspace_.reached_.push_back(startIndex);
    sequence_ = 0;
    correction_ = 0;
    work_ = {};

    kind_ = quick ? SearchKind::quick : SearchKind::full;
    enterOpen(startIndex);
    bestLength_ = noRoute;
    status(SearchPhase::pass);
    loop(quick);
    return result(startIndex);
}

// Takes vertices from the open list until it is empty (or, in the quick
// search, until the target comes out).
void RouteSearch::loop(bool quick)
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
        expand(current);
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
        vertex = previous_[vertex];
    }
    if (route.path.empty() || route.path.back() != startIndex)
        route.path.clear();
    std::reverse(route.path.begin(), route.path.end());
    return route;
}

void RouteSearch::expand(uint32_t current)
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
                setPrevious(next, current, childBit(current, next));
                status(SearchPhase::correction);
                propagate(next, newCost);
                status(SearchPhase::pass);
            }
        } else if (newCost < bestLength_) {
            if (previous_[next] != SearchGraph::none && state.cost < newCost) {
                // Dropped by pruning earlier and made cheaper since by a
                // correction: it comes back with its own cost and
                // predecessor. Raising its cost here would leave the
                // vertices routed through it with costs their route
                // does not add up to.
                enterOpen(next);
                continue;
            }
            state.cost = newCost;
            setPrevious(next, current, childBit(current, next));
            workspace_.reached_.push_back(next);
            estimates_[next] = squaredDistance(*graph.vertex(next), *target_);
            enterOpen(next);
        }
    }
}

// The predecessor of `vertex` becomes `parent`, whose masks have `bit` for
// it, and the child masks of the old and the new predecessor follow.
inline void RouteSearch::setPrevious(uint32_t vertex, uint32_t parent, uint32_t bit)
{
    const uint32_t old = previous_[vertex];
    if (old == parent)
        return;
    if (old != SearchGraph::none)
        vertices_[old].children &= ~childBit(old, vertex);
    vertices_[parent].children |= bit;
    previous_[vertex] = parent;
}

// The bit of `child` in the masks of `parent`: that of its walk arc to it
// (each target has one), or none when `parent` is walked edge by edge.
uint32_t RouteSearch::childBit(uint32_t parent, uint32_t child) const
{
    const SearchGraph::WalkSlot& slot = graph_.walkSlot(parent);
    const uint32_t* const arcs = graph_.walkArcs(slot);
    for (uint32_t i = 0; i < slot.count; ++i)
        if (SearchGraph::walkTarget(arcs[i]) == child)
            return 1u << i;
    return 0;
}

// Depth-first correction with an explicit stack, visiting the vertices in the
// order a recursive walk over the edges would: a vertex's next edge is looked
// at only after everything reached through its earlier edges is done. Every
// vertex entered is marked first, so no vertex is entered twice in one
// correction. An edge is followed when its end is not marked yet and either
// is routed through this vertex (cheaper or not) or gets cheaper by it.
// Every vertex entered has all its edges looked at before the walk leaves
// it, so the edges looked at are the entered vertices' full lists.
void RouteSearch::propagate(uint32_t vertex, float newCost)
{
    const uint32_t mark = correction_;
    std::vector<Frame>& stack = workspace_.stack_;
    long long looked = 0;

    stack.clear();
    enterCost(vertex, newCost);
    looked += enterFrame(frameOf(vertex, newCost));
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const uint32_t from = frame.vertex;
        const bool byMasks = frame.walk != nullptr;
        const Step step = byMasks ? nextByMasks(frame, mark) : nextEdgeByEdge(frame, mark);
        if (step.vertex == SearchGraph::none) {
            stack.pop_back();
            continue;
        }
        // A frame with no candidates left is done: it goes now rather than
        // after the walk below the vertex being entered.
        if (byMasks && frame.candidates == 0)
            stack.pop_back();
        // (`frame` is not used past here: the stack may change.)
        if (!step.child)
            setPrevious(step.vertex, from, step.bit);
        vertices_[step.vertex].mark = mark;
        enterCost(step.vertex, step.cost);
        looked += enterFrame(frameOf(step.vertex, step.cost));
    }
    work_.correctionEdges += looked;
}

// Puts the frame of a vertex just entered on the correction stack, unless it
// is walked by masks and has no candidates (nothing would be done with it),
// and gives the length of its full list: all of it counts as looked at.
inline uint32_t RouteSearch::enterFrame(const Frame& frame)
{
    if (frame.walk == nullptr || frame.candidates != 0)
        workspace_.stack_.push_back(frame);
    return frame.listLength;
}

// A vertex entered by a correction with `cost`. Walked by masks, its
// candidates are its children and the ends of the walk arcs it makes
// cheaper, found in one pass now; ends the correction has already entered
// are left out, as marks stay for the whole correction. The answer holds
// for the whole walk below the vertex: while it is being walked, the ends of
// its edges change only by being entered, which marks them, so an unmarked
// end is as it was now. A later edge to the same end is never needed (the
// graph keeps it only when it is lighter, and walks such a vertex edge by
// edge).
inline RouteSearch::Frame RouteSearch::frameOf(uint32_t vertex, float cost) const
{
    const SearchGraph::WalkSlot& slot = graph_.walkSlot(vertex);
    if (!slot.byMasks) {
        // The states of all its edges' ends are needed next, one after the
        // other; asking for them at once overlaps the memory latencies.
        const uint32_t* const first = graph_.firstArcs();
        const SearchGraph::Arc* const arcs = graph_.arcs();
        for (uint32_t k = first[vertex]; k < first[vertex + 1]; ++k) {
            __builtin_prefetch(&vertices_[arcs[k].to]);
            __builtin_prefetch(&previous_[arcs[k].to]);
        }
        return {vertex, cost, first[vertex + 1] - first[vertex], first[vertex], first[vertex + 1], nullptr, 0, 0};
    }
    const uint32_t* const walk = graph_.walkArcs(slot);
    const Ends ends = endsOf(walk, slot.count, cost);
    const uint32_t children = vertices_[vertex].children;
    return {vertex, cost, slot.listLength, 0, 0, walk, (children | ends.cheaper) & ends.unmarked, children};
}

// What the `count` walk arcs at `walk` lead to, bit i for walk arc i: ends
// that `cost` plus the arc's weight makes cheaper, and ends the running
// correction has not entered. Four arcs at a time, each lane adding and
// comparing exactly as one arc alone would; the last group may read up to
// three words past the vertex's arcs (the graph keeps room for that), and
// those lanes give no bits.
inline RouteSearch::Ends RouteSearch::endsOf(const uint32_t* walk, uint32_t count, float cost) const
{
    Ends ends{0, 0};
    // Up to the arcs a slot holds, always two groups, with no loop to leave.
    if (count <= SearchGraph::inlineArcs) {
        addEnds(ends, walk, 0, count, cost);
        addEnds(ends, walk, 4, count, cost);
    } else {
        for (uint32_t i = 0; i < count; i += 4)
            addEnds(ends, walk, i, count, cost);
    }
    return ends;
}

// The costs and marks of the four vertices `to`.
inline void RouteSearch::endStates(Words to, Floats& costs, Words& marks) const
{
#if defined(__SSE2__)
    // The four 16-byte records turned on their side: two unpacks put the
    // costs and marks of two records together, two moves make the lanes.
    static_assert(sizeof(SearchVertex) == 16 && offsetof(SearchVertex, mark) == 4);
    const __m128 a = _mm_loadu_ps(&vertices_[to[0]].cost);
    const __m128 b = _mm_loadu_ps(&vertices_[to[1]].cost);
    const __m128 c = _mm_loadu_ps(&vertices_[to[2]].cost);
    const __m128 d = _mm_loadu_ps(&vertices_[to[3]].cost);
    const __m128 ab = _mm_unpacklo_ps(a, b);  // a.cost, b.cost, a.mark, b.mark
    const __m128 cd = _mm_unpacklo_ps(c, d);
    costs = reinterpret_cast<Floats>(_mm_movelh_ps(ab, cd));
    marks = reinterpret_cast<Words>(_mm_movehl_ps(cd, ab));
#else
    const SearchVertex& a = vertices_[to[0]];
    const SearchVertex& b = vertices_[to[1]];
    const SearchVertex& c = vertices_[to[2]];
    const SearchVertex& d = vertices_[to[3]];
    costs = Floats{a.cost, b.cost, c.cost, d.cost};
    marks = Words{a.mark, b.mark, c.mark, d.mark};
#endif
}

// Adds the bits of walk arcs i .. i + 3 of the `count` at `walk` to `ends`.
inline void RouteSearch::addEnds(Ends& ends, const uint32_t* walk, uint32_t i, uint32_t count, float cost) const
{
    const Floats from = {cost, cost, cost, cost};
    const Words mark = {correction_, correction_, correction_, correction_};
    Words arcs;
    std::memcpy(&arcs, reinterpret_cast<const char*>(walk) + i * sizeof(uint32_t), sizeof arcs);
    // Lanes past the vertex's last arc hold whatever follows it: they look
    // at vertex 0 instead and give no bits.
    // (Places and counts are small: a signed comparison is one step.)
    const Lanes place = Lanes{0, 1, 2, 3} + static_cast<int32_t>(i);
    const Words inList = reinterpret_cast<Words>(place < static_cast<int32_t>(count));
    const Words to = arcs & (SearchGraph::maxWalkedVertices - 1) & inList;
    // One of these ends is likely entered next: its slot is asked for now,
    // while its state is read.
    __builtin_prefetch(&graph_.walkSlot(to[0]));
    __builtin_prefetch(&graph_.walkSlot(to[1]));
    __builtin_prefetch(&graph_.walkSlot(to[2]));
    __builtin_prefetch(&graph_.walkSlot(to[3]));
    // (Weights fit a signed lane, which converts to float in one step.)
    const Floats reached = from + __builtin_convertvector(reinterpret_cast<Lanes>(arcs >> 24), Floats);
    Floats costs;
    Words marks;
    endStates(to, costs, marks);
    // A comparison sets all bits of the lanes where it holds.
    ends.cheaper |= laneBits((costs > reached) & reinterpret_cast<Lanes>(inList)) << i;
    ends.unmarked |= laneBits(reinterpret_cast<Lanes>((marks != mark) & inList)) << i;
}

// The next edge of `frame` to follow, looking at its edges one by one.
inline RouteSearch::Step RouteSearch::nextEdgeByEdge(Frame& frame, uint32_t mark) const
{
    const SearchGraph::Arc* const arcs = graph_.arcs();
    const SearchVertex* const vertices = vertices_;
    const uint32_t* const previous = previous_;
    const uint32_t from = frame.vertex;
    const float cost = frame.cost;
    const uint32_t end = frame.end;
    uint32_t arc = frame.next;
    for (; arc < end; ++arc) {
        const uint32_t to = arcs[arc].to;
        const SearchVertex& state = vertices[to];
        if ((state.mark != mark) & ((previous[to] == from) | (state.cost > cost + arcs[arc].weight)))
            break;
    }
    frame.next = arc + 1;
    if (arc == end)
        return {SearchGraph::none, 0.0f, false, 0};
    const uint32_t to = arcs[arc].to;
    return {to, cost + arcs[arc].weight, previous[to] == from, 0};
}

// The next edge of `frame` to follow, taken from its candidates by the
// lowest bit whose end is not marked.
inline RouteSearch::Step RouteSearch::nextByMasks(Frame& frame, uint32_t mark) const
{
    const uint32_t* const walk = frame.walk;
    uint32_t candidates = frame.candidates;
    while (candidates != 0) {
        const uint32_t bit = candidates & -candidates;
        candidates ^= bit;
        const uint32_t arc = walk[std::countr_zero(bit)];
        const uint32_t to = SearchGraph::walkTarget(arc);
        if (vertices_[to].mark != mark) {
            frame.candidates = candidates;
            return {to, frame.cost + SearchGraph::walkWeight(arc), (frame.children & bit) != 0, bit};
        }
    }
    frame.candidates = 0;
    return {SearchGraph::none, 0.0f, false, 0};
}
