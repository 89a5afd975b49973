// Writes routes found on a height map as GeoJSON or GPX through OGR's
// drivers. With a sidecar the routes are placed in the world (WGS 84
// longitude/latitude, heights in metres); without one GeoJSON gets the
// sample coordinates and GPX is refused.
#pragma once

#include "tools/vaskur-geo/GroundProfile.h"
#include "tools/vaskur-geo/Sidecar.h"

#include <optional>
#include <string>
#include <vector>

namespace vaskur_geo {

struct ExportedRoute {
    SamplePoint from;                 // start vertex
    SamplePoint to;                   // end vertex
    double length = 0.0;              // in the program's units
    std::vector<SamplePoint> path;    // from `from` to `to`
};

struct RouteSettings {
    int patchSize = 0;
    int threshold = 0;
    bool quick = false;
};

class RouteExport {
public:
    RouteExport(const RouteSettings& settings, HeightLookup height, std::optional<Sidecar> sidecar);

    // Each writes every route to a new file (replacing one that is there)
    // and returns false with a reason on failure, leaving no file behind.
    bool writeGeoJson(const std::string& path, const std::vector<ExportedRoute>& routes, std::string& error) const;
    bool writeGpx(const std::string& path, const std::vector<ExportedRoute>& routes, std::string& error) const;

private:
    bool write(const char* driver, const std::string& path, const std::vector<ExportedRoute>& routes,
        std::string& error) const;

    RouteSettings settings_;
    HeightLookup height_;
    std::optional<Sidecar> sidecar_;
};

} // namespace vaskur_geo
