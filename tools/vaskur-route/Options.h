// Command line of vaskur-route.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vaskur_route {

struct RouteQuery {
    std::int32_t x1, y1, x2, y2;
};

struct Options {
    int patchSize = 32;
    int threshold = 25;
    bool quick = false;
    bool path = false;
    bool time = false;
    bool help = false;
    int jobs = 0;  // threads that route the queries; 0: one per core
    std::string geojson;  // write the routes found to this GeoJSON file
    std::string gpx;      // and to this GPX file
    std::string map;
    std::vector<RouteQuery> queries;
};

extern const char* const usageText;

// Parses the arguments after the program name. On failure returns false and
// puts a one-line reason into error. A negative threshold becomes 5, as the
// model parameters window does.
bool parseArguments(int argc, const char* const* argv, Options& options, std::string& error);

} // namespace vaskur_route
