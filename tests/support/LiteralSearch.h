// The route search written the plain way, as a reference for the library's:
// its lists are arrays with a linear membership scan, a new element goes in
// front, and the open list is sorted in full at the end of every pass. Same
// rules as the library's search (pruning, never expanding the target,
// depth-first corrections, a vertex dropped by pruning and made cheaper since
// comes back with its own cost) and the same tie rule: every entry into the
// open list takes the next number of a sequence, and among equal totals the
// newest entry comes first. It reports what it examines to an observer.
#pragma once

#include "route/RouteSearch.h"
#include "route/ModelSearch.h"
#include "terrain/ModelLists.h"
#include "terrain/Vertex.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace testkit {

class LiteralSearchList {
public:
    void pushFront(Vertex* v) { items.insert(items.begin(), v); }
    void popFront() { items.erase(items.begin()); }
    Vertex* front() const { return items.front(); }
    bool empty() const { return items.empty(); }
    bool contains(const Vertex* v) const { return std::find(items.begin(), items.end(), v) != items.end(); }
    void clear() { items.clear(); }
    // Ascending by cost + estimate (in double); among equal sums the larger
    // entry number first.
    void sortByTotal(const std::unordered_map<const Vertex*, std::uint64_t>& entry)
    {
        std::stable_sort(items.begin(), items.end(), [&](const Vertex* a, const Vertex* b) {
            const double ta = static_cast<double>(a->cost) + a->estimate;
            const double tb = static_cast<double>(b->cost) + b->estimate;
            return ta < tb || (ta == tb && entry.at(a) > entry.at(b));
        });
    }

private:
    std::vector<Vertex*> items;
};

class LiteralSearch {
public:
    explicit LiteralSearch(SearchObserver* observer = nullptr) : observer(observer) {}

    // Work done by the last search.
    long passes = 0;          // vertices taken from the open list
    long corrections = 0;     // corrections started
    long correctionEdges = 0; // edges looked at inside corrections

    // 0: same vertex; positive: length; -1: no route.
    float search(Vertex* start, Vertex* goal, bool quick = false)
    {
        if (start == goal)
            return 0.0f;
        if (start == nullptr || goal == nullptr)
            return -1.0f;
        kind = quick ? SearchKind::quick : SearchKind::full;
        target = goal;
        modelSearch().vertexFieldsChanged();
        for (Vertex* v : vertexList()) {
            v->previous = nullptr;
            v->cost = 0.0f;
            v->estimate = 0.0f;
        }
        LiteralSearchList open, closed;
        std::unordered_map<const Vertex*, std::uint64_t> entry;
        std::uint64_t entries = 0;
        auto enter = [&](Vertex* v) {
            open.pushFront(v);
            entry[v] = entries++;
        };
        enter(start);
        start->cost = 0.0f;
        bestLength = 3.4028235e38f;
        status(SearchPhase::pass);
        while (!open.empty()) {
            Vertex* cur = open.front();
            bool emptied = false;
            while (cur->cost > bestLength) {
                open.popFront();
                if (open.empty()) {
                    emptied = true;
                    break;
                }
                cur = open.front();
            }
            if (emptied)
                break;
            closed.pushFront(cur);
            open.popFront();
            ++passes;
            if (cur == target) {
                if (quick) {
                    bestLength = cur->cost;
                    break;
                }
                if (cur->cost < bestLength)
                    bestLength = cur->cost;
                continue;
            }
            for (const Edge& e : cur->edges) {
                if (observer)
                    observer->examinedEdge(e);
                Vertex* b = e.to;
                const float newCost = cur->cost + static_cast<float>(e.weight);
                if (open.contains(b) || closed.contains(b)) {
                    if (b == target && newCost < bestLength)
                        bestLength = newCost;
                    if (newCost < b->cost) {
                        ++corrections;
                        corrected.clear();
                        corrected.pushFront(b);
                        b->previous = cur;
                        status(SearchPhase::correction);
                        propagate(b, newCost);
                        status(SearchPhase::pass);
                    }
                } else if (newCost < bestLength) {
                    enter(b);
                    // Dropped by pruning and made cheaper since: back with
                    // its own cost and predecessor.
                    if (b->previous != nullptr && b->cost < newCost)
                        continue;
                    b->cost = newCost;
                    b->previous = cur;
                    b->estimate = squaredDistance(*b, *target);
                }
            }
            open.sortByTotal(entry);
        }
        return bestLength <= 1e38f ? bestLength : -1.0f;
    }

private:
    void status(SearchPhase phase)
    {
        if (observer)
            observer->searchStatus(kind, phase, bestLength <= 1e38f ? bestLength : 0.0);
    }

    // Depth-first correction, with an explicit stack so that long chains
    // don't exhaust the call stack; the order of visits is that of the
    // recursive form.
    void propagate(Vertex* vertex, float newCost)
    {
        struct Frame {
            Vertex* v;
            float cost;
            std::size_t next;
        };
        std::vector<Frame> stack;
        auto enter = [&](Vertex* v, float c) {
            v->cost = c;
            if (v == target && c < bestLength)
                bestLength = c;
            stack.push_back({v, c, 0});
        };
        enter(vertex, newCost);
        while (!stack.empty()) {
            Frame& f = stack.back();
            if (f.next >= f.v->edges.size()) {
                stack.pop_back();
                continue;
            }
            ++correctionEdges;
            const Edge& e = f.v->edges[f.next++];
            Vertex* b = e.to;
            const float d = f.cost + static_cast<float>(e.weight);
            if (corrected.contains(b))
                continue;
            if (b->previous == f.v) {
                corrected.pushFront(b);
                enter(b, d);
            } else if (b->cost > d) {
                b->previous = f.v;
                corrected.pushFront(b);
                enter(b, d);
            }
        }
    }

    SearchObserver* observer;
    LiteralSearchList corrected;
    float bestLength = 0.0f;
    SearchKind kind = SearchKind::full;
    Vertex* target = nullptr;
};

} // namespace testkit
