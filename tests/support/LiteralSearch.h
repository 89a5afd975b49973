// The route search written the plain way, for comparison only: its lists are
// arrays with a linear membership scan, the new element goes in front, and the
// open list is sorted in full at the end of every pass. Same rules as the
// library's search (pruning, never expanding the target, depth-first
// corrections) but one: a vertex dropped by pruning is entered again with the
// cost of the edge that reaches it, even when a correction has made it
// cheaper meanwhile (the library keeps the cheaper cost). It draws nothing.
#pragma once

#include "terrain/ModelLists.h"
#include "terrain/Vertex.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace bench {

class LiteralSearchList {
public:
    void pushFront(Vertex* v) { items.insert(items.begin(), v); }
    void popFront() { items.erase(items.begin()); }
    Vertex* front() const { return items.front(); }
    std::size_t size() const { return items.size(); }
    bool empty() const { return items.empty(); }
    bool contains(const Vertex* v) const { return std::find(items.begin(), items.end(), v) != items.end(); }
    void clear() { items.clear(); }
    void sortByTotal()
    {
        std::sort(items.begin(), items.end(), [](const Vertex* a, const Vertex* b) {
            return static_cast<double>(a->cost) + a->estimate < static_cast<double>(b->cost) + b->estimate;
        });
    }

private:
    std::vector<Vertex*> items;
};

class LiteralSearch {
public:
    // Work done by the last search.
    long passes = 0;          // vertices taken from the open list
    long corrections = 0;     // corrections started
    long correctionEdges = 0; // edges looked at inside corrections

    // 0: same vertex; positive: length; -1: no route.
    float search(Vertex* start, Vertex* goal, bool quick = false)
    {
        if (start == goal)
            return 0.0f;
        target = goal;
        for (Vertex* v : vertexList()) {
            v->previous = nullptr;
            v->cost = 0.0f;
            v->estimate = 0.0f;
        }
        LiteralSearchList open, closed;
        open.pushFront(start);
        start->cost = 0.0f;
        bestLength = 3.4028235e38f;
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
                        propagate(b, newCost);
                    }
                } else if (newCost < bestLength) {
                    open.pushFront(b);
                    b->cost = newCost;
                    b->previous = cur;
                    b->estimate = squaredDistance(*b, *target);
                }
            }
            open.sortByTotal();
        }
        return bestLength <= 1e38f ? bestLength : -1.0f;
    }

    static float squaredDistance(const Vertex& a, const Vertex& b)
    {
        const std::int64_t dx = b.x - a.x, dy = b.y - a.y, dh = b.height - a.height;
        return static_cast<float>(dx * dx + dy * dy + dh * dh);
    }

private:
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

    LiteralSearchList corrected;
    float bestLength = 0.0f;
    Vertex* target = nullptr;
};

} // namespace bench
