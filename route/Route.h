// What a route search gives back: how it ended, the length, the route as
// vertex numbers of the search graph and the work the search did.
#pragma once

#include <cstdint>
#include <vector>

// Work done by one search: vertices taken from the open list, corrections,
// and edges looked at inside corrections.
struct SearchWork {
    long long passes = 0;
    long long corrections = 0;
    long long correctionEdges = 0;
};

struct Route {
    enum class Outcome {
        found,       // a route from start to target; length > 0
        sameVertex,  // start and target are one vertex; length 0, nothing searched
        noRoute,     // no route (also for a vertex that is not in the graph); length 0
    };

    Outcome outcome = Outcome::noRoute;
    float length = 0.0f;
    // The vertex numbers (SearchGraph) from the start to the target, both
    // included; empty unless a route was found.
    std::vector<uint32_t> path;
    SearchWork work;

    bool found() const { return outcome == Outcome::found; }
};
