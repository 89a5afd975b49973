// Writes routes found on a height map as GeoJSON, GPX and elevation
// profiles (CSV and SVG), all or none: every file is written under a
// temporary name and renamed into place only when all are complete. With a
// sidecar the routes are placed in the world (WGS 84 longitude/latitude,
// heights in metres); without one GeoJSON gets the sample coordinates and
// the other files are refused.
#pragma once

#include "tools/vaskur-geo/RouteTrace.h"
#include "tools/vaskur-geo/Sidecar.h"

#include <optional>
#include <string>
#include <vector>

namespace vaskur_geo {

struct ExportedRoute {
    SamplePoint from;                 // start vertex of the model
    SamplePoint to;                   // end vertex of the model
    double length = 0.0;              // the search's cost, in the model's units
    RouteTrace trace;                 // the walked line from the asked start to the asked end
};

struct RouteSettings {
    int patchSize = 0;
    int threshold = 0;
    bool quick = false;
};

// The files to write; an empty name is not written.
struct RouteOutputs {
    std::string geojson;
    std::string gpx;
    std::string profileCsv;
    std::string profileSvg;
    bool any() const { return !geojson.empty() || !gpx.empty() || !profileCsv.empty() || !profileSvg.empty(); }
};

class RouteExport {
public:
    RouteExport(const RouteSettings& settings, std::optional<Sidecar> sidecar);

    // False with a reason when a file asked for needs a sidecar the map
    // does not have.
    bool check(const RouteOutputs& outputs, std::string& error) const;

    // Writes every file asked for, each holding every route; false with a
    // one-line reason on failure, every target then as it was.
    bool write(const RouteOutputs& outputs, const std::vector<ExportedRoute>& routes, std::string& error) const;

private:
    bool writeVector(const char* driver, const std::string& file, const std::string& shown,
        const std::vector<ExportedRoute>& routes, std::string& error) const;

    RouteSettings settings_;
    std::optional<Sidecar> sidecar_;
};

} // namespace vaskur_geo
