// Command line of vaskur-route.
#pragma once

#include <string>
#include <vector>

namespace vaskur_route {

// What the numbers of a point pair are.
enum class PointKind {
    Samples,  // map columns and rows, whole numbers
    LonLat,   // WGS 84 longitude and latitude
    Crs,      // the map's own coordinate system (the sidecar's)
};

struct QueryPoint {
    double x = 0.0;
    double y = 0.0;
    std::string text;  // as given, to name the point in messages
};

struct RouteQuery {
    QueryPoint from;
    QueryPoint to;
};

struct Options {
    int patchSize = 32;
    int threshold = 25;
    bool quick = false;
    bool path = false;
    bool time = false;
    bool help = false;
    PointKind kind = PointKind::Samples;
    std::string pointsFile;  // route the legs between the points of this file
    std::string geojson;     // write the routes found to this GeoJSON file
    std::string gpx;         // and to this GPX file
    std::string profileCsv;  // the elevation profiles as a table
    std::string profileSvg;  // and as charts
    std::string map;
    std::vector<RouteQuery> queries;
};

extern const char* const usageText;
// Every option with a line each, and examples.
extern const char* const helpText;

// Parses the arguments after the program name. On failure returns false and
// puts a one-line reason into error. A negative threshold becomes 5, as the
// model parameters window does.
bool parseArguments(int argc, const char* const* argv, Options& options, std::string& error);

} // namespace vaskur_route
