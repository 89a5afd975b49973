// The routes that vaskur-route writes to GeoJSON, GPX and profile files,
// placed in the world through the map's sidecar when it has one. Nothing is
// written until every route is known, and then all files or none.
#pragma once

#include "tools/vaskur-geo/RouteExport.h"
#include "tools/vaskur-route/Options.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vaskur_route {

class RouteFiles {
public:
    // False with a reason when a file asked for needs a sidecar that the map
    // does not have.
    bool prepare(const Options& options, const std::optional<vaskur_geo::Sidecar>& sidecar, std::string& error);

    // Keeps a route for the files.
    void add(vaskur_geo::ExportedRoute route);

    // Writes the files asked for; true when none was.
    bool write(std::string& error) const;

private:
    vaskur_geo::RouteOutputs outputs_;
    std::unique_ptr<vaskur_geo::RouteExport> export_;
    std::vector<vaskur_geo::ExportedRoute> routes_;
};

} // namespace vaskur_route
