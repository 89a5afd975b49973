// Routing every query of the command line on several threads over the one
// model, the results kept in the order of the queries.
#pragma once

#include "tools/vaskur-route/Model.h"
#include "tools/vaskur-route/Options.h"

#include <vector>

namespace vaskur_route {

struct BatchEntry {
    bool inside = false;  // both points lie on the map (otherwise nothing was searched)
    RouteResult result;
    double seconds = 0.0;  // wall time of this route's search
};

// The number of threads --jobs 0 stands for: the machine's cores.
int defaultJobs();

// Routes every query on `jobs` threads (at most one per query), each with a
// search workspace of its own; entry i belongs to query i whatever the
// thread that routed it.
std::vector<BatchEntry> routeAll(const Model& model, const std::vector<RouteQuery>& queries, bool quick, int jobs);

} // namespace vaskur_route
