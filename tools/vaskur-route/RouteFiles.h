// The routes that vaskur-route writes to GeoJSON and GPX files, placed in
// the world through the map's sidecar when it has one.
#pragma once

#include "tools/vaskur-geo/RouteExport.h"
#include "tools/vaskur-route/Model.h"
#include "tools/vaskur-route/Options.h"

#include <memory>
#include <string>
#include <vector>

namespace vaskur_route {

class RouteFiles {
public:
    // Reads the sidecar NAME.raw.json beside the loaded map if there is one.
    // False with a reason when the sidecar is unreadable or belongs to
    // another map, or when GPX is asked for without one.
    bool prepare(const Options& options, const Model& model, std::string& error);

    // Keeps a route for the files if one was found.
    void add(const RouteResult& route);

    // Writes the files asked for; true when none was.
    bool write(std::string& error) const;

private:
    std::string geojson_;
    std::string gpx_;
    std::unique_ptr<vaskur_geo::RouteExport> export_;
    std::vector<vaskur_geo::ExportedRoute> routes_;
};

} // namespace vaskur_route
