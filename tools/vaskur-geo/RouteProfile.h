// Elevation profiles of routes: a CSV table of distance, height and slope at
// every vertex of each walked line, and an SVG chart per route drawn with
// cairo.
#pragma once

#include "tools/vaskur-geo/RouteTrace.h"

#include <string>
#include <vector>

namespace vaskur_geo {

// Each writes `file` (a temporary) and returns false with a reason that
// names `shown` (the file the user asked for).
bool writeProfileCsv(const std::string& file, const std::string& shown, const std::vector<RouteTrace>& routes,
    std::string& error);
bool writeProfileSvg(const std::string& file, const std::string& shown, const std::vector<RouteTrace>& routes,
    std::string& error);

// "1 h 05 min", "12 min", "40 s": a walking time as people read it.
std::string walkTimeText(double seconds);

} // namespace vaskur_geo
