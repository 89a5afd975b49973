// Routing every leg of a run on several threads over the one model, the
// results kept in the order of the legs.
#pragma once

#include "tools/vaskur-route/Model.h"

#include <vector>

namespace vaskur_route {

// The map samples a leg starts and ends at.
struct SamplePair {
    MapPoint from;
    MapPoint to;
};

struct BatchEntry {
    bool inside = false;  // both points lie on the map (otherwise nothing was searched)
    RouteResult result;
    double seconds = 0.0;  // wall time of this route's search
};

// The number of threads --jobs 0 stands for: the machine's cores.
int defaultJobs();

// Routes every pair on `jobs` threads (at most one per pair), each with a
// search workspace of its own; entry i belongs to pair i whatever the
// thread that routed it.
std::vector<BatchEntry> routeAll(const Model& model, const std::vector<SamplePair>& pairs, bool quick, int jobs);

} // namespace vaskur_route
