#include "route/RouteSearch.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "terrain/ModelLists.h"
#include "terrain/Vertex.h"

namespace {

// Membership of a vertex during one search.
enum : uint8_t { unseen = 0, inOpen = 1, inClosed = 2 };

constexpr float noRoute = std::numeric_limits<float>::max();  // 3.4028235e38
constexpr float anyRoute = 1e38f;

// Heap order: the entry of least cost plus estimate on top.
constexpr auto laterInOpen = [](const auto& a, const auto& b) { return a.total > b.total; };

}  // namespace

std::string formatStatusLine(const char* format, double shownLength)
{
    char text[512];
    const int length = std::snprintf(text, sizeof text, format, shownLength);
    if (length < 0)
        return {};
    return std::string(text, static_cast<std::size_t>(length) < sizeof text ? length : sizeof text - 1);
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

// The open list is a binary heap keyed by cost + estimate (summed in double).
// A vertex whose cost changes while it is open gets a fresh entry with a new
// version; older entries of it are skipped when they come to the top. So the
// top valid entry is always a vertex of least cost plus estimate as the costs
// stand, which is what a list sorted at the end of every pass would yield.
void RouteSearch::pushOpen(Vertex* vertex)
{
    if (vertex->searchState != inOpen) {
        vertex->searchState = inOpen;
        ++openCount_;
    }
    ++vertex->searchVersion;
    open_.push_back({static_cast<double>(vertex->cost) + static_cast<double>(vertex->estimate), vertex,
                     vertex->searchVersion});
    std::push_heap(open_.begin(), open_.end(), laterInOpen);
}

Vertex* RouteSearch::openFront()
{
    while (!open_.empty()) {
        const OpenEntry& top = open_.front();
        if (top.vertex->searchState == inOpen && top.version == top.vertex->searchVersion)
            return top.vertex;
        std::pop_heap(open_.begin(), open_.end(), laterInOpen);
        open_.pop_back();
    }
    return nullptr;
}

// Removes the vertex openFront returned; the caller sets its new state.
void RouteSearch::popOpenFront()
{
    std::pop_heap(open_.begin(), open_.end(), laterInOpen);
    open_.back().vertex->searchState = unseen;
    open_.pop_back();
    --openCount_;
}

void RouteSearch::enterCost(Vertex* vertex, float newCost)
{
    vertex->cost = newCost;
    if (vertex->searchState == inOpen)
        pushOpen(vertex);
    if (vertex == target_ && newCost < bestLength_)
        bestLength_ = newCost;
}

void RouteSearch::startCorrection()
{
    if (++correction_ == 0) {
        for (Vertex* vertex : vertexList())
            vertex->correctionMark = 0;
        correction_ = 1;
    }
}

float RouteSearch::run(Vertex* start, Vertex* target, bool quick)
{
    if (start == target)
        return 0.0f;
    if (start == nullptr || target == nullptr)
        return -1.0f;

    const char* passFormat = quick ? quickSearchPassFormat : searchPassFormat;
    const char* correctionFormat = quick ? quickSearchCorrectionFormat : searchCorrectionFormat;

    target_ = target;
    for (Vertex* vertex : vertexList()) {
        vertex->previous = nullptr;
        vertex->cost = 0.0f;
        vertex->estimate = 0.0f;
        vertex->searchState = unseen;
        vertex->searchVersion = 0;
        vertex->correctionMark = 0;
    }
    open_.clear();
    openCount_ = 0;
    correction_ = 0;

    start->cost = 0.0f;
    pushOpen(start);
    bestLength_ = noRoute;
    status(passFormat);

    while (openCount_ > 0) {
        Vertex* current = openFront();
        // Vertices that already cost more than the best route are dropped
        // when they come to the front; they count as unseen again.
        while (current != nullptr && current->cost > bestLength_) {
            popOpenFront();
            current = openCount_ > 0 ? openFront() : nullptr;
        }
        if (current == nullptr)
            break;
        popOpenFront();
        current->searchState = inClosed;

        if (current == target_) {
            // The target is never expanded.
            if (quick) {
                bestLength_ = current->cost;
                break;
            }
            if (current->cost < bestLength_)
                bestLength_ = current->cost;
            continue;
        }

        for (std::size_t k = 0; k < current->edges.size(); ++k) {
            const Edge& edge = current->edges[k];
            if (observer_ != nullptr)
                observer_->examinedEdge(edge);
            Vertex* next = edge.to;
            const float newCost = current->cost + edge.weight;
            if (next->searchState != unseen) {
                if (next == target_ && newCost < bestLength_)
                    bestLength_ = newCost;
                if (newCost < next->cost) {
                    // A cheaper way to a vertex already seen: carry it on.
                    startCorrection();
                    next->correctionMark = correction_;
                    next->previous = current;
                    status(correctionFormat);
                    propagate(next, newCost);
                    status(passFormat);
                }
            } else if (newCost < bestLength_) {
                if (next->previous != nullptr && next->cost < newCost) {
                    // Dropped by pruning earlier and made cheaper since by a
                    // correction: it comes back with its own cost and
                    // predecessor. Raising its cost here would leave the
                    // vertices routed through it with costs their route
                    // does not add up to.
                    pushOpen(next);
                    continue;
                }
                next->cost = newCost;
                next->previous = current;
                next->estimate = squaredDistance(*next, *target_);
                pushOpen(next);
            }
        }
    }
    return bestLength_ <= anyRoute ? bestLength_ : -1.0f;
}

// Depth-first correction with an explicit stack, visiting the vertices in the
// order a recursive walk over the edges would: a vertex's next edge is looked
// at only after everything reached through its earlier edges is done. Every
// vertex entered is marked first, so no vertex is entered twice in one
// correction.
void RouteSearch::propagate(Vertex* vertex, float newCost)
{
    stack_.clear();
    enterCost(vertex, newCost);
    stack_.push_back({vertex, newCost, 0});
    while (!stack_.empty()) {
        Frame& frame = stack_.back();
        if (frame.nextEdge == frame.vertex->edges.size()) {
            stack_.pop_back();
            continue;
        }
        Vertex* from = frame.vertex;
        const Edge& edge = from->edges[frame.nextEdge++];
        Vertex* next = edge.to;
        const float cost = frame.cost + edge.weight;
        if (next->correctionMark == correction_)
            continue;
        if (next->previous == from) {
            // Routed through this vertex: follows it, cheaper or not.
        } else if (next->cost > cost) {
            next->previous = from;
        } else {
            continue;
        }
        next->correctionMark = correction_;
        enterCost(next, cost);
        stack_.push_back({next, cost, 0});
    }
}
