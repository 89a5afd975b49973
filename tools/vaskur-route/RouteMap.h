// The map vaskur-route works on: the height map with its model, the sidecar
// beside it (read strictly) and the heights in metres along routes.
#pragma once

#include "tools/vaskur-geo/GroundHeights.h"
#include "tools/vaskur-geo/Sidecar.h"
#include "tools/vaskur-route/Model.h"
#include "tools/vaskur-route/Options.h"

#include <optional>
#include <string>

namespace vaskur_route {

class RouteMap {
public:
    // Loads the map, its sidecar when there is one and the real heights the
    // sidecar names. False with a one-line reason naming the file at fault,
    // also when the points or files asked for need a sidecar that is not
    // there.
    bool load(const Options& options, std::string& error);

    Model& model() { return model_; }
    const Model& model() const { return model_; }
    const std::optional<vaskur_geo::Sidecar>& sidecar() const { return sidecar_; }
    const vaskur_geo::GroundHeights& ground() const { return *ground_; }

    bool inside(MapPoint p) const;
    // A sample that stands for no data in the source (only known with a
    // sidecar).
    bool isWall(MapPoint p) const;

private:
    // The sidecar and the heights it gives, when there is one; false also
    // when the options need one and there is none.
    bool loadSidecar(const Options& options, const vaskur_geo::RawLookup& raw, std::string& error);

    Model model_;
    std::optional<vaskur_geo::Sidecar> sidecar_;
    std::optional<vaskur_geo::GroundHeights> ground_;
};

// Why a file is not a map the program can load: "no such file", "it is a
// directory", "1000 bytes is not a 257- or 513-sample map of 1 or 2 bytes".
std::string mapFileFault(const std::string& path);

} // namespace vaskur_route
