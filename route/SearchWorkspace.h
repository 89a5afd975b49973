// The working state of one route search: per-vertex state, estimates and
// child masks by vertex number, the open list, the correction stack and the
// list of the vertices the search reached. A workspace serves one search at
// a time; each thread that searches gives its searches a workspace of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "route/OpenList.h"

class SearchGraph;

class SearchWorkspace {
public:
    // One vertex being corrected: its cost, the length of its full edge
    // list, and where its walk stands. Walked by masks: its walk arcs, those
    // still worth a look (bit i: walk arc i) and those of them that lead to
    // its children. Walked edge by edge (no walk arcs, `walk` is null): the
    // next arc to look at and the end of its arcs.
    struct Frame {
        uint32_t vertex;
        float cost;
        uint32_t listLength;
        uint32_t next;
        uint32_t end;
        const uint32_t* walk;
        uint32_t candidates;
        uint32_t children;
    };

    // Readies the workspace for a search over `graph`: sized to it, and what
    // the previous search left cleaned away (only the vertices it reached,
    // unless the size changed). Every vertex then has cost 0, no
    // predecessor, no mark, is unseen and has estimate 0.
    void begin(const SearchGraph& graph);

    // What the last search left, until the next begin(): by vertex number.
    float cost(uint32_t vertex) const { return state_[vertex].cost; }
    uint32_t previous(uint32_t vertex) const { return previous_[vertex]; }
    float estimate(uint32_t vertex) const { return estimates_[vertex]; }
    // Every vertex the last search gave a cost (the others hold 0, none, 0).
    const std::vector<uint32_t>& reached() const { return reached_; }

    // Bytes held (capacities), for the benchmarks.
    std::size_t bytes() const;

private:
    friend class RouteSearch;

    std::vector<SearchVertex> state_;
    std::vector<uint32_t> previous_;  // the predecessor on the best route, or none
    std::vector<float> estimates_;
    std::vector<uint32_t> reached_;
    OpenList open_;
    std::vector<Frame> stack_;
};
